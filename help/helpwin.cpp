// The instruction windows, filled from their text files, the user guide and
// the about box.
#include "help/helpwin.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextStream>
#include <QVBoxLayout>

#include "model/version.h"
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
  layout->addWidget(Browser);
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

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About These Programs");
  setFixedSize(340, 143);
  setModal(true);
  setFont(DialogFont());
  const char* lines[] = {
      "The BREVOLD valve gear programs were begun for an older",
      "operating system; these windowed versions grew from them",
      "and now run on the Linux desktop.",
      "Comments to",
      "The BREVOLD developers",
      "through the project's issue tracker",
      "(see README.md beside the program)",
      "Version " BREVOLD_VERSION,
  };
  int y = 8;
  for (const char* l : lines) {
    QLabel* label = new QLabel(l, this);
    label->move(12, y);
    label->adjustSize();
    y += 16;
  }
}

}  // namespace brevold
