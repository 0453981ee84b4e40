#include "record/Mixer.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct FakeElementState {
    int channels = 2;
    long min = 0, max = 87;  // a typical ALSA "Master" range
    std::map<int, long> volumes;
    bool soundOn = true;
    bool failing = false;
    int openedComponent = -1;
    uint32_t openedControl = 0;
};

class FakeElement final : public IMixerElement {
public:
    explicit FakeElement(FakeElementState& state) : s_(state) {}
    std::string Name() override { return "Master"; }
    int Channels() override { return s_.channels; }
    void VolumeRange(long& min, long& max) override
    {
        min = s_.min;
        max = s_.max;
    }
    int SetVolume(int channel, long value) override
    {
        if (s_.failing)
            return -5;
        s_.volumes[channel] = value;
        return 0;
    }
    int GetVolume(int channel, long& value) override
    {
        if (s_.failing || !s_.volumes.count(channel))
            return -5;
        value = s_.volumes[channel];
        return 0;
    }
    int SetSwitch(bool soundOn) override
    {
        if (s_.failing)
            return -5;
        s_.soundOn = soundOn;
        return 0;
    }
    int GetSwitch(bool& soundOn) override
    {
        soundOn = s_.soundOn;
        return s_.failing ? -5 : 0;
    }

private:
    FakeElementState& s_;
};

MixerOpener OpenerFor(FakeElementState& state)
{
    return [&state](int component, uint32_t control) -> std::unique_ptr<IMixerElement> {
        state.openedComponent = component;
        state.openedControl = control;
        return std::make_unique<FakeElement>(state);
    };
}

MixerOpener NoMixer()
{
    return [](int, uint32_t) { return std::unique_ptr<IMixerElement>(); };
}

TEST(Mixer, SliderPositionsMapOnto16Bits)
{
    const std::pair<int, uint32_t> cases[] = {{0, 0},          {1, 655},       {2, 1310},     {50, 32767},
                                              {99, 64879},     {100, 65535},   {101, 65535},  {1000, 65535},
                                              {-3, 0}};
    for (const auto& [position, value] : cases)
        EXPECT_EQ(SliderToVolume(position), value) << position;
}

TEST(Mixer, VolumeScalesOntoTheElementRange)
{
    FakeElementState state;
    CVolumControl volume(OpenerFor(state));
    volume.Open(nullptr, MIXER_SPEAKERS, MIXER_CONTROL_VOLUME);
    EXPECT_EQ(state.openedComponent, MIXER_SPEAKERS);
    EXPECT_EQ(state.openedControl, MIXER_CONTROL_VOLUME);
    EXPECT_EQ(volume.ControlName(), "Master");

    const struct {
        uint32_t left, right;
        long alsaLeft, alsaRight;
    } cases[] = {{65535, 65535, 87, 87}, {0, 0, 0, 0}, {SliderToVolume(1), SliderToVolume(50), 1, 43},
                 {70000, 32768, 87, 44}};
    for (const auto& c : cases) {
        EXPECT_EQ(volume.SetValue(c.left, c.right), MIXER_NO_ERROR);
        EXPECT_EQ(state.volumes[0], c.alsaLeft) << c.left;
        EXPECT_EQ(state.volumes[1], c.alsaRight) << c.right;
    }
    state.volumes = {{0, 87}, {1, 0}};
    long left = 0, right = 0;
    volume.GetValue(left, right);
    EXPECT_EQ(left, 65535);
    EXPECT_EQ(right, 0);

    state.failing = true;
    EXPECT_EQ(volume.SetValue(1, 1), MIXER_ERROR);
    volume.GetValue(left, right);
    EXPECT_EQ(left, -1);
    EXPECT_EQ(right, -1);
}

TEST(Mixer, OneChannelLineUsesLeftOnly)
{
    FakeElementState state;
    state.channels = 1;
    state.min = -100;
    state.max = 100;
    CVolumControl volume(OpenerFor(state));
    volume.Open(nullptr, MIXER_SPEAKERS, MIXER_CONTROL_VOLUME);
    EXPECT_EQ(volume.SetValue(65535, 0), MIXER_NO_ERROR);
    EXPECT_EQ(state.volumes.size(), 1u);
    EXPECT_EQ(state.volumes[0], 100);
    long left = 0, right = 0;
    volume.GetValue(left, right);
    EXPECT_EQ(left, 65535);
    EXPECT_EQ(right, -1);
}

