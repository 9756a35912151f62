#include "mainwin/mainform.h"

namespace brevold {

TMainForm::TMainForm(ModelState& state, QWidget* parent) : QMainWindow(parent), s_(state) {
  FormCreate();
}

void TMainForm::FormCreate() {
  StartUp(s_);
  setWindowTitle("BREVOLD Inside Admission");
  resize(632, 380);
}

}  // namespace brevold
