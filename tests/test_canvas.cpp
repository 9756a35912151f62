// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/qtcanvas.h"
#include "mainwin/mechdraw.h"
#include "model/dynvars.h"

namespace brevold {

class QtCanvasTest : public ::testing::Test {
 protected:
  QtCanvasTest() : image(40, 40, QImage::Format_RGB32) { image.fill(Qt::white); }
  bool Black(int x, int y) const { return image.pixel(x, y) == qRgb(0, 0, 0); }
  QImage image;
};

TEST_F(QtCanvasTest, LineToLeavesTheLastPixelUnset) {
  {
    QtCanvas c(&image);
    c.SetPen(clBlack, 1);
    c.MoveTo(2, 5);
    c.LineTo(10, 5);
    c.MoveTo(20, 2);
    c.LineTo(20, 12);
  }
  EXPECT_TRUE(Black(2, 5));
  EXPECT_TRUE(Black(9, 5));
  EXPECT_FALSE(Black(10, 5));
  EXPECT_TRUE(Black(20, 2));
  EXPECT_TRUE(Black(20, 11));
  EXPECT_FALSE(Black(20, 12));
}

TEST_F(QtCanvasTest, TextIsWrittenOnTheBrushWhileItIsSolid) {
  image.fill(Qt::black);
  {
    QtCanvas c(&image);
    c.SetFont(Font{FontFace::Sans, 8, false, false, clBlack});
    c.SetBrushClear();
    c.TextOut(2, 2, "    ");  // blanks over the picture: nothing changes
  }
  EXPECT_TRUE(Black(4, 6));
  {
    QtCanvas c(&image);
    c.SetFont(Font{FontFace::Sans, 8, false, false, clBlack});
    c.SetBrushSolid(clWhite);
    c.TextOut(2, 2, "    ");  // blanks on white cells: a readout erased
  }
  EXPECT_EQ(image.pixel(4, 6), qRgb(255, 255, 255));
  EXPECT_TRUE(Black(1, 6));
}

TEST(QtCanvasHighResolution, LinesStayFineAndDotsStayOneLogicalPixel) {
  QImage picture;
  MatchScreenResolution(picture, 20, 20, 2);
  ASSERT_EQ(picture.width(), 40);
  ASSERT_EQ(picture.devicePixelRatio(), 2);
  {
    QtCanvas c(&picture);
    c.SetPen(clBlack, 1);
    c.MoveTo(2, 5);
    c.LineTo(12, 5);  // logical coordinates, as at 96 dpi
    c.Pixel(3, 12, clRed);
  }
  auto black = [&](int x, int y) { return picture.pixel(x, y) == qRgb(0, 0, 0); };
  int rows = 0;
  for (int y = 8; y <= 12; ++y) rows += black(10, y) ? 1 : 0;
  EXPECT_EQ(rows, 1);  // one device pixel wide
  EXPECT_TRUE(black(10, 10));
  for (int x : {6, 7})
    for (int y : {24, 25}) EXPECT_EQ(picture.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
  EXPECT_EQ(picture.pixel(8, 24), qRgb(255, 255, 255));
  MatchScreenResolution(picture, 20, 20, 2);  // already right: kept as drawn
  EXPECT_TRUE(black(10, 10));
}

TEST_F(QtCanvasTest, EllipseFitsItsBoxWithoutTheRightAndBottomEdge) {
  {
    QtCanvas c(&image);
    c.SetPen(clBlack, 1);
    c.SetBrushClear();
    c.Ellipse(10, 10, 21, 21);  // given bottom-up too: corners in any order
  }
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  EXPECT_EQ(minX, 10);
  EXPECT_EQ(maxX, 20);
  EXPECT_EQ(minY, 10);
  EXPECT_EQ(maxY, 20);
  EXPECT_EQ(image.pixel(15, 15), qRgb(255, 255, 255));  // clear brush: not filled
}

TEST_F(QtCanvasTest, ArcRunsCounterClockwiseFromStartToEnd) {
  {
    QtCanvas c(&image);
    c.SetPen(clBlack, 1);
    // From the ray to the right round to the ray upward: the upper-right quarter.
    c.Arc(0, 0, 41, 41, 40, 20, 20, 0);
  }
  bool upperRight = false, lowerLeft = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) {
        if (x > 22 && y < 18) upperRight = true;
        if (x < 18 && y > 22) lowerLeft = true;
      }
  EXPECT_TRUE(upperRight);
  EXPECT_FALSE(lowerLeft);
}

TEST_F(QtCanvasTest, ColoursKeepRedInTheLowByte) {
  EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(clBlue), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(clAqua), QColor(0, 255, 255));
  EXPECT_EQ(ToQColor(clFuchsia), QColor(255, 0, 255));
}

