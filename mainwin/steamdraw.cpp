// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The steam display: each end's phase, density and beats, and the dots painted from them.
#include "mainwin/steamdraw.h"

#include <random>

#include "mainwin/mechdraw.h"
#include "model/numfmt.h"

namespace brevold {

namespace {

class Dots {
 public:
  Dots(Canvas& c, unsigned seed) : c_(c), rng_(seed) {}
  // A uniform integer in 0..n-1 (0 for n = 0); false for a negative n.
  bool Random(int n, int& out) {
    if (n < 0) return false;
    out = n == 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_);
    return true;
  }
  void Dot(int x, int y, Color col) { c_.Pixel(x, y, col); }

 private:
  Canvas& c_;
  std::mt19937 rng_;
};

// No group of dots is ever larger than the densest group at the largest
// scale the view allows, so no value can make a frame unbounded.
constexpr int kMaxDotsPerGroup = 324325;  // density 2000 at scale 3000

int Capped(int dots) { return dots < kMaxDotsPerGroup ? dots : kMaxDotsPerGroup; }

// A zero pixel height is taken as 1 (the tick beeps for it).
int NonZero(int d) { return d != 0 ? d : 1; }

// The colour of an end's dots from its openings and the phase the tick left:
// red while steam is admitted, blue while it exhausts, fuchsia expanding
// after admission, green compressing after exhaust. An end that has seen
// neither takes `before`, the colour the front end left.
Color EndColour(float openSteam, float openExh, SteamPhase phase, Color before) {
  if (openExh > 0) return clBlue;
  if (openSteam > 0) return clRed;
  if (phase == SteamPhase::Admission) return clFuchsia;
  if (phase == SteamPhase::Exhaust) return clGreen;
  return before;
}

Color FrontColour(const AppState& a) {
  const ValveEvents& ve = a.model.valve;
  return EndColour(ve.OpenSteamF, ve.OpenExhF, a.screen.SteamStateF, clBlack);
}

Color RearColour(const AppState& a) {
  const ValveEvents& ve = a.model.valve;
  return EndColour(ve.OpenSteamR, ve.OpenExhR, a.screen.SteamStateR, FrontColour(a));
}

// Steps 3 and 4 for one cylinder end: its phase, then its density by its
// colour (`before` as for EndColour) and its dots at this scale.
void EndState(AppState& a, float openSteam, float openExh, SteamPhase& phase, float& density, int& dots, Color before) {
  if (openSteam > 0) phase = SteamPhase::Admission;
  if (openExh > 0) phase = SteamPhase::Exhaust;
  const Color colour = EndColour(openSteam, openExh, phase, before);
  const LD inc = a.model.DrvAngInc;
  if (colour == clRed) density = static_cast<float>(density + inc * 50 * (static_cast<LD>(openSteam) + 0.1L));
  if (colour == clBlue) density = static_cast<float>(density - inc * 60 * static_cast<LD>(openExh));
  if (density < 25) density = 25;
  if (density > 2000) density = 2000;
  dots = Capped(RoundEven(static_cast<LD>(density) * a.model.view.Scale / 18.5L));
}

void Beat(AppState& a, float openExh, bool& armed, float& level, float density, float otherLevel, FrameEffects& fx) {
  ScreenState& s = a.screen;
  if (!(openExh >= 0) && s.HiliteDim == 0) armed = true;
  if (openExh > 0 && armed) {
    armed = false;
    level = density;
    const int vol = ExhaustVolumeFor(RoundEven(otherLevel));
    if (vol >= 0) s.ExhaustVolume = vol;
    fx.exhaustBeat = true;
  }
}

}  // namespace

int ExhaustVolumeFor(int v) {
  struct Band {
    int lo, hi, vol;
  };
  static const Band bands[] = {{24, 100, 0x0700},   {101, 200, 0x1400},   {201, 400, 0x2800},  {401, 600, 0x4000},
                               {601, 800, 0x5000},  {801, 1000, 0x6000},  {1001, 1200, 0x7000}, {1201, 2001, 0x8000}};
  for (const Band& b : bands)
    if (v >= b.lo && v <= b.hi) return b.vol;
  return -1;
}

void AdvanceSteam(AppState& a, FrameEffects& fx) {
  ScreenState& s = a.screen;
  const ValveEvents& ve = a.model.valve;
  ++s.SteamFrame;
  // 3-7. Each end's phase, density and dots; the rear end takes the front's
  // colour when it has seen no opening.
  EndState(a, ve.OpenSteamF, ve.OpenExhF, s.SteamStateF, s.SteamDenF, s.SteamDotsF, clBlack);
  EndState(a, ve.OpenSteamR, ve.OpenExhR, s.SteamStateR, s.SteamDenR, s.SteamDotsR, FrontColour(a));
  // The passages' dots fall over the passage height, the exhaust's over the
  // chest height: a zero height beeps, once a frame, if any of them is drawn.
  const auto& A = s.chest.A;
  const bool passage = A[3].y - A[1].y == 0 && (s.SteamDotsF / 15 > 0 || s.SteamDotsR / 15 > 0);
  const bool chest = A[1].y - A[0].y == 0 && (s.SteamDotsF / 12 > 0 || s.SteamDotsR / 12 > 0);
  if (a.model.mech.BeepOnError && (passage || chest)) fx.beep = true;
  // 11. Each beat at the loudness the other end had at its last beat.
  Beat(a, ve.OpenExhF, s.ExhArmedF, s.ExhLevelF, s.SteamDenF, s.ExhLevelR, fx);
  Beat(a, ve.OpenExhR, s.ExhArmedR, s.ExhLevelR, s.SteamDenR, s.ExhLevelF, fx);
  fx.exhaustVolume = s.ExhaustVolume;
}

