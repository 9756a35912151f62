// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
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

QtCanvas::QtCanvas(QImage* image, FrameDamage* damage, TextCache* texts) : QtCanvas(image) {
  if (texts) texts_ = texts;
  if (!damage) return;
  damage->Start(*image);
  // Kept only where dots and fills go straight into the bitmap.
  if (image_) damage_ = damage;
  else damage->Reset();
}

QtCanvas::~QtCanvas() { FlushPixels(); }

void FrameDamage::Start(const QImage& image) {
  // The bitmap is drawn only through canvases that keep this record.
  if (&image != image_ || image.width() != width_ || image.height() != height_) valid_ = false;
  image_ = &image;
  width_ = image.width();
  height_ = image.height();
  columns_ = (width_ + Tile - 1) / Tile;
  rows_ = (height_ + Tile - 1) / Tile;
  cleared_ = false;
  const size_t n = static_cast<size_t>(columns_) * static_cast<size_t>(rows_);
  if (drawn_.size() != n) {
    drawn_.assign(n, 1);
    before_.assign(n, 1);
    valid_ = false;
  }
}

void FrameDamage::Mark(int x1, int y1, int x2, int y2) {
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, width_ - 1);
  y2 = std::min(y2, height_ - 1);
  if (x1 > x2 || y1 > y2) return;
  for (int r = y1 / Tile; r <= y2 / Tile; ++r)
    std::fill_n(drawn_.begin() + r * columns_ + x1 / Tile, x2 / Tile - x1 / Tile + 1, std::uint8_t{1});
}

QRegion FrameDamage::RegionOf(const std::vector<std::uint8_t>& tiles) const {
  QRegion out;
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < columns_;) {
      if (!tiles[static_cast<size_t>(r * columns_ + c)]) {
        ++c;
        continue;
      }
      const int c0 = c;
      while (c < columns_ && tiles[static_cast<size_t>(r * columns_ + c)]) ++c;
      out += QRect(c0 * Tile, r * Tile, (c - c0) * Tile, Tile);
    }
  return out;
}

QRegion FrameDamage::Changed() const {
  if (!valid_ || !cleared_) return QRegion(0, 0, width_, height_);
  return RegionOf(before_) + RegionOf(drawn_);
}

