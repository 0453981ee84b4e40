// The song list: the catalogue's songs with their downloads, songs from disk, the list commands, the
// play mode, playing by double click and the next song.
#include "PanelFixture.h"
#include "ktv/panels/WndSubSelSong.h"
#include "ui/FileDialog.h"
#include "ui/ModalDriver.h"
#include "ui/SkinResources.h"
#include "ui/SkinTreeList.h"

#include "support/Files.h"

#undef KORVEL_TEST_FIXTURES
#define KORVEL_TEST_FIXTURES KORVEL_SOURCE_DIR "/tests/net"
#include "net/FixtureServer.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QFileInfo>

#include <set>

namespace {

enum { IDC_ADD_FROM_DISK = 1201, IDC_DELETE = 1202, IDC_CLEAR = 1203, IDC_UP = 1204, IDC_DOWN = 1205,
       IDC_PLAY_MODE = 1206, IDC_SONGS = 4310 };
enum { IDC_BOX_CONFIRM = 1141, IDC_BOX_REFUSE = 1142, IDC_BOX_NOTICE = 1143 };

class SongListPanelTest : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        list_ = MakePanel<CWndSubSelSong>();
        ASSERT_NE(list_, nullptr);
        control_ = list_->ListControl();
        ASSERT_NE(control_, nullptr);
    }

    void Add(const CatalogueLink& link) { SendWindowMessage(list_, WM_KTV_ADD_SONG, 0, 0, link); }
    // What the list shows, one "name|status" a row.
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < control_->RowCount(); ++i)
            rows.push_back((control_->CellText(i, 0) + "|" + control_->CellText(i, 1)).toStdString());
        return rows;
    }
    void DoubleClick(int row) { list_->SendNotify({IDC_SONGS, NotifyCode::DoubleClick, row, 0, {}}); }
    std::vector<PlayRequest> Played() const
    {
        std::vector<PlayRequest> played;
        for (const SentMessage& m : host_->Sent(WM_KTV_PLAY_SONG))
            played.push_back(std::any_cast<PlayRequest>(m.payload));
        return played;
    }
    std::string Songs() const { return home_.File("DownLoad/Songs"); }
    std::string Lyrics() const { return home_.File("DownLoad/Lyrics"); }

    const CatalogueLink star_{"http://ktv.korvel.invalid/Songs/%E5%B0%8F%E6%98%9F%E6%98%9F.wma",
                              "http://ktv.korvel.invalid/Lyrics/%E5%B0%8F%E6%98%9F%E6%98%9F.rar", "小星星", "童谣",
                              "demo"};
    CWndSubSelSong* list_ = nullptr;
    CSkinTreeList* control_ = nullptr;
};

TEST_F(SongListPanelTest, FoldersDefaultToTheProgramsDownLoadFolder)
{
    EXPECT_EQ(Settings.SavePath.SongPath, Songs());
    EXPECT_EQ(Settings.SavePath.LyricPath, Lyrics());

    // Folders chosen in the settings are made when missing; one that cannot be made gives way to the
    // default, which is made again.
    const std::string chosen = home_.File("MySongs/Songs");
    WriteFileBytes(home_.File("blocked"), "a file");
    Settings.SavePath.SongPath = chosen;
    Settings.SavePath.LyricPath = home_.File("blocked/Lyrics");
    QDir(QString::fromStdString(home_.File("DownLoad"))).removeRecursively();
    SendWindowMessage(list_, WM_KTV_RELOAD_SONGS);
    EXPECT_EQ(Settings.SavePath.SongPath, chosen);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(chosen)).isDir());
    EXPECT_EQ(Settings.SavePath.LyricPath, Lyrics());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(Lyrics())).isDir());

    // At creation a saved folder that has gone is given up for the default.
    Settings.SavePath.SongPath = home_.File("gone/Songs");
    CWndSubSelSong* another = MakePanel<CWndSubSelSong>();
    ASSERT_NE(another, nullptr);
    EXPECT_EQ(Settings.SavePath.SongPath, Songs());
}

TEST_F(SongListPanelTest, SongsFoundInTheFoldersAreCompleteAndPlay)
{
    Add(star_);
    Add(star_);  // the same link again: the files are on disk, so it is listed again as a local copy
    ASSERT_EQ(Rows(), (std::vector<std::string>{"小星星|童谣", "小星星|童谣"}));
    EXPECT_FALSE(list_->SongClient().HasRunningDownloads());
    DoubleClick(0);
    ASSERT_EQ(Played().size(), 1u);
    EXPECT_EQ(Played()[0].songPath, Songs() + "/小星星.wma");
    EXPECT_EQ(Played()[0].lyricPath, Lyrics() + "/小星星.rar");
}

