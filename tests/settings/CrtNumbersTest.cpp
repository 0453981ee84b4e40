#include "settings/CrtNumbers.h"

#include <gtest/gtest.h>

TEST(CrtNumbers, WToIReadsLikeTheRuntime)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"", 0}, {"42", 42}, {"  -17x", -17}, {"+5", 5}, {"\t\n 8", 8}, {"x1", 0}, {"- 1", 0},
        {"1.9", 1}, {"2147483647", 2147483647}, {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"-99999999999999999999", -2147483647 - 1}, {"007", 7},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(WToI(text), value) << '"' << text << '"';
}

TEST(CrtNumbers, WcsToULHexReadsLikeTheRuntime)
{
    const std::pair<const char*, uint32_t> cases[] = {
        {"ffffff", 0xFFFFFF}, {"0xffffff", 0xFFFFFF}, {"0XFF", 0xFF}, {"0", 0}, {"", 0}, {"g1", 0},
        {"  1aZ", 0x1A}, {"0x", 0}, {"0xg", 0}, {"ffffffff", 0xFFFFFFFF}, {"100000000", 0xFFFFFFFF},
        {"-1", 0xFFFFFFFF}, {"+10", 0x10},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(WcsToULHex(text), value) << '"' << text << '"';
}
