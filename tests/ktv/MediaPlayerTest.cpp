#include "ktv/KaraokeEngine.h"
#include "ktv/SoundEffect.h"
#include "ktv/WMMedia.h"

#include "Waiting.h"
#include "settings/Settings.h"
#include "settings/WindowMessages.h"
#include "support/Files.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

// Counts the song ends it receives and keeps whether each was an unplayable song's.
class Receiver : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == CWindowMessage::EventType(WM_MEDIA_ENDED)) {
            ++ended;
            errors.push_back(static_cast<CWindowMessage*>(e)->wParam != 0);
            return true;
        }
        return QObject::event(e);
    }
    int ended = 0;
    std::vector<bool> errors;
};

class MediaPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
        dir_ = new QTemporaryDir;
        const std::string d = dir_->path().toStdString();
        // Three seconds of stereo tone; a one-second one; a long one; two audio tracks in one file.
        WriteFileBytes(d + "/corrupt.mp3", std::string(4096, 'x'));
        const std::string commands[] = {
            "ffmpeg -v error -y -f lavfi -i sine=frequency=330:duration=100 -ac 2 -ar 8000 " + d + "/long.wav",
            "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=3 -ac 2 " + d + "/song.wav",
            "ffmpeg -v error -y -f lavfi -i sine=frequency=880:duration=1 -ac 2 " + d + "/short.wav",
            "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=3 -f lavfi -i sine=frequency=660:duration=3 "
            "-map 0 -map 1 -c:a flac " + d + "/two.mka",
        };
        for (const std::string& c : commands)
            ASSERT_EQ(std::system(c.c_str()), 0) << c;
    }
    static void TearDownTestSuite() { delete dir_; }

    static std::string File(const char* name) { return dir_->path().toStdString() + "/" + name; }

    void SetUp() override { Settings.AudioTrack = 1; }

    static QTemporaryDir* dir_;
};

QTemporaryDir* MediaPlayerTest::dir_ = nullptr;

TEST_F(MediaPlayerTest, OnePlayerPerProcess)
{
    ASSERT_EQ(Settings.PlayerCreated, 0);
    {
        CWMMedia media;
        EXPECT_FALSE(media.HasControl());
        EXPECT_FALSE(media.Open(File("song.wav")));  // no player yet
        ASSERT_TRUE(media.CreateControl());
        EXPECT_TRUE(media.IsEnded());
        EXPECT_EQ(Settings.PlayerCreated, 1);
        EXPECT_FALSE(media.CreateControl());
        CWMMedia second;
        EXPECT_FALSE(second.CreateControl());
        EXPECT_FALSE(second.HasControl());
        EXPECT_EQ(Settings.PlayerCreated, 1);
    }
    EXPECT_EQ(Settings.PlayerCreated, 0);
}

TEST_F(MediaPlayerTest, PlaysPausesSeeksAndStops)
{
    CWMMedia media;
    ASSERT_TRUE(media.CreateControl());
    EXPECT_DOUBLE_EQ(media.Refresh(), 0.0);  // nothing open
    EXPECT_FALSE(media.Open(""));
    ASSERT_TRUE(media.Open(File("song.wav")));
    EXPECT_FALSE(media.IsEnded());
    ASSERT_TRUE(WaitFor([&] { return media.Position() > 0.3; }));
    EXPECT_NEAR(media.Duration(), 3.0, 0.05);

    // Seeks land on fraction x duration; 0 and below mean 0.01, above 1 the end.
    ASSERT_TRUE(media.Open(File("long.wav")));
    ASSERT_TRUE(WaitFor([&] { return media.Refresh() > 0; }));  // open: the new duration is known
    EXPECT_NEAR(media.Duration(), 100.0, 0.05);
    const struct {
        double fraction, seconds;
    } seeks[] = {{0.5, 50}, {0.0, 1}, {-2.0, 1}, {0.25, 25}, {0.001, 0.1}};
    for (const auto& s : seeks) {
        media.Seek(s.fraction);
        EXPECT_TRUE(WaitFor([&] {
            const double at = media.Position();
            return at >= s.seconds - 0.05 && at < s.seconds + 0.5;
        })) << s.fraction << " at " << media.Position();
    }
    media.Pause();
    EXPECT_TRUE(media.IsPaused());
    // Paused, the position stays put.
    QThread::msleep(100);
    const double paused = media.Position();
    QThread::msleep(300);
    EXPECT_NEAR(media.Position(), paused, 0.02);
    media.Play();
    EXPECT_FALSE(media.IsPaused());
    EXPECT_TRUE(WaitFor([&] { return media.Position() > paused + 0.1; }));

    media.Stop();
    EXPECT_TRUE(media.IsEnded());
    EXPECT_DOUBLE_EQ(media.Position(), 0.0);
    EXPECT_DOUBLE_EQ(media.Duration(), 0.0);
}

