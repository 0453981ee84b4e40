#include "net/DownFileClient.h"

#include "settings/WindowMessages.h"

#include <string_view>

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

void CDownFileClient::OnDownloadComplete(const std::string& url, CDownloadedBody body)
{
    std::string path;
    {
        std::lock_guard lock(lock_);
        const auto it = fileNames_.find(url);
        if (it != fileNames_.end() && IsSafeFileName(it->second) && !folder_.empty())
            path = folder_ + "/" + it->second;
    }
    // Complete or absent under its own name; no flush to disk, since a song is fetched again more
    // cheaply than every download is slowed down.
    if (path.empty() || !body.MoveTo(path)) {
        OnDownloadFailed(url);
        return;
    }
    PostWindowMessage(notify_, WM_DOWNLOAD_DONE, 0, 0, url);
}

std::string CDownFileClient::BodyFolder(const std::string& url)
{
    std::lock_guard lock(lock_);
    return folder_.empty() ? CDownFileByHttpInterface::BodyFolder(url) : folder_;
}

void CDownFileClient::OnDownloadFailed(const std::string& url)
{
    PostWindowMessage(notify_, WM_DOWNLOAD_FAILED, 0, 0, url);
    ForgetDownload(url);
}
