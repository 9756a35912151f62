// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas painted with QPainter on any paint device: the window's frame
// bitmap, an image file, later SVG or PDF.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QStaticText>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/canvas.h"

namespace brevold {

QColor ToQColor(Color c);
// The program's fonts: a small sans-serif for pictures, a serif for controls,
// sized in points at 96 dpi whatever the device.
QFont ToQFont(const Font& f);

// Keeps an off-screen picture of `width` x `height` logical pixels at the
// screen's pixel ratio, so that it is drawn at full resolution with the same
// coordinates (a new picture starts white).
void MatchScreenResolution(QImage& picture, int width, int height, qreal ratio);

// Where a frame bitmap differs from its plain background: the tiles that
// drawing has touched since the bitmap was last cleared. A canvas that keeps
// it clears only those tiles the next time, and the window repaints only the
// tiles drawn in either of the last two frames. It covers the bitmap at one
// device pixel per logical pixel, drawn only through canvases given it; at
// any other ratio everything counts as drawn.
class FrameDamage {
 public:
  static constexpr int Tile = 16;
  // Forget what was drawn: the whole bitmap counts as drawn (a new bitmap).
  void Reset() { valid_ = false; }
  // The tiles that changed in the last frame, as a region of the bitmap:
  // those drawn before its clear and those drawn since.
  QRegion Changed() const;
  bool Valid() const { return valid_; }

 private:
  friend class QtCanvas;
  void Start(const QImage& image);  // a canvas begins on `image`
  void Mark(int x1, int y1, int x2, int y2);  // inclusive pixel box, clipped
  QRegion RegionOf(const std::vector<std::uint8_t>& tiles) const;
  bool valid_ = false, cleared_ = false;
  QColor background_;
  int columns_ = 0, rows_ = 0, width_ = 0, height_ = 0;
  const QImage* image_ = nullptr;
  std::vector<std::uint8_t> drawn_, before_;  // since the clear; before it
};

// Texts laid out once: for each distinct text and font, its glyphs placed
// and its measures (cell and ink). A window keeps one for its frames, whose
// readouts repeat turn after turn; a canvas without one keeps its own for
// one painting. Its size is bounded: when full it starts again.
class TextCache {
 public:
  struct Text {
    QString string;
    QStaticText laidOut;
    int advance = 0, height = 0, ascent = 0;
    QRect ink;  // the glyphs' extent about the baseline's start
  };
  // The text in `font`, whose own words `fontKey` gives.
  const Text& Get(const std::string& text, const QFont& font, const std::string& fontKey);
  size_t Size() const { return texts_.size(); }
  static constexpr size_t Capacity = 4096;

 private:
  std::unordered_map<std::string, Text> texts_;
  std::string key_;
};

// On a high-resolution device (pixel ratio above 1) pens are drawn in device
// pixels, so a one-pixel line stays one fine line; a single pixel (a steam
// dot) stays one logical pixel.
class QtCanvas : public CanvasBase {
 public:
  explicit QtCanvas(QPaintDevice* device);
  // A frame bitmap whose drawn tiles `damage` keeps track of, and whose
  // texts come from `texts` (both may be null).
  QtCanvas(QImage* image, FrameDamage* damage, TextCache* texts = nullptr);
  ~QtCanvas() override;
  void Clear(Color c) override;
  void Pixel(int x, int y, Color c) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Polyline(const std::vector<Pt>& pts) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) override;
  void TextOut(int x, int y, const std::string& text) override;

 private:
  void PenChanged() override;
  void FontChanged() override;
  void Segment(Pt a, Pt b);
  void Touch(int x1, int y1, int x2, int y2) {
    if (damage_) damage_->Mark(x1, y1, x2, y2);
  }
  void FlushPixels();  // single pixels of one colour go out together
  std::vector<QPoint> pixels_;
  Color pixelColor_ = clBlack;
  QPaintDevice* device_;
  QImage* image_ = nullptr;  // the device, when dots are written straight into it
  FrameDamage* damage_ = nullptr;
  TextCache ownTexts_;
  TextCache* texts_ = &ownTexts_;
  QFont qfont_;
  std::string fontKey_;  // the font's own words, for the text cache
  QPainter painter_;
  Pt at_;
};

}  // namespace brevold
