// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Dimension sets as JSON: the image of a dimension file, value by value,
// under names, and back.
#include "model/dimjson.h"
#include "model/numfmt.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "model/dimensions.h"
#include "model/gearfields.h"
#include "model/state.h"

namespace brevold {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFormat = "brevold dimension set";

std::uint32_t Bits(float v) {
  std::uint32_t b;
  std::memcpy(&b, &v, 4);
  return b;
}

Json FloatJson(float v) {
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  if (std::isnan(v)) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "nan:0x%08x", static_cast<unsigned>(Bits(v)));
    return buf;
  }
  // The fewest digits that come back as this very single (0x15ae43fd is one
  // of the few written as the double it exactly is).
  return SingleAsDouble(v);
}

// The value at a slot as a single, or a message.
bool ReadFloat(const Json& j, const std::string& name, float& out, std::string& error) {
  if (j.is_number()) {
    // The largest single's shortest text (3.4028235e+38) reads as a double
    // a little above it: every double short of the point halfway to the
    // next power of two rounds to the largest single, not to infinity.
    constexpr double kRoundsToInfinity = 0x1.ffffffp+127;
    const double d = j.get<double>();
    if (!std::isfinite(d) || std::fabs(d) >= kRoundsToInfinity) {
      error = name + ": out of the range of a single";
      return false;
    }
    out = std::fabs(d) > FLT_MAX ? (d > 0 ? FLT_MAX : -FLT_MAX) : static_cast<float>(d);
    return true;
  }
  if (j.is_string()) {
    const std::string t = j.get<std::string>();
    if (t == "inf" || t == "-inf") {
      out = t == "inf" ? INFINITY : -INFINITY;
      return true;
    }
    unsigned bits = 0;
    char tail = 0;
    if (t.size() == 14 && std::sscanf(t.c_str(), "nan:0x%8x%c", &bits, &tail) == 1) {
      float v;
      const std::uint32_t b = bits;
      std::memcpy(&v, &b, 4);
      if (std::isnan(v)) {
        out = v;
        return true;
      }
    }
    error = name + ": '" + t + "' is not a number (numbers, \"inf\", \"-inf\" or \"nan:0x...\")";
    return false;
  }
  error = name + ": not a number";
  return false;
}


}  // namespace

std::string DimImageToJson(const DimFileImage& img) {
  Json j;
  j["format"] = kFormat;
  j["version"] = 1;
  for (const char* section : {"dimensions", "other", "travel", "view", "overlay"}) j[section] = Json::object();
  j["spare"] = Json::array();
  const std::vector<GearField>& fields = GearFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const GearField& s = fields[i];
    if (s.id) j[Json::json_pointer(s.json)]["id"] = s.id;
    j[Json::json_pointer(s.id ? s.json + "/value" : s.json)] = FloatJson(img.values[i]);
  }
  return j.dump(2) + "\n";
}

FileResult DimImageFromJson(const std::string& text, DimFileImage& out) {
  Json j;
  try {
    j = Json::parse(text);
  } catch (const Json::exception& e) {
    return {false, std::string("malformed JSON: ") + e.what()};
  }
  if (!j.is_object()) return {false, "malformed JSON: not an object"};
  if (!j.contains("format") || j["format"] != kFormat) return {false, std::string("format: not \"") + kFormat + "\""};
  if (!j.contains("version") || j["version"] != 1) return {false, "version: not 1"};
  DimFileImage img;
  std::string error;
  const std::vector<GearField>& fields = GearFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const GearField& s = fields[i];
    try {
      const Json* v = nullptr;
      if (s.id) {
        const Json::json_pointer at(s.json);
        if (!j.contains(at)) return {false, s.name + ": missing"};
        const Json& d = j.at(at);
        if (!d.is_object() || !d.contains("id") || d["id"] != s.id)
          return {false, s.name + ".id: not " + std::to_string(s.id)};
        if (!d.contains("value")) return {false, s.name + ".value: missing"};
        v = &d["value"];
      } else {
        const Json::json_pointer at(s.json);
        if (!j.contains(at)) return {false, s.name + ": missing"};
        v = &j.at(at);
      }
      if (!ReadFloat(*v, s.id ? s.name + ".value" : s.name, img.values[i], error)) return {false, error};
    } catch (const Json::exception&) {
      // A section of the wrong kind (a number where rows belong, ...).
      return {false, s.name + ": missing"};
    }
  }
  out = img;
  return {};
}

FileResult ReadDimJson(const std::string& path, DimFileImage& out) {
  FileResult refused;
  std::FILE* f = OpenGearFile(path, refused);
  if (!f) return refused;
  std::string text;
  char buf[65536];
  size_t got;
  // No set needs more than a few tens of kilobytes of text.
  constexpr size_t kLimit = 16u << 20;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() <= kLimit) text.append(buf, got);
  const int err = std::ferror(f) ? errno : 0;
  std::fclose(f);
  if (err) return FileFailure(err);
  if (text.size() > kLimit) return {false, "File too large for a dimension set"};
  return DimImageFromJson(text, out);
}

FileResult SaveDimJson(const DimFileImage& img, const std::string& path) {
  const std::string text = DimImageToJson(img);
  return ReplaceFile(path, text.data(), text.size());
}

FileResult SaveDimImage(const DimFileImage& img, const std::string& path) {
  if (IsJsonPath(path)) return SaveDimJson(img, path);
  const auto bytes = EncodeDimFile(img);
  return ReplaceFile(path, bytes.data(), bytes.size());
}

FileResult SaveSet(ModelState& s, const std::string& path) {
  const FileResult r = SaveDimImage(ImageOf(s), path);
  if (r.ok) NameAfterFile(s, path);
  return r;
}

bool IsJsonPath(const std::string& path) {
  if (path.size() < 5) return false;
  std::string end = path.substr(path.size() - 5);
  for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return end == ".json";
}

FileResult ReadGearFile(const std::string& path, DimFileImage& out) {
  FileResult refused;
  std::FILE* f = OpenGearFile(path, refused);
  if (!f) return refused;
  int c = 0;
  while ((c = std::fgetc(f)) == ' ' || c == '\t' || c == '\n' || c == '\r') {
  }
  const bool json = c == '{';
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  std::fclose(f);
  if (!json) return ReadDimFile(path, out);
  DimFileImage img;
  const FileResult r = ReadDimJson(path, img);
  if (r.ok) {
    out = img;
    return r;
  }
  if (size == static_cast<long>(DimFileBytes)) return ReadDimFile(path, out);
  return r;
}

}  // namespace brevold