TEST_F(MediaPlayerTest, EndOfSongIsPostedToTheNotifyObject)
{
    Receiver receiver;
    CWMMedia media;
    ASSERT_TRUE(media.CreateControl());
    media.SetNotifyWindow(&receiver);
    ASSERT_TRUE(media.Open(File("short.wav")));
    ASSERT_TRUE(WaitFor([&] { return receiver.ended == 1; }));
    EXPECT_TRUE(media.IsEnded());

    // Seeking past the end ends the song too.
    ASSERT_TRUE(media.Open(File("song.wav")));
    EXPECT_FALSE(media.IsEnded());
    ASSERT_TRUE(WaitFor([&] { return media.Refresh() > 0; }));
    media.Seek(1.5);
    ASSERT_TRUE(WaitFor([&] { return receiver.ended == 2; }));
    EXPECT_TRUE(media.IsEnded());

    // Files that cannot be played end at once instead of hanging as "playing", and say so; so does a
    // song with no path.
    ASSERT_TRUE(media.Open(File("missing.wav")));
    ASSERT_TRUE(WaitFor([&] { return receiver.ended == 3; }));
    EXPECT_TRUE(media.IsEnded());
    ASSERT_TRUE(media.Open(File("corrupt.mp3")));
    ASSERT_TRUE(WaitFor([&] { return receiver.ended == 4; }));
    EXPECT_FALSE(media.Open(""));
    ASSERT_TRUE(WaitFor([&] { return receiver.ended == 5; }));
    EXPECT_TRUE(media.IsEnded());
    EXPECT_EQ(receiver.errors, (std::vector<bool>{false, false, true, true, true}));

    // A stopped song is not an ended one.
    ASSERT_TRUE(media.Open(File("song.wav")));
    media.Stop();
    QThread::msleep(300);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.ended, 5);

    // A window that has gone is told nothing more.
    media.SetNotifyWindow(nullptr);
    ASSERT_TRUE(media.Open(File("short.wav")));
    ASSERT_TRUE(WaitFor([&] { return media.IsEnded(); }));
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.ended, 5);
}

TEST_F(MediaPlayerTest, PauseAndResumeWhileOpeningKeepTheSong)
{
    CWMMedia media;
    ASSERT_TRUE(media.CreateControl());
    int64_t firstEntry = 0;
    // Straight after the open, before the file is loaded: paused, it stays at its start.
    ASSERT_TRUE(media.Open(File("long.wav")));
    media.Pause();
    ASSERT_TRUE(WaitFor([&] { return media.Refresh() >= 0 && media.Mpv()->HasFile(); }));
    ASSERT_TRUE(media.Mpv()->GetInt("playlist/0/id", firstEntry));
    QThread::msleep(400);
    EXPECT_LT(media.Position(), 0.1);
    media.Play();
    ASSERT_TRUE(WaitFor([&] { return media.Position() > 0.3; }));

    // Paused and resumed while the next file is still opening: the same file plays on, not a reload.
    ASSERT_TRUE(media.Open(File("long.wav")));
    media.Pause();
    media.Play();
    ASSERT_TRUE(WaitFor([&] { return media.Position() > 0.3; }));
    int64_t entry = 0;
    ASSERT_TRUE(media.Mpv()->GetInt("playlist/0/id", entry));
    EXPECT_EQ(entry, firstEntry + 1);

    // After a stop, play starts the song again.
    media.Stop();
    media.Play();
    ASSERT_TRUE(WaitFor([&] { return media.Mpv()->HasFile(); }));
    ASSERT_TRUE(media.Mpv()->GetInt("playlist/0/id", entry));
    EXPECT_EQ(entry, firstEntry + 2);
}

