// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which dimension moves which event: the figures of the nominal gear against
// the valve's own geometry worked out here, withheld figures at the edges of
// a port's width, of an admission and of the link's end, the same figures on
// any number of threads, the levers' ranking, and the command line's three
// formats read back and compared.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "model/parallel.h"
#include "model/sensitivity.h"
#include "model/state.h"
#include "helpers.h"
#include "textnum.h"

namespace brevold {
namespace {

using test::Nominal;

const SensRow& RowOf(const SensitivityTable& t, int id, size_t setting = 0) {
  for (const SensRow& r : t.rows)
    if (r.dim.id == id && r.setting == setting) return r;
  ADD_FAILURE() << "no row for dimension " << id;
  return t.rows.front();
}

const SensCell& Cell(const SensRow& r, SensQuantity q) { return r.cells[static_cast<size_t>(q)]; }
double Change(const SensRow& r, SensQuantity q) {
  const SensCell& c = Cell(r, q);
  EXPECT_TRUE(c.change) << r.dim.field << " " << SensQuantities()[static_cast<size_t>(q)].id << ": " << c.why;
  return c.change.value_or(NAN);
}

// The nominal gear at 25 % cut-off. The valve-stem length moves the valve
// bodily: the front steam edge opens by exactly the change, the rear one
// closes by it, and the linkage does not see it at all. A cut-off moves by
// as much of the piston's travel as the valve needs to make up the change:
// -dP/dX4 * 0.01, from the crank-and-rod formula and the valve's speed there.
// The radius rod works the combination lever above the valve spindle, so a
// longer rod moves the valve bodily by CombLevLower / (CombLevLower +
// CombLevUpper) of the change. The lifting gear only moves the die in the
// link, and at the dead centres the link stands in its mid position: the
// lead does not change (the gear's constant lead).
TEST(Sensitivity, NominalGearAtQuarterCutOff) {
  const ModelState s = Nominal();
  SensitivityRequest r;
  r.dims = {"ValveStemLen", "10", "25", "RadRodLiftPt", "18", "19", "20", "21", "22", "23"};
  r.cutOffs = {25};
  const SensitivityTable t = Sensitivity(s, r);
  ASSERT_TRUE(t.error.empty()) << t.error;
  ASSERT_EQ(t.settings.size(), 1u);
  ASSERT_EQ(t.rows.size(), r.dims.size());
  const SensSetting& set = t.settings[0];
  // As near as the cut-offs' own scatter (thousandths of a percent) lets
  // the search for the travel come.
  EXPECT_NEAR(MeanCutOff(set.base), 25, 0.005);

  const SensRow& stem = RowOf(t, 117);
  EXPECT_NEAR(Change(stem, SensQuantity::LeadFront), 0.01, 1e-9);
  EXPECT_NEAR(Change(stem, SensQuantity::LeadRear), -0.01, 1e-9);
  EXPECT_NEAR(Change(stem, SensQuantity::OpeningFront), 0.01, 1e-9);
  EXPECT_NEAR(Change(stem, SensQuantity::OpeningRear), -0.01, 1e-9);
  EXPECT_EQ(Change(stem, SensQuantity::ValveTravel), 0);
  EXPECT_EQ(Change(stem, SensQuantity::DieSlip), 0);

  ModelState g = s;
  g.mech.RevArmX = set.setting.revArmX;
  auto x4 = [&](double angle) {
    g.mech.DrvAngle = static_cast<float>(angle);
    Solve(g);
    return static_cast<double>(g.mech.PtX[4]);
  };
  const double S = s.dims.frame.Stroke, L = s.dims.frame.MainRodLen;
  auto fromFront = [&](double deg) {
    const double a = deg * M_PI / 180;
    return 100 * (S / 2 * (1 - std::cos(a)) + L - std::sqrt(L * L - std::pow(S / 2 * std::sin(a), 2))) / S;
  };
  // Rates over half a degree either side: the valve's place is only good to
  // the solver's tolerance, the curvature over a degree is negligible.
  double byHand[2];
  for (int end = 0; end < 2; ++end) {
    const double at = (end ? set.base.rear.cutOff : set.base.front.cutOff)->angle, w = 0.5;
    const double dX = (x4(at + w) - x4(at - w)) / (2 * w);
    const double dP = (fromFront(at + w) - fromFront(at - w)) / (2 * w) * (end ? -1 : 1);
    byHand[end] = -dP / dX * 0.01;
  }
  // The figure spans 0.01 either side, some 3 degrees of crank at the front:
  // within 2 % of the rate at the event.
  EXPECT_NEAR(Change(stem, SensQuantity::CutOffFront), byHand[0], 0.02 * std::fabs(byHand[0]));
  EXPECT_NEAR(Change(stem, SensQuantity::CutOffRear), byHand[1], 0.02 * std::fabs(byHand[1]));
  const double stemDiff = Change(stem, SensQuantity::CutOffDifference);
  EXPECT_NEAR(stemDiff, byHand[0] - byHand[1], 0.02 * std::fabs(byHand[0] - byHand[1]));
  EXPECT_GT(stemDiff, 5);

  const double lever = s.dims.frame.CombLevLower / (s.dims.frame.CombLevLower + s.dims.frame.CombLevUpper);
  const SensRow& rod = RowOf(t, 10);
  EXPECT_NEAR(Change(rod, SensQuantity::LeadFront), 0.01 * lever, 0.005 * 0.01 * lever);
  EXPECT_NEAR(Change(rod, SensQuantity::LeadRear), -0.01 * lever, 0.005 * 0.01 * lever);
  EXPECT_NEAR(Change(rod, SensQuantity::CutOffDifference), lever * stemDiff, 0.01 * lever * stemDiff);

  // The link pivot carries the link, the die and the radius rod back with
  // it; the eccentric rod holds the link's tail and swings it a little the
  // other way, so the valve follows by somewhat less than the rod's share.
  const SensRow& pivot = RowOf(t, 25);
  EXPECT_GT(Change(pivot, SensQuantity::LeadFront), 0.8 * 0.01 * lever);
  EXPECT_LT(Change(pivot, SensQuantity::LeadFront), 0.01 * lever);
  EXPECT_GT(Change(pivot, SensQuantity::CutOffDifference), 3);

  for (int id : {17, 18, 19, 20, 21, 22, 23}) {
    const SensRow& lift = RowOf(t, id);
    EXPECT_LT(std::fabs(Change(lift, SensQuantity::LeadFront)), 1e-4) << lift.dim.field;
    EXPECT_LT(std::fabs(Change(lift, SensQuantity::LeadRear)), 1e-4) << lift.dim.field;
  }
  EXPECT_LT(std::fabs(Change(RowOf(t, 17), SensQuantity::CutOffDifference)), 0.1);
}

// Three gears on an edge, each with the figures withheld that must be and
// given that may be.
TEST(Sensitivity, WithheldAtTheEdges) {
  const ModelState nominal = Nominal();
  auto rowAt = [](ModelState g, float travel) {
    EventRequest q;
    q.side = EventRequest::Forward;
    q.values = {travel};
    return ValveEventsTable(g, q).rows.at(0);
  };
  auto one = [](const ModelState& g, const char* dim, float travel) {
    SensitivityRequest r;
    r.dims = {dim};
    r.travels = {travel};
    SensitivityTable t = Sensitivity(g, r);
    EXPECT_EQ(t.rows.size(), 1u);
    return t.rows.at(0);
  };

  // The front port's width 0.001 short of the largest opening: 0.01 less
  // holds the opening to the width, 0.01 more frees it to 0.001 past it.
  {
    ModelState g = nominal;
    const double open = *rowAt(g, 0.3f).front.maxOpening;
    g.dims.CylValveDim[ValvePortWFront] = static_cast<float>(open - 0.001);
    const SensRow row = one(g, "ValvePortWFront", 0.3f);
    const SensCell& c = Cell(row, SensQuantity::OpeningFront);
    EXPECT_EQ(c.flag, SensFlag::Disagree);
    EXPECT_FALSE(c.change);
    EXPECT_NEAR(*c.below, 0.01, 1e-9);
    EXPECT_NEAR(*c.above, (open - row.value) / (row.upper - row.value) * 0.01, 1e-8);
    EXPECT_NE(c.why.find("disagree"), std::string::npos) << c.why;
    EXPECT_EQ(Change(row, SensQuantity::CutOffFront), 0);
    EXPECT_EQ(Change(row, SensQuantity::OpeningRear), 0);
  }
  // The valve set forward until the rear port opens by 0.005 at most: with
  // the stem 0.01 longer it never opens, and the rear admission, cut-off and
  // opening are gone; the front end and the leads are figures as before.
  {
    ModelState g = nominal;
    const double open = *rowAt(g, 0.1f).rear.maxOpening;
    g.dims.CylValveDim[ValveStemLen] = static_cast<float>(g.dims.CylValveDim[ValveStemLen] + (open - 0.005));
    ASSERT_NEAR(*rowAt(g, 0.1f).rear.maxOpening, 0.005, 1e-5);
    const SensRow row = one(g, "117", 0.1f);
    for (SensQuantity q : {SensQuantity::CutOffRear, SensQuantity::CutOffDifference, SensQuantity::OpeningRear}) {
      EXPECT_EQ(Cell(row, q).flag, SensFlag::Absent);
      EXPECT_EQ(Cell(row, q).why, "absent at +0.01");
    }
    EXPECT_NEAR(Change(row, SensQuantity::LeadRear), -0.01, 1e-9);
    EXPECT_NEAR(Change(row, SensQuantity::OpeningFront), 0.01, 1e-9);
    EXPECT_TRUE(Cell(row, SensQuantity::CutOffFront).change);
  }
  // The link shortened until the die comes within 0.004 of its end at the
  // setting: 0.01 shorter, the die runs past it. The link's length moves
  // its end, not the die, which the radius rod and the lifting gear place.
  {
    ModelState g = nominal;
    const double margin = rowAt(g, 1.0f).sound.Margin();
    ASSERT_GT(margin, 0.02);
    SetDim(g, 11, static_cast<float>(GetDim(g, 11) - margin + 0.004));
    const Soundness edge = rowAt(g, 1.0f).sound;
    ASSERT_TRUE(edge.Sound());
    ASSERT_GT(edge.Margin(), 0);
    ASSERT_LT(edge.Margin(), 0.008);
    const SensRow row = one(g, "LinkUpLowLen", 1.0f);
    for (const SensCell& c : row.cells) {
      EXPECT_EQ(c.flag, SensFlag::VerdictChanges);
      EXPECT_EQ(c.why, "at -0.01 die beyond link end; as given sound; at +0.01 sound");
    }
  }
}

TEST(Sensitivity, AnyThreadCountCancelAndProgress) {
  const ModelState s = Nominal();
  SensitivityRequest r;
  r.dims = {"3", "10", "RadRodLiftPt"};
  r.cutOffs = {25};
  int last = 0, total = 0;
  r.progress = [&](int done, int of) {
    last = std::max(last, done);
    total = of;
  };
  SetSweepThreads(1);
  const SensitivityTable one = Sensitivity(s, r);
  SetSweepThreads(2);
  const SensitivityTable two = Sensitivity(s, r);
  SetSweepThreads(0);
  // One search for the cut-off, the gear as given, two gears per dimension.
  EXPECT_EQ(total, 1 + 1 + 2 * 3);
  EXPECT_EQ(last, total);
  ASSERT_EQ(one.rows.size(), 3u);
  ASSERT_EQ(two.rows.size(), 3u);
  for (size_t k = 0; k < one.rows.size(); ++k)
    for (size_t q = 0; q < one.rows[k].cells.size(); ++q) {
      EXPECT_EQ(one.rows[k].cells[q].change, two.rows[k].cells[q].change) << k << " " << q;
      EXPECT_EQ(one.rows[k].cells[q].flag, two.rows[k].cells[q].flag);
    }

  std::atomic<bool> cancel{true};
  r.cancel = &cancel;
  const SensitivityTable stopped = Sensitivity(s, r);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_TRUE(stopped.rows.empty());
  EXPECT_TRUE(StrongestLevers(s, EventRequest::Forward, 3, &cancel).empty());

  r.dims = {"DriverDia", "Nope"};
  EXPECT_EQ(Sensitivity(s, r).error, "unknown dimension key 'Nope'");
}

// The ranking by the largest |change| of the cut-off difference over the
// settings, a dimension with a withheld one after all the others.
TEST(Sensitivity, LeversRankedByTheCutOffDifference) {
  SensitivityTable t;
  const int ids[] = {13, 17, 10, 22, 117};
  for (int id : ids) t.dims.push_back(BalanceDim{id, "", "", 0, 0});
  // Two settings: per dimension its figures at each.
  const std::map<int, std::pair<double, double>> diff = {
      {13, {1, -5}}, {17, {3, 2}}, {10, {NAN, 10}}, {22, {0.5, 0.5}}, {117, {-3, 0.2}}};
  for (size_t set = 0; set < 2; ++set)
    for (int id : ids) {
      SensRow row;
      row.setting = set;
      row.dim = BalanceDim{id, "", "", 0, 0};
      const double v = set ? diff.at(id).second : diff.at(id).first;
      SensCell& c = row.cells[static_cast<size_t>(SensQuantity::CutOffDifference)];
      if (std::isnan(v)) c.flag = SensFlag::Absent;
      else c.change = v;
      t.rows.push_back(row);
    }
  EXPECT_EQ(RankLevers(t, 0), (std::vector<int>{13, 17, 117, 22, 10}));
  EXPECT_EQ(RankLevers(t, 2), (std::vector<int>{13, 17}));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// One CSV line, a quoted field's doubled quotes read as one.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> f(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') f.back() += '"', ++i;
    else if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) f.emplace_back();
    else f.back() += c;
  }
  return f;
}

