// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The picture commands (frame, diagram) as a module that brevold-cli loads
// only when one is asked for: the commands that draw nothing then start
// without Qt and its libraries. The module runs the whole command line, so a
// picture command behaves exactly as it does in a program with Qt built in.
#include <iostream>
#include <string>
#include <vector>

#include "cli/frame.h"

extern "C" __attribute__((visibility("default"))) int BrevoldPicturesMain(const std::vector<std::string>* args) {
  return brevold::RunCli(*args, std::cout, std::cerr, &brevold::FrameCommandMain, &brevold::DiagramCommandMain);
}
