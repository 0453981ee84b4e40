#include "record/MixerElement.h"

#include "record/AlsaQuiet.h"

#include <alsa/asoundlib.h>

namespace {

// The channels that take the right-hand value; every other channel of the element takes the left one.
bool IsRightChannel(snd_mixer_selem_channel_id_t channel)
{
    return channel == SND_MIXER_SCHN_FRONT_RIGHT || channel == SND_MIXER_SCHN_REAR_RIGHT ||
           channel == SND_MIXER_SCHN_SIDE_RIGHT;
}

class CAlsaMixerElement final : public IMixerElement {
public:
    CAlsaMixerElement(snd_mixer_t* mixer, snd_mixer_elem_t* element) : mixer_(mixer), element_(element) {}
    ~CAlsaMixerElement() override { snd_mixer_close(mixer_); }

    std::string Name() override { return snd_mixer_selem_get_name(element_); }
    int Channels() override { return snd_mixer_selem_is_playback_mono(element_) ? 1 : 2; }
    void VolumeRange(long& min, long& max) override
    {
        min = max = 0;
        snd_mixer_selem_get_playback_volume_range(element_, &min, &max);
    }
    // Channel 0 is the left side, 1 the right side; a surround element has several channels on each.
    int SetVolume(int channel, long value) override
    {
        int result = -EINVAL;
        for (int id = 0; id <= SND_MIXER_SCHN_LAST; ++id) {
            const auto alsaChannel = snd_mixer_selem_channel_id_t(id);
            if (!snd_mixer_selem_has_playback_channel(element_, alsaChannel) || IsRightChannel(alsaChannel) != (channel == 1))
                continue;
            result = snd_mixer_selem_set_playback_volume(element_, alsaChannel, value);
            if (result < 0)
                return result;
        }
        return result;
    }
    int GetVolume(int channel, long& value) override
    {
        const auto alsaChannel = FirstChannel(channel == 1);
        if (alsaChannel == SND_MIXER_SCHN_UNKNOWN)
            return -EINVAL;
        Refresh();
        return snd_mixer_selem_get_playback_volume(element_, alsaChannel, &value);
    }
    int SetSwitch(bool soundOn) override { return snd_mixer_selem_set_playback_switch_all(element_, soundOn); }
    int GetSwitch(bool& soundOn) override
    {
        Refresh();
        int value = 0;
        const int result = snd_mixer_selem_get_playback_switch(element_, FirstChannel(false), &value);
        soundOn = value != 0;
        return result;
    }

private:
    // Changes made by other programs since the last look.
    void Refresh() { snd_mixer_handle_events(mixer_); }

    snd_mixer_selem_channel_id_t FirstChannel(bool right) const
    {
        for (int id = 0; id <= SND_MIXER_SCHN_LAST; ++id) {
            const auto alsaChannel = snd_mixer_selem_channel_id_t(id);
            if (snd_mixer_selem_has_playback_channel(element_, alsaChannel) && IsRightChannel(alsaChannel) == right)
                return alsaChannel;
        }
        return SND_MIXER_SCHN_UNKNOWN;
    }

    snd_mixer_t* mixer_;
    snd_mixer_elem_t* element_;
};

}  // namespace

std::optional<size_t> ChooseSpeakerElement(const std::vector<MixerElementInfo>& elements, uint32_t controlType)
{
    const auto carries = [controlType](const MixerElementInfo& e) {
        return controlType == MIXER_CONTROL_VOLUME ? e.playbackVolume : e.playbackSwitch;
    };
    for (const char* preferred : {"Master", "PCM", "Speaker"}) {
        for (size_t i = 0; i < elements.size(); ++i)
            if (elements[i].name == preferred && carries(elements[i]))
                return i;
    }
    for (size_t i = 0; i < elements.size(); ++i)
        if (carries(elements[i]))
            return i;
    return std::nullopt;
}

std::unique_ptr<IMixerElement> OpenAlsaMixerElement(int componentType, uint32_t controlType)
{
    if (componentType != MIXER_SPEAKERS ||
        (controlType != MIXER_CONTROL_VOLUME && controlType != MIXER_CONTROL_MUTE))
        return nullptr;
    QuietAlsaLibErrors();
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return nullptr;
    if (snd_mixer_attach(mixer, "default") != 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) != 0 ||
        snd_mixer_load(mixer) != 0) {
        snd_mixer_close(mixer);
        return nullptr;
    }
    std::vector<snd_mixer_elem_t*> handles;
    std::vector<MixerElementInfo> elements;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
        if (!snd_mixer_selem_is_active(e))
            continue;
        handles.push_back(e);
        elements.push_back({snd_mixer_selem_get_name(e), snd_mixer_selem_has_playback_volume(e) != 0,
                            snd_mixer_selem_has_playback_switch(e) != 0});
    }
    const auto chosen = ChooseSpeakerElement(elements, controlType);
    if (!chosen) {
        snd_mixer_close(mixer);
        return nullptr;
    }
    return std::make_unique<CAlsaMixerElement>(mixer, handles[*chosen]);
}
