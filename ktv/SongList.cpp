#include "ktv/SongList.h"

#include "ktv/PlayOrder.h"

#include "settings/WindowMessages.h"
#include "net/DownFileClient.h"

#include <QFileInfo>

#include <algorithm>
#include <cctype>

const char* const CSongLists::kLocalSinger = "本地";

namespace {

constexpr char kMarker[] = "#6403MTV";

bool FileExistsOnDisk(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).isFile();
}

}  // namespace

std::optional<CatalogueLink> ParseCatalogueLink(const std::string& address)
{
    const size_t split = address.find(';');
    if (split == std::string::npos || split < 1)
        return std::nullopt;
    const size_t markerLength = sizeof kMarker - 1;
    if (split < markerLength)
        return std::nullopt;
    std::string tail = address.substr(split - markerLength, markerLength);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (tail != kMarker)
        return std::nullopt;

    std::string* fields[4];
    CatalogueLink link;
    fields[0] = &link.songUrl;
    fields[1] = &link.lyricUrl;
    fields[2] = &link.name;
    fields[3] = &link.singer;
    size_t from = split + 1;
    for (std::string* field : fields) {
        const size_t end = address.find(';', from);
        if (end == std::string::npos)
            return std::nullopt;
        field->assign(address, from, end - from);
        from = end + 1;
    }
    link.rest = address.substr(from);
    return link;
}

