// brevold-cli frame: ticks the gear to the angle asked for and paints the picture into a PNG.
#include "cli/frame.h"

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <memory>

#include "mainwin/mechdraw.h"
#include "platform/qtcanvas.h"

namespace brevold {

namespace {
// Text needs the font database, which needs an application object.
void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "brevold-cli";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
}
}  // namespace

int FrameCommandMain(const Options& o, std::ostream&, std::ostream& err) {
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
  QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
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
    QtCanvas canvas(&image);
    PaintFrame(canvas, a);
  }
  if (!image.save(QString::fromStdString(o.out), "PNG")) {
    err << "brevold-cli: cannot write '" << o.out << "'\n";
    return 1;
  }
  return 0;
}

}  // namespace brevold
