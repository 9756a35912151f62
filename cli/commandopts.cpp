// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The options of solve, centre, frame, diagram, save, events and dims, each
// command's own with the checks that follow its line; balance and
// sensitivity read theirs in their own files.
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "diagrams/diagrampicture.h"

namespace brevold {

namespace {

constexpr int kMaxFrames = 100000;
constexpr long kMaxAngles = 10000000;

// --revarm and --travel, of the commands that solve at one setting; given
// both, the command refuses once its line is read (CheckRevArm).
void AddRevArm(OptionRules& rules, Options& o) {
  rules.push_back({"--revarm", [&o](const OptionArg& a) {
                     o.revArm = Number(a.Value(), "--revarm");
                     o.hasRevArm = true;
                   }});
  rules.push_back({"--travel", [&o](const OptionArg& a) {
                     o.travel = Number(a.Value(), "--travel");
                     o.hasTravel = true;
                   }});
}

void CheckRevArm(const Options& o) {
  if (o.hasRevArm && o.hasTravel) throw Usage{"give --revarm or --travel, not both"};
}

// --out, --format and --scale-picture, of the commands that draw; their
// format follows --out's suffix, or --format with --out - (CheckPicture).
void AddPicture(OptionRules& rules, Options& o, bool& formatGiven) {
  rules.push_back({"--scale-picture", [&o](const OptionArg& a) {
                     o.pictureScale = InRange("--scale-picture", a.Value(), 1, 8, "1 to 8");
                   }});
  rules.push_back({"--format", [&o, &formatGiven](const OptionArg& a) {
                     o.picture = Choice("--format", a.Value(), {"png", "svg", "pdf"});
                     formatGiven = true;
                   }});
  rules.push_back(OutOption(o.out));
}

void CheckPicture(const std::string& command, Options& o, bool formatGiven) {
  if (o.out.empty()) throw Usage{command + " needs --out FILE (.png, .svg or .pdf, or - for standard output)"};
  if (o.out != "-") {
    if (formatGiven) throw Usage{"--format goes with --out -; a file's suffix gives its format"};
    const size_t dot = o.out.find_last_of("./");
    std::string suffix = dot == std::string::npos || o.out[dot] != '.' ? "" : o.out.substr(dot + 1);
    for (char& ch : suffix) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (suffix != "png" && suffix != "svg" && suffix != "pdf")
      throw Usage{"cannot tell the picture format of '" + o.out + "': use .png, .svg or .pdf"};
    o.picture = suffix;
  }
  if (o.pictureScale != 1 && o.picture != "png") throw Usage{"--scale-picture goes with a PNG picture"};
}

// What a command leaves unsaid: its format, and one driver angle, 0.
Options Finish(Options& o, const char* format) {
  if (o.format.empty()) o.format = format;
  if (o.angles.empty()) o.angles.push_back(0);
  return o;
}

}  // namespace

Options ParseSolve(const std::vector<std::string>& args) {
  Options o;
  OptionRules rules = CommonOptions(o);
  AddRevArm(rules, o);
  auto once = [&o] {
    if (!o.angles.empty()) throw Usage{"give --angles or --sweep once"};
  };
  rules.push_back({"--angles", [&o, once](const OptionArg& a) {
                     once();
                     for (const std::string& p : Split(a.Value(), ',')) o.angles.push_back(Number(p, "--angles"));
                   }});
  rules.push_back({"--sweep", [&o, once](const OptionArg& a) {
                     once();
                     const std::string& range = a.Value();
                     auto p = Split(range, ':');
                     if (p.size() != 3) throw Usage{"--sweep takes FROM:TO:STEP, not '" + range + "'"};
                     const long double from = Number(p[0], "--sweep"), to = Number(p[1], "--sweep");
                     const long double step = Number(p[2], "--sweep");
                     if (step == 0 || (to - from) * step < 0)
                       throw Usage{"--sweep step " + p[2] + " does not lead from " + p[0] + " to " + p[1]};
                     const long double count = std::floor((to - from) / step + 1e-9L) + 1;
                     if (count > kMaxAngles) throw Usage{"--sweep " + range + " has more than 10000000 angles"};
                     for (long n = 0; n < static_cast<long>(count); ++n)
                       o.angles.push_back(static_cast<float>(from + n * step));
                   }});
  rules.push_back({"--no-error-beep", [&o](const OptionArg&) { o.noBeep = true; }});
  WalkOptions(args, 1, rules);
  CheckRevArm(o);
  return Finish(o, "json");
}

Options ParseCentre(const std::vector<std::string>& args) {
  Options o;
  WalkOptions(args, 1, CommonOptions(o));
  return Finish(o, "json");
}

Options ParseFrame(const std::vector<std::string>& args) {
  Options o;
  bool framesGiven = false, formatGiven = false;
  OptionRules rules = CommonOptions(o);
  AddRevArm(rules, o);
  rules.push_back({"--angle", [&o](const OptionArg& a) {
                     if (!o.angles.empty()) throw Usage{"give --angle once"};
                     o.angles.push_back(Number(a.Value(), "--angle"));
                   }});
  rules.push_back({"--scale", [&o](const OptionArg& a) {
                     o.scale = Number(a.Value(), "--scale");
                     o.hasScale = true;
                   }});
  rules.push_back({"--origin", [&o](const OptionArg& a) {
                     const std::string& xy = a.Value();
                     auto p = Split(xy, ',');
                     if (p.size() != 2) throw Usage{"--origin takes X,Y, not '" + xy + "'"};
                     o.originX = Number(p[0], "--origin");
                     o.originY = Number(p[1], "--origin");
                     o.hasOrigin = true;
                   }});
  rules.push_back({"--steam", [&o](const OptionArg&) { o.steam = true; }});
  rules.push_back({"--gear", [&o](const OptionArg&) { o.gearOnly = true; }});
  rules.push_back({"--frames", [&o, &framesGiven](const OptionArg& a) {
                     if (framesGiven) throw Usage{"give --frames once"};
                     framesGiven = true;
                     o.frames = WholeNumber("--frames", a.Value(), kMaxFrames);
                   }});
  AddPicture(rules, o, formatGiven);
  WalkOptions(args, 1, rules);
  CheckRevArm(o);
  if (o.hasScale != o.hasOrigin) throw Usage{"give --scale and --origin together"};
  if (o.hasScale && !(o.scale > 0)) throw Usage{"--scale must be above 0"};
  CheckPicture(args[0], o, formatGiven);
  return Finish(o, "json");
}

Options ParseDiagram(const std::vector<std::string>& args) {
  Options o;
  const std::string kinds = DiagramKindNames(", ", " or ");
  if (args.size() < 2 || args[1].rfind("--", 0) == 0) throw Usage{"diagram needs " + kinds};
  o.diagram = args[1];
  if (!FindDiagramKind(o.diagram)) throw Usage{"diagram takes " + kinds + ", not '" + o.diagram + "'"};
  bool formatGiven = false;
  OptionRules rules = CommonOptions(o);
  rules.push_back({"--mode", [&o](const OptionArg& a) { o.diagramMode = Choice("--mode", a.Value(), {"F", "R", "B"})[0]; }});
  rules.push_back({"--positions", [&o](const OptionArg& a) {
                     if (!o.positions.empty()) throw Usage{"give --positions once"};
                     for (const std::string& p : Split(a.Value(), ',')) o.positions.push_back(Number(p, "--positions"));
                     if (o.positions.size() > 9) throw Usage{"--positions takes at most 9 values"};
                   }});
  rules.push_back({"--vert-scale", [&o](const OptionArg& a) {
                     o.vertScale = InRange("--vert-scale", a.Value(), 0.1f, 100, "0.1 to 100");
                     o.hasVertScale = true;
                   }});
  AddPicture(rules, o, formatGiven);
  WalkOptions(args, 2, rules);
  CheckPicture(args[0], o, formatGiven);
  return Finish(o, "json");
}

Options ParseSave(const std::vector<std::string>& args) {
  Options o;
  bool formatGiven = false;
  OptionRules rules = CommonOptions(o);
  AddRevArm(rules, o);
  rules.push_back(OutOption(o.out));
  rules.push_back({"--format", [&o, &formatGiven](const OptionArg& a) {
                     o.format = Choice("--format", a.Value(), {"dmi", "json"});
                     formatGiven = true;
                   }});
  WalkOptions(args, 1, rules);
  CheckRevArm(o);
  if (o.out.empty()) throw Usage{"save needs --out FILE"};
  if (formatGiven && o.out != "-") throw Usage{"--format goes with --out -; a file's suffix gives its format"};
  return Finish(o, "dmi");
}

Options ParseEvents(const std::vector<std::string>& args) {
  Options o;
  OptionRules rules = CommonOptions(o);
  rules.push_back({"--side", [&o](const OptionArg& a) {
                     const std::string& v = a.Value();
                     SideOption(v);
                     o.side = v[0];
                   }});
  auto settings = [&o](const OptionArg& a) {
    if (!o.notches.empty() || !o.cutOffs.empty()) throw Usage{"give one of --notches, --revarms and --cutoffs, once"};
    o.notchesAreRevArm = a.name == "--revarms";
    SettingsList(a.Value(), a.name, a.name == "--cutoffs" ? o.cutOffs : o.notches);
  };
  for (const char* name : {"--notches", "--revarms", "--cutoffs"}) rules.push_back({name, settings});
  rules.push_back({"--step", [&o](const OptionArg& a) {
                     o.step = InRange("--step", a.Value(), 0.01f, 180, "0.01 to 180 degrees");
                   }});
  rules.push_back({"--format", [&o](const OptionArg& a) { o.format = Choice("--format", a.Value(), {"csv", "json", "text"}); }});
  WalkOptions(args, 1, rules);
  return Finish(o, "csv");
}

Options ParseDims(const std::vector<std::string>& args) {
  Options o;
  OptionRules rules = CommonOptions(o);
  rules.push_back({"--format", [&o](const OptionArg& a) { o.format = Choice("--format", a.Value(), {"json"}); }});
  WalkOptions(args, 1, rules);
  return Finish(o, "json");
}

Options ParseOptions(const std::vector<std::string>& args, CliMode mode) {
  switch (mode) {
    case CliMode::Solve: return ParseSolve(args);
    case CliMode::Centre: return ParseCentre(args);
    case CliMode::Frame: return ParseFrame(args);
    case CliMode::Save: return ParseSave(args);
    case CliMode::Events: return ParseEvents(args);
    case CliMode::Dims: return ParseDims(args);
    case CliMode::Diagram: return ParseDiagram(args);
  }
  throw Usage{"unknown command '" + args[0] + "'"};
}

}  // namespace brevold
