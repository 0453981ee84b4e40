// What the source panels offer and do, without their windows: the media list and its play modes, the
// camera choices and their apply, the wait-video picture, and the paced picture listing.
#include "pipeline/CameraChoices.h"
#include "pipeline/CaptureScr.h"
#include "pipeline/DeviceChoice.h"
#include "pipeline/MediaList.h"
#include "pipeline/PictureFolderScan.h"
#include "pipeline/SourceKind.h"
#include "pipeline/SourceLists.h"
#include "pipeline/WaitPictures.h"

#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "Bitmaps.h"
#include "EventLoop.h"
#include "support/Files.h"
#include "support/TempHome.h"
#include "zendracam/FakeVideoDevices.h"

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<_DEVIECENAME_LIST> DeviceList(const std::vector<std::string>& names)
{
    std::vector<_DEVIECENAME_LIST> list(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        std::snprintf(list[i].name, sizeof list[i].name, "%s", names[i].c_str());
        list[i].next = i + 1 < list.size() ? &list[i + 1] : nullptr;
    }
    return list;
}

bool MakeMovie(const std::string& path)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=2",
                            "-c:v", "mpeg4", QString::fromStdString(path)});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
}

}  // namespace

TEST(MediaList, AddsOnTopMovesWrappingAndClears)
{
    CMediaList list;
    for (const char* path : {"/m/a.avi", "/m/b.wmv", "/m/c.rmvb"})
        list.Add(path);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/m/c.rmvb", "/m/b.wmv", "/m/a.avi"}));
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"c.rmvb", "b.wmv", "a.avi"}));
    list.Add("/m/a.avi");  // listed already: moves to the top
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/m/a.avi", "/m/c.rmvb", "/m/b.wmv"}));

    struct Step {
        bool up;
        size_t index;
        std::optional<size_t> now;
        std::vector<std::string> order;
    };
    const Step steps[] = {
        {true, 1, 0, {"/m/c.rmvb", "/m/a.avi", "/m/b.wmv"}},
        {true, 0, 2, {"/m/a.avi", "/m/b.wmv", "/m/c.rmvb"}},  // the top one goes to the bottom
        {false, 2, 0, {"/m/c.rmvb", "/m/a.avi", "/m/b.wmv"}},  // the bottom one to the top
        {false, 0, 1, {"/m/a.avi", "/m/c.rmvb", "/m/b.wmv"}},
        {false, 3, std::nullopt, {"/m/a.avi", "/m/c.rmvb", "/m/b.wmv"}},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.up ? list.MoveUp(step.index) : list.MoveDown(step.index), step.now);
        EXPECT_EQ(list.Paths(), step.order);
    }

    EXPECT_TRUE(list.Remove(1));
    EXPECT_FALSE(list.Remove(2));
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/m/a.avi", "/m/b.wmv"}));
    list.Clear();
    EXPECT_TRUE(list.Empty());
    EXPECT_FALSE(list.MoveUp(0));
}

TEST(MediaList, EndOfAFilePlaysByPlayMode)
{
    TestApplication();
    TempHome home;
    CCaptureScr sink;
    sink.SetSourceKind(SOURCE_MEDIA);
    CMediaList list;
    for (const char* name : {"c.avi", "b.avi", "a.avi"})
        list.Add(home.File(name));  // a, b, c; none is a movie, which does not matter here
    const auto seven = [] { return 7; };

    struct Case {
        int mode;
        std::string ended;  // what played last
        std::string next;   // empty: nothing plays
    };
    const Case cases[] = {
        {PLAY_IN_ORDER, "a.avi", "b.avi"},      {PLAY_IN_ORDER, "c.avi", ""},
        {PLAY_IN_ORDER, "gone.avi", "a.avi"},   {PLAY_LOOP_LIST, "b.avi", "c.avi"},
        {PLAY_LOOP_LIST, "c.avi", "a.avi"},     {PLAY_LOOP_LIST, "gone.avi", "a.avi"},
        {PLAY_RANDOM, "a.avi", "b.avi"},        // 7 mod 3
        {PLAY_REPEAT_ONE, "b.avi", "b.avi"},    {PLAY_REPEAT_ONE, "gone.avi", ""},
        {PLAY_ONE_ONCE, "a.avi", ""},
    };
    for (const Case& c : cases) {
        sink.PlayMovie(home.File(c.ended));
        list.PlayNextAfterEnd(sink, c.mode, seven);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " after " << c.ended);
        EXPECT_EQ(bool(sink.MoviePlaying), !c.next.empty());
        if (!c.next.empty())
            EXPECT_EQ(CurrentMediaPath, home.File(c.next));
    }
    CMediaList empty;
    sink.PlayMovie(home.File("a.avi"));
    empty.PlayNextAfterEnd(sink, PLAY_LOOP_LIST, seven);
    EXPECT_FALSE(sink.MoviePlaying);
    EXPECT_FALSE(empty.Play(sink, 0));
}

