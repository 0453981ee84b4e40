// The korvel program itself, started as a separate process on a fresh program folder.
#include "pipeline/Bitmaps.h"
#include "support/Files.h"
#include "support/PrivatePipeWire.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>

#include <gtest/gtest.h>

namespace {

void StartKorvel(QProcess& korvel, const TempHome& home, const QStringList& args, bool display = true)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KORVEL_HOME", QString::fromStdString(home.Path()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(home.RuntimePath()));
    if (!display)
        env.remove("DISPLAY");
    korvel.setProcessEnvironment(env);
    korvel.start(KORVEL_EXE, args);
}

int RunKorvel(const TempHome& home, const QStringList& args, QByteArray* errors = nullptr, bool display = true)
{
    QProcess korvel;
    StartKorvel(korvel, home, args, display);
    if (!korvel.waitForFinished(60000))
        return -1;
    if (errors)
        *errors = korvel.readAllStandardError();
    return korvel.exitStatus() == QProcess::NormalExit ? korvel.exitCode() : -1;
}

// Starts a studio without limits and waits for its first status line, the sign that it runs.
bool StartRunningStudio(QProcess& korvel, const TempHome& home)
{
    StartKorvel(korvel, home, {"--headless"});
    korvel.setReadChannel(QProcess::StandardError);
    QByteArray errors;
    while (!errors.contains("frames written") && korvel.waitForReadyRead(60000))
        errors += korvel.readAllStandardError();
    return errors.contains("frames written");
}

Bgr Pattern(int x, int y)
{
    return {uint8_t(x * 3), uint8_t(y * 5), uint8_t(x ^ y)};
}

bool MakeMovie(const std::string& path)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=3",
                            "-c:v", "mpeg4", QString::fromStdString(path)});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
}

// The dumped frames of a run, in order.
std::vector<std::string> Dumped(const std::string& folder)
{
    std::vector<std::string> frames;
    for (int n = 1;; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "/%06d.bmp", n);
        const std::string bytes = ReadFileBytes(folder + name);
        if (bytes.empty())
            return frames;
        frames.push_back(bytes);
    }
}

}  // namespace

TEST(HeadlessStartup, FirstRunWritesTheDefaultFiles)
{
    TempHome home;
    ASSERT_EQ(RunKorvel(home, {"--headless", "--frames", "0"}), 0);
    const std::string config = ReadFileBytes(home.File("User_Config.xml"));
    EXPECT_EQ(config.rfind("<User_Config>\r\n<Cartoon>\r\n", 0), 0u);
    EXPECT_NE(config.find("MyPhotoPath=\"" + home.File("Photo") + "\""), std::string::npos);
    EXPECT_NE(ReadFileBytes(home.File("Camera.ini")).find("DefaultDevice=ZENDRA Capture\r\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(home.File("Active.ini")).find("MkMoneyMethodURL=\r\n"), std::string::npos);

    // A second run keeps what the first one saved.
    WriteFileBytes(home.File("User_Config.xml"), "<User_Config><LoopMode><item Musiz='3' MedFile='4'/></LoopMode></User_Config>");
    ASSERT_EQ(RunKorvel(home, {"--headless", "--frames", "0"}), 0);
    EXPECT_NE(ReadFileBytes(home.File("User_Config.xml")).find("<item Musiz=\"3\" MedFile=\"4\"/>"), std::string::npos);
}

TEST(HeadlessStartup, StopSignalsRunTheNormalEnd)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        TempHome home;
        QProcess korvel;
        ASSERT_TRUE(StartRunningStudio(korvel, home)) << signal;
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home.File("User_Config.xml"))));
        ::kill(pid_t(korvel.processId()), signal);
        ASSERT_TRUE(korvel.waitForFinished(30000)) << signal;
        EXPECT_EQ(korvel.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(korvel.exitCode(), 0) << signal;
        for (const char* file : {"User_Config.xml", "Active.ini", "Camera.ini"})
            EXPECT_FALSE(ReadFileBytes(home.File(file)).empty()) << file << " after signal " << signal;
    }
}

TEST(HeadlessStartup, ASecondStudioLeavesTheRunningOneAlone)
{
    TempHome home;
    QProcess first;
    ASSERT_TRUE(StartRunningStudio(first, home));
    QByteArray errors;
    EXPECT_EQ(RunKorvel(home, {"--headless", "--frames", "0"}, &errors), 3);
    EXPECT_TRUE(errors.contains("another Korvel is running")) << errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home.File("User_Config.xml"))));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    EXPECT_TRUE(first.waitForFinished(30000));
}

TEST(HeadlessStartup, BadArgumentsExitWithCode2)
{
    TempHome home;
    QByteArray errors;
    EXPECT_EQ(RunKorvel(home, {"--headless", "--frames", "many"}, &errors), 2);
    EXPECT_TRUE(errors.contains("--frames"));
}

