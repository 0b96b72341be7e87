#include "scene/loading/PSKSceneLoader.h"
#include "scene/ContractPending.h"

void PSKSceneLoader::ReadCameraActivation(Camera&, ChunkReader&) { ContractPending("PSKSceneLoader::ReadCameraActivation"); }
void PSKSceneLoader::ReadPRSController(ChunkReader&) { ContractPending("PSKSceneLoader::ReadPRSController"); }
void PSKSceneLoader::ReadVertexController(ChunkReader&) { ContractPending("PSKSceneLoader::ReadVertexController"); }
void PSKSceneLoader::ReadSampleFloatController(ChunkReader&) { ContractPending("PSKSceneLoader::ReadSampleFloatController"); }