TEST(MediaList, AFileThatDoesNotOpenGivesWayToTheNext)
{
    TestApplication();
    TempHome home;
    const std::string movie = home.File("clip.avi");
    ASSERT_TRUE(MakeMovie(movie));
    WriteFileBytes(home.File("notes.wmv"), "these are no pictures");
    CCaptureScr sink;
    size_t written = 0;
    sink.SetFrameTap([&](const uint8_t*, size_t) { ++written; });
    sink.SetSourceKind(SOURCE_MEDIA);
    CMediaList list;
    list.Add(movie);
    list.Add(home.File("notes.wmv"));

    ASSERT_TRUE(list.Play(sink, 0));
    // What the left pane sees every 500 ms: -1, the end, and so the next entry.
    ASSERT_TRUE(RunEventsUntil([&] { return sink.GetMoviePos() <= -1; }, 10000));
    EXPECT_EQ(written, 0u);
    list.PlayNextAfterEnd(sink, PLAY_IN_ORDER, [] { return 0; });
    EXPECT_EQ(CurrentMediaPath, movie);
    EXPECT_TRUE(RunEventsUntil([&] { return written >= 3; }, 15000));
    EXPECT_GE(sink.GetMoviePos(), 0.0);
    // Playing another entry stops the running one first.
    ASSERT_TRUE(list.Play(sink, 0));
    EXPECT_EQ(CurrentMediaPath, home.File("notes.wmv"));
    sink.StopMovie(0);
}

TEST(CameraChoices, OfferedDevicesAndTheDefault)
{
    const auto list = DeviceList({"ZENDRA Capture", "Pelmora", "USB Camera (usb-1)", "USB Camera (usb-2)", "Quibcap"});
    struct Case {
        std::string defaultDevice;
        int selected;
        std::string storedDefault;
    };
    const Case cases[] = {
        {"USB Camera (usb-2)", 1, "USB Camera (usb-2)"},
        {"6403Cap Capture", 0, "USB Camera (usb-1)"},  // not offered: the first, stored
        {"Pelmora", 0, "USB Camera (usb-1)"},          // excluded
    };
    for (const Case& c : cases) {
        DefaultDevice = c.defaultDevice;
        CCameraChoices choices(SplitExcludedNames("Pelmora;Quibcap;"));
        choices.FillDevices(list.data());
        EXPECT_EQ(choices.Devices(), (std::vector<std::string>{"USB Camera (usb-1)", "USB Camera (usb-2)"}));
        EXPECT_EQ(choices.Selected(), c.selected) << c.defaultDevice;
        EXPECT_EQ(choices.RememberedIndex(), c.selected);
        EXPECT_EQ(choices.RememberedName(), choices.Devices()[size_t(c.selected)]);
        EXPECT_EQ(DefaultDevice, c.storedDefault);
    }

    // Nothing offered: nothing chosen, and the default stays as it was.
    DefaultDevice = "USB Camera";
    CCameraChoices none(SplitExcludedNames("Pelmora;"));
    none.FillDevices(DeviceList({"ZENDRA Capture", "Pelmora"}).data());
    EXPECT_TRUE(none.Devices().empty());
    EXPECT_EQ(none.Selected(), -1);
    EXPECT_EQ(none.RememberedName(), "flag--nocam");
    EXPECT_EQ(DefaultDevice, "USB Camera");
    none.FillDevices(nullptr);
    EXPECT_EQ(none.RememberedIndex(), -1);
}

