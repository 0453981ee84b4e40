#pragma once
// HTTP downloads, one thread per URL. Each step of a download is reported through the virtual
// operations below, on the download's own thread, in this order: OnLastModified, OnDownloadStart,
// OnDownloadProgress after every block, then OnDownloadComplete or OnDownloadFailed once.
//
// A class that overrides them must call StopAllDownloads() first thing in its destructor, so that no
// download thread calls into a half-destroyed object.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

class CDownFileByHttpInterface {
public:
    // Bodies are counted in int: anything larger fails before a byte is stored.
    static constexpr int64_t kMaxBodyBytes = INT32_MAX;
    static constexpr size_t kReadBlock = 8192;

    CDownFileByHttpInterface() = default;
    virtual ~CDownFileByHttpInterface();
    CDownFileByHttpInterface(const CDownFileByHttpInterface&) = delete;
    CDownFileByHttpInterface& operator=(const CDownFileByHttpInterface&) = delete;

    // Returns at once. Nothing for an empty URL, nor while this URL's download still runs.
    void StartDownload(const std::string& url);
    bool HasRunningDownloads() const;

    // A download that receives nothing for this long fails (a server that never answers).
    void SetStallTimeout(std::chrono::seconds timeout) { stallTimeout_ = timeout; }
    // How long destruction lets running downloads finish before it aborts them.
    void SetStopWait(std::chrono::milliseconds wait) { stopWait_ = wait; }

    virtual bool OnLastModified(const std::string& url, const std::string& lastModified);
    virtual void OnDownloadStart(const std::string& url);
    virtual void OnDownloadProgress(const std::string& url, int done, int total);
    virtual void OnDownloadComplete(const std::string& url, std::unique_ptr<char[]> data, size_t size);
    virtual void OnDownloadFailed(const std::string& url);

protected:
    // Waits up to the stop wait for running downloads, then aborts the rest (they report nothing) and
    // joins every thread.
    void StopAllDownloads();
    // Drops the URL's thread from the running map, so the next StartDownload starts over.
    void ForgetDownload(const std::string& url);

private:
    struct Task;
    class Transfer;

    void Worker(std::unique_ptr<Task> task);
    // Joins threads that have ended and are no longer in the running map. Called with lock_ held.
    void ReapFinished();

    mutable std::mutex lock_;
    std::condition_variable finishedSignal_;
    uint64_t nextHandle_ = 0;
    std::map<uint64_t, std::string> running_;  // thread handle -> URL
    std::map<uint64_t, std::thread> threads_;  // every thread not yet joined
    std::set<uint64_t> finished_;              // threads whose work is over
    std::atomic<bool> aborting_{false};
    std::chrono::seconds stallTimeout_{30};
    std::chrono::milliseconds stopWait_{10000};
};
