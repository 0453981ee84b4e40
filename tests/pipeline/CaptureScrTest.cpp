// The frame sink: throttle, camera modes, the common steps, photos, the movie and picture timers and
// the source switch.
#include "pipeline/CaptureScr.h"
#include "pipeline/DeviceChoice.h"
#include "pipeline/PhotoSnapshot.h"
#include "pipeline/SourceKind.h"
#include "pipeline/TickCount.h"

#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "settings/WindowMessages.h"
#include "Bitmaps.h"
#include "EventLoop.h"
#include "support/TempHome.h"
#include "zendracam/FakeVideoDevices.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

// The chain inside the sink, for switching the logo off where frames are checked byte for byte.
struct CaptureScrTestAccess {
    static CEffectChain& Chain(CCaptureScr& sink) { return sink.effects_; }
};

namespace {

constexpr size_t kFrameBytes = 230400;

// Stands in for the left pane: remembers the messages it was given.
class MessageLog : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() < QEvent::User)
            return QObject::event(e);
        const auto* message = static_cast<CWindowMessage*>(e);
        messages.push_back({message->Message(), message->wParam});
        if (const auto* path = std::any_cast<std::string>(&message->payload))
            paths.push_back(*path);
        return true;
    }
    std::vector<std::pair<int, uintptr_t>> messages;
    std::vector<std::string> paths;
};

class Sink : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApplication();
        Settings = SettingsRecord();
        SetTickSource([this] { return now; });
        LastFrameTick = 0;
        PhotoRequested = false;
        sink.SetLeftPane(&pane);
        CaptureScrTestAccess::Chain(sink).Logo().Enabled = 0;  // frames here are checked byte for byte
        sink.SetFrameTap([this](const uint8_t* frame, size_t length) {
            std::lock_guard lock(mutex);
            written.emplace_back(frame, frame + length);
        });
    }
    void TearDown() override
    {
        SetTickSource({});
        SetPhotoClock({});
    }
    size_t Written()
    {
        std::lock_guard lock(mutex);
        return written.size();
    }
    std::vector<uint8_t> Frame(uint8_t value) { return std::vector<uint8_t>(kFrameBytes, value); }

    TempHome home;
    uint32_t now = 0;
    MessageLog pane;
    CCaptureScr sink;
    std::mutex mutex;
    std::vector<std::vector<uint8_t>> written;
};

std::string MakeMovie(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("clip.mp4");
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=3",
                            "-c:v", "mpeg4", path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 ? path.toStdString() : std::string();
}

std::string WriteJunk(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    for (int i = 0; file && i < 4096; ++i)
        std::fputc(0x5a, file);
    if (file)
        std::fclose(file);
    return path;
}

}  // namespace

TEST_F(Sink, ThrottleLetsFramesThroughEveryIntervalAcrossTheWrap)
{
    struct Case {
        uint32_t interval, start;
        std::vector<uint32_t> arrivals;
        std::vector<bool> due;
    };
    const Case cases[] = {
        // Frames every 40 ms with the default gap: every third one, never closer than 100 ms.
        {10, 1000, {1040, 1080, 1120, 1160, 1200, 1240, 1280, 1320, 1360},
         {false, false, true, false, false, true, false, false, true}},
        // A gap of "1": at most every 10 ms.
        {1, 1000, {1005, 1010, 1015, 1020, 1021, 1030}, {false, true, false, true, false, true}},
        // The tick counter wraps between two frames.
        {10, 0xFFFFFFF0u, {0xFFFFFFFFu, 0x50, 0x53, 0x54, 0xA0, 0xB8}, {false, false, false, true, false, true}},
    };
    for (const auto& c : cases) {
        sink.SetFrameInterval(c.interval);
        LastFrameTick = c.start;
        for (size_t i = 0; i < c.arrivals.size(); ++i) {
            now = c.arrivals[i];
            EXPECT_EQ(sink.IsFrameDue(), c.due[i]) << "interval " << c.interval << " at " << now;
        }
    }
}