TEST(HeadlessStartup, StopsAfterTheGivenSeconds)
{
    TempHome home;
    EXPECT_EQ(RunKorvel(home, {"--headless", "--seconds", "0.2"}), 0);
    EXPECT_FALSE(ReadFileBytes(home.File("Camera.ini")).empty());
}

TEST(HeadlessStartup, PictureSourceDumpsTheScaledPicture)
{
    TempHome home;
    WriteBmp(home.File("F.bmp"), 640, 480, 24, Pattern);
    ASSERT_EQ(RunKorvel(home, {"--headless", "--source", QString::fromStdString("picture:" + home.File("F.bmp")),
                               "--frames", "20", "--dump", QString::fromStdString(home.File("D"))}),
              0);
    const auto frames = Dumped(home.File("D"));
    ASSERT_EQ(frames.size(), 20u);
    for (const std::string& bmp : frames) {
        ASSERT_EQ(bmp.size(), 54u + 230400u);
        const auto* bytes = reinterpret_cast<const uint8_t*>(bmp.data());
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[18] | bytes[19] << 8, 320);
        EXPECT_EQ(bytes[22] | bytes[23] << 8, 240);
        EXPECT_EQ(bytes[28], 24);
        // A 640×480 24-bit picture: every second pixel of every second row, rows bottom-up; the effects
        // chain may stamp the logo into the bottom-right corner.
        const auto inLogo = [](int x, int y) { return y < 28 && x >= 170 && x < 318; };
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                if (!inLogo(x, y)) {
                    ASSERT_EQ(FramePixel(bytes + 54, x, y), Pattern(2 * x, 479 - 2 * y)) << x << "," << y;
                }
            }
    }
    EXPECT_FALSE(ReadFileBytes(home.File("Camera.ini")).empty());
}

TEST(HeadlessStartup, IsAPipeWireCameraWhileItRuns)
{
    PrivatePipeWire daemon;
    QString why;
    if (!daemon.Start(&why))
        GTEST_SKIP() << "PipeWire cannot start here: " << why.toStdString();
    TempHome home;
    WriteBmp(home.File("F.bmp"), 320, 240, 24, Pattern);
    QProcess korvel;
    QProcessEnvironment env = daemon.Environment();
    env.insert("KORVEL_HOME", QString::fromStdString(home.Path()));
    korvel.setProcessEnvironment(env);
    korvel.start(KORVEL_EXE, {"--headless", "--source", QString::fromStdString("picture:" + home.File("F.bmp")),
                              "--seconds", "30"});
    ASSERT_TRUE(korvel.waitForStarted(10000));

    const QJsonObject node = daemon.WaitForNode("ZENDRA Capture", 20000);
    ASSERT_FALSE(node.isEmpty()) << korvel.readAllStandardError().toStdString();
    EXPECT_EQ(node["info"]["props"]["media.class"].toString(), "Video/Source");
    EXPECT_EQ(node["info"]["props"]["media.role"].toString(), "Camera");

    QString failure;
    const QByteArray got = daemon.Receive(node, "BGRx", 2, &failure);
    ASSERT_EQ(got.size(), 2 * 1280 * 240) << failure.toStdString();
    // The picture, top row first; the effects chain may stamp the logo into the bottom-right corner.
    const auto* last = reinterpret_cast<const uint8_t*>(got.constData()) + 1280 * 240;
    for (int row = 0; row < 240; ++row)
        for (int x = 0; x < 320; ++x) {
            if (row >= 212 && x >= 170 && x < 318)
                continue;
            const uint8_t* p = last + size_t(row) * 1280 + size_t(x) * 4;
            const Bgr expected = Pattern(x, row);
            ASSERT_TRUE(p[0] == expected.b && p[1] == expected.g && p[2] == expected.r) << x << "," << row;
        }

    korvel.terminate();
    ASSERT_TRUE(korvel.waitForFinished(30000));
    EXPECT_EQ(korvel.exitCode(), 0);
    // Gone with the program.
    EXPECT_TRUE(daemon.WaitForNode("ZENDRA Capture", 0).isEmpty());
}

TEST(HeadlessStartup, MediaSourceFramesFollowTheMovie)
{
    TempHome home;
    ASSERT_TRUE(MakeMovie(home.File("clip.mp4")));
    ASSERT_EQ(RunKorvel(home, {"--headless", "--source", QString::fromStdString("media:" + home.File("clip.mp4")),
                               "--frames", "10", "--dump", QString::fromStdString(home.File("D"))}),
              0);
    const auto frames = Dumped(home.File("D"));
    ASSERT_EQ(frames.size(), 10u);
    EXPECT_NE(frames[1], frames[9]);
}

