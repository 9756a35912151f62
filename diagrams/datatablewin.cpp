// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TDataTable: the pivot data table's window, its memo and Edit menu.
#include "diagrams/datatablewin.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "diagrams/datatable.h"
#include "state/appstate.h"
#include "platform/mainport.h"
#include "platform/accessible.h"
#include "platform/qtcanvas.h"
#include "platform/services.h"

namespace brevold {

TDataTable::TDataTable(MainPort& form) : QDialog(form.Window()), form_(form) {
  setWindowTitle("Pivot Data Table");
  setGeometry(150, 110, 620, 400);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* menu = new QMenuBar(this);
  layout->setMenuBar(menu);
  Close1 = menu->addAction("&Close ");
  Blank = menu->addAction("              ");
  Edit1 = menu->addMenu("&Edit");
  Cut1 = Edit1->addAction("Cu&t");
  Copy1 = Edit1->addAction("&Copy");
  Past1 = Edit1->addAction("&Paste");
  Edit1->addSeparator();
  SelectAll1 = Edit1->addAction("Select&All");
  Cut1->setEnabled(false);
  Copy1->setEnabled(false);
  DataMemo = new QPlainTextEdit(this);
  DataMemo->setFont(ToQFont(Font{FontFace::Serif, 9, false, false, clBlack}));
  DataMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(DataMemo);
  DataMemo->setAccessibleName("Pivot data");
  connect(Close1, &QAction::triggered, this, &QDialog::accept);
  connect(Edit1, &QMenu::aboutToShow, this, &TDataTable::Edit1Click);
  connect(Cut1, &QAction::triggered, this, &TDataTable::Cut1Click);
  connect(Copy1, &QAction::triggered, this, &TDataTable::Copy1Click);
  connect(Past1, &QAction::triggered, this, &TDataTable::Past1Click);
  connect(SelectAll1, &QAction::triggered, this, &TDataTable::SelectAll1Click);
  NameControls(this);
}

void TDataTable::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  setWindowTitle(QString::fromStdString(form_.App().screen.DataTableCaption.empty() ? std::string("Pivot Data Table")
                                                                                    : form_.App().screen.DataTableCaption));
  FormActivate();
}

void TDataTable::FormActivate() {
  DataMemo->clear();
  Cut1->setEnabled(false);
  Copy1->setEnabled(false);
  SelectAll1->setEnabled(true);
  QStringList text;
  for (const std::string& l : BuildDataTable(form_.App(), DateTimeText().toStdString())) text << QString::fromStdString(l);
  DataMemo->setPlainText(text.join('\n'));
}

void TDataTable::Edit1Click() {
  if (DataMemo->textCursor().hasSelection()) {
    Cut1->setEnabled(true);
    Copy1->setEnabled(true);
  }
}

void TDataTable::Cut1Click() {
  DataMemo->cut();
  SelectAll1->setEnabled(true);
}

void TDataTable::Copy1Click() {
  DataMemo->copy();
  SelectAll1->setEnabled(true);
}

void TDataTable::Past1Click() { DataMemo->paste(); }

void TDataTable::SelectAll1Click() {
  DataMemo->selectAll();
  Cut1->setEnabled(true);
  Copy1->setEnabled(true);
  SelectAll1->setEnabled(false);
}

}  // namespace brevold
