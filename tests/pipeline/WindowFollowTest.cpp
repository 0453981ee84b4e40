// Following a window: changes reported once, a vanished window ends the following.
#include "pipeline/WindowFollow.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class FakeWindows : public IWindowSource {
public:
    std::optional<CaptureRect> WindowRect(ScreenWindow window) override
    {
        ++asked;
        const auto found = windows.find(window);
        if (found == windows.end())
            return std::nullopt;
        return found->second;
    }
    std::map<ScreenWindow, CaptureRect> windows;
    int asked = 0;
};

}  // namespace

TEST(WindowFollow, ReportsMovesOnceAndTheWindowsEnd)
{
    FakeWindows windows;
    windows.windows[7] = {10, 10, 110, 90};
    CWindowFollow follow(windows);
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::None);  // nothing followed yet
    EXPECT_EQ(windows.asked, 0);

    follow.Follow(7, {10, 10, 110, 90});
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::None);
    windows.windows[7] = {50, 10, 150, 90};  // moved
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::Moved);
    EXPECT_EQ(follow.Rect(), (CaptureRect{50, 10, 150, 90}));
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::None);
    windows.windows[7] = {50, 10, 250, 190};  // resized
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::Moved);
    EXPECT_EQ(follow.Rect(), (CaptureRect{50, 10, 250, 190}));

    windows.windows.erase(7);  // closed
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::Gone);
    EXPECT_EQ(follow.Window(), 0u);
    const int asked = windows.asked;
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::None);  // reported once, then nothing is asked
    EXPECT_EQ(windows.asked, asked);
}

TEST(WindowFollow, ForgottenOrReplacedWindows)
{
    FakeWindows windows;
    windows.windows[1] = {0, 0, 10, 10};
    windows.windows[2] = {20, 20, 40, 40};
    CWindowFollow follow(windows);
    follow.Follow(1, {0, 0, 10, 10});
    follow.Follow(2, {20, 20, 40, 40});  // a newly picked window replaces the old one
    windows.windows.erase(1);
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::None);
    follow.Forget();
    windows.windows.erase(2);
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::None);
    // A rectangle given with Follow that is already out of date shows as a move on the first tick.
    windows.windows[3] = {5, 5, 50, 50};
    follow.Follow(3, {0, 0, 1, 1});
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::Moved);
}