// The link 0.035 short (the die near its end at travel 1, as above) and the
// valve stem: the link's row withheld whole, the stem's given.
TEST(SensitivityCli, ThreeFormatsAgree) {
  const std::vector<std::string> base = {"sensitivity", "--set", "LinkUpLowLen=1.665", "--notches", "1", "--vary", "11,117"};
  std::map<std::string, std::string> out;
  for (const char* f : {"text", "csv", "json"}) {
    std::vector<std::string> args = base;
    args.insert(args.end(), {"--format", f});
    std::ostringstream o, e;
    ASSERT_EQ(RunCli(args, o, e), 0) << e.str();
    EXPECT_EQ(e.str(), "");
    out[f] = o.str();
  }
  const auto& q = SensQuantities();
  const std::vector<std::string> csv = Lines(out["csv"]), json = Lines(out["json"]), text = Lines(out["text"]);
  ASSERT_EQ(csv.size(), 3u);
  ASSERT_EQ(json.size(), 2u);
  const std::vector<std::string> head = CsvFields(csv[0]);
  ASSERT_EQ(head.size(), 7 + q.size());
  EXPECT_EQ(head[5], "value");
  EXPECT_EQ(head.back(), "notes");
  for (size_t row = 0; row < 2; ++row) {
    const std::vector<std::string> c = CsvFields(csv[row + 1]);
    ASSERT_EQ(c.size(), head.size());
    const nlohmann::json j = nlohmann::json::parse(json[row]);
    EXPECT_EQ(j["side"], c[0]);
    EXPECT_EQ(j["travel"].get<double>(), CDouble(c[1]));
    EXPECT_TRUE(j["target_cutoff"].is_null());
    EXPECT_EQ(c[2], "");
    EXPECT_EQ(std::to_string(j["id"].get<int>()), c[3]);
    EXPECT_EQ(j["field"], c[4]);
    EXPECT_EQ(j["value"].get<double>(), CDouble(c[5]));
    // The text's line for the dimension: name, id, value, then the figures.
    std::vector<std::string> words;
    for (const std::string& l : text) {
      std::istringstream in(l);
      std::vector<std::string> w;
      for (std::string x; in >> x;) w.push_back(x);
      if (!w.empty() && w[0] == c[4]) words = w;
    }
    ASSERT_EQ(words.size(), 3 + q.size()) << c[4];
    for (size_t k = 0; k < q.size(); ++k) {
      const std::string& cell = c[6 + k];
      const nlohmann::json& v = j[q[k].id];
      if (cell.empty()) {
        EXPECT_TRUE(v.is_null());
        EXPECT_TRUE(j["flags"].contains(q[k].id));
        EXPECT_EQ(words[3 + k], "?");
      } else {
        EXPECT_EQ(v.get<double>(), CDouble(cell)) << q[k].id;
        EXPECT_FALSE(j["flags"].contains(q[k].id));
        const double shown = CDouble(words[3 + k]), exact = CDouble(cell);
        EXPECT_NEAR(shown, exact, 5e-4 * std::fabs(exact)) << q[k].id;
      }
    }
  }
  // The link's row is withheld whole, its reason given once.
  EXPECT_EQ(CsvFields(csv[1])[4], "LinkUpLowLen");
  EXPECT_EQ(CsvFields(csv[1]).back(), "all: at -0.01 die beyond link end; as given sound; at +0.01 sound");
  EXPECT_EQ(CsvFields(csv[2]).back(), "");
  EXPECT_NE(out["text"].find("\nnotes:\n  fwd 1, LinkUpLowLen, all: at -0.01 die beyond link end"), std::string::npos)
      << out["text"];
  EXPECT_EQ(nlohmann::json::parse(json[0])["flags"].size(), q.size());

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"sensitivity", "--vary", "Nope"}, {"sensitivity", "--side", "sideways"},
        {"sensitivity", "--cutoffs", "0"}, {"sensitivity", "--format", "xml"}, {"sensitivity", "--notches", "-0.3"},
        {"sensitivity", "--cutoffs", "25", "--notches", "0.3"}, {"sensitivity", "--vary"}}) {
    std::ostringstream o, e;
    EXPECT_EQ(RunCli(bad, o, e), 2) << bad.back();
    EXPECT_EQ(o.str(), "");
    EXPECT_EQ(Lines(e.str()).size(), 1u) << e.str();
  }
  std::ostringstream help, e;
  RunCli({"--help"}, help, e);
  EXPECT_NE(help.str().find("sensitivity"), std::string::npos);
}

}  // namespace
}  // namespace brevold
