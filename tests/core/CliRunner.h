#pragma once
// Runs the real brumeleaf-cli binary as a user would, for the command-line tests.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "io/PictureFile.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

namespace brumeleaf::testing {

// Exit code and the two output streams apart.
struct CliOutcome {
  int code = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& s) {
  std::string quoted(1, '\'');
  quoted += s;
  quoted += '\'';
  return quoted;
}
inline std::string ShellQuotedPath(const std::filesystem::path& p) { return ShellQuoted(p.string()); }

inline std::string FileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the command line with `args` (already quoted for the shell), `input` on standard input;
// the streams go through files in `dir`, which are removed again.
inline CliOutcome Cli(const ScratchFolder& dir, const std::string& args, const std::string& input = "") {
  const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  std::string command = ShellQuoted(BRUMELEAF_CLI) + " " + args + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
  if (!input.empty()) command = "printf '%s' " + ShellQuoted(input) + " | " + command;
  const int status = std::system(command.c_str());
  CliOutcome o;
  o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  o.out = FileText(out);
  o.err = FileText(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return o;
}

// Exit code and both streams together, as a terminal shows them.
struct CliMergedOutcome {
  int exitCode = -1;
  std::string output;
};

inline CliMergedOutcome RunCli(const std::string& arguments) {
  const std::string command = std::string(BRUMELEAF_CLI) + " " + arguments + " 2>&1";
  CliMergedOutcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return outcome;
  std::array<char, 4096> buffer;
  while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) outcome.output += buffer.data();
  const int status = pclose(pipe);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

// A scratch folder named after the running test, with a synthetic photograph in it, removed
// after the test.
struct CliPhotoFixture : ::testing::Test {
  std::filesystem::path folder;
  std::filesystem::path photo;
  void MakePhoto(const std::string& prefix, int width, int height) {
    folder = std::filesystem::temp_directory_path() /
             (prefix + std::to_string(getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    photo = folder / "photo.png";
    SavePicture(SyntheticPhoto(width, height), photo.string());
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
};

}  // namespace brumeleaf::testing
