// cflpack: writes, lists and extracts resource archives, and appends an archive
// to a copy of the player to make a single self-contained show file.
#include <cstdio>
#include <string>

#include "tools/cflpack/Commands.h"

int Failure(const std::string& message) {
  std::fprintf(stderr, "cflpack: %s\n", message.c_str());
  return 1;
}

int Usage() {
  std::fputs(
      "usage: cflpack create OUT [--filter FILTER] PATH...\n"
      "       cflpack list ARCHIVE\n"
      "       cflpack extract ARCHIVE [DIR]\n"
      "       cflpack append PLAYER ARCHIVE OUT\n"
      "FILTER: none zlib delta8 delta16 delta32 delta8+zlib delta16+zlib delta32+zlib auto\n"
      "        (default zlib)\n"
      "A folder PATH stores every file under it, named relative to that folder with '/'\n"
      "separators; a file PATH is stored under its file name.\n",
      stderr);
  return 2;
}

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const Arguments args(argv + 2, argv + argc);
  if (command == "create") return CreateCommand(args);
  if (command == "list") return ListCommand(args);
  if (command == "extract") return ExtractCommand(args);
  if (command == "append") return AppendCommand(args);
  if (command == "--help" || command == "-h") {
    Usage();
    return 0;
  }
  return Usage();
}
