#include "model/dimfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "model/numfmt.h"
#include "model/state.h"

namespace brevold {

namespace {

// Every stored value of records 1 to 70, in file order.
std::vector<float*> FileFields(ModelState& s) {
  FrameDims& f = s.dims.frame;
  Mechanism& m = s.mech;
  ViewState& v = s.view;
  auto& c = s.dims.CylValveDim;
  std::vector<float*> r = {
      &f.Stroke,      &f.EccCircDia,   &f.DriverDia,     &f.MainRodLen,   &f.DropLinkVert,      // 1
      &f.DropLinkBkS, &f.UnionLinkLen, &f.CombLevLower,  &f.CombLevUpper, &f.CombLevBkS,        // 2
      &f.RadRodLen,   &f.LinkUpLowLen, &f.LinkCrankVert, &f.LinkCrankBkS, &f.EccRodLen,         // 3
      &f.EccCrankLen, &f.RadRodLiftPt, &f.LiftLinkLen,   &f.LiftArmLen,   &f.RevArmVert,        // 4
      &f.RevArmBkS,   &m.PtX[9],       &m.PtY[9],        &m.PtX[16],      &m.PtY[16],           // 5
      &m.PtX[10],     &m.PtY[10],      &m.PtX[17],       &m.PtY[17],      &m.PtY[3],            // 6
  };
  for (size_t i = 0; i < 15; ++i) r.push_back(&c[i]);  // 7, 8, 9
  r.insert(r.end(), {&c[15], &c[16], &f.LinkTopLevLen, &f.LinkMidLevLen, &f.LinkRadRodLevLen});  // 10
  r.insert(r.end(), {&m.PtY[4], &v.Scale, &v.OriginX, &v.GraphZoomFactor, &v.OriginY});          // 11
  r.insert(r.end(), {&f.RevArmNorm, &f.RevArmMax, &m.RevArmX, &s.DiagLastRevArm, &s.revArm.VertScale});  // 12
  for (ViewPresetSlot& p : v.ViewPreset) r.insert(r.end(), {&p.Scale, &p.OriginX, &p.OriginY});  // 13-17
  for (size_t k = 1; k <= 9; ++k) r.push_back(&s.revArm.Positions[k]);                           // 17, 18
  OverlayTable& t = s.overlay;
  for (auto* a : {&t.Line1Horz, &t.Line1Vert, &t.Line2Horz, &t.Line2Vert, &t.Piv1Horz, &t.Piv1Vert, &t.Piv2Horz,
                  &t.Piv2Vert, &t.LineType, &t.LineColor, &t.LineRef, &t.Piv1No, &t.Piv2No})
    for (size_t i = 1; i <= OverlayRows; ++i) r.push_back(&(*a)[i]);  // 19-70
  return r;
}

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

struct File {
  std::FILE* f = nullptr;
  ~File() {
    if (f) std::fclose(f);
  }
};

}  // namespace

std::string DimNameFromPath(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

FileResult SaveDimensions(ModelState& s, const std::string& path) {
  s.dims.DimFileName = DimNameFromPath(path);
  std::vector<float*> fields = FileFields(s);
  std::vector<unsigned char> bytes(DimFileBytes, 0);
  for (size_t i = 0; i < fields.size(); ++i) PutLE(&bytes[i * 4], *fields[i]);
  PutLE(&bytes[DimFileBytes - 4], static_cast<float>(s.overlay.LineNo));
  File out;
  errno = 0;
  out.f = std::fopen(path.c_str(), "wb");
  if (!out.f) return {false, ErrnoMessage(errno)};
  if (std::fwrite(bytes.data(), 1, bytes.size(), out.f) != bytes.size() || std::fflush(out.f) != 0)
    return {false, ErrnoMessage(errno ? errno : EIO)};
  const int rc = std::fclose(out.f);
  out.f = nullptr;
  if (rc != 0) return {false, ErrnoMessage(errno ? errno : EIO)};
  return {};
}

FileResult LoadDimensions(ModelState& s, const std::string& path) {
  s.dims.DimFileName = DimNameFromPath(path);
  File in;
  errno = 0;
  in.f = std::fopen(path.c_str(), "rb");
  if (!in.f) return {false, ErrnoMessage(errno)};
  std::vector<float*> fields = FileFields(s);
  unsigned char rec[20];
  for (size_t r = 0; r < DimFileRecords; ++r) {
    if (std::fread(rec, 1, sizeof rec, in.f) != sizeof rec)
      return {false, std::ferror(in.f) ? ErrnoMessage(errno ? errno : EIO) : "Read beyond end of file"};
    if (r + 1 < DimFileRecords) {
      for (size_t k = 0; k < 5; ++k) *fields[r * 5 + k] = GetLE(rec + 4 * k);
    } else {
      // The current row of the lines dialog indexes its rows: keep it to 1..20.
      const int line = RoundEven(GetLE(rec + 16));
      s.overlay.LineNo = line < 1 ? 1 : line > OverlayRows ? OverlayRows : line;
    }
  }
  // Mid gear from the loaded gear; the reverse arm stays where it was saved.
  const float loaded = s.mech.RevArmX;
  CalcCentre(s);
  s.mech.RevArmX = loaded;
  SetRevArmBarRange(s);
  return {};
}

int RevArmBarPosition(const ModelState& s) {
  const long double mid = s.revArm.Positions[0], x = s.mech.RevArmX;
  return RoundEven(SensePositive(s.mech) ? 1000 * (x - mid) : 1000 * (mid - x));
}

}  // namespace brevold
