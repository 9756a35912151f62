#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "helpers.h"
#include "model/dimfile.h"
#include "model/numfmt.h"

namespace brevold {
using test::SolveAt;
using test::Started;

namespace fs = std::filesystem;

class DimFileTest : public ::testing::Test {
 protected:
  DimFileTest() : dir(fs::temp_directory_path() / ("brevold-dimfile-" + std::to_string(::getpid()))) {
    fs::create_directories(dir);
  }
  ~DimFileTest() override { fs::remove_all(dir); }
  std::string Path(const char* name) const { return (dir / name).string(); }
  fs::path dir;
};

// A set that differs from the nominal one everywhere the file reaches.
ModelState Edited() {
  ModelState s = Started();
  SolveAt(s, 30);
  for (const DimInfo& d : DimTable()) SetDim(s, d.id, GetDim(s, d.id) * 1.01f + 0.003f);
  s.mech.PtY[4] = 9.125f;  // stored as it stands, not recomputed
  s.view.Scale = 33.3f;
  s.view.OriginX = -12.5f;
  s.view.GraphZoomFactor = 15;
  s.view.ViewPreset[0] = {1, 2, 3};
  s.view.ViewPreset[6].OriginY = 77;
  s.revArm.Positions[4] = 9.5f;
  s.revArm.Positions[9] = 10.125f;
  s.revArm.VertScale = 2.5f;
  s.DiagLastRevArm = 10.0f;
  s.overlay.LineType[3] = 1;
  s.overlay.LineColor[3] = 255;
  s.overlay.LineRef[3] = 1;
  s.overlay.Piv1No[3] = 9;
  s.overlay.Line2Horz[3] = 0.75f;
  s.overlay.Piv2Vert[20] = -4.5f;
  s.overlay.LineNo = 7;
  return s;
}

TEST_F(DimFileTest, AFreshSetIs1420BytesStartingWithTheStroke) {
  ModelState s = Started();
  ASSERT_TRUE(SaveDimensions(s, Path("nominal.dmi")).ok);
  EXPECT_EQ(fs::file_size(Path("nominal.dmi")), 1420u);
  std::ifstream in(Path("nominal.dmi"), std::ios::binary);
  unsigned char head[4];
  in.read(reinterpret_cast<char*>(head), 4);
  const unsigned char four[4] = {0x00, 0x00, 0x80, 0x40};  // 4.0f, little-endian
  EXPECT_EQ(std::memcmp(head, four, 4), 0);
  EXPECT_EQ(s.dims.DimFileName, "nominal");
  EXPECT_EQ(DimNameFromPath("/home/me/engines/big.dmi"), "big");
  EXPECT_EQ(DimNameFromPath("C:\\gear\\big.dmi"), "big");
}

TEST_F(DimFileTest, SaveThenLoadReproducesTheSetBitForBit) {
  ModelState saved = Edited();
  ASSERT_TRUE(SaveDimensions(saved, Path("big.dmi")).ok);
  ModelState s = Started();
  SolveAt(s, 0);
  const FileResult r = LoadDimensions(s, Path("big.dmi"));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(s.dims.DimFileName, "big");
  for (const DimInfo& d : DimTable()) EXPECT_EQ(GetDim(s, d.id), GetDim(saved, d.id)) << d.id;
  EXPECT_EQ(std::memcmp(&s.dims.frame, &saved.dims.frame, sizeof(FrameDims)), 0);
  EXPECT_EQ(s.dims.CylValveDim, saved.dims.CylValveDim);
  EXPECT_EQ(s.mech.PtY[4], 9.125f);
  EXPECT_EQ(s.mech.PtX[17], saved.mech.PtX[17]);
  EXPECT_EQ(s.view.Scale, 33.3f);
  EXPECT_EQ(s.view.OriginX, -12.5f);
  EXPECT_EQ(s.view.GraphZoomFactor, 15);
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(s.view.ViewPreset[i].Scale, saved.view.ViewPreset[i].Scale);
    EXPECT_EQ(s.view.ViewPreset[i].OriginY, saved.view.ViewPreset[i].OriginY);
  }
  for (size_t k = 4; k <= 9; ++k) EXPECT_EQ(s.revArm.Positions[k], saved.revArm.Positions[k]);
  EXPECT_EQ(s.revArm.VertScale, 2.5f);
  EXPECT_EQ(s.DiagLastRevArm, 10.0f);
  EXPECT_EQ(std::memcmp(&s.overlay, &saved.overlay, sizeof(OverlayTable)), 0);
  EXPECT_EQ(s.mech.RevArmX, saved.mech.RevArmX);
  // Positions 1 to 3 are the loaded gear's mid gear and normal travel.
  const float c = s.revArm.Positions[0];
  EXPECT_EQ(s.revArm.Positions[1], c);
  EXPECT_FLOAT_EQ(s.revArm.Positions[2], c + s.dims.frame.RevArmNorm);
  EXPECT_FLOAT_EQ(s.revArm.Positions[3], c - s.dims.frame.RevArmNorm);
  EXPECT_EQ(s.revArm.BarMax, RoundEven(1000.0L * s.dims.frame.RevArmMax));
}

