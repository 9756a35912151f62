#include "mainwin/steam.h"

#include <random>

#include "mainwin/mechdraw.h"
#include "model/numfmt.h"

namespace brevold {

namespace {

using LD = long double;

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

// A zero pixel height becomes 1, with a beep when the error beep is on: one
// beep a frame however often the frame meets it.
struct DivisorGuard {
  AppState& a;
  bool beeped = false;
  int operator()(int d) {
    if (d != 0) return d;
    if (a.model.mech.BeepOnError && !beeped) {
      beeped = true;
      ++a.screen.BeepRequests;
    }
    return 1;
  }
};

// Steps 3 and 4 for one cylinder end: its colour and density.
void EndState(AppState& a, float openSteam, float openExh, char& state, float& density, int& dots, Color& colour) {
  if (openSteam > 0) {
    state = 'E';
    colour = clRed;
  }
  if (!(openSteam > 0) && state == 'E') colour = clFuchsia;
  if (openExh > 0) {
    state = 'C';
    colour = clBlue;
  }
  if (!(openExh > 0) && state == 'C') colour = clGreen;
  const LD inc = a.model.DrvAngInc;
  if (colour == clRed) density = static_cast<float>(density + inc * 50 * (static_cast<LD>(openSteam) + 0.1L));
  if (colour == clBlue) density = static_cast<float>(density - inc * 60 * static_cast<LD>(openExh));
  if (density < 25) density = 25;
  if (density > 2000) density = 2000;
  dots = Capped(RoundEven(static_cast<LD>(density) * a.model.view.Scale / 18.5L));
}

void Beat(AppState& a, float openExh, char& armed, float& level, float density, float otherLevel) {
  ScreenState& s = a.screen;
  if (!(openExh >= 0) && s.HiliteDim == 0) armed = '1';
  if (openExh > 0 && armed == '1') {
    armed = '0';
    level = density;
    const int vol = ExhaustVolumeFor(RoundEven(otherLevel));
    if (vol >= 0) s.ExhaustVolume = vol;
    ++s.ExhaustSoundRequests;
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

void DrawSteam(Canvas& c, AppState& a) {
  ScreenState& s = a.screen;
  const ValveEvents& ve = a.model.valve;
  const auto& A = s.chest.A;
  const auto& B = s.chest.B;
  const auto& P = s.pv.P;
  const auto& R = s.pv.R;
  const auto& F = s.pv.F;
  const LD scale = a.model.view.Scale;
  const int yv = ScreenY(a.model.view, a.model.mech.PtY[4]);
  Dots d(c, ++s.SteamFrame * 2654435761u);
  int r1 = 0, r2 = 0, r3 = 0;
  DivisorGuard checkDivisor{a};

  // 1-2. Live steam above the chest and between the valve heads.
  for (int n = Capped(RoundEven(scale * 5.4L)); n > 0; --n)
    if (d.Random(A[11].x - A[13].x, r1) && d.Random(A[1].y - yv, r2)) d.Dot(A[13].x + r1, A[0].y - r2, clRed);
  for (int n = Capped(RoundEven(scale * 43.2L)); n > 0; --n)
    if (d.Random(F[0].x - R[3].x, r1) && d.Random(A[1].y - A[0].y, r2)) d.Dot(R[3].x + r1, A[0].y + r2, clRed);

  // 3-6. The front end and its passage.
  Color colour = clBlack;
  EndState(a, ve.OpenSteamF, ve.OpenExhF, s.SteamStateF, s.SteamDenF, s.SteamDotsF, colour);
  for (int n = s.SteamDotsF; n > 0; --n)
    if (d.Random(A[6].x - P[3].x, r1) && d.Random(A[4].y - A[3].y, r2)) d.Dot(P[3].x + r1, A[3].y + r2, colour);
  for (int n = s.SteamDotsF / 15; n > 0; --n) {
    if (!d.Random(A[3].y - A[1].y, r1)) continue;
    const LD f = static_cast<LD>(r1) / checkDivisor(A[3].y - A[1].y);
    if (d.Random(A[7].x - B[3].x, r2)) d.Dot(A[7].x + RoundEven((A[6].x - A[7].x) * f) - r2, A[1].y + r1, colour);
  }
  // 7. The rear end and its passage, in the colour the front left.
  EndState(a, ve.OpenSteamR, ve.OpenExhR, s.SteamStateR, s.SteamDenR, s.SteamDotsR, colour);
  for (int n = s.SteamDotsR; n > 0; --n)
    if (d.Random(P[0].x - A[3].x, r1) && d.Random(A[4].y - A[3].y, r2)) d.Dot(A[3].x + r1, A[3].y + r2, colour);
  for (int n = s.SteamDotsR / 15; n > 0; --n) {
    if (!d.Random(A[3].y - A[1].y, r1)) continue;
    const LD f = static_cast<LD>(r1) / checkDivisor(A[3].y - A[1].y);
    if (d.Random(B[0].x - A[2].x, r2)) d.Dot(A[2].x + r2 - RoundEven((A[2].x - A[3].x) * f), A[1].y + r1, colour);
  }

  // 8-9. Exhaust in the chest ends, rising to the middle, and the plume.
  auto plume = [&](Color col) {
    if (!d.Random(3 * A[1].y - 3 * A[0].y, r1)) return;
    const LD f = static_cast<LD>(r1) / checkDivisor(A[1].y - A[0].y);
    if (!d.Random(RoundEven(static_cast<LD>(A[11].x) - A[13].x), r3)) return;
    const LD w = static_cast<LD>(A[11].x) - A[13].x;
    d.Dot(RoundEven(2 * r3 * f + A[13].x + w / 2 - w * f), 2 * A[0].y - A[1].y - r1, col);
  };
  colour = ve.OpenExhF > 0 ? clBlue : clWhite;
  for (int n = s.SteamDotsF / 5; n > 0; --n)
    if (d.Random(A[9].x - F[3].x, r1) && d.Random(A[1].y - A[0].y, r2)) d.Dot(F[3].x + r1, A[0].y + r2, colour);
  for (int n = s.SteamDotsF / 12; n > 0; --n) {
    if (d.Random(A[1].y - A[0].y, r1)) {
      const LD f = static_cast<LD>(r1) / checkDivisor(A[1].y - A[0].y);
      if (d.Random(A[9].x - A[10].x, r2)) d.Dot(A[10].x + r2 - RoundEven((A[10].x - A[13].x) * f), A[0].y - r1, colour);
    }
    plume(colour);
  }
  colour = ve.OpenExhR > 0 ? clBlue : clWhite;
  for (int n = s.SteamDotsR / 5; n > 0; --n)
    if (d.Random(R[0].x - A[0].x, r1) && d.Random(A[1].y - A[0].y, r2)) d.Dot(A[0].x + r1, A[0].y + r2, colour);
  for (int n = s.SteamDotsR / 12; n > 0; --n) {
    if (d.Random(A[1].y - A[0].y, r1)) {
      const LD f = static_cast<LD>(r1) / checkDivisor(A[1].y - A[0].y);
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

  // 11. Each beat at the loudness the other end had at its last beat.
  Beat(a, ve.OpenExhF, s.ExhArmedF, s.ExhLevelF, s.SteamDenF, s.ExhLevelR);
  Beat(a, ve.OpenExhR, s.ExhArmedR, s.ExhLevelR, s.SteamDenR, s.ExhLevelF);
}

}  // namespace brevold
