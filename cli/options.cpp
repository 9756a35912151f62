// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli's options: the common parser of the commands that share it,
// and the strict reading of numbers and lists.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "diagrams/diagrampicture.h"

namespace brevold {

namespace {

constexpr int kMaxFrames = 100000;
constexpr long kMaxAngles = 10000000;

}  // namespace

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

float Number(const std::string& text, const std::string& what) {
  float v = 0;
  if (!ParseNumber(text, v)) throw Usage{"malformed number '" + text + "' in " + what};
  return v;
}

void SettingsList(const std::string& text, const std::string& option, std::vector<float>& to) {
  for (const std::string& p : Split(text, ',')) {
    if (to.size() >= MaxSettings) throw Usage{option + " takes at most " + std::to_string(MaxSettings) + " settings"};
    to.push_back(Number(p, option));
  }
  if (option == "--cutoffs")
    for (float c : to)
      if (!(c > 0 && c < 100)) throw Usage{"--cutoffs takes percentages of stroke above 0 and below 100"};
}

Options ParseOptions(const std::vector<std::string>& args, CliMode mode) {
  const bool solve = mode == CliMode::Solve;
  const bool frame = mode == CliMode::Frame;
  const bool save = mode == CliMode::Save;
  const bool events = mode == CliMode::Events, dims = mode == CliMode::Dims;
  const bool diagram = mode == CliMode::Diagram;
  const bool picture = frame || diagram;
  const bool revArm = mode != CliMode::Centre && !events && !dims && !diagram;
  Options o;
  bool pictureFormatGiven = false;
  size_t first = 1;
  if (diagram) {
    const std::string kinds = DiagramKindNames(", ", " or ");
    if (args.size() < 2 || args[1].rfind("--", 0) == 0) throw Usage{"diagram needs " + kinds};
    o.diagram = args[1];
    if (!FindDiagramKind(o.diagram)) throw Usage{"diagram takes " + kinds + ", not '" + o.diagram + "'"};
    first = 2;
  }
  bool anglesGiven = false, framesGiven = false;
  for (size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Usage{"option " + a + " needs a value"};
      return args[++i];
    };
    if (a == "--set") {
      const std::string& kv = value();
      size_t eq = kv.find('=');
      if (eq == std::string::npos || eq == 0) throw Usage{"--set takes KEY=VALUE, not '" + kv + "'"};
      o.sets.emplace_back(kv.substr(0, eq), Number(kv.substr(eq + 1), "--set " + kv));
    } else if (a == "--dmi" || a == "--load") {
      if (!o.dmi.empty() || !o.load.empty())
        throw Usage{(o.dmi.empty() ? "give --load" : "give --dmi") + std::string(a == (o.dmi.empty() ? "--load" : "--dmi") ? " once" : " or --load, not both")};
      (a == "--dmi" ? o.dmi : o.load) = value();
      if (o.dmi.empty() && o.load.empty()) throw Usage{a + " needs a file name"};
    } else if (revArm && a == "--revarm") {
      o.revArm = Number(value(), "--revarm");
      o.hasRevArm = true;
    } else if (revArm && a == "--travel") {
      o.travel = Number(value(), "--travel");
      o.hasTravel = true;
    } else if (frame && a == "--angle") {
      if (anglesGiven) throw Usage{"give --angle once"};
      anglesGiven = true;
      o.angles.push_back(Number(value(), "--angle"));
    } else if (frame && a == "--scale") {
      o.scale = Number(value(), "--scale");
      o.hasScale = true;
    } else if (frame && a == "--origin") {
      const std::string& xy = value();
      auto p = Split(xy, ',');
      if (p.size() != 2) throw Usage{"--origin takes X,Y, not '" + xy + "'"};
      o.originX = Number(p[0], "--origin");
      o.originY = Number(p[1], "--origin");
      o.hasOrigin = true;
    } else if (frame && a == "--steam") {
      o.steam = true;
    } else if (frame && a == "--gear") {
      o.gearOnly = true;
    } else if (frame && a == "--frames") {
      if (framesGiven) throw Usage{"give --frames once"};
      framesGiven = true;
      const std::string& text = value();
      const float n = Number(text, "--frames");
      if (!(n >= 1 && n <= kMaxFrames && n == std::floor(n)))
        throw Usage{"--frames takes a whole number from 1 to 100000, not '" + text + "'"};
      o.frames = static_cast<int>(n);
    } else if (diagram && a == "--mode") {
      const std::string& v = value();
      if (v != "F" && v != "R" && v != "B") throw Usage{"--mode takes F, R or B, not '" + v + "'"};
      o.diagramMode = v[0];
    } else if (diagram && a == "--positions") {
      if (!o.positions.empty()) throw Usage{"give --positions once"};
      for (const std::string& p : Split(value(), ',')) o.positions.push_back(Number(p, "--positions"));
      if (o.positions.size() > 9) throw Usage{"--positions takes at most 9 values"};
    } else if (diagram && a == "--vert-scale") {
      const std::string& v = value();
      o.vertScale = Number(v, "--vert-scale");
      if (!(o.vertScale >= 0.1f && o.vertScale <= 100)) throw Usage{"--vert-scale takes 0.1 to 100, not '" + v + "'"};
      o.hasVertScale = true;
    } else if (picture && a == "--scale-picture") {
      const std::string& v = value();
      o.pictureScale = Number(v, "--scale-picture");
      if (!(o.pictureScale >= 1 && o.pictureScale <= 8))
        throw Usage{"--scale-picture takes 1 to 8, not '" + v + "'"};
    } else if (picture && a == "--format") {
      const std::string& v = value();
      if (v != "png" && v != "svg" && v != "pdf") throw Usage{"--format takes png, svg or pdf, not '" + v + "'"};
      o.picture = v;
      pictureFormatGiven = true;
    } else if ((picture || save) && a == "--out") {
      o.out = value();
      if (o.out.empty()) throw Usage{"--out needs a file name"};
    } else if (solve && a == "--angles") {
      if (anglesGiven) throw Usage{"give --angles or --sweep once"};
      anglesGiven = true;
      for (const std::string& p : Split(value(), ',')) o.angles.push_back(Number(p, "--angles"));
    } else if (solve && a == "--sweep") {
      if (anglesGiven) throw Usage{"give --angles or --sweep once"};
      anglesGiven = true;
      const std::string& range = value();
      auto p = Split(range, ':');
      if (p.size() != 3) throw Usage{"--sweep takes FROM:TO:STEP, not '" + range + "'"};
      const long double from = Number(p[0], "--sweep"), to = Number(p[1], "--sweep"), step = Number(p[2], "--sweep");
      if (step == 0 || (to - from) * step < 0) throw Usage{"--sweep step " + p[2] + " does not lead from " + p[0] + " to " + p[1]};
      const long double count = std::floor((to - from) / step + 1e-9L) + 1;
      if (count > kMaxAngles) throw Usage{"--sweep " + range + " has more than 10000000 angles"};
      for (long n = 0; n < static_cast<long>(count); ++n) o.angles.push_back(static_cast<float>(from + n * step));
    } else if (events && a == "--side") {
      const std::string& v = value();
      SideOption(v);
      o.side = v[0];
    } else if (events && (a == "--notches" || a == "--revarms" || a == "--cutoffs")) {
      if (!o.notches.empty() || !o.cutOffs.empty()) throw Usage{"give one of --notches, --revarms and --cutoffs, once"};
      o.notchesAreRevArm = a == "--revarms";
      SettingsList(value(), a, a == "--cutoffs" ? o.cutOffs : o.notches);
    } else if (events && a == "--step") {
      const std::string& v = value();
      o.step = Number(v, "--step");
      if (!(o.step >= 0.01f && o.step <= 180)) throw Usage{"--step takes 0.01 to 180 degrees, not '" + v + "'"};
    } else if ((events || dims) && a == "--format") {
      o.format = value();
      if (events ? (o.format != "csv" && o.format != "json" && o.format != "text") : o.format != "json")
        throw Usage{"--format takes " + std::string(events ? "csv, json or text" : "json") + ", not '" + o.format + "'"};
    } else if (save && a == "--format") {
      o.format = value();
      if (o.format != "dmi" && o.format != "json") throw Usage{"--format takes dmi or json, not '" + o.format + "'"};
      pictureFormatGiven = true;
    } else if (solve && a == "--no-error-beep") {
      o.noBeep = true;
    } else {
      throw Usage{"unknown option '" + a + "'"};
    }
  }
  if (o.hasRevArm && o.hasTravel) throw Usage{"give --revarm or --travel, not both"};
  if (o.hasScale != o.hasOrigin) throw Usage{"give --scale and --origin together"};
  if (o.hasScale && !(o.scale > 0)) throw Usage{"--scale must be above 0"};
  if (picture && o.out.empty()) throw Usage{args[0] + " needs --out FILE (.png, .svg or .pdf, or - for standard output)"};
  if (picture && o.out != "-") {
    if (pictureFormatGiven) throw Usage{"--format goes with --out -; a file's suffix gives its format"};
    const size_t dot = o.out.find_last_of("./");
    std::string suffix = dot == std::string::npos || o.out[dot] != '.' ? "" : o.out.substr(dot + 1);
    for (char& ch : suffix) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (suffix != "png" && suffix != "svg" && suffix != "pdf")
      throw Usage{"cannot tell the picture format of '" + o.out + "': use .png, .svg or .pdf"};
    o.picture = suffix;
  }
  if (picture && o.pictureScale != 1 && o.picture != "png") throw Usage{"--scale-picture goes with a PNG picture"};
  if (save && o.out.empty()) throw Usage{"save needs --out FILE"};
  if (save && pictureFormatGiven && o.out != "-") throw Usage{"--format goes with --out -; a file's suffix gives its format"};
  if (o.format.empty()) o.format = events ? "csv" : save ? "dmi" : "json";
  if (!anglesGiven) o.angles.push_back(0);
  return o;
}