void PaintSteam(Canvas& c, const AppState& a) {
  const ScreenState& s = a.screen;
  const ValveEvents& ve = a.model.valve;
  const auto& A = s.chest.A;
  const auto& B = s.chest.B;
  const auto& P = s.pv.P;
  const auto& R = s.pv.R;
  const auto& F = s.pv.F;
  const LD scale = s.PointsView.Scale;
  const int yv = ScreenY(s.PointsView, a.model.mech.PtY[4]);
  Dots d(c, s.SteamFrame * 2654435761u);
  int r1 = 0, r2 = 0, r3 = 0;

  // 1-2. Live steam above the chest and between the valve heads.
  for (int n = Capped(RoundEven(scale * 5.4L)); n > 0; --n)
    if (d.Random(A[11].x - A[13].x, r1) && d.Random(A[1].y - yv, r2)) d.Dot(A[13].x + r1, A[0].y - r2, clRed);
  for (int n = Capped(RoundEven(scale * 43.2L)); n > 0; --n)
    if (d.Random(F[0].x - R[3].x, r1) && d.Random(A[1].y - A[0].y, r2)) d.Dot(R[3].x + r1, A[0].y + r2, clRed);

  // 3-6. The front end and its passage.
  Color colour = FrontColour(a);
  for (int n = s.SteamDotsF; n > 0; --n)
    if (d.Random(A[6].x - P[3].x, r1) && d.Random(A[4].y - A[3].y, r2)) d.Dot(P[3].x + r1, A[3].y + r2, colour);
  for (int n = s.SteamDotsF / 15; n > 0; --n) {
    if (!d.Random(A[3].y - A[1].y, r1)) continue;
    const LD f = static_cast<LD>(r1) / NonZero(A[3].y - A[1].y);
    if (d.Random(A[7].x - B[3].x, r2)) d.Dot(A[7].x + RoundEven((A[6].x - A[7].x) * f) - r2, A[1].y + r1, colour);
  }
  // 7. The rear end and its passage.
  colour = RearColour(a);
  for (int n = s.SteamDotsR; n > 0; --n)
    if (d.Random(P[0].x - A[3].x, r1) && d.Random(A[4].y - A[3].y, r2)) d.Dot(A[3].x + r1, A[3].y + r2, colour);
  for (int n = s.SteamDotsR / 15; n > 0; --n) {
    if (!d.Random(A[3].y - A[1].y, r1)) continue;
    const LD f = static_cast<LD>(r1) / NonZero(A[3].y - A[1].y);
    if (d.Random(B[0].x - A[2].x, r2)) d.Dot(A[2].x + r2 - RoundEven((A[2].x - A[3].x) * f), A[1].y + r1, colour);
  }

  // 8-9. Exhaust in the chest ends, rising to the middle, and the plume.
  auto plume = [&](Color col) {
    if (!d.Random(3 * A[1].y - 3 * A[0].y, r1)) return;
    const LD f = static_cast<LD>(r1) / NonZero(A[1].y - A[0].y);
    if (!d.Random(RoundEven(static_cast<LD>(A[11].x) - A[13].x), r3)) return;
    const LD w = static_cast<LD>(A[11].x) - A[13].x;
    d.Dot(RoundEven(2 * r3 * f + A[13].x + w / 2 - w * f), 2 * A[0].y - A[1].y - r1, col);
  };
  colour = ve.OpenExhF > 0 ? clBlue : clWhite;
  for (int n = s.SteamDotsF / 5; n > 0; --n)
    if (d.Random(A[9].x - F[3].x, r1) && d.Random(A[1].y - A[0].y, r2)) d.Dot(F[3].x + r1, A[0].y + r2, colour);
  for (int n = s.SteamDotsF / 12; n > 0; --n) {
    if (d.Random(A[1].y - A[0].y, r1)) {
      const LD f = static_cast<LD>(r1) / NonZero(A[1].y - A[0].y);
      if (d.Random(A[9].x - A[10].x, r2)) d.Dot(A[10].x + r2 - RoundEven((A[10].x - A[13].x) * f), A[0].y - r1, colour);
    }
    plume(colour);
  }
  colour = ve.OpenExhR > 0 ? clBlue : clWhite;
  for (int n = s.SteamDotsR / 5; n > 0; --n)
    if (d.Random(R[0].x - A[0].x, r1) && d.Random(A[1].y - A[0].y, r2)) d.Dot(A[0].x + r1, A[0].y + r2, colour);
  for (int n = s.SteamDotsR / 12; n > 0; --n) {
    if (d.Random(A[1].y - A[0].y, r1)) {
      const LD f = static_cast<LD>(r1) / NonZero(A[1].y - A[0].y);
      if (d.Random(A[12].x - A[0].x, r2)) d.Dot(A[0].x + r2 + RoundEven((A[13].x - A[0].x) * f), A[0].y - r1, colour);
    }
    plume(colour);
  }

  // 10. The legend.
  if (s.ScreenDataOn) {
    Font font = c.CurrentFont();
    const struct {
      Color col;
      int dx, dy;
      const char* text;
    } legend[] = {{clRed, -40, 5, "ADMISSION"}, {clFuchsia, 40, 5, "EXPANSION"}, {clBlue, -40, 17, "EXHAUST"},
                  {clGreen, 24, 17, "COMPRESSION"}};
    for (const auto& l : legend) {
      font.color = l.col;
      c.SetFont(font);
      c.TextOut(A[4].x + l.dx, A[4].y + l.dy, l.text);
    }
    font.color = clBlack;
    c.SetFont(font);
  }
}

}  // namespace brevold