std::string FileNameFromUrl(const std::string& url)
{
    const size_t slash = url.rfind('/');
    const std::string last = slash == std::string::npos ? url : url.substr(slash + 1);
    // Addresses carry their non-ASCII characters percent-encoded; the file on disk has them as they are.
    // A "%" without two hex digits after it is itself.
    std::string name;
    for (size_t i = 0; i < last.size(); ++i) {
        if (last[i] == '%' && i + 2 < last.size() && std::isxdigit(static_cast<unsigned char>(last[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(last[i + 2]))) {
            name += char(std::stoi(last.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            name += last[i];
        }
    }
    return name;
}

CSongLists::CSongLists(FileExists exists) : exists_(exists ? std::move(exists) : FileExistsOnDisk) {}

std::optional<PendingDownload> CSongLists::AddOne(std::vector<SongEntry>& list, bool lyric, const std::string& url,
                                                  const CatalogueLink& link, const std::string& folder)
{
    const std::string fileName = FileNameFromUrl(url);
    if (!IsSafeFileName(fileName))
        return std::nullopt;
    const bool listed = std::any_of(list.begin(), list.end(), [&](const SongEntry& e) {
        return e.fileName == fileName && e.origin == ORIGIN_CATALOGUE && e.state != SONG_FAILED;
    });
    if (listed)
        return std::nullopt;
    const std::string path = folder + "/" + fileName;
    SongEntry entry;
    entry.name = link.name;
    entry.singer = link.singer;
    entry.fileName = fileName;
    entry.folder = folder;
    if (exists_(path)) {
        entry.state = SONG_COMPLETE;
        entry.origin = ORIGIN_DISK;
        entry.location = path;
        list.push_back(std::move(entry));
        return std::nullopt;
    }
    entry.location = url;
    list.push_back(std::move(entry));
    return PendingDownload{lyric, url, fileName};
}

std::vector<PendingDownload> CSongLists::AddFromCatalogue(const CatalogueLink& link, const std::string& songFolder,
                                                          const std::string& lyricFolder)
{
    std::vector<PendingDownload> downloads;
    if (auto song = AddOne(songs_, false, link.songUrl, link, songFolder))
        downloads.push_back(std::move(*song));
    if (auto lyric = AddOne(lyrics_, true, link.lyricUrl, link, lyricFolder))
        downloads.push_back(std::move(*lyric));
    return downloads;
}

void CSongLists::AddFromDisk(const std::string& path)
{
    const QFileInfo info(QString::fromStdString(path));
    SongEntry entry;
    entry.state = SONG_COMPLETE;
    entry.origin = ORIGIN_DISK;
    entry.name = info.completeBaseName().toStdString();
    entry.singer = kLocalSinger;
    entry.fileName = info.fileName().toStdString();
    entry.location = path;
    songs_.push_back(std::move(entry));
}

bool CSongLists::ApplyDownloadNotice(int message, const std::string& url, int done, int total)
{
    SongEntry* entry = nullptr;
    for (std::vector<SongEntry>* list : {&songs_, &lyrics_}) {
        const auto it = std::find_if(list->rbegin(), list->rend(), [&](const SongEntry& e) {
            return e.origin == ORIGIN_CATALOGUE && e.location == url;
        });
        if (it != list->rend()) {
            entry = &*it;
            break;
        }
    }
    if (!entry)
        return false;
    switch (message) {
    case WM_DOWNLOAD_STARTED:
        entry->state = SONG_QUEUED;
        break;
    case WM_DOWNLOAD_PROGRESS:
        entry->state = SONG_LOADING;
        entry->done = done;
        entry->total = total;
        break;
    case WM_DOWNLOAD_DONE:
        entry->state = SONG_COMPLETE;
        break;
    case WM_DOWNLOAD_FAILED:
        entry->state = SONG_FAILED;
        break;
    default:
        return false;
    }
    return true;
}

std::optional<PlayRequest> CSongLists::PlayEntry(size_t index, const std::string& lyricFolder)
{
    if (index >= songs_.size())
        return std::nullopt;
    const SongEntry& song = songs_[index];
    PlayRequest request;
    if (song.origin == ORIGIN_CATALOGUE) {
        if (song.state != SONG_COMPLETE)
            return std::nullopt;
        request.songPath = song.folder + "/" + song.fileName;
        const auto lyric = std::find_if(lyrics_.begin(), lyrics_.end(), [&](const SongEntry& e) {
            return e.name == song.name && e.singer == song.singer;
        });
        // No lyric entry: the song plays without lyrics.
        if (lyric != lyrics_.end())
            request.lyricPath = lyric->folder + "/" + lyric->fileName;
    } else {
        request.songPath = song.location;
        const std::string lyricFile = song.name + ".rar";
        request.lyricPath = lyricFolder + "/" + lyricFile;
        if (exists_(request.lyricPath)) {
            SongEntry entry;
            entry.state = SONG_COMPLETE;
            entry.origin = ORIGIN_DISK;
            entry.name = song.name;
            entry.singer = kLocalSinger;
            entry.fileName = lyricFile;
            entry.folder = lyricFolder;
            entry.location = request.lyricPath;
            lyrics_.push_back(std::move(entry));
        }
    }
    currentName_ = songs_[index].name;
    currentSinger_ = songs_[index].singer;
    return request;
}

std::optional<size_t> CSongLists::CurrentIndex() const
{
    const auto it = std::find_if(songs_.begin(), songs_.end(), [&](const SongEntry& e) {
        return e.name == currentName_ && e.singer == currentSinger_;
    });
    if (it == songs_.end())
        return std::nullopt;
    return size_t(it - songs_.begin());
}

std::optional<size_t> CSongLists::NextSong(int mode, const std::function<int()>& random, bool currentFailed)
{
    if (currentFailed)
        unplayable_.emplace(currentName_, currentSinger_);
    else
        unplayable_.clear();
    const auto next = NextEntryIndex(mode, songs_.size(), CurrentIndex(), random);
    if (next && unplayable_.count({songs_[*next].name, songs_[*next].singer}))
        return std::nullopt;
    return next;
}

bool CSongLists::Remove(size_t index)
{
    if (index >= songs_.size())
        return false;
    songs_.erase(songs_.begin() + std::ptrdiff_t(index));
    return true;
}

bool CSongLists::MoveUp(size_t index)
{
    if (index == 0 || index >= songs_.size())
        return false;
    std::swap(songs_[index], songs_[index - 1]);
    return true;
}

bool CSongLists::MoveDown(size_t index)
{
    if (index + 1 >= songs_.size())
        return false;
    std::swap(songs_[index], songs_[index + 1]);
    return true;
}

std::string CSongLists::StatusText(const SongEntry& entry, bool rebuilt)
{
    switch (entry.state) {
    case SONG_QUEUED:
        return "初始化...";
    case SONG_LOADING:
        return entry.total != 0 ? "加载中..." : "--";
    case SONG_COMPLETE:
        return entry.singer;
    default:
        return rebuilt ? "中止" : "加载失败";
    }
}
