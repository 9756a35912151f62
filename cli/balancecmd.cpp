// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli balance: its options, its run and its report as text or JSON.
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/jsontext.h"
#include "model/balance.h"
#include "model/dimfile.h"
#include "model/dimjson.h"
#include "model/state.h"

namespace brevold {

namespace {

using namespace jsontext;

// balance: its own options, and the ones every command shares (--dmi,
// --load, --set) as centre has them.
struct BalanceOptions {
  Options common;
  BalanceRequest request;
  std::string out, format = "text";
};

BalanceVary VaryItem(const std::string& item) {
  const auto p = Split(item, ':');
  BalanceVary v;
  v.key = p[0];
  if (v.key.empty() || p.size() > 3) throw Usage{"--vary takes ID[:LO:HI] or ID:+-A, not '" + item + "'"};
  if (p.size() == 2) {
    if (p[1].rfind("+-", 0) != 0) throw Usage{"--vary takes ID[:LO:HI] or ID:+-A, not '" + item + "'"};
    v.bounds = BalanceVary::PlusMinus;
    v.a = Number(p[1].substr(2), "--vary " + item);
    if (!(v.a > 0)) throw Usage{"--vary " + item + ": the amount must be above 0"};
  } else if (p.size() == 3) {
    v.bounds = BalanceVary::Interval;
    v.a = Number(p[1], "--vary " + item);
    v.b = Number(p[2], "--vary " + item);
    if (!(v.a < v.b)) throw Usage{"--vary " + item + ": LO must be below HI"};
  }
  return v;
}

// Its own options are read first, then the others as centre reads them, so
// that a fault in its own is named before one in those.
BalanceOptions ParseBalance(const std::vector<std::string>& args) {
  BalanceOptions b;
  BalanceRequest& r = b.request;
  OptionRules rules;
  rules.push_back({"--vary", [&r](const OptionArg& a) {
                     for (const std::string& item : Split(a.Value(), ',')) r.vary.push_back(VaryItem(item));
                   }});
  rules.push_back({"--side", [&r](const OptionArg& a) { r.side = SideOption(a.Value()); }});
  rules.push_back({"--notches", [&r](const OptionArg& a) {
                     if (!r.notches.empty()) throw Usage{"give --notches once"};
                     SettingsList(a.Value(), a.name, r.notches);
                   }});
  rules.push_back({"--cutoffs", [&r](const OptionArg& a) {
                     r.cutOffs.clear();
                     SettingsList(a.Value(), a.name, r.cutOffs);
                   }});
  rules.push_back({"--allow-loss", [&r](const OptionArg&) { r.allowLoss = true; }});
  rules.push_back({"--step", [&r](const OptionArg& a) {
                     // Every evaluation sweeps every setting: a finer step makes the search
                     // crawl (8.8 s an evaluation at 0.01).
                     r.step = InRange("--step", a.Value(), 0.5f, 180, "0.5 to 180 degrees");
                     r.method = EventMethod::Step;
                   }});
  rules.push_back({"--weights", [&r](const OptionArg& a) {
                     for (const std::string& kv : Split(a.Value(), ',')) {
                       const size_t eq = kv.find('=');
                       const std::string key = kv.substr(0, eq);
                       double* w = key == "cutoff" ? &r.weights.cutOff : key == "lead" ? &r.weights.lead
                                 : key == "hold" ? &r.weights.leadHold
                                 : key == "release" ? &r.weights.release
                                 : key == "compression" ? &r.weights.compression : nullptr;
                       if (eq == std::string::npos || !w)
                         throw Usage{"--weights takes lead, hold, cutoff, release or compression=W, not '" + kv + "'"};
                       *w = Number(kv.substr(eq + 1), "--weights " + kv);
                       if (*w < 0) throw Usage{"--weights " + kv + ": a weight cannot be below 0"};
                     }
                   }});
  rules.push_back({"--min-full-cutoff", [&r](const OptionArg& a) { r.minFullGearCutOff = Number(a.Value(), a.name); }});
  rules.push_back({"--lead-band", [&r](const OptionArg& a) {
                     const std::string& v = a.Value();
                     const auto p = Split(v, ':');
                     if (p.size() != 2) throw Usage{"--lead-band takes LO:HI, not '" + v + "'"};
                     r.leadBand = std::make_pair(double{Number(p[0], a.name)}, double{Number(p[1], a.name)});
                     if (!(r.leadBand->first <= r.leadBand->second))
                       throw Usage{"--lead-band " + v + ": LO must not be above HI"};
                   }});
  rules.push_back({"--max-evals", [&r](const OptionArg& a) { r.maxEvaluations = WholeNumber(a.name, a.Value(), 100000); }});
  rules.push_back({"--starts", [&r](const OptionArg& a) { r.starts = WholeNumber(a.name, a.Value(), 10); }});
  rules.push_back(OutOption(b.out));
  rules.push_back({"--format", [&b](const OptionArg& a) { b.format = Choice("--format", a.Value(), {"text", "json"}); }});
  std::vector<std::string> common = {args[0]};
  WalkOptions(args, 1, rules, &common);
  b.common = ParseCentre(common);
  if (r.vary.empty()) throw Usage{"balance needs --vary ID[:LO:HI],..."};
  return b;
}

std::string Fixed(double v) { return Figures(v, 6); }

std::string Spread(const std::optional<double>& v) { return v ? Fixed(*v) : "-"; }

std::string BalanceText(const BalanceResult& res, const std::string& written) {
  std::ostringstream o;
  const std::vector<float>& travels = res.travels;
  const char* side = travels.empty() ? "" : travels.front() >= 0 ? (travels.back() >= 0 ? "forward side" : "both sides") : "reverse side";
  o << "Balanced over " << travels.size() << " settings (" << side << ", travels";
  for (float t : travels) o << ' ' << Fixed(t);
  o << ")\n";
  char line[200];
  std::snprintf(line, sizeof line, "%-26s %4s %12s %12s  %s\n", "dimension", "id", "before", "after", "bounds");
  o << line;
  for (const BalanceDimResult& d : res.dims) {
    std::snprintf(line, sizeof line, "%-26s %4d %12s %12s  %s .. %s%s\n", d.dim.field.c_str(), d.dim.id, Fixed(d.before).c_str(),
                  Fixed(d.after).c_str(), Fixed(d.dim.lo).c_str(), Fixed(d.dim.hi).c_str(), d.atBound ? "  (on its bound)" : "");
    o << line;
  }
  std::snprintf(line, sizeof line, "%-31s %12s %12s\n", "objective", Fixed(res.before.objective).c_str(),
                Fixed(res.after.objective).c_str());
  o << line;
  o << "largest |front - rear| at the balanced settings:\n";
  const std::pair<const char*, std::optional<double> BalanceSpread::*> rows[] = {
      {"lead (at the dead centres)", &BalanceSpread::lead}, {"cut-off (% of stroke)", &BalanceSpread::cutOff},
      {"release (% of stroke)", &BalanceSpread::release}, {"compression (% of stroke)", &BalanceSpread::compression}};
  for (const auto& [name, m] : rows) {
    std::snprintf(line, sizeof line, "  %-29s %12s %12s\n", name, Spread(res.before.spread.*m).c_str(),
                  Spread(res.after.spread.*m).c_str());
    o << line;
  }
  auto penalties = [](const BalanceScore& sc) {
    std::vector<std::string> t;
    if (sc.absentEvents) t.push_back(std::to_string(sc.absentEvents) + " absent events");
    if (sc.errorSettings) t.push_back(std::to_string(sc.errorSettings) + " unsound balanced settings");
    if (sc.losses) t.push_back(std::to_string(sc.losses) + " losses beyond their margins");
    std::string s;
    for (const std::string& p : t) s += (s.empty() ? "" : ", ") + p;
    return s.empty() ? std::string("none") : s;
  };
  if (penalties(res.before) != "none" || penalties(res.after) != "none")
    o << "penalised: before " << penalties(res.before) << "; after " << penalties(res.after) << "\n";
  o << "full travel, both sides, 4-degree grid: after "
    << (res.after.Rejected() ? "unsound at " + std::to_string(res.after.sweepErrors) + " settings" : std::string("sound"))
    << ", before "
    << (res.before.Rejected() ? "unsound at " + std::to_string(res.before.sweepErrors) + " settings" : std::string("sound"))
    << "\n";
  o << "checked on the full travel, both sides: after " << res.verified.Describe() << "; before "
    << res.verifiedBefore.Describe() << "\n";
  if (res.failedVerification)
    o << "  " << res.failedVerification << " better candidates failed that check and were passed over\n";
  o << "\nAt equal cut-offs, before:\n" << BalanceRowsText(res.beforeRows) << "after:\n" << BalanceRowsText(res.afterRows);
  o << "\nWhat else changed:\n" << BalanceChangesText(res.changes);
  o << "\nstopped: " << StopName(res.stop) << " (" << StopReason(res.stop) << "), " << res.evaluations << " evaluations, "
    << Str(res.seconds, 1, 1) << " s\n";
  if (!res.noGain.empty()) {
    o << "no gain: " << res.noGain << "\n";
    if (!res.strongest.empty()) {
      o << "the strongest levers on the cut-off difference here:";
      for (const std::string& s : res.strongest) o << ' ' << s;
      o << "\n";
    }
  }
  if (!written.empty()) o << "written: " << written << '\n';
  return o.str();
}

std::string BalanceJson(const BalanceResult& res, const std::string& written) {
  const std::vector<float>& travels = res.travels;
  std::string j = "{";
  Key(j, "dims");
  j += '[';
  for (const BalanceDimResult& d : res.dims) {
    if (j.back() != '[') j += ',';
    std::string o = "{";
    Key(o, "id"); o += std::to_string(d.dim.id);
    Key(o, "field"); o += '"' + d.dim.field + '"';
    Key(o, "lo"); Append(o, d.dim.lo);
    Key(o, "hi"); Append(o, d.dim.hi);
    Key(o, "before"); Append(o, d.before);
    Key(o, "after"); Append(o, d.after);
    Key(o, "at_bound"); o += d.atBound ? "true" : "false";
    j += o + '}';
  }
  j += ']';
  Key(j, "travels");
  j += '[';
  for (size_t i = 0; i < travels.size(); ++i) {
    if (i) j += ',';
    Append(j, travels[i]);
  }
  j += ']';
  for (const auto& [name, sc] : {std::pair<const char*, const BalanceScore*>{"before", &res.before}, {"after", &res.after}}) {
    Key(j, name);
    std::string o = "{";
    Key(o, "objective"); Append(o, sc->objective);
    for (const auto& [k, v] : {std::pair<const char*, std::optional<double>>{"cutoff", sc->spread.cutOff},
                               {"lead", sc->spread.lead}, {"release", sc->spread.release},
                               {"compression", sc->spread.compression}}) {
      Key(o, k);
      if (v) Append(o, *v);
      else o += "null";
    }
    Key(o, "absent_events"); o += std::to_string(sc->absentEvents);
    Key(o, "error_settings"); o += std::to_string(sc->errorSettings);
    Key(o, "unsound_settings"); o += std::to_string(sc->sweepErrors);
    Key(o, "losses"); o += std::to_string(sc->losses);
    j += o + '}';
  }
  for (const auto& [name, c] : {std::pair<const char*, const TravelCheck*>{"verified", &res.verified}, {"verified_before", &res.verifiedBefore}}) {
    Key(j, name);
    std::string o = "{";
    Key(o, "step"); Append(o, c->step);
    Key(o, "settings"); o += std::to_string(c->settings);
    Key(o, "unsound"); o += std::to_string(c->unsound);
    Key(o, "sound"); o += c->Sound() ? "true" : "false";
    Key(o, "text"); o += '"' + c->Describe() + '"';
    j += o + '}';
  }
  Key(j, "changes");
  j += '[';
  for (const BalanceChange& c : res.changes) {
    if (j.back() != '[') j += ',';
    std::string o = "{";
    Key(o, "what"); o += '"' + c.what + '"';
    Key(o, "before");
    if (c.before) Append(o, *c.before);
    else o += "null";
    Key(o, "after");
    if (c.after) Append(o, *c.after);
    else o += "null";
    j += o + '}';
  }
  j += ']';
  Key(j, "gained"); j += res.Gained() ? "true" : "false";
  Key(j, "no_gain");
  if (res.noGain.empty()) j += "null";
  else j += '"' + res.noGain + '"';
  Key(j, "strongest");
  j += '[';
  for (const std::string& s : res.strongest) j += (j.back() == '[' ? "\"" : ",\"") + s + '"';
  j += ']';
  Key(j, "stop"); j += std::string("\"") + StopName(res.stop) + '"';
  Key(j, "evaluations"); j += std::to_string(res.evaluations);
  Key(j, "seconds"); Append(j, res.seconds);
  Key(j, "written");
  if (written.empty()) j += "null";
  else j += '"' + written + '"';
  return j + "}\n";
}

int BalanceCommand(const BalanceOptions& b, std::ostream& out, std::ostream& err) {
  ModelState s;
  PrepareSolve(s, b.common);
  std::vector<BalanceDim> dims;
  if (std::string why = ResolveBalanceDims(s, b.request.vary, dims); !why.empty()) throw Usage{why};
  if (BalanceTravels(s, b.request).empty()) throw Usage{"no setting to balance over on the side asked for"};
  const BalanceResult res = Balance(s, b.request);
  if (res.stop == BalanceResult::Failed) {
    err << "brevold-cli: the balance failed: " << res.message << '\n';
    return 1;
  }
  // With --out - the set goes to standard output, and the report to the error stream.
  std::ostream& report = b.out == "-" ? err : out;
  if (b.out == "-") {
    ApplyBalance(s, res);
    if (const std::string why = WriteOut(out, SetBytes(ImageOf(s), false)); !why.empty()) {
      err << "brevold-cli: " << why << '\n';
      return 1;
    }
  } else if (!b.out.empty()) {
    ApplyBalance(s, res);
    const FileResult w = SaveSet(s, b.out);
    if (!w.ok) {
      err << "brevold-cli: cannot write '" << b.out << "': " << w.message << '\n';
      return 1;
    }
  }
  report << (b.format == "json" ? BalanceJson(res, b.out) : BalanceText(res, b.out));
  return 0;
}

}  // namespace

int BalanceMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return BalanceCommand(ParseBalance(args), out, err);
}

}  // namespace brevold
