// Which render, texture stage and sampler state values the layer can honour. A value
// outside them is reported (stderr) and refused with D3DERR_INVALIDCALL, so that a
// show never draws differently from what it asked for without a word.
#pragma once

#include "platform/d3d9/d3d9types.h"

HRESULT CheckRenderState(D3DRENDERSTATETYPE state, DWORD value);
HRESULT CheckStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
HRESULT CheckSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
