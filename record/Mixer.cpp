#include "record/Mixer.h"

#include <algorithm>

uint32_t SliderToVolume(int position)
{
    const int64_t value = int64_t(std::max(position, 0)) * CVolumControl::kMaximum / 100;
    return uint32_t(std::min<int64_t>(value, CVolumControl::kMaximum));
}

void CVolumControl::Open(QObject*, int componentType, uint32_t controlType)
{
    element_.reset();
    channels_ = 0;
    name_.clear();
    element_ = opener_(componentType, controlType);
    if (!element_)
        return;
    channels_ = element_->Channels();
    name_ = element_->Name();
    element_->VolumeRange(min_, max_);
}

int CVolumControl::SetValue(uint32_t left, uint32_t right)
{
    if (!element_)
        return MIXER_INVALID_HANDLE;
    const uint32_t values[2] = {left, right};
    for (int channel = 0; channel < std::min(channels_, 2); ++channel) {
        const int64_t value = std::min(values[channel], kMaximum);
        const long scaled = long(min_ + (value * (max_ - min_) + kMaximum / 2) / kMaximum);
        if (element_->SetVolume(channel, scaled) < 0)
            return MIXER_ERROR;
    }
    return MIXER_NO_ERROR;
}

void CVolumControl::GetValue(long& left, long& right)
{
    left = right = -1;
    if (!element_ || max_ <= min_)
        return;
    const auto read = [&](int channel, long& out) {
        long value = 0;
        if (element_->GetVolume(channel, value) == 0)
            out = long((int64_t(std::clamp(value, min_, max_) - min_) * kMaximum + (max_ - min_) / 2) / (max_ - min_));
    };
    read(0, left);
    if (channels_ == 2)
        read(1, right);
}

void CVolumControl::CloseMixer()
{
    element_.reset();
}

void CMuteControl::Open(QObject*, int componentType)
{
    element_ = opener_(componentType, MIXER_CONTROL_MUTE);
}

int CMuteControl::SetMute(bool mute)
{
    if (!element_)
        return MIXER_INVALID_HANDLE;
    return element_->SetSwitch(!mute) < 0 ? MIXER_ERROR : MIXER_NO_ERROR;
}

int CMuteControl::GetMute()
{
    bool soundOn = true;
    if (!element_ || element_->GetSwitch(soundOn) < 0)
        return -1;
    return soundOn ? 0 : 1;
}

void CMuteControl::CloseMixer()
{
    element_.reset();
}
