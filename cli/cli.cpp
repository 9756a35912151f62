// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli's option handling and its model commands (solve, centre, save,
// events, dims, balance).
#include "cli/cli.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <optional>
#include <algorithm>
#include <sstream>

#include "diagrams/diagrampicture.h"
#include "model/balance.h"
#include "model/dimfile.h"
#include "model/dimjson.h"
#include "model/events.h"
#include "model/state.h"
#include "model/version.h"

namespace brevold {

namespace {

const char* kUsage =
    "usage: brevold-cli COMMAND [OPTIONS]\n"
    "       brevold-cli --version | --help\n"
    "\n"
    "Commands:\n"
    "  solve    solve the linkage for one or more driver angles, one JSON line each\n"
    "  centre   calculate mid gear and print the reverse-arm positions as JSON\n"
    "  frame    draw the main window's picture for one driver angle (PNG, SVG, PDF)\n"
    "  diagram  draw a valve diagram as its window draws it (PNG, SVG, PDF)\n"
    "  save     write the working set to a dimension file (.dmi) or a JSON set (.json)\n"
    "  events   the valve events by reverse-arm setting, one row per setting and end\n"
    "  dims     print the working set as JSON\n"
    "  balance  search the dimensions given for events alike at both cylinder ends\n"
    "  sensitivity\n"
    "           the change of each valve event per +0.01 of each dimension\n"
    "\n"
    "Options of every command:\n"
    "  --dmi FILE         start from a dimension file (- reads standard input),\n"
    "                     loaded after start-up as\n"
    "                     &OpenDimensions loads it (mid gear, the reverse arm at\n"
    "                     the file's setting); a file that cannot be read exits 2\n"
    "  --load FILE.json   start from a JSON dimension set, loaded as --dmi loads a\n"
    "                     file (give --dmi or --load, not both)\n"
    "  --set KEY=VALUE    change a dimension after --dmi (repeatable); KEY is a\n"
    "                     dimension id (1..25, 28..30, 101..117), a field name such\n"
    "                     as MainRodLen, or RevArmNorm / RevArmMax\n"
    "Options of solve:\n"
    "  --revarm X         reverse-arm setting X (default: the --dmi file's\n"
    "                     setting, else mid gear)\n"
    "  --travel D         reverse-arm setting mid gear + D\n"
    "  --angles A,B,...   driver angles in degrees, solved in this order (default 0)\n"
    "  --sweep F:T:S      driver angles from F to T in steps of S\n"
    "  --no-error-beep    guards do not raise the geometry error (ErrFlag)\n"
    "Options of frame (renders the main window's picture, 1280 x 1024):\n"
    "  --revarm, --travel as for solve\n"
    "  --angle A          driver angle in degrees (default 0); the gear is drawn\n"
    "                     stopped at A, so the readouts agree with the picture\n"
    "  --steam            steam display on\n"
    "  --gear             only the gear, at its bounds with a margin, as the main\n"
    "                     window's \"Export Picture...\" draws it (no readouts)\n"
    "  --frames N         animation ticks drawn (default 1, at most 100000): the\n"
    "                     gear first runs N-1 ticks at the start-up step, arriving\n"
    "                     at A, so the steam display has a running engine's\n"
    "                     history; the last tick is drawn stopped at A\n"
    "  --scale S --origin X,Y   the view: pixels per unit and the screen point\n"
    "                     of the driver centre (default 18.9 and 81,280)\n"
    "  --out FILE         the picture to write: PNG, SVG or PDF by FILE's suffix;\n"
    "                     - writes it to standard output\n"
    "  --format png|svg|pdf   the format written with --out - (default png)\n"
    "  --scale-picture R  a PNG of R device pixels to the picture's pixel (1 to\n"
    "                     8, default 1: the same picture on any screen)\n"
    "Options of diagram {kinds} (632 x 414, the oval 632 x 426):\n"
    "  --mode F|R|B       the port diagram's forward, reverse or both graphs\n"
    "                     (default F)\n"
    "  --positions X,...  reverse-arm positions 1..9 (RevArmX values; default:\n"
    "                     the start-up list or the --dmi file's)\n"
    "  --vert-scale S     the port diagram's vertical scale (0.1 to 100)\n"
    "  --out FILE, --format, --scale-picture as for frame\n"
    "Options of save (prints nothing; exits 1 with one line when the write fails,\n"
    "leaving an existing FILE as it was):\n"
    "  --revarm, --travel as for solve\n"
    "  --out FILE         the file to write: JSON when FILE ends in .json, else a\n"
    "                     dimension file; with --dmi or --load and no --set,\n"
    "                     --revarm or --travel, the set is written exactly as read;\n"
    "                     - writes it to standard output\n"
    "  --format dmi|json  what --out - writes (default dmi)\n"
    "Options of events (the port diagram's sweep; prints the table):\n"
    "  --side fwd|rev|both   forward side, reverse side or both (default both)\n"
    "  --notches A,B,...  settings as travels from mid gear, forward positive\n"
    "                     (default: the port diagram's 19 rows per side; at most\n"
    "                     100 settings here and in balance and sensitivity)\n"
    "  --revarms X,Y,...  settings as RevArmX values instead\n"
    "  --cutoffs P,Q,...  settings by mean cut-off (% of stroke, front and rear\n"
    "                     averaged), found on each side asked for\n"
    "  --step D           take the figures from the sweep's samples every D degrees\n"
    "                     (0.01 to 180; 4 gives the port diagram's points); default:\n"
    "                     bisection on the driver angle to 1e-4 degrees or better\n"
    "  --format csv|json|text   (default csv)\n"
    "Options of dims (with --dmi or --load and no --set, the file's values as\n"
    "read; else the working set after start-up, the file and the changes):\n"
    "  --format json      (the only one, and the default)\n"
    "Options of balance (prints each changed dimension, the objective, the\n"
    "largest front-minus-rear difference of each event before and after, the\n"
    "events before and after at equal cut-offs and what else changed):\n"
    "  --vary ID[:LO:HI],...  the dimensions that may change (id or field name),\n"
    "                     each within LO..HI, or ID:+-A within A of its value;\n"
    "                     ID alone: within a fifth of its value (0.01 for 0)\n"
    "  --side fwd|rev|both   the side(s) balanced over (default fwd)\n"
    "  --cutoffs P,Q,...  the running notches balanced over, as mean cut-offs\n"
    "                     (default 15,20,25,30,35,40 % of stroke)\n"
    "  --notches A,B,...  travels from mid gear balanced over instead\n"
    "  --step D           events from the sweep's samples every D degrees, 0.5\n"
    "                     to 180 (default: bisection)\n"
    "  --weights lead=2,hold=1,cutoff=1,release=0.25,compression=0.25   the\n"
    "                     weights of the squared differences: lead front minus\n"
    "                     rear and each end's lead from its value before (hold),\n"
    "                     in % of lap plus lead; cut-off, release and\n"
    "                     compression in % of stroke; any of them, the others\n"
    "                     keep these values\n"
    "  --allow-loss       let full-gear cut-off fall by more than 2 % of stroke\n"
    "                     and the largest opening by more than a tenth\n"
    "  --min-full-cutoff P   cut-off at full gear of at least P % at both ends\n"
    "  --lead-band LO:HI  the lead at both ends of every setting within LO..HI\n"
    "  --max-evals N      evaluations of a candidate gear at most (default 120)\n"
    "  --starts N         local searches, the first from the gear as given\n"
    "                     (default 1, at most 10)\n"
    "  --out FILE         write the balanced set (JSON when FILE ends in .json,\n"
    "                     else a dimension file), the reverse arm at mid gear;\n"
    "                     - writes the dimension file to standard output and the\n"
    "                     report to the error stream\n"
    "  --format text|json (default text)\n"
    "Options of sensitivity (central differences 0.01 either side; a figure whose\n"
    "two sides do not agree is withheld, ? or empty or null, with the reason):\n"
    "  --vary ID,...      the dimensions (id or field name; default: every one but\n"
    "                     the driver diameter)\n"
    "  --cutoffs A,B,...  settings by mean cut-off, % of stroke (default 15,25,40)\n"
    "  --notches A,B,...  settings as travels from mid gear instead, forward positive\n"
    "  --side fwd|rev|both   the side(s) of the settings (default fwd)\n"
    "  --format text|csv|json   (default text)\n"
    "\n"
    "  --help             this text\n"
    "\n"
    "Successive angles share state as the animation's successive ticks do.\n";

constexpr int kMaxFrames = 100000;
constexpr long kMaxAngles = 10000000;

void Append(std::string& o, long double v) {
  if (!std::isfinite(v)) {
    o += "null";
    return;
  }
  o += Figures(static_cast<double>(v), 9);
}

// A single as the shortest text that reads back as the same single.
void AppendSingle(std::string& o, float v) {
  if (!std::isfinite(v)) {
    o += "null";
    return;
  }
  o += ShortestText(v);
}

template <size_t N>
void AppendArray(std::string& o, const std::array<float, N>& a, void (*append)(std::string&, float)) {
  o += '[';
  for (size_t i = 0; i < N; ++i) {
    if (i) o += ',';
    append(o, a[i]);
  }
  o += ']';
}

template <size_t N>
void AppendArray(std::string& o, const std::array<float, N>& a) {
  AppendArray(o, a, [](std::string& t, float v) { Append(t, v); });
}

void Key(std::string& o, const char* k) {
  if (o.size() > 1) o += ',';
  o += '"';
  o += k;
  o += "\":";
}

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
      if (v != "fwd" && v != "rev" && v != "both") throw Usage{"--side takes fwd, rev or both, not '" + v + "'"};
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

namespace {

// A set read from `path`, or from standard input when it is "-": a dimension
// file's bytes, or with `json` a JSON set.
FileResult ReadImage(const std::string& path, bool json, DimFileImage& img) {
  if (path != "-") return json ? ReadDimJson(path, img) : ReadDimFile(path, img);
  const std::string bytes{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  if (std::cin.bad()) return FileFailure(errno);
  if (json) return DimImageFromJson(bytes, img);
  return DecodeDimFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), img);
}

// As "&OpenDimensions" takes a set once it is read whole: named after its
// file, applied, and RevArmX from the bar when the bar moves off mid gear
// (it stands at 0 after start-up).
void LoadAsWindowDoes(ModelState& s, const std::string& path, bool json) {
  DimFileImage img;
  const FileResult r = ReadImage(path, json, img);
  if (!r.ok) throw Usage{"cannot read '" + path + "': " + r.message};
  // Named as the window names it (a ".json" file less its five characters).
  s.dims.DimFileName = DimNameFromPath(path);
  ApplyDimFile(s, img);
  const int p = RevArmBarPosition(s);
  if (p != 0) s.mech.RevArmX = RevArmFromBar(s, p);
}

// The image of the file given by --dmi or --load, as read.
DimFileImage ReadInput(const Options& o) {
  DimFileImage img;
  const std::string& path = o.dmi.empty() ? o.load : o.dmi;
  const FileResult r = ReadImage(path, o.dmi.empty(), img);
  if (!r.ok) throw Usage{"cannot read '" + path + "': " + r.message};
  return img;
}

// Writes `bytes` to standard output; "" when written, else why not.
std::string WriteOut(std::ostream& out, const std::string& bytes) {
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return out ? "" : "cannot write to standard output";
}

}  // namespace

void LoadDimFileAsWindowDoes(ModelState& s, const std::string& path) { LoadAsWindowDoes(s, path, false); }

void LoadDimJsonAsWindowDoes(ModelState& s, const std::string& path) { LoadAsWindowDoes(s, path, true); }

void Prepare(ModelState& s, const Options& o) {
  StartUp(s);
  if (!o.dmi.empty()) LoadDimFileAsWindowDoes(s, o.dmi);
  if (!o.load.empty()) LoadDimJsonAsWindowDoes(s, o.load);
  for (const auto& [key, v] : o.sets)
    if (!ApplySetting(s, key, v)) throw Usage{"unknown dimension key '" + key + "'"};
}

void PrepareSolve(ModelState& s, const Options& o) {
  Prepare(s, o);
  // The centre follows the --set changes; it moves RevArmX to mid gear, so
  // the file's own setting is kept aside for when no other is asked for.
  const float loaded = s.mech.RevArmX;
  CalcCentre(s);
  const float mid = s.revArm.Positions[0];
  if (o.hasRevArm) s.mech.RevArmX = o.revArm;
  else if (o.hasTravel) s.mech.RevArmX = static_cast<float>(static_cast<long double>(mid) + o.travel);
  else if (!o.dmi.empty() || !o.load.empty()) s.mech.RevArmX = loaded;
  else s.mech.RevArmX = mid;
  s.mech.BeepOnError = !o.noBeep;
}

namespace {

int Solve(const Options& o, std::ostream& out) {
  ModelState s;
  PrepareSolve(s, o);
  for (float angle : o.angles) {
    s.mech.ErrFlag = 0;
    s.mech.DrvAngle = angle;
    brevold::Solve(s);
    PostCalc(s);
    out << SolveJson(s) << '\n';
  }
  return 0;
}

int Centre(const Options& o, std::ostream& out) {
  ModelState s;
  Prepare(s, o);
  CalcCentre(s);
  std::string j = "{";
  Key(j, "RevArmPositions");
  AppendArray(j, s.revArm.Positions);
  Key(j, "RevArmCount");
  j += std::to_string(s.revArm.RevArmCount);
  Key(j, "RevArmNorm");
  Append(j, s.dims.frame.RevArmNorm);
  Key(j, "RevArmMax");
  Append(j, s.dims.frame.RevArmMax);
  j += '}';
  out << j << '\n';
  return 0;
}

// With an input file and nothing to change, the set is converted as read.
bool Unchanged(const Options& o) { return (!o.dmi.empty() || !o.load.empty()) && o.sets.empty() && !o.hasRevArm && !o.hasTravel; }

// The set's bytes for standard output: a dimension file, or JSON.
std::string SetBytes(const DimFileImage& img, bool json) {
  if (json) return DimImageToJson(img);
  const auto bytes = EncodeDimFile(img);
  return std::string(bytes.begin(), bytes.end());
}

int Save(const Options& o, std::ostream& out, std::ostream& err) {
  ModelState s;
  FileResult r;
  if (o.out == "-") {
    DimFileImage img;
    if (Unchanged(o)) {
      img = ReadInput(o);
    } else {
      PrepareSolve(s, o);
      img = ImageOf(s);
    }
    const std::string why = WriteOut(out, SetBytes(img, o.format == "json"));
    if (why.empty()) return 0;
    err << "brevold-cli: " << why << '\n';
    return 1;
  }
  if (Unchanged(o)) {
    r = SaveDimImage(ReadInput(o), o.out);
  } else {
    PrepareSolve(s, o);
    r = SaveSet(s, o.out);
  }
  if (r.ok) return 0;
  err << "brevold-cli: cannot write '" << o.out << "': " << r.message << '\n';
  return 1;
}

int Dims(const Options& o, std::ostream& out) {
  if (Unchanged(o)) {
    out << DimImageToJson(ReadInput(o));
    return 0;
  }
  ModelState s;
  Prepare(s, o);
  out << DimImageToJson(ImageOf(s));
  return 0;
}

int Events(const Options& o, std::ostream& out, std::ostream& err) {
  ModelState s;
  PrepareSolve(s, o);
  EventRequest r;
  r.side = o.side == 'f' ? EventRequest::Forward : o.side == 'r' ? EventRequest::Reverse : EventRequest::Both;
  r.values = o.notches;
  r.valuesAreRevArm = o.notchesAreRevArm;
  r.cutOffs = o.cutOffs;
  r.method = o.step > 0 ? EventMethod::Step : EventMethod::Bisection;
  r.step = o.step > 0 ? o.step : PortRowStep;
  const EventTable t = ValveEventsTable(s, r);
  out << FormatEvents(t, o.format);
  // The text carries its notes; CSV and JSON stay tables, and the notes go
  // to the error stream.
  if (o.format != "text")
    for (const std::string& n : t.notes) err << "brevold-cli: " << n << '\n';
  return 0;
}

// balance: its own options, and the ones every command shares (--dmi,
// --load, --set) parsed as for centre.
struct BalanceOptions {
  Options common;
  BalanceRequest request;
  std::string out, format = "text";
};

BalanceVary VaryItem(const std::string& item) {
  const auto p = Split(item, ':');
  BalanceVary v;
  v.key = p[0];
  if (v.key.empty() || p.size() > 3) throw Usage{"--vary takes ID[:LO:HI] or ID:+-A, not '" + item + "'"};
  if (p.size() == 2) {
    if (p[1].rfind("+-", 0) != 0) throw Usage{"--vary takes ID[:LO:HI] or ID:+-A, not '" + item + "'"};
    v.bounds = BalanceVary::PlusMinus;
    v.a = Number(p[1].substr(2), "--vary " + item);
    if (!(v.a > 0)) throw Usage{"--vary " + item + ": the amount must be above 0"};
  } else if (p.size() == 3) {
    v.bounds = BalanceVary::Interval;
    v.a = Number(p[1], "--vary " + item);
    v.b = Number(p[2], "--vary " + item);
    if (!(v.a < v.b)) throw Usage{"--vary " + item + ": LO must be below HI"};
  }
  return v;
}

BalanceOptions ParseBalance(const std::vector<std::string>& args) {
  BalanceOptions b;
  BalanceRequest& r = b.request;
  std::vector<std::string> common = {args[0]};
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Usage{"option " + a + " needs a value"};
      return args[++i];
    };
    if (a == "--vary") {
      for (const std::string& item : Split(value(), ',')) r.vary.push_back(VaryItem(item));
    } else if (a == "--side") {
      const std::string& v = value();
      if (v != "fwd" && v != "rev" && v != "both") throw Usage{"--side takes fwd, rev or both, not '" + v + "'"};
      r.side = v == "fwd" ? EventRequest::Forward : v == "rev" ? EventRequest::Reverse : EventRequest::Both;
    } else if (a == "--notches") {
      if (!r.notches.empty()) throw Usage{"give --notches once"};
      SettingsList(value(), a, r.notches);
    } else if (a == "--cutoffs") {
      r.cutOffs.clear();
      SettingsList(value(), a, r.cutOffs);
    } else if (a == "--allow-loss") {
      r.allowLoss = true;
    } else if (a == "--step") {
      const std::string& v = value();
      r.step = Number(v, "--step");
      // Every evaluation sweeps every setting: a finer step makes the search
      // crawl (8.8 s an evaluation at 0.01).
      if (!(r.step >= 0.5f && r.step <= 180)) throw Usage{"--step takes 0.5 to 180 degrees, not '" + v + "'"};
      r.method = EventMethod::Step;
    } else if (a == "--weights") {
      for (const std::string& kv : Split(value(), ',')) {
        const size_t eq = kv.find('=');
        const std::string key = kv.substr(0, eq);
        double* w = key == "cutoff" ? &r.weights.cutOff : key == "lead" ? &r.weights.lead
                  : key == "hold" ? &r.weights.leadHold
                  : key == "release" ? &r.weights.release : key == "compression" ? &r.weights.compression : nullptr;
        if (eq == std::string::npos || !w) throw Usage{"--weights takes lead, hold, cutoff, release or compression=W, not '" + kv + "'"};
        *w = Number(kv.substr(eq + 1), "--weights " + kv);
        if (*w < 0) throw Usage{"--weights " + kv + ": a weight cannot be below 0"};
      }
    } else if (a == "--min-full-cutoff") {
      r.minFullGearCutOff = Number(value(), a);
    } else if (a == "--lead-band") {
      const std::string& v = value();
      const auto p = Split(v, ':');
      if (p.size() != 2) throw Usage{"--lead-band takes LO:HI, not '" + v + "'"};
      r.leadBand = std::make_pair(double{Number(p[0], a)}, double{Number(p[1], a)});
      if (!(r.leadBand->first <= r.leadBand->second)) throw Usage{"--lead-band " + v + ": LO must not be above HI"};
    } else if (a == "--max-evals" || a == "--starts") {
      const std::string& v = value();
      const float n = Number(v, a);
      const float most = a == "--starts" ? 10 : 100000;
      if (!(n >= 1 && n <= most && n == std::floor(n)))
        throw Usage{a + " takes a whole number from 1 to " + (a == "--starts" ? "10" : "100000") + ", not '" + v + "'"};
      (a == "--starts" ? r.starts : r.maxEvaluations) = static_cast<int>(n);
    } else if (a == "--out") {
      b.out = value();
      if (b.out.empty()) throw Usage{"--out needs a file name"};
    } else if (a == "--format") {
      b.format = value();
      if (b.format != "text" && b.format != "json") throw Usage{"--format takes text or json, not '" + b.format + "'"};
    } else {
      common.push_back(a);
      if ((a == "--dmi" || a == "--load" || a == "--set") && i + 1 < args.size()) common.push_back(args[++i]);
    }
  }
  b.common = ParseOptions(common, CliMode::Centre);
  if (r.vary.empty()) throw Usage{"balance needs --vary ID[:LO:HI],..."};
  return b;
}

