// The catalogue page in its browser: catalogue links add songs to the song list, whatever else the
// page holds.
#include "PanelFixture.h"
#include "ktv/panels/WndKTV.h"
#include "ktv/panels/WndSubSelSong.h"
#include "ktv/panels/HtmlCtrlEx.h"
#include "ktv/panels/WndSubSongScr.h"
#include "ui/SkinTreeList.h"

#include "support/Files.h"

#undef KORVEL_TEST_FIXTURES
#define KORVEL_TEST_FIXTURES KORVEL_SOURCE_DIR "/tests/net"
#include "net/FixtureServer.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <set>

namespace {

class CatalogueTest : public PanelTest {
protected:
    CWndKTV* MakeKtv()
    {
        CWndKTV* ktv = MakePanel<CWndKTV>();
        EXPECT_NE(ktv, nullptr);
        return ktv;
    }
    // The KTV tab with its catalogue page loaded; null when either is missing.
    CWndKTV* MakeKtvShowing(const QString& title)
    {
        CWndKTV* ktv = MakeKtv();
        QWebEngineView* view = ktv ? View(ktv) : nullptr;
        if (!view || !QTest::qWaitFor([&] { return view->title() == title; }, 30000))
            return nullptr;
        return ktv;
    }
    static QWebEngineView* View(CWndKTV* ktv) { return ktv->Catalogue()->Browser().View(); }
    static void Click(QWebEngineView* view, int index)
    {
        view->page()->runJavaScript(QString("document.querySelectorAll('a')[%1].click()").arg(index));
    }
    static std::vector<std::string> Rows(CWndKTV* ktv)
    {
        std::vector<std::string> rows;
        const CSkinTreeList* list = ktv->SongList()->ListControl();
        for (int i = 0; i < list->RowCount(); ++i)
            rows.push_back((list->CellText(i, 0) + "|" + list->CellText(i, 1)).toStdString());
        return rows;
    }
};

TEST_F(CatalogueTest, DemoCatalogueAddsTheShippedSongsWithoutTheNetwork)
{
    CWndKTV* ktv = MakeKtvShowing("KTV 点歌台");
    ASSERT_NE(ktv, nullptr);
    QWebEngineView* view = View(ktv);

    Click(view, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Rows(ktv).size() == 1; }, 20000));
    Click(view, 0);
    Click(view, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Rows(ktv).size() == 3; }, 20000));
    EXPECT_EQ(Rows(ktv), (std::vector<std::string>{"两只老虎|童谣", "小星星|童谣", "祝你生日快乐|佚名"}));
    const CSongLists& lists = ktv->SongList()->Lists();
    for (const SongEntry& song : lists.Songs())
        EXPECT_EQ(song.state, SONG_COMPLETE) << song.name;
    ASSERT_EQ(lists.Lyrics().size(), 3u);
    EXPECT_EQ(lists.Lyrics()[0].location, home_.File("DownLoad/Lyrics/两只老虎.rar"));
    EXPECT_FALSE(ktv->SongList()->SongClient().HasRunningDownloads());
    EXPECT_FALSE(ktv->SongList()->LyricClient().HasRunningDownloads());
    // The page stays.
    EXPECT_EQ(view->title(), "KTV 点歌台");
}

TEST_F(CatalogueTest, ServedCatalogueDownloadsTheSongAndItsLyric)
{
    const std::string served = home_.File("served");
    QDir().mkpath(QString::fromStdString(served));
    FixtureServer server(served);
    ASSERT_GT(server.Port(), 0);
    WriteFileBytes(served + "/star.rar", ReadFileBytes(home_.File("DownLoad/Lyrics/小星星.rar")));
    const std::string link = "#6403MTV;" + server.Url("/slow/100000") + ";" + server.Url("/static/star.rar") +
                             ";网上的歌;网上的人;";
    WriteFileBytes(served + "/index.html", "<html><head><meta charset='utf-8'><title>served</title></head><body>"
                                           "<a href='" + link + "' target='_blank'>点歌</a></body></html>");
    ActiveIni.KtvLstURL = server.Url("/static/index.html");
    CWndKTV* ktv = MakeKtvShowing("served");
    ASSERT_NE(ktv, nullptr);
    QWebEngineView* view = View(ktv);
    Click(view, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Rows(ktv) == std::vector<std::string>{"网上的歌|网上的人"}; }, 30000));
    EXPECT_EQ(ReadFileBytes(home_.File("DownLoad/Songs/100000")).size(), 100000u);
    EXPECT_EQ(ReadFileBytes(home_.File("DownLoad/Lyrics/star.rar")), ReadFileBytes(served + "/star.rar"));
}

TEST_F(CatalogueTest, MalformedLinksAddNothingUnsafe)
{
    CWndKTV* ktv = MakeKtv();
    ASSERT_NE(ktv, nullptr);
    CHtmlCtrlEx& browser = ktv->Catalogue()->Browser();
    const QString page = QUrl::fromLocalFile(QString::fromStdString(home_.File("bad.html"))).toString();
    const QString huge(10000, 'x');
    const struct {
        QString address;
        bool follows;  // the browser may go there
    } links[] = {
        {page + "#6403MTV;http://s/a.mp3;http://s/a.rar;少字段", true},  // fields missing
        {page + "#6403MTV;http://s/" + huge + ";http://s/" + huge + ";" + huge + ";" + huge + ";", true},
        {page + "#6403MTV;http://s/..;http://s/%2E%2E;上级;某人;", true},  // ".." as file names
        {page + "#6403MTV;http://s/..%2F..%2Fx.mp3;http://s/a%2Fb.rar;斜杠;某人;", true},
        {page + "#6403MTV;file:///etc/passwd;javascript:alert(1);文件;某人;", true},
        {"javascript:void(0)#6403MTV;http://s/j.mp3;http://s/j.rar;脚本;某人;", false},
        {"korvel-x:y#6403MTV;http://s/k.mp3;http://s/k.rar;怪协议;某人;", false},
        {"mailto:someone@example.invalid", false},
        {"http://example.invalid/ordinary.html", true},
    };
    for (const auto& link : links)
        EXPECT_EQ(browser.BeforeNavigate(QUrl(link.address)), link.follows) << link.address.left(80).toStdString();

    // Only links with every field and usable file names are listed; none names a file outside the
    // song folders, and whatever they name is fetched only over HTTP.
    const CSongLists& lists = ktv->SongList()->Lists();
    std::vector<std::string> names;
    for (const SongEntry& song : lists.Songs()) {
        names.push_back(song.name);
        EXPECT_EQ(song.fileName.find('/'), std::string::npos);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"文件", "脚本", "怪协议"}));
    for (const SongEntry& lyric : lists.Lyrics())
        EXPECT_EQ(lyric.fileName.find('/'), std::string::npos);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return !ktv->SongList()->SongClient().HasRunningDownloads() && !ktv->SongList()->LyricClient().HasRunningDownloads();
    }, 30000));
    QTest::qWait(100);
    for (const SongEntry& song : lists.Songs())
        EXPECT_EQ(song.state, SONG_FAILED) << song.name;
    EXPECT_EQ(QDir(QString::fromStdString(home_.File("DownLoad/Songs"))).entryList(QDir::Files).size(), 3);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home_.File("x.mp3"))));
}

}  // namespace
