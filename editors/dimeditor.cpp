// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The frame and cylinder dimension editors: fields, drawn labels, small highlight buttons, reset and close.
#include "editors/dimeditor.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "state/appstate.h"
#include "platform/mainport.h"
#include "mainwin/mainctl.h"
#include "mainwin/mechdraw.h"
#include "model/numfmt.h"
#include "platform/accessible.h"
#include "platform/qtcanvas.h"

namespace brevold {

namespace {

const char* const kShowHint = "To Show Graphic Position of Variable, Click Small Button";
// The labels were laid out for a narrow 8-point face; ours is drawn a
// little narrower so that they clear the fields.
const Font kDialogFont{FontFace::Sans, 8, false, false, clBlack, 92};

EditorLayout FrameLayout() {
  EditorLayout l;
  l.caption = "Frame Dimensions";
  l.width = 386;
  l.height = 248;
  l.fields = {
      {1, false, 0, 1},
      {2, false, 1, 2},
      {3, false, 2, 3},
      {4, false, 3, 4},
      {5, false, 4, 5},
      {6, false, 5, 6},
      {7, false, 6, 7},
      {8, false, 7, 8},
      {9, false, 8, 9},
      {10, false, 9, 10},
      {17, false, 10, 17},
      {11, false, 11, 11},
      {28, false, 12, 28},
      {29, false, 13, 29},
      {30, false, 14, 30},
      {12, true, 0, 12},
      {13, true, 1, 13},
      {14, true, 2, 14},
      {15, true, 3, 15},
      {16, true, 4, 16},
      {18, true, 5, 18},
      {19, true, 6, 19},
      {20, true, 7, 20},
      {21, true, 8, 21},
      {22, true, 9, 22},
      {23, true, 10, 23},
      {24, true, 11, 24},
      {25, true, 12, 25},
      {26, true, 13, 26},
      {27, true, 14, 27},
  };
  l.labels = {
      {10, 0, "Driver                    Diameter"},
      {10, 1, "Stroke                      Length"},
      {10, 2, "Main Rod                 Length"},
      {10, 3, "DropLink to CrossHead Vert"},
      {40, 4, "\"           \"     Back Set"},
      {10, 5, "Union Link                Length"},
      {10, 6, "Combination Lever     Upper"},
      {40, 7, "\"           \"     Back Set"},
      {40, 8, "\"           \"          Lower"},
      {10, 9, "Radius Rod              Length"},
      {10, 10, "Radius Rod           Lift Point"},
      {10, 11, "Link Upper or Lower Length"},
      {10, 12, "Link Top Lever         Length"},
      {10, 13, "Link Middle Lever     Length"},
      {10, 14, "Link RadRod Lever  Length"},
      {204, 0, "Link Crank                     Vert"},
      {234, 1, "\"           \"     Back Set"},
      {204, 2, "Eccentric Rod          Length"},
      {204, 3, "Ecc Crank Circle  Diameter"},
      {204, 4, "Eccentric Crank        Length"},
      {204, 5, "Reverse Arm            Vertical"},
      {234, 6, "\"           \"     Back Set"},
      {204, 7, "Lifting Arm                 Length"},
      {204, 8, "Lifting Link                Length"},
      {204, 9, "Reverse Arm Pivot       Vert"},
      {234, 10, "\"           \"             Horz"},
      {204, 11, "Link Center Pivot           Vert"},
      {234, 12, "\"           \"             Horz"},
      {204, 13, "Reverse Arm to Cent Norm"},
      {234, 14, "\"           \"             Max"},
  };
  l.hint1 = kShowHint;
  l.hint1Y = 213;
  l.hint2 = "To Select Dynamic Variable, Click Dimension in Gray Area";
  l.hint2Y = 226;
  l.resetCaption = "ResetFrameDim";
  l.resetY = 196;
  l.closeY = 220;
  l.buttonBase = 0;
  return l;
}

EditorLayout CylLayout() {
  EditorLayout l;
  l.caption = "Cylinder Dimensions";
  l.width = 386;
  l.height = 230;
  l.fields = {
      {1, false, 0, 101},
      {2, false, 1, 102},
      {3, false, 2, 103},
      {4, false, 3, 104},
      {5, false, 4, 105},
      {6, false, 6, 106, 26},
      {7, false, 7, 107},
      {8, false, 8, 108},
      {9, false, 9, 109},
      {10, false, 10, 110},
      {11, true, 0, 111},
      {12, true, 1, 112},
      {13, true, 2, 113},
      {14, true, 4, 114, 26},
      {15, true, 6, 115, 26},
      {16, true, 7, 116},
      {17, true, 9, 117, 26},
  };
  l.labels = {
      {10, 0, "Cylinder ctr to Driver ctr"},
      {10, 1, "Cylinder CL above Driver"},
      {10, 2, "Cylinder Bore         Diameter"},
      {10, 3, "Cylinder Bore            Length"},
      {10, 4, "Cylinder Steam Port    Width"},
      {10, 5, "Piston ctr to Crosshead ctr"},
      {81, 6, "(Piston Rod)"},
      {10, 7, "Piston                         Width"},
      {10, 8, "Valve CL to Cylinder CL"},
      {10, 9, "Valve Bore            Diameter"},
      {10, 10, "Valve Bore               Length"},
      {204, 0, "ValveBore ctr to ValvePort"},
      {204, 1, "ValveBore PortWidth Rear"},
      {225, 2, "\"             \"             Front"},
      {204, 3, "Valve ctr to Inside Edge"},
      {259, 4, " of Inside Ring"},
      {204, 5, "Valve End Width (Outside"},
      {228, 6, "Edges of Rings) Rear"},
      {225, 7, "\"             \"             Front"},
      {204, 8, "Valve ctr to Joint"},
      {264, 9, "  (Valve Stem)"},
  };
  l.hint1 = kShowHint;
  l.hint1Y = 190;
  l.hint2 = "To Select Dynamic Variable, ClickDimension in GrayArea";
  l.hint2Y = 203;
  l.resetCaption = "ResetCylDim";
  l.resetY = 168;
  l.closeY = 192;
  l.buttonBase = 100;
  return l;
}

// The two travel limits have no dimension id of their own.
bool IsTravelLimit(const FieldSpec& f) { return !HasDim(f.id); }

// A dimension's short name, as the model's table gives it.
const char* ShortName(const FieldSpec& f) { return FindDim(f.id)->shortName; }

// What a field edits, as assistive technology reads it: its dimension's
// short name, or for the travel limits the words of their labels.
QString FieldName(const FieldSpec& f) {
  if (!IsTravelLimit(f)) return ShortName(f);
  return f.number == 26 ? "Reverse Arm to Cent Norm" : "Reverse Arm to Cent Max";
}

}  // namespace

DimEditor::DimEditor(MainPort& form, const EditorLayout& layout)
    : QDialog(form.Window()), form_(form), app_(form.App()), layout_(layout) {
  setWindowTitle(layout.caption);
  setFixedSize(layout.width, layout.height);
  setModal(true);
  setFont(ToQFont(kDialogFont));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clWhite));
  setPalette(pal);

  int maxNumber = 0;
  for (const FieldSpec& f : layout_.fields) maxNumber = std::max(maxNumber, f.number);
  edits_.assign(static_cast<size_t>(maxNumber + 1), nullptr);
  shown_.assign(static_cast<size_t>(maxNumber + 1), Shown{});
  buttons_.assign(static_cast<size_t>(maxNumber + 1), nullptr);
  for (const FieldSpec& f : layout_.fields) {
    const int y = 13 * f.row;
    NumberEdit* e = new NumberEdit(this, f.right ? 342 : 146, y, 40, 13);
    e->setFrame(false);
    e->setTextMargins(0, 0, 0, 0);
    e->setStyleSheet(QString("QLineEdit { border: 0px; padding: 0px; background: %1; }")
                         .arg(IsTravelLimit(f) ? "white" : "silver"));
    e->onKeyPress = [this, f](char key, const QString& text) { return KeyPress(f, key, text); };
    e->onExit = [this, f] { FieldExit(f); };
    e->setAccessibleName(FieldName(f));
    edits_[static_cast<size_t>(f.number)] = e;

    // Return in a field is the field's; on a focused small button, the button's.
    Button* b = new Button(this, QString(), f.right ? 194 : 0, y + 13 - f.buttonHeight, 8, f.buttonHeight);
    const int dim = layout_.buttonBase + f.number;
    b->onClick = [this, dim] { app_.screen.HiliteDim = dim; };
    b->setAccessibleName("Show " + FieldName(f));
    buttons_[static_cast<size_t>(f.number)] = b;
  }
  Close1 = new Button(this, "Close", 288, layout_.closeY, 89, 25);
  Reset = new Button(this, layout_.resetCaption, 288, layout_.resetY, 89, 25);
  Close1->onClick = [this] { Close1Click(); };
  Reset->onClick = [this] { ResetClick(); };
  Reset->installEventFilter(this);
  NameControls(this);
}

