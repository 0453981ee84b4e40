// The left pane: the song's and the media file's player, the sound effects, photo, recording and the
// buttons that lead to the video-source tab.
#include "PanelFixture.h"
#include "ktv/SongList.h"
#include "ktv/panels/VideoPlayer.h"
#include "ktv/panels/WndLeftPan.h"
#include "pipeline/PhotoSnapshot.h"
#include "ui/ModalDriver.h"
#include "ui/SkinResources.h"
#include "zendracam/CameraWriterHelper.h"

#include "support/Files.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>

namespace {

enum {
    IDC_PLAY = 1118, IDC_STOP = 1119, IDC_POSITION = 1120, IDC_VOLUME = 1121, IDC_STATUS = 1122, IDC_TIME = 1123,
    IDC_SCREAM = 1124, IDC_CHEERING = 1125, IDC_APPLAUSE = 1126, IDC_RECORD = 1127, IDC_PHOTO = 1128,
    IDC_AUDIO_TRACK = 1129, IDC_BALANCE = 1130, IDC_SCREEN = 1131, IDC_MUTE = 1134, IDC_SOURCE_TAB = 1136,
};
enum { IDC_NAME_EDIT = 1189, IDC_NAME_OK = 1190, IDC_DIALOG_CLOSE = 1002, IDC_REPORT_TEXT = 1196,
       IDC_REPORT_CLOSE = 1194, IDC_BOX_NOTICE = 1143 };

class LeftPaneTest : public PanelTest {
protected:
    static void SetUpTestSuite()
    {
        media_ = new QTemporaryDir;
        const std::string d = media_->path().toStdString();
        const std::string commands[] = {
            "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=30 -ac 2 " + d + "/long.wav",
            "ffmpeg -v error -y -f lavfi -i sine=frequency=660:duration=1 -ac 2 " + d + "/short.wav",
            "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=15:duration=3 -f lavfi "
            "-i sine=frequency=330:duration=3 -c:v mpeg4 -c:a mp2 -shortest " + d + "/movie.avi",
        };
        for (const std::string& c : commands)
            ASSERT_EQ(std::system(c.c_str()), 0) << c;
        WriteFileBytes(d + "/corrupt.mp3", std::string(5000, 'z'));
    }
    static void TearDownTestSuite() { delete media_; }
    static std::string Media(const char* name) { return media_->path().toStdString() + "/" + name; }

    void SetUp() override
    {
        PanelTest::SetUp();
        pane_ = MakePanel<CWndLeftPan>();
        ASSERT_NE(pane_, nullptr);
        sink_->SetLeftPane(pane_);
    }

    QString Text(int id) const { return pane_->Control<QLabel>(id)->text(); }
    bool Checked(int id) const { return pane_->IsControlChecked(id); }
    bool Enabled(int id) const { return pane_->GetControl(id)->isEnabled(); }
    int Position() const { return pane_->Control<QSlider>(IDC_POSITION)->value(); }
    void Click(int id) { pane_->Control<QAbstractButton>(id)->click(); }
    void PlaySong(const std::string& song, const std::string& lyric = {})
    {
        SendWindowMessage(pane_, WM_KTV_PLAY_SONG, 0, 0, PlayRequest{song, lyric});
    }
    // What the pane shows: status, time, play button pressed, stop button usable.
    void ExpectShown(const char* status, bool playing, const char* stoppedTime = nullptr)
    {
        EXPECT_EQ(Text(IDC_STATUS), QString::fromUtf8(status));
        EXPECT_EQ(Checked(IDC_PLAY), playing);
        EXPECT_EQ(Enabled(IDC_STOP), stoppedTime == nullptr);
        if (stoppedTime) {
            EXPECT_EQ(Text(IDC_TIME), stoppedTime);
            EXPECT_EQ(Position(), 0);
        }
    }

