// GoogleTest main for the window tests: one QApplication on Qt's offscreen
// platform for the whole run.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/services.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  brevold::KeepPointDecimals();  // as the program does
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