void DimEditor::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormActivate();
  Close1->setFocus();
}

// Esc closes the editor without storing the field being typed in: what was
// stored stays, and so do its undo entries.
void DimEditor::keyPressEvent(QKeyEvent* e) {
  if (EscapeDropsField(this, e)) app_.model.undo.EditDirty = 0;
  QDialog::keyPressEvent(e);
}

void DimEditor::FormActivate() {
  update();  // the labels are drawn with the text scale in force now
  FillFields();
}

void DimEditor::FillFields() {
  for (const FieldSpec& f : layout_.fields) {
    float v = 0;
    if (IsTravelLimit(f)) v = f.number == 26 ? app_.model.dims.frame.RevArmNorm : app_.model.dims.frame.RevArmMax;
    else v = GetDim(app_.model, f.id);
    Show(f, v);
  }
}

// A field shows its value with three decimals, in full. What it shows and
// the value behind it are kept, so that leaving the field unchanged stores
// that value bit for bit, not the shorter number its text reads as.
void DimEditor::Show(const FieldSpec& f, float v) {
  const QString text = QString::fromStdString(Str(v, 5, 3));
  Edit(f.number)->setText(text);
  shown_[static_cast<size_t>(f.number)] = {text, v};
}

void DimEditor::DrawLabels(Canvas& c) const {
  const ScreenState& s = app_.screen;
  c.SetFont(kDialogFont);
  for (const LabelSpec& l : layout_.labels) {
    const Pt p = TextPos(s, l.x, 13 * l.row);
    c.TextOut(p.x, p.y, l.text);
  }
  c.TextOut(1, RoundEven(static_cast<long double>(s.TextScaleY) * layout_.hint1Y), layout_.hint1);
  c.TextOut(1, RoundEven(static_cast<long double>(s.TextScaleY) * layout_.hint2Y), layout_.hint2);
}

