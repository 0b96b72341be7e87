#include "scene/Preparable.h"

Preparable::~Preparable() = default;
