// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Dimension sets as JSON text: every value a dimension file holds, named,
// so that a set can be read, diffed and kept beside its drawings. The text
// is made from the file's image and read back into one, so a .dmi turned
// into JSON and back is the same file byte for byte.
//
// Numbers are written in the fewest digits that read back as the same single.
// A value that is not a finite number is written as a string: "inf", "-inf",
// or "nan:0xXXXXXXXX" with the single's bit pattern, so that it too comes
// back bit for bit. Dimensions carry their id and field name; the reader
// checks both against the program's table.
#pragma once
#include <string>

#include "model/dimfile.h"

namespace brevold {

// The image as indented JSON text, ending in a newline.
std::string DimImageToJson(const DimFileImage& img);

// Text to an image. A malformed text, or one that lacks a value or holds one
// of the wrong kind, fails with a message naming the field
// ("view.Presets[2].OriginX: missing"); `out` is then untouched.
FileResult DimImageFromJson(const std::string& text, DimFileImage& out);

// Reads a JSON dimension set from `path` into `out`; changes nothing else.
FileResult ReadDimJson(const std::string& path, DimFileImage& out);

// Writes the set as JSON to `path` as SaveDimensions writes a .dmi: through a
// temporary file beside it, synced and renamed over the target.
FileResult SaveDimJson(const DimFileImage& img, const std::string& path);

// Writes an image as a .dmi file, or as JSON when the path ends in ".json",
// by the same safe replacement.
FileResult SaveDimImage(const DimFileImage& img, const std::string& path);

// Writes the set as it stands by SaveDimImage (JSON for a ".json" path) and,
// when that succeeded, names the set after the file (NameAfterFile).
FileResult SaveSet(ModelState& s, const std::string& path);

// Whether a path names a JSON set (ends in ".json", any case).
bool IsJsonPath(const std::string& path);

// A gear file as the window opens it, told apart by its content: text that
// begins with "{" is the JSON form, anything else the 1420-byte dimension
// file (so is a JSON-looking file that does not read as JSON but has the
// dimension file's exact size). Changes nothing but `out`.
FileResult ReadGearFile(const std::string& path, DimFileImage& out);

}  // namespace brevold
