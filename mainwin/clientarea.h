// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ClientArea: the main window's client area, showing the last frame under
// the control strip and passing mouse clicks to the window.
#pragma once
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <vector>

namespace brevold {

class TMainForm;

// The client area: shows the last frame, under the control strip.
class ClientArea : public QWidget {
 public:
  ClientArea(TMainForm* form, const QImage* frame);
  // Paints a new frame now, where it differs from the last one: `changed`
  // (in the frame's device pixels) holds every pixel that did. A control of
  // the strip is passed over, and so not repainted, while the frame under it
  // is as it was when last painted there: the control repaints itself when
  // it changes.
  void ShowNewFrame(const QRegion& changed);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  // The frame's pixels under a control, as last painted there.
  struct Under {
    const QWidget* control = nullptr;
    QRect area;    // the control's part of the client area
    QRect pixels;  // the frame's pixels that paint that part
    std::vector<QRgb> frame;
  };
  QRect PixelsUnder(const QRect& area) const;
  static constexpr int CopyBandRows = 64;
  bool Unchanged(const Under& u, const QWidget* control) const;
  TMainForm* form_;
  const QImage* frame_;
  std::vector<Under> under_;
};

}  // namespace brevold
