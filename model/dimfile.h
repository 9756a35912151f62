// Dimension files (".dmi"): one complete working set - dimensions, travel
// limits and positions, the reverse-arm setting, the view and its presets,
// the lines and circles - as 71 records of five little-endian singles.
#pragma once
#include <string>

namespace brevold {

struct ModelState;

constexpr int DimFileRecords = 71;
constexpr int DimFileBytes = DimFileRecords * 20;

struct FileResult {
  bool ok = true;
  std::string message;  // "File not found", "Read beyond end of file", ...
};

// The set's name from a chosen path: after the last folder separator, less
// the last four characters (the extension).
std::string DimNameFromPath(const std::string& path);

// Writes the set to `path` (DimFileName is set from the path first).
FileResult SaveDimensions(ModelState& s, const std::string& path);

// Reads `path` into the set record by record: a file that ends early leaves
// the complete records read applied and reports the failure. The valve
// centre line comes from the file as it was saved. On success mid gear is
// recalculated (overwriting positions 1 to 3) and the reverse-arm bar range
// follows RevArmMax; the caller then puts the bar at RevArmBarPosition.
FileResult LoadDimensions(ModelState& s, const std::string& path);

// Where the reverse-arm bar stands for the loaded RevArmX, in the sense of
// the last solve.
int RevArmBarPosition(const ModelState& s);

}  // namespace brevold