std::string Fixed(double v) { return Figures(v, 6); }

std::string Spread(const std::optional<double>& v) { return v ? Fixed(*v) : "-"; }

std::string BalanceText(const BalanceResult& res, const std::string& written) {
  std::ostringstream o;
  const std::vector<float>& travels = res.travels;
  const char* side = travels.empty() ? "" : travels.front() >= 0 ? (travels.back() >= 0 ? "forward side" : "both sides") : "reverse side";
  o << "Balanced over " << travels.size() << " settings (" << side << ", travels";
  for (float t : travels) o << ' ' << Fixed(t);
  o << ")\n";
  char line[200];
  std::snprintf(line, sizeof line, "%-26s %4s %12s %12s  %s\n", "dimension", "id", "before", "after", "bounds");
  o << line;
  for (const BalanceDimResult& d : res.dims) {
    std::snprintf(line, sizeof line, "%-26s %4d %12s %12s  %s .. %s%s\n", d.dim.field.c_str(), d.dim.id, Fixed(d.before).c_str(),
                  Fixed(d.after).c_str(), Fixed(d.dim.lo).c_str(), Fixed(d.dim.hi).c_str(), d.atBound ? "  (on its bound)" : "");
    o << line;
  }
  std::snprintf(line, sizeof line, "%-31s %12s %12s\n", "objective", Fixed(res.before.objective).c_str(),
                Fixed(res.after.objective).c_str());
  o << line;
  o << "largest |front - rear| at the balanced settings:\n";
  const std::pair<const char*, std::optional<double> BalanceSpread::*> rows[] = {
      {"lead (at the dead centres)", &BalanceSpread::lead}, {"cut-off (% of stroke)", &BalanceSpread::cutOff},
      {"release (% of stroke)", &BalanceSpread::release}, {"compression (% of stroke)", &BalanceSpread::compression}};
  for (const auto& [name, m] : rows) {
    std::snprintf(line, sizeof line, "  %-29s %12s %12s\n", name, Spread(res.before.spread.*m).c_str(),
                  Spread(res.after.spread.*m).c_str());
    o << line;
  }
  auto penalties = [](const BalanceScore& sc) {
    std::vector<std::string> t;
    if (sc.absentEvents) t.push_back(std::to_string(sc.absentEvents) + " absent events");
    if (sc.errorSettings) t.push_back(std::to_string(sc.errorSettings) + " unsound balanced settings");
    if (sc.losses) t.push_back(std::to_string(sc.losses) + " losses beyond their margins");
    std::string s;
    for (const std::string& p : t) s += (s.empty() ? "" : ", ") + p;
    return s.empty() ? std::string("none") : s;
  };
  if (penalties(res.before) != "none" || penalties(res.after) != "none")
    o << "penalised: before " << penalties(res.before) << "; after " << penalties(res.after) << "\n";
  o << "full travel, both sides, 4-degree grid: after "
    << (res.after.Rejected() ? "unsound at " + std::to_string(res.after.sweepErrors) + " settings" : std::string("sound"))
    << ", before "
    << (res.before.Rejected() ? "unsound at " + std::to_string(res.before.sweepErrors) + " settings" : std::string("sound"))
    << "\n";
  o << "checked on the full travel, both sides: after " << res.verified.Describe() << "; before "
    << res.verifiedBefore.Describe() << "\n";
  if (res.failedVerification)
    o << "  " << res.failedVerification << " better candidates failed that check and were passed over\n";
  o << "\nAt equal cut-offs, before:\n" << BalanceRowsText(res.beforeRows) << "after:\n" << BalanceRowsText(res.afterRows);
  o << "\nWhat else changed:\n" << BalanceChangesText(res.changes);
  o << "\nstopped: " << StopName(res.stop) << " (" << StopReason(res.stop) << "), " << res.evaluations << " evaluations, "
    << Str(res.seconds, 1, 1) << " s\n";
  if (!res.noGain.empty()) {
    o << "no gain: " << res.noGain << "\n";
    if (!res.strongest.empty()) {
      o << "the strongest levers on the cut-off difference here:";
      for (const std::string& s : res.strongest) o << ' ' << s;
      o << "\n";
    }
  }
  if (!written.empty()) o << "written: " << written << '\n';
  return o.str();
}

