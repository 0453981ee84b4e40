#include "record/MixerElement.h"

#include "record/AlsaQuiet.h"

#include <alsa/asoundlib.h>

namespace {

constexpr snd_mixer_selem_channel_id_t kChannels[] = {SND_MIXER_SCHN_FRONT_LEFT, SND_MIXER_SCHN_FRONT_RIGHT};

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
    int SetVolume(int channel, long value) override
    {
        return snd_mixer_selem_set_playback_volume(element_, Channel(channel), value);
    }
    int GetVolume(int channel, long& value) override
    {
        return snd_mixer_selem_get_playback_volume(element_, Channel(channel), &value);
    }
    int SetSwitch(bool soundOn) override { return snd_mixer_selem_set_playback_switch_all(element_, soundOn); }
    int GetSwitch(bool& soundOn) override
    {
        int value = 0;
        const int result = snd_mixer_selem_get_playback_switch(element_, SND_MIXER_SCHN_FRONT_LEFT, &value);
        soundOn = value != 0;
        return result;
    }

private:
    static snd_mixer_selem_channel_id_t Channel(int channel) { return kChannels[channel == 1 ? 1 : 0]; }

    snd_mixer_t* mixer_;
    snd_mixer_elem_t* element_;
};

}  // namespace

std::unique_ptr<IMixerElement> OpenAlsaMixerElement(int componentType, uint32_t controlType)
{
    if (componentType != MIXER_SPEAKERS ||
        (controlType != MIXER_CONTROL_VOLUME && controlType != MIXER_CONTROL_MUTE))
        return nullptr;
    QuietAlsaLibErrors();
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return nullptr;
    snd_mixer_elem_t* element = nullptr;
    if (snd_mixer_attach(mixer, "default") == 0 && snd_mixer_selem_register(mixer, nullptr, nullptr) == 0 &&
        snd_mixer_load(mixer) == 0) {
        snd_mixer_selem_id_t* id;
        snd_mixer_selem_id_alloca(&id);
        snd_mixer_selem_id_set_name(id, "Master");
        element = snd_mixer_find_selem(mixer, id);
    }
    const bool usable = element && (controlType == MIXER_CONTROL_VOLUME ? snd_mixer_selem_has_playback_volume(element)
                                                                        : snd_mixer_selem_has_playback_switch(element));
    if (!usable) {
        snd_mixer_close(mixer);
        return nullptr;
    }
    return std::make_unique<CAlsaMixerElement>(mixer, element);
}
