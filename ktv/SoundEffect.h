#pragma once
// Short sound effects (applause, cheering, the shutter) on a player of their own, so they sound over
// the song. A new sound cuts the previous one off.
#include "ktv/MpvAudio.h"

#include <memory>
#include <mutex>
#include <string>

class CSoundEffect {
public:
    // Plays the file at `path`; false when it cannot be started (an unreadable file fails quietly
    // on the player's side).
    bool Play(const std::string& path);
    void Close();
    bool IsPlaying() const;
    std::string Path() const;

private:
    mutable std::mutex lock_;
    std::string path_;
    std::unique_ptr<CMpvAudio> player_;
};