TEST_F(QtCanvasTest, TextSitsBelowAndRightOfItsTopLeftCorner) {
  {
    QtCanvas c(&image);
    c.SetFont(Font{FontFace::Sans, 8, true, false, clBlack});
    c.TextOut(5, 5, "H");
  }
  int minY = 99, minX = 99;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (qGray(image.pixel(x, y)) < 128) minY = std::min(minY, y), minX = std::min(minX, x);
  EXPECT_GE(minY, 5);
  EXPECT_LE(minY, 9);
  EXPECT_GE(minX, 5);
}

// Dots are written straight into a plain bitmap: the same pixels as a
// one-pixel pen paints, in every colour, with those off the bitmap left out.
// Texts laid out once and kept must paint the pixels QPainter's own text
// drawing paints, in every font the pictures use, on a bitmap and through a
// kept cache (the second painting takes every text from it).
TEST(QtCanvasText, KeptLayoutsPaintWhatPlainTextDrawingPaints) {
  const Font fonts[] = {{FontFace::Sans, 8, false, false, clBlack},   {FontFace::Sans, 8, true, false, clRed},
                        {FontFace::Sans, 10, false, true, clBlue},    {FontFace::Serif, 10, false, false, clBlack},
                        {FontFace::Sans, 7, false, false, clBlack, 80}, {FontFace::Serif, 12, true, false, clGreen}};
  const std::string texts[] = {"Cut-off  72.5 %", "-0.0312", "Lead 0.1875\"", "Rev. Arm 13", "W",
                               "Valve Travel = 4.3906", "(12/8/26 3:04:05 PM)", "   "};
  TextCache kept;
  for (int pass = 0; pass < 2; ++pass) {
    QImage ours(300, 40, QImage::Format_RGB32), theirs(300, 40, QImage::Format_RGB32);
    for (const Font& f : fonts)
      for (const std::string& t : texts) {
        ours.fill(Qt::white);
        theirs.fill(Qt::white);
        {
          QtCanvas c(&ours, nullptr, &kept);
          c.SetFont(f);
          c.SetBrushClear();
          c.TextOut(3, 5, t);
        }
        {
          QPainter p(&theirs);
          p.setFont(ToQFont(f));
          p.setPen(ToQColor(f.color));
          p.drawText(QPoint(3, 5 + QFontMetrics(p.font()).ascent()), QString::fromStdString(t));
        }
        EXPECT_TRUE(ours == theirs) << "\"" << t << "\" at " << f.points << " points, pass " << pass;
      }
  }
  EXPECT_EQ(kept.Size(), std::size(fonts) * std::size(texts));
}

TEST_F(QtCanvasTest, DotsPaintWhatAOnePixelPenPaints) {
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) image.setPixel(x, y, qRgb(x * 6, y * 6, 90));
  QImage expected = image.copy();
  const Color colours[] = {clRed, clNavy, clTeal, 0x123456};
  unsigned seed = 7;
  struct Dot { int x, y; Color c; };
  std::vector<Dot> dots;
  for (int i = 0; i < 400; ++i) {
    seed = seed * 1103515245u + 12345u;
    dots.push_back({static_cast<int>(seed >> 8) % 50 - 5, static_cast<int>(seed >> 20) % 50 - 5, colours[(seed >> 4) % 4]});
  }
  {
    QtCanvas c(&image);
    c.SetPen(clBlack, 1);
    for (size_t i = 0; i < dots.size(); ++i) {
      c.Pixel(dots[i].x, dots[i].y, dots[i].c);
      if (i == 200) c.Polyline({{0, 39}, {39, 0}});  // a line between the dots keeps their order
    }
  }
  {
    QPainter p(&expected);
    for (size_t i = 0; i < dots.size(); ++i) {
      p.setPen(QPen(ToQColor(dots[i].c), 1));
      p.drawPoint(dots[i].x, dots[i].y);
      if (i == 200) {
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.drawLine(0, 39, 39, 0);
      }
    }
  }
  EXPECT_EQ(image, expected);
}


