#pragma once
// Downloads into one folder and tells a window about each step with posted window messages:
// WM_DOWNLOAD_STARTED, WM_DOWNLOAD_DONE and WM_DOWNLOAD_FAILED carry the URL (std::string),
// WM_DOWNLOAD_PROGRESS a DownloadProgress.
#include "net/DownFileByHttpInterface.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>

class QObject;

struct DownloadProgress {
    std::string url;
    int done = 0;
    int total = 0;  // 0 when the server gives no length
};

// A file name taken from a URL names a file in the folder and nothing else: not empty, "." or "..",
// no separator, at most 255 bytes.
bool IsSafeFileName(const std::string& name);

class CDownFileClient : public CDownFileByHttpInterface {
public:
    ~CDownFileClient() override;

    void SetNotifyWindow(QObject* notify) { notify_ = notify; }
    void SetFolder(const std::string& folder);
    // Fetches `url` into folder/fileName.
    void Download(const std::string& url, const std::string& fileName);

    void OnDownloadStart(const std::string& url) override;
    void OnDownloadProgress(const std::string& url, int done, int total) override;
    // The body was received under a temporary name in the folder and takes its own name now; an
    // unsafe file name or a failed rename is reported as a failure.
    void OnDownloadComplete(const std::string& url, CDownloadedBody body) override;
    void OnDownloadFailed(const std::string& url) override;

protected:
    // The folder itself, so that a complete body only needs its name.
    std::string BodyFolder(const std::string& url) override;

private:
    std::atomic<QObject*> notify_{nullptr};
    mutable std::mutex lock_;  // folder and file names
    std::string folder_;
    std::map<std::string, std::string> fileNames_;  // URL -> file name
};
