// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Dimension sets as JSON: a file's image goes to text and back bit for bit,
// and a faulty text is refused with the field named.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "model/dimensions.h"
#include "model/dimjson.h"
#include "model/gearfields.h"
#include "model/state.h"

namespace brevold {
namespace {

// A set with nine positions, overlay rows and awkward values.
DimFileImage BusyImage() {
  ModelState s;
  StartUp(s);
  for (size_t k = 1; k <= 9; ++k) s.revArm.Positions[k] = 9.5f + 0.0371f * static_cast<float>(k);
  for (size_t r = 1; r <= 7; ++r) {
    s.overlay.LineType[r] = static_cast<float>(r % 3);
    s.overlay.LineColor[r] = static_cast<float>(r);
    s.overlay.Line1Horz[r] = 0.1f * static_cast<float>(r);
    s.overlay.Piv2Vert[r] = -1e-7f * static_cast<float>(r);
  }
  s.overlay.LineNo = 7;
  s.view.ViewPreset[3] = {25.25f, -3, 1e30f};
  DimFileImage img = ImageOf(s);
  img.values[351] = -0.0f;
  img.values[352] = std::nanf("0x123");
  img.values[353] = -INFINITY;
  img.values[3] = 1.17549435e-38f / 8;  // a denormal
  return img;
}

TEST(DimJson, RoundTripIsBitForBit) {
  const DimFileImage img = BusyImage();
  const std::string text = DimImageToJson(img);
  DimFileImage back;
  ASSERT_TRUE(DimImageFromJson(text, back).ok);
  EXPECT_EQ(EncodeDimFile(back), EncodeDimFile(img));
  EXPECT_EQ(DimImageToJson(back), text);
  // Named as a reader expects them.
  EXPECT_NE(text.find("\"MainRodLen\": {\n      \"id\": 3,"), std::string::npos);
  EXPECT_NE(text.find("\"nan:0x7fc00123\""), std::string::npos);
  EXPECT_NE(text.find("\"LineNo\": 7.0"), std::string::npos);
}

// Every single a set can hold comes back from its JSON bit for bit: the
// edges of the range (the largest, the smallest normal, denormals, zeros,
// infinities, NaNs with payloads) and a sweep through every exponent.
TEST(DimJson, EverySingleRoundTripsTheEdgesIncluded) {
  std::vector<std::uint32_t> bits = {0x7f7fffff, 0xff7fffff, 0x7f7ffffe, 0x00800000, 0x80800000, 0x007fffff,
                                     0x00000001, 0x80000001, 0x00400000, 0x00000000, 0x80000000, 0x7f800000,
                                     0xff800000, 0x7fc00000, 0xffc00001, 0x7f800001, 0x7fbfffff, 0x3f800000,
                                     // shortest text, read as a double, would round twice
                                     0x15ae43fd, 0x95ae43fd};
  for (std::uint64_t b = 0; b <= 0xffffffffu; b += 40009) bits.push_back(static_cast<std::uint32_t>(b));
  ModelState s;
  StartUp(s);
  const DimFileImage start = ImageOf(s);
  for (size_t first = 0; first < bits.size(); first += start.values.size()) {
    DimFileImage img = start;
    for (size_t k = 0; k < img.values.size() && first + k < bits.size(); ++k)
      std::memcpy(&img.values[k], &bits[first + k], 4);
    DimFileImage back;
    const FileResult r = DimImageFromJson(DimImageToJson(img), back);
    ASSERT_TRUE(r.ok) << r.message;
    for (size_t k = 0; k < img.values.size(); ++k) {
      std::uint32_t was, is;
      std::memcpy(&was, &img.values[k], 4);
      std::memcpy(&is, &back.values[k], 4);
      ASSERT_EQ(is, was) << std::hex << "0x" << was;
    }
  }
}

TEST(DimJson, FaultyTextNamesTheFieldAndChangesNothing) {
  const std::string good = DimImageToJson(BusyImage());
  auto refused = [&](std::string text) {
    DimFileImage out;
    out.values.fill(42);
    const FileResult r = DimImageFromJson(text, out);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(out.values[0], 42);
    return r.message;
  };
  auto edit = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    const size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return t.replace(at, from.size(), to);
  };
  EXPECT_EQ(refused(edit("\"EccRodLen\"", "\"EccRodLength\"")), "dimensions.EccRodLen: missing");
  EXPECT_EQ(refused(edit("\"id\": 3,", "\"id\": 4,")), "dimensions.MainRodLen.id: not 3");
  EXPECT_EQ(refused(edit("\"GraphZoomFactor\": 7.5", "\"GraphZoomFactor\": \"big\"")).substr(0, 26),
            "view.GraphZoomFactor: 'big");
  EXPECT_EQ(refused(edit("\"GraphZoomFactor\": 7.5", "\"GraphZoomFactor\": 1e300")),
            "view.GraphZoomFactor: out of the range of a single");
  EXPECT_EQ(refused(edit("\"LineNo\": 7.0", "\"LineNo\": null")), "overlay.LineNo: not a number");
  EXPECT_EQ(refused(edit("\"LineNo\": 7.0", "\"LineN\": 7.0")), "overlay.LineNo: missing");
  EXPECT_EQ(refused(good.substr(0, good.size() / 2)).substr(0, 15), "malformed JSON:");
  EXPECT_EQ(refused("[]"), "malformed JSON: not an object");
}

// The table both forms walk: one row per value of the file, each JSON name
// once, and each dimension once under its field name with its id.
TEST(GearFields, OneRowPerFileValueAndEachDimensionOnce) {
  const std::vector<GearField>& rows = GearFields();
  ASSERT_EQ(rows.size(), static_cast<size_t>(DimFileRecords * 5));
  std::set<std::string> names;
  for (const GearField& f : rows) EXPECT_TRUE(names.insert(f.json).second) << f.json;
  for (const DimInfo& d : DimTable()) {
    int found = 0;
    for (const GearField& f : rows)
      if (f.id == d.id) {
        ++found;
        EXPECT_EQ(f.json, std::string("/dimensions/") + d.field);
      }
    EXPECT_EQ(found, 1) << d.field;
  }
  // Landmarks of the file: its first value, the first fixed pivot (a
  // dimension of its own), the view's scale and the lines dialog's row.
  EXPECT_EQ(rows[0].json, "/dimensions/Stroke");
  EXPECT_EQ(rows[21].json, "/dimensions/LinkPivotHorz");
  EXPECT_EQ(rows[51].json, "/view/Scale");
  EXPECT_EQ(rows[90].name, "overlay.Rows[0].Line1Horz");
  EXPECT_EQ(rows[LineNoField].json, "/overlay/LineNo");
  EXPECT_FALSE(rows[LineNoField].at);
}

}  // namespace
}  // namespace brevold
