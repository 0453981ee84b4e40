#pragma once
// The pipeline's millisecond clock: monotonic, 32-bit, wrapping.
#include <cstdint>
#include <functional>

uint32_t GetTickCount();

// Replaces the clock (an empty function restores the monotonic one). Set before frames flow.
void SetTickSource(std::function<uint32_t()> source);
