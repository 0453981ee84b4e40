// Catalogue links as the song list takes them from the catalogue page. A link that parses is the
// marker's address and its five fields put back together; the files it adds lie inside their folders;
// the same link twice adds them once, and once more after the download failed.
#include "FuzzSupport.h"

#include "ktv/SongList.h"
#include "settings/WindowMessages.h"

#include <algorithm>
#include <filesystem>

namespace {

const std::string kSongFolder = "/k/Songs";
const std::string kLyricFolder = "/k/Lyrics";

void CheckInFolder(const std::string& folder, const std::string& name)
{
    const std::filesystem::path path = (std::filesystem::path(folder) / name).lexically_normal();
    FUZZ_CHECK(path.parent_path() == folder && path.filename() == name, "a file name leads out of its folder");
}

void CheckSplit(const std::string& address, const CatalogueLink& link)
{
    const std::string fields[] = {link.songUrl, link.lyricUrl, link.name, link.singer};
    std::string joined = address.substr(0, address.find(';') + 1);
    for (const std::string& field : fields) {
        FUZZ_CHECK(field.find(';') == std::string::npos, "a field holds the separator");
        joined += field + ";";
    }
    FUZZ_CHECK(joined + link.rest == address, "the fields do not make up the link");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string address(reinterpret_cast<const char*>(data), size);
    const std::optional<CatalogueLink> link = ParseCatalogueLink(address);
    if (!link)
        return 0;
    CheckSplit(address, *link);

    CSongLists lists([](const std::string&) { return false; });
    const auto first = lists.AddFromCatalogue(*link, kSongFolder, kLyricFolder);
    for (const PendingDownload& download : first)
        CheckInFolder(download.lyric ? kLyricFolder : kSongFolder, download.fileName);
    FUZZ_CHECK(lists.AddFromCatalogue(*link, kSongFolder, kLyricFolder).empty(), "the same link added files twice");

    const auto isSong = [](const PendingDownload& download) { return !download.lyric; };
    if (std::any_of(first.begin(), first.end(), isSong)) {
        lists.ApplyDownloadNotice(WM_DOWNLOAD_FAILED, link->songUrl);
        const auto again = lists.AddFromCatalogue(*link, kSongFolder, kLyricFolder);
        FUZZ_CHECK(std::any_of(again.begin(), again.end(), isSong), "a failed song is not added again");
    }
    return 0;
}