TEST_F(SongListPanelTest, CatalogueDownloadShowsItsProgressAndBecomesPlayable)
{
    const std::string served = home_.File("served");
    QDir().mkpath(QString::fromStdString(served));
    WriteFileBytes(served + "/star.rar", ReadFileBytes(Lyrics() + "/小星星.rar"));
    FixtureServer server(served);
    ASSERT_GT(server.Port(), 0);
    // The song comes in ten pieces over a second.
    const CatalogueLink link{server.Url("/slow/300000"), server.Url("/static/star.rar"), "慢歌", "某人", ""};
    Add(link);
    ASSERT_EQ(Rows(), (std::vector<std::string>{"慢歌|初始化..."}));
    DoubleClick(0);  // not complete: nothing plays
    EXPECT_TRUE(Played().empty());

    std::set<std::string> statuses;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        statuses.insert(control_->CellText(0, 1).toStdString());
        return control_->CellText(0, 1) == "某人";
    }, 20000));
    EXPECT_TRUE(statuses.count("加载中...")) << "the download's progress was not shown";
    EXPECT_EQ(ReadFileBytes(Songs() + "/300000").size(), 300000u);
    EXPECT_EQ(ReadFileBytes(Lyrics() + "/star.rar"), ReadFileBytes(served + "/star.rar"));
    const SongEntry& song = list_->Lists().Songs().at(0);
    EXPECT_EQ(song.state, SONG_COMPLETE);
    EXPECT_EQ(song.total, 300000);

    DoubleClick(0);
    ASSERT_EQ(Played().size(), 1u);
    EXPECT_EQ(Played()[0].songPath, Songs() + "/300000");
    EXPECT_EQ(Played()[0].lyricPath, Lyrics() + "/star.rar");
}

TEST_F(SongListPanelTest, FailedDownloadsSaySoAndMayBeAddedAgain)
{
    FixtureServer server;
    ASSERT_GT(server.Port(), 0);
    // The server stops half-way through the song; the lyric is not there at all.
    const CatalogueLink link{server.Url("/short/40000"), server.Url("/404"), "断歌", "某人", ""};
    Add(link);
    // "加载失败" as the status is refreshed, "中止" once the list is rebuilt.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Rows() == std::vector<std::string>{"断歌|加载失败"} || Rows() == std::vector<std::string>{"断歌|中止"};
    }, 30000)) << Rows().at(0);
    EXPECT_EQ(list_->Lists().Songs().at(0).state, SONG_FAILED);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Songs() + "/40000")));
    ASSERT_EQ(list_->Lists().Lyrics().size(), 1u);
    EXPECT_EQ(list_->Lists().Lyrics()[0].state, SONG_FAILED);
    Add(link);
    EXPECT_EQ(list_->Lists().Songs().size(), 2u);
    EXPECT_EQ(list_->Lists().Lyrics().size(), 2u);
}

TEST_F(SongListPanelTest, ClearingWhileADownloadRunsLeavesItsNewsUnclaimed)
{
    FixtureServer server;
    ASSERT_GT(server.Port(), 0);
    Add({server.Url("/slow/200000"), server.Url("/slow/1000"), "慢歌", "某人", ""});
    ModalDriver driver;
    driver.Click(IDR_USER_OPT_HITE, IDC_BOX_CONFIRM);
    list_->SendCommand(IDC_CLEAR);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(control_->RowCount(), 0);
    EXPECT_TRUE(list_->Lists().Songs().empty());
    EXPECT_EQ(list_->Lists().Lyrics().size(), 1u);  // the lyric list stays
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return !list_->SongClient().HasRunningDownloads() && !list_->LyricClient().HasRunningDownloads();
    }, 20000));
    QTest::qWait(2000);  // timers 88 and 99 go round with nothing to show
    EXPECT_EQ(control_->RowCount(), 0);
}

