// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the command line's options. The first byte picks the
// subcommand; the rest is its arguments, one to a line (a NUL byte also
// ends one). Bad usage must come back as a Usage with a one-line message;
// any other exception escaping is a finding. Options the parser accepts
// must keep what the usage text promises: every number finite and read
// back from its shortest text as the same single, the ranges each option
// is held to, at most MaxSettings event settings, and nothing set by an
// option the subcommand does not take.
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "diagrams/diagrampicture.h"
#include "model/numfmt.h"

using namespace brevold;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "options accepted against the usage: %s\n", what);
  __builtin_trap();
}

void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

// A number the parser handed back: finite, and its shortest text (as the
// tool's JSON output writes it) reads back through the parser as the same
// single, so that a printed value given back to --set is the value printed
// (the largest single included: its shortest text lies just above it).
void CheckNumber(float v, const char* what) {
  Check(std::isfinite(v), what);
  float back = 0;
  Check(ParseNumber(ShortestText(v), back), what);
  Check(std::memcmp(&v, &back, sizeof v) == 0, what);
}

struct Command {
  CliMode mode;
  const char* name;
};
constexpr Command kCommands[] = {{CliMode::Solve, "solve"},   {CliMode::Centre, "centre"},
                                 {CliMode::Frame, "frame"},   {CliMode::Save, "save"},
                                 {CliMode::Events, "events"}, {CliMode::Dims, "dims"},
                                 {CliMode::Diagram, "diagram"}};

void CheckOptions(const Options& o, CliMode mode) {
  const bool solve = mode == CliMode::Solve, frame = mode == CliMode::Frame, save = mode == CliMode::Save;
  const bool events = mode == CliMode::Events, diagram = mode == CliMode::Diagram;
  const bool picture = frame || diagram;
  const bool revArm = solve || frame || save;

  for (const auto& [key, value] : o.sets) {
    Check(!key.empty(), "--set with an empty key");
    CheckNumber(value, "--set value");
  }
  Check(o.dmi.empty() || o.load.empty(), "both --dmi and --load");
  Check(!(o.hasRevArm && o.hasTravel), "both --revarm and --travel");
  Check(revArm || (!o.hasRevArm && !o.hasTravel), "--revarm or --travel where the command takes neither");
  if (o.hasRevArm) CheckNumber(o.revArm, "--revarm");
  if (o.hasTravel) CheckNumber(o.travel, "--travel");

  Check(!o.angles.empty(), "no driver angle");
  Check(solve || o.angles.size() == 1, "more than one angle outside solve");
  Check(o.angles.size() <= 10000000, "more than 10000000 angles");
  // A sweep can give millions; the first and the last stand for them.
  CheckNumber(o.angles.front(), "first angle");
  CheckNumber(o.angles.back(), "last angle");
  if (o.angles.size() <= 1000)
    for (float a : o.angles) CheckNumber(a, "angle");
  Check(solve || !o.noBeep, "--no-error-beep outside solve");

  Check(o.hasScale == o.hasOrigin, "--scale without --origin or the other way");
  Check(frame || (!o.hasScale && !o.steam && !o.gearOnly && o.frames == 1), "a frame option outside frame");
  if (o.hasScale) {
    CheckNumber(o.scale, "--scale");
    Check(o.scale > 0, "--scale not above 0");
    CheckNumber(o.originX, "--origin X");
    CheckNumber(o.originY, "--origin Y");
  }
  Check(o.frames >= 1 && o.frames <= 100000, "--frames outside 1..100000");

  if (picture) {
    Check(o.picture == "png" || o.picture == "svg" || o.picture == "pdf", "picture format");
    Check(!o.out.empty(), "a picture without --out");
    Check(o.pictureScale == 1 || o.picture == "png", "--scale-picture with a picture not PNG");
  }
  Check(o.pictureScale >= 1 && o.pictureScale <= 8, "--scale-picture outside 1..8");
  Check(!save || !o.out.empty(), "save without --out");
  Check(picture || save || o.out.empty(), "--out where the command writes no file");

  if (diagram)
    Check(FindDiagramKind(o.diagram) != nullptr, "diagram name");
  else
    Check(o.diagram.empty() && o.positions.empty() && !o.hasVertScale && o.diagramMode == 0,
          "a diagram option outside diagram");
  Check(o.diagramMode == 0 || o.diagramMode == 'F' || o.diagramMode == 'R' || o.diagramMode == 'B', "--mode");
  Check(o.positions.size() <= 9, "more than 9 positions");
  for (float p : o.positions) CheckNumber(p, "--positions");
  if (o.hasVertScale) {
    CheckNumber(o.vertScale, "--vert-scale");
    Check(o.vertScale >= 0.1f && o.vertScale <= 100, "--vert-scale outside 0.1..100");
  }

  Check(events || (o.notches.empty() && o.cutOffs.empty() && o.step == 0 && o.side == 'b'),
        "an events option outside events");
  Check(o.side == 'f' || o.side == 'r' || o.side == 'b', "--side");
  Check(o.notches.size() <= MaxSettings && o.cutOffs.size() <= MaxSettings, "more than MaxSettings settings");
  Check(o.notches.empty() || o.cutOffs.empty(), "both settings and cut-offs");
  Check(!o.notchesAreRevArm || o.cutOffs.empty(), "--revarms with cut-offs");
  for (float n : o.notches) CheckNumber(n, "--notches");
  for (float c : o.cutOffs) {
    CheckNumber(c, "--cutoffs");
    Check(c > 0 && c < 100, "a cut-off outside (0, 100)");
  }
  Check(o.step == 0 || (o.step >= 0.01f && o.step <= 180), "--step outside 0.01..180");

  if (events)
    Check(o.format == "csv" || o.format == "json" || o.format == "text", "events format");
  else if (save)
    Check(o.format == "dmi" || o.format == "json", "save format");
  else
    Check(o.format == "json", "format");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const Command& cmd = kCommands[data[0] % (sizeof kCommands / sizeof kCommands[0])];
  // args[0] is the command, as the tool's main hands it over.
  std::vector<std::string> args{cmd.name};
  std::string cur;
  bool open = false;
  for (std::size_t i = 1; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n' || c == '\0') {
      args.push_back(cur);
      cur.clear();
      open = false;
    } else {
      cur += c;
      open = true;
    }
  }
  if (open) args.push_back(cur);

  Options o;
  try {
    o = ParseOptions(args, cmd.mode);
  } catch (const Usage& u) {
    // The tool prints it as one line after "brevold-cli: ".
    Check(!u.message.empty(), "a Usage without a message");
    Check(u.message.find('\n') == std::string::npos, "a Usage message of more than one line");
    return 0;
  }
  CheckOptions(o, cmd.mode);
  return 0;
}
