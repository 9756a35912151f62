// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <regex>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "model/dimfile.h"
#include "model/numfmt.h"
#include "helpers.h"
#include "textnum.h"
#include <nlohmann/json.hpp>

namespace brevold {
using test::Started;

struct CliRun {
  int status;
  std::string out, err;
};

CliRun RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  int st = RunCli(args, out, err);
  return {st, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// Every command's JSON is JSON, for the nominal gear and for one whose
// searches give up (a stroke of 1e38): no bare nan or inf anywhere.
TEST(CliJson, EveryCommandWritesValidJsonForAnyGear) {
  const std::vector<std::vector<std::string>> commands = {{"solve", "--angles", "0,90,180"},
                                                         {"centre"},
                                                         {"dims"},
                                                         {"events", "--format", "json"},
                                                         {"sensitivity", "--format", "json"}};
  for (const bool broken : {false, true}) {
    for (std::vector<std::string> args : commands) {
      if (broken) args.insert(args.end(), {"--set", "2=1e38"});
      const CliRun r = RunTool(args);
      ASSERT_EQ(r.status, 0) << args[0] << ": " << r.err;
      // One JSON value per line, or one spread over the lines.
      const bool whole = !nlohmann::json::parse(r.out, nullptr, false).is_discarded();
      if (whole) continue;
      for (const std::string& line : Lines(r.out))
        EXPECT_FALSE(nlohmann::json::parse(line, nullptr, false).is_discarded()) << args[0] << (broken ? " broken: " : ": ") << line;
    }
  }
}

TEST(CliParsing, NumbersMustBeWholeFiniteDecimals) {
  float v = 0;
  EXPECT_TRUE(ParseNumber("-0.7", v));
  EXPECT_FLOAT_EQ(v, -0.7f);
  EXPECT_TRUE(ParseNumber("1e30", v));
  EXPECT_TRUE(ParseNumber("+3", v));
  // A printed value given back is the value printed: the largest single's
  // shortest text lies just above it, and a text halfway between two
  // singles is rounded once.
  EXPECT_TRUE(ParseNumber("-3.4028235e+38", v));
  EXPECT_EQ(v, -FLT_MAX);
  EXPECT_TRUE(ParseNumber("7.038531e-26", v));
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  EXPECT_EQ(bits, 0x15ae43fdu);
  for (const char* bad : {"", "abc", "1.2.3", "3x", "nan", "inf", "1e39", "3.4028236e+38", "0x10", " 1", "1 "})
    EXPECT_FALSE(ParseNumber(bad, v)) << bad;
}

TEST(CliParsing, BadUsageNamesTheFaultAndExitsTwo) {
  struct Bad {
    std::vector<std::string> args;
    const char* named;
  };
  const std::vector<Bad> bad = {
      {{}, "no command"},
      {{"fly"}, "fly"},
      {{"solve", "--bogus"}, "--bogus"},
      {{"solve", "--set", "NoSuchDim=1"}, "NoSuchDim"},
      {{"solve", "--set", "26=1"}, "26"},
      {{"solve", "--set", "3=abc"}, "abc"},
      {{"solve", "--set", "3"}, "KEY=VALUE"},
      {{"solve", "--angles", "1,x"}, "x"},
      {{"solve", "--sweep", "0:10"}, "FROM:TO:STEP"},
      {{"solve", "--sweep", "0:10:0"}, "step"},
      {{"solve", "--sweep", "0:10:-1"}, "step"},
      {{"solve", "--revarm", "9", "--travel", "1"}, "not both"},
      {{"solve", "--travel"}, "needs a value"},
      {{"centre", "--angles", "0"}, "--angles"},
      {{"centre", "--revarm", "9"}, "--revarm"},
      {{"save"}, "--out"},
      {{"save", "--out", "x.dmi", "--angles", "0"}, "--angles"},
      {{"solve", "--dmi"}, "needs a value"},
      {{"solve", "--dmi", "a.dmi", "--dmi", "b.dmi"}, "--dmi once"},
      {{"frame", "--out", "x.png", "--frames", "0"}, "--frames"},
      {{"frame", "--out", "x.png", "--frames", "1.5"}, "--frames"},
      {{"solve", "--steam"}, "--steam"},
  };
  for (const Bad& b : bad) {
    CliRun r = RunTool(b.args);
    EXPECT_EQ(r.status, 2) << b.named;
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find(b.named), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  }
  CliRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* opt : {"--set", "--revarm", "--travel", "--angles", "--sweep", "--no-error-beep", "centre", "--dmi",
                          "save", "--out", "--steam", "--frames", "--version"})
    EXPECT_NE(help.out.find(opt), std::string::npos) << opt;
  CliRun version = RunTool({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("brevold-cli ") + BREVOLD_VERSION + "\n");
}

TEST(CliSolve, OutputIsTheInProcessSolveTickByTick) {
  CliRun r = RunTool({"solve", "--set", "MainRodLen=17", "--set", "102=1", "--travel", "-0.7", "--angles", "0,90,200"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u);

  ModelState s = Started();
  SetDim(s, 3, 17);
  SetDim(s, 102, 1);
  CalcCentre(s);
  s.mech.RevArmX = s.revArm.Positions[0] - 0.7f;
  const float angles[] = {0, 90, 200};
  for (int i = 0; i < 3; ++i) {
    s.mech.ErrFlag = 0;
    s.mech.DrvAngle = angles[i];
    Solve(s);
    PostCalc(s);
    EXPECT_EQ(lines[static_cast<size_t>(i)], SolveJson(s));
  }
  EXPECT_NE(lines[0].find("\"PtY\":[0,0,"), std::string::npos);
  EXPECT_NE(lines[0].find("\"CalcStatus\":\"Z\""), std::string::npos);
  for (const char* key : {"DrvAngle", "RevArmX", "PtX", "LinkAng", "LiftArmSgn", "EccDiaSolved", "ErrFlag",
                          "ValveDisp", "PistonUnits", "OpenSteamF", "OpenExhF", "OpenSteamR", "OpenExhR",
                          "LapF", "LapR", "ExhClrF", "ExhClrR"})
    EXPECT_NE(lines[0].find(std::string("\"") + key + "\":"), std::string::npos) << key;
}

TEST(CliSolve, SweepAndErrorBeep) {
  CliRun r = RunTool({"solve", "--sweep", "0:360:10"});
  ASSERT_EQ(r.status, 0);
  auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 37u);
  EXPECT_EQ(lines[36].rfind("{\"DrvAngle\":360,", 0), 0u);
  for (const auto& l : lines) EXPECT_NE(l.find("\"ErrFlag\":0"), std::string::npos);

  CliRun broken = RunTool({"solve", "--set", "3=0.5", "--angles", "90"});
  EXPECT_NE(broken.out.find("\"ErrFlag\":1"), std::string::npos);
  CliRun quiet = RunTool({"solve", "--set", "3=0.5", "--angles", "90", "--no-error-beep"});
  EXPECT_NE(quiet.out.find("\"ErrFlag\":0"), std::string::npos);

  CliRun back = RunTool({"solve", "--sweep", "10:-10:-10"});
  EXPECT_EQ(Lines(back.out).size(), 3u);
}

TEST(CliSolve, SingleValuesRoundTrip) {
  CliRun r = RunTool({"solve", "--angles", "33.3"});
  ModelState s = Started();
  s.mech.DrvAngle = 33.3f;
  Solve(s);
  PostCalc(s);
  const std::string key = "\"ValveDisp\":";
  size_t at = r.out.find(key);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(CFloat(r.out.substr(at + key.size())), s.valve.ValveDisp);
}

TEST(CliCentre, PrintsTheStartUpPositions) {
  CliRun r = RunTool({"centre"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("{\"RevArmPositions\":[9.7657", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\"RevArmCount\":3"), std::string::npos);
  EXPECT_NE(r.out.find("\"RevArmNorm\":0.699999988"), std::string::npos);
  CliRun wide = RunTool({"centre", "--set", "RevArmMax=2", "--set", "RevArmNorm=1.5"});
  EXPECT_NE(wide.out.find("\"RevArmNorm\":1.5,\"RevArmMax\":2}"), std::string::npos) << wide.out;
  CliRun clamped = RunTool({"centre", "--set", "RevArmNorm=1.5"});
  EXPECT_NE(clamped.out.find("\"RevArmNorm\":0.899999976"), std::string::npos) << clamped.out;
}

// A folder of its own per test, removed afterwards.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "brevold-cli-XXXXXX").string();
    path = ::mkdtemp(tmpl.data());
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string operator/(const char* name) const { return (path / name).string(); }
};

float JsonNumber(const std::string& line, const std::string& key) {
  const std::string k = "\"" + key + "\":";
  const size_t at = line.find(k);
  return at == std::string::npos ? NAN : CFloat(line.substr(at + k.size()));
}

TEST(CliDimFile, SavedSetComesBackThroughDmi) {
  TempDir dir;
  const std::string file = dir / "long rod.dmi";
  CliRun save = RunTool({"save", "--out", file, "--set", "MainRodLen=17", "--set", "RevArmMax=2"});
  ASSERT_EQ(save.status, 0) << save.err;
  EXPECT_TRUE(save.out.empty() && save.err.empty());
  EXPECT_EQ(std::filesystem::file_size(file), 1420u);

  // The file gives what the same changes give on the command line.
  EXPECT_EQ(RunTool({"centre", "--dmi", file}).out, RunTool({"centre", "--set", "MainRodLen=17", "--set", "RevArmMax=2"}).out);
  EXPECT_EQ(RunTool({"solve", "--dmi", file, "--angles", "0,135"}).out,
            RunTool({"solve", "--set", "MainRodLen=17", "--set", "RevArmMax=2", "--angles", "0,135"}).out);
  EXPECT_NE(RunTool({"centre", "--dmi", file}).out, RunTool({"centre"}).out);
  // --set works on the loaded set.
  EXPECT_EQ(RunTool({"centre", "--dmi", file, "--set", "MainRodLen=16.5"}).out,
            RunTool({"centre", "--set", "RevArmMax=2"}).out);
}

TEST(CliDimFile, ReverseArmFromFileUnlessAskedFor) {
  TempDir dir;
  const std::string file = dir / "fwd.dmi";
  ASSERT_EQ(RunTool({"save", "--out", file, "--travel", "0.5"}).status, 0);
  const float mid = JsonNumber(RunTool({"solve"}).out, "RevArmX");
  // The file's setting comes back through the reverse-arm bar, to a thousandth.
  EXPECT_NEAR(JsonNumber(RunTool({"solve", "--dmi", file}).out, "RevArmX"), mid + 0.5f, 1e-3f);
  EXPECT_NEAR(JsonNumber(RunTool({"solve", "--dmi", file, "--travel", "-0.25"}).out, "RevArmX"), mid - 0.25f, 1e-5f);
  EXPECT_EQ(JsonNumber(RunTool({"solve", "--dmi", file, "--revarm", "9.5"}).out, "RevArmX"), 9.5f);
}

TEST(CliDimFile, UnreadableFileExitsTwoWithOneLine) {
  TempDir dir;
  const std::string shortFile = dir / "short.dmi";
  std::ofstream(shortFile, std::ios::binary) << std::string(700, '\0');
  const std::string out = dir / "never.dmi";
  struct Case {
    std::string file, message;
  };
  for (const Case& c : {Case{shortFile, "Read beyond end of file"}, Case{dir / "missing.dmi", "File not found"}})
    for (std::vector<std::string> args : {std::vector<std::string>{"solve"}, {"centre"}, {"save", "--out", out}}) {
      args.insert(args.end(), {"--dmi", c.file});
      CliRun r = RunTool(args);
      EXPECT_EQ(r.status, 2) << args[0];
      EXPECT_TRUE(r.out.empty());
      EXPECT_EQ(r.err, "brevold-cli: cannot read '" + c.file + "': " + c.message + "\n");
    }
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliDimFile, FailedSaveExitsOneAndLeavesNoFile) {
  TempDir dir;
  const std::string file = dir / "no such folder/x.dmi";
  CliRun r = RunTool({"save", "--out", file});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err, "brevold-cli: cannot write '" + file + "': File not found\n");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

// A set with nine positions and overlay rows goes .dmi -> JSON -> .dmi
// unchanged, and a JSON set loads wherever a .dmi does.
TEST(CliDimJson, DmiToJsonAndBackIsByteIdentical) {
  TempDir dir;
  const std::string dmi = dir / "busy.dmi", json = dir / "busy.json", back = dir / "back.dmi";
  ModelState s;
  StartUp(s);
  for (size_t k = 1; k <= 9; ++k) s.revArm.Positions[k] = 9.4f + 0.05f * static_cast<float>(k);
  s.overlay.LineType[2] = 1, s.overlay.LineColor[2] = 4, s.overlay.Line1Horz[2] = 3.3f, s.overlay.LineNo = 2;
  s.mech.RevArmX = 9.9123f;
  ASSERT_TRUE(SaveDimensions(s, dmi).ok);
  CliRun dims = RunTool({"dims", "--dmi", dmi});
  ASSERT_EQ(dims.status, 0) << dims.err;
  std::ofstream(json) << dims.out;
  ASSERT_EQ(RunTool({"save", "--load", json, "--out", back}).status, 0);
  auto bytes = [](const std::string& f) {
    std::ifstream in(f, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(bytes(back), bytes(dmi));
  ASSERT_EQ(RunTool({"save", "--dmi", dmi, "--out", json}).status, 0);
  EXPECT_EQ(bytes(json), dims.out);
  // Loaded either way, the same gear solves the same.
  EXPECT_EQ(RunTool({"solve", "--load", json, "--angles", "30"}).out, RunTool({"solve", "--dmi", dmi, "--angles", "30"}).out);
  std::string text = dims.out;
  text.replace(text.find("\"Piv1No\""), 8, "\"Piv1Nr\"");
  std::ofstream(json) << text;
  CliRun bad = RunTool({"events", "--load", json});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "brevold-cli: cannot read '" + json + "': overlay.Rows[0].Piv1No: missing\n");
}

TEST(CliEvents, TablesByMethodAndFormat) {
  CliRun csv = RunTool({"events", "--step", "4", "--side", "fwd"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  const auto lines = Lines(csv.out);
  ASSERT_EQ(lines.size(), 1u + 19 * 3);
  EXPECT_EQ(lines[0].rfind("method,side,travel,RevArmX,end,admission_angle,", 0), 0u);
  EXPECT_EQ(lines[4].rfind("step 4,fwd,0.", 0), 0u);
  CliRun json = RunTool({"events", "--revarms", "9.3,10.2", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto rows = Lines(json.out);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].rfind("{\"method\":\"bisection\",\"side\":\"fwd\",\"travel\":0.434296", 0), 0u) << rows[0];
  EXPECT_NE(rows[2].find("\"admission_angle\":null"), std::string::npos);
  for (std::vector<std::string> args : {std::vector<std::string>{"events", "--step", "0"},
                                        {"events", "--side", "up"}, {"events", "--format", "xml"},
                                        {"dims", "--format", "csv"}, {"events", "--dmi", "a", "--load", "b"}})
    EXPECT_EQ(RunTool(args).status, 2) << args[1];
}

// Every command walks its options alike: a value missing at the end, an
// option not its own. balance and sensitivity name a fault in their own
// options before one in those every command takes, wherever it stands.
TEST(CliParsing, EveryCommandWalksItsOptionsAlike) {
  for (std::vector<std::string> args : {std::vector<std::string>{"solve"}, {"centre"}, {"frame"}, {"diagram", "port"},
                                        {"save"}, {"events"}, {"dims"}, {"balance"}, {"sensitivity"}}) {
    args.push_back("--bogus");
    EXPECT_EQ(RunTool(args).err, "brevold-cli: unknown option '--bogus'\n") << args[0];
    args.back() = "--dmi";
    EXPECT_EQ(RunTool(args).err, "brevold-cli: option --dmi needs a value\n") << args[0];
  }
  EXPECT_EQ(RunTool({"balance", "--bogus", "--vary", ""}).err, "brevold-cli: --vary takes ID[:LO:HI] or ID:+-A, not ''\n");
  EXPECT_EQ(RunTool({"balance", "--vary", "3", "--set", "--side", "rev"}).err,
            "brevold-cli: --set takes KEY=VALUE, not '--side'\n");
  EXPECT_EQ(RunTool({"sensitivity", "--dmi", "", "--format", "xml"}).err,
            "brevold-cli: --format takes text, csv or json, not 'xml'\n");
}

// COMMAND --help is its usage line, its own lines and the options of every
// command, none of another command's; the whole --help has each command's
// lines as its own --help has them.
TEST(CliHelp, EachCommandItsOwnTheWholeTextAll) {
  const CliRun whole = RunTool({"--help"});
  EXPECT_EQ(RunTool({"fly", "--help"}).out, whole.out);
  EXPECT_EQ(RunTool({"-h"}).out, whole.out);
  const std::vector<std::string> names = {"solve", "centre", "frame", "diagram", "save",
                                          "events", "dims", "balance", "sensitivity"};
  const auto npos = std::string::npos;
  for (const std::string& name : names) {
    const CliRun own = RunTool({name, "--angles", "-h"});
    EXPECT_EQ(own.status, 0);
    EXPECT_EQ(RunTool({name, "--help"}).out, own.out);
    EXPECT_EQ(own.out.rfind("usage: brevold-cli " + name + " ", 0), 0u) << own.out;
    for (const std::string& other : names)
      EXPECT_EQ(own.out.find("Options of " + other) != npos, other == name && name != "centre") << name << ": " << other;
    EXPECT_EQ(own.out.find("Successive angles") != npos, name == "solve") << name;
    const size_t summary = own.out.find("\n\n") + 2, common = own.out.find("\nOptions of every command:\n");
    ASSERT_NE(common, npos) << name;
    EXPECT_NE(whole.out.find(own.out.substr(summary, common - summary)), npos) << name;
    const size_t section = own.out.find("Options of " + name), end = own.out.find("\n  --help ");
    if (section != npos) EXPECT_NE(whole.out.find(own.out.substr(section, end - section)), npos) << name;
  }
}

// Values outside the ranges the usage gives are refused with exit 2 and a
// line that says why, not held to the range in silence.
TEST(CliParsing, ValuesOutsideTheirRangesAreRefused) {
  std::string many = "0.3";
  for (size_t k = 1; k <= MaxSettings; ++k) many += ",0.3";  // one more than allowed
  for (std::vector<std::string> args : {std::vector<std::string>{"events", "--notches", many},
                                        {"events", "--cutoffs", "0"},
                                        {"sensitivity", "--notches", many},
                                        {"balance", "--vary", "17", "--notches", many},
                                        {"balance", "--vary", "17", "--step", "0.01"}}) {
    const CliRun r = RunTool(args);
    EXPECT_EQ(r.status, 2) << args[0] << " " << args[args.size() - 2];
    EXPECT_NE(r.err.find("brevold-cli: "), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  for (const char* scale : {"0", "-5", "1e9", "0.09"})
    EXPECT_THROW(ParseOptions({"diagram", "port", "--vert-scale", scale, "--out", "x.png"}, CliMode::Diagram), Usage) << scale;
  EXPECT_NO_THROW(ParseOptions({"diagram", "port", "--vert-scale", "0.1", "--out", "x.png"}, CliMode::Diagram));
  EXPECT_NO_THROW(ParseOptions({"diagram", "port", "--vert-scale", "100", "--out", "x.png"}, CliMode::Diagram));
  EXPECT_EQ(RunTool({"events", "--notches", many.substr(4), "--step", "90"}).status, 0);  // exactly the most
}

// The start-up set as JSON, text for text as the first version of the form
// wrote it (its FNV-1a hash, 11171 bytes): the names, their order, the ids
// and the values. The gear's fields are walked from one table now, and the
// form must not move.
TEST(CliDimFile, JsonFormIsAsItWasFirstWritten) {
  const CliRun r = RunTool({"save", "--out", "-", "--format", "json"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : r.out) h = (h ^ c) * 1099511628211ull;
  EXPECT_EQ(r.out.size(), 11171u);
  EXPECT_EQ(h, 11016358474429229076ull);
}

// "-" as --out writes the set to standard output, and as --dmi or --load
// reads it from standard input: the same bytes and the same gear as a file.
TEST(CliDimFile, DashIsStandardOutputAndInput) {
  TempDir dir;
  const std::string file = dir / "gear.dmi", json = dir / "gear.json";
  const std::vector<std::string> change = {"--set", "MainRodLen=17", "--travel", "0.4"};
  auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), change.begin(), change.end());
    return args;
  };
  ASSERT_EQ(RunTool(with({"save", "--out", file})).status, 0);
  ASSERT_EQ(RunTool(with({"save", "--out", json})).status, 0);
  auto bytes = [](const std::string& f) {
    std::ifstream in(f, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path);
  const CliRun dmiOut = RunTool(with({"save", "--out", "-"}));
  const CliRun jsonOut = RunTool(with({"save", "--out", "-", "--format", "json"}));
  const bool dashFile = std::filesystem::exists("-");
  std::filesystem::current_path(cwd);
  EXPECT_FALSE(dashFile);
  ASSERT_EQ(dmiOut.status, 0) << dmiOut.err;
  EXPECT_EQ(dmiOut.out, bytes(file));
  EXPECT_EQ(jsonOut.out, bytes(json));
  EXPECT_EQ(RunTool({"save", "--out", file, "--format", "json"}).status, 2);

  auto fromStdin = [](const std::string& input, const std::vector<std::string>& args) {
    std::istringstream in(input);
    std::streambuf* old = std::cin.rdbuf(in.rdbuf());
    CliRun r = RunTool(args);
    std::cin.rdbuf(old);
    std::cin.clear();
    return r;
  };
  const std::string solved = RunTool({"solve", "--dmi", file, "--angles", "0,90"}).out;
  EXPECT_EQ(fromStdin(dmiOut.out, {"solve", "--dmi", "-", "--angles", "0,90"}).out, solved);
  EXPECT_EQ(fromStdin(jsonOut.out, {"solve", "--load", "-", "--angles", "0,90"}).out, solved);
  // Unchanged, standard input to standard output is the set byte for byte.
  EXPECT_EQ(fromStdin(dmiOut.out, {"save", "--dmi", "-", "--out", "-"}).out, dmiOut.out);
  const CliRun shortInput = fromStdin(std::string(700, '\0'), {"centre", "--dmi", "-"});
  EXPECT_EQ(shortInput.status, 2);
  EXPECT_EQ(shortInput.err, "brevold-cli: cannot read '-': Read beyond end of file\n");
}

// Singles are written as the shortest text that reads back as the same
// single: every figure of a solve, the events' travels and openings.
TEST(CliFormats, SinglesInTheirShortestText) {
  const CliRun solve = RunTool({"solve", "--travel", "0.3", "--angles", "33.3"});
  ASSERT_EQ(solve.status, 0);
  const std::regex number("-?[0-9][0-9.e+-]*");
  int numbers = 0;
  for (auto it = std::sregex_iterator(solve.out.begin(), solve.out.end(), number); it != std::sregex_iterator(); ++it) {
    const std::string n = it->str();
    EXPECT_EQ(ShortestText(CFloat(n)), n);
    ++numbers;
  }
  EXPECT_GT(numbers, 50);
  EXPECT_NE(solve.out.find("\"DrvAngle\":33.3,"), std::string::npos) << solve.out;

  const CliRun csv = RunTool({"events", "--step", "4", "--side", "fwd"});
  const auto lines = Lines(csv.out);
  ASSERT_EQ(lines.size(), 1u + 19 * 3);
  const auto head = Split(lines[0], ',');
  const auto travel = std::find(head.begin(), head.end(), "travel") - head.begin();
  const auto lead = std::find(head.begin(), head.end(), "lead") - head.begin();
  const auto opening = std::find(head.begin(), head.end(), "max_opening") - head.begin();
  ASSERT_LT(opening, static_cast<long>(head.size()));
  EXPECT_EQ(Split(lines[4], ',')[static_cast<size_t>(travel)], "0.049999997");  // RevArmMax / 18, as a single
  for (size_t i = 1; i < lines.size(); i += 3) {
    const auto cells = Split(lines[i], ',');
    for (auto k : {travel, lead, opening}) {
      const std::string& c = cells[static_cast<size_t>(k)];
      if (!c.empty()) EXPECT_EQ(ShortestText(CFloat(c)), c) << head[static_cast<size_t>(k)] << " in " << lines[i];
    }
  }
  const CliRun json = RunTool({"events", "--notches", "0.3", "--side", "fwd", "--format", "json"});
  EXPECT_EQ(json.out.rfind("{\"method\":\"bisection\",\"side\":\"fwd\",\"travel\":0.3,", 0), 0u) << json.out;
}

}  // namespace brevold
