// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli's model commands (solve, centre, save, events, dims) and the
// table of commands RunCli picks from; their options are read in
// commandopts.cpp, balance and sensitivity run in files of their own.
#include "cli/cli.h"
#include "cli/jsontext.h"

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

using namespace jsontext;

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


}  // namespace

// Writes `bytes` to standard output; "" when written, else why not.
std::string WriteOut(std::ostream& out, const std::string& bytes) {
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return out ? "" : "cannot write to standard output";
}

// The set's bytes for standard output: a dimension file, or JSON.
std::string SetBytes(const DimFileImage& img, bool json) {
  if (json) return DimImageToJson(img);
  const auto bytes = EncodeDimFile(img);
  return std::string(bytes.begin(), bytes.end());
}

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

ModelState LoadGearFile(const std::string& path) {
  if (path.empty() || path[0] == '-') throw Usage{"a gear file is wanted, not '" + path + "'"};
  Options o;
  const bool json = path.size() > 5 && path.compare(path.size() - 5, 5, ".json") == 0;
  (json ? o.load : o.dmi) = path;
  ModelState s;
  PrepareSolve(s, o);
  return s;
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

}  // namespace

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

namespace {

// A picture command, once its line is read, through the drawing handed in.
int Draw(const char* name, const Options& o, FrameCommand draw, const CliIo& io) {
  if (!draw) {
    io.err << "brevold-cli: " << name << " is not available in this build (built without Qt)\n";
    return 2;
  }
  return draw(o, io.out, io.err);
}

using Args = std::vector<std::string>;

const CliCommand kCommands[] = {
    {"solve", [](const Args& a, const CliIo& io) { return Solve(ParseSolve(a), io.out); }, help::solve},
    {"centre", [](const Args& a, const CliIo& io) { return Centre(ParseCentre(a), io.out); }, help::centre},
    {"frame", [](const Args& a, const CliIo& io) { return Draw("frame", ParseFrame(a), io.frame, io); }, help::frame},
    {"diagram", [](const Args& a, const CliIo& io) { return Draw("diagram", ParseDiagram(a), io.diagram, io); },
     help::diagram},
    {"save", [](const Args& a, const CliIo& io) { return Save(ParseSave(a), io.out, io.err); }, help::save},
    {"events", [](const Args& a, const CliIo& io) { return Events(ParseEvents(a), io.out, io.err); }, help::events},
    {"dims", [](const Args& a, const CliIo& io) { return Dims(ParseDims(a), io.out); }, help::dims},
    {"balance", [](const Args& a, const CliIo& io) { return BalanceMain(a, io.out, io.err); }, help::balance},
    {"sensitivity", [](const Args& a, const CliIo& io) { return SensitivityCommand(a, io.out, io.err); },
     help::sensitivity},
    {"compare", [](const Args& a, const CliIo& io) { return CompareCommand(a, io.out); }, help::compare},
    {"setting", [](const Args& a, const CliIo& io) { return SettingCommand(a, io.out, io.err); }, help::setting},
};

}  // namespace

std::span<const CliCommand> CliCommands() { return kCommands; }

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, FrameCommand frame,
           FrameCommand diagram) {
  try {
    if (args.empty()) throw Usage{"no command given (try --help)"};
    const CliCommand* command = nullptr;
    for (const CliCommand& c : kCommands)
      if (args[0] == c.name) command = &c;
    for (const std::string& a : args) {
      if (a == "--help" || a == "-h") {
        // A command's own, or with none known the whole text.
        out << (command ? UsageText(*command) : UsageText());
        return 0;
      }
      if (a == "--version") {
        out << "brevold-cli " << ProgramVersion << "\n";
        return 0;
      }
    }
    if (!command) throw Usage{"unknown command '" + args[0] + "'"};
    return command->run(args, CliIo{out, err, frame, diagram});
  } catch (const Usage& u) {
    err << "brevold-cli: " << u.message << '\n';
    return 2;
  }
}

}  // namespace brevold