TEST(CameraChoices, FormatsAndSizesOnceEach)
{
    std::vector<_DEVIECEFORMAT_LIST> list(5);
    const char* entries[][2] = {{"YUYV", "640 x 480"}, {"YUYV", "320 x 240"}, {"MJPG", "640 x 480"},
                                {"MJPG", "1280 x 720"}, {"YUYV", "160 x 120"}};
    for (size_t i = 0; i < list.size(); ++i) {
        std::snprintf(list[i].format, sizeof list[i].format, "%s", entries[i][0]);
        std::snprintf(list[i].size, sizeof list[i].size, "%s", entries[i][1]);
        list[i].next = i + 1 < list.size() ? &list[i + 1] : nullptr;
    }
    CCameraChoices choices({});
    choices.FillFormats(list.data());
    EXPECT_EQ(choices.Formats(), (std::vector<std::string>{"YUYV", "MJPG"}));
    EXPECT_EQ(choices.Sizes(), (std::vector<std::string>{"640 x 480", "320 x 240", "1280 x 720", "160 x 120"}));
    EXPECT_EQ(choices.PreferredSize(), 1);
    list[1].next = nullptr;
    std::snprintf(list[1].size, sizeof list[1].size, "%s", "352 x 288");
    choices.FillFormats(list.data());
    EXPECT_EQ(choices.PreferredSize(), 0);
    choices.FillFormats(nullptr);
    EXPECT_EQ(choices.PreferredSize(), -1);
}

TEST(CameraChoices, ApplyConnectsWhatIsChosenAndNotYetWorking)
{
    TestApplication();
    TempHome home;
    FakeVideoDevices devices;
    devices.Add(0, "USB Camera", "usb-1");
    devices.Add(1, "USB Camera", "usb-2");
    devices.Add(2, "Quibcap", "usb-3");
    ExcludeDevices = "Quibcap;";
    DefaultDevice = "USB Camera (usb-2)";
    CCaptureScr sink(devices);
    sink.StartCamera();  // the first offered device
    EXPECT_EQ(sink.ConnectedCamera(), "USB Camera (usb-1)");

    CCameraChoices choices(SplitExcludedNames(ExcludeDevices));
    choices.FillDevices(sink.DeviceList());
    choices.FillFormats(sink.ResolutionList());
    ASSERT_EQ(choices.Devices(), (std::vector<std::string>{"USB Camera (usb-1)", "USB Camera (usb-2)"}));
    ASSERT_EQ(choices.Selected(), 1);

    // The panel shows the saved choice; apply makes it the camera in use.
    choices.Apply(sink);
    EXPECT_EQ(sink.ConnectedCamera(), "USB Camera (usb-2)");
    EXPECT_TRUE(devices.Streaming(1));
    EXPECT_FALSE(devices.Streaming(0));
    EXPECT_EQ(choices.Formats(), (std::vector<std::string>{"YUYV", "MJPG"}));

    // Another choice is connected and saved; from the picture source apply goes back to the camera.
    choices.Select(0);
    WriteBmp(home.File("wait.bmp"), 320, 240, 24, [](int, int) { return Bgr{1, 2, 3}; });
    SwitchToPictureFile(sink, home.File("wait.bmp"));
    EXPECT_FALSE(devices.Streaming(1));
    choices.Apply(sink);
    EXPECT_EQ(DefaultDevice, "USB Camera (usb-1)");
    EXPECT_EQ(choices.RememberedIndex(), 0);
    EXPECT_TRUE(devices.Streaming(0));
    EXPECT_FALSE(sink.PictureActive);
    EXPECT_EQ(sink.SourceKind(), SOURCE_CAMERA);
    EXPECT_EQ(sink.CaptureMode, CAPTURE_PROCESS);

    // The same choice again: the device goes on as it was.
    const int starts = devices.StreamStarts(0);
    choices.Apply(sink);
    EXPECT_EQ(devices.StreamStarts(0), starts + 1);  // capture restarted, not reconnected
    EXPECT_EQ(sink.ConnectedCamera(), "USB Camera (usb-1)");

    // Pulled out and back: apply with the same choice connects it again.
    devices.Unplug(0);
    ASSERT_TRUE(RunEventsUntil([&] { return sink.ConnectedCamera().empty(); }, 3000));
    devices.Replug(0);
    choices.Apply(sink);
    EXPECT_EQ(sink.ConnectedCamera(), "USB Camera (usb-1)");
    EXPECT_TRUE(devices.Streaming(0));

    // A device that went away between the listing and apply: nothing connects, nothing breaks, and the
    // next apply tries again.
    choices.Select(1);
    devices.Unplug(1);
    choices.Apply(sink);
    EXPECT_EQ(sink.ConnectedCamera(), "");
    devices.Replug(1);
    choices.Apply(sink);
    EXPECT_EQ(sink.ConnectedCamera(), "USB Camera (usb-2)");
    sink.Shutdown();
}

