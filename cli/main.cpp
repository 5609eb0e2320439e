#include <cstdio>

int main(int argc, char** argv) {
  (void)argv;
  if (argc < 2) {
    std::fprintf(stderr, "usage: brumeleaf-cli COMMAND ...\n");
    return 2;
  }
  return 0;
}
