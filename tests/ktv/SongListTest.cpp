#include "ktv/PlayOrder.h"
#include "ktv/SongList.h"

#include "settings/Settings.h"
#include "settings/WindowMessages.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(CatalogueLink, Parses)
{
    const struct {
        std::string address;
        bool matches;
        CatalogueLink link;
    } cases[] = {
        {"http://ktv/x#6403MTV;http://s/a.mp3;http://s/a.rar;小星星;童谣;tail", true,
         {"http://s/a.mp3", "http://s/a.rar", "小星星", "童谣", "tail"}},
        {"http://ktv/x#6403mtv;u1;u2;n;s;", true, {"u1", "u2", "n", "s", ""}},   // marker upper-cased
        {"#6403MTV;u1;u2;n;s;a;b;c", true, {"u1", "u2", "n", "s", "a;b;c"}},     // the rest runs on
        {"#6403MTV;;;;;", true, {"", "", "", "", ""}},
        {"http://ktv/x#6403MTV;u1;u2;n;s", false, {}},  // the last field is missing
        {"http://ktv/x#6403MTV;u1;u2", false, {}},
        {"http://ktv/x#6403MTV", false, {}},
        {"http://ktv/x#6403MTVX;u1;u2;n;s;r", false, {}},
        {"http://ktv/x#6403MT;u1;u2;n;s;r", false, {}},
        {"6403MTV;u1;u2;n;s;r", false, {}},
        {";#6403MTV;u1;u2;n;s;r", false, {}},
        {"http://ktv/x;#6403MTV;u1;u2;n;s;r", false, {}},  // split at the first ";"
        {"", false, {}},
        {"http://example.invalid/page.html", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const auto link = ParseCatalogueLink(c.address);
        ASSERT_EQ(link.has_value(), c.matches);
        if (!link)
            continue;
        EXPECT_EQ(link->songUrl, c.link.songUrl);
        EXPECT_EQ(link->lyricUrl, c.link.lyricUrl);
        EXPECT_EQ(link->name, c.link.name);
        EXPECT_EQ(link->singer, c.link.singer);
        EXPECT_EQ(link->rest, c.link.rest);
    }

    // Huge fields are read as they are.
    const std::string big(1 << 20, 'x');
    const auto link = ParseCatalogueLink("#6403MTV;http://s/" + big + ";l;" + big + ";s;r");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->name, big);
    EXPECT_EQ(FileNameFromUrl(link->songUrl), big);
}

TEST(CatalogueLink, FileNameFromUrl)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://s/dir/a.mp3", "a.mp3"}, {"http://s/", ""}, {"a.mp3", "a.mp3"}, {"http://s/..", ".."}, {"", ""},
        {"http://s/%E5%B0%8F%E6%98%9F%E6%98%9F.wma", "小星星.wma"}, {"http://s/My%20Song.mp3", "My Song.mp3"},
        {"http://s/%2E%2E", ".."}, {"http://s/a%2Fb.mp3", "a/b.mp3"}, {"http://s/100%.mp3", "100%.mp3"}, {"http://s/a%4", "a%4"}, {"http://s/%41", "A"}};
    for (const auto& [url, name] : cases)
        EXPECT_EQ(FileNameFromUrl(url), name) << url;
}

class SongListsTest : public ::testing::Test {
protected:
    CSongLists lists_{[this](const std::string& path) { return onDisk_.count(path) > 0; }};
    std::set<std::string> onDisk_;
    const CatalogueLink star_{"http://s/star.mp3", "http://s/star.rar", "小星星", "童谣", ""};
};

TEST_F(SongListsTest, SameLinkTwiceAddsOnceUntilItFailed)
{
    auto downloads = lists_.AddFromCatalogue(star_, "/songs", "/lyrics");
    ASSERT_EQ(downloads.size(), 2u);
    EXPECT_FALSE(downloads[0].lyric);
    EXPECT_EQ(downloads[0].url, "http://s/star.mp3");
    EXPECT_EQ(downloads[0].fileName, "star.mp3");
    EXPECT_TRUE(downloads[1].lyric);
    EXPECT_EQ(downloads[1].fileName, "star.rar");
    ASSERT_EQ(lists_.Songs().size(), 1u);
    const SongEntry& song = lists_.Songs()[0];
    EXPECT_EQ(song.state, SONG_QUEUED);
    EXPECT_EQ(song.origin, ORIGIN_CATALOGUE);
    EXPECT_EQ(song.location, "http://s/star.mp3");
    EXPECT_EQ(song.folder, "/songs");
    EXPECT_EQ(song.name, "小星星");
    EXPECT_EQ(song.singer, "童谣");

    EXPECT_TRUE(lists_.AddFromCatalogue(star_, "/songs", "/lyrics").empty());
    EXPECT_EQ(lists_.Songs().size(), 1u);
    EXPECT_EQ(lists_.Lyrics().size(), 1u);

    // The song's download failed: a second click adds it again; the lyric is still fine.
    ASSERT_TRUE(lists_.ApplyDownloadNotice(WM_DOWNLOAD_FAILED, "http://s/star.mp3"));
    downloads = lists_.AddFromCatalogue(star_, "/songs", "/lyrics");
    ASSERT_EQ(downloads.size(), 1u);
    EXPECT_FALSE(downloads[0].lyric);
    ASSERT_EQ(lists_.Songs().size(), 2u);
    EXPECT_EQ(lists_.Lyrics().size(), 1u);
    // Notices go to the newest entry with the URL.
    ASSERT_TRUE(lists_.ApplyDownloadNotice(WM_DOWNLOAD_PROGRESS, "http://s/star.mp3", 10, 100));
    EXPECT_EQ(lists_.Songs()[0].state, SONG_FAILED);
    EXPECT_EQ(lists_.Songs()[1].state, SONG_LOADING);
}