    static QTemporaryDir* media_;
    CWndLeftPan* pane_ = nullptr;
};

QTemporaryDir* LeftPaneTest::media_ = nullptr;

TEST_F(LeftPaneTest, SongPlaysPausesStopsAndEnds)
{
    ExpectShown("播放停止", false, "00:00 / 00:00");
    PlaySong(Media("long.wav"));
    EXPECT_EQ(pane_->WhatPlays(), CWndLeftPan::PLAYING_SONG);
    ExpectShown("正在播放", true);
    EXPECT_TRUE(Enabled(IDC_AUDIO_TRACK));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(IDC_TIME) == "00:01 / 00:30"; }, 20000)) << Text(IDC_TIME).toStdString();

    // The position slider seeks the song.
    pane_->SendNotify({IDC_POSITION, NotifyCode::ValueChanged, -1, 50, {}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink_->SongPosition() >= 14.9; }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Position() == 50 || Position() == 51; }, 5000));

    Click(IDC_PLAY);
    EXPECT_EQ(pane_->SongState(), CWndLeftPan::STATE_PAUSED);
    ExpectShown("播放暂停", false);
    EXPECT_TRUE(sink_->IsSongPaused());
    Click(IDC_PLAY);
    EXPECT_EQ(pane_->SongState(), CWndLeftPan::STATE_PLAYING);
    ExpectShown("正在播放", true);
    EXPECT_FALSE(sink_->IsSongPaused());

    Click(IDC_STOP);
    EXPECT_EQ(pane_->SongState(), CWndLeftPan::STATE_STOPPED);
    ExpectShown("播放停止", false, "00:00 / 00:00");
    EXPECT_FALSE(Enabled(IDC_AUDIO_TRACK));
    EXPECT_TRUE(sink_->IsSongEnded());
    // Stopped, play starts the same song again.
    Click(IDC_PLAY);
    ExpectShown("正在播放", true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink_->SongPosition() > 0.2; }, 20000));

    // A song that ends: the pane stops and tells the song list through the main window.
    PlaySong(Media("short.wav"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host_->Sent(WM_KTV_SONG_ENDED).empty(); }, 20000));
    EXPECT_EQ(host_->Sent(WM_KTV_SONG_ENDED)[0].wParam, 0u);
    EXPECT_EQ(pane_->WhatPlays(), CWndLeftPan::PLAYING_NOTHING);
    ExpectShown("播放停止", false, "00:00 / 00:00");
}

TEST_F(LeftPaneTest, UnplayableSongsSaySoAndTellTheList)
{
    for (const std::string& song : {Media("corrupt.mp3"), Media("missing.mp3")}) {
        const size_t before = host_->Sent(WM_KTV_SONG_ENDED).size();
        PlaySong(song);
        ASSERT_TRUE(QTest::qWaitFor([&] { return host_->Sent(WM_KTV_SONG_ENDED).size() == before + 1; }, 20000)) << song;
        EXPECT_EQ(host_->Sent(WM_KTV_SONG_ENDED).back().wParam, 1u);
        ExpectShown("无法播放该歌曲", false, "00:00 / 00:00");
    }
}

TEST_F(LeftPaneTest, TrackAndBalanceOnlyForASongThatPlays)
{
    Settings.AudioTrack = 1;
    Click(IDC_AUDIO_TRACK);  // nothing plays
    EXPECT_EQ(Settings.AudioTrack, 1);
    PlaySong(home_.File("DownLoad/Songs/小星星.wma"), home_.File("DownLoad/Lyrics/小星星.rar"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink_->SongPosition() > 0.2; }, 20000));
    Click(IDC_AUDIO_TRACK);
    EXPECT_EQ(Settings.AudioTrack, 2);
    Click(IDC_PLAY);  // paused still counts
    Click(IDC_AUDIO_TRACK);
    EXPECT_EQ(Settings.AudioTrack, 1);
    Click(IDC_STOP);
    Click(IDC_AUDIO_TRACK);
    EXPECT_EQ(Settings.AudioTrack, 1);
}

