// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The instruction windows, filled from their text files, the user guide and
// the about box.
#include "help/helpwin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextStream>
#include <QVBoxLayout>
#include <algorithm>

#include "model/version.h"
#include "platform/accessible.h"
#include "platform/dialog.h"
#include "platform/services.h"

namespace brevold {

InstructionWindow::InstructionWindow(QWidget* parent, const QString& caption, const QString& fileName, bool memoFills)
    : QDialog(parent) {
  setWindowTitle(caption);
  setFixedSize(427, 273);
  setModal(true);
  Label1 = new QLabel(this);
  Label1->move(8, 8);
  Memo1 = new QPlainTextEdit("Memo1", this);
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setToolTip(fileName);
  Memo1->setGeometry(0, 0, memoFills ? 427 : 435, 273);
  FormCreate(fileName);
}

void InstructionWindow::FormCreate(const QString& fileName) {
  QFile file(FindDataFile(fileName));
  if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QTextStream in(&file);
    Memo1->setPlainText(in.readAll());
  } else {
    error_ = "Error Loading " + fileName + ": " + (file.exists() ? "File access denied" : "File not found");
    // Reported once; the program carries on and the window shows "Memo1".
    auto* box = new QMessageBox(QMessageBox::Critical, "BREVOLD", error_, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
  }
  Label1->setText(fileName);
  Label1->adjustSize();
}

TInst::TInst(QWidget* parent) : InstructionWindow(parent, "Instructions", "instruct.doc", true) {
  QFont f("Liberation Sans");
  f.setPixelSize(16);
  f.setBold(true);
  Label1->setFont(f);
  QPalette pal = Label1->palette();
  pal.setColor(QPalette::WindowText, Qt::blue);
  Label1->setPalette(pal);
  Label1->adjustSize();
}

TBrvSpIn::TBrvSpIn(QWidget* parent) : InstructionWindow(parent, "Brevold Special Instructions", "BrvSpIn.doc", false) {}

TUserGuide::TUserGuide(QWidget* parent) : QDialog(parent) {
  setWindowTitle("BREVOLD User Guide");
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Browser = new QTextBrowser(this);
  // Compiled into the program, so it is there wherever the program runs.
  Browser->setSource(QUrl("qrc:/help/guide.html"));
  Browser->setAccessibleName(windowTitle());
  layout->addWidget(Browser);
  NameControls(this);
  FitOnScreen(this, QSize(760, 620));
}

void TUserGuide::ShowSection(const QString& anchor) {
  if (anchor.isEmpty()) Browser->verticalScrollBar()->setValue(0);
  else Browser->scrollToAnchor(anchor);
}

TUserGuide* ShowGuide(QWidget* parent, const char* anchor) {
  auto* w = parent ? parent->findChild<TUserGuide*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
  if (!w) {
    w = new TUserGuide(parent);
    if (!parent) w->setAttribute(Qt::WA_DeleteOnClose);
  }
  w->show();
  w->ShowSection(QString::fromLatin1(anchor));
  w->raise();
  w->activateWindow();
  return w;
}

namespace {
// The folder the README is installed in: share/doc/brevold under the
// install prefix, named in full when the program runs from an installed copy.
QString ReadmeFolder() {
  const QString folder = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/doc/brevold");
  if (QFileInfo::exists(folder + "/README.md")) return folder + ")";
  return "share/doc/brevold under the install prefix)";
}
}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About These Programs");
  setModal(true);
  setFont(DialogFont());
  const QString lines[] = {
      "The BREVOLD valve gear programs were begun for an older",
      "operating system; these windowed versions grew from them",
      "and now run on the Linux desktop.",
      "Comments to",
      "The BREVOLD developers",
      "through the project's issue tracker",
      "(see README.md in",
      ReadmeFolder(),
      "Version " BREVOLD_VERSION,
      "",
      "Copyright (C) 2026 The BREVOLD developers",
      "Licence: GPL-3.0-or-later. This is free software: you may",
      "share and change it under that licence. It comes with",
      "NO WARRANTY; see the licence text, LICENSE, installed",
      "beside README.md.",
  };
  int y = 8, width = 340;
  for (const QString& l : lines) {
    if (!l.isEmpty()) {
      QLabel* label = new QLabel(l, this);
      label->move(12, y);
      label->adjustSize();
      width = std::max(width, label->width() + 24);
    }
    y += 16;
  }
  CloseButton = new QPushButton("Close", this);
  CloseButton->setDefault(true);
  CloseButton->setFixedSize(75, 25);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
  CloseButton->move(width - 12 - CloseButton->width(), y + 4);
  setFixedSize(width, y + 4 + CloseButton->height() + 10);
}

}  // namespace brevold
