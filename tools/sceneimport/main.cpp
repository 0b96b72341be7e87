#include <iostream>

#include "tools/sceneimport/ImportCommand.h"

int main(int argc, char** argv) { return sceneimport::SceneImportMain(argc, argv, std::cout, std::cerr); }
