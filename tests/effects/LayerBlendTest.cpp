// The blend kernels against the rules written in double precision, for every pair of bytes: the kernels
// use integer forms and a run length the compiler vectorises, so each pair is placed at its own offset.
#include "effects/LayerBlend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

struct KernelCase {
    const char* name;
    void (*kernel)(uint8_t*, const uint8_t*, size_t);
    std::function<int(int v, int d)> rule;
};

}  // namespace

TEST(LayerBlend, KernelsFollowTheRulesForEveryPairOfBytes)
{
    const KernelCase cases[] = {
        {"replace", &BlendReplace, [](int v, int d) { return v != 0 ? v : d; }},
        {"replace dimmed", &BlendReplaceDimmed, [](int v, int d) { return v != 0 ? int(std::trunc(v * 0.7)) : d; }},
        {"half lift", &BlendHalfLift, [](int v, int d) { return std::min(255, int(std::trunc((v + d) * 0.5 + 50))); }},
        {"add", &BlendAdd, [](int v, int d) { return std::min(255, d + v); }},
    };
    std::vector<uint8_t> layer(65536), frame(65536);
    for (const KernelCase& c : cases) {
        for (int i = 0; i < 65536; ++i) {
            layer[i] = uint8_t(i >> 8);
            frame[i] = uint8_t(i & 0xFF);
        }
        c.kernel(frame.data(), layer.data(), frame.size());
        int wrong = 0;
        for (int i = 0; i < 65536; ++i)
            if (frame[i] != c.rule(i >> 8, i & 0xFF) && wrong++ < 3)
                ADD_FAILURE() << c.name << ": V=" << (i >> 8) << " D=" << (i & 0xFF) << " gave " << int(frame[i]);
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

TEST(LayerBlend, ClearWhiteTurnsOnly255To0)
{
    std::vector<uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = uint8_t(i);
    ClearWhite(bytes.data(), bytes.size());
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(bytes[i], i);
    EXPECT_EQ(bytes[255], 0);
}