TEST_F(MediaPlayerTest, AudioTrackBalanceAndVolume)
{
    CWMMedia media;
    media.ToggleBalance();  // before the player exists: kept for it
    EXPECT_EQ(media.Balance(), -100);
    ASSERT_TRUE(media.CreateControl());
    EXPECT_NE(media.Mpv()->GetString("af").find("balance_out=-1"), std::string::npos);
    media.ToggleBalance();
    media.ToggleBalance();
    ASSERT_TRUE(media.Open(File("two.mka")));
    ASSERT_TRUE(WaitFor([&] { return media.Refresh() > 0; }));
    ASSERT_EQ(media.Mpv()->AudioTrackCount(), 2);
    int64_t aid = 0;
    for (int expected : {2, 1, 2}) {
        media.ToggleAudioTrack();
        EXPECT_EQ(Settings.AudioTrack, expected);
        ASSERT_TRUE(media.Mpv()->GetInt("aid", aid));
        EXPECT_EQ(aid, expected);
    }

    // One track: nothing to switch.
    ASSERT_TRUE(media.Open(File("song.wav")));
    ASSERT_TRUE(WaitFor([&] { return media.Refresh() > 0; }));
    ASSERT_EQ(media.Mpv()->AudioTrackCount(), 1);
    media.ToggleAudioTrack();
    EXPECT_EQ(Settings.AudioTrack, 2);
    ASSERT_TRUE(media.Mpv()->GetInt("aid", aid));
    EXPECT_EQ(aid, 1);

    const struct {
        int balance;
        const char* filter;
    } balances[] = {{100, "balance_out=1"}, {-100, "balance_out=-1"}, {100, "balance_out=1"}};
    for (const auto& b : balances) {
        media.ToggleBalance();
        EXPECT_EQ(media.Balance(), b.balance);
        EXPECT_NE(media.Mpv()->GetString("af").find(b.filter), std::string::npos) << media.Mpv()->GetString("af");
    }

    const struct {
        int set;
        double got;
    } volumes[] = {{50, 50}, {150, 100}, {-5, 0}, {100, 100}};
    for (const auto& v : volumes) {
        media.SetVolume(v.set);
        double volume = -1;
        ASSERT_TRUE(media.Mpv()->GetDouble("volume", volume));
        EXPECT_DOUBLE_EQ(volume, v.got) << v.set;
    }
}

TEST_F(MediaPlayerTest, SoundEffectsPlayToTheirEnd)
{
    CSoundEffect sound;
    EXPECT_FALSE(sound.Play(""));
    EXPECT_FALSE(sound.IsPlaying());
    ASSERT_TRUE(sound.Play(File("short.wav")));
    EXPECT_EQ(sound.Path(), File("short.wav"));
    ASSERT_TRUE(WaitFor([&] { return sound.IsPlaying(); }));
    ASSERT_TRUE(WaitFor([&] { return !sound.IsPlaying(); }));
    // A new sound replaces the one playing.
    ASSERT_TRUE(sound.Play(File("song.wav")));
    ASSERT_TRUE(WaitFor([&] { return sound.IsPlaying(); }));
    ASSERT_TRUE(sound.Play(File("short.wav")));
    EXPECT_EQ(sound.Path(), File("short.wav"));
    ASSERT_TRUE(WaitFor([&] { return sound.IsPlaying(); }));
    sound.Close();
    EXPECT_FALSE(sound.IsPlaying());
    // A missing file fails quietly.
    sound.Play(File("none.wav"));
    EXPECT_TRUE(WaitFor([&] { return !sound.IsPlaying(); }));
}

