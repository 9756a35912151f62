// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A canvas that only counts what is drawn, for the fuzz targets: a frame of
// millions of steam dots costs a counter, not an image. It also stands guard
// over the amount of work: one picture may not ask for more drawing items
// than the largest view the program allows can give.
#pragma once
#include <cstdio>
#include <cstdlib>

#include "platform/canvas.h"

namespace brevold::fuzz {

class CountingCanvas : public CanvasBase {
 public:
  // A 3000-scale frame with steam draws a few million dots; forty times the
  // main window's pixels is far beyond any picture a bounded model can ask for.
  static constexpr long kMaxItems = 40L * 1280 * 1024;

  void Clear(Color) override { Count(); }
  void Pixel(int, int, Color) override { Count(); }
  void MoveTo(int, int) override {}
  void LineTo(int, int) override { Count(); }
  void Polyline(const std::vector<Pt>& pts) override { Count(static_cast<long>(pts.size())); }
  void Ellipse(int, int, int, int) override { Count(); }
  void Arc(int, int, int, int, int, int, int, int) override { Count(); }
  void TextOut(int, int, const std::string& text) override { Count(static_cast<long>(text.size())); }

  // Starts the count of a new picture.
  void NewPicture(const char* what) {
    items_ = 0;
    what_ = what;
  }
  long Items() const { return items_; }

 private:
  void Count(long n = 1) {
    items_ += n;
    if (items_ > kMaxItems) {
      std::fprintf(stderr, "unbounded picture: %s drew more than %ld items\n", what_, kMaxItems);
      std::abort();
    }
  }
  long items_ = 0;
  const char* what_ = "picture";
};

}  // namespace brevold::fuzz