void QtCanvas::FlushPixels() {
  if (pixels_.empty()) return;
  if (image_) {
    // What an aliased one-pixel pen would paint: the colour, opaque, in the
    // dots that fall on the bitmap.
    const QRgb rgb = ToQColor(pixelColor_).rgb();
    const int w = image_->width(), h = image_->height();
    uchar* bits = image_->bits();  // one detach check, not one a dot
    const qsizetype line = image_->bytesPerLine();
    for (const QPoint& p : pixels_)
      if (p.x() >= 0 && p.x() < w && p.y() >= 0 && p.y() < h) {
        reinterpret_cast<QRgb*>(bits + p.y() * line)[p.x()] = rgb;
        Touch(p.x(), p.y(), p.x(), p.y());
      }
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
  qfont_ = ToQFont(font_);
  painter_.setFont(qfont_);
  fontKey_.assign({static_cast<char>(font_.face), static_cast<char>(font_.bold), static_cast<char>(font_.underline)});
  fontKey_ += std::to_string(font_.points) + ',' + std::to_string(font_.stretch) + ';';
}

const TextCache::Text& TextCache::Get(const std::string& text, const QFont& font, const std::string& fontKey) {
  key_.assign(fontKey).append(text);
  if (auto it = texts_.find(key_); it != texts_.end()) return it->second;
  if (texts_.size() >= Capacity) texts_.clear();
  Text t;
  t.string = QString::fromStdString(text);
  const QFontMetrics fm(font);
  t.advance = fm.horizontalAdvance(t.string);
  t.height = fm.height();
  t.ascent = fm.ascent();
  t.ink = fm.boundingRect(t.string);
  t.laidOut.setText(t.string);
  t.laidOut.setTextFormat(Qt::PlainText);
  t.laidOut.prepare(QTransform(), font);
  return texts_.emplace(key_, std::move(t)).first->second;
}

void QtCanvas::Clear(Color c) {
  pixels_.clear();
  const QColor colour = ToQColor(c);
  if (!damage_) {
    painter_.fillRect(QRect(0, 0, device_->width(), device_->height()), colour);
    return;
  }
  // Only what was drawn since the last clear in the same colour differs from
  // the background: those tiles are filled, the rest already are.
  FrameDamage& d = *damage_;
  const bool all = !d.valid_ || d.background_ != colour;
  const QRgb rgb = colour.rgb();
  const int w = image_->width(), h = image_->height();
  uchar* bits = image_->bits();
  const qsizetype line = image_->bytesPerLine();
  for (int r = 0; r < d.rows_; ++r)
    for (int col = 0; col < d.columns_;) {
      if (!all && !d.drawn_[static_cast<size_t>(r * d.columns_ + col)]) {
        ++col;
        continue;
      }
      // A run of drawn tiles along the row is filled line by line at once.
      const int c0 = col;
      while (col < d.columns_ && (all || d.drawn_[static_cast<size_t>(r * d.columns_ + col)])) ++col;
      const int x0 = c0 * FrameDamage::Tile, x1 = std::min(w, col * FrameDamage::Tile);
      for (int y = r * FrameDamage::Tile; y < std::min(h, (r + 1) * FrameDamage::Tile); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(bits + y * line);
        std::fill(row + x0, row + x1, rgb);
      }
    }
  d.before_ = d.drawn_;
  if (all) std::fill(d.before_.begin(), d.before_.end(), std::uint8_t{1});
  std::fill(d.drawn_.begin(), d.drawn_.end(), std::uint8_t{0});
  d.background_ = colour;
  d.valid_ = true;
  d.cleared_ = true;
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
  const int m = width_ + 1;
  Touch(std::min(a.x, b.x) - m, std::min(a.y, b.y) - m, std::max(a.x, b.x) + m, std::max(a.y, b.y) + m);
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
  const int m = width_ + 1;
  Touch(std::min(x1, x2) - m, std::min(y1, y2) - m, std::max(x1, x2) + m, std::max(y1, y2) + m);
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
  const int m = width_ + 1;
  Touch(std::min(x1, x2) - m, std::min(y1, y2) - m, std::max(x1, x2) + m, std::max(y1, y2) + m);
  painter_.drawArc(box, static_cast<int>(std::lround(a0 * 16)), static_cast<int>(std::lround(span * 16)));
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  FlushPixels();
  const TextCache::Text& t = texts_->Get(text, qfont_, fontKey_);
  const QRect cell(x, y, t.advance, t.height);
  if (damage_) {
    // The cell, and the glyphs' own extent with a margin for overhangs.
    const QRect ink = t.ink.translated(x, y + t.ascent) | cell;
    const int m = t.height / 2 + 2;
    Touch(ink.left() - m, ink.top() - m, ink.right() + m, ink.bottom() + m);
  }
  // With a solid brush the text's cell is filled first, as a window canvas
  // writes text; with a clear brush the picture shows through.
  if (brushSolid_) painter_.fillRect(cell, ToQColor(brush_));
  const QPen pen = painter_.pen();
  painter_.setPen(ToQColor(font_.color));
  if (image_ && !font_.underline) {
    // A plain bitmap takes the glyphs as laid out once (a kept layout draws
    // its underline a pixel apart from plain text's, so underlined text is
    // drawn plainly).
    painter_.drawStaticText(QPoint(x, y), t.laidOut);
  } else {
    painter_.drawText(QPoint(x, y + t.ascent), t.string);
  }
  painter_.setPen(pen);
}

}  // namespace brevold