TEST_F(MediaPlayerTest, ShippedSoundsAndSongPlay)
{
    std::atomic<int> ends{0}, errors{0};
    CMpvAudio player([&](bool error) { ++(error ? errors : ends); });
    int played = 0;
    for (const char* name : {"photo.wav", "尖叫.wav", "起哄.wav", "掌声.wav"}) {
        ASSERT_TRUE(player.Load(std::string(KORVEL_SOURCE_DIR "/assets/Sound/") + name)) << name;
        ++played;
        EXPECT_TRUE(WaitFor([&] { return ends == played; })) << name;
    }
    EXPECT_EQ(errors, 0);
    CWMMedia media;
    ASSERT_TRUE(media.CreateControl());
    ASSERT_TRUE(media.Open(KORVEL_SOURCE_DIR "/assets/DownLoad/Songs/小星星.wma"));
    ASSERT_TRUE(WaitFor([&] { return media.Refresh() > 0; }));
    EXPECT_NEAR(media.Duration(), 28.0, 0.1);
    EXPECT_EQ(media.Mpv()->AudioTrackCount(), 2);
}

TEST_F(MediaPlayerTest, ASongWithoutAPlayerEndsAsUnplayable)
{
    // Another player holds the process's one player: this engine cannot create its own.
    CWMMedia other;
    ASSERT_TRUE(other.CreateControl());
    Receiver receiver;
    CKaraokeEngine engine;
    engine.Player().SetNotifyWindow(&receiver);
    QTemporaryDir dir;
    const std::string lyric = dir.path().toStdString() + "/l.rar";
    WriteFileBytes(lyric, "karaoke := CreateKaraokeObject;\nkaraoke.TimeOffset := 0;\n"
                          "karaoke.add('00:00.000', '00:09.000', 'x', '1');\n");
    engine.PlaySong(File("song.wav"), lyric);
    ASSERT_TRUE(WaitFor([&] { return receiver.ended == 1; }));
    EXPECT_EQ(receiver.errors, std::vector<bool>{true});
    EXPECT_TRUE(engine.IsEnded());
    // The lyric thread sees the end and stops instead of polling on.
    EXPECT_TRUE(WaitFor([&] { return engine.IsThreadFinished(); }));
    EXPECT_EQ(Settings.LyricRunning, 0);
}

TEST_F(MediaPlayerTest, EngineDrivesTheSong)
{
    CKaraokeEngine engine;
    engine.PlaySong(File("long.wav"), "");
    EXPECT_FALSE(engine.IsActive());
    ASSERT_TRUE(WaitFor([&] { return engine.Position() > 0.2; }));
    EXPECT_NEAR(engine.Duration(), 100.0, 0.05);
    engine.Seek(0.5);
    EXPECT_TRUE(WaitFor([&] { return engine.Position() >= 49.95 && engine.Position() < 50.5; }));
    engine.Pause();
    EXPECT_TRUE(engine.IsPaused());
    engine.Resume();
    EXPECT_FALSE(engine.IsPaused());
    engine.Seek(0.9999);
    ASSERT_TRUE(WaitFor([&] { return engine.IsEnded(); }));
    // Sound effects play over the song on a player of their own.
    engine.PlaySound(File("short.wav"));
    EXPECT_EQ(engine.SoundEffect().Path(), File("short.wav"));
    ASSERT_TRUE(WaitFor([&] { return engine.SoundEffect().IsPlaying(); }));
    engine.PlaySong(File("song.wav"), "");
    EXPECT_FALSE(engine.IsEnded());
    engine.Stop();
    EXPECT_TRUE(engine.IsEnded());
    EXPECT_TRUE(engine.IsThreadFinished());
}

}  // namespace
