// Writes brumeleaf-cli's manual page and bash completion at build time:
//   brumeleaf-cli-docs MANPAGE COMPLETION
// Both come from the same command table and option declarations as the program's --help.

#include <cstdio>
#include <fstream>
#include <string>

#include "cli/Manual.h"

namespace {

bool Write(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "brumeleaf-cli-docs: cannot write %s\n", path);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: brumeleaf-cli-docs MANPAGE COMPLETION\n");
    return 2;
  }
  const bool ok = Write(argv[1], brumeleaf::cli::ManPage()) && Write(argv[2], brumeleaf::cli::BashCompletion());
  return ok ? 0 : 1;
}
