// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Beep, sound files and the date and time as the captions show them.
#pragma once
#include <QString>
#include <map>
#include <string>
#include <memory>

class QDateTime;
class QFileDialog;
class QSoundEffect;

namespace brevold {

void Beep();

// Plays sound files by name (looked up in the current folder) without
// waiting for their end; a missing file plays nothing and is not reported.
class SoundPlayer {
 public:
  SoundPlayer();
  ~SoundPlayer();
  void Play(const QString& fileName);
  // Volume of both channels, 0..0xFFFF (0x8000 = half).
  void SetVolume(int left, int right);
  double Volume() const { return volume_; }
  int PlayCount() const { return plays_; }

 private:
  double volume_ = 0.5;
  int plays_ = 0;
  std::map<QString, std::unique_ptr<QSoundEffect>> effects_;  // one per file
};

// A data file by name: in the current folder, else beside the program (a
// build tree), else in ../share/brevold from it (an installed program), so
// that the program finds its texts and sounds wherever it is started from.
QString FindDataFile(const QString& name);

// Runs a file dialog in `folder` (or in `otherwise` while `folder` is
// empty) and returns the file chosen, or "" when cancelled; the chosen
// file's folder is kept in `folder` for the next time.
QString ChooseFile(QFileDialog& dlg, std::string& folder, const std::string& otherwise = "");

// "date   time" in the locale's short date and long time formats: now, or
// at `at`.
QString DateTimeText();
QString DateTimeText(const QDateTime& at);

}  // namespace brevold
