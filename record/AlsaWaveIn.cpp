#include "record/WaveInDevice.h"

#include "record/AlsaQuiet.h"
#include "record/CaptureTimeline.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>

namespace {

constexpr int kWaitMs = 100;  // how often a blocked read looks at Reset

int64_t SteadyTicks()
{
    using namespace std::chrono;
    return duration_cast<duration<int64_t, std::ratio<1, 10000000>>>(steady_clock::now().time_since_epoch()).count();
}

int CountCardCaptureDevices()
{
    int count = 0;
    for (int card = -1; snd_card_next(&card) == 0 && card >= 0;) {
        snd_ctl_t* ctl = nullptr;
        if (snd_ctl_open(&ctl, ("hw:" + std::to_string(card)).c_str(), 0) < 0)
            continue;
        snd_pcm_info_t* info;
        snd_pcm_info_alloca(&info);
        for (int device = -1; snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0;) {
            snd_pcm_info_set_device(info, unsigned(device));
            snd_pcm_info_set_subdevice(info, 0);
            snd_pcm_info_set_stream(info, SND_PCM_STREAM_CAPTURE);
            if (snd_ctl_pcm_info(ctl, info) == 0)
                ++count;
        }
        snd_ctl_close(ctl);
    }
    return count;
}

class CAlsaWaveIn final : public IWaveInDevice {
public:
    explicit CAlsaWaveIn(const char* name) : name_(name)
    {
        QuietAlsaLibErrors();
    }
    ~CAlsaWaveIn() override { Close(); }

    // A desktop whose sound goes through PulseAudio or PipeWire may show no card at all, yet its
    // "default" captures.
    int CountDevices() override
    {
        if (const int cards = CountCardCaptureDevices(); cards > 0)
            return cards;
        if (pcm_)
            return 1;
        snd_pcm_t* probe = nullptr;
        if (snd_pcm_open(&probe, name_.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0)
            return 0;
        snd_pcm_close(probe);
        return 1;
    }

    bool Open(const WaveFormat& format) override
    {
        Close();
        if (format.formatTag != 1 || format.bitsPerSample != 16)
            return false;
        if (snd_pcm_open(&pcm_, name_.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0) {
            pcm_ = nullptr;
            return false;
        }
        if (snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, format.channels,
                               format.samplesPerSec, 1, 500000) < 0) {
            Close();
            return false;
        }
        frameBytes_ = format.blockAlign;
        timeline_ = CCaptureTimeline(format.samplesPerSec);
        owedSilence_ = 0;
        overruns_ = 0;
        reset_ = false;
        return true;
    }

    bool Start() override
    {
        if (!pcm_)
            return false;
        if (snd_pcm_state(pcm_) != SND_PCM_STATE_PREPARED && snd_pcm_prepare(pcm_) < 0)
            return false;
        if (snd_pcm_start(pcm_) != 0)
            return false;
        timeline_.Start(SteadyTicks());
        return true;
    }

    long Read(uint8_t* buffer, size_t bytes) override
    {
        if (!pcm_)
            return -1;
        const snd_pcm_uframes_t wanted = bytes / frameBytes_;
        snd_pcm_uframes_t got = 0;
        while (got < wanted && !reset_) {
            if (owedSilence_ > 0) {
                const snd_pcm_uframes_t n = std::min<snd_pcm_uframes_t>(owedSilence_, wanted - got);
                std::memset(buffer + got * frameBytes_, 0, n * frameBytes_);
                owedSilence_ -= n;
                got += n;
                continue;
            }
            const snd_pcm_sframes_t n = snd_pcm_readi(pcm_, buffer + got * frameBytes_, wanted - got);
            if (n == -EAGAIN) {
                snd_pcm_wait(pcm_, kWaitMs);
            } else if (n < 0) {
                if (!Recover(int(n)))
                    return -1;
            } else {
                got += snd_pcm_uframes_t(n);
                timeline_.Delivered(uint64_t(n));
            }
        }
        return long(got * frameBytes_);
    }

    int Overruns() override { return overruns_; }

    void Reset() override { reset_ = true; }

    void Close() override
    {
        if (pcm_)
            snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }

private:
    // Restarts the device after an overrun or a suspend; the time either lost is owed as silence.
    bool Recover(int error)
    {
        if (snd_pcm_recover(pcm_, error, 1) < 0)
            return false;
        if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED && snd_pcm_start(pcm_) < 0)
            return false;
        if (error == -EPIPE)
            ++overruns_;
        owedSilence_ += timeline_.TakeMissing(SteadyTicks());
        return true;
    }

    std::string name_;
    snd_pcm_t* pcm_ = nullptr;
    size_t frameBytes_ = 4;
    CCaptureTimeline timeline_{22050};
    uint64_t owedSilence_ = 0;  // frames
    std::atomic<int> overruns_{0};
    std::atomic<bool> reset_{false};
};

}  // namespace

std::unique_ptr<IWaveInDevice> MakeAlsaWaveIn(const char* pcmName)
{
    return std::make_unique<CAlsaWaveIn>(pcmName);
}
