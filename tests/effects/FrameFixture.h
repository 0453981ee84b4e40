#pragma once
// A video frame for the tests, with pixel access by column and bottom-up row, and a bounded wait.
#include "effects/FrameBuffer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Bgr& p)
{
    return os << "(" << p.b << "," << p.g << "," << p.r << ")";
}

struct TestFrame {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kFrameBytes, 0);

    explicit TestFrame(Bgr fill = {0, 0, 0})
    {
        for (size_t i = 0; i < kFrameBytes; i += 3) {
            bytes[i] = uint8_t(fill.b);
            bytes[i + 1] = uint8_t(fill.g);
            bytes[i + 2] = uint8_t(fill.r);
        }
    }
    uint8_t* data() { return bytes.data(); }
    Bgr At(int x, int y) const
    {
        const uint8_t* p = &bytes[size_t(y) * kFrameStride + size_t(x) * 3];
        return {p[0], p[1], p[2]};
    }
    void Set(int x, int y, Bgr v)
    {
        uint8_t* p = &bytes[size_t(y) * kFrameStride + size_t(x) * 3];
        p[0] = uint8_t(v.b);
        p[1] = uint8_t(v.g);
        p[2] = uint8_t(v.r);
    }
};

// Polls until `done` holds; false after 30 s (a hang, not a slow machine).
inline bool WaitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