std::vector<DimEditor::DrawnLabel> DimEditor::Labels() const {
  RecordingCanvas rec;
  DrawLabels(rec);
  std::vector<DrawnLabel> out;
  for (const auto& i : rec.items) out.push_back({i.text, i.pts[0]});
  return out;
}

void DimEditor::paintEvent(QPaintEvent* e) {
  QDialog::paintEvent(e);
  QtCanvas c(this);
  DrawLabels(c);
}

bool DimEditor::KeyPress(const FieldSpec& f, char key, const QString& text) {
  const bool accepted = key == '\b' || key == '\r' || key == '-' || key == '.' || (key >= '0' && key <= '9');
  if (!accepted) return false;
  if (!IsTravelLimit(f)) app_.model.undo.EditDirty = 1;
  if ((key == '-' || key == '.') && text.contains(QChar(key))) return false;
  if (key == '\r') {
    Close1->setFocus();  // leaving the field stores it; the dialog stays open
    return false;
  }
  return true;
}

void DimEditor::FieldExit(const FieldSpec& f) {
  ModelState& m = app_.model;
  NumberEdit* e = Edit(f.number);
  Shown& was = shown_[static_cast<size_t>(f.number)];
  const bool edited = e->isModified();
  e->setModified(false);
  float v = was.value;
  const bool read = (!edited && e->text() == was.text) || ReadNumber(e->text().toStdString(), v);
  if (IsTravelLimit(f)) {
    if (!read) v = f.number == 26 ? m.dims.frame.RevArmNorm : m.dims.frame.RevArmMax;
    if (f.number == 26) {
      SetNormalTravel(m, v);
    } else {
      form_.State().Change([v](AppState& a) {
        SetMaximumTravel(a.model, v);
        FollowRevArmRange(a);
      });
    }
    if (!read) FillFields();
    else was = {e->text(), f.number == 26 ? m.dims.frame.RevArmNorm : m.dims.frame.RevArmMax};
    return;
  }
  // A paste or a cut changes the text as typing does, and is undone likewise.
  if (edited) m.undo.EditDirty = 1;
  // Text that does not read as a number (an empty field, a lone "-", "1-2")
  // keeps the value already stored, as leaving the field unchanged does:
  // no undo entry.
  if (!read) {
    v = GetDim(m, f.id);
    m.undo.EditDirty = 0;
  }
  EditorFieldExit(m, f.id, v, ShortName(f));
  FollowFixedPivot(m, f.id);
  if (!read) Show(f, v);
  else was = {e->text(), GetDim(m, f.id)};
}