TEST_F(LeftPaneTest, SoundEffectsAndTheWayToTheSourceTab)
{
    std::vector<std::string> played;
    sink_->SetSoundPlayer([&](const std::string& path) { played.push_back(path); });
    for (int id : {IDC_SCREAM, IDC_CHEERING, IDC_APPLAUSE})
        pane_->SendCommand(id);
    const std::string sounds = home_.File("Sound");
    EXPECT_EQ(played, (std::vector<std::string>{sounds + "/尖叫.wav", sounds + "/起哄.wav", sounds + "/掌声.wav"}));
    for (const std::string& path : played)
        EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).isFile()) << path;

    Click(IDC_SOURCE_TAB);
    ASSERT_EQ(host_->sent.size(), 1u);
    EXPECT_EQ(host_->sent[0].message, WM_SHOW_SOURCE_TAB);
    Click(IDC_SCREEN);
    ASSERT_EQ(host_->sent.size(), 3u);
    EXPECT_EQ(host_->sent[1].message, WM_SHOW_SOURCE_TAB);
    EXPECT_EQ(host_->sent[2].message, WM_SELECT_SCREEN_SOURCE);

    // No mixer on this machine: the mute button cannot be used.
    EXPECT_FALSE(Enabled(IDC_MUTE) && sink_->SpeakerMute() < 0);
}

TEST_F(LeftPaneTest, MediaFileModeFollowsTheMovie)
{
    PlaySong(Media("long.wav"));
    sink_->SetSourceKind(SOURCE_MEDIA);
    sink_->PlayMovie(Media("movie.avi"));
    // The song gives way to the media file.
    EXPECT_EQ(pane_->WhatPlays(), CWndLeftPan::PLAYING_MEDIA);
    EXPECT_EQ(pane_->SongState(), CWndLeftPan::STATE_STOPPED);
    EXPECT_TRUE(sink_->IsSongEnded());
    ExpectShown("正在播放", true);
    EXPECT_FALSE(Enabled(IDC_AUDIO_TRACK));
    const QRegularExpression format("^00:00:0[23] / 00:00:0[0-3]$");
    ASSERT_TRUE(QTest::qWaitFor([&] { return format.match(Text(IDC_TIME)).hasMatch(); }, 20000))
        << Text(IDC_TIME).toStdString();

    Click(IDC_PLAY);
    ExpectShown("播放暂停", false);
    EXPECT_EQ(pane_->MediaState(), CWndLeftPan::STATE_PAUSED);
    Click(IDC_PLAY);
    ExpectShown("正在播放", true);
    Click(IDC_STOP);
    EXPECT_FALSE(sink_->MoviePlaying);
    ExpectShown("播放停止", false, "00:00:00 / 00:00:00");
    EXPECT_EQ(pane_->WhatPlays(), CWndLeftPan::PLAYING_MEDIA);  // the same file can be played again

    // Played again to its end: the media list is told, through the main window.
    Click(IDC_PLAY);
    EXPECT_TRUE(sink_->MoviePlaying);
    ExpectShown("正在播放", true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host_->Sent(WM_MEDIA_LIST_ENDED).empty(); }, 30000));
    ExpectShown("播放停止", false, "00:00:00 / 00:00:00");

    // Another source took over: the pane leaves the media file.
    sink_->PlayMovie(Media("movie.avi"));
    sink_->StopMovie(1);
    EXPECT_EQ(pane_->WhatPlays(), CWndLeftPan::PLAYING_NOTHING);
    ExpectShown("播放停止", false, "00:00 / 00:00");
}

TEST_F(LeftPaneTest, PhotoButtonAndItsReport)
{
    PhotoRequested = false;
    Click(IDC_PHOTO);
    EXPECT_TRUE(PhotoRequested.exchange(false));

    const std::string photo = home_.File("photo.jpg");
    WriteFileBytes(photo, std::string(3145728, 'p'));
    QString report;
    ModalDriver driver;
    driver.Then(IDR_RECORD_FINISH, [&](CUIWnd* window) {
        report = window->Control<QLabel>(IDC_REPORT_TEXT)->text();
        window->Control<QAbstractButton>(IDC_REPORT_CLOSE)->click();
    });
    PostWindowMessage(pane_, WM_PHOTO_TAKEN, 0, 0, photo);
    ASSERT_TRUE(QTest::qWaitFor([&] { return driver.Done(); }, 10000));
    EXPECT_TRUE(report.contains("3.000000")) << report.toStdString();
    EXPECT_TRUE(report.contains(QString::fromStdString(photo)));
}

