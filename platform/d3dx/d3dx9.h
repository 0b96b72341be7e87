// The Direct3D extension library subset the player uses: math (d3dx9math.h) and
// picture loading and saving (d3dx9tex.h). Show code includes only this header.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/d3dx9math.h"
#include "platform/d3dx/d3dx9tex.h"
