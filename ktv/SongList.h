#pragma once
// The chosen songs and their lyric files, as the song list panel keeps them: entries with their
// download state, the catalogue link form, the paths a song plays from, and the next song to play.
#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

enum SongState : int {
    SONG_QUEUED = 0,
    SONG_LOADING = 1,
    SONG_COMPLETE = 2,
    SONG_FAILED = 3,
};

enum SongOrigin : int {
    ORIGIN_CATALOGUE = 0,  // fetched from the catalogue into its folder
    ORIGIN_DISK = 1,       // a file already on disk
};

struct SongEntry {
    int done = 0;   // bytes received so far
    int total = 0;  // bytes expected, 0 without a length
    int state = SONG_QUEUED;
    int origin = ORIGIN_CATALOGUE;
    std::string name;
    std::string singer;
    std::string fileName;
    std::string folder;
    std::string location;  // the download URL (catalogue) or the full path (disk)
};

// A catalogue link: "...#6403MTV;song URL;lyric URL;name;singer;rest".
struct CatalogueLink {
    std::string songUrl, lyricUrl, name, singer, rest;
};

// The marker is compared upper-cased; the fields after it must all be there (empty ones count).
std::optional<CatalogueLink> ParseCatalogueLink(const std::string& address);

// The URL's text after its last "/", percent-escapes decoded.
std::string FileNameFromUrl(const std::string& url);

struct PendingDownload {
    bool lyric = false;  // with the lyric client into LyricPath, else the song client into SongPath
    std::string url;
    std::string fileName;
};

struct PlayRequest {
    std::string songPath;
    std::string lyricPath;
};

class CSongLists {
public:
    using FileExists = std::function<bool(const std::string& path)>;
    static const char* const kLocalSinger;  // "本地"

    explicit CSongLists(FileExists exists = {});

    std::vector<SongEntry>& Songs() { return songs_; }
    std::vector<SongEntry>& Lyrics() { return lyrics_; }
    const std::vector<SongEntry>& Songs() const { return songs_; }
    const std::vector<SongEntry>& Lyrics() const { return lyrics_; }
    const std::string& CurrentName() const { return currentName_; }
    const std::string& CurrentSinger() const { return currentSinger_; }

    // Adds the song and the lyric file of a catalogue link, each unless the list already fetches or
    // holds it from the catalogue; a file already in its folder is added as complete. Returns the
    // downloads to start. A URL that gives no usable file name adds nothing.
    std::vector<PendingDownload> AddFromCatalogue(const CatalogueLink& link, const std::string& songFolder,
                                                  const std::string& lyricFolder);
    // A song file chosen on disk: complete, singer "本地", named after the file.
    void AddFromDisk(const std::string& path);

    // A download notification (WM_DOWNLOAD_*) for `url`: finds the entry (songs first, the latest
    // one with that URL) and updates its state. False when no entry has the URL.
    bool ApplyDownloadNotice(int message, const std::string& url, int done = 0, int total = 0);

    // The paths to play entry `index` with, remembering it as the current song; nothing for an
    // incomplete catalogue entry or a bad index.
    std::optional<PlayRequest> PlayEntry(size_t index, const std::string& lyricFolder);
    // The entry to play after the current one ended, by play mode. When it ended because it could not
    // be played, no entry that could not be played since the last one that did is chosen again, so
    // the list stops instead of trying the same broken files for ever.
    std::optional<size_t> NextSong(int mode, const std::function<int()>& random, bool currentFailed = false);
    std::optional<size_t> CurrentIndex() const;

    void ClearSongs() { songs_.clear(); }
    bool Remove(size_t index);
    bool MoveUp(size_t index);
    bool MoveDown(size_t index);

    // The status column: "初始化...", "加载中..." or "--", the singer, and for a failed entry "中止" when
    // the list is rebuilt or "加载失败" when only the statuses are refreshed.
    static std::string StatusText(const SongEntry& entry, bool rebuilt);

private:
    std::optional<PendingDownload> AddOne(std::vector<SongEntry>& list, bool lyric, const std::string& url,
                                          const CatalogueLink& link, const std::string& folder);

    FileExists exists_;
    std::vector<SongEntry> songs_, lyrics_;
    std::string currentName_, currentSinger_;
    std::set<std::pair<std::string, std::string>> unplayable_;  // name and singer, since the last song that played
};
