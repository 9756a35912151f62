// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which dimension moves which event: the three gears of each dimension (as
// given, 0.01 less, 0.01 more) taken through the events table at each
// setting, the differences between them, and the table as text.
#include "model/sensitivity.h"

#include <algorithm>
#include <cmath>

#include "model/dimensions.h"
#include "model/numfmt.h"
#include "model/parallel.h"
#include "model/state.h"

namespace brevold {

namespace {

// Mid gear recalculated as closing a dimension editor does, the driver at 0
// and nothing raised, so that the three gears of a dimension start their
// sweeps alike and the figures do not hang on where the gear stood.
void Settle(ModelState& g) {
  g.mech.DrvAngle = 0;
  g.mech.ErrFlag = 0;
  g.mech.CalcStatus = 'Z';
  CalcCentre(g);
}

// The events of a gear at a travel from its own mid gear, one setting per
// table (a table of one setting runs on the calling thread, which is here a
// thread of the pool). Absent when the table gives no row.
std::optional<EventRow> RowAt(ModelState& g, const SensitivityRequest& r, bool forward, float travel) {
  EventRequest q;
  q.side = forward ? EventRequest::Forward : EventRequest::Reverse;
  q.values = {travel};
  q.method = r.method;
  q.step = r.step;
  q.cutOffsOnly = r.cutOffsOnly;
  EventTable t = ValveEventsTable(g, q);
  if (t.rows.empty()) return std::nullopt;
  return std::move(t.rows.front());
}

}  // namespace

RowFigures FiguresOf(const EventRow& row) {
  auto pct = [](const std::optional<EventPoint>& p) { return p ? std::optional<double>(p->percent) : std::nullopt; };
  return {pct(row.front.cutOff), pct(row.rear.cutOff), FrontMinusRear(row).cutOff,
          row.front.deadCentreLead, row.rear.deadCentreLead,
          row.front.maxOpening, row.rear.maxOpening,
          row.valveTravel, row.sound.Slip()};
}

std::string Verdict(const EventRow& row) {
  if (!row.sound.Sound()) return FaultName(row.sound.fault);
  return row.solveFailed ? "geometry error" : "sound";
}

namespace {

// The singles a dimension stores a step either side of its value.
float Stepped(float value, int sign) {
  return static_cast<float>(static_cast<LD>(value) + sign * static_cast<LD>(SensitivityStep));
}

// The three gears' rows: 0.01 less, as given, 0.01 more. A missing row (the
// table found no setting) is a gear that cannot be judged.
struct Three {
  std::optional<EventRow> lo, mid, hi;
};

void Judge(SensRow& out, const Three& g) {
  const std::string what[3] = {"at -0.01", "as given", "at +0.01"};
  const std::optional<EventRow>* rows[3] = {&g.lo, &g.mid, &g.hi};
  std::string verdicts[3];
  bool allSound = true, allSame = true;
  for (int k = 0; k < 3; ++k) {
    verdicts[k] = *rows[k] ? Verdict(**rows[k]) : "no setting";
    allSound = allSound && verdicts[k] == "sound";
    allSame = allSame && verdicts[k] == verdicts[0];
  }
  auto flagAll = [&](SensFlag f, const std::string& why) {
    for (SensCell& c : out.cells) c = SensCell{std::nullopt, f, why, std::nullopt, std::nullopt};
  };
  if (!(out.lower < out.value && out.value < out.upper)) {
    flagAll(SensFlag::NoStep, "the dimension's value cannot move by 0.01 in single precision");
    return;
  }
  if (!allSound) {
    if (allSame) flagAll(SensFlag::Unsound, verdicts[0] + " on all three gears");
    else
      flagAll(SensFlag::VerdictChanges,
              what[0] + " " + verdicts[0] + "; " + what[1] + " " + verdicts[1] + "; " + what[2] + " " + verdicts[2]);
    return;
  }
  const RowFigures f[3] = {FiguresOf(*g.lo), FiguresOf(*g.mid), FiguresOf(*g.hi)};
  const LD x[3] = {out.lower, out.value, out.upper};
  const LD h = SensitivityStep;
  for (int q = 0; q < SensQuantityCount; ++q) {
    SensCell& c = out.cells[static_cast<size_t>(q)];
    c = SensCell{};
    std::string missing;
    for (int k = 0; k < 3; ++k)
      if (!f[k][static_cast<size_t>(q)]) missing += (missing.empty() ? "" : " and ") + what[k];
    if (!missing.empty()) {
      c.flag = SensFlag::Absent;
      c.why = "absent " + missing;
      continue;
    }
    const LD lo = *f[0][static_cast<size_t>(q)], mid = *f[1][static_cast<size_t>(q)], hi = *f[2][static_cast<size_t>(q)];
    // Per 0.01 of the dimension as its singles really stand apart.
    const LD below = (mid - lo) / (x[1] - x[0]) * h, above = (hi - mid) / (x[2] - x[1]) * h;
    c.below = static_cast<double>(below);
    c.above = static_cast<double>(above);
    // The central difference is the one to give when the two sides tell the
    // same story: the same slope within half the larger of them. An event
    // that bends over the step parts the two by its curvature times the
    // step, well inside that; a kink (a port reaching its full width, an
    // event about to go) or a jump does not pass. Below the quantity's
    // floor the difference is the figures' own scatter, not the gear's.
    const LD spread = std::fabs(above - below);
    if (spread > 0.5L * std::max(std::fabs(above), std::fabs(below)) + SensQuantities()[static_cast<size_t>(q)].floor) {
      c.flag = SensFlag::Disagree;
      c.why = "one-sided changes " + Figures(c.below.value(), 4) + " below and " + Figures(c.above.value(), 4) +
              " above disagree";
      continue;
    }
    c.change = static_cast<double>((hi - lo) / (x[2] - x[0]) * h);
  }
}

// Runs n independent evaluations on the sweeps' pool. Each works on its own
// copy of the gear and leaves the pool's state alone, so every guessed
// start is right and nothing runs twice.
void OnPool(const ModelState& s, int n, const std::function<void(int)>& f) {
  if (n <= 0) return;
  UnitSweep units;
  units.units = n;
  units.run = [&](ModelState&, int k) { f(k); };
  units.guessEnd = [](ModelState&, int) {};
  RunUnits(s, units, SweepThreads());
}

}  // namespace

// The floors of the agreement test. The figures of one gear scatter a
// little from one value of a dimension to the next: the linkage's searches
// stop within their tolerance (1e-4 of a length unit), so the valve's place
// comes out in steps of some 3e-5, and a port event moves with it by
// thousandths of a percent of stroke. On the nominal gear, over every
// dimension at 15, 25 and 40 % cut-off on both sides, a dimension that does
// not move a quantity gives one-sided differences up to 7e-5 apart in the
// lengths and 0.0035 % of stroke in the cut-offs. The floors stand three
// and six times above that, and still well below any change worth a fitter's
// attention (a lead moved by 0.0002 per 0.01, a cut-off by 0.02 %).
const std::array<SensQuantityInfo, SensQuantityCount>& SensQuantities() {
  constexpr double pct = 0.02, len = 2e-4;
  static const std::array<SensQuantityInfo, SensQuantityCount> q = {{
      {"cutoff_front", "Cut-off front (% stroke)", pct},
      {"cutoff_rear", "Cut-off rear (% stroke)", pct},
      {"cutoff_diff", "Cut-off front - rear (% stroke)", pct},
      {"lead_front", "Lead front at dead centre", len},
      {"lead_rear", "Lead rear at dead centre", len},
      {"max_opening_front", "Largest opening front", len},
      {"max_opening_rear", "Largest opening rear", len},
      {"valve_travel", "Valve travel", len},
      {"die_slip", "Die slip", len},
  }};
  return q;
}

const std::vector<float>& RunningNotches() {
  static const std::vector<float> notches = {15, 25, 40};
  return notches;
}

SensitivityTable Sensitivity(const ModelState& s, const SensitivityRequest& r) {
  SensitivityTable t;
  std::vector<BalanceVary> vary;
  // Only the keys are resolved; the bounds are the balance's business.
  auto key = [](const std::string& k) { return BalanceVary{k, BalanceVary::Interval, 0, 1}; };
  if (r.dims.empty()) {
    for (const DimInfo& d : DimTable())
      if (d.id != 1) vary.push_back(key(std::to_string(d.id)));
  } else {
    for (const std::string& k : r.dims) vary.push_back(key(k));
  }
  t.error = ResolveBalanceDims(s, vary, t.dims);
  if (!t.error.empty()) return t;

  ModelState base = s;
  Settle(base);

  // The settings asked for, forward side first, as the events table orders them.
  struct Asked {
    bool forward;
    float travel;
    std::optional<double> cut;
  };
  std::vector<Asked> asked;
  const bool byCut = r.travels.empty();
  const std::vector<float>& cuts = r.cutOffs.empty() ? RunningNotches() : r.cutOffs;
  for (bool forward : {true, false}) {
    if (forward ? r.side == EventRequest::Reverse : r.side == EventRequest::Forward) continue;
    if (byCut) {
      for (float c : cuts) asked.push_back({forward, 0, c});
    } else {
      for (float v : r.travels)
        if ((v >= 0) == forward) asked.push_back({forward, v, std::nullopt});
    }
  }
  const int dims = static_cast<int>(t.dims.size());
  const int searches = byCut ? static_cast<int>(asked.size()) : 0;
  const int total = searches + static_cast<int>(asked.size()) * (1 + 2 * dims);
  std::atomic<int> done{0};
  auto tick = [&](int n) {
    const int now = done += n;
    if (r.progress) r.progress(std::min(now, total), total);
  };

  // Each cut-off's travel on the gear as given.
  std::vector<std::optional<float>> travel(asked.size());
  std::vector<std::vector<std::string>> notes(asked.size());
  for (size_t k = 0; k < asked.size(); ++k)
    if (!byCut) travel[k] = asked[k].travel;
  OnPool(base, searches, [&](int k) {
    const size_t i = static_cast<size_t>(k);
    travel[i].reset();
    notes[i].clear();
    if (Raised(r.cancel)) return;
    ModelState g = base;
    EventRequest q;
    q.side = asked[i].forward ? EventRequest::Forward : EventRequest::Reverse;
    q.cutOffs = {static_cast<float>(*asked[i].cut)};
    q.method = r.method;
    q.step = r.step;
    q.cancel = r.cancel;
    EventTable found = ValveEventsTable(g, q);
    if (!found.rows.empty()) travel[i] = static_cast<float>(found.rows.front().setting.travel);
    notes[i] = std::move(found.notes);
    tick(1);
  });
  if (Raised(r.cancel)) {
    t.cancelled = true;
    return t;
  }
  std::vector<size_t> found;  // indices into asked of the settings the gear reaches
  for (size_t k = 0; k < asked.size(); ++k) {
    for (std::string& n : notes[k]) t.notes.push_back(std::move(n));
    if (travel[k]) found.push_back(k);
    else tick(1 + 2 * dims);
  }

  // The gear as given at each setting, then each dimension's two changed gears.
  const int settings = static_cast<int>(found.size());
  std::vector<std::optional<EventRow>> baseRows(found.size());
  std::vector<std::optional<EventRow>> changed(found.size() * static_cast<size_t>(2 * dims));
  std::vector<float> values(static_cast<size_t>(dims));
  for (int d = 0; d < dims; ++d) values[static_cast<size_t>(d)] = GetDim(base, t.dims[static_cast<size_t>(d)].id);
  OnPool(base, settings * (1 + 2 * dims), [&](int u) {
    if (Raised(r.cancel)) return;
    if (u < settings) {
      const size_t i = found[static_cast<size_t>(u)];
      ModelState g = base;
      baseRows[static_cast<size_t>(u)] = RowAt(g, r, asked[i].forward, *travel[i]);
    } else {
      const int k = u - settings, set = k / (2 * dims), d = k / 2 % dims, sign = k % 2 ? 1 : -1;
      const size_t i = found[static_cast<size_t>(set)];
      const int id = t.dims[static_cast<size_t>(d)].id;
      ModelState g = base;
      SetDim(g, id, Stepped(values[static_cast<size_t>(d)], sign));
      FollowFixedPivot(g, id);
      Settle(g);
      changed[static_cast<size_t>(k)] = RowAt(g, r, asked[i].forward, *travel[i]);
    }
    tick(1);
  });
  if (Raised(r.cancel)) {
    t.cancelled = true;
    return t;
  }

  for (int set = 0; set < settings; ++set) {
    const Asked& a = asked[found[static_cast<size_t>(set)]];
    SensSetting ss;
    ss.targetCutOff = a.cut;
    if (baseRows[static_cast<size_t>(set)]) {
      ss.base = *baseRows[static_cast<size_t>(set)];
      ss.setting = ss.base.setting;
    } else {
      ss.setting = EventSetting{a.forward, 0, *travel[found[static_cast<size_t>(set)]]};
    }
    t.settings.push_back(ss);
    for (int d = 0; d < dims; ++d) {
      SensRow row;
      row.setting = static_cast<size_t>(set);
      row.dim = t.dims[static_cast<size_t>(d)];
      row.value = values[static_cast<size_t>(d)];
      row.lower = Stepped(row.value, -1);
      row.upper = Stepped(row.value, 1);
      const size_t k = static_cast<size_t>(set * 2 * dims + 2 * d);
      Judge(row, Three{changed[k], baseRows[static_cast<size_t>(set)], changed[k + 1]});
      t.rows.push_back(std::move(row));
    }
  }
  return t;
}

std::vector<int> RankLevers(const SensitivityTable& t, int count) {
  struct Lever {
    int id;
    bool flagged = false;
    double size = 0;
  };
  std::vector<Lever> levers;
  for (const BalanceDim& d : t.dims) levers.push_back({d.id, false, 0});
  const size_t diff = static_cast<size_t>(SensQuantity::CutOffDifference);
  for (const SensRow& row : t.rows) {
    const auto at = std::find_if(levers.begin(), levers.end(), [&](const Lever& l) { return l.id == row.dim.id; });
    if (at == levers.end()) continue;
    const SensCell& c = row.cells[diff];
    if (c.change) at->size = std::max(at->size, std::fabs(*c.change));
    else at->flagged = true;
  }
  std::stable_sort(levers.begin(), levers.end(), [](const Lever& a, const Lever& b) {
    if (a.flagged != b.flagged) return b.flagged;
    return a.size > b.size;
  });
  std::vector<int> ids;
  for (const Lever& l : levers)
    if (count <= 0 || static_cast<int>(ids.size()) < count) ids.push_back(l.id);
  return ids;
}

std::vector<int> StrongestLevers(const ModelState& s, EventRequest::Side side, int count, const std::atomic<bool>* cancel,
                                 const std::function<void(int, int)>& progress) {
  SensitivityRequest r;
  r.side = side;
  r.cutOffs = RunningNotches();
  r.cancel = cancel;
  r.progress = progress;
  r.cutOffsOnly = true;
  const SensitivityTable t = Sensitivity(s, r);
  if (t.cancelled || !t.error.empty()) return {};
  return RankLevers(t, count);
}

namespace {

std::string Quoted(const std::string& v) {
  std::string o = "\"";
  for (char c : v) {
    if (c == '"' || c == '\\') o += '\\';
    o += c;
  }
  return o + '"';
}

// A row's reasons, "quantity: why" each, in the columns' order; with
// `condensed`, one reason that holds for the whole row (a gear not sound, a
// value that cannot step) is given once, for "all".
std::vector<std::pair<std::string, std::string>> Reasons(const SensRow& row, bool condensed) {
  std::vector<std::pair<std::string, std::string>> out;
  for (size_t q = 0; q < row.cells.size(); ++q)
    if (row.cells[q].flag != SensFlag::None) out.emplace_back(SensQuantities()[q].id, row.cells[q].why);
  if (condensed && out.size() == row.cells.size() &&
      std::all_of(out.begin(), out.end(), [&](const auto& r) { return r.second == out.front().second; }))
    return {{"all", out.front().second}};
  return out;
}

std::string SideName(const SensSetting& s) { return s.setting.forward ? "fwd" : "rev"; }

}  // namespace

std::string FormatSensitivity(const SensitivityTable& t, const std::string& format) {
  const auto& quantities = SensQuantities();
  std::string o;
  if (format == "json") {
    for (const SensRow& row : t.rows) {
      const SensSetting& set = t.settings[row.setting];
      o += "{\"side\":" + Quoted(SideName(set)) + ",\"travel\":" + ShortestText(static_cast<float>(set.setting.travel)) +
           ",\"target_cutoff\":" + (set.targetCutOff ? ShortestText(static_cast<float>(*set.targetCutOff)) : "null") +
           ",\"id\":" + std::to_string(row.dim.id) + ",\"field\":" + Quoted(row.dim.field) +
           ",\"value\":" + ShortestText(row.value);
      for (size_t q = 0; q < quantities.size(); ++q)
        o += std::string(",\"") + quantities[q].id + "\":" + (row.cells[q].change ? ShortestText(*row.cells[q].change) : "null");
      o += ",\"flags\":{";
      bool first = true;
      for (const auto& [id, why] : Reasons(row, false)) {
        o += (first ? "" : ",") + Quoted(id) + ":" + Quoted(why);
        first = false;
      }
      o += "}}\n";
    }
    return o;
  }
  if (format == "csv") {
    o = "side,travel,target_cutoff,id,field,value";
    for (const auto& q : quantities) o += std::string(",") + q.id;
    o += ",notes\n";
    for (const SensRow& row : t.rows) {
      const SensSetting& set = t.settings[row.setting];
      o += SideName(set) + "," + ShortestText(static_cast<float>(set.setting.travel)) + "," +
           (set.targetCutOff ? ShortestText(static_cast<float>(*set.targetCutOff)) : "") + "," +
           std::to_string(row.dim.id) + "," + row.dim.field + "," + ShortestText(row.value);
      for (const SensCell& c : row.cells) o += "," + (c.change ? ShortestText(*c.change) : "");
      std::string notes;
      for (const auto& [id, why] : Reasons(row, true)) notes += (notes.empty() ? "" : "; ") + id + ": " + why;
      // The reasons may hold commas; the field is quoted, its quotes doubled.
      if (!notes.empty()) {
        std::string q = "\"";
        for (char ch : notes) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
        o += "," + q + "\"";
      } else {
        o += ",";
      }
      o += '\n';
    }
    return o;
  }

  // Text: a block per setting, every block in the same columns; four
  // figures, "?" for a withheld figure and its reason in the notes below.
  o = "Change of each event per +0.01 of a dimension (central differences, step 0.01; cut-offs in % of stroke,\n"
      "the others in length units; ? withheld, see the notes)\n";
  std::vector<std::string> head = {"dimension", "id", "value"};
  for (const auto& q : quantities) head.push_back(q.id);
  std::vector<std::vector<std::string>> lines;
  for (const SensRow& row : t.rows) {
    std::vector<std::string> c = {row.dim.field, std::to_string(row.dim.id), Figures(row.value, 6)};
    for (const SensCell& cell : row.cells) c.push_back(cell.change ? Figures(*cell.change, 4) : "?");
    lines.push_back(std::move(c));
  }
  std::vector<size_t> width(head.size());
  for (size_t k = 0; k < head.size(); ++k) {
    width[k] = head[k].size();
    for (const auto& c : lines) width[k] = std::max(width[k], c[k].size());
  }
  auto line = [&](const std::vector<std::string>& c) {
    std::string l = "  " + c[0] + std::string(width[0] - c[0].size(), ' ');
    for (size_t k = 1; k < c.size(); ++k) l += "  " + std::string(width[k] - c[k].size(), ' ') + c[k];
    return l + "\n";
  };
  auto heading = [](const SensSetting& set) {
    std::string h = (set.setting.forward ? "forward" : "reverse") + std::string(" side, travel ") +
                    Figures(static_cast<double>(set.setting.travel), 6);
    if (set.targetCutOff) h += " (mean cut-off " + Figures(*set.targetCutOff, 6) + " %)";
    const EventRow& b = set.base;
    auto fig = [](const std::optional<double>& v, int n) { return v ? Figures(*v, n) : std::string("-"); };
    const auto f = FiguresOf(b);
    h += ": cut-off " + fig(f[0], 5) + " / " + fig(f[1], 5) + " %, lead " + fig(f[3], 4) + " / " + fig(f[4], 4) +
         ", " + Verdict(b);
    return h;
  };
  std::string notes;
  for (size_t set = 0; set < t.settings.size(); ++set) {
    o += "\n" + heading(t.settings[set]) + "\n" + line(head);
    for (size_t k = 0; k < t.rows.size(); ++k) {
      if (t.rows[k].setting != set) continue;
      o += line(lines[k]);
      for (const auto& [id, why] : Reasons(t.rows[k], true))
        notes += "  " + SideName(t.settings[set]) + " " + Figures(static_cast<double>(t.settings[set].setting.travel), 6) +
                 ", " + t.rows[k].dim.field + ", " + id + ": " + why + "\n";
    }
  }
  if (!notes.empty()) o += "\nnotes:\n" + notes;
  for (const std::string& n : t.notes) o += "note: " + n + "\n";
  return o;
}

}  // namespace brevold
