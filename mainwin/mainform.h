// TMainForm: the main window of the simulator.
#pragma once
#include <QMainWindow>

#include "model/state.h"

namespace brevold {

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(ModelState& state, QWidget* parent = nullptr);

 private:
  void FormCreate();
  ModelState& s_;
};

}  // namespace brevold
