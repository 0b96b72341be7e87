#include "scene/DefaultProcessor.h"
#include "scene/ContractPending.h"

void DefaultProcessor::DrawSprites() { ContractPending("DefaultProcessor::DrawSprites"); }
