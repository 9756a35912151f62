// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram kinds, and a diagram drawn whole as its window's redraw draws it.
#include "diagrams/diagrampicture.h"

namespace brevold {

const std::vector<DiagramKind>& DiagramKinds() {
  static const std::vector<DiagramKind> kinds = {
      {DiagramPicture::Port, "port", "Port Open/Closed Diagram", 414, false, &ScreenState::PortCaption, &SweepPortDia, &PaintPortDia, nullptr, nullptr},
      {DiagramPicture::Steam, "steam", "Steam Diagram", 414, true, &ScreenState::SteamCaption, &SweepSteamDia, &PaintSteamDia, nullptr, nullptr},
      {DiagramPicture::Oval, "oval", "Oval Diagram", 426, true, &ScreenState::OvalCaption, &SweepOvalDia, &PaintOvalDia, nullptr, nullptr},
      {DiagramPicture::Sine, "sine", "Sine Diagram", 414, true, &ScreenState::SineCaption, &SweepSineDia, &PaintSineDia, nullptr, nullptr},
      {DiagramPicture::DieSlip, "die", "Die Slip Diagram", 414, true, nullptr, &SweepDieSlipDia, &PaintDieSlipDia, "&DieSlipDiagram",
       "die-slip"},
  };
  return kinds;
}

const DiagramKind& KindOf(DiagramPicture kind) {
  for (const DiagramKind& k : DiagramKinds())
    if (k.kind == kind) return k;
  return DiagramKinds().front();
}

const DiagramKind* FindDiagramKind(std::string_view name) {
  for (const DiagramKind& k : DiagramKinds())
    if (name == k.name) return &k;
  return nullptr;
}

std::string DiagramCaption(const DiagramKind& kind, const ScreenState& s) {
  if (kind.caption) return s.*kind.caption;
  return std::string("BREVOLD Inside Admission      ") + kind.title + "    " + s.CaptionTail;
}

std::string DiagramKindNames(const char* between, const char* last) {
  const std::vector<DiagramKind>& kinds = DiagramKinds();
  std::string out;
  for (size_t i = 0; i < kinds.size(); ++i) {
    if (i > 0) out += i + 1 == kinds.size() ? last : between;
    out += kinds[i].name;
  }
  return out;
}

void ApplyRedraw(AppState& a, DiagramState& d, const DiagramRecords& r) {
  ApplyRedrawEffects(a.model, r.effects);
  if (a.model.dyn.UndoOn) d.UndoText = UndoLine(a.model.undo);
}

DiagramControls DrawDiagram(Canvas& c, AppState& a, DiagramState& d, DiagramPicture kind) {
  const DiagramKind& k = KindOf(kind);
  const DiagramRecords r = k.sweep(a.model, d);
  const DiagramControls out = k.paint(c, a, d, r);
  ApplyRedraw(a, d, r);
  return out;
}

DiagramControls DrawDiagramPicture(Canvas& c, AppState& a, DiagramPicture kind) { return DrawDiagram(c, a, a.diagrams, kind); }

}  // namespace brevold
