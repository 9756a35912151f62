// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <limits>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "helpers.h"
#include "model/dimfile.h"
#include "model/dimjson.h"
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

// Everything a load could touch, as bytes, with the set's name.
std::string Snapshot(const ModelState& s) {
  const auto bytes = EncodeDimFile(ImageOf(s));
  std::string out(bytes.begin(), bytes.end());
  out.append(reinterpret_cast<const char*>(&s.revArm), sizeof s.revArm);
  out.append(reinterpret_cast<const char*>(&s.view), sizeof s.view);
  out.append(reinterpret_cast<const char*>(&s.mech.RevArmX), sizeof(float));
  return out + "|" + s.dims.DimFileName;
}

TEST_F(DimFileTest, AShortFileChangesNothingAndSaysSo) {
  ModelState saved = Edited();
  ASSERT_TRUE(SaveDimensions(saved, Path("full.dmi")).ok);
  for (const uintmax_t size : {uintmax_t{0}, uintmax_t{107}, uintmax_t{240}, uintmax_t{700}, uintmax_t{1419}}) {
    fs::copy_file(Path("full.dmi"), Path("short.dmi"), fs::copy_options::overwrite_existing);
    fs::resize_file(Path("short.dmi"), size);
    ModelState s = Started();
    SolveAt(s, 10);
    const std::string before = Snapshot(s);
    const FileResult r = LoadDimensions(s, Path("short.dmi"));
    EXPECT_FALSE(r.ok) << size;
    EXPECT_EQ(r.message, "Read beyond end of file") << size;
    EXPECT_EQ(Snapshot(s), before) << size;
  }
  // A longer file is read as its first 71 records.
  fs::copy_file(Path("full.dmi"), Path("long.dmi"));
  { std::ofstream(Path("long.dmi"), std::ios::binary | std::ios::app) << "trailing bytes"; }
  ModelState s = Started();
  ASSERT_TRUE(LoadDimensions(s, Path("long.dmi")).ok);
  EXPECT_EQ(s.dims.frame.Stroke, saved.dims.frame.Stroke);
  EXPECT_EQ(s.overlay.LineNo, 7);
}

// A pipe with no writer, a folder or a device given as the gear is refused
// at once, by every reader, with nothing changed: none of them may wait.
TEST_F(DimFileTest, APipeAFolderOrADeviceIsRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo(Path("pipe.dmi").c_str(), 0600), 0);
  fs::create_directory(Path("folder.dmi"));
  for (const std::string& path : {Path("pipe.dmi"), Path("folder.dmi"), std::string("/dev/null")}) {
    ModelState s = Started();
    const std::string before = Snapshot(s);
    const FileResult r = LoadDimensions(s, path);
    EXPECT_FALSE(r.ok) << path;
    EXPECT_EQ(r.message.rfind("Not a regular file", 0), 0u) << path << ": " << r.message;
    EXPECT_EQ(Snapshot(s), before) << path;
    DimFileImage img;
    EXPECT_FALSE(ReadGearFile(path, img).ok) << path;
    EXPECT_FALSE(ReadDimJson(path, img).ok) << path;
  }
  // A link to a regular file is still read through.
  ModelState saved = Edited();
  ASSERT_TRUE(SaveDimensions(saved, Path("real.dmi")).ok);
  fs::create_symlink(Path("real.dmi"), Path("link.dmi"));
  ModelState s = Started();
  EXPECT_TRUE(LoadDimensions(s, Path("link.dmi")).ok);
  EXPECT_EQ(s.dims.frame.Stroke, saved.dims.frame.Stroke);
}

// Bytes of a file written from `s` with field `index` (0-based, file order)
// replaced.
void PatchField(const std::string& path, size_t index, float v) {
  std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
  f.seekp(static_cast<std::streamoff>(index * 4));
  f.write(reinterpret_cast<const char*>(&v), 4);
}

