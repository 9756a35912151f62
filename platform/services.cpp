// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sounds, the system beep, the date and time text, and where data files are found.
#include "platform/services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QSoundEffect>
#include <QUrl>

namespace brevold {

void Beep() { QApplication::beep(); }

SoundPlayer::SoundPlayer() = default;
SoundPlayer::~SoundPlayer() = default;

QString FindDataFile(const QString& name) {
  if (QFileInfo::exists(name) || QFileInfo(name).isAbsolute()) return name;
  const QString bin = QCoreApplication::applicationDirPath();
  // Beside the program in a build tree; in share/brevold once installed.
  for (const QString& folder : {bin, bin + "/../share/brevold"}) {
    const QString path = folder + "/" + name;
    if (QFileInfo::exists(path)) return QFileInfo(path).absoluteFilePath();
  }
  return name;
}

QString ChooseFile(QFileDialog& dlg, std::string& folder, const std::string& otherwise) {
  const std::string& start = folder.empty() ? otherwise : folder;
  if (!start.empty()) dlg.setDirectory(QString::fromStdString(start));
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
  const QString path = dlg.selectedFiles().front();
  folder = QFileInfo(path).absolutePath().toStdString();
  return path;
}

void SoundPlayer::Play(const QString& fileName) {
  ++plays_;
  const QFileInfo file(FindDataFile(fileName));
  if (!file.exists()) return;
  auto& effect = effects_[file.absoluteFilePath()];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
  }
  effect->setVolume(static_cast<float>(volume_));
  effect->stop();
  effect->play();
}

void SoundPlayer::SetVolume(int left, int right) {
  volume_ = ((left & 0xFFFF) + (right & 0xFFFF)) / 2.0 / 65535.0;
  for (auto& [name, effect] : effects_) effect->setVolume(static_cast<float>(volume_));
}

QString DateTimeText() { return DateTimeText(QDateTime::currentDateTime()); }

QString DateTimeText(const QDateTime& now) {
  const QLocale loc;
  // The long time format without a time zone, as the captions always had it.
  QString timeFormat = loc.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
  return loc.toString(now.date(), QLocale::ShortFormat) + "   " + loc.toString(now.time(), timeFormat.trimmed());
}

}  // namespace brevold
