#pragma once
// HTTP downloads, one thread per URL. Each step of a download is reported through the virtual
// operations below, on the download's own thread, in this order: OnLastModified, OnDownloadStart,
// OnDownloadProgress after every block, then OnDownloadComplete or OnDownloadFailed once.
//
// A download cannot hold its thread hostage: it must end within an overall deadline, keep up a
// minimum speed, stay within a size limit, and it ends as soon as its body is complete even when the
// server keeps the connection open. The body goes straight into a temporary file.
//
// A class that overrides them must call StopAllDownloads() first thing in its destructor, so that no
// download thread calls into a half-destroyed object.
#include "net/DownloadedBody.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

// The largest files the song list fetches: songs by default; the lyric client is given the second
// through SetLimits.
constexpr int64_t kMaxSongBytes = int64_t(200) << 20;
constexpr int64_t kMaxLyricBytes = int64_t(1) << 20;

struct DownloadLimits {
    // A whole download, connection and retry included; enough for a 20 MB song at 24 KB/s.
    std::chrono::seconds deadline{900};
    // Every `speedWindow` must bring at least `minBytesPerSecond` × its length of body, so that a
    // server trickling a byte now and then fails as surely as a silent one.
    std::chrono::seconds speedWindow{30};
    int64_t minBytesPerSecond = 2048;
    // A body whose announced length is in, or one without a length, ends once nothing more has come
    // for this long, even though the server keeps the connection open.
    std::chrono::milliseconds quietEnd{3000};
    // Larger files fail: at once by their Content-Length, or as soon as the body outgrows it.
    int64_t maxBytes = kMaxSongBytes;
};

class CDownFileByHttpInterface {
public:
    static constexpr size_t kReadBlock = 8192;

    CDownFileByHttpInterface() = default;
    virtual ~CDownFileByHttpInterface();
    CDownFileByHttpInterface(const CDownFileByHttpInterface&) = delete;
    CDownFileByHttpInterface& operator=(const CDownFileByHttpInterface&) = delete;

    // Returns at once. Nothing for an empty URL, nor while this URL's download still runs. A download
    // whose thread cannot be started is reported as failed before this returns.
    void StartDownload(const std::string& url);
    bool HasRunningDownloads() const;

    // For downloads started afterwards.
    void SetLimits(const DownloadLimits& limits);
    DownloadLimits Limits() const;
    // How long destruction lets running downloads finish before it aborts them.
    void SetStopWait(std::chrono::milliseconds wait) { stopWait_ = wait; }

    virtual bool OnLastModified(const std::string& url, const std::string& lastModified);
    virtual void OnDownloadStart(const std::string& url);
    virtual void OnDownloadProgress(const std::string& url, int done, int total);
    // The receiver owns the body; what it does not move away is deleted when it lets go of it.
    virtual void OnDownloadComplete(const std::string& url, CDownloadedBody body);
    virtual void OnDownloadFailed(const std::string& url);

protected:
    // Where the body of `url` is received; by default the system's temporary folder.
    virtual std::string BodyFolder(const std::string& url);
    // Waits up to the stop wait for running downloads, then aborts the rest (they report nothing) and
    // joins every thread.
    void StopAllDownloads();
    // Drops the URL's thread from the running map, so the next StartDownload starts over.
    void ForgetDownload(const std::string& url);

private:
    struct Task;
    class Transfer;

    void Worker(std::unique_ptr<Task> task);
    // The body after at most one more connection attempt a second after the first, or nothing.
    std::optional<CDownloadedBody> Fetch(const Task& task);
    // Joins threads that have ended and are no longer in the running map. Called with lock_ held.
    void ReapFinished();

    mutable std::mutex lock_;
    std::condition_variable finishedSignal_;
    uint64_t nextHandle_ = 0;
    std::map<uint64_t, std::string> running_;  // thread handle -> URL
    std::map<uint64_t, std::thread> threads_;  // every thread not yet joined
    std::set<uint64_t> finished_;              // threads whose work is over
    std::atomic<bool> aborting_{false};
    DownloadLimits limits_;
    std::chrono::milliseconds stopWait_{10000};
};

// The protocols a redirect from `url` may lead to: never from https to plain http, never to
// anything but HTTP.
const char* RedirectProtocols(const std::string& url);
