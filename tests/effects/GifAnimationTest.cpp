// Decoding on the loader thread and stepping through the frames.
#include "effects/GifAnimation.h"

#include "FrameFixture.h"
#include "GifFixture.h"
#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// Lets the loader decode frames only as far as the test allows.
class Gate {
public:
    bool Pass(int frame)
    {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return frame < allowed_; });
        return true;
    }
    void Allow(int frames)
    {
        {
            std::lock_guard lock(mutex_);
            allowed_ = frames;
        }
        wake_.notify_all();
    }
    CGifAnimation::FrameGate AsGate()
    {
        return [this](int frame) { return Pass(frame); };
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    int allowed_ = 0;
};

std::vector<GifFrame> NumberedFrames(int count, int width = 4, int height = 3)
{
    std::vector<GifFrame> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back(SolidFrame(width, height, {uint8_t(i + 1), uint8_t(2 * i), uint8_t(100)}));
    return frames;
}

// Which numbered frame a decoded picture is.
int FrameNumber(const CDib* dib)
{
    return dib ? dib->Bits[2] - 1 : -1;
}

class GifAnimationTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        WriteFileBytes(path, bytes);
        return path;
    }
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(GifAnimationTest, HoldsTheLastFrameWhileLoadingAndLoopsOnceDone)
{
    const std::string path = Write("four.gif", EncodeGif(NumberedFrames(4)));
    Gate gate;
    CGifAnimation animation(gate.AsGate());
    EXPECT_EQ(animation.StepTicks(), 3);
    animation.Load(path);
    EXPECT_TRUE(animation.Valid());
    EXPECT_EQ(animation.StepTicks(), 2);
    EXPECT_EQ(animation.CurrentImage(), nullptr) << "nothing decoded yet";

    gate.Allow(2);
    ASSERT_TRUE(WaitUntil([&] { return animation.FrameCount() == 2; }));
    std::vector<int> shown;
    for (int i = 0; i < 7; ++i)
        shown.push_back(FrameNumber(animation.CurrentImage()));
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 1, 1, 1}));

    gate.Allow(4);
    ASSERT_TRUE(WaitUntil([&] { return animation.LoaderDone(); }));
    EXPECT_EQ(animation.FrameCount(), 4);
    shown.clear();
    for (int i = 0; i < 9; ++i)
        shown.push_back(FrameNumber(animation.CurrentImage()));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 2, 3, 3, 0, 0, 1, 1}));
    EXPECT_EQ(animation.Width(), 4u);
    EXPECT_EQ(animation.Height(), 3u);
    EXPECT_EQ(animation.FrameDelay(), 100u);

    animation.Unload();
    EXPECT_FALSE(animation.Valid());
    EXPECT_EQ(animation.FrameCount(), 0);
    EXPECT_EQ(animation.CurrentImage(), nullptr);
}

TEST_F(GifAnimationTest, FramesAreBottomUpBgrAtTheGifsSize)
{
    GifFrame frame = SolidFrame(5, 2, {255, 0, 0});  // top row red
    for (int x = 0; x < 5; ++x)
        frame.At(x, 1) = {10, 20, 30};  // bottom row
    CGifAnimation animation;
    animation.Load(Write("rows.gif", EncodeGif({frame})));
    ASSERT_TRUE(WaitUntil([&] { return animation.LoaderDone(); }));
    const CDib* dib = animation.CurrentImage();
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->Width, 5);
    EXPECT_EQ(dib->Height, 2);
    EXPECT_EQ(dib->Stride, 16);
    EXPECT_EQ(Bgr(dib->Row(0)[12], dib->Row(0)[13], dib->Row(0)[14]), (Bgr{30, 20, 10}));
    EXPECT_EQ(Bgr(dib->Row(1)[0], dib->Row(1)[1], dib->Row(1)[2]), (Bgr{0, 0, 255}));
}

TEST_F(GifAnimationTest, KeepsAtMostAHundredFrames)
{
    CGifAnimation animation;
    animation.Load(Write("long.gif", EncodeGif(NumberedFrames(1000, 2, 2))));
    ASSERT_TRUE(WaitUntil([&] { return animation.LoaderDone(); }));
    EXPECT_EQ(animation.FrameCount(), CGifAnimation::kMaxFrames);
}

TEST_F(GifAnimationTest, BadFilesGiveNoFramesAndNoCrash)
{
    const std::string good = EncodeGif(NumberedFrames(3, 40, 30));
    // A GIF whose header claims 65535×65535 and whose frame says the same, with a few bytes of data.
    std::string bomb = EncodeGif({SolidFrame(1, 1, {1, 2, 3})}, 65535, 65535);
    const size_t descriptor = bomb.find('\x2C');
    bomb[descriptor + 5] = bomb[descriptor + 6] = bomb[descriptor + 7] = bomb[descriptor + 8] = '\xFF';
    const struct {
        const char* name;
        std::string bytes;
        int frames;  // a cut-off frame may still come out partly drawn
    } files[] = {
        {"empty.gif", "", 0},
        {"text.gif", "this is not a picture\n", 0},
        {"header-only.gif", good.substr(0, 13), 0},
        {"truncated.gif", good.substr(0, good.size() / 5), 1},
        {"bomb.gif", bomb, 0},
        {"png-header.gif", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x7f\xff\xff\xff\x7f\xff\xff\xff\x08\x02", 26), 0},
    };
    for (const auto& file : files) {
        CGifAnimation animation;
        animation.Load(Write(file.name, file.bytes));
        ASSERT_TRUE(WaitUntil([&] { return animation.LoaderDone(); })) << file.name;
        EXPECT_EQ(animation.FrameCount(), file.frames) << file.name;
        const CDib* image = animation.CurrentImage();
        EXPECT_EQ(image != nullptr, file.frames > 0) << file.name;
        if (image) {
            EXPECT_EQ(image->Bits.size(), size_t(image->Stride) * image->Height) << file.name;
        }
    }
    CGifAnimation missing;
    missing.Load(dir_.filePath("missing.gif").toStdString());
    ASSERT_TRUE(WaitUntil([&] { return missing.LoaderDone(); }));
    EXPECT_EQ(missing.CurrentImage(), nullptr);
}

TEST_F(GifAnimationTest, ReloadingStopsTheRunningLoaderFirst)
{
    const std::string longGif = Write("long.gif", EncodeGif(NumberedFrames(100, 8, 8)));
    const std::string shortGif = Write("short.gif", EncodeGif(NumberedFrames(2, 8, 8)));
    CGifAnimation animation;
    for (int i = 0; i < 20; ++i)
        animation.Load(i % 2 ? shortGif : longGif);
    ASSERT_TRUE(WaitUntil([&] { return animation.LoaderDone(); }));
    EXPECT_EQ(animation.Path(), shortGif);
    EXPECT_EQ(animation.FrameCount(), 2);
    EXPECT_EQ(FrameNumber(animation.CurrentImage()), 0);
}
