#include "ktv/SoundEffect.h"

bool CSoundEffect::Play(const std::string& path)
{
    std::lock_guard lock(lock_);
    if (player_)
        player_->Stop();
    path_ = path;
    if (path.empty())
        return false;
    if (!player_) {
        auto player = std::make_unique<CMpvAudio>();
        if (!player->IsValid())
            return false;
        player_ = std::move(player);
    }
    return player_->Load(path);
}

void CSoundEffect::Close()
{
    std::lock_guard lock(lock_);
    if (player_)
        player_->Stop();
}

bool CSoundEffect::IsPlaying() const
{
    std::lock_guard lock(lock_);
    return player_ && player_->HasFile();
}

std::string CSoundEffect::Path() const
{
    std::lock_guard lock(lock_);
    return path_;
}
