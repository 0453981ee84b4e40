#include "ktv/WMMedia.h"

#include "settings/Settings.h"
#include "settings/WindowMessages.h"

#include <algorithm>
#include <cstdio>

CWMMedia::~CWMMedia()
{
    if (player_) {
        player_.reset();
        --Settings.PlayerCreated;
    }
}

bool CWMMedia::CreateControl()
{
    if (Settings.PlayerCreated != 0)
        return false;
    auto player = std::make_unique<CMpvAudio>([this](bool error) { OnEnd(error); });
    if (!player->IsValid())
        return false;
    player_ = std::move(player);
    {
        std::lock_guard lock(timesLock_);
        position_ = duration_ = ratio_ = 0;
    }
    ++Settings.PlayerCreated;
    ended_ = true;
    ApplyBalance();
    return true;
}

bool CWMMedia::Open(const std::string& path)
{
    url_ = path;
    paused_ = false;
    ended_ = false;  // before the load: a file that fails at once ends on the player's thread
    // A song that cannot start still ends, so whoever waits for its end is not left waiting.
    if (path.empty() || !player_ || !player_->Load(path)) {
        OnEnd(true);
        return false;
    }
    return true;
}

void CWMMedia::Play()
{
    if (!player_)
        return;
    // After a stop or the end the song starts again from its beginning; a song still being opened
    // only has its pause lifted.
    if (!player_->HasStarted() && !url_.empty())
        player_->Load(url_);
    player_->SetPause(false);
    paused_ = false;
}

void CWMMedia::Pause()
{
    if (!player_)
        return;
    player_->SetPause(true);
    paused_ = true;
}

void CWMMedia::Stop()
{
    if (player_)
        player_->Stop();
    {
        std::lock_guard lock(timesLock_);
        position_ = duration_ = ratio_ = 0;
    }
    paused_ = false;
    ended_ = true;
}

double CWMMedia::Refresh()
{
    double position = 0, duration = 0;
    if (!player_ || !player_->HasFile() || !player_->GetDouble("duration", duration)
        || !player_->GetDouble("time-pos", position))
        return 0;
    const double ratio = duration > 0 ? position / duration : 0;
    {
        std::lock_guard lock(timesLock_);
        position_ = position;
        duration_ = duration;
        ratio_ = ratio;
    }
    if (ratio > 0.997)
        ended_ = true;
    return ratio;
}

double CWMMedia::Position()
{
    Refresh();
    std::lock_guard lock(timesLock_);
    return position_;
}

double CWMMedia::Duration()
{
    Refresh();
    std::lock_guard lock(timesLock_);
    return duration_;
}

void CWMMedia::Seek(double fraction)
{
    if (!player_)
        return;
    if (fraction > 1)
        fraction = 1;
    if (fraction <= 0)
        fraction = 0.01;
    const double seconds = fraction * Duration();
    char target[64];
    std::snprintf(target, sizeof target, "%.3f", seconds);
    player_->SetString("time-pos", target);
}

void CWMMedia::ToggleAudioTrack()
{
    if (!player_ || player_->AudioTrackCount() < 2)
        return;
    const int track = Settings.AudioTrack != 1 ? 1 : 2;
    if (player_->SetInt("aid", track))
        Settings.AudioTrack = track;
}

void CWMMedia::ToggleBalance()
{
    balance_ = balance_ == -100 ? 100 : -100;
    ApplyBalance();
}

void CWMMedia::ApplyBalance()
{
    if (!player_ || balance_ == 0)
        return;
    // -100 is the left channel alone, 100 the right one alone.
    player_->SetString("af", balance_ < 0 ? "@balance:lavfi=[stereotools=balance_out=-1]"
                                          : "@balance:lavfi=[stereotools=balance_out=1]");
}

void CWMMedia::SetVolume(int volume)
{
    if (player_)
        player_->SetDouble("volume", std::clamp(volume, 0, 100));
}

void CWMMedia::SetNotifyWindow(QObject* notify)
{
    std::lock_guard lock(notifyLock_);
    notify_ = notify;
}

void CWMMedia::OnEnd(bool error)
{
    ended_ = true;
    std::lock_guard lock(notifyLock_);
    PostWindowMessage(notify_, WM_MEDIA_ENDED, error ? 1 : 0);
}
