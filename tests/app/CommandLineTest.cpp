#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Parse(std::vector<const char*> args, StudioOptions& options, std::string& error)
{
    args.insert(args.begin(), "korvel");
    return ParseCommandLine(int(args.size()), args.data(), options, error);
}

}  // namespace

TEST(CommandLine, ReadsTheHeadlessOptions)
{
    StudioOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--headless", "--frames", "20", "--seconds", "1.5"}, options, error)) << error;
    EXPECT_TRUE(options.headless);
    EXPECT_EQ(options.frames, 20);
    EXPECT_EQ(options.seconds, 1.5);
}

TEST(CommandLine, RejectsBadArguments)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--frames"}, {"--frames", "x"}, {"--frames", "-1"}, {"--frames", "5x"}, {"--seconds", "-2"},
        {"--seconds", "nan"}, {"--bogus"},
    };
    for (const auto& args : bad) {
        StudioOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}