class RecordingTest : public LeftPaneTest {
protected:
    void SetUp() override
    {
        LeftPaneTest::SetUp();
        // What the virtual camera sends: a frame that changes every 40 ms.
        ASSERT_TRUE(camera_.InitDevice(CCameraWriterHelper::Outputs{}));
        frames_.start(40);
        QObject::connect(&frames_, &QTimer::timeout, [this] {
            std::vector<uint8_t> frame(zendracam::kFrameBytes, uint8_t(++tick_));
            camera_.SetOrgBmp24Data(frame.data(), frame.size());
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return pane_->Preview()->FramesReceived() > 0; }, 10000));
    }
    void TearDown() override
    {
        frames_.stop();
        camera_.UninitDevice();
        LeftPaneTest::TearDown();
    }
    // The name dialog: `name` typed and OK pressed.
    static ModalDriver::Step Named(const char* name)
    {
        return [name](CUIWnd* dialog) {
            dialog->Control<QLineEdit>(IDC_NAME_EDIT)->setText(QString::fromUtf8(name));
            dialog->Control<QAbstractButton>(IDC_NAME_OK)->click();
        };
    }

    CCameraWriterHelper camera_;
    QTimer frames_;
    int tick_ = 0;
};

TEST_F(RecordingTest, RecordsThePreviewsFramesIntoAWmvAndReportsIt)
{
    ModalDriver start;
    start.Then(IDR_NAME, Named("我的录像"));
    Click(IDC_RECORD);
    ASSERT_TRUE(start.Done());
    ASSERT_TRUE(pane_->Preview()->IsRecording());
    const std::string path = Settings.SavePath.RecordPath + "/我的录像.wmv";
    EXPECT_EQ(pane_->RecordingPath(), path);
    EXPECT_EQ(pane_->Control<QAbstractButton>(IDC_RECORD)->text(), "停止录像");
    QTest::qWait(2500);

    QString report;
    ModalDriver stop;
    stop.Then(IDR_RECORD_FINISH, [&](CUIWnd* window) {
        report = window->Control<QLabel>(IDC_REPORT_TEXT)->text();
        window->Control<QAbstractButton>(IDC_REPORT_CLOSE)->click();
    });
    Click(IDC_RECORD);
    ASSERT_TRUE(stop.Done());
    EXPECT_FALSE(pane_->Preview()->IsRecording());
    EXPECT_EQ(pane_->Control<QAbstractButton>(IDC_RECORD)->text(), "录像");
    EXPECT_TRUE(report.startsWith("文件大小为：")) << report.toStdString();
    EXPECT_TRUE(report.contains(QString::fromStdString(path)));
    EXPECT_GT(pane_->Preview()->Recorder()->TakenFrames(), 10);

    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                            "stream=codec_name,width,height:format=format_name", "-of", "csv=p=0",
                            QString::fromStdString(path)});
    ASSERT_TRUE(probe.waitForFinished(20000));
    const QString out = QString::fromUtf8(probe.readAllStandardOutput());
    EXPECT_TRUE(out.contains("wmv2,320,240")) << out.toStdString();
    EXPECT_TRUE(out.contains("asf")) << out.toStdString();
}

TEST_F(RecordingTest, NoNameNoRecording)
{
    ModalDriver cancel;
    cancel.Click(IDR_NAME, IDC_DIALOG_CLOSE);
    Click(IDC_RECORD);
    ASSERT_TRUE(cancel.Done());
    EXPECT_FALSE(pane_->Preview()->IsRecording());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Settings.SavePath.RecordPath + "/.wmv")));
}

TEST_F(RecordingTest, AFolderThatCannotBeWrittenIsNamed)
{
    // The record folder's place is taken by a file: nothing can be made in it.
    const std::string blocked = home_.File("blocked");
    WriteFileBytes(blocked, "not a folder");
    Settings.SavePath.RecordPath = blocked + "/Record";
    QString notice;
    ModalDriver driver;
    driver.Then(IDR_NAME, Named("试试")).Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
        notice = box->Control<QLabel>(1144)->text();
        box->Control<QAbstractButton>(IDC_BOX_NOTICE)->click();
    });
    Click(IDC_RECORD);
    ASSERT_TRUE(driver.Done());
    EXPECT_FALSE(pane_->Preview()->IsRecording());
    EXPECT_TRUE(notice.contains(QString::fromStdString(blocked + "/Record"))) << notice.toStdString();
}

}  // namespace
