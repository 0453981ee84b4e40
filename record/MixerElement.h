#pragma once
// One playback control of the sound card's mixer, as the volume and mute classes use it. The program
// opens the ALSA simple mixer element a desktop mixer would show for the speakers; tests put an element
// of their own in its place.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class IMixerElement {
public:
    virtual ~IMixerElement() = default;
    virtual std::string Name() = 0;
    virtual int Channels() = 0;  // 1 or 2
    virtual void VolumeRange(long& min, long& max) = 0;
    // 0 on success, a negative error otherwise.
    virtual int SetVolume(int channel, long value) = 0;
    virtual int GetVolume(int channel, long& value) = 0;
    virtual int SetSwitch(bool soundOn) = 0;
    virtual int GetSwitch(bool& soundOn) = 0;
};

// The destination line and control types of the mixer interface.
constexpr int MIXER_SPEAKERS = 4;
constexpr uint32_t MIXER_CONTROL_VOLUME = 0x50030001;
constexpr uint32_t MIXER_CONTROL_MUTE = 0x20010002;

// The control of that type on that line, or null when there is no mixer, no such line or no such
// control.
using MixerOpener = std::function<std::unique_ptr<IMixerElement>(int componentType, uint32_t controlType)>;
std::unique_ptr<IMixerElement> OpenAlsaMixerElement(int componentType, uint32_t controlType);

// What the choice of the speakers' element looks at, for each simple element in the card's order.
struct MixerElementInfo {
    std::string name;
    bool playbackVolume = false;
    bool playbackSwitch = false;
};

// The element that carries the control (a playback volume, or a playback switch for mute), the way
// desktop mixers pick it: "Master", else "PCM", else "Speaker", else the first that has the control.
std::optional<size_t> ChooseSpeakerElement(const std::vector<MixerElementInfo>& elements, uint32_t controlType);