TEST_F(Sink, CameraFramesFollowTheCaptureMode)
{
    Settings.AdjustColor.Forbid = false;
    Settings.AdjustColor.Bright = 200;  // every channel but 0 turns 255
    now = 5000;

    // Ignore: neither processed nor written.
    sink.CaptureMode = CAPTURE_IGNORE;
    auto frame = Frame(10);
    EXPECT_EQ(sink.OnVideoFrame(frame.data(), frame.size()), 0);
    EXPECT_EQ(frame, Frame(10));
    EXPECT_EQ(Written(), 0u);

    // Pass-through: written as it came, whatever the throttle says.
    sink.CaptureMode = CAPTURE_PASS_THROUGH;
    for (int i = 0; i < 3; ++i)
        sink.OnVideoFrame(frame.data(), frame.size());
    EXPECT_EQ(frame, Frame(10));
    ASSERT_EQ(Written(), 3u);
    EXPECT_EQ(written.back(), Frame(10));

    // Process: a due frame is adjusted in place and written; the next one, too early, is dropped untouched.
    sink.CaptureMode = CAPTURE_PROCESS;
    EXPECT_EQ(sink.OnVideoFrame(frame.data(), frame.size()), 0);  // no virtual camera was set up
    EXPECT_EQ(frame, Frame(255));
    ASSERT_EQ(Written(), 4u);
    EXPECT_EQ(written.back(), Frame(255));
    auto early = Frame(10);
    now += 99;
    sink.OnVideoFrame(early.data(), early.size());
    EXPECT_EQ(early, Frame(10));
    EXPECT_EQ(Written(), 4u);

    // A short buffer is never processed.
    now += 1000;
    std::vector<uint8_t> shortFrame(1000, 10);
    EXPECT_EQ(sink.OnVideoFrame(shortFrame.data(), shortFrame.size()), 0);
    EXPECT_EQ(shortFrame, std::vector<uint8_t>(1000, 10));
}

TEST_F(Sink, ColourAdjustmentRunsOnlyWhenAllowed)
{
    const struct { bool forbid; int bright, contrast, red; uint8_t in, out; } cases[] = {
        {true, 200, 100, 0, 10, 10},    // switched off
        {false, 100, 100, 0, 10, 10},   // neutral
        {false, 0, 100, 0, 200, 0},     // -254
        {false, 150, 100, 0, 10, 137},  // +127
        {false, 100, 0, 0, 10, 127},    // flat grey
    };
    for (const auto& c : cases) {
        Settings.AdjustColor.Forbid = c.forbid;
        Settings.AdjustColor.Bright = c.bright;
        Settings.AdjustColor.Contrast = c.contrast;
        auto frame = Frame(c.in);
        sink.ProcessFrame(frame.data());
        EXPECT_EQ(frame, Frame(c.out)) << "bright " << c.bright << " contrast " << c.contrast;
    }
}

TEST_F(Sink, PhotoIsTheNextProcessedFrame)
{
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(PhotoFileName(1270044309), "20100331140509.jpg");  // 31 March 2010, 14:05:09

    Settings.SavePath.MyPhotoPath = home.Path();
    SetPhotoClock([] { return std::time_t(1270044309); });
    std::vector<std::string> sounds;
    sink.SetSoundPlayer([&](const std::string& path) { sounds.push_back(path); });
    sink.StartCamera();
    Settings.AdjustColor.Forbid = false;
    Settings.AdjustColor.Blue = 255;  // the photo shows the adjustment

    // The picture's top half red, bottom half green; rows are stored bottom-up.
    std::vector<uint8_t> frame(kFrameBytes);
    for (size_t i = 0; i < kFrameBytes; i += 3) {
        const bool top = i / 960 >= 120;
        frame[i] = 0;
        frame[i + 1] = top ? 0 : 200;
        frame[i + 2] = top ? 200 : 0;
    }
    PhotoRequested = true;
    sink.OnScreenFrame(frame.data(), frame.size());
    EXPECT_FALSE(PhotoRequested);
    EXPECT_EQ(LastPhotoPath, home.Path() + "/20100331140509.jpg");
    ASSERT_EQ(sounds, std::vector<std::string>{home.Path() + "/Sound/photo.wav"});
    ASSERT_TRUE(RunEventsUntil([&] { return !pane.messages.empty(); }, 2000));
    EXPECT_EQ(pane.messages.front().first, WM_PHOTO_TAKEN);

    const QImage photo(QString::fromStdString(LastPhotoPath));
    ASSERT_EQ(photo.size(), QSize(320, 240));
    const QColor top = photo.pixelColor(160, 40), bottom = photo.pixelColor(160, 200);
    EXPECT_NEAR(top.red(), 200, 8);
    EXPECT_NEAR(top.blue(), 255, 8);
    EXPECT_NEAR(bottom.green(), 200, 8);
    EXPECT_NEAR(bottom.red(), 0, 8);

    // One photo per request.
    sink.OnScreenFrame(frame.data(), frame.size());
    EXPECT_EQ(sounds.size(), 1u);
    sink.Shutdown();
}

