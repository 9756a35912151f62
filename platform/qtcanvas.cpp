// The canvas painted with QPainter: window bitmaps, image files, high-resolution screens.
#include "platform/qtcanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <algorithm>

namespace brevold {

QColor ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QFont ToQFont(const Font& f) {
  QFont q(f.face == FontFace::Serif ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans"));
  q.setStyleHint(f.face == FontFace::Serif ? QFont::Serif : QFont::SansSerif);
  q.setPixelSize(std::max(1, static_cast<int>(std::lround(f.points * 96.0 / 72.0))));
  q.setBold(f.bold);
  q.setUnderline(f.underline);
  if (f.stretch != 100) q.setStretch(f.stretch);
  return q;
}

QtCanvas::QtCanvas(QPaintDevice* device) : device_(device), painter_(device) {
  // Single pixels go straight into a plain 32-bit bitmap at one device pixel
  // per logical pixel (the frame and the diagrams on a normal screen).
  if (device->devType() == QInternal::Image && device->devicePixelRatioF() == 1) {
    auto* img = static_cast<QImage*>(device);
    if (img->format() == QImage::Format_RGB32) image_ = img;
  }
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  PenChanged();
  FontChanged();
}

QtCanvas::~QtCanvas() { FlushPixels(); }

void QtCanvas::FlushPixels() {
  if (pixels_.empty()) return;
  if (image_) {
    // What an aliased one-pixel pen would paint: the colour, opaque, in the
    // dots that fall on the bitmap.
    const QRgb rgb = ToQColor(pixelColor_).rgb();
    const int w = image_->width(), h = image_->height();
    for (const QPoint& p : pixels_)
      if (p.x() >= 0 && p.x() < w && p.y() >= 0 && p.y() < h)
        reinterpret_cast<QRgb*>(image_->scanLine(p.y()))[p.x()] = rgb;
    pixels_.clear();
    return;
  }
  painter_.save();
  if (device_->devicePixelRatioF() == 1) {
    painter_.setPen(QPen(ToQColor(pixelColor_), 1));
    painter_.drawPoints(pixels_.data(), static_cast<int>(pixels_.size()));
  } else {
    // A dot covers its whole logical pixel on a high-resolution device.
    std::vector<QRect> cells;
    cells.reserve(pixels_.size());
    for (const QPoint& p : pixels_) cells.emplace_back(p, QSize(1, 1));
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQColor(pixelColor_));
    painter_.drawRects(cells.data(), static_cast<int>(cells.size()));
  }
  painter_.restore();
  pixels_.clear();
}

void MatchScreenResolution(QImage& picture, int width, int height, qreal ratio) {
  if (ratio <= 0) ratio = 1;
  if (picture.devicePixelRatio() == ratio && picture.width() == qRound(width * ratio)) return;
  picture = QImage(qRound(width * ratio), qRound(height * ratio), QImage::Format_RGB32);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::white);
}

void QtCanvas::PenChanged() {
  FlushPixels();
  QPen pen(ToQColor(pen_));
  pen.setWidth(width_);
  if (device_->devicePixelRatioF() != 1) pen.setCosmetic(true);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.setPen(pen);
}

void QtCanvas::FontChanged() {
  FlushPixels();
  painter_.setFont(ToQFont(font_));
}

void QtCanvas::Clear(Color c) {
  pixels_.clear();
  painter_.fillRect(QRect(0, 0, device_->width(), device_->height()), ToQColor(c));
}

void QtCanvas::Pixel(int x, int y, Color c) {
  if (c != pixelColor_) FlushPixels();
  pixelColor_ = c;
  pixels_.emplace_back(x, y);
}

void QtCanvas::MoveTo(int x, int y) { at_ = {x, y}; }

// With flat caps QPainter's aliased lines leave out their last pixel, as the
// classic line-to does: joined segments never paint a shared corner twice.
void QtCanvas::Segment(Pt a, Pt b) {
  if (a == b) return;
  painter_.drawLine(QPoint(a.x, a.y), QPoint(b.x, b.y));
}

void QtCanvas::LineTo(int x, int y) {
  FlushPixels();
  Segment(at_, {x, y});
  at_ = {x, y};
}

void QtCanvas::Polyline(const std::vector<Pt>& pts) {
  FlushPixels();
  for (size_t i = 1; i < pts.size(); ++i) Segment(pts[i - 1], pts[i]);
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  FlushPixels();
  if (brushSolid_) painter_.setBrush(ToQColor(brush_));
  else painter_.setBrush(Qt::NoBrush);
  painter_.drawEllipse(QRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) - 1, std::abs(y2 - y1) - 1));
  painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) {
  FlushPixels();
  const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
  // Angles counter-clockwise on the screen (y down), in degrees.
  const double a0 = std::atan2(-(sy - cy), sx - cx) * 180.0 / M_PI;
  const double a1 = std::atan2(-(ey - cy), ex - cx) * 180.0 / M_PI;
  double span = std::fmod(a1 - a0 + 720.0, 360.0);
  if (span == 0) span = 360.0;  // start and end on one ray: the whole ellipse
  const QRect box(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) - 1, std::abs(y2 - y1) - 1);
  painter_.drawArc(box, static_cast<int>(std::lround(a0 * 16)), static_cast<int>(std::lround(span * 16)));
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  FlushPixels();
  painter_.save();
  const QFontMetrics fm(painter_.font());
  const QString s = QString::fromStdString(text);
  // With a solid brush the text's cell is filled first, as a window canvas
  // writes text; with a clear brush the picture shows through.
  if (brushSolid_) painter_.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(brush_));
  painter_.setPen(ToQColor(font_.color));
  painter_.drawText(QPoint(x, y + fm.ascent()), s);
  painter_.restore();
}

}  // namespace brevold