TEST_F(SongListsTest, FilesAlreadyThereAreComplete)
{
    onDisk_ = {"/songs/star.mp3"};
    const auto downloads = lists_.AddFromCatalogue(star_, "/songs", "/lyrics");
    ASSERT_EQ(downloads.size(), 1u);
    EXPECT_TRUE(downloads[0].lyric);
    const SongEntry& song = lists_.Songs().at(0);
    EXPECT_EQ(song.state, SONG_COMPLETE);
    EXPECT_EQ(song.origin, ORIGIN_DISK);
    EXPECT_EQ(song.location, "/songs/star.mp3");
    // Not a catalogue entry, so the duplicate test lets it in again.
    lists_.AddFromCatalogue(star_, "/songs", "/lyrics");
    EXPECT_EQ(lists_.Songs().size(), 2u);
}

TEST_F(SongListsTest, UnusableFileNamesAddNothing)
{
    for (const char* url : {"http://s/", "http://s/..", "http://s/.", "", "http://s/a\\..\\b", "http://s/%2e%2E",
                            "http://s/..%2F..%2Fetc%2Fpasswd", "http://s/a%00b.mp3", "http://s/a%5C..%5Cb"}) {
        CatalogueLink link{url, url, "n", "s", ""};
        EXPECT_TRUE(lists_.AddFromCatalogue(link, "/songs", "/lyrics").empty()) << url;
    }
    EXPECT_TRUE(lists_.Songs().empty());
    EXPECT_TRUE(lists_.Lyrics().empty());
}

TEST_F(SongListsTest, DownloadNoticesSetStates)
{
    lists_.AddFromCatalogue(star_, "/songs", "/lyrics");
    const struct {
        int message;
        const char* url;
        int done, total;
        bool found;
        int songState, lyricState;
    } steps[] = {
        {WM_DOWNLOAD_STARTED, "http://s/star.mp3", 0, 0, true, SONG_QUEUED, SONG_QUEUED},
        {WM_DOWNLOAD_PROGRESS, "http://s/star.mp3", 8192, 90000, true, SONG_LOADING, SONG_QUEUED},
        {WM_DOWNLOAD_PROGRESS, "http://s/star.rar", 300, 0, true, SONG_LOADING, SONG_LOADING},
        {WM_DOWNLOAD_DONE, "http://s/star.mp3", 0, 0, true, SONG_COMPLETE, SONG_LOADING},
        {WM_DOWNLOAD_FAILED, "http://s/star.rar", 0, 0, true, SONG_COMPLETE, SONG_FAILED},
        {WM_DOWNLOAD_DONE, "http://s/other.mp3", 0, 0, false, SONG_COMPLETE, SONG_FAILED},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.url);
        EXPECT_EQ(lists_.ApplyDownloadNotice(s.message, s.url, s.done, s.total), s.found);
        EXPECT_EQ(lists_.Songs()[0].state, s.songState);
        EXPECT_EQ(lists_.Lyrics()[0].state, s.lyricState);
    }
    EXPECT_EQ(lists_.Songs()[0].done, 8192);
    EXPECT_EQ(lists_.Songs()[0].total, 90000);
}

