#include "net/DownFileClient.h"

#include "app/WindowMessages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

// Writes the file under a temporary name beside its final one and renames it when all of it is
// written, so a file of that name is always complete. No flush to disk: a song is fetched again
// more cheaply than every download is slowed down.
bool WriteDownloadedFile(const std::string& path, const char* data, size_t size)
{
    std::string temp = path + ".partXXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    temp.assign(name.data());
    ::fchmod(fd, 0644);
    bool ok = true;
    while (ok && size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            data += n;
            size -= size_t(n);
        }
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool IsSafeFileName(const std::string& name)
{
    return !name.empty() && name.size() <= 255 && name != "." && name != ".."
        && name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

CDownFileClient::~CDownFileClient()
{
    StopAllDownloads();
}

void CDownFileClient::SetFolder(const std::string& folder)
{
    std::lock_guard lock(lock_);
    folder_ = folder;
}

void CDownFileClient::Download(const std::string& url, const std::string& fileName)
{
    {
        std::lock_guard lock(lock_);
        fileNames_[url] = fileName;
    }
    StartDownload(url);
}

void CDownFileClient::OnDownloadStart(const std::string& url)
{
    PostWindowMessage(notify_, WM_DOWNLOAD_STARTED, 0, 0, url);
}

void CDownFileClient::OnDownloadProgress(const std::string& url, int done, int total)
{
    PostWindowMessage(notify_, WM_DOWNLOAD_PROGRESS, 0, 0, DownloadProgress{url, done, total});
}

void CDownFileClient::OnDownloadComplete(const std::string& url, std::unique_ptr<char[]> data, size_t size)
{
    std::string path;
    {
        std::lock_guard lock(lock_);
        const auto it = fileNames_.find(url);
        if (it != fileNames_.end() && IsSafeFileName(it->second) && !folder_.empty())
            path = folder_ + "/" + it->second;
    }
    if (path.empty() || !WriteDownloadedFile(path, data.get(), size)) {
        OnDownloadFailed(url);
        return;
    }
    PostWindowMessage(notify_, WM_DOWNLOAD_DONE, 0, 0, url);
}

void CDownFileClient::OnDownloadFailed(const std::string& url)
{
    PostWindowMessage(notify_, WM_DOWNLOAD_FAILED, 0, 0, url);
    ForgetDownload(url);
}
