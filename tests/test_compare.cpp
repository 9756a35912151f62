// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Two gears side by side: a gear against itself, against one with a longer
// valve stem, and a cut-off one gear does not reach; the command line's
// operands.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>

#include "cli/cli.h"
#include "model/compare.h"
#include "model/dimensions.h"
#include "model/sensitivity.h"
#include "model/state.h"
#include "helpers.h"

namespace brevold {
namespace {

using test::Nominal;

size_t Index(SensQuantity q) { return static_cast<size_t>(q); }

TEST(CompareGears, AGearAgainstItselfDiffersInNothing) {
  const ModelState s = Nominal();
  CompareRequest r;
  r.cutOffs = {25};
  const GearComparison c = CompareGears(s, s, r);
  EXPECT_TRUE(c.dims.empty());
  ASSERT_EQ(c.settings.size(), 2u);  // 25 % on each side
  for (const ComparedSetting& k : c.settings) {
    ASSERT_TRUE(k.a && k.b);
    for (size_t q = 0; q < k.difference.size(); ++q) {
      ASSERT_TRUE(k.difference[q]) << SensQuantities()[q].id;
      EXPECT_EQ(*k.difference[q], 0) << SensQuantities()[q].id;
    }
  }
  EXPECT_EQ(c.travelA.Describe(), c.travelB.Describe());
  EXPECT_TRUE(c.notes.empty());
}

// A valve stem 0.01 longer moves the valve 0.01 towards the rear at every
// crank angle: the lead grows 0.01 at the front and shrinks 0.01 at the
// rear, whatever the setting, and the cut-off difference moves by about what
// the sensitivity table says for +0.01 of the stem (the table takes equal
// travels, the comparison equal mean cut-offs: a few per cent apart).
TEST(CompareGears, ALongerValveStemMovesTheLeadsByItsLengthAndTheCutOffsAsTheSensitivitySays) {
  const ModelState a = Nominal();
  ModelState b = a;
  const float stem = GetDim(a, 117);
  SetDim(b, 117, stem + 0.01f);
  CompareRequest r;
  r.side = EventRequest::Forward;
  r.cutOffs = {25};
  const GearComparison c = CompareGears(a, b, r);
  ASSERT_EQ(c.dims.size(), 1u);
  EXPECT_EQ(c.dims[0].field, "ValveStemLen");
  EXPECT_EQ(c.dims[0].a, stem);
  EXPECT_EQ(c.dims[0].b, stem + 0.01f);
  ASSERT_EQ(c.settings.size(), 1u);
  const ComparedSetting& k = c.settings[0];
  ASSERT_TRUE(k.a && k.b);
  EXPECT_NEAR(std::fabs(MeanCutOff(*k.a) - 25), 0, 1e-3);
  EXPECT_NEAR(std::fabs(MeanCutOff(*k.b) - 25), 0, 1e-3);
  const double shift = static_cast<double>(stem + 0.01f) - stem;
  EXPECT_NEAR(*k.difference[Index(SensQuantity::LeadFront)], shift, 2e-4);
  EXPECT_NEAR(*k.difference[Index(SensQuantity::LeadRear)], -shift, 2e-4);

  SensitivityRequest sr;
  sr.dims = {"ValveStemLen"};
  sr.cutOffs = {25};
  const SensitivityTable t = Sensitivity(a, sr);
  ASSERT_EQ(t.rows.size(), 1u);
  const auto& figure = t.rows[0].cells[Index(SensQuantity::CutOffDifference)].change;
  ASSERT_TRUE(figure);
  const double moved = *k.difference[Index(SensQuantity::CutOffDifference)];
  EXPECT_GT(moved, 1);  // the stem is a strong lever on the cut-off difference
  EXPECT_NEAR(moved, *figure, 0.05 * std::fabs(*figure));
}

TEST(CompareGears, ACutOffAGearDoesNotReachIsSaidAndLeftWithoutFigures) {
  const ModelState a = Nominal();
  ModelState b = a;
  b.dims.frame.RevArmMax *= 0.5f;  // B's full gear cuts off far earlier
  CompareRequest r;
  r.side = EventRequest::Forward;
  CompareRequest full = r;
  full.cutOffs = {99};
  const GearComparison c = CompareGears(a, b, full);
  ASSERT_EQ(c.settings.size(), 1u);
  EXPECT_FALSE(c.settings[0].b);
  for (const auto& d : c.settings[0].difference) EXPECT_FALSE(d);
  ASSERT_FALSE(c.notes.empty());
  EXPECT_EQ(c.notes.back().rfind("B: cut-off 99.0 %", 0), 0u) << c.notes.back();
  EXPECT_NE(FormatComparison(c, "text", "a", "b").find("not reached"), std::string::npos);
}

TEST(CliCompare, TakesTwoGearFilesAndWritesTheirComparison) {
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"compare", "only-one.dmi"}, out, err), 2);
  EXPECT_EQ(err.str(), "brevold-cli: compare takes two gear files, A and B\n");
  err.str("");
  EXPECT_EQ(RunCli({"compare", "a.dmi", "b.dmi", "--bogus"}, out, err), 2);
  EXPECT_EQ(err.str(), "brevold-cli: unknown option '--bogus'\n");

  const std::string path = testing::TempDir() + "compare-nominal.json";
  err.str("");
  ASSERT_EQ(RunCli({"save", "--out", path}, out, err), 0) << err.str();
  out.str("");
  ASSERT_EQ(RunCli({"compare", path, path, "--side", "rev", "--cutoffs", "30", "--format", "json"}, out, err), 0)
      << err.str();
  const auto j = nlohmann::json::parse(out.str());
  EXPECT_TRUE(j["dims"].empty());
  ASSERT_EQ(j["settings"].size(), 1u);
  EXPECT_EQ(j["settings"][0]["side"], "rev");
  EXPECT_EQ(j["settings"][0]["cutoff_diff"]["b_minus_a"], 0.0);
  EXPECT_EQ(j["settings"][0]["verdict_a"], "sound");
}

}  // namespace
}  // namespace brevold
