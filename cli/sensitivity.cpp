// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli sensitivity: the change of each valve event per +0.01 of each
// dimension, as a table (model/sensitivity.h).
#include <ostream>

#include "cli/cli.h"
#include "model/sensitivity.h"
#include "model/state.h"

namespace brevold {

int SensitivityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SensitivityRequest r;
  std::string format = "text";
  bool settingsGiven = false;
  OptionRules rules;
  rules.push_back({"--vary", [&r](const OptionArg& a) {
                     for (const std::string& key : Split(a.Value(), ',')) {
                       if (key.empty()) throw Usage{"--vary takes ID,... with no empty item"};
                       r.dims.push_back(key);
                     }
                   }});
  auto settings = [&r, &settingsGiven](const OptionArg& a) {
    if (settingsGiven) throw Usage{"give --cutoffs or --notches once"};
    settingsGiven = true;
    SettingsList(a.Value(), a.name, a.name == "--cutoffs" ? r.cutOffs : r.travels);
  };
  rules.push_back({"--cutoffs", settings});
  rules.push_back({"--notches", settings});
  rules.push_back({"--side", [&r](const OptionArg& a) { r.side = SideOption(a.Value()); }});
  rules.push_back({"--format", [&format](const OptionArg& a) { format = Choice("--format", a.Value(), {"text", "csv", "json"}); }});
  // Its own options first, then --dmi, --load and --set as centre reads them.
  std::vector<std::string> common = {args[0]};
  WalkOptions(args, 1, rules, &common);
  const Options o = ParseCentre(common);
  if (!r.travels.empty()) {
    bool any = false;
    for (float v : r.travels) any = any || (v >= 0 ? r.side != EventRequest::Reverse : r.side != EventRequest::Forward);
    if (!any) throw Usage{"no setting of --notches on the side asked for"};
  }
  ModelState s;
  PrepareSolve(s, o);
  const SensitivityTable t = Sensitivity(s, r);
  if (!t.error.empty()) throw Usage{t.error};
  out << FormatSensitivity(t, format);
  // The text carries its notes; CSV and JSON stay tables, the notes go to
  // the error stream.
  if (format != "text")
    for (const std::string& n : t.notes) err << "brevold-cli: " << n << '\n';
  return 0;
}

}  // namespace brevold
