// Start-up: the command line, the application, the one program state and the
// main window; a dimension file named on the command line is opened once the
// window is up, as "&OpenDimensions" would.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <csignal>

#include "state/appstate.h"
#include "mainwin/mainform.h"
#include "model/version.h"

int main(int argc, char** argv) {
  // A save that meets the file-size limit must fail with an error box (the
  // old file kept), not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  QApplication::setApplicationName("brevold");
  QApplication::setApplicationVersion(brevold::ProgramVersion);
  QApplication::setDesktopFileName("org.brevold.brevold");
  QCommandLineParser options;
  options.setApplicationDescription("BREVOLD: a simulator of one inside-admission steam-locomotive valve gear.");
  options.addHelpOption();
  options.addVersionOption();
  options.addPositionalArgument("FILE.dmi", "A dimension file to open at start.", "[FILE.dmi]");
  options.process(app);

  brevold::AppState state;
  brevold::TMainForm form(state);
  form.show();
  if (!options.positionalArguments().isEmpty()) {
    const QString file = options.positionalArguments().front();
    QTimer::singleShot(0, &form, [&form, file] { form.OpenDimensionsFile(file); });
  }
  return app.exec();
}
