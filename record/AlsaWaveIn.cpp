#include "record/WaveInDevice.h"

#include "record/AlsaQuiet.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <string>

namespace {

constexpr int kWaitMs = 100;  // how often a blocked read looks at Reset

class CAlsaWaveIn final : public IWaveInDevice {
public:
    explicit CAlsaWaveIn(const char* name) : name_(name)
    {
        QuietAlsaLibErrors();
    }
    ~CAlsaWaveIn() override { Close(); }

    int CountDevices() override
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
        reset_ = false;
        return true;
    }

    bool Start() override
    {
        if (!pcm_)
            return false;
        if (snd_pcm_state(pcm_) != SND_PCM_STATE_PREPARED && snd_pcm_prepare(pcm_) < 0)
            return false;
        return snd_pcm_start(pcm_) == 0;
    }

    long Read(uint8_t* buffer, size_t bytes) override
    {
        if (!pcm_)
            return -1;
        const snd_pcm_uframes_t wanted = bytes / frameBytes_;
        snd_pcm_uframes_t got = 0;
        while (got < wanted && !reset_) {
            const snd_pcm_sframes_t n = snd_pcm_readi(pcm_, buffer + got * frameBytes_, wanted - got);
            if (n == -EAGAIN) {
                snd_pcm_wait(pcm_, kWaitMs);
            } else if (n < 0) {
                if (snd_pcm_recover(pcm_, int(n), 1) < 0 || (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED &&
                                                          snd_pcm_start(pcm_) < 0))
                    return -1;
            } else {
                got += snd_pcm_uframes_t(n);
            }
        }
        return long(got * frameBytes_);
    }

    void Reset() override { reset_ = true; }

    void Close() override
    {
        if (pcm_)
            snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }

private:
    std::string name_;
    snd_pcm_t* pcm_ = nullptr;
    size_t frameBytes_ = 4;
    std::atomic<bool> reset_{false};
};

}  // namespace

std::unique_ptr<IWaveInDevice> MakeAlsaWaveIn(const char* pcmName)
{
    return std::make_unique<CAlsaWaveIn>(pcmName);
}
