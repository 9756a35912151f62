// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's client area: the frame painted under the strip, and a
// new frame shown without repainting the controls it leaves unchanged.
#include "mainwin/clientarea.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "mainwin/mainform.h"
#include "platform/qtcanvas.h"

namespace brevold {

ClientArea::ClientArea(TMainForm* form, const QImage* frame) : QWidget(form), form_(form), frame_(frame) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clSilver));
  setPalette(pal);
  setAutoFillBackground(false);
}

void ClientArea::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  // The frame's opaque pixels cover what they reach; at one device pixel a
  // pixel the silver shows only beyond the frame.
  const QRect frameArea(QPoint(0, 0), frame_->size());
  if (frame_->devicePixelRatio() != 1 || !frameArea.contains(rect())) p.fillRect(rect(), ToQColor(clSilver));
  if (frame_->devicePixelRatio() == 1) {
    // The frame copied a band of rows at a time: a copy of more rows goes to
    // the painter's helper threads, whose waking costs more than the copy.
    for (const QRect& r : e->region())
      for (int y = r.top(); y <= r.bottom(); y += CopyBandRows) {
        const QRect band(r.left(), y, r.width(), std::min(CopyBandRows, r.bottom() + 1 - y));
        p.drawImage(band.topLeft(), *frame_, band);
      }
  } else {
    p.drawImage(0, 0, *frame_);
  }

  // Note what this paint put under each control of the strip.
  for (QObject* o : children()) {
    const auto* w = qobject_cast<const QWidget*>(o);
    if (!w || w->isWindow() || w->isHidden()) continue;
    const QRect area = w->geometry() & rect();
    if (area.isEmpty() || !e->region().intersects(area)) continue;
    auto it = std::find_if(under_.begin(), under_.end(), [w](const Under& u) { return u.control == w; });
    if (it == under_.end()) it = under_.insert(under_.end(), Under{w, {}, {}, {}});
    if (!QRegion(area).subtracted(e->region()).isEmpty()) {  // partly painted: not known
      it->area = QRect();
      continue;
    }
    it->area = area;
    it->pixels = PixelsUnder(area);
    it->frame.resize(static_cast<size_t>(it->pixels.width()) * static_cast<size_t>(it->pixels.height()));
    QRgb* to = it->frame.data();
    for (int y = it->pixels.top(); y <= it->pixels.bottom(); ++y, to += it->pixels.width())
      std::memcpy(to, reinterpret_cast<const QRgb*>(frame_->constScanLine(y)) + it->pixels.left(),
                  sizeof(QRgb) * static_cast<size_t>(it->pixels.width()));
  }
}

// The frame's device pixels that can reach a part of the client area, with a
// pixel's margin for a scaled copy.
QRect ClientArea::PixelsUnder(const QRect& area) const {
  const qreal r = frame_->devicePixelRatio();
  const QRect dev = QRectF(area.x() * r, area.y() * r, area.width() * r, area.height() * r).toAlignedRect();
  return dev.adjusted(-1, -1, 1, 1) & frame_->rect();
}

bool ClientArea::Unchanged(const Under& u, const QWidget* control) const {
  const QRect area = control->geometry() & rect();
  if (u.area.isEmpty() || u.area != area || u.pixels != PixelsUnder(area)) return false;
  const QRgb* was = u.frame.data();
  for (int y = u.pixels.top(); y <= u.pixels.bottom(); ++y, was += u.pixels.width())
    if (std::memcmp(was, reinterpret_cast<const QRgb*>(frame_->constScanLine(y)) + u.pixels.left(),
                    sizeof(QRgb) * static_cast<size_t>(u.pixels.width())) != 0)
      return false;
  return true;
}

void ClientArea::ShowNewFrame(const QRegion& changed) {
  QRegion region(rect());
  if (frame_->devicePixelRatio() == 1) region &= changed;
  std::vector<Under> kept;
  kept.reserve(under_.size());
  QRegion unknown;
  for (QObject* o : children()) {
    const auto* w = qobject_cast<const QWidget*>(o);
    if (!w || w->isWindow()) continue;
    auto it = std::find_if(under_.begin(), under_.end(), [w](const Under& u) { return u.control == w; });
    const bool known = it != under_.end() && !w->isHidden() && Unchanged(*it, w);
    if (known) region -= it->area;
    else if (!w->isHidden()) unknown += w->geometry() & rect();
    if (it != under_.end()) kept.push_back(std::move(*it));
  }
  under_ = std::move(kept);  // controls gone since are forgotten
  // A control the new frame reaches is painted over whole, so that what lies
  // under it is known for the next frame.
  for (const QRect& area : unknown)
    if (region.intersects(area)) region += area;
  repaint(region);
}

void ClientArea::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  form_->FormMouseDown(e->button(), pos.x(), pos.y());
}

}  // namespace brevold