TEST(Mixer, MuteFollowsTheSwitch)
{
    FakeElementState state;
    CMuteControl mute(OpenerFor(state));
    mute.Open(nullptr, MIXER_SPEAKERS);
    EXPECT_EQ(state.openedControl, MIXER_CONTROL_MUTE);
    EXPECT_EQ(mute.GetMute(), 0);
    EXPECT_EQ(mute.SetMute(true), MIXER_NO_ERROR);
    EXPECT_FALSE(state.soundOn);
    EXPECT_EQ(mute.GetMute(), 1);
    EXPECT_EQ(mute.SetMute(false), MIXER_NO_ERROR);
    EXPECT_TRUE(state.soundOn);
    mute.CloseMixer();
    EXPECT_EQ(mute.GetMute(), -1);
    EXPECT_EQ(mute.SetMute(true), MIXER_INVALID_HANDLE);
    EXPECT_TRUE(state.soundOn);
}

TEST(Mixer, WithoutAMixerNothingChanges)
{
    CVolumControl volume(NoMixer());
    CMuteControl mute(NoMixer());
    volume.Open(nullptr, MIXER_SPEAKERS, MIXER_CONTROL_VOLUME);
    mute.Open(nullptr, MIXER_SPEAKERS);
    EXPECT_EQ(volume.SetValue(SliderToVolume(100), SliderToVolume(100)), MIXER_INVALID_HANDLE);
    long left = 0, right = 0;
    volume.GetValue(left, right);
    EXPECT_EQ(left, -1);
    EXPECT_EQ(right, -1);
    EXPECT_EQ(mute.GetMute(), -1);
    volume.CloseMixer();
    mute.CloseMixer();
}

TEST(Mixer, SpeakerElementIsChosenAsDesktopMixersDo)
{
    using E = MixerElementInfo;
    const E master{"Master", true, true}, pcm{"PCM", true, false}, speaker{"Speaker", true, true},
        headphone{"Headphone", true, true}, capture{"Capture", false, false}, beep{"Beep", false, true};
    const struct {
        std::vector<E> elements;
        uint32_t control;
        std::optional<size_t> chosen;
    } cases[] = {
        {{headphone, speaker, pcm, master}, MIXER_CONTROL_VOLUME, 3},
        {{headphone, speaker, pcm}, MIXER_CONTROL_VOLUME, 2},
        {{headphone, speaker, pcm}, MIXER_CONTROL_MUTE, 1},  // PCM has no switch
        {{capture, headphone, speaker}, MIXER_CONTROL_VOLUME, 2},
        {{capture, headphone}, MIXER_CONTROL_VOLUME, 1},
        {{capture, beep, headphone}, MIXER_CONTROL_MUTE, 1},
        {{E{"Master", false, true}, pcm}, MIXER_CONTROL_VOLUME, 1},  // a Master without a volume
        {{capture, beep}, MIXER_CONTROL_VOLUME, std::nullopt},
        {{}, MIXER_CONTROL_MUTE, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseSpeakerElement(c.elements, c.control), c.chosen) << c.elements.size() << " " << c.control;
}

// The real ALSA mixer knows the speakers' volume and mute only.
TEST(Mixer, AlsaOpensOnlyTheSpeakersControls)
{
    EXPECT_EQ(OpenAlsaMixerElement(2, MIXER_CONTROL_VOLUME), nullptr);
    EXPECT_EQ(OpenAlsaMixerElement(MIXER_SPEAKERS, 0x12345678), nullptr);
    // With or without a sound card, opening and reading back must not fail loudly.
    CVolumControl volume;
    volume.Open(nullptr, MIXER_SPEAKERS, MIXER_CONTROL_VOLUME);
    long left = 0, right = 0;
    volume.GetValue(left, right);
    volume.CloseMixer();
}

}  // namespace