TEST_F(DimFileTest, ViewValuesFromAFileAreHeldToWhatTheControlsAllow) {
  ModelState base = Started();
  base.view.ViewPreset[2] = {40, 10, 20};
  base.view.ViewPreset[3] = {0, 0, 0};
  ASSERT_TRUE(SaveDimensions(base, Path("v.dmi")).ok);
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  // Record 11: PtY[4], Scale, OriginX, GraphZoomFactor, OriginY; record 12
  // ends with VertScale; records 13-17 hold the presets.
  PatchField(Path("v.dmi"), 51, 1e7f);   // Scale
  PatchField(Path("v.dmi"), 53, 0);      // GraphZoomFactor
  PatchField(Path("v.dmi"), 59, 1e9f);   // VertScale
  PatchField(Path("v.dmi"), 60, 1e30f);  // preset 0 scale
  PatchField(Path("v.dmi"), 63, -5);     // preset 1 scale
  PatchField(Path("v.dmi"), 68, nan);    // preset 2 origin Y
  ModelState s = Started();
  ASSERT_TRUE(LoadDimensions(s, Path("v.dmi")).ok);
  EXPECT_EQ(s.view.Scale, 3000);
  EXPECT_EQ(s.view.GraphZoomFactor, 0.5f);
  EXPECT_EQ(s.revArm.VertScale, 100);
  EXPECT_EQ(s.view.ViewPreset[0].Scale, 3000);
  EXPECT_EQ(s.view.ViewPreset[1].Scale, 0.5f);
  EXPECT_EQ(s.view.ViewPreset[2].Scale, s.view.NormScale);  // not a number: the normal view
  EXPECT_EQ(s.view.ViewPreset[2].OriginY, s.view.NormOriginY);
  EXPECT_EQ(s.view.ViewPreset[3].Scale, 0);  // never stored, and stays so

  PatchField(Path("v.dmi"), 52, inf);  // OriginX
  PatchField(Path("v.dmi"), 53, nan);
  PatchField(Path("v.dmi"), 59, -inf);
  ASSERT_TRUE(LoadDimensions(s, Path("v.dmi")).ok);
  EXPECT_EQ(s.view.Scale, s.view.NormScale);
  EXPECT_EQ(s.view.OriginX, s.view.NormOriginX);
  EXPECT_EQ(s.view.GraphZoomFactor, 7.5f);
  EXPECT_EQ(s.revArm.VertScale, 1.5f);
}

TEST_F(DimFileTest, AFailedSaveLeavesTheOldFileAndNameAsTheyWere) {
  ModelState old = Edited();
  ASSERT_TRUE(SaveDimensions(old, Path("keep.dmi")).ok);
  const auto oldBytes = EncodeDimFile(ImageOf(old));
  ModelState s = Started();
  s.dims.DimFileName = "Nominal";
  // A file-size limit stops the write part-way.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit lim;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &lim), 0);
  const rlimit small{100, lim.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const FileResult r = SaveDimensions(s, Path("keep.dmi"));
  ::setrlimit(RLIMIT_FSIZE, &lim);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "I/O error " + std::to_string(EFBIG));
  EXPECT_EQ(s.dims.DimFileName, "Nominal");
  std::ifstream in(Path("keep.dmi"), std::ios::binary);
  const std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(now, std::string(oldBytes.begin(), oldBytes.end()));
  // No temporary file is left behind, then or after a save that succeeds.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  ASSERT_TRUE(SaveDimensions(s, Path("keep.dmi")).ok);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_EQ(s.dims.DimFileName, "keep");
  // A save through a link replaces the file it names and keeps the link.
  fs::create_symlink(Path("keep.dmi"), Path("link.dmi"));
  ASSERT_TRUE(SaveDimensions(old, Path("link.dmi")).ok);
  EXPECT_TRUE(fs::is_symlink(Path("link.dmi")));
  EXPECT_EQ(fs::file_size(Path("keep.dmi")), 1420u);
}

