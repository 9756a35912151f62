// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli setting: the corrections that make the drawing read as the
// fitter's measurements do (model/valvesetting.h), and the readings a gear
// gives.
#include <ostream>

#include "cli/cli.h"
#include "model/dimjson.h"
#include "model/numfmt.h"
#include "model/state.h"
#include "model/valvesetting.h"

namespace brevold {

int SettingCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ValveSettingRequest r;
  std::string format = "text", take, found;
  OptionRules rules;
  // A pair of readings, front and rear; either may be left empty.
  for (int k = 0; k < SettingReadingCount; k += 2)
    rules.push_back({std::string("--") + SettingReadings()[static_cast<size_t>(k)].id, [&r, k](const OptionArg& a) {
                       const std::vector<std::string> v = Split(a.Value(), ',');
                       if (v.size() != 2 || (v[0].empty() && v[1].empty()))
                         throw Usage{a.name + " takes FRONT,REAR (either may be empty), not '" + a.Value() + "'"};
                       for (size_t e = 0; e < 2; ++e)
                         if (!v[e].empty()) r.measured[static_cast<size_t>(k) + e] = Number(v[e], a.name);
                     }});
  rules.push_back({"--throw", [&r](const OptionArg&) { r.withThrow = true; }});
  rules.push_back({"--precision", [&r](const OptionArg& a) {
                     const float p = Number(a.Value(), "--precision");
                     if (!(p > 0)) throw Usage{"--precision takes a reading's precision above 0"};
                     r.precision = p;
                   }});
  rules.push_back({"--take", [&take](const OptionArg& a) { take = a.Value(); }});
  rules.push_back({"--found-out", [&found](const OptionArg& a) { found = a.Value(); }});
  rules.push_back({"--format", [&format](const OptionArg& a) { format = Choice("--format", a.Value(), {"text", "json"}); }});
  std::vector<std::string> common = {args[0]};
  WalkOptions(args, 1, rules, &common);
  ModelState drawing;
  PrepareSolve(drawing, ParseCentre(common));

  if (!take.empty()) {
    // The readings of another gear (the engine as it stands) at the
    // drawing's notches, as this command takes them.
    const Readings got = TakeReadings(LoadGearFile(take), NotchesOf(drawing));
    std::string line;
    for (int k = 0; k < SettingReadingCount; k += 2) {
      auto v = [&got](int i) { return got[static_cast<size_t>(i)] ? Str(*got[static_cast<size_t>(i)], 1, 6) : std::string(); };
      line += std::string(line.empty() ? "" : " ") + "--" + SettingReadings()[static_cast<size_t>(k)].id + " " + v(k) + "," + v(k + 1);
    }
    out << line << '\n';
    return 0;
  }
  const ValveSettingFit f = FitValveSetting(drawing, r);
  out << FormatValveSetting(f, format);
  if (!f.error.empty()) return 1;
  if (!found.empty()) {
    ModelState asFound = f.found;
    const FileResult w = SaveSet(asFound, found);
    if (!w.ok) {
      err << "brevold-cli: cannot write '" << found << "': " << w.message << '\n';
      return 1;
    }
  }
  return 0;
}

}  // namespace brevold
