#include "record/WmvWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <climits>
#include <vector>

namespace {

constexpr int64_t kTicksPerSecond = kFileTicksPerSecond;  // 100 ns units
// A sound block that starts this much later than the previous one ended follows a pause: the stream
// gets a gap there instead of the two blocks being joined.
constexpr int64_t kAudioGapTicks = kTicksPerSecond / 2;

struct Profile {
    int height;
    int width;
    int bits;
    const char* id;
    int64_t videoBitRate;
};

constexpr Profile kProfiles[] = {
    {120, 160, 24, "{3DF678D9-1352-4186-BBF8-74F0C19B6AE2}", 100000},
    {144, 176, 24, "{254E8A96-2612-405C-8039-F0BF725CED7D}", 150000},
    {240, 320, 24, "{A2E300B4-C2D4-4FC0-B5DD-ECBD948DC0DF}", 300000},
    {240, 320, 32, "{A2E300B4-C2D4-4FC0-B5DD-ECBD948DC0DF}", 300000},
};
constexpr int64_t kAudioBitRate = 32000;
constexpr int kKeyFrameInterval = 40;  // three seconds of frame slots

// One frame slot as a time base: the rate control spends bit_rate / (1 / time base) bits per frame,
// so a finer base starves every frame.
AVRational FrameSlot()
{
    AVRational slot{};
    av_reduce(&slot.num, &slot.den, kRecordFrameTicks, kTicksPerSecond, INT_MAX);
    return slot;
}

// Opens the encoder and adds its stream, in the encoder's time base, to the file; null when either fails.
AVStream* OpenEncoderStream(AVFormatContext* format, AVCodecContext* codec, const AVCodec* encoder, bool globalHeader)
{
    if (globalHeader)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(codec, encoder, nullptr) < 0)
        return nullptr;
    AVStream* stream = avformat_new_stream(format, nullptr);
    if (!stream || avcodec_parameters_from_context(stream->codecpar, codec) < 0)
        return nullptr;
    stream->time_base = codec->time_base;
    return stream;
}

}  // namespace

struct CWmvWriter::Output {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    bool headerWritten = false;
    bool failed = false;         // a write to the file failed (a full disk): later samples are dropped
    int64_t lastVideoPts = -1;   // frame slots
    int64_t nextAudioPts = 0;    // samples; where the next sample in the fifo goes

    ~Output()
    {
        av_audio_fifo_free(fifo);
        swr_free(&resampler);
        sws_freeContext(scaler);
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    // Sends one frame (or the end, with null) and writes every packet that comes out.
    bool Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame)
    {
        if (avcodec_send_frame(codec, frame) < 0)
            return false;
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
                return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (!failed && (av_interleaved_write_frame(format, packet) < 0 || format->pb->error < 0))
                failed = true;
            av_packet_unref(packet);
            if (failed)
                return false;
        }
    }

    bool AppendSilence(int samples)
    {
        std::vector<float> zeros(size_t(samples) * 2);
        void* planes[2] = {zeros.data(), zeros.data() + samples};
        return av_audio_fifo_write(fifo, planes, samples) == samples;
    }

    // Encodes whole frames from the fifo; with `drain` also the short rest (only a stream's last frame
    // may be short).
    bool EncodeQueuedSound(bool drain)
    {
        const int frameSize = audio->frame_size;
        while (av_audio_fifo_size(fifo) >= frameSize || (drain && av_audio_fifo_size(fifo) > 0)) {
            const int count = std::min(frameSize, av_audio_fifo_size(fifo));
            av_frame_unref(sound);
            sound->format = audio->sample_fmt;
            sound->sample_rate = audio->sample_rate;
            sound->nb_samples = count;
            if (av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout) < 0 ||
                av_frame_get_buffer(sound, 0) < 0)
                return false;
            if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(sound->data), count) != count)
                return false;
            sound->pts = nextAudioPts;
            nextAudioPts += count;
            if (!Encode(audio, audioStream, sound))
                return false;
        }
        return true;
    }
};

int64_t SystemFileTime()
{
    using namespace std::chrono;
    return duration_cast<duration<int64_t, std::ratio<1, kTicksPerSecond>>>(
               system_clock::now().time_since_epoch())
        .count();
}

CWmvWriter::CWmvWriter(FileTimeClock clock) : clock_(std::move(clock)) {}

CWmvWriter::~CWmvWriter()
{
    EndWriting();
}

void CWmvWriter::Release()
{
    out_.reset();
}

WmvResult CWmvWriter::Init()
{
    std::lock_guard<std::mutex> hold(lock_);
    out_ = std::make_unique<Output>();
    out_->packet = av_packet_alloc();
    out_->picture = av_frame_alloc();
    out_->sound = av_frame_alloc();
    if (!out_->packet || !out_->picture || !out_->sound) {
        Release();
        return WMV_E_FAIL;
    }
    return WMV_S_OK;
}