TEST(DimFileName, TheExtensionIsStrippedAsCharacters) {
  EXPECT_EQ(DimNameFromPath("/engines/voil\u00e0.dmi"), "voil\u00e0");
  EXPECT_EQ(DimNameFromPath("/engines/\u00e9.dm"), "");
  EXPECT_EQ(DimNameFromPath("/engines/caf\u00e9"), "");
  EXPECT_EQ(DimNameFromPath("/engines/\u00e9t\u00e9.dmi"), "\u00e9t\u00e9");
}

TEST_F(DimFileTest, FailuresAreReportedInTheUsualWords) {
  ModelState s = Started();
  EXPECT_EQ(LoadDimensions(s, Path("missing.dmi")).message, "File not found");
  EXPECT_FALSE(SaveDimensions(s, Path("no/such/folder/x.dmi")).ok);
  fs::create_directory(Path("adir.dmi"));
  EXPECT_EQ(SaveDimensions(s, Path("adir.dmi")).message, "File access denied (a folder cannot be written over)");
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

namespace brevold {

// What counts as unsaved work: the gear and its lines, not how it is looked
// at; a change undone is no change; a save, a load or a reset is the new
// mark, and the set remembers the file for "&Save".
TEST_F(DimFileTest, UnsavedWorkIsTheGearAndItsLinesNotTheView) {
  ModelState s = Started();
  EXPECT_FALSE(HasUnsavedChanges(s));
  s.view.Scale = 40;
  s.view.ViewPreset[2] = {5, 1, 1};
  s.mech.RevArmX += 0.3f;
  s.revArm.VertScale = 3;
  s.overlay.LineNo = 5;
  EXPECT_FALSE(HasUnsavedChanges(s));
  s.undo.EditDirty = 1;
  EditorFieldExit(s, 3, 17.25f, "Main Rod Length");
  EXPECT_TRUE(HasUnsavedChanges(s));
  Undo(s);
  EXPECT_FALSE(HasUnsavedChanges(s));
  const float line = s.overlay.Line1Horz[4];
  s.overlay.Line1Horz[4] = line + 2.5f;
  EXPECT_TRUE(HasUnsavedChanges(s));
  s.overlay.Line1Horz[4] = line;
  s.revArm.Positions[5] = 1.25f;
  EXPECT_TRUE(HasUnsavedChanges(s));

  ASSERT_TRUE(SaveSet(s, Path("work.json")).ok);
  EXPECT_FALSE(HasUnsavedChanges(s));
  EXPECT_EQ(s.dims.DimFilePath, Path("work.json"));
  EXPECT_EQ(s.dims.DimFileName, "work");
  SetDim(s, 2, 4.5f);
  ASSERT_TRUE(SaveSet(s, Path("work.dmi")).ok);
  EXPECT_EQ(s.dims.DimFilePath, Path("work.dmi"));
  // Each file holds its own format: the JSON one reads back as text.
  std::ifstream json(Path("work.json"));
  EXPECT_EQ(json.get(), '{');
  EXPECT_EQ(fs::file_size(Path("work.dmi")), 1420u);

  ModelState other = Started();
  SetDim(other, 2, 3);
  ASSERT_TRUE(LoadDimensions(other, Path("work.dmi")).ok);
  EXPECT_FALSE(HasUnsavedChanges(other));
  EXPECT_EQ(other.dims.frame.Stroke, 4.5f);
  EXPECT_EQ(other.dims.DimFilePath, Path("work.dmi"));

  // A failed save leaves the mark and the file as they were.
  SetDim(s, 2, 5);
  EXPECT_FALSE(SaveSet(s, Path("no-such-folder/work.dmi")).ok);
  EXPECT_TRUE(HasUnsavedChanges(s));
  EXPECT_EQ(s.dims.DimFilePath, Path("work.dmi"));
}

}  // namespace brevold