bool ParseNumber(const std::string& text, float& value) {
  if (text.empty()) return false;
  // from_chars reads the C locale's way whatever the process's locale (a
  // picture command starts Qt, which sets it from the user's); it takes no
  // leading plus.
  const char* begin = text.c_str() + (text[0] == '+' ? 1 : 0);
  double d = 0;
  const auto r = std::from_chars(begin, text.c_str() + text.size(), d);
  if (r.ec != std::errc() || r.ptr != text.c_str() + text.size()) return false;
  if (!std::isfinite(d)) return false;
  // Only plain decimal notation: no hexadecimal, no "inf" or "nan".
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  // Rounded once, straight to the nearest single: through a double, a text
  // halfway between two singles could round twice the wrong way, and the
  // largest single's shortest text (3.4028235e+38, just above it) would not
  // fit. A text too small for any single reads as the zero it rounds to.
  float f = 0;
  const auto rf = std::from_chars(begin, text.c_str() + text.size(), f);
  if (rf.ec == std::errc()) {
    value = f;
    return true;
  }
  if (std::fabs(d) > FLT_MAX) return false;
  value = static_cast<float>(d);
  return true;
}

EventRequest::Side SideOption(const std::string& v) {
  if (v == "fwd") return EventRequest::Forward;
  if (v == "rev") return EventRequest::Reverse;
  if (v == "both") return EventRequest::Both;
  throw Usage{"--side takes fwd, rev or both, not '" + v + "'"};
}

}  // namespace brevold
