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
  // --dmi, --load and --set are every command's, parsed as for centre.
  std::vector<std::string> common = {args[0]};
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Usage{"option " + a + " needs a value"};
      return args[++i];
    };
    if (a == "--vary") {
      for (const std::string& key : Split(value(), ',')) {
        if (key.empty()) throw Usage{"--vary takes ID,... with no empty item"};
        r.dims.push_back(key);
      }
    } else if (a == "--cutoffs" || a == "--notches") {
      if (settingsGiven) throw Usage{"give --cutoffs or --notches once"};
      settingsGiven = true;
      SettingsList(value(), a, a == "--cutoffs" ? r.cutOffs : r.travels);
    } else if (a == "--side") {
      r.side = SideOption(value());
    } else if (a == "--format") {
      format = value();
      if (format != "text" && format != "csv" && format != "json")
        throw Usage{"--format takes text, csv or json, not '" + format + "'"};
    } else {
      common.push_back(a);
      if ((a == "--dmi" || a == "--load" || a == "--set") && i + 1 < args.size()) common.push_back(args[++i]);
    }
  }
  const Options o = ParseOptions(common, CliMode::Centre);
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