TEST_F(SongListsTest, PlayPaths)
{
    lists_.AddFromCatalogue(star_, "/songs", "/lyrics");
    lists_.AddFromCatalogue({"http://s/solo.mp3", "http://s/x.rar", "独唱", "某人", ""}, "/songs", "/lyrics");
    lists_.AddFromDisk("/music/晚风.mp3");
    lists_.AddFromDisk("/music/no lyric.wma");
    onDisk_ = {"/lyrics/晚风.rar"};
    // The lyric list has no entry with the second song's name and singer.
    lists_.Lyrics()[1].name = "else";

    EXPECT_FALSE(lists_.PlayEntry(0, "/lyrics"));  // still downloading
    EXPECT_FALSE(lists_.PlayEntry(9, "/lyrics"));
    lists_.ApplyDownloadNotice(WM_DOWNLOAD_DONE, "http://s/star.mp3");
    lists_.ApplyDownloadNotice(WM_DOWNLOAD_DONE, "http://s/solo.mp3");

    const struct {
        size_t index;
        const char* song;
        const char* lyric;
    } cases[] = {
        {0, "/songs/star.mp3", "/lyrics/star.rar"},
        {1, "/songs/solo.mp3", ""},
        {2, "/music/晚风.mp3", "/lyrics/晚风.rar"},
        {3, "/music/no lyric.wma", "/lyrics/no lyric.rar"},
    };
    for (const auto& c : cases) {
        const auto request = lists_.PlayEntry(c.index, "/lyrics");
        ASSERT_TRUE(request) << c.index;
        EXPECT_EQ(request->songPath, c.song);
        EXPECT_EQ(request->lyricPath, c.lyric);
        EXPECT_EQ(lists_.CurrentIndex(), c.index);
    }
    const SongEntry& disk = lists_.Songs()[2];
    EXPECT_EQ(disk.name, "晚风");
    EXPECT_EQ(disk.singer, "本地");
    EXPECT_EQ(disk.state, SONG_COMPLETE);
    // The lyric found beside a disk song joined the lyric list; the missing one did not.
    ASSERT_EQ(lists_.Lyrics().size(), 3u);
    EXPECT_EQ(lists_.Lyrics()[2].location, "/lyrics/晚风.rar");
    EXPECT_EQ(lists_.Lyrics()[2].singer, "本地");
}

TEST(PlayOrder, NextEntryIndex)
{
    const auto none = std::nullopt;
    auto seven = [] { return 7; };
    const struct {
        int mode;
        size_t count;
        std::optional<size_t> current;
        std::optional<size_t> next;
    } cases[] = {
        {PLAY_IN_ORDER, 3, 0, 1},    {PLAY_IN_ORDER, 3, 2, none},  {PLAY_IN_ORDER, 3, none, 0},
        {PLAY_LOOP_LIST, 3, 1, 2},   {PLAY_LOOP_LIST, 3, 2, 0},    {PLAY_LOOP_LIST, 3, none, 0},
        {PLAY_RANDOM, 3, 0, 1},      {PLAY_RANDOM, 7, 0, 0},       {PLAY_RANDOM, 5, none, 2},
        {PLAY_REPEAT_ONE, 3, 1, 1},  {PLAY_REPEAT_ONE, 3, none, none},
        {PLAY_ONE_ONCE, 3, 1, none}, {PLAY_ONE_ONCE, 3, none, none},
        {9, 3, 1, none},             {-1, 3, 1, none},
        {PLAY_IN_ORDER, 0, none, none}, {PLAY_LOOP_LIST, 0, none, none}, {PLAY_RANDOM, 0, none, none},
        {PLAY_LOOP_LIST, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " count " << c.count << " current "
                                          << (c.current ? int(*c.current) : -1));
        EXPECT_EQ(NextEntryIndex(c.mode, c.count, c.current, seven), c.next);
    }
}

TEST(PlayOrder, NextMediaPath)
{
    const std::vector<std::string> paths{"/m/a.avi", "/m/b.wmv", "/m/c.mpg"};
    auto one = [] { return 1; };
    const struct {
        int mode;
        const char* current;
        const char* next;  // null: nothing
    } cases[] = {
        {PLAY_IN_ORDER, "/m/a.avi", "/m/b.wmv"},    {PLAY_IN_ORDER, "/m/c.mpg", nullptr},
        {PLAY_IN_ORDER, "/gone.avi", "/m/a.avi"},   {PLAY_LOOP_LIST, "/m/c.mpg", "/m/a.avi"},
        {PLAY_LOOP_LIST, "/gone.avi", "/m/a.avi"},  {PLAY_RANDOM, "/m/c.mpg", "/m/b.wmv"},
        {PLAY_REPEAT_ONE, "/m/b.wmv", "/m/b.wmv"},  {PLAY_REPEAT_ONE, "/gone.avi", nullptr},
        {PLAY_ONE_ONCE, "/m/a.avi", nullptr},
    };
    for (const auto& c : cases) {
        const auto next = NextMediaPath(c.mode, paths, c.current, one);
        EXPECT_EQ(next.has_value(), c.next != nullptr) << c.mode << c.current;
        if (next && c.next) {
            EXPECT_EQ(*next, c.next);
        }
    }
    EXPECT_FALSE(NextMediaPath(PLAY_LOOP_LIST, {}, "", one));
}