void DimEditor::DoReset() {
  ModelState& m = app_.model;
  ResetDimensions();
  EmptyDynVarList(m);
  m.ScrollInc = 0;
  for (int k = 1; k <= 4; ++k) {
    m.dyn.DynSel = k;
    ApplyDynVar(m);
  }
  FormActivate();
}

void DimEditor::ResetClick() {
  DoReset();
  ClearUndo(app_.model);
}

void DimEditor::ResetMouseDown() { DoReset(); }

bool DimEditor::eventFilter(QObject* o, QEvent* e) {
  if (o == Reset && e->type() == QEvent::MouseButtonPress) ResetMouseDown();
  return QDialog::eventFilter(o, e);
}

void DimEditor::Close1Click() {
  form_.State().Change([](AppState& a) {
    CalcCentre(a.model);
    SetRevArmBar(a, 0);
  });
  app_.model.FrontCOText.clear();
  app_.model.RearCOText.clear();
  accept();
}

TFrameDi::TFrameDi(MainPort& form) : DimEditor(form, FrameLayout()) {
  // The tab order the fields were made in.
  std::vector<QWidget*> order = {Edit(1), Edit(2), Edit(3), Close1, Reset};
  for (int n = 4; n <= 27; ++n) order.push_back(Edit(n));
  for (int n = 1; n <= 30; ++n) order.push_back(SmallButton(n));
  for (int n = 28; n <= 30; ++n) order.push_back(Edit(n));
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void TFrameDi::ResetDimensions() {
  form_.State().Change([](AppState& a) {
    ResetFrameDims(a.model);
    SetRevArmBarRange(a.model);
    FollowRevArmRange(a);
  });
}

TCylDimen::TCylDimen(MainPort& form) : DimEditor(form, CylLayout()) {
  std::vector<QWidget*> order;
  for (int n = 1; n <= 17; ++n) order.push_back(Edit(n));
  order.push_back(Close1);
  order.push_back(Reset);
  for (int n = 1; n <= 17; ++n) order.push_back(SmallButton(n));
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void TCylDimen::ResetDimensions() { ResetCylDims(app_.model); }

}  // namespace brevold
