// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Dimension files: reading, checking, applying and safely replacing them.
#include "model/dimfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/gearfields.h"
#include "model/numfmt.h"
#include "model/state.h"

namespace brevold {

namespace {

// Every stored value of records 1 to 70, in file order, from the table of
// the gear's fields that the JSON form walks too.
std::vector<float*> FileFields(ModelState& s) {
  std::vector<float*> r;
  for (const GearField& f : GearFields())
    if (f.at) r.push_back(f.at(s));
  return r;
}

constexpr size_t kLineCountField = LineNoField;

void PutLE(unsigned char* out, float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  for (int b = 0; b < 4; ++b) out[b] = static_cast<unsigned char>(bits >> (8 * b));
}

float GetLE(const unsigned char* in) {
  std::uint32_t bits = 0;
  for (int b = 0; b < 4; ++b) bits |= static_cast<std::uint32_t>(in[b]) << (8 * b);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

std::string ErrnoMessage(int e) {
  switch (e) {
    case ENOENT: case ENOTDIR: return "File not found";
    case EACCES: case EPERM: case EROFS: case EISDIR: return "File access denied";
    case ENOSPC: case EDQUOT: return "Disk full";
    default: return "I/O error " + std::to_string(e);
  }
}

FileResult Failure(int e) { return {false, ErrnoMessage(e ? e : EIO)}; }

// The view values a file brings, held where the view's own controls keep
// them: a scale of 0.5..3000 pixels per unit, and the normal view in place of
// anything that is not a number. A preset slot of all zeros was never stored
// and stays so.
void BoundView(ViewState& v) {
  auto bound = [&v](float& scale, float& ox, float& oy, bool mayBeEmpty) {
    if (!std::isfinite(scale) || !std::isfinite(ox) || !std::isfinite(oy)) {
      scale = v.NormScale;
      ox = v.NormOriginX;
      oy = v.NormOriginY;
      return;
    }
    if (mayBeEmpty && scale == 0) return;
    scale = std::clamp(scale, MinViewScale, MaxViewScale);
  };
  bound(v.Scale, v.OriginX, v.OriginY, false);
  for (ViewPresetSlot& p : v.ViewPreset) bound(p.Scale, p.OriginX, p.OriginY, true);
  v.GraphZoomFactor = std::isfinite(v.GraphZoomFactor)
                          ? std::clamp(v.GraphZoomFactor, MinGraphZoomFactor, MaxGraphZoomFactor)
                          : 7.5f;
}

}  // namespace

std::string DimNameFromPath(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // A gear in the JSON form is named without its five-character ".json".
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) return name.substr(0, name.size() - 5);
  size_t end = name.size();
  for (int chars = 0; chars < 4; ++chars) {
    if (end == 0) return std::string();
    --end;
    // Step back over UTF-8 continuation bytes to the character's first byte.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  }
  return name.substr(0, end);
}

DimFileImage ImageOf(const ModelState& s) {
  DimFileImage img;
  const std::vector<float*> fields = FileFields(const_cast<ModelState&>(s));
  for (size_t i = 0; i < fields.size(); ++i) img.values[i] = *fields[i];
  img.values[kLineCountField] = static_cast<float>(s.overlay.LineNo);
  return img;
}

DimFileImage WorkOf(const ModelState& s) {
  ModelState& m = const_cast<ModelState&>(s);
  const ViewState& v = s.view;
  // The view, the reverse-arm setting, and the copies of the fixed pivots
  // 9 and 16 that joints 10 and 17 show (they follow the pivots).
  const Mechanism& me = s.mech;
  std::vector<const float*> looks = {&v.Scale,    &v.OriginX,     &v.OriginY,     &v.GraphZoomFactor,
                                     &me.RevArmX, &s.DiagLastRevArm, &s.revArm.VertScale,
                                     &me.PtX[10], &me.PtY[10],   &me.PtX[17],    &me.PtY[17]};
  for (const ViewPresetSlot& p : v.ViewPreset) looks.insert(looks.end(), {&p.Scale, &p.OriginX, &p.OriginY});
  DimFileImage img;
  const std::vector<float*> fields = FileFields(m);
  for (size_t i = 0; i < fields.size(); ++i)
    if (std::find(looks.begin(), looks.end(), fields[i]) == looks.end()) img.values[i] = *fields[i];
  return img;
}

void MarkSaved(ModelState& s) { s.SavedWork = WorkOf(s); }

void NameAfterFile(ModelState& s, const std::string& path) {
  s.dims.DimFileName = DimNameFromPath(path);
  s.dims.DimFilePath = path;
  MarkSaved(s);
}

bool HasUnsavedChanges(const ModelState& s) {
  const DimFileImage now = WorkOf(s);
  return std::memcmp(now.values.data(), s.SavedWork.values.data(), sizeof now.values) != 0;
}

std::array<unsigned char, DimFileBytes> EncodeDimFile(const DimFileImage& img) {
  std::array<unsigned char, DimFileBytes> bytes{};
  for (size_t i = 0; i < img.values.size(); ++i) PutLE(&bytes[i * 4], img.values[i]);
  return bytes;
}

FileResult DecodeDimFile(const unsigned char* data, std::size_t size, DimFileImage& out) {
  if (size < static_cast<std::size_t>(DimFileBytes)) return {false, "Read beyond end of file"};
  for (size_t i = 0; i < out.values.size(); ++i) out.values[i] = GetLE(data + 4 * i);
  return {};
}

FileResult ReadDimFile(const std::string& path, DimFileImage& out) {
  FileResult refused;
  std::FILE* f = OpenGearFile(path, refused);
  if (!f) return refused;
  unsigned char bytes[DimFileBytes];
  const size_t got = std::fread(bytes, 1, sizeof bytes, f);
  const int err = std::ferror(f) ? errno : 0;
  std::fclose(f);
  if (got < sizeof bytes && err) return Failure(err);
  return DecodeDimFile(bytes, got, out);
}

void ApplyDimFile(ModelState& s, const DimFileImage& img) {
  const std::vector<float*> fields = FileFields(s);
  for (size_t i = 0; i < fields.size(); ++i) *fields[i] = img.values[i];
  // The current row of the lines dialog indexes its rows: keep it to 1..20.
  s.overlay.LineNo = std::clamp(RoundEven(img.values[kLineCountField]), 1, OverlayRows);
  BoundView(s.view);
  StoreVertScale(s, std::isfinite(s.revArm.VertScale) ? s.revArm.VertScale : 1.5f);
  // Mid gear from the loaded gear; the reverse arm stays where it was saved.
  const float loaded = s.mech.RevArmX;
  CalcCentre(s);
  s.mech.RevArmX = loaded;
  SetRevArmBarRange(s);
}

FileResult FileFailure(int e) { return Failure(e); }

std::FILE* OpenGearFile(const std::string& path, FileResult& failure) {
  if (IsSaveTemporary(path)) {
    failure = {false, "Not a gear: the unfinished new content of a save that was cut short"};
    return nullptr;
  }
  errno = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    failure = Failure(errno);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    failure = Failure(errno);
    ::close(fd);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    failure = {false, "Not a regular file (a pipe, a device or a folder cannot hold a gear)"};
    return nullptr;
  }
  // Reads of a regular file never wait; the flag is put back for form's sake.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    failure = Failure(errno);
    ::close(fd);
  }
  return f;
}

FileResult SaveDimensions(ModelState& s, const std::string& path) {
  const std::array<unsigned char, DimFileBytes> bytes = EncodeDimFile(ImageOf(s));
  const FileResult r = ReplaceFile(path, bytes.data(), bytes.size());
  if (r.ok) NameAfterFile(s, path);
  return r;
}

FileResult LoadDimensions(ModelState& s, const std::string& path) {
  DimFileImage img;
  const FileResult r = ReadDimFile(path, img);
  if (!r.ok) return r;
  ApplyDimFile(s, img);
  NameAfterFile(s, path);
  return {};
}

int RevArmBarPosition(const ModelState& s) {
  const long double mid = s.revArm.Positions[0], x = s.mech.RevArmX;
  const int p = RoundEven(SensePositive(s.mech) ? 1000 * (x - mid) : 1000 * (mid - x));
  // As a scroll bar holds its position: a range upside down allows only its minimum.
  return std::clamp(p, s.revArm.BarMin, std::max(s.revArm.BarMin, s.revArm.BarMax));
}

}  // namespace brevold