std::string BalanceJson(const BalanceResult& res, const std::string& written) {
  const std::vector<float>& travels = res.travels;
  std::string j = "{";
  Key(j, "dims");
  j += '[';
  for (const BalanceDimResult& d : res.dims) {
    if (j.back() != '[') j += ',';
    std::string o = "{";
    Key(o, "id"); o += std::to_string(d.dim.id);
    Key(o, "field"); o += '"' + d.dim.field + '"';
    Key(o, "lo"); Append(o, d.dim.lo);
    Key(o, "hi"); Append(o, d.dim.hi);
    Key(o, "before"); Append(o, d.before);
    Key(o, "after"); Append(o, d.after);
    Key(o, "at_bound"); o += d.atBound ? "true" : "false";
    j += o + '}';
  }
  j += ']';
  Key(j, "travels");
  j += '[';
  for (size_t i = 0; i < travels.size(); ++i) {
    if (i) j += ',';
    Append(j, travels[i]);
  }
  j += ']';
  for (const auto& [name, sc] : {std::pair<const char*, const BalanceScore*>{"before", &res.before}, {"after", &res.after}}) {
    Key(j, name);
    std::string o = "{";
    Key(o, "objective"); Append(o, sc->objective);
    for (const auto& [k, v] : {std::pair<const char*, std::optional<double>>{"cutoff", sc->spread.cutOff},
                               {"lead", sc->spread.lead}, {"release", sc->spread.release},
                               {"compression", sc->spread.compression}}) {
      Key(o, k);
      if (v) Append(o, *v);
      else o += "null";
    }
    Key(o, "absent_events"); o += std::to_string(sc->absentEvents);
    Key(o, "error_settings"); o += std::to_string(sc->errorSettings);
    Key(o, "unsound_settings"); o += std::to_string(sc->sweepErrors);
    Key(o, "losses"); o += std::to_string(sc->losses);
    j += o + '}';
  }
  for (const auto& [name, c] : {std::pair<const char*, const TravelCheck*>{"verified", &res.verified}, {"verified_before", &res.verifiedBefore}}) {
    Key(j, name);
    std::string o = "{";
    Key(o, "step"); Append(o, c->step);
    Key(o, "settings"); o += std::to_string(c->settings);
    Key(o, "unsound"); o += std::to_string(c->unsound);
    Key(o, "sound"); o += c->Sound() ? "true" : "false";
    Key(o, "text"); o += '"' + c->Describe() + '"';
    j += o + '}';
  }
  Key(j, "changes");
  j += '[';
  for (const BalanceChange& c : res.changes) {
    if (j.back() != '[') j += ',';
    std::string o = "{";
    Key(o, "what"); o += '"' + c.what + '"';
    Key(o, "before");
    if (c.before) Append(o, *c.before);
    else o += "null";
    Key(o, "after");
    if (c.after) Append(o, *c.after);
    else o += "null";
    j += o + '}';
  }
  j += ']';
  Key(j, "gained"); j += res.Gained() ? "true" : "false";
  Key(j, "no_gain");
  if (res.noGain.empty()) j += "null";
  else j += '"' + res.noGain + '"';
  Key(j, "strongest");
  j += '[';
  for (const std::string& s : res.strongest) j += (j.back() == '[' ? "\"" : ",\"") + s + '"';
  j += ']';
  Key(j, "stop"); j += std::string("\"") + StopName(res.stop) + '"';
  Key(j, "evaluations"); j += std::to_string(res.evaluations);
  Key(j, "seconds"); Append(j, res.seconds);
  Key(j, "written");
  if (written.empty()) j += "null";
  else j += '"' + written + '"';
  return j + "}\n";
}

