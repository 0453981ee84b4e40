#include "effects/EffectChain.h"

void CEffectChain::RunChain(uint8_t*) {}
