// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli's entry point: the command line to RunCli, with the drawing commands where Qt is built in.
#include <csignal>
#include <iostream>

#include "cli/cli.h"
#ifdef BREVOLD_HAVE_FRAME
#include "cli/frame.h"
#endif

int main(int argc, char** argv) {
  // A write that meets the file-size limit fails with a message (an existing
  // file kept, the temporary one removed) instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef BREVOLD_HAVE_FRAME
  return brevold::RunCli(args, std::cout, std::cerr, &brevold::FrameCommandMain, &brevold::DiagramCommandMain);
#else
  return brevold::RunCli(args, std::cout, std::cerr);
#endif
}
