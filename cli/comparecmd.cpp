// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli compare A B: two gears' events side by side at equal mean
// cut-offs, and the dimensions in which they differ (model/compare.h).
#include <ostream>

#include "cli/cli.h"
#include "model/compare.h"
#include "model/state.h"

namespace brevold {

int CompareCommand(const std::vector<std::string>& args, std::ostream& out) {
  CompareRequest r;
  std::string format = "text";
  bool cutOffsGiven = false;
  OptionRules rules;
  rules.push_back({"--cutoffs", [&](const OptionArg& a) {
                     if (cutOffsGiven) throw Usage{"give --cutoffs once"};
                     cutOffsGiven = true;
                     r.cutOffs.clear();
                     SettingsList(a.Value(), a.name, r.cutOffs);
                   }});
  rules.push_back({"--side", [&r](const OptionArg& a) { r.side = SideOption(a.Value()); }});
  rules.push_back({"--step", [&r](const OptionArg& a) {
                     const float d = Number(a.Value(), "--step");
                     if (!(d >= 0.01f && d <= 180)) throw Usage{"--step takes 0.01 to 180 degrees"};
                     r.method = EventMethod::Step;
                     r.step = d;
                   }});
  rules.push_back({"--format", [&format](const OptionArg& a) { format = Choice("--format", a.Value(), {"text", "csv", "json"}); }});
  std::vector<std::string> files;
  WalkOptions(args, 1, rules, &files);
  for (const std::string& f : files)
    if (f.size() > 1 && f[0] == '-') throw Usage{"unknown option '" + f + "'"};
  if (files.size() != 2) throw Usage{"compare takes two gear files, A and B"};
  const ModelState a = LoadGearFile(files[0]), b = LoadGearFile(files[1]);
  out << FormatComparison(CompareGears(a, b, r), format, files[0], files[1]);
  return 0;
}

}  // namespace brevold
