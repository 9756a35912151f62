// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Dimension files (".dmi"): one complete working set - dimensions, travel
// limits and positions, the reverse-arm setting, the view and its presets,
// the lines and circles - as 71 records of five little-endian singles.
// A load reads and checks the whole file before it changes anything; a save
// writes a temporary file beside the target and renames it into place.
#pragma once
#include <cstdio>
#include <array>
#include <cstddef>
#include <string>

namespace brevold {

struct ModelState;

constexpr int DimFileRecords = 71;
constexpr int DimFileBytes = DimFileRecords * 20;

struct FileResult {
  bool ok = true;
  std::string message;  // "File not found", "Read beyond end of file", ...
};

// A dimension file read whole, not yet applied: every value in file order.
struct DimFileImage {
  std::array<float, DimFileRecords * 5> values{};
};

// The set's name from a chosen path: after the last folder separator, less
// the last four characters (the extension), counted as UTF-8 characters.
std::string DimNameFromPath(const std::string& path);

// The bytes of a file that holds the set as it stands.
DimFileImage ImageOf(const ModelState& s);
std::array<unsigned char, DimFileBytes> EncodeDimFile(const DimFileImage& img);
// Bytes to an image: fewer than 1420 bytes is "Read beyond end of file";
// bytes after record 71 are not read.
FileResult DecodeDimFile(const unsigned char* data, std::size_t size, DimFileImage& out);

// The part of the set that is the user's work, in file order: the
// dimensions, the travel limits and reverse-arm positions, and the lines
// and circles. The view (scale, origin, presets, highlight zoom, the
// diagrams' vertical scale), the reverse-arm setting and the lines dialog's
// current row are left as zeros: they say how the gear is looked at, and
// moving them to watch the gear is not work that a question should guard.
// So are joints 10 and 17, which only show the fixed pivots 9 and 16.
DimFileImage WorkOf(const ModelState& s);
// The set as it stands is what the file holds (after a load, a save, the
// start-up set or a reset).
void MarkSaved(ModelState& s);
// Whether the work differs, bit for bit, from the last MarkSaved: a change
// undone again is no change.
bool HasUnsavedChanges(const ModelState& s);
// After the set was read from or written to `path`: the set takes the file's
// name, "&Save" writes there, and the set as it stands is what it holds.
void NameAfterFile(ModelState& s, const std::string& path);

// Reads `path` into `out`; changes nothing else.
FileResult ReadDimFile(const std::string& path, DimFileImage& out);
// Stores every item of the image. Values that the program's own controls
// keep in a range (the view's scale and presets, the highlight zoom, the
// diagrams' vertical scale, the current line) are brought into it. Then mid
// gear is recalculated from the loaded gear (positions 1 to 3 follow it, the
// loaded RevArmX stays) and the reverse-arm bar's range follows RevArmMax.
void ApplyDimFile(ModelState& s, const DimFileImage& img);

// Writes `size` bytes to the file the user named (model/savefile.cpp). A
// regular file, or a new one, is replaced whole or not at all, through a
// file in the same folder that is synced and renamed over it (through a
// symbolic link to the file it names); on any failure, and on SIGINT or
// SIGTERM, the old file is untouched and nothing is left behind. A file
// with several hard links is overwritten in place once its space is taken,
// so that all its names still show one file. A pipe (that a program reads),
// a character device or an open stream (/dev/stdout, /dev/fd/N) is written
// directly. A folder, a socket, a block device, a dangling link or a loop
// of links is refused, with nothing changed.
FileResult ReplaceFile(const std::string& path, const void* data, std::size_t size);
// Whether `path` names the hidden new content of a save (".brevold-save-"),
// which a save cut short by SIGKILL or a power cut may leave behind.
bool IsSaveTemporary(const std::string& path);
// A failed call's errno in the run-time library's words.
FileResult FileFailure(int e);
// Opens `path` for reading as a gear: a regular file, or a link to one.
// A pipe, a device, a folder or a socket is refused before anything is read
// (opened without waiting, so a pipe with no writer cannot hold the
// program), with `failure` saying why; nullptr then.
std::FILE* OpenGearFile(const std::string& path, FileResult& failure);

// Writes the set to `path` through a temporary file in the same folder that
// is synced and renamed over the target: on any failure the old file is
// untouched and nothing is left behind. Only when the save succeeded does
// the set take the file's name (NameAfterFile).
FileResult SaveDimensions(ModelState& s, const std::string& path);

// Reads `path` whole and, only when that succeeded, applies it and names the
// set after it. A failed load changes nothing.
FileResult LoadDimensions(ModelState& s, const std::string& path);

// Where the reverse-arm bar stands for the loaded RevArmX, in the sense of
// the last solve, held to the bar's range.
int RevArmBarPosition(const ModelState& s);

}  // namespace brevold