WmvResult CWmvWriter::Configure(const std::string& path, int height, int width, int bitsPerPixel,
                                bool withAudio)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (height == 112)
        height = 120;
    height_ = height;
    width_ = width;
    bitsPerPixel_ = bitsPerPixel;
    const auto profile = std::find_if(std::begin(kProfiles), std::end(kProfiles), [&](const Profile& p) {
        return p.height == height && p.width == width && p.bits == bitsPerPixel;
    });
    if (profile == std::end(kProfiles) || !out_ || out_->format)
        return WMV_E_FAIL;
    profileId_ = profile->id;
    Output& out = *out_;

    if (avformat_alloc_output_context2(&out.format, nullptr, "asf", path.c_str()) < 0)
        return WMV_E_FAIL;
    const bool globalHeader = out.format->oformat->flags & AVFMT_GLOBALHEADER;

    const AVCodec* videoCodec = avcodec_find_encoder(AV_CODEC_ID_WMV2);
    out.video = videoCodec ? avcodec_alloc_context3(videoCodec) : nullptr;
    if (!out.video)
        return WMV_E_FAIL;
    out.video->width = width;
    out.video->height = height;
    out.video->pix_fmt = AV_PIX_FMT_YUV420P;
    out.video->time_base = FrameSlot();
    out.video->framerate = av_inv_q(out.video->time_base);
    // The profile's rate, held within a second's buffer: a noisy picture gets no more than its share,
    // a quiet one keeps what it does not need for the next change of scene.
    out.video->bit_rate = profile->videoBitRate;
    out.video->bit_rate_tolerance = int(profile->videoBitRate);
    out.video->rc_buffer_size = int(profile->videoBitRate);
    out.video->rc_max_rate = profile->videoBitRate * 3 / 2;
    out.video->gop_size = kKeyFrameInterval;
    out.video->max_b_frames = 0;
    out.videoStream = OpenEncoderStream(out.format, out.video, videoCodec, globalHeader);
    if (!out.videoStream)
        return WMV_E_FAIL;
    out.videoStream->avg_frame_rate = out.video->framerate;
    out.videoStream->r_frame_rate = out.video->framerate;

    // Bilinear: each chroma sample averages the pixels it covers instead of taking one of them, which
    // keeps colour edges clean for a fraction of the encoder's time.
    const AVPixelFormat input = bitsPerPixel == 32 ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_BGR24;
    out.scaler = sws_getContext(width, height, input, width, height, AV_PIX_FMT_YUV420P, SWS_BILINEAR,
                                nullptr, nullptr, nullptr);
    out.picture->format = AV_PIX_FMT_YUV420P;
    out.picture->width = width;
    out.picture->height = height;
    if (!out.scaler || av_frame_get_buffer(out.picture, 0) < 0)
        return WMV_E_FAIL;

    if (withAudio) {
        // The converter below takes 16-bit mono or stereo, the microphone's format.
        if (audioFormat.bitsPerSample != 16 || audioFormat.channels < 1 || audioFormat.channels > 2 ||
            audioFormat.blockAlign != 2 * audioFormat.channels || audioFormat.samplesPerSec == 0)
            return WMV_E_FAIL;
        const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
        out.audio = audioCodec ? avcodec_alloc_context3(audioCodec) : nullptr;
        if (!out.audio)
            return WMV_E_FAIL;
        const int rate = int(audioFormat.samplesPerSec);
        AVChannelLayout layout;
        av_channel_layout_default(&layout, audioFormat.channels);
        out.audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
        out.audio->sample_rate = rate;
        out.audio->time_base = AVRational{1, rate};
        out.audio->bit_rate = kAudioBitRate;
        if (av_channel_layout_copy(&out.audio->ch_layout, &layout) < 0)
            return WMV_E_FAIL;
        out.audioStream = OpenEncoderStream(out.format, out.audio, audioCodec, globalHeader);
        if (!out.audioStream)
            return WMV_E_FAIL;
        if (swr_alloc_set_opts2(&out.resampler, &layout, AV_SAMPLE_FMT_FLTP, rate, &layout,
                                AV_SAMPLE_FMT_S16, rate, 0, nullptr) < 0 ||
            swr_init(out.resampler) < 0)
            return WMV_E_FAIL;
        out.fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, audioFormat.channels, rate);
        if (!out.fifo)
            return WMV_E_FAIL;
    }

    if (avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return WMV_E_FAIL;
    return WMV_S_OK;
}

WmvResult CWmvWriter::BeginWriting()
{
    std::lock_guard<std::mutex> hold(lock_);
    startTime_ = clock_();
    if (!out_ || !out_->format || !out_->format->pb || out_->headerWritten)
        return WMV_E_FAIL;
    if (avformat_write_header(out_->format, nullptr) < 0)
        return WMV_E_FAIL;
    out_->headerWritten = true;
    return WMV_S_OK;
}