TEST(WaitPictures, TheSavedPictureOrTheFirst)
{
    TempHome home;
    const std::string folder = home.File("Effect/waitvideo");
    std::filesystem::create_directories(folder);
    for (const char* name : {"colourbars.jpg", "waiting.png"})
        WriteFileBytes(folder + "/" + name, "x");
    const std::vector<std::string> names = {"colourbars.jpg", "waiting.png"};
    EXPECT_EQ(WaitVideoFolder(), folder);
    EXPECT_EQ(NameWithoutExtension("waiting.png"), "waiting");
    EXPECT_EQ(NameWithoutExtension("my.own.jpeg"), "my.own");
    EXPECT_EQ(NameWithoutExtension("plain"), "plain");

    struct Case {
        std::string defImg;
        int selected;
        std::string after;
    };
    const Case cases[] = {
        {folder + "/waiting.png", 1, folder + "/waiting.png"},
        {folder + "/gone.png", 0, folder + "/colourbars.jpg"},
        {home.File("elsewhere.png"), 0, folder + "/colourbars.jpg"},
        {"", 0, folder + "/colourbars.jpg"},
    };
    WriteFileBytes(home.File("elsewhere.png"), "x");
    for (const Case& c : cases) {
        std::string defImg = c.defImg;
        EXPECT_EQ(ChooseWaitPicture(folder, names, defImg), c.selected) << c.defImg;
        EXPECT_EQ(defImg, c.after);
    }
    std::string defImg = "kept";
    EXPECT_EQ(ChooseWaitPicture(folder, {}, defImg), -1);
    EXPECT_EQ(defImg, "kept");
}

TEST(SourceLists, TopOfTheListAndPicturePaths)
{
    std::vector<std::string> history;
    for (const char* folder : {"/p/a", "/p/b", "/p/a", "/p/c"})
        PutOnTop(history, folder);
    EXPECT_EQ(history, (std::vector<std::string>{"/p/c", "/p/a", "/p/b"}));
    EXPECT_EQ(PictureFilePath("/p/a", "x.png"), "/p/a/x.png");
    std::vector<std::string> names = {"photo10.jpg", "photo2.jpg", "photo02b.jpg", "Photo1.jpg", "photo",
                                      "photo1.jpg", "photo007.jpg", "a10b2", "a10b10", "a9"};
    std::sort(names.begin(), names.end(), NaturalLess);
    EXPECT_EQ(names, (std::vector<std::string>{"Photo1.jpg", "a9", "a10b2", "a10b10", "photo", "photo1.jpg",
                                               "photo2.jpg", "photo02b.jpg", "photo007.jpg", "photo10.jpg"}));
    EXPECT_EQ(PictureFilePath("/", "x.png"), "/x.png");
}

class PictureScan : public testing::Test {
protected:
    void SetUp() override { TestApplication(); }
    // Handlers run on this thread, from its event loop.
    void Scan(CPictureFolderScan& scan, const std::string& folder, bool thumbnails)
    {
        scan.Start(
            folder, thumbnails, &receiver,
            [this](std::vector<ScannedPicture> batch) { batches.push_back(std::move(batch)); },
            [this](bool read) {
                ++ends;
                folderRead = read;
            });
    }
    bool WaitEnd() { return RunEventsUntil([this] { return ends > 0; }, 20000); }

