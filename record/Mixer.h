#pragma once
// The speakers' master volume and mute. Opening finds the control or leaves the object without one;
// every later call on an object without a control only returns an error the callers may ignore.
#include "record/MixerElement.h"

#include <QObject>

#include <cstdint>
#include <string>

constexpr int MIXER_NO_ERROR = 0;
constexpr int MIXER_INVALID_HANDLE = 5;
constexpr int MIXER_ERROR = 1;

// The volume slider's 0..100 position as a control value: p × 65535 / 100, at most 65535.
uint32_t SliderToVolume(int position);

class CVolumControl {
public:
    static constexpr uint32_t kMaximum = 65535;  // the control's values run 0..kMaximum

    explicit CVolumControl(MixerOpener opener = OpenAlsaMixerElement) : opener_(std::move(opener)) {}
    virtual ~CVolumControl() = default;

    // The window would receive the mixer's change notifications, which nothing handles.
    void Open(QObject* window, int componentType, uint32_t controlType);
    int SetValue(uint32_t left, uint32_t right);
    // Both -1 when unavailable; `right` only for a two-channel line.
    void GetValue(long& left, long& right);
    void CloseMixer();

    const std::string& ControlName() const { return name_; }

private:
    MixerOpener opener_;
    std::unique_ptr<IMixerElement> element_;
    int channels_ = 0;
    std::string name_;
    long min_ = 0;  // the element's own range, which 0..kMaximum maps onto
    long max_ = 0;
};

class CMuteControl {
public:
    explicit CMuteControl(MixerOpener opener = OpenAlsaMixerElement) : opener_(std::move(opener)) {}
    virtual ~CMuteControl() = default;

    void Open(QObject* window, int componentType);
    int SetMute(bool mute);
    // 1 muted, 0 sounding, -1 unavailable.
    int GetMute();
    void CloseMixer();

private:
    MixerOpener opener_;
    std::unique_ptr<IMixerElement> element_;
};
