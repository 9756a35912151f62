// brevold-cli's option handling and its model commands (solve, centre, save).
#include "cli/cli.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "model/dimfile.h"
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
    "  frame    draw the main window's picture for one driver angle into a PNG\n"
    "  save     write the working set to a dimension file\n"
    "\n"
    "Options of every command:\n"
    "  --dmi FILE         start from a dimension file, loaded after start-up as\n"
    "                     &OpenDimensions loads it (mid gear, the reverse arm at\n"
    "                     the file's setting); a file that cannot be read exits 2\n"
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
    "Options of frame (renders the main window's picture to a 1280 x 1024 PNG):\n"
    "  --revarm, --travel as for solve\n"
    "  --angle A          driver angle in degrees (default 0); the gear is drawn\n"
    "                     stopped at A, so the readouts agree with the picture\n"
    "  --steam            steam display on\n"
    "  --frames N         animation ticks drawn (default 1, at most 100000): the\n"
    "                     gear first runs N-1 ticks at the start-up step, arriving\n"
    "                     at A, so the steam display has a running engine's\n"
    "                     history; the last tick is drawn stopped at A\n"
    "  --scale S --origin X,Y   the view: pixels per unit and the screen point\n"
    "                     of the driver centre (default 18.9 and 81,280)\n"
    "  --out FILE.png     the image to write\n"
    "Options of save (prints nothing; exits 1 with one line when the write fails,\n"
    "leaving an existing FILE as it was):\n"
    "  --revarm, --travel as for solve\n"
    "  --out FILE         the dimension file to write\n"
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
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
  o += buf;
}

template <size_t N>
void AppendArray(std::string& o, const std::array<float, N>& a) {
  o += '[';
  for (size_t i = 0; i < N; ++i) {
    if (i) o += ',';
    Append(o, a[i]);
  }
  o += ']';
}

void Key(std::string& o, const char* k) {
  if (o.size() > 1) o += ',';
  o += '"';
  o += k;
  o += "\":";
}

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


}  // namespace

Options ParseOptions(const std::vector<std::string>& args, CliMode mode) {
  const bool solve = mode == CliMode::Solve;
  const bool frame = mode == CliMode::Frame;
  const bool save = mode == CliMode::Save;
  const bool revArm = mode != CliMode::Centre;
  Options o;
  bool anglesGiven = false, framesGiven = false;
  for (size_t i = 1; i < args.size(); ++i) {
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
    } else if (a == "--dmi") {
      if (!o.dmi.empty()) throw Usage{"give --dmi once"};
      o.dmi = value();
      if (o.dmi.empty()) throw Usage{"--dmi needs a file name"};
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
    } else if (frame && a == "--frames") {
      if (framesGiven) throw Usage{"give --frames once"};
      framesGiven = true;
      const std::string& text = value();
      const float n = Number(text, "--frames");
      if (!(n >= 1 && n <= kMaxFrames && n == std::floor(n)))
        throw Usage{"--frames takes a whole number from 1 to 100000, not '" + text + "'"};
      o.frames = static_cast<int>(n);
    } else if ((frame || save) && a == "--out") {
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
    } else if (solve && a == "--no-error-beep") {
      o.noBeep = true;
    } else {
      throw Usage{"unknown option '" + a + "'"};
    }
  }
  if (o.hasRevArm && o.hasTravel) throw Usage{"give --revarm or --travel, not both"};
  if (o.hasScale != o.hasOrigin) throw Usage{"give --scale and --origin together"};
  if (o.hasScale && !(o.scale > 0)) throw Usage{"--scale must be above 0"};
  if (frame && o.out.empty()) throw Usage{"frame needs --out FILE.png"};
  if (save && o.out.empty()) throw Usage{"save needs --out FILE"};
  if (!anglesGiven) o.angles.push_back(0);
  return o;
}

