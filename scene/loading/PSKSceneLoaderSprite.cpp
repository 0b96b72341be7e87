#include "scene/loading/PSKSceneLoader.h"
#include "scene/ContractPending.h"

void PSKSceneLoader::ReadSprite(std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadSprite"); }
