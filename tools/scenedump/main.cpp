// scenedump FILE: prints the scene file; exit status 0 when it is sound, 1 when it
// is damaged, 2 when it cannot be read.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "tools/scenedump/SceneDump.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: scenedump FILE\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "scenedump: cannot open %s\n", argv[1]);
    return 2;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  if (in.bad()) {
    std::fprintf(stderr, "scenedump: cannot read %s\n", argv[1]);
    return 2;
  }
  std::cout << argv[1] << ": " << bytes.size() << " bytes\n";
  const int damage = DumpScene(bytes.data(), bytes.size(), std::cout);
  std::cout.flush();
  if (damage) std::cerr << "scenedump: " << argv[1] << " is damaged (" << damage << " reports)\n";
  return damage ? 1 : 0;
}