TEST_F(Sink, ACameraFramesPhotoIsSavedOnTheUserInterfaceThread)
{
    Settings.SavePath.MyPhotoPath = home.Path();
    SetPhotoClock([] { return std::time_t(1270044309); });
    std::vector<std::thread::id> soundThreads;
    sink.SetSoundPlayer([&](const std::string&) { soundThreads.push_back(std::this_thread::get_id()); });
    sink.StartCameraCapture();
    now = 1000;

    // The camera library delivers on a thread of its own; the frame it lends is gone once it returns.
    PhotoRequested = true;
    std::thread camera([&] {
        auto frame = Frame(90);
        sink.OnVideoFrame(frame.data(), frame.size());
        frame.assign(frame.size(), 0);
    });
    camera.join();
    EXPECT_FALSE(PhotoRequested);
    EXPECT_TRUE(soundThreads.empty());  // nothing of the photo ran on the camera thread
    ASSERT_TRUE(RunEventsUntil([&] { return !pane.paths.empty(); }, 2000));
    EXPECT_EQ(soundThreads, std::vector<std::thread::id>{std::this_thread::get_id()});
    EXPECT_EQ(pane.paths, std::vector<std::string>{LastPhotoPath});
    const QImage photo(QString::fromStdString(LastPhotoPath));
    ASSERT_EQ(photo.size(), QSize(320, 240));
    EXPECT_NEAR(photo.pixelColor(10, 10).red(), 90, 8);  // the frame as it was, not as it was reused
}

TEST_F(Sink, PhotoThatCannotBeWrittenStillEndsTheRequest)
{
    Settings.SavePath.MyPhotoPath = home.File("no/such/folder");
    PhotoRequested = true;
    auto frame = Frame(1);
    sink.OnScreenFrame(frame.data(), frame.size());
    EXPECT_FALSE(PhotoRequested);
    EXPECT_FALSE(std::filesystem::exists(LastPhotoPath));
    EXPECT_TRUE(RunEventsUntil([&] { return !pane.messages.empty(); }, 2000));
}

TEST_F(Sink, StartupPicksTheFirstDeviceNotExcluded)
{
    EXPECT_EQ(SplitExcludedNames("A;B"), std::vector<std::string>{"A"});
    EXPECT_EQ(SplitExcludedNames("A;;B;"), (std::vector<std::string>{"A", "", "B"}));
    EXPECT_TRUE(SplitExcludedNames("no semicolon").empty());

    std::vector<_DEVIECENAME_LIST> list(4);
    const char* names[] = {"Pelmora", "ZENDRA Capture", "Quibcap", "USB Camera"};
    for (size_t i = 0; i < list.size(); ++i) {
        std::snprintf(list[i].name, sizeof list[i].name, "%s", names[i]);
        list[i].next = i + 1 < list.size() ? &list[i + 1] : nullptr;
    }
    EXPECT_STREQ(ChooseStartupDevice(list.data(), SplitExcludedNames("Quibcap;Pelmora;"))->name, "USB Camera");
    EXPECT_STREQ(ChooseStartupDevice(list.data(), {})->name, "Pelmora");
    EXPECT_EQ(ChooseStartupDevice(list.data(), {"Pelmora", "Quibcap", "USB Camera"}), nullptr);
    EXPECT_EQ(ChooseStartupDevice(nullptr, {}), nullptr);

    // Without a camera start-up still sets up the virtual camera and capture.
    ExcludeDevices = "Pelmora;";
    sink.StartCamera();
    EXPECT_EQ(sink.CaptureMode, CAPTURE_PROCESS);
    EXPECT_EQ(sink.ShutterSoundPath(), home.File("Sound/photo.wav"));
    sink.CaptureMode = CAPTURE_PASS_THROUGH;
    auto frame = Frame(3);
    EXPECT_EQ(sink.OnVideoFrame(frame.data(), frame.size()), 1);
    // A long name is cut to 39 bytes between characters; no such device exists here.
    EXPECT_EQ(sink.ConnectCamera(std::string(37, 'x') + "\xe6\x91\x84\xe5\x83\x8f"), 0);
    sink.Shutdown();
    EXPECT_EQ(sink.OnVideoFrame(frame.data(), frame.size()), 0);
}

