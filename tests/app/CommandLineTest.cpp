#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <array>
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

TEST(CommandLine, ReadsEachSource)
{
    const struct {
        const char* arg;
        StudioSource source;
        std::string path;
        std::array<int, 4> rect;
    } cases[] = {
        {"camera", StudioSource::Camera, "", {}},
        {"picture:/a/b c.bmp", StudioSource::Picture, "/a/b c.bmp", {}},
        {"media:clip.wmv", StudioSource::Media, "clip.wmv", {}},
        {"media:x:y", StudioSource::Media, "x:y", {}},
        {"screen:0,0,640,480", StudioSource::Screen, "", {0, 0, 640, 480}},
        {"screen:-10,5,20,6", StudioSource::Screen, "", {-10, 5, 20, 6}},
    };
    for (const auto& c : cases) {
        StudioOptions options;
        std::string error;
        ASSERT_TRUE(Parse({"--headless", "--source", c.arg}, options, error)) << c.arg << ": " << error;
        EXPECT_EQ(options.source, c.source) << c.arg;
        EXPECT_EQ(options.sourcePath, c.path) << c.arg;
        EXPECT_EQ(options.screenRect, c.rect) << c.arg;
    }
    StudioOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--dump", "out dir", "--photo"}, options, error)) << error;
    EXPECT_EQ(options.dumpFolder, "out dir");
    EXPECT_TRUE(options.photo);
    EXPECT_EQ(options.source, StudioSource::Camera);
}

TEST(CommandLine, RejectsBadArguments)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--frames"}, {"--frames", "x"}, {"--frames", "-1"}, {"--frames", "5x"}, {"--seconds", "-2"},
        {"--seconds", "nan"}, {"--bogus"}, {"--source"}, {"--source", "webcam"}, {"--source", "picture:"},
        {"--source", "media:"}, {"--source", "screen:1,2,3"}, {"--source", "screen:1,2,3,4,5"},
        {"--source", "screen:10,10,10,20"}, {"--source", "screen:0,0,a,5"}, {"--source", "screen:"},
        {"--dump"}, {"--dump", ""},
    };
    for (const auto& args : bad) {
        StudioOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}
