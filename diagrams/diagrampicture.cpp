// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A valve diagram drawn whole, as its window's redraw draws it.
#include "diagrams/diagrampicture.h"

namespace brevold {

int DiagramPictureHeight(DiagramPicture kind) { return kind == DiagramPicture::Oval ? 426 : 414; }

bool DiagramPictureNamed(const std::string& name, DiagramPicture& kind) {
  if (name == "port") kind = DiagramPicture::Port;
  else if (name == "steam") kind = DiagramPicture::Steam;
  else if (name == "oval") kind = DiagramPicture::Oval;
  else if (name == "sine") kind = DiagramPicture::Sine;
  else return false;
  return true;
}

DiagramControls DrawDiagramPicture(Canvas& c, AppState& a, DiagramPicture kind) {
  DiagramState& d = a.diagrams;
  DiagramControls out;
  switch (kind) {
    case DiagramPicture::Port:
      if (d.PortGraphMode == PortGraphs::Both) {
        const bool labels = d.PortEventLabels;
        d.PortGraphMode = PortGraphs::Forward;
        DrawPortDia(c, a, d);
        d.PortGraphMode = PortGraphs::Reverse;
        d.PortEventLabels = false;
        out = DrawPortDia(c, a, d);
        d.PortEventLabels = labels;
        d.PortGraphMode = PortGraphs::Both;
      } else {
        out = DrawPortDia(c, a, d);
      }
      break;
    case DiagramPicture::Steam: out = DrawSteamDia(c, a, d); break;
    case DiagramPicture::Oval: out = DrawOvalDia(c, a, d); break;
    case DiagramPicture::Sine: out = DrawSineDia(c, a, d); break;
  }
  return out;
}

}  // namespace brevold
