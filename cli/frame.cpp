// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli frame: ticks the gear to the angle asked for and paints the
// picture; diagram: one valve diagram as its window draws it.
#include "cli/frame.h"

#include <QGuiApplication>
#include <cmath>
#include <memory>

#include "mainwin/mechdraw.h"
#include "model/revarm.h"
#include "diagrams/diagrampicture.h"
#include "platform/picturefile.h"

namespace brevold {

namespace {
// Text needs the font database, which needs an application object.
void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  // A picture for a report does not depend on the screen of whoever runs the
  // command: Qt is started without the desktop's scaling and font resolution
  // (--scale-picture asks for a finer PNG).
  for (const char* v : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                        "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI", "QT_USE_PHYSICAL_DPI"})
    qunsetenv(v);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "brevold-cli";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
}

int Write(const Options& o, int width, int height, const PicturePainter& paint, std::ostream& out,
          std::ostream& err) {
  PictureFormat format = PictureFormat::Png;
  PictureFormatNamed(o.picture, format);
  const std::string error = WritePicture(o.out, format, width, height, paint, &out, o.pictureScale);
  if (!error.empty()) {
    err << "brevold-cli: " << error << "\n";
    return 1;
  }
  return 0;
}
}  // namespace

int FrameCommandMain(const Options& o, std::ostream& out, std::ostream& err) {
  EnsureGuiApplication();
  AppState a;
  PrepareSolve(a.model, o);
  if (o.hasScale) {
    a.model.view.Scale = o.scale;
    a.model.view.OriginX = o.originX;
    a.model.view.OriginY = o.originY;
  }
  a.screen.SteamDisp = o.steam;
  const float angle = o.angles.front();
  // Ticks before the last run the gear at its start-up step, timed to arrive
  // at the angle asked for, so the steam display builds up as it does in the
  // running window.
  if (o.frames > 1) {
    long double start = std::fmod(angle - static_cast<long double>(o.frames - 1) * a.model.DrvAngInc, 360.0L);
    if (start < 0) start += 360;
    a.model.mech.DrvAngle = static_cast<float>(start);
  }
  for (int tick = 1; tick <= o.frames; ++tick) {
    const bool last = tick == o.frames;
    if (last) {
      // Drawn as the stopped window shows it: the readouts agree with the gear.
      a.model.DrvAngInc = 0;
      a.model.mech.DrvAngle = angle;
    }
    SolveAndTransform(a);
    if (!last) AdvanceAngle(a);
    AdvanceDisplays(a, "");
  }
  // A frame paints the whole picture from the state, so only the last one counts.
  if (o.gearOnly) {
    const PictureBox box = GearPictureBox(a);
    return Write(o, box.width, box.height, [&a, box](Canvas& c) { PaintGearPicture(c, a, box); }, out, err);
  }
  return Write(o, FrameWidth, FrameHeight, [&a](Canvas& c) { PaintFrame(c, a); }, out, err);
}

DiagramPicture PrepareDiagram(AppState& a, const Options& o) {
  PrepareSolve(a.model, o);
  // The running window has ticked at least once before a diagram opens: the
  // gear solved at its setting (the valve's laps and edges, the gear's sense
  // that gives the diagrams their direction of turning).
  AdvanceFrame(a, "");
  if (!o.positions.empty()) {
    for (int k = 1; k <= 9; ++k)
      StorePosition(a.model, k, k <= static_cast<int>(o.positions.size()) ? o.positions[static_cast<size_t>(k - 1)] : 0);
    TidyPositions(a.model.revArm);
  }
  if (o.hasVertScale) StoreVertScale(a.model, o.vertScale);
  DiagramState& d = a.diagrams;
  if (o.diagramMode == 'R') d.PortGraphMode = PortGraphs::Reverse;
  else if (o.diagramMode == 'B') d.PortGraphMode = PortGraphs::Both;
  else if (o.diagramMode == 'F') d.PortGraphMode = PortGraphs::Forward;
  const DiagramKind* named = FindDiagramKind(o.diagram);
  const DiagramPicture kind = named ? named->kind : DiagramPicture::Port;
  return kind;
}

int DiagramCommandMain(const Options& o, std::ostream& out, std::ostream& err) {
  EnsureGuiApplication();
  AppState a;
  const DiagramPicture kind = PrepareDiagram(a, o);
  return Write(o, DiagramPictureWidth, DiagramPictureHeight(kind), [&](Canvas& c) { DrawDiagramPicture(c, a, kind); },
               out, err);
}

}  // namespace brevold
