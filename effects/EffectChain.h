#pragma once
#include <cstdint>

// The per-frame effects chain. For now it passes frames through unchanged.
class CEffectChain {
public:
    // Works on one 320×240 bottom-up BGR frame in place.
    void RunChain(uint8_t* frame);
};