// A frame cleared only where the last ones drew is the frame cleared whole,
// tick after tick, and the region said to have changed holds every pixel
// that did: through steam, a highlight, an error blinking, the strip's
// texts, and the view changing under them.
TEST(FrameDamageTest, ClearingOnlyDrawnTilesGivesTheSameFrames) {
  struct Setting {
    const char* name;
    void (*set)(AppState&);
  };
  const Setting settings[] = {
      {"start", [](AppState&) {}},
      {"steam at preset 5", [](AppState& a) {
         a.screen.SteamDisp = true;
         a.model.view.Scale = a.model.view.ViewPreset[5].Scale;
         a.model.view.OriginX = a.model.view.ViewPreset[5].OriginX;
         a.model.view.OriginY = a.model.view.ViewPreset[5].OriginY;
       }},
      {"highlight", [](AppState& a) { a.screen.HiliteDim = 13; }},
      {"broken gear", [](AppState& a) { a.model.dims.frame.EccRodLen = 1; }},
      {"dynamic variables and undo", [](AppState& a) {
         a.model.undo.EditDirty = 1;
         EditorFieldExit(a.model, 3, 17, "Main Rod Length");
         a.model.dyn.DynVarsOn = true;
         a.model.dyn.UndoOn = true;
       }},
  };
  for (const Setting& setting : settings) {
    AppState a;
    StartUp(a.model);
    setting.set(a);
    QImage kept(1280, 1024, QImage::Format_RGB32), whole(1280, 1024, QImage::Format_RGB32);
    kept.fill(Qt::white);
    whole.fill(Qt::white);
    FrameDamage damage;
    for (int tick = 0; tick < 60; ++tick) {
      if (tick == 30) {  // the view moves and the strip's texts go
        a.model.view.Scale *= 0.7f;
        a.model.view.OriginX += 40;
        a.screen.ScreenDataOn = !a.screen.ScreenDataOn;
      }
      AdvanceFrame(a, "12/9/26   1:02:03 AM");
      const QImage before = whole.copy();
      {
        QtCanvas c(&kept, &damage);
        PaintFrame(c, a);
      }
      {
        QtCanvas c(&whole);
        PaintFrame(c, a);
      }
      ASSERT_EQ(kept, whole) << setting.name << ", tick " << tick;
      const QRegion changed = damage.Changed();
      for (int y = 0; y < whole.height(); ++y) {
        const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* now = reinterpret_cast<const QRgb*>(whole.constScanLine(y));
        for (int x = 0; x < whole.width(); ++x)
          if (was[x] != now[x]) {
            ASSERT_TRUE(changed.contains(QPoint(x, y))) << setting.name << ", tick " << tick << " at " << x << "," << y;
          }
      }
    }
    EXPECT_TRUE(damage.Valid());
    EXPECT_LT(damage.Changed().boundingRect().width() * damage.Changed().boundingRect().height(), 1280 * 1024);
  }
}

// The box a picture's drawing covers: strokes widened by half their pen,
// arcs by their whole ellipse, texts estimated from their font, and an
// offset canvas moving all of it alike.
TEST(BoundsCanvasTest, BoxOfStrokesArcsAndTexts) {
  BoundsCanvas b;
  EXPECT_TRUE(b.Empty());
  b.Clear(clWhite);
  EXPECT_TRUE(b.Empty());
  OffsetCanvas o(b, 5, -3);
  o.SetPen(clBlack, 3);
  o.MoveTo(10, 13);
  o.LineTo(20, 8);  // (15, 10) to (25, 5) on b, widened by 2
  EXPECT_FALSE(b.Empty());
  EXPECT_EQ(b.left, 13);
  EXPECT_EQ(b.top, 3);
  EXPECT_EQ(b.right, 27);
  EXPECT_EQ(b.bottom, 12);
  b.SetPen(clBlack, 1);
  b.Arc(100, 100, 140, 120, 0, 0, 500, 500);  // the rays' points are no part of it
  EXPECT_EQ(b.right, 141);
  EXPECT_EQ(b.bottom, 121);
  EXPECT_EQ(b.left, 13);
  b.SetFont(Font{FontFace::Sans, 9});  // 12 pixels to the em
  b.TextOut(200, 0, "ABCDE");          // 5 x 7.2 wide, 15.6 high
  EXPECT_EQ(b.right, 236);
  EXPECT_EQ(b.top, 0);
}

}  // namespace brevold
