// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "helpers.h"
#include "model/dimfile.h"

namespace brevold {

namespace fs = std::filesystem;

class SaveFileTest : public ::testing::Test {
 protected:
  SaveFileTest() : dir(fs::temp_directory_path() / ("brevold-savefile-" + std::to_string(::getpid()))) {
    fs::create_directories(dir);
  }
  ~SaveFileTest() override { fs::remove_all(dir); }
  std::string Path(const char* name) const { return (dir / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static FileResult Save(const std::string& path, const std::string& text) {
    return ReplaceFile(path, text.data(), text.size());
  }
  // Every entry of the folder but the ones named.
  size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }
  fs::path dir;
};

// A file with two names is written in place: both names see the new
// content, and they are still one file.
TEST_F(SaveFileTest, AFileWithSeveralNamesStaysOneFile) {
  ASSERT_TRUE(Save(Path("a.csv"), "old content, longer than the new\n").ok);
  ASSERT_EQ(::link(Path("a.csv").c_str(), Path("b.csv").c_str()), 0);
  ASSERT_TRUE(Save(Path("b.csv"), "new\n").ok);
  EXPECT_EQ(Read(Path("a.csv")), "new\n");
  struct stat a {}, b {};
  ASSERT_EQ(::stat(Path("a.csv").c_str(), &a), 0);
  ASSERT_EQ(::stat(Path("b.csv").c_str(), &b), 0);
  EXPECT_EQ(a.st_ino, b.st_ino);
  EXPECT_EQ(a.st_nlink, 2u);
  EXPECT_EQ(Entries(), 2u);
}

// A pipe is written, not replaced: a reader gets the content whole; a pipe
// with no reader is refused at once rather than waited on.
TEST_F(SaveFileTest, APipeIsWrittenWhenReadAndRefusedWhenNot) {
  const std::string fifo = Path("pipe.dmi");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  FileResult lonely = Save(fifo, "nobody listens");
  EXPECT_FALSE(lonely.ok);
  EXPECT_EQ(lonely.message, "No program is reading the pipe");

  std::string got;
  std::thread reader([&] { got = Read(fifo); });
  // The reader's open comes first; until then the pipe has no reader.
  FileResult r;
  for (int tries = 0; tries < 500; ++tries) {
    r = Save(fifo, std::string(3000, 'x') + "end");
    if (r.ok || r.message != "No program is reading the pipe") break;
    ::usleep(2000);
  }
  reader.join();
  EXPECT_TRUE(r.ok) << r.message;
  EXPECT_EQ(got, std::string(3000, 'x') + "end");
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// An open stream named as a file is written where it stands: a pipe behind
// /dev/fd/N gets the bytes, a file opened to append keeps what it had.
TEST_F(SaveFileTest, AnOpenStreamIsWrittenWhereItStands) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_TRUE(Save("/dev/fd/" + std::to_string(ends[1]), "through the pipe").ok);
  ::close(ends[1]);
  char buf[64] = {};
  EXPECT_EQ(::read(ends[0], buf, sizeof buf), 16);
  EXPECT_STREQ(buf, "through the pipe");
  ::close(ends[0]);

  ASSERT_TRUE(Save(Path("log.txt"), "first\n").ok);
  const int fd = ::open(Path("log.txt").c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(Save("/proc/self/fd/" + std::to_string(fd), "second\n").ok);
  ::close(fd);
  EXPECT_EQ(Read(Path("log.txt")), "first\nsecond\n");
}

// What cannot be written is refused with nothing changed: a folder, a
// socket, a link that names nothing, links in a loop.
TEST_F(SaveFileTest, WhatCannotBeWrittenIsRefusedAndLeftAsItWas) {
  fs::create_directory(Path("folder.dmi"));
  fs::create_symlink(Path("missing.dmi"), Path("dangling.dmi"));
  fs::create_symlink(Path("loop2.dmi"), Path("loop1.dmi"));
  fs::create_symlink(Path("loop1.dmi"), Path("loop2.dmi"));
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sockPath = Path("sock.dmi");
  ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
  std::strcpy(addr.sun_path, sockPath.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  const size_t before = Entries();
  struct Case {
    const char* name;
    const char* message;
  };
  for (const Case& c : {Case{"folder.dmi", "File access denied (a folder cannot be written over)"},
                        Case{"sock.dmi", "File access denied (only a file, a pipe or a character device can be written)"},
                        Case{"dangling.dmi", "File not found (the link names no file)"},
                        Case{"loop1.dmi", "File not found (the links lead round in a loop)"}}) {
    const FileResult r = Save(Path(c.name), "gear");
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_EQ(r.message, c.message) << c.name;
  }
  ::close(sock);
  EXPECT_EQ(Entries(), before);
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(Path("folder.dmi"))));
  EXPECT_TRUE(fs::is_socket(fs::symlink_status(Path("sock.dmi"))));
  EXPECT_EQ(fs::read_symlink(Path("dangling.dmi")), Path("missing.dmi"));
  EXPECT_FALSE(fs::exists(Path("missing.dmi")));
}

// Devices made for the test beside it, so that a fault replaces only these:
// the null device takes the content, the full one says the disk is full,
// and both are devices afterwards.
TEST_F(SaveFileTest, ACharacterDeviceIsWrittenAndStaysADevice) {
  if (::geteuid() != 0) GTEST_SKIP() << "making device nodes needs root";
  ASSERT_EQ(::mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  ASSERT_EQ(::mknod(Path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
  EXPECT_TRUE(Save(Path("null"), "gear").ok);
  const FileResult full = Save(Path("full"), "gear");
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.message, "Disk full");
  for (const char* name : {"null", "full"}) {
    struct stat st {};
    ASSERT_EQ(::lstat(Path(name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << name;
  }
  EXPECT_EQ(Entries(), 2u);
}

// A save ended by SIGTERM part-way leaves the old file and no hidden file.
TEST_F(SaveFileTest, ASaveEndedBySigtermLeavesNothingBehind) {
  ASSERT_TRUE(Save(Path("big.dmi"), "old").ok);
  const std::string target = Path("big.dmi");
  // The child is forked as it stands, so it saves over this test's file.
  ::testing::FLAGS_gtest_death_test_style = "fast";
  for (long delayUs : {3000L, 11000L, 23000L}) {
    EXPECT_EXIT(
        {
          // A timer sends SIGTERM while large saves follow one another.
          timer_t timer;
          sigevent ev{};
          ev.sigev_notify = SIGEV_SIGNAL;
          ev.sigev_signo = SIGTERM;
          ::timer_create(CLOCK_MONOTONIC, &ev, &timer);
          itimerspec when{};
          when.it_value.tv_nsec = delayUs * 1000;
          const std::string content(16 << 20, 'g');
          ::timer_settime(timer, 0, &when, nullptr);
          for (;;) ReplaceFile(target, content.data(), content.size());
        },
        ::testing::KilledBySignal(SIGTERM), "");
    for (const auto& e : fs::directory_iterator(dir))
      EXPECT_FALSE(IsSaveTemporary(e.path().string())) << e.path();
    const uintmax_t size = fs::file_size(target);
    EXPECT_TRUE(size == 3 || size == (16u << 20)) << size;
  }
}

// A hidden file that a save cut short by SIGKILL may leave is not read as
// a gear, though it holds one.
TEST_F(SaveFileTest, ASavesHiddenFileIsNeverTakenForAGear) {
  ModelState s = test::Started();
  ASSERT_TRUE(SaveDimensions(s, Path(".brevold-save-Ab12Cd")).ok);
  ASSERT_TRUE(SaveDimensions(s, Path("kept.dmi")).ok);
  DimFileImage img;
  const FileResult r = ReadDimFile(Path(".brevold-save-Ab12Cd"), img);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Not a gear: the unfinished new content of a save that was cut short");
  EXPECT_TRUE(ReadDimFile(Path("kept.dmi"), img).ok);
  EXPECT_FALSE(IsSaveTemporary(Path("a.brevold-save-x")));
}

}  // namespace brevold