TEST_F(DimFileTest, AShortFileAppliesItsWholeRecordsAndSaysSo) {
  ModelState saved = Edited();
  ASSERT_TRUE(SaveDimensions(saved, Path("full.dmi")).ok);
  fs::copy_file(Path("full.dmi"), Path("short.dmi"));
  fs::resize_file(Path("short.dmi"), 5 * 20 + 7);  // five whole records and a piece
  ModelState s = Started();
  const float centreBefore = s.revArm.Positions[0];
  const FileResult r = LoadDimensions(s, Path("short.dmi"));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Read beyond end of file");
  EXPECT_EQ(s.dims.DimFileName, "short");
  EXPECT_EQ(s.dims.frame.Stroke, saved.dims.frame.Stroke);    // record 1
  EXPECT_EQ(s.mech.PtY[16], saved.mech.PtY[16]);              // record 5
  EXPECT_FLOAT_EQ(s.mech.PtX[10], Started().mech.PtX[10]);    // record 6: not reached
  EXPECT_EQ(s.dims.CylValveDim, Started().dims.CylValveDim);
  EXPECT_EQ(s.revArm.Positions[0], centreBefore);  // no mid gear after a failed load
}

TEST_F(DimFileTest, FailuresAreReportedInTheUsualWords) {
  ModelState s = Started();
  EXPECT_EQ(LoadDimensions(s, Path("missing.dmi")).message, "File not found");
  EXPECT_FALSE(SaveDimensions(s, Path("no/such/folder/x.dmi")).ok);
  fs::create_directory(Path("adir.dmi"));
  EXPECT_EQ(SaveDimensions(s, Path("adir.dmi")).message, "File access denied");
}

TEST_F(DimFileTest, DamagedValuesAreReadButCannotIndexOutsideTheTables) {
  ModelState saved = Started();
  saved.overlay.LineNo = 20;
  ASSERT_TRUE(SaveDimensions(saved, Path("d.dmi")).ok);
  {
    std::fstream f(Path("d.dmi"), std::ios::binary | std::ios::in | std::ios::out);
    const float wild[3] = {1e30f, -7, 999};
    f.seekp(1420 - 4);
    f.write(reinterpret_cast<const char*>(&wild[2]), 4);  // the line count
    f.seekp(0);
    f.write(reinterpret_cast<const char*>(&wild[0]), 4);  // a wild stroke
  }
  ModelState s = Started();
  ASSERT_TRUE(LoadDimensions(s, Path("d.dmi")).ok);
  EXPECT_EQ(s.dims.frame.Stroke, 1e30f);
  EXPECT_EQ(s.overlay.LineNo, 20);
  SolveAt(s, 45);  // the guards take the wild stroke
  EXPECT_EQ(s.mech.ErrFlag, 1);
}

}  // namespace brevold