TEST_F(Sink, PictureTimerWritesCopiesOfThePicture)
{
    WriteBmp(home.File("a.bmp"), 320, 240, 24, [](int x, int y) { return Bgr{uint8_t(x), uint8_t(y), 7}; });
    Settings.AdjustColor.Forbid = false;
    Settings.AdjustColor.Red = 100;
    ASSERT_TRUE(sink.ShowPicture(home.File("a.bmp")));
    EXPECT_TRUE(sink.PictureActive);
    EXPECT_FALSE(sink.ShowPicture(home.File("a.bmp")));  // already shown
    ASSERT_TRUE(RunEventsUntil([&] { return Written() >= 3; }, 5000));
    std::vector<uint8_t> expected(sink.Picture().Frame(), sink.Picture().Frame() + kFrameBytes);
    for (size_t i = 2; i < kFrameBytes; i += 3)
        EXPECT_EQ(expected[i], 7);  // the picture itself is never adjusted
    for (size_t i = 2; i < kFrameBytes; i += 3)
        expected[i] = 107;
    EXPECT_EQ(written.back(), expected);

    EXPECT_TRUE(sink.StopPicture());
    EXPECT_FALSE(sink.StopPicture());
    const size_t count = Written();
    RunEventsUntil([] { return false; }, 300);
    EXPECT_EQ(Written(), count);
    EXPECT_TRUE(sink.RestartPicture());
    EXPECT_TRUE(sink.PictureActive);
}

TEST_F(Sink, MovieTimerWritesTheMoviesFrames)
{
    QTemporaryDir dir;
    const std::string movie = MakeMovie(dir);
    ASSERT_FALSE(movie.empty());
    sink.SetSourceKind(SOURCE_MEDIA);
    sink.PlayMovie(movie);
    EXPECT_EQ(CurrentMediaPath, movie);
    EXPECT_EQ(sink.CaptureMode, CAPTURE_PASS_THROUGH);
    ASSERT_FALSE(pane.messages.empty());
    EXPECT_EQ(pane.messages.back().first, WM_MOVIE_STARTED);
    ASSERT_TRUE(RunEventsUntil([&] { return Written() >= 8; }, 15000));
    EXPECT_NE(written[1], written.back());

    sink.PauseMovie();
    EXPECT_EQ(pane.messages.back().first, WM_MOVIE_PAUSED);
    sink.ResumeMovie();
    EXPECT_EQ(pane.messages.back().first, WM_MOVIE_PLAYING);

    sink.StopMovie(1);
    EXPECT_EQ(pane.messages.back(), (std::pair<int, uintptr_t>{WM_MOVIE_STOPPED, 1}));
    EXPECT_EQ(sink.CaptureMode, CAPTURE_IGNORE);
    EXPECT_FALSE(sink.MoviePlaying);
    const size_t count = Written();
    RunEventsUntil([] { return false; }, 300);
    EXPECT_EQ(Written(), count);

    // Something that is no movie writes nothing and ends: its position reads -1, so a list moves on.
    for (const std::string& bad : {home.File("nothing.avi"), WriteJunk(home.File("junk.wmv"))}) {
        sink.PlayMovie(bad);
        EXPECT_TRUE(sink.MoviePlaying);
        EXPECT_TRUE(RunEventsUntil([&] { return sink.GetMoviePos() <= -1; }, 10000)) << bad;
        EXPECT_FALSE(sink.IsMovieOpen());
        EXPECT_EQ(Written(), count);
        sink.StopMovie(0);
    }
}

