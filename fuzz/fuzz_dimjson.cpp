// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the text of a JSON dimension set. Whatever the reader
// accepts must survive both of the program's forms unchanged: written as a
// dimension file and read back, and written as JSON and read back, every
// value bit for bit (each form keeps a single's 32 bits, NaN payloads and
// the sign of zero included). A text the reader refuses must leave the
// image it was given untouched and come with a message.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "model/dimfile.h"
#include "model/dimjson.h"

using namespace brevold;

namespace {

// The first value whose bits differ, or -1.
int FirstDifference(const DimFileImage& a, const DimFileImage& b) {
  for (std::size_t i = 0; i < a.values.size(); ++i)
    if (std::memcmp(&a.values[i], &b.values[i], sizeof(float)) != 0) return static_cast<int>(i);
  return -1;
}

[[noreturn]] void Fail(const char* what, const DimFileImage& want, const DimFileImage& got, int at) {
  std::uint32_t w = 0, g = 0;
  std::memcpy(&w, &want.values[at], 4);
  std::memcpy(&g, &got.values[at], 4);
  std::fprintf(stderr, "%s: value %d was 0x%08x (%.9g), came back 0x%08x (%.9g)\n", what, at,
               static_cast<unsigned>(w), want.values[at], static_cast<unsigned>(g), got.values[at]);
  __builtin_trap();
}

// A pattern no reader produces by chance, to see that a refused text
// leaves its output alone.
DimFileImage Sentinel() {
  DimFileImage img;
  for (std::size_t i = 0; i < img.values.size(); ++i) {
    const std::uint32_t bits = 0x7fa5a500u | static_cast<std::uint32_t>(i & 0xff);  // signalling NaNs
    std::memcpy(&img.values[i], &bits, 4);
  }
  return img;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const DimFileImage kSentinel = Sentinel();
  const std::string text(reinterpret_cast<const char*>(data), size);

  DimFileImage img = kSentinel;
  const FileResult read = DimImageFromJson(text, img);
  if (!read.ok) {
    if (read.message.empty()) {
      std::fprintf(stderr, "a refused text came without a message\n");
      __builtin_trap();
    }
    const int at = FirstDifference(kSentinel, img);
    if (at >= 0) Fail("a refused text changed the image", kSentinel, img, at);
    return 0;
  }

  // As a dimension file: 1420 bytes, read back whole.
  const auto bytes = EncodeDimFile(img);
  DimFileImage fromDmi = kSentinel;
  if (!DecodeDimFile(bytes.data(), bytes.size(), fromDmi).ok) {
    std::fprintf(stderr, "a dimension file just written does not read\n");
    __builtin_trap();
  }
  if (const int at = FirstDifference(img, fromDmi); at >= 0) Fail("through a dimension file", img, fromDmi, at);

  // As JSON text, read back.
  const std::string json = DimImageToJson(img);
  if (json.empty() || json.back() != '\n') {
    std::fprintf(stderr, "the JSON text does not end in a newline\n");
    __builtin_trap();
  }
  DimFileImage fromJson = kSentinel;
  const FileResult again = DimImageFromJson(json, fromJson);
  if (!again.ok) {
    std::fprintf(stderr, "the JSON text just written does not read: %s\n", again.message.c_str());
    __builtin_trap();
  }
  if (const int at = FirstDifference(img, fromJson); at >= 0) Fail("through JSON text", img, fromJson, at);
  return 0;
}
