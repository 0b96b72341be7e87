#include "scene/loading/PSKSceneLoader.h"
#include "scene/ContractPending.h"

PSKSceneLoader::PSKSceneLoader(std::int32_t id, SceneGraph* graph, const PSKSceneLoader* enclosing) : SceneLoader(id, graph), enclosing(enclosing), depth(enclosing ? enclosing->depth + 1 : 0) { ContractPending("PSKSceneLoader::PSKSceneLoader"); }
void PSKSceneLoader::LoadMemory(const std::uint8_t*, std::size_t, std::int32_t, float, float, bool) { ContractPending("PSKSceneLoader::LoadMemory"); }
std::int32_t PSKSceneLoader::MapIndex(std::uint32_t) { ContractPending("PSKSceneLoader::MapIndex"); }
std::uint32_t PSKSceneLoader::ReadTime(ChunkReader&, const char*) { ContractPending("PSKSceneLoader::ReadTime"); }
void PSKSceneLoader::ReadChunk(std::uint16_t, std::uint16_t, std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadChunk"); }
void PSKSceneLoader::ReadNodeHeader(Group&, std::uint16_t, std::uint16_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadNodeHeader"); }
void PSKSceneLoader::ReadAmbient(ChunkReader&) { ContractPending("PSKSceneLoader::ReadAmbient"); }
void PSKSceneLoader::ReadGroup(std::uint16_t, std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadGroup"); }
void PSKSceneLoader::ReadMesh(std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadMesh"); }
void PSKSceneLoader::ReadCamera(std::uint16_t, std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadCamera"); }
void PSKSceneLoader::ReadLight(std::uint16_t, std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadLight"); }
void PSKSceneLoader::ReadVertexBuffer(std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadVertexBuffer"); }
void PSKSceneLoader::ReadIndexBuffer(std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadIndexBuffer"); }
void PSKSceneLoader::ReadMaterial(std::uint16_t, std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadMaterial"); }
void PSKSceneLoader::ReadTexture(std::uint32_t, ChunkReader&) { ContractPending("PSKSceneLoader::ReadTexture"); }