void LoadDimFileAsWindowDoes(ModelState& s, const std::string& path) {
  const FileResult r = LoadDimensions(s, path);
  if (!r.ok) throw Usage{"cannot read '" + path + "': " + r.message};
  // The bar stands at 0 after start-up; only a move of the bar sets RevArmX.
  const int p = RevArmBarPosition(s);
  if (p != 0) s.mech.RevArmX = RevArmFromBar(s, p);
}

void Prepare(ModelState& s, const Options& o) {
  StartUp(s);
  if (!o.dmi.empty()) LoadDimFileAsWindowDoes(s, o.dmi);
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
  else if (!o.dmi.empty()) s.mech.RevArmX = loaded;
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

int Save(const Options& o, std::ostream& err) {
  ModelState s;
  PrepareSolve(s, o);
  const FileResult r = SaveDimensions(s, o.out);
  if (r.ok) return 0;
  err << "brevold-cli: cannot write '" << o.out << "': " << r.message << '\n';
  return 1;
}

}  // namespace

bool ParseNumber(const std::string& text, float& value) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double d = std::strtod(begin, &end);
  if (end != begin + text.size() || errno == ERANGE) return false;
  if (!std::isfinite(d) || std::fabs(d) > FLT_MAX) return false;
  // Only plain decimal notation: no hexadecimal, no "inf" or "nan".
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
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
  Key(j, "DrvAngle"); Append(j, m.DrvAngle);
  Key(j, "RevArmX"); Append(j, m.RevArmX);
  Key(j, "PtX"); AppendArray(j, m.PtX);
  Key(j, "PtY"); AppendArray(j, m.PtY);
  Key(j, "LinkAng"); Append(j, m.LinkAng);
  Key(j, "LiftArmSgn"); Append(j, m.LiftArmSgn);
  Key(j, "EccDiaSolved"); Append(j, m.EccDiaSolved);
  Key(j, "CalcStatus"); j += '"'; j += m.CalcStatus; j += '"';
  Key(j, "ErrFlag"); j += std::to_string(m.ErrFlag);
  Key(j, "ValveDisp"); Append(j, v.ValveDisp);
  Key(j, "PistonUnits"); Append(j, v.PistonUnits);
  Key(j, "OpenSteamF"); Append(j, v.OpenSteamF);
  Key(j, "OpenExhF"); Append(j, v.OpenExhF);
  Key(j, "OpenSteamR"); Append(j, v.OpenSteamR);
  Key(j, "OpenExhR"); Append(j, v.OpenExhR);
  Key(j, "LapF"); Append(j, v.LapF);
  Key(j, "LapR"); Append(j, v.LapR);
  Key(j, "ExhClrF"); Append(j, v.ExhClrF);
  Key(j, "ExhClrR"); Append(j, v.ExhClrR);
  j += '}';
  return j;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, FrameCommand frame) {
  try {
    if (args.empty()) throw Usage{"no command given (try --help)"};
    for (const std::string& a : args) {
      if (a == "--help" || a == "-h") {
        out << kUsage;
        return 0;
      }
      if (a == "--version") {
        out << "brevold-cli " << ProgramVersion << "\n";
        return 0;
      }
    }
    if (args[0] == "solve") return Solve(ParseOptions(args, CliMode::Solve), out);
    if (args[0] == "centre") return Centre(ParseOptions(args, CliMode::Centre), out);
    if (args[0] == "save") return Save(ParseOptions(args, CliMode::Save), err);
    if (args[0] == "frame") {
      const Options o = ParseOptions(args, CliMode::Frame);
      if (!frame) {
        err << "brevold-cli: frame is not available in this build (built without Qt)\n";
        return 2;
      }
      return frame(o, out, err);
    }
    throw Usage{"unknown command '" + args[0] + "'"};
  } catch (const Usage& u) {
    err << "brevold-cli: " << u.message << '\n';
    return 2;
  }
}

}  // namespace brevold
