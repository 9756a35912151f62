// Start-up: the application, the one program state and the main window.
#include <QApplication>
#include <csignal>

#include "mainwin/appstate.h"
#include "mainwin/mainform.h"

int main(int argc, char** argv) {
  // A save that meets the file-size limit must fail with an error box (the
  // old file kept), not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  brevold::AppState state;
  brevold::TMainForm form(state);
  form.show();
  return app.exec();
}
