// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the command line, the application, the one program state, the
// session the windows change it through and the main window; a dimension
// file named on the command line is opened once the window is up, as
// "&OpenDimensions" would.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <csignal>
#include <string>

#include "state/appstate.h"
#include "state/session.h"
#include "mainwin/mainform.h"
#include "model/version.h"

namespace {

void Describe(QCommandLineParser& options) {
  QCoreApplication::setApplicationName("brevold");
  QCoreApplication::setApplicationVersion(brevold::ProgramVersion);
  options.setApplicationDescription("BREVOLD: a simulator of one inside-admission steam-locomotive valve gear.");
  options.addHelpOption();
  options.addVersionOption();
  options.addPositionalArgument("FILE.dmi", "A dimension file to open at start.", "[FILE.dmi]");
}

// --help and --version are answered before the window system is asked
// for: they need no display.
void AnswerWithoutDisplay(int argc, char** argv) {
  bool asks = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--") break;
    if (a == "-h" || a == "-?" || a == "--help" || a == "--help-all" || a == "-v" || a == "--version") asks = true;
  }
  if (!asks) return;
  QCoreApplication core(argc, argv);
  QCommandLineParser options;
  Describe(options);
  options.process(core);  // prints and exits
}

}  // namespace

int main(int argc, char** argv) {
  // A save that meets the file-size limit must fail with an error box (the
  // old file kept), not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  AnswerWithoutDisplay(argc, argv);
  QApplication app(argc, argv);
  QApplication::setDesktopFileName("org.brevold.brevold");
  QCommandLineParser options;
  Describe(options);
  options.process(app);

  brevold::AppState state;
  brevold::Session session(state);
  brevold::TMainForm form(session);
  form.show();
  if (!options.positionalArguments().isEmpty()) {
    const QString file = options.positionalArguments().front();
    QTimer::singleShot(0, &form, [&form, file] { form.OpenDimensionsFile(file); });
  }
  return app.exec();
}