TEST_F(SongListsTest, NextSongFindsTheCurrentByNameAndSinger)
{
    lists_.AddFromDisk("/m/a.mp3");
    lists_.AddFromDisk("/m/b.mp3");
    lists_.AddFromDisk("/m/c.mp3");
    auto random = [] { return 5; };
    EXPECT_EQ(lists_.NextSong(PLAY_IN_ORDER, random), 0u);  // nothing played yet
    ASSERT_TRUE(lists_.PlayEntry(1, "/lyrics"));
    EXPECT_EQ(lists_.NextSong(PLAY_IN_ORDER, random), 2u);
    EXPECT_EQ(lists_.NextSong(PLAY_RANDOM, random), 2u);
    EXPECT_EQ(lists_.NextSong(PLAY_REPEAT_ONE, random), 1u);
    ASSERT_TRUE(lists_.MoveDown(1));  // b is now last
    EXPECT_EQ(lists_.NextSong(PLAY_IN_ORDER, random), std::nullopt);
    EXPECT_EQ(lists_.NextSong(PLAY_LOOP_LIST, random), 0u);
    ASSERT_TRUE(lists_.Remove(2));   // b is gone
    EXPECT_EQ(lists_.NextSong(PLAY_REPEAT_ONE, random), std::nullopt);
    EXPECT_EQ(lists_.NextSong(PLAY_LOOP_LIST, random), 0u);
    lists_.ClearSongs();
    EXPECT_EQ(lists_.NextSong(PLAY_LOOP_LIST, random), std::nullopt);
}

TEST_F(SongListsTest, UnplayableSongsAreNotTriedAgain)
{
    for (const char* p : {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"})
        lists_.AddFromDisk(p);
    auto first = [] { return 0; };
    // Plays entry `index`; it ends (or fails) in `mode` and the list picks the next one.
    auto next = [&](size_t index, int mode, bool failed) {
        EXPECT_TRUE(lists_.PlayEntry(index, "/lyrics"));
        return lists_.NextSong(mode, first, failed);
    };

    // Looping over a list where nothing plays stops once every entry has failed.
    EXPECT_EQ(next(0, PLAY_LOOP_LIST, true), 1u);
    EXPECT_EQ(next(1, PLAY_LOOP_LIST, true), 2u);
    EXPECT_EQ(next(2, PLAY_LOOP_LIST, true), std::nullopt);

    // A song that plays to its end starts a new run: the others may be tried again.
    EXPECT_EQ(next(1, PLAY_LOOP_LIST, false), 2u);
    EXPECT_EQ(next(2, PLAY_LOOP_LIST, true), 0u);
    EXPECT_EQ(next(0, PLAY_LOOP_LIST, true), 1u);
    EXPECT_EQ(next(1, PLAY_LOOP_LIST, true), std::nullopt);

    // Repeat one, and random picking the same song, would load the broken file again at once.
    EXPECT_EQ(next(0, PLAY_ONE_ONCE, false), std::nullopt);
    EXPECT_EQ(next(0, PLAY_REPEAT_ONE, true), std::nullopt);
    EXPECT_EQ(next(0, PLAY_RANDOM, true), std::nullopt);
    EXPECT_EQ(next(0, PLAY_REPEAT_ONE, false), 0u);
    // In order, the failed one is simply passed.
    EXPECT_EQ(next(1, PLAY_IN_ORDER, true), 2u);
}

TEST_F(SongListsTest, ReorderingAtTheEdges)
{
    for (const char* p : {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"})
        lists_.AddFromDisk(p);
    EXPECT_FALSE(lists_.MoveUp(0));
    EXPECT_FALSE(lists_.MoveDown(2));
    EXPECT_FALSE(lists_.MoveUp(3));
    EXPECT_FALSE(lists_.Remove(3));
    EXPECT_TRUE(lists_.MoveUp(2));
    std::vector<std::string> names;
    for (const auto& e : lists_.Songs())
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c", "b"}));
}

TEST(SongStatus, Texts)
{
    SongEntry e;
    e.singer = "童谣";
    const struct {
        int state, total;
        bool rebuilt;
        const char* text;
    } cases[] = {
        {SONG_QUEUED, 0, true, "初始化..."}, {SONG_LOADING, 100, false, "加载中..."},
        {SONG_LOADING, 0, false, "--"},      {SONG_COMPLETE, 0, true, "童谣"},
        {SONG_FAILED, 0, true, "中止"},      {SONG_FAILED, 0, false, "加载失败"},
    };
    for (const auto& c : cases) {
        e.state = c.state;
        e.total = c.total;
        EXPECT_EQ(CSongLists::StatusText(e, c.rebuilt), c.text);
    }
}

}  // namespace
