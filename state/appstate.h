// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The one object that holds all of the program's state; start-up creates it
// once and every window works on it by reference.
#pragma once
#include <string>

#include "model/state.h"
#include "state/background.h"
#include "state/controls.h"
#include "state/diagramstate.h"
#include "state/linesstate.h"
#include "state/screen.h"

namespace brevold {

// The folders the file dialogs last chose, for this run: each dialog opens
// where its kind of file was last read or written.
struct FileFolders {
  std::string gears;     // .dmi and .json gears
  std::string pictures;  // exported pictures (starts where the gears are)
  std::string tables;    // CSV tables (starts where the gears are)
};

struct AppState {
  ModelState model;
  ScreenState screen;
  LinesDialogState lines;
  MainControls controls;  // the main window's strip and two-state items
  DiagramState diagrams;  // shared by the four diagram windows
  FileFolders folders;
  BackgroundThreads background;  // searches left running by windows that closed
};

}  // namespace brevold
