// A stop (Ctrl-C, SIGTERM) while a picture is being saved: nothing is written, the old file
// stays, no temporary file remains, and the command line exits 1.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "TestPictures.h"
#include "io/FileBytes.h"
#include "io/PictureFile.h"

extern char** environ;

namespace brumeleaf {
namespace {

using testing::ScratchFolder;

// A busy picture, so that the encoders have real work to do.
Bitmap Busy(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < width * 3; ++x) row[x] = static_cast<std::uint8_t>((x * 131) ^ (y * 71) ^ (x * y));
  }
  return b;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(InterruptedSave, ARaisedStopWritesNothingAndKeepsTheOldFile) {
  ScratchFolder dir("stop-save");
  const Bitmap picture = Busy(61, 37);
  std::atomic<bool> stop{true};
  for (const char* name : {"a.png", "a.jpg", "a.bmp"}) {
    const std::string path = dir.File(name);
    std::ofstream(path) << "old";
    SaveOptions options;
    options.stop = &stop;
    EXPECT_THROW(SavePicture(picture, path, options), SaveStopped) << name;
    EXPECT_EQ(Contents(path), "old") << name;
  }
  const std::uint8_t bytes[] = {1, 2, 3};
  EXPECT_THROW(WriteFileReplacing(dir.File("raw"), bytes, &stop), SaveStopped);
  EXPECT_EQ(dir.Entries(), 3);  // the three old files, no temporary one
  // Not raised: the save goes through.
  stop = false;
  SaveOptions options;
  options.stop = &stop;
  SavePicture(picture, dir.File("a.png"), options);
  EXPECT_EQ(LoadPicture(dir.File("a.png")).Width(), 61);
}

TEST(InterruptedSave, AStopDuringTheEncodingEndsItEarly) {
  ScratchFolder dir("stop-encode");
  const Bitmap picture = Busy(3000, 2000);
  for (const char* name : {"big.png", "big.jpg"}) {
    std::atomic<bool> stop{false};
    SaveOptions options;
    options.stop = &stop;
    const auto start = std::chrono::steady_clock::now();
    std::thread raise([&stop] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      stop = true;
    });
    EXPECT_THROW(SavePicture(picture, dir.File(name), options), SaveStopped) << name;
    raise.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << name;
  }
  EXPECT_EQ(dir.Entries(), 0);
}

// Starts brumeleaf-cli, sends `signal` once `folder` holds more than `entries` entries (the
// save's temporary file has appeared, so the signal arrives during the save whatever the
// machine's speed) or after `delay` at the latest, and returns its exit status.
int SignalledCli(const std::vector<std::string>& args, int signal, std::chrono::milliseconds delay,
                 const std::filesystem::path& folder, std::size_t entries) {
  std::vector<std::string> all{BRUMELEAF_CLI};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  const auto until = std::chrono::steady_clock::now() + delay;
  auto count = [&folder] {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
  };
  while (std::chrono::steady_clock::now() < until && count() <= entries)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ::kill(pid, signal);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(InterruptedSave, TheCommandLineWritesNothingAndExitsOne) {
  ScratchFolder dir("stop-cli");
  const std::string input = dir.File("in.bmp");
  SavePicture(Busy(4000, 3000), input);
  for (const int signal : {SIGINT, SIGTERM}) {
    const std::string output = dir.File("out.png");
    const int status =
        SignalledCli({"convert", input, output}, signal, std::chrono::seconds(10), dir.File(""), 1);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1) << signal;
    EXPECT_FALSE(std::filesystem::exists(output)) << signal;
    EXPECT_EQ(dir.Entries(), 1) << signal;  // the input only: no temporary file
  }
}

}  // namespace
}  // namespace brumeleaf
