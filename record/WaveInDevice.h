#pragma once
// The microphone behind the recorder: the default capture device, read in whole blocks. Tests put a
// device of their own in its place.
#include "record/WmvWriter.h"

#include <cstddef>
#include <memory>

class IWaveInDevice {
public:
    virtual ~IWaveInDevice() = default;
    // Wave-input devices the system reports: the sound cards' capture devices, or 1 for a sound server
    // that the device's own name reaches when there are none.
    virtual int CountDevices() = 0;
    virtual bool Open(const WaveFormat& format) = 0;
    virtual bool Start() = 0;
    // Blocks until `bytes` bytes were captured, Reset was called or the device failed; returns the
    // bytes read, or -1 when the device failed. Sound lost to an overrun comes back as silence of the
    // same length, so that the sound keeps step with the clock. Called on the reader thread only.
    virtual long Read(uint8_t* buffer, size_t bytes) = 0;
    // Overruns since Open.
    virtual int Overruns() = 0;
    // Makes a pending and every later Read return at once; any thread.
    virtual void Reset() = 0;
    virtual void Close() = 0;
};

// ALSA capture on the named PCM ("default" for the program).
std::unique_ptr<IWaveInDevice> MakeAlsaWaveIn(const char* pcmName = "default");