    TempHome home;
    QObject receiver;
    std::vector<std::vector<ScannedPicture>> batches;
    int ends = 0;
    bool folderRead = false;
};

TEST_F(PictureScan, AThousandPicturesComeTwentyAtATimeInCountingOrder)
{
    const std::string folder = home.File("many");
    std::filesystem::create_directories(folder + "/sub.png");  // a folder is no picture
    WriteFileBytes(folder + "/readme.txt", "no picture");
    for (int i = 999; i >= 0; --i) {
        char name[32];
        std::snprintf(name, sizeof name, "p%d.%s", i, i % 3 == 0 ? "PNG" : i % 3 == 1 ? "jpg" : "gif");
        WriteFileBytes(folder + "/" + name, "");
    }
    CPictureFolderScan scan(1);
    Scan(scan, folder, false);
    ASSERT_TRUE(WaitEnd());
    EXPECT_TRUE(folderRead);
    ASSERT_EQ(batches.size(), 50u);
    std::vector<std::string> names;
    for (const auto& batch : batches) {
        EXPECT_EQ(batch.size(), 20u);
        for (const auto& picture : batch) {
            names.push_back(picture.name);
            EXPECT_TRUE(picture.thumbnail.isNull());
        }
    }
    // Numbers count by value: p2 before p10.
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(names[i].substr(0, names[i].find('.')), "p" + std::to_string(i));
}

TEST_F(PictureScan, ThumbnailsOnWhitePausesAndStop)
{
    const std::string folder = home.File("pictures");
    std::filesystem::create_directories(folder);
    QImage wide(120, 40, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ASSERT_TRUE(wide.save(QString::fromStdString(folder + "/a_wide.png")));
    WriteFileBytes(folder + "/b_broken.jpg", "not a jpeg");
    for (int i = 0; i < 39; ++i)
        ASSERT_TRUE(wide.save(QString::fromStdString(folder + "/c" + std::to_string(100 + i) + ".bmp")));

    CPictureFolderScan scan;
    QElapsedTimer clock;
    clock.start();
    Scan(scan, folder, true);
    ASSERT_TRUE(WaitEnd());
    EXPECT_GE(clock.elapsed(), 2 * CPictureFolderScan::kPauseMs);  // 41 pictures: two pauses
    ASSERT_EQ(batches.size(), 3u);
    const QImage fitted = batches[0][0].thumbnail;
    ASSERT_EQ(fitted.size(), QSize(60, 40));
    // 120 × 40 fitted into 60 × 40 is 60 × 20, centred: white above and below, red between.
    EXPECT_EQ(fitted.pixel(30, 5), qRgb(255, 255, 255));
    EXPECT_EQ(fitted.pixel(30, 34), qRgb(255, 255, 255));
    EXPECT_EQ(fitted.pixel(30, 20), qRgb(255, 0, 0));
    EXPECT_EQ(fitted.pixel(0, 20), qRgb(255, 0, 0));
    const QImage broken = batches[0][1].thumbnail;
    ASSERT_EQ(broken.size(), QSize(60, 40));
    EXPECT_EQ(broken.pixel(30, 20), qRgb(255, 255, 255));

    // Stopped within its pause, a scan delivers nothing more and does not end.
    batches.clear();
    ends = 0;
    Scan(scan, folder, false);
    ASSERT_TRUE(RunEventsUntil([&] { return !batches.empty(); }, 5000));
    clock.restart();
    scan.Stop();
    EXPECT_LT(clock.elapsed(), CPictureFolderScan::kPauseMs);
    RunEventsUntil([] { return false; }, 500);
    EXPECT_EQ(batches.size(), 1u);
    EXPECT_EQ(ends, 0);

    // What a scan had sent before the next one started is dropped too; a folder that is not there
    // ends at once, unread.
    Scan(scan, folder, false);
    Scan(scan, home.File("vanished"), true);
    ASSERT_TRUE(WaitEnd());
    EXPECT_FALSE(folderRead);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(batches.size(), 1u);
}
