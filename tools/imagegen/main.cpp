// imagegen: makes the pictures of the sample show and of the end-to-end test shows,
// so that every picture the repository carries can be made again from source.
//   imagegen sample examples/sample
//   imagegen tests tests/data
#include <cstdio>
#include <string>

#include "tools/imagegen/Pictures.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: imagegen sample FOLDER | imagegen tests DATAROOT\n", stderr);
    return 2;
  }
  const std::string what = argv[1];
  if (what == "sample") return WriteSamplePictures(argv[2]) ? 0 : 1;
  if (what == "tests") return WriteTestPictures(argv[2]) ? 0 : 1;
  std::fputs("usage: imagegen sample FOLDER | imagegen tests DATAROOT\n", stderr);
  return 2;
}