TEST_F(Sink, SwitchStopsThePreviousSourceAndStartsTheNext)
{
    WriteBmp(home.File("p.bmp"), 320, 240, 24, [](int, int) { return Bgr{1, 2, 3}; });
    // Without a picture shown yet there is nothing to restart.
    SwitchSource(sink, SOURCE_PICTURE);
    EXPECT_FALSE(sink.PictureActive);
    ASSERT_TRUE(sink.ShowPicture(home.File("p.bmp")));

    const int32_t kinds[] = {SOURCE_CAMERA, SOURCE_PICTURE, SOURCE_SCREEN, SOURCE_MEDIA};
    for (const int32_t from : kinds) {
        for (const int32_t to : kinds) {
            // `from` runs.
            sink.StopPicture();
            sink.StopMovie(0);
            sink.StopCameraCapture();
            if (from == SOURCE_CAMERA)
                sink.StartCameraCapture();
            if (from == SOURCE_PICTURE)
                sink.RestartPicture();
            if (from == SOURCE_MEDIA) {
                sink.MoviePlaying = true;
                sink.CaptureMode = CAPTURE_PASS_THROUGH;
            }
            sink.SetSourceKind(from);
            pane.messages.clear();
            int fullStops = 0;

            SwitchSource(sink, to, [&] { ++fullStops; });

            SCOPED_TRACE(testing::Message() << std::hex << "from " << from << " to " << to);
            EXPECT_EQ(sink.SourceKind(), to);
            EXPECT_EQ(sink.CaptureMode == CAPTURE_PROCESS, to == SOURCE_CAMERA);
            EXPECT_EQ(sink.PictureActive, to == SOURCE_PICTURE);
            EXPECT_EQ(sink.MoviePlaying, from == SOURCE_MEDIA && to == SOURCE_MEDIA);
            // A movie gives way with stop reason 1; the screen leaves for the camera through the screen
            // panel's full stop and for the others through its timer alone.
            const bool movieStopped = std::count(pane.messages.begin(), pane.messages.end(),
                                                 std::pair<int, uintptr_t>{WM_MOVIE_STOPPED, 1}) == 1;
            EXPECT_EQ(movieStopped, from == SOURCE_MEDIA && to != SOURCE_MEDIA);
            EXPECT_EQ(fullStops, from == SOURCE_SCREEN && to == SOURCE_CAMERA ? 1 : 0);
            EXPECT_FALSE(sink.IsScreenCapturing());
        }
    }

    // A picture chosen while another source runs stops that source and is shown unless it already is.
    WriteBmp(home.File("q.bmp"), 320, 240, 24, [](int, int) { return Bgr{4, 5, 6}; });
    sink.SetSourceKind(SOURCE_CAMERA);
    sink.StartCameraCapture();
    EXPECT_TRUE(SwitchToPictureFile(sink, home.File("q.bmp")));
    EXPECT_EQ(sink.CaptureMode, CAPTURE_IGNORE);
    EXPECT_EQ(sink.SourceKind(), SOURCE_PICTURE);
    EXPECT_EQ(sink.PicturePath(), home.File("q.bmp"));
    EXPECT_FALSE(SwitchToPictureFile(sink, home.File("q.bmp")));
    EXPECT_TRUE(sink.PictureActive);
}

TEST_F(Sink, CameraStreamsOnlyWhileItIsTheSourceAndIsConnectedAgainAfterItFails)
{
    FakeVideoDevices devices;
    devices.Add(0, "USB Camera", "usb-1");
    CCaptureScr camera(devices);
    camera.StartCamera();
    EXPECT_EQ(camera.ConnectedCamera(), "USB Camera");
    EXPECT_TRUE(devices.Streaming(0));

    // Another source: the device stops streaming, so its light goes off.
    SwitchSource(camera, SOURCE_PICTURE);
    EXPECT_FALSE(devices.Streaming(0));
    SwitchSource(camera, SOURCE_CAMERA);
    EXPECT_TRUE(devices.Streaming(0));

    // Pulled out and plugged in again: capture stays off until the camera is connected again.
    devices.Unplug(0);
    ASSERT_TRUE(RunEventsUntil([&] { return camera.ConnectedCamera().empty(); }, 3000));
    devices.Replug(0);
    camera.StopCameraCapture();
    camera.StartCameraCapture();
    EXPECT_FALSE(devices.Streaming(0));
    EXPECT_EQ(camera.ConnectCamera("USB Camera"), 1);
    camera.StartCameraCapture();
    EXPECT_TRUE(devices.Streaming(0));
    EXPECT_EQ(camera.ConnectedCamera(), "USB Camera");
    camera.Shutdown();
}
