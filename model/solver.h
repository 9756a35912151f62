// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The linkage solver: positions every joint of the gear for one driver
// angle and one reverse-arm setting by circle intersections and two
// one-dimensional searches. Numerical trouble never stops a solve: each risky
// operation is guarded, the guard substitutes a safe value and raises the
// geometry error; only a search that fails to converge abandons the solve.
#pragma once
#include <array>
#include <cstdint>

namespace brevold {

struct ModelState;

constexpr int JointCount = 27;  // joints 0..26

struct Mechanism {
  std::array<float, JointCount> PtX{}, PtY{};
  float DrvAngle = 0;      // degrees
  float RevArmX = 0;       // X of the reverse-arm top joint (18)
  float LinkAng = 0;       // expansion-link rotation, radians
  float LiftArmSgn = 0;    // LiftArmLen, negated when RevArmVert < 0
  float EccDiaSolved = 0;  // EccCircDia as the last completed solve saw it
  char CalcStatus = 'Z';   // 'E' once a search has run out of passes
  std::uint8_t ErrFlag = 0;
  bool BeepOnError = true;
  // Scratch cells of the guards. IterStep carries over between solves: the
  // first cosine clamp of a solve reads the step the previous solve ended on.
  float CalcTmp = 0, CalcDen = 0, CalcAng = 0;
  float IterStep = 0, IterTol = 0.0001f, CloseDist = 0;
};

constexpr int SearchPassLimit = 1000;

// Guards acting on the scratch cells.
void RaiseError(Mechanism& m);
void GuardSqrt(Mechanism& m);     // CalcTmp < 0: negate it
void GuardDivisor(Mechanism& m);  // |CalcDen| < 0.00001: push it out to +-0.00001
void ClampCosine(Mechanism& m);   // |CalcTmp| > 0.999999: clamp it

// Solves the linkage for DrvAngle and RevArmX, then the valve-edge values.
// Allocates nothing.
void Solve(ModelState& s);

// Gear sense of the last solve: LiftArmSgn and EccDiaSolved of one sign.
bool SensePositive(const Mechanism& m);

}  // namespace brevold
