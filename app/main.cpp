#include <QApplication>

#include "mainwin/appstate.h"
#include "mainwin/mainform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  brevold::AppState state;
  brevold::TMainForm form(state);
  form.show();
  return app.exec();
}
