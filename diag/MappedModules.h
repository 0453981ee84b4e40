#pragma once
// The file each of a few addresses is mapped from, read from /proc/self/maps with open() and read()
// only, so that a signal handler may ask while the allocator's lock is held.
#include <cstddef>
#include <cstdint>

struct MappedPlace {
    static constexpr size_t kMaxPath = 260;
    char path[kMaxPath + 1] = {};  // empty for an address outside any file (or not found)
    uint64_t fileOffset = 0;       // where in that file the address lies
};

// Fills places[i] for addresses[i]; false when the map could not be read.
bool FindMappedPlaces(const uintptr_t* addresses, int count, MappedPlace* places);
