#include <QApplication>

#include "mainwin/mainform.h"
#include "model/state.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  brevold::ModelState state;
  brevold::TMainForm form(state);
  form.show();
  return app.exec();
}
