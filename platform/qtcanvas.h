// The canvas painted with QPainter on any paint device: the window's frame
// bitmap, an image file, later SVG or PDF.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

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

// On a high-resolution device (pixel ratio above 1) pens are drawn in device
// pixels, so a one-pixel line stays one fine line; a single pixel (a steam
// dot) stays one logical pixel.
class QtCanvas : public CanvasBase {
 public:
  explicit QtCanvas(QPaintDevice* device);
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
  void FlushPixels();  // single pixels of one colour go out together
  std::vector<QPoint> pixels_;
  Color pixelColor_ = clBlack;
  QPaintDevice* device_;
  QImage* image_ = nullptr;  // the device, when dots are written straight into it
  QPainter painter_;
  Pt at_;
};

}  // namespace brevold
