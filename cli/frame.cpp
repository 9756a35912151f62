#include "cli/frame.h"

#include <QGuiApplication>
#include <QImage>
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
  // Drawn as the stopped window shows it: the readouts agree with the gear.
  a.model.DrvAngInc = 0;
  a.model.mech.DrvAngle = o.angles.front();
  SolveAndTransform(a);
  QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
  {
    QtCanvas canvas(&image);
    DrawMechanism(canvas, a, "");
  }
  if (!image.save(QString::fromStdString(o.out), "PNG")) {
    err << "brevold-cli: cannot write '" << o.out << "'\n";
    return 1;
  }
  return 0;
}

}  // namespace brevold
