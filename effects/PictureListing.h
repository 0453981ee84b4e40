#pragma once
// A folder's pictures listed with their thumbnails on a thread of its own, so that the thread that asked
// (the user-interface thread) stays free through the listing's pauses and the decoding of hundreds of
// pictures. Each picture is handed over as soon as its thumbnail is made, on the asking thread.
#include "effects/EffectLibrary.h"

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CPictureListing : public QObject {
public:
    using ItemReady = std::function<void(const PictureItem&)>;
    // false when the folder could not be read or held nothing.
    using Finished = std::function<void(bool listed)>;

    // Both receivers run on the thread that makes the listing. `pause`, when given, takes the listing's
    // pauses instead of the listing thread waiting them out.
    CPictureListing(ItemReady itemReady, Finished finished, ListingSleep pause = {});
    // Stops a running listing and waits for its thread.
    ~CPictureListing() override;
    CPictureListing(const CPictureListing&) = delete;
    CPictureListing& operator=(const CPictureListing&) = delete;

    // Lists `folder`; a listing still running is stopped first and nothing more of it is handed over.
    void Start(const std::string& folder);
    void Stop();
    // From Start until its end has been handed over (or Stop).
    bool Running() const { return running_; }

private:
    void Run(const std::string& folder, uint64_t generation);
    // Waits out a pause; returns at once when a stop is asked for.
    void Pause(int milliseconds);
    bool StopRequested();
    // Runs `deliver` on the listing's own thread unless a later Start or Stop came first.
    void Deliver(uint64_t generation, std::function<void()> deliver);

    ItemReady itemReady_;
    Finished finished_;
    ListingSleep pause_;
    uint64_t generation_ = 0;  // owner's thread only
    bool running_ = false;     // owner's thread only
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
};
