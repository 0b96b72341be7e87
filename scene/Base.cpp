#include "scene/Base.h"

#include "scene/SceneGraph.h"

Base::Base(std::int32_t id, SceneGraph* graph) : id(id), cache(graph->cache.get()), graph(graph) {}

void Base::Link() {}

Base::~Base() = default;