int BalanceCommand(const BalanceOptions& b, std::ostream& out, std::ostream& err) {
  ModelState s;
  PrepareSolve(s, b.common);
  std::vector<BalanceDim> dims;
  if (std::string why = ResolveBalanceDims(s, b.request.vary, dims); !why.empty()) throw Usage{why};
  if (BalanceTravels(s, b.request).empty()) throw Usage{"no setting to balance over on the side asked for"};
  const BalanceResult res = Balance(s, b.request);
  if (res.stop == BalanceResult::Failed) {
    err << "brevold-cli: the balance failed: " << res.message << '\n';
    return 1;
  }
  // With --out - the set goes to standard output, and the report to the error stream.
  std::ostream& report = b.out == "-" ? err : out;
  if (b.out == "-") {
    ApplyBalance(s, res);
    if (const std::string why = WriteOut(out, SetBytes(ImageOf(s), false)); !why.empty()) {
      err << "brevold-cli: " << why << '\n';
      return 1;
    }
  } else if (!b.out.empty()) {
    ApplyBalance(s, res);
    const FileResult w = SaveSet(s, b.out);
    if (!w.ok) {
      err << "brevold-cli: cannot write '" << b.out << "': " << w.message << '\n';
      return 1;
    }
  }
  report << (b.format == "json" ? BalanceJson(res, b.out) : BalanceText(res, b.out));
  return 0;
}

}  // namespace

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

