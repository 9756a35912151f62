// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A small GDI-like drawing surface. Everything the program draws (the
// mechanism, steam, highlight, overlay, diagrams) goes through it, so the
// same drawing code paints a window, an image file or a test recording.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brevold {

// Colours as the program has always stored them: red in the low byte.
using Color = std::uint32_t;
constexpr Color clBlack = 0x000000, clRed = 0x0000FF, clLime = 0x00FF00, clBlue = 0xFF0000;
constexpr Color clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clGreen = 0x008000, clGray = 0x808080;
constexpr Color clWhite = 0xFFFFFF, clSilver = 0xC0C0C0, clMaroon = 0x000080, clNavy = 0x800000;
constexpr Color clYellow = 0x00FFFF, clOlive = 0x008080, clPurple = 0x800080, clTeal = 0x808000;

struct Pt {
  int x = 0, y = 0;
  bool operator==(const Pt&) const = default;
};

enum class FontFace { Sans, Serif };

struct Font {
  FontFace face = FontFace::Sans;
  int points = 8;  // at 96 dpi
  bool bold = false;
  bool underline = false;
  Color color = clBlack;
  int stretch = 100;  // percent of the normal width
  bool operator==(const Font&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void SetPen(Color c, int width) = 0;
  virtual void SetPenColor(Color c) = 0;
  virtual Color PenColor() const = 0;
  virtual int PenWidth() const = 0;
  virtual void SetBrushClear() = 0;
  virtual void SetBrushSolid(Color c) = 0;
  virtual void SetFont(const Font& f) = 0;
  virtual const Font& CurrentFont() const = 0;
  virtual void Clear(Color c) = 0;
  virtual void Pixel(int x, int y, Color c) = 0;
  // Moves the pen; LineTo draws from the pen to (x, y), leaving the last
  // pixel unset, and moves the pen there.
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Polyline(const std::vector<Pt>& pts) = 0;
  // The ellipse inscribed in the box from (x1, y1) to (x2, y2), right and
  // bottom edges excluded.
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  // Arc of the box's ellipse, counter-clockwise on the screen from the ray
  // through (sx, sy) to the ray through (ex, ey), rays from the box centre.
  virtual void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) = 0;
  // Text with its top-left corner at (x, y): on a cell of the brush's colour
  // while the brush is solid, over the picture while it is clear.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
};

// The state every canvas shares: pen, brush, font.
class CanvasBase : public Canvas {
 public:
  void SetPen(Color c, int width) override {
    pen_ = c;
    width_ = width < 1 ? 1 : width;
    PenChanged();
  }
  void SetPenColor(Color c) override { SetPen(c, width_); }
  Color PenColor() const override { return pen_; }
  int PenWidth() const override { return width_; }
  void SetBrushClear() override { brushSolid_ = false; }
  void SetBrushSolid(Color c) override {
    brushSolid_ = true;
    brush_ = c;
  }
  void SetFont(const Font& f) override {
    font_ = f;
    FontChanged();
  }
  const Font& CurrentFont() const override { return font_; }

 protected:
  virtual void PenChanged() {}
  virtual void FontChanged() {}
  Color pen_ = clBlack;
  int width_ = 1;
  bool brushSolid_ = false;
  Color brush_ = clWhite;
  Font font_;
};

// Records every operation, for tests: what was drawn, where, in which pen.
class RecordingCanvas : public CanvasBase {
 public:
  enum class Op { Clear, Pixel, Line, Polyline, Ellipse, Arc, Text };
  struct Item {
    Op op;
    std::vector<Pt> pts;  // line: from, to; ellipse: box corners; arc: box, start, end
    std::string text;
    Color color;  // pen colour (text: font colour; pixel and clear: their colour)
    int width;
    Font font;
    bool opaque = false;  // text written on a cell of the brush's colour
  };
  void Clear(Color c) override { Add(Op::Clear, {}, "", c); }
  void Pixel(int x, int y, Color c) override { Add(Op::Pixel, {{x, y}}, "", c); }
  void MoveTo(int x, int y) override { at_ = {x, y}; }
  void LineTo(int x, int y) override {
    Add(Op::Line, {at_, {x, y}}, "", pen_);
    at_ = {x, y};
  }
  void Polyline(const std::vector<Pt>& pts) override { Add(Op::Polyline, pts, "", pen_); }
  void Ellipse(int x1, int y1, int x2, int y2) override { Add(Op::Ellipse, {{x1, y1}, {x2, y2}}, "", pen_); }
  void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) override {
    Add(Op::Arc, {{x1, y1}, {x2, y2}, {sx, sy}, {ex, ey}}, "", pen_);
  }
  void TextOut(int x, int y, const std::string& text) override {
    Add(Op::Text, {{x, y}}, text, font_.color);
    items.back().opaque = brushSolid_;
  }

  std::vector<Item> items;
  // The first text item equal to `text`, or nullptr.
  const Item* FindText(const std::string& text) const {
    for (const Item& i : items)
      if (i.op == Op::Text && i.text == text) return &i;
    return nullptr;
  }
  // The first text item that starts with `prefix`, or nullptr.
  const Item* FindTextStarting(const std::string& prefix) const {
    for (const Item& i : items)
      if (i.op == Op::Text && i.text.rfind(prefix, 0) == 0) return &i;
    return nullptr;
  }

 private:
  void Add(Op op, std::vector<Pt> pts, std::string text, Color c) {
    items.push_back({op, std::move(pts), std::move(text), c, width_, font_});
  }
  Pt at_;
};

