// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cstdlib>
#include <sstream>

#include "cli/frame.h"

namespace brevold {

// The picture brevold-cli frame renders for a report: the window's own.
TEST(CliFrame, NominalPictureHasItsPivotsAndWheelInPlace) {
  const QString file = QDir::temp().filePath("brevold-frame-test.png");
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"frame", "--angle", "0", "--out", file.toStdString()}, out, err, &FrameCommandMain), 0) << err.str();
  QImage img(file);
  ASSERT_EQ(img.size(), QSize(1280, 1024));
  const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
  // Joint 9's red cross about (276, 214): its arms run from (281, 219) to
  // (271, 209) and from (281, 209) to (271, 219); the links cross its middle.
  int onArms = 0;
  for (int d = -5; d <= 4; ++d) {
    if (std::abs(d) < 2) continue;
    onArms += img.pixel(276 - d, 214 - d) == red;
    onArms += img.pixel(276 - d, 214 + d) == red;
  }
  EXPECT_GE(onArms, 12);
  // The wheel: radius 7.875 / 2 * 18.9 = 74.4 pixels about (81, 280).
  EXPECT_EQ(img.pixel(81, 280), red);  // the driver centre's cross
  auto blackNear = [&](int x, int y) {
    for (int dx = -2; dx <= 2; ++dx)
      for (int dy = -2; dy <= 2; ++dy)
        if (img.pixel(x + dx, y + dy) == black) return true;
    return false;
  };
  EXPECT_TRUE(blackNear(81, 280 - 74));
  EXPECT_TRUE(blackNear(81, 280 + 74));
  EXPECT_TRUE(blackNear(81 - 74, 280));

  // Another view moves the picture.
  ASSERT_EQ(RunCli({"frame", "--scale", "37.8", "--origin", "100,500", "--out", file.toStdString()}, out, err,
                   &FrameCommandMain),
            0);
  QImage moved(file);
  EXPECT_EQ(moved.pixel(100 + 389 + 4, 500 - 132 + 4), red);  // joint 9's cross at twice the scale
  QFile::remove(file);

  std::ostringstream err2;
  EXPECT_EQ(RunCli({"frame", "--out", "/no/such/folder/x.png"}, out, err2, &FrameCommandMain), 1);
  EXPECT_NE(err2.str().find("cannot write"), std::string::npos);
}

}  // namespace brevold