WmvResult CWmvWriter::WriteVideo(const uint8_t* bytes, uint32_t size)
{
    return WriteVideo(bytes, size, clock_());
}

WmvResult CWmvWriter::WriteVideo(const uint8_t* bytes, uint32_t size, int64_t capturedAt)
{
    if (!bytes)
        return WMV_E_FAIL;
    std::lock_guard<std::mutex> hold(lock_);
    if (int64_t(size) != int64_t(bitsPerPixel_) * height_ * width_ / 8)
        return WMV_E_FAIL;
    if (!out_ || !out_->headerWritten || out_->failed)
        return WMV_E_FAIL;
    Output& out = *out_;
    // A clock set back stays at the first slot.
    const int64_t slot = av_rescale(std::max<int64_t>(0, capturedAt - startTime_), 1, kRecordFrameTicks);
    if (slot <= out.lastVideoPts)
        return WMV_S_FALSE;
    if (av_frame_make_writable(out.picture) < 0)
        return WMV_E_FAIL;
    // Rows arrive bottom-up: start at the last one and step backwards.
    const int stride = ((width_ * bitsPerPixel_ + 31) >> 3) & ~3;
    const uint8_t* top = bytes + int64_t(stride) * (height_ - 1);
    const int negative = -stride;
    sws_scale(out.scaler, &top, &negative, 0, height_, out.picture->data, out.picture->linesize);
    out.lastVideoPts = slot;
    out.picture->pts = slot;
    return out.Encode(out.video, out.videoStream, out.picture) ? WMV_S_OK : WMV_E_FAIL;
}

WmvResult CWmvWriter::WriteAudio(const uint8_t* bytes, uint32_t size)
{
    return WriteAudio(bytes, size, clock_());
}

WmvResult CWmvWriter::WriteAudio(const uint8_t* bytes, uint32_t size, int64_t endedAt)
{
    if (!bytes)
        return WMV_E_FAIL;
    std::lock_guard<std::mutex> hold(lock_);
    if (!out_ || !out_->headerWritten || !out_->audio || out_->failed)
        return WMV_E_FAIL;
    Output& out = *out_;
    // The format as configured; audioFormat may have changed since.
    const int channels = out.audio->ch_layout.nb_channels;
    const int samples = int(size / uint32_t(2 * channels));
    if (samples == 0)
        return WMV_S_OK;
    const int rate = out.audio->sample_rate;

    // The block was being captured for its own length before it ended. The microphone starts with
    // the file, so the first block normally joins the start.
    const int64_t startSample =
        std::max<int64_t>(0, av_rescale(endedAt - startTime_, rate, kTicksPerSecond) - samples);
    const int64_t expected = out.nextAudioPts + av_audio_fifo_size(out.fifo);
    if (startSample > expected + av_rescale(kAudioGapTicks, rate, kTicksPerSecond)) {
        // Close the sound before the gap with silence up to a whole encoder frame.
        const int rest = av_audio_fifo_size(out.fifo) % out.audio->frame_size;
        if (rest > 0 && !out.AppendSilence(out.audio->frame_size - rest))
            return WMV_E_FAIL;
        if (!out.EncodeQueuedSound(false))
            return WMV_E_FAIL;
        out.nextAudioPts = std::max(startSample, out.nextAudioPts);
    }

    std::vector<float> floats(size_t(samples) * channels);
    uint8_t* planes[2] = {};
    for (int c = 0; c < channels; ++c)
        planes[c] = reinterpret_cast<uint8_t*>(floats.data() + size_t(c) * samples);
    const uint8_t* input = bytes;
    const int converted = swr_convert(out.resampler, planes, samples, &input, samples);
    if (converted < 0 || av_audio_fifo_write(out.fifo, reinterpret_cast<void**>(planes), converted) != converted)
        return WMV_E_FAIL;
    return out.EncodeQueuedSound(false) ? WMV_S_OK : WMV_E_FAIL;
}

WmvResult CWmvWriter::EndWriting()
{
    std::lock_guard<std::mutex> hold(lock_);
    if (!out_)
        return WMV_E_FAIL;
    bool ok = out_->headerWritten && !out_->failed;
    if (out_->headerWritten) {
        Output& out = *out_;
        if (out.audio)
            ok = out.EncodeQueuedSound(true) && out.Encode(out.audio, out.audioStream, nullptr) && ok;
        ok = out.Encode(out.video, out.videoStream, nullptr) && ok;
        ok = av_write_trailer(out.format) == 0 && ok;
    }
    if (out_->format && out_->format->pb)
        ok = avio_closep(&out_->format->pb) == 0 && ok;
    Release();
    return ok ? WMV_S_OK : WMV_E_FAIL;
}