TEST_F(SongListPanelTest, ListCommands)
{
    std::vector<std::string> chosen{"/music/a.mp3"};
    SetFileChooser([&](const OpenFileRequest& request) {
        // The filter of audio files.
        EXPECT_EQ(request.nameFilters, NameFiltersFromWindows("Audio Files(*.mp3;*.wma;*.mpg;)|*.mp3;*.wma;*.mpg;||"));
        QStringList paths;
        for (const std::string& path : chosen)
            paths << QString::fromStdString(path);
        return paths;
    });
    list_->SendCommand(IDC_ADD_FROM_DISK);
    chosen = {"/music/b.wma"};
    list_->SendCommand(IDC_ADD_FROM_DISK);
    chosen = {"/music/c.mpg"};
    list_->SendCommand(IDC_ADD_FROM_DISK);
    chosen = {};  // cancelled
    list_->SendCommand(IDC_ADD_FROM_DISK);
    SetFileChooser({});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a|本地", "b|本地", "c|本地"}));

    control_->SelectRow(2);
    list_->SendCommand(IDC_UP);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a|本地", "c|本地", "b|本地"}));
    EXPECT_EQ(control_->SelectedRow(), 1);  // the moved song stays selected
    list_->SendCommand(IDC_DOWN);
    list_->SendCommand(IDC_DOWN);  // already last
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a|本地", "b|本地", "c|本地"}));
    control_->SelectRow(0);
    list_->SendCommand(IDC_UP);  // already first
    list_->SendCommand(IDC_DELETE);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b|本地", "c|本地"}));

    // Clearing asks first; refused, the list stays.
    ModalDriver refuse;
    refuse.Click(IDR_USER_OPT_HITE, IDC_BOX_REFUSE);
    list_->SendCommand(IDC_CLEAR);
    EXPECT_TRUE(refuse.Done());
    EXPECT_EQ(control_->RowCount(), 2);

    // The play mode menu, the current mode checked.
    ModalDriver menu;
    menu.ThenMenu([](QMenu* shown) {
        QStringList texts;
        for (QAction* action : shown->actions()) {
            texts << action->text();
            EXPECT_EQ(action->isChecked(), action->text() == "循环播放");
        }
        EXPECT_EQ(texts, (QStringList{"顺序播放", "循环播放", "随机播放", "单曲循环", "单曲播放"}));
    }).ChooseMenuItem("随机播放");
    list_->SendCommand(IDC_PLAY_MODE);
    EXPECT_TRUE(menu.Done());
    EXPECT_EQ(Settings.LoopMode.Musiz, PLAY_RANDOM);
}

TEST_F(SongListPanelTest, DoubleClickRefusedWhileTheMediaFileSourceRuns)
{
    Add(star_);
    sink_->SetSourceKind(SOURCE_MEDIA);
    QString shown;
    ModalDriver driver;
    driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
        if (auto* text = box->Control<QLabel>(1144))
            shown = text->text();
        if (auto* button = box->Control<QAbstractButton>(IDC_BOX_NOTICE))
            button->click();
    });
    DoubleClick(0);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(shown.startsWith("当前视频来源为媒体文件"));
    EXPECT_TRUE(Played().empty());
    sink_->SetSourceKind(SOURCE_CAMERA);
    DoubleClick(0);
    EXPECT_EQ(Played().size(), 1u);
}

TEST_F(SongListPanelTest, NextSongByPlayMode)
{
    for (const char* name : {"a", "b", "c"}) {
        SetFileChooser([name](const OpenFileRequest&) { return QStringList{QString("/music/%1.mp3").arg(name)}; });
        list_->SendCommand(IDC_ADD_FROM_DISK);
    }
    SetFileChooser({});
    const auto ended = [&](bool unplayable) {
        SendWindowMessage(list_, WM_KTV_SONG_ENDED, unplayable ? 1 : 0);
        return Played().empty() ? std::string() : Played().back().songPath;
    };
    const auto playedCount = [&] { return Played().size(); };

    Settings.LoopMode.Musiz = PLAY_IN_ORDER;
    DoubleClick(1);
    EXPECT_EQ(ended(false), "/music/c.mp3");
    const size_t before = playedCount();
    ended(false);  // c was the last: nothing follows
    EXPECT_EQ(playedCount(), before);

    Settings.LoopMode.Musiz = PLAY_LOOP_LIST;
    EXPECT_EQ(ended(false), "/music/a.mp3");
    Settings.LoopMode.Musiz = PLAY_REPEAT_ONE;
    EXPECT_EQ(ended(false), "/music/a.mp3");
    // A song that could not be played is not loaded again at once.
    const size_t afterRepeat = playedCount();
    ended(true);
    EXPECT_EQ(playedCount(), afterRepeat);
    Settings.LoopMode.Musiz = PLAY_ONE_ONCE;
    ended(false);
    EXPECT_EQ(playedCount(), afterRepeat);
}

}  // namespace
