#pragma once
// Lists the pictures of a folder on a thread of its own, so that a window showing them stays
// responsive: in name order (numbers by value), 20 at a time with a pause of 200 ms after each 20, with a 60×40 thumbnail
// of each picture on white when asked for. A new scan or the end of the object stops the previous one.
#include <QImage>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ScannedPicture {
    std::string name;
    QImage thumbnail;  // null unless thumbnails were asked for
};

// The picture fitted into width × height on white, centred; a picture that cannot be read leaves it white.
QImage WhiteThumbnail(const std::string& path, int width = 60, int height = 40);

class CPictureFolderScan {
public:
    static constexpr int kBatch = 20;
    static constexpr int kPauseMs = 200;

    // Both run on the thread of the receiver (a window: the user-interface thread): each batch in order,
    // then the end, once (false when the folder could not be read). Once Stop or the next Start has
    // returned, nothing more of the earlier scan arrives.
    using BatchHandler = std::function<void(std::vector<ScannedPicture> batch)>;
    using EndHandler = std::function<void(bool folderRead)>;

    explicit CPictureFolderScan(int pauseMs = kPauseMs) : pauseMs_(pauseMs) {}
    ~CPictureFolderScan() { Stop(); }
    CPictureFolderScan(const CPictureFolderScan&) = delete;
    CPictureFolderScan& operator=(const CPictureFolderScan&) = delete;

    void Start(const std::string& folder, bool thumbnails, QObject* receiver, BatchHandler onBatch, EndHandler onEnd);
    void Stop();

private:
    void Run(std::string folder, bool thumbnails, QObject* receiver, int generation, BatchHandler onBatch,
             EndHandler onEnd);
    // Runs `work` on the receiver's thread unless the scan of `generation` was stopped by then.
    void Deliver(QObject* receiver, int generation, std::function<void()> work);
    // Waits out the pause; false when the scan was stopped meanwhile.
    bool Pause();

    int pauseMs_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    // The scan whose results are still wanted; shared with deliveries that may outlive this object.
    std::shared_ptr<std::atomic<int>> current_ = std::make_shared<std::atomic<int>>(0);
    std::thread thread_;
};