// Passes everything on to another canvas, shifted by (dx, dy): a part of a
// picture drawn with its own top-left corner at (0, 0).
class OffsetCanvas : public Canvas {
 public:
  OffsetCanvas(Canvas& to, int dx, int dy) : to_(to), dx_(dx), dy_(dy) {}
  void SetPen(Color c, int width) override { to_.SetPen(c, width); }
  void SetPenColor(Color c) override { to_.SetPenColor(c); }
  Color PenColor() const override { return to_.PenColor(); }
  int PenWidth() const override { return to_.PenWidth(); }
  void SetBrushClear() override { to_.SetBrushClear(); }
  void SetBrushSolid(Color c) override { to_.SetBrushSolid(c); }
  void SetFont(const Font& f) override { to_.SetFont(f); }
  const Font& CurrentFont() const override { return to_.CurrentFont(); }
  void Clear(Color c) override { to_.Clear(c); }
  void Pixel(int x, int y, Color c) override { to_.Pixel(x + dx_, y + dy_, c); }
  void MoveTo(int x, int y) override { to_.MoveTo(x + dx_, y + dy_); }
  void LineTo(int x, int y) override { to_.LineTo(x + dx_, y + dy_); }
  void Polyline(const std::vector<Pt>& pts) override {
    if (dx_ == 0 && dy_ == 0) return to_.Polyline(pts);
    std::vector<Pt> moved(pts);
    for (Pt& p : moved) p = {p.x + dx_, p.y + dy_};
    to_.Polyline(moved);
  }
  void Ellipse(int x1, int y1, int x2, int y2) override { to_.Ellipse(x1 + dx_, y1 + dy_, x2 + dx_, y2 + dy_); }
  void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) override {
    to_.Arc(x1 + dx_, y1 + dy_, x2 + dx_, y2 + dy_, sx + dx_, sy + dy_, ex + dx_, ey + dy_);
  }
  void TextOut(int x, int y, const std::string& text) override { to_.TextOut(x + dx_, y + dy_, text); }

 private:
  Canvas& to_;
  int dx_, dy_;
};

// Passes everything on to another canvas and keeps each text drawn, with
// where it was drawn: the words of a picture, for those who cannot see it.
class TextTapCanvas : public OffsetCanvas {
 public:
  struct Placed {
    Pt at;
    std::string text;
  };
  explicit TextTapCanvas(Canvas& to) : OffsetCanvas(to, 0, 0) {}
  void TextOut(int x, int y, const std::string& text) override {
    OffsetCanvas::TextOut(x, y, text);
    texts.push_back({{x, y}, text});
  }
  std::vector<Placed> texts;
};

// Texts drawn on a picture as lines to read: top to bottom, the texts whose
// tops lie within a few pixels of a line's first on that line, left to
// right, separated by commas. A text drawn again at the same place (a
// picture drawn over) is read once; a text's blanks (a number's padding)
// come down to single spaces between its words.
std::string ReadingText(std::vector<TextTapCanvas::Placed> texts);

// Draws nothing and keeps the box of everything drawn, pens' widths
// included. A text's box is estimated from its font's size (a character
// about 0.6 em wide, a line 1.3 em high at 96 dpi): no font is at hand here.
class BoundsCanvas : public CanvasBase {
 public:
  void Clear(Color) override {}
  void Pixel(int x, int y, Color) override { Add(x, y, x, y); }
  void MoveTo(int x, int y) override { at_ = {x, y}; }
  void LineTo(int x, int y) override {
    Stroke(at_.x, at_.y, x, y);
    at_ = {x, y};
  }
  void Polyline(const std::vector<Pt>& pts) override {
    for (const Pt& p : pts) Stroke(p.x, p.y, p.x, p.y);
  }
  void Ellipse(int x1, int y1, int x2, int y2) override { Stroke(x1, y1, x2, y2); }
  // The whole ellipse's box: an arc never reaches beyond it.
  void Arc(int x1, int y1, int x2, int y2, int, int, int, int) override { Stroke(x1, y1, x2, y2); }
  void TextOut(int x, int y, const std::string& text) override {
    const double em = font_.points * 96.0 / 72.0;
    Add(x, y, x + static_cast<int>(em * 0.6 * static_cast<double>(text.size()) * font_.stretch / 100.0 + 0.5),
        y + static_cast<int>(em * 1.3 + 0.5));
  }

  bool Empty() const { return empty_; }
  // Inclusive corners of the box; meaningless while Empty().
  int left = 0, top = 0, right = 0, bottom = 0;

 private:
  void Stroke(int x1, int y1, int x2, int y2) {
    const int h = (width_ + 1) / 2;
    Add(std::min(x1, x2) - h, std::min(y1, y2) - h, std::max(x1, x2) + h, std::max(y1, y2) + h);
  }
  void Add(int x1, int y1, int x2, int y2) {
    if (empty_) {
      left = x1, top = y1, right = x2, bottom = y2;
      empty_ = false;
      return;
    }
    left = std::min(left, x1), top = std::min(top, y1);
    right = std::max(right, x2), bottom = std::max(bottom, y2);
  }
  Pt at_;
  bool empty_ = true;
};

}  // namespace brevold