TEST(HeadlessStartup, PhotoOfTheNextFrame)
{
    TempHome home;
    WriteBmp(home.File("F.bmp"), 320, 240, 24, Pattern);
    QByteArray errors;
    ASSERT_EQ(RunKorvel(home, {"--headless", "--photo", "--source",
                               QString::fromStdString("picture:" + home.File("F.bmp")), "--frames", "3"},
                        &errors),
              0);
    const QStringList photos = QDir(QString::fromStdString(home.File("Photo"))).entryList({"*.jpg"}, QDir::Files);
    ASSERT_EQ(photos.size(), 1);
    EXPECT_EQ(photos[0].size(), 18);  // fourteen digits and ".jpg"
}

TEST(HeadlessStartup, UnreadableSourceExitsWith2)
{
    TempHome home;
    WriteFileBytes(home.File("junk.avi"), std::string(5000, 'j'));
    WriteFileBytes(home.File("junk.bmp"), std::string(5000, 'j'));
    const struct { std::string source, message; bool display; } cases[] = {
        {"picture:" + home.File("missing.bmp"), "missing.bmp", true},
        {"picture:" + home.File("junk.bmp"), "junk.bmp", true},
        {"media:" + home.File("junk.avi"), "junk.avi", true},
        {"screen:0,0,100,100", "display", false},
    };
    for (const auto& c : cases) {
        QByteArray errors;
        EXPECT_EQ(RunKorvel(home, {"--headless", "--source", QString::fromStdString(c.source), "--seconds", "5"},
                            &errors, c.display),
                  2)
            << c.source;
        EXPECT_TRUE(errors.contains(c.message.c_str())) << errors.toStdString();
    }
    // Settings are still saved on the way out.
    EXPECT_FALSE(ReadFileBytes(home.File("User_Config.xml")).empty());
}

TEST(HeadlessStartup, RecordsTheVirtualCameraAsWmv)
{
    TempHome home;
    WriteBmp(home.File("F.bmp"), 320, 240, 24, Pattern);
    QByteArray errors;
    ASSERT_EQ(RunKorvel(home, {"--headless", "--source", QString::fromStdString("picture:" + home.File("F.bmp")),
                               "--seconds", "3", "--record", "demo"},
                        &errors),
              0)
        << errors.toStdString();
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                            "format=format_name,duration:stream=codec_name,width,height", "-of", "compact=p=0:nk=1",
                            QString::fromStdString(home.File("Record/demo.wmv"))});
    ASSERT_TRUE(probe.waitForFinished(30000));
    const QStringList lines = QString(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << lines.join(" / ").toStdString();
    EXPECT_EQ(lines[0], "wmv2|320|240");
    const QStringList format = lines[1].split('|');
    EXPECT_EQ(format[0], "asf");
    EXPECT_GT(format[1].toDouble(), 1.5);

    // A name that would leave the record folder is refused.
    EXPECT_EQ(RunKorvel(home, {"--headless", "--source", QString::fromStdString("picture:" + home.File("F.bmp")),
                               "--seconds", "1", "--record", "../escape"}),
              2);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home.File("escape.wmv"))));
}

TEST(HeadlessStartup, SongLyricsAreDrawnIntoTheFrames)
{
    TempHome home;
    WriteBmp(home.File("F.bmp"), 320, 240, 24, [](int, int) { return Bgr{0, 0, 0}; });
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=4",
                            QString::fromStdString(home.File("song.wav"))});
    ASSERT_TRUE(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    WriteFileBytes(home.File("song.rar"), "karaoke := CreateKaraokeObject;\r\nkaraoke.rows := 2;\r\n"
                                          "karaoke.clear;\r\nkaraoke.TimeOffset := 0;\r\n"
                                          "karaoke.add('00:00.000', '00:04.000', 'HELLO WORLD', '2000,2000');\r\n");
    ASSERT_EQ(RunKorvel(home, {"--headless", "--source", QString::fromStdString("picture:" + home.File("F.bmp")),
                               "--seconds", "2.5", "--song", QString::fromStdString(home.File("song.wav")),
                               "--lyrics", QString::fromStdString(home.File("song.rar")), "--dump",
                               QString::fromStdString(home.File("dump"))}),
              0);
    const std::vector<std::string> frames = Dumped(home.File("dump"));
    ASSERT_FALSE(frames.empty());
    // The lyric lines lie in the bottom 40 rows of a black picture, left of the logo; rows above stay black.
    const std::string& last = frames.back();
    const auto lit = [&](int rowFirst, int rowEnd, int columns) {
        int count = 0;
        for (int y = rowFirst; y < rowEnd; ++y)
            for (int x = 0; x < columns * 3; ++x)
                count += uint8_t(last[54 + size_t(y) * 960 + size_t(x)]) != 0;
        return count;
    };
    EXPECT_GT(lit(0, 40, 150), 50);
    EXPECT_EQ(lit(100, 200, 320), 0);
}
