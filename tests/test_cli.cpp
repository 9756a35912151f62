#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "helpers.h"

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

TEST(CliParsing, NumbersMustBeWholeFiniteDecimals) {
  float v = 0;
  EXPECT_TRUE(ParseNumber("-0.7", v));
  EXPECT_FLOAT_EQ(v, -0.7f);
  EXPECT_TRUE(ParseNumber("1e30", v));
  EXPECT_TRUE(ParseNumber("+3", v));
  for (const char* bad : {"", "abc", "1.2.3", "3x", "nan", "inf", "1e39", "0x10", " 1", "1 "})
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
  };
  for (const Bad& b : bad) {
    CliRun r = RunTool(b.args);
    EXPECT_EQ(r.status, 2) << b.named;
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find(b.named), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  }
  CliRun help = RunTool({"solve", "--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* opt : {"--set", "--revarm", "--travel", "--angles", "--sweep", "--no-error-beep", "centre"})
    EXPECT_NE(help.out.find(opt), std::string::npos) << opt;
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
  EXPECT_EQ(std::stof(r.out.substr(at + key.size())), s.valve.ValveDisp);
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

}  // namespace brevold
