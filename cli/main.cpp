// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli's entry point: the command line to RunCli. Where Qt is built
// in, the picture commands are in a module loaded only for them, so that the
// others start without Qt.
#include <csignal>
#include <iostream>

#include "cli/cli.h"
#ifdef BREVOLD_PICTURES_MODULE
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

namespace {

// The picture module beside the program (in the build tree), else where an
// installation puts it relative to the program.
std::string ModulePath() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = ".";
  if (n > 0) {
    dir.assign(self, static_cast<size_t>(n));
    dir = dir.substr(0, dir.find_last_of('/'));
  }
  const std::string name = "/" BREVOLD_PICTURES_MODULE;
  const std::string beside = dir + name;
  if (access(beside.c_str(), R_OK) == 0) return beside;
  return dir + "/" BREVOLD_PICTURES_DIR + name;
}

int RunPictureCommand(const std::vector<std::string>& args) {
  const std::string path = ModulePath();
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  using Main = int (*)(const std::vector<std::string>*);
  Main run = module ? reinterpret_cast<Main>(dlsym(module, "BrevoldPicturesMain")) : nullptr;
  if (!run) {
    const char* why = dlerror();
    std::cerr << "brevold-cli: " << args[0] << " needs the picture module " << path << ": " << (why ? why : "not found")
              << '\n';
    return 2;
  }
  return run(&args);
}

}  // namespace
#endif

int main(int argc, char** argv) {
  // A write that meets the file-size limit fails with a message (an existing
  // file kept, the temporary one removed) instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef BREVOLD_PICTURES_MODULE
  if (!args.empty() && (args[0] == "frame" || args[0] == "diagram")) return RunPictureCommand(args);
#endif
  return brevold::RunCli(args, std::cout, std::cerr);
}