bool ApplySetting(ModelState& s, const std::string& key, float value) {
  if (key == "RevArmNorm") {
    SetNormalTravel(s, value);
    return true;
  }
  if (key == "RevArmMax") {
    SetMaximumTravel(s, value);
    return true;
  }
  int id = 0;
  const DimInfo* info = nullptr;
  if (!key.empty() && key.find_first_not_of("0123456789") == std::string::npos && key.size() < 6) {
    id = std::stoi(key);
    info = FindDim(id);
  } else {
    info = FindDimByField(key);
  }
  if (!info) return false;
  return SetDim(s, info->id, value);
}

std::string SolveJson(const ModelState& s) {
  const Mechanism& m = s.mech;
  const ValveEvents& v = s.valve;
  std::string j = "{";
  Key(j, "DrvAngle"); AppendSingle(j, m.DrvAngle);
  Key(j, "RevArmX"); AppendSingle(j, m.RevArmX);
  Key(j, "PtX"); AppendArray(j, m.PtX, AppendSingle);
  Key(j, "PtY"); AppendArray(j, m.PtY, AppendSingle);
  Key(j, "LinkAng"); AppendSingle(j, m.LinkAng);
  Key(j, "LiftArmSgn"); AppendSingle(j, m.LiftArmSgn);
  Key(j, "EccDiaSolved"); AppendSingle(j, m.EccDiaSolved);
  Key(j, "CalcStatus"); j += '"'; j += m.CalcStatus; j += '"';
  Key(j, "ErrFlag"); j += std::to_string(m.ErrFlag);
  Key(j, "ValveDisp"); AppendSingle(j, v.ValveDisp);
  Key(j, "PistonUnits"); AppendSingle(j, v.PistonUnits);
  Key(j, "OpenSteamF"); AppendSingle(j, v.OpenSteamF);
  Key(j, "OpenExhF"); AppendSingle(j, v.OpenExhF);
  Key(j, "OpenSteamR"); AppendSingle(j, v.OpenSteamR);
  Key(j, "OpenExhR"); AppendSingle(j, v.OpenExhR);
  Key(j, "LapF"); AppendSingle(j, v.LapF);
  Key(j, "LapR"); AppendSingle(j, v.LapR);
  Key(j, "ExhClrF"); AppendSingle(j, v.ExhClrF);
  Key(j, "ExhClrR"); AppendSingle(j, v.ExhClrR);
  j += '}';
  return j;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, FrameCommand frame,
           FrameCommand diagram) {
  try {
    if (args.empty()) throw Usage{"no command given (try --help)"};
    for (const std::string& a : args) {
      if (a == "--help" || a == "-h") {
        // The diagram kinds as the drawing library has them.
        std::string usage = kUsage;
        const std::string::size_type at = usage.find("{kinds}");
        if (at != std::string::npos) usage.replace(at, 7, DiagramKindNames("|", "|"));
        out << usage;
        return 0;
      }
      if (a == "--version") {
        out << "brevold-cli " << ProgramVersion << "\n";
        return 0;
      }
    }
    if (args[0] == "solve") return Solve(ParseOptions(args, CliMode::Solve), out);
    if (args[0] == "centre") return Centre(ParseOptions(args, CliMode::Centre), out);
    if (args[0] == "save") return Save(ParseOptions(args, CliMode::Save), out, err);
    if (args[0] == "events") return Events(ParseOptions(args, CliMode::Events), out, err);
    if (args[0] == "dims") return Dims(ParseOptions(args, CliMode::Dims), out);
    if (args[0] == "balance") return BalanceCommand(ParseBalance(args), out, err);
    if (args[0] == "sensitivity") return SensitivityCommand(args, out, err);
    if (args[0] == "frame") {
      const Options o = ParseOptions(args, CliMode::Frame);
      if (!frame) {
        err << "brevold-cli: frame is not available in this build (built without Qt)\n";
        return 2;
      }
      return frame(o, out, err);
    }
    if (args[0] == "diagram") {
      const Options o = ParseOptions(args, CliMode::Diagram);
      if (!diagram) {
        err << "brevold-cli: diagram is not available in this build (built without Qt)\n";
        return 2;
      }
      return diagram(o, out, err);
    }
    throw Usage{"unknown command '" + args[0] + "'"};
  } catch (const Usage& u) {
    err << "brevold-cli: " << u.message << '\n';
    return 2;
  }
}

}  // namespace brevold
