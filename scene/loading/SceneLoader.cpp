#include "scene/loading/SceneLoader.h"

#include "archive/ReadWholeFile.h"

void SceneLoader::LoadFile(const char* path, std::int32_t parentId, float timeOffset,
                           float timeScale, bool looping) {
  WholeFile file = ReadWholeFile(path);
  const char* previous = fileName;
  fileName = path;
  LoadMemory(file.data.get(), static_cast<std::size_t>(file.size), parentId, timeOffset,
             timeScale, looping);
  fileName = previous;
}
