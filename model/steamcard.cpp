// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The steam card's pressure model, worked through the steam sweep's records.
#include "model/steamcard.h"

#include <algorithm>
#include <cmath>

namespace brevold {

namespace {

// One cylinder end: exhaust ('1'), compression ('2'), admission ('3') and
// expansion ('4'). x and x' are the piston's distance from this end now and
// a step before (0..640).
struct SteamEnd {
  char phase;
  LD press = 0, rel = 0;  // pressure now, and when the exhaust opened
  char label = '1';       // '1': the curve number may be printed this cycle

  void Exhaust() { press = std::max<LD>(press - rel / 15, 5); }
  void Compress(LD x, LD xPrev) { press += std::pow(xPrev / (x + 1) + 0.3L, 4); }
  void Admit(LD x, float& steam) {
    if (steam < 0.005f) steam = 0.005f;  // a port barely open admits as if open 0.005
    press = std::min<LD>(press + 100000.0L * steam / (x + 45), 303);
  }
  void Expand(LD x, LD xPrev) { press = 0.96L * press * (xPrev + 100) / (x + 100); }

  void Step(LD x, LD xPrev, float& steam, float exh) {
    switch (phase) {
      case '1':
        if (exh > 0) {
          Exhaust();
        } else {
          Compress(x, xPrev);
          phase = '2';
        }
        break;
      case '2':
        if (steam > 0) {
          Admit(x, steam);
          phase = '3';
        } else {
          Compress(x, xPrev);
        }
        if (xPrev < x) phase = '3';  // the piston has passed this end's dead centre
        break;
      case '3':
        if (steam > 0) {
          Admit(x, steam);
        } else {
          Expand(x, xPrev);
          phase = '4';
        }
        if (label == '2') label = '1';
        break;
      case '4':
        if (exh > 0) {
          rel = press;
          Exhaust();
          phase = '1';
        } else {
          Expand(x, xPrev);
        }
        if (steam > 0) phase = '3';
        break;
    }
  }
};

}  // namespace

SteamCard RunSteamCard(const CurveRecord& sweep) {
  SteamCard card;
  SteamEnd front{'1'}, rear{'3'};
  LD prevFront = 0, prevRear = 0;
  float prevPiston = 0, prevSteamF = 0, prevSteamR = 0;
  for (const CurveRow& row : sweep.rows) {
    if (front.label == '2') front.label = '1';
    if (rear.label == '2') rear.label = '1';
    std::vector<SteamStep>& steps = card.rows.emplace_back();
    for (const CurveSample& at : row.samples) {
      SteamStep& out = steps.emplace_back();
      float steamF = at.steamF, steamR = at.steamR;
      const LD xp = at.piston, xq = prevPiston;
      // The rear end runs the front's rules with the piston measured from its end.
      front.Step(xp, xq, steamF, at.exhF);
      rear.Step(640 - xp, 640 - xq, steamR, at.exhR);
      out.drawn = prevFront != 0;
      if (out.drawn) {
        struct End {
          float prevSteam, steam;
          LD& press;
          LD prevPress;
          char phase;
          char& label;
        };
        End ends[2] = {{prevSteamF, steamF, front.press, prevFront, front.phase, front.label},
                       {prevSteamR, steamR, rear.press, prevRear, rear.phase, rear.label}};
        for (size_t k = 0; k < 2; ++k) {
          End& e = ends[k];
          SteamMark& mark = out.ends[k];
          mark.fromBeforeCutOff = prevPiston;
          if (e.prevSteam > 0 && e.steam <= 0) {
            // Cut-off between the samples: the curve runs level to it, and the
            // pressure is taken back to what it was there.
            const LD f = static_cast<LD>(e.prevSteam) / (static_cast<LD>(e.prevSteam) - e.steam);
            const LD co = prevPiston + f * (static_cast<LD>(at.piston) - prevPiston);
            mark.cutOff = true;
            mark.cutOffAt = co;
            prevPiston = static_cast<float>(co);
            e.press = e.press - f * (e.press - e.prevPress);
          }
          mark.from = prevPiston;
          mark.fromPress = e.prevPress;
          mark.press = e.press;
          if (e.phase == '4' && e.press > 150 && e.press < 250 && e.label == '1') {
            e.label = '2';
            mark.numbered = true;
          }
        }
      }
      prevPiston = at.piston;
      prevFront = front.press;
      prevRear = rear.press;
      prevSteamF = steamF;
      prevSteamR = steamR;
      card.lastSteamF = steamF;
      card.lastSteamR = steamR;
    }
  }
  return card;
}

}  // namespace brevold
