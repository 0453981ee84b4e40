#include "zendracam/PipeWireOutput.h"

#include "zendracam/CameraThread.h"
#include "zendracam/CameraTypes.h"
#include "zendracam/PixelConvert.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include <time.h>

namespace zendracam {

namespace {

constexpr uint32_t kOfferedFormats[] = {SPA_VIDEO_FORMAT_YUY2, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_RGBx};

uint32_t StrideOf(uint32_t videoFormat)
{
    return videoFormat == SPA_VIDEO_FORMAT_YUY2 ? kFrameWidth * 2 : kFrameWidth * 4;
}

void Convert(const uint8_t* frame, uint32_t videoFormat, uint8_t* out, uint32_t stride)
{
    if (videoFormat == SPA_VIDEO_FORMAT_YUY2)
        BgrBottomUpToYuv422(frame, kFrameWidth, kFrameHeight, out, stride, false);
    else
        BgrBottomUpToTopDown32(frame, kFrameWidth, kFrameHeight, out, stride, videoFormat == SPA_VIDEO_FORMAT_RGBx);
}

uint64_t MonotonicNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * SPA_NSEC_PER_SEC + uint64_t(now.tv_nsec);
}

}  // namespace

struct CPipeWireOutput::Node {
    ~Node();
    bool Connect(const std::string& name, int framesPerSecond);
    void Run();
    void OnWake();
    void OnStateChanged(pw_stream_state state, const char* error);
    void OnFormat(const spa_pod* format);
    void OnProcess();

    pw_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener {};
    spa_source* wake = nullptr;
    std::atomic<bool> stopping{false};
    std::atomic<bool> streaming{false};
    std::thread thread;

    // The loop thread's own.
    uint32_t videoFormat = SPA_VIDEO_FORMAT_UNKNOWN;
    uint32_t sequence = 0;
    bool failed = false;
    std::vector<uint8_t> work = std::vector<uint8_t>(kFrameBytes);

    std::mutex mutex;  // guards latest
    std::vector<uint8_t> latest = std::vector<uint8_t>(kFrameBytes);
};

namespace {

const pw_stream_events kStreamEvents = [] {
    pw_stream_events events {};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = [](void* data, pw_stream_state, pw_stream_state state, const char* error) {
        static_cast<CPipeWireOutput::Node*>(data)->OnStateChanged(state, error);
    };
    events.param_changed = [](void* data, uint32_t id, const spa_pod* param) {
        if (id == SPA_PARAM_Format)
            static_cast<CPipeWireOutput::Node*>(data)->OnFormat(param);
    };
    events.process = [](void* data) { static_cast<CPipeWireOutput::Node*>(data)->OnProcess(); };
    return events;
}();

}  // namespace

CPipeWireOutput::Node::~Node()
{
    if (thread.joinable()) {
        stopping = true;
        pw_loop_signal_event(loop, wake);
        thread.join();
    }
    if (stream)
        pw_stream_destroy(stream);
    if (core)
        pw_core_disconnect(core);
    if (context)
        pw_context_destroy(context);
    if (wake)
        pw_loop_destroy_source(loop, wake);
    if (loop)
        pw_loop_destroy(loop);
}

bool CPipeWireOutput::Node::Connect(const std::string& name, int framesPerSecond)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
    loop = pw_loop_new(nullptr);
    if (!loop)
        return false;
    wake = pw_loop_add_event(loop, [](void* data, uint64_t) { static_cast<Node*>(data)->OnWake(); }, this);
    context = pw_context_new(loop, nullptr, 0);
    if (!wake || !context)
        return false;
    core = pw_context_connect(context, nullptr, 0);
    if (!core)
        return false;
    stream = pw_stream_new(core, name.c_str(),
                           pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                                             PW_KEY_MEDIA_ROLE, "Camera", PW_KEY_MEDIA_CLASS, "Video/Source",
                                             PW_KEY_NODE_NAME, name.c_str(), PW_KEY_NODE_DESCRIPTION, name.c_str(),
                                             nullptr));
    if (!stream)
        return false;
    pw_stream_add_listener(stream, &listener, &kStreamEvents, this);

    uint8_t buffer[1024];
    spa_pod_builder builder {};
    spa_pod_builder_init(&builder, buffer, sizeof buffer);
    const spa_pod* params[std::size(kOfferedFormats)];
    for (size_t i = 0; i < std::size(kOfferedFormats); ++i) {
        spa_video_info_raw info {};
        info.format = spa_video_format(kOfferedFormats[i]);
        info.size = SPA_RECTANGLE(uint32_t(kFrameWidth), uint32_t(kFrameHeight));
        info.framerate = SPA_FRACTION(uint32_t(framesPerSecond), 1);
        params[i] = spa_format_video_raw_build(&builder, SPA_PARAM_EnumFormat, &info);
    }
    // A camera drives its own graph: each frame we send starts a cycle.
    if (pw_stream_connect(stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                          pw_stream_flags(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS), params,
                          std::size(kOfferedFormats)) < 0)
        return false;
    thread = StartCameraThread("zendracam-pw", [this] { Run(); });
    return true;
}

void CPipeWireOutput::Node::Run()
{
    pw_loop_enter(loop);
    while (!stopping)
        pw_loop_iterate(loop, -1);
    pw_loop_leave(loop);
}

void CPipeWireOutput::Node::OnWake()
{
    if (!stopping && streaming)
        pw_stream_trigger_process(stream);
}

void CPipeWireOutput::Node::OnStateChanged(pw_stream_state state, const char* error)
{
    streaming = state == PW_STREAM_STATE_STREAMING;
    if (state == PW_STREAM_STATE_ERROR && !failed) {
        failed = true;
        std::fprintf(stderr, "zendracam: the PipeWire camera stopped: %s\n", error ? error : "unknown error");
    }
}

void CPipeWireOutput::Node::OnFormat(const spa_pod* format)
{
    videoFormat = SPA_VIDEO_FORMAT_UNKNOWN;
    spa_video_info_raw info {};
    if (!format || spa_format_video_raw_parse(format, &info) < 0 || info.size.width != uint32_t(kFrameWidth) ||
        info.size.height != uint32_t(kFrameHeight) ||
        std::find(std::begin(kOfferedFormats), std::end(kOfferedFormats), info.format) == std::end(kOfferedFormats))
        return;
    videoFormat = info.format;
    const uint32_t stride = StrideOf(videoFormat);

    uint8_t buffer[1024];
    spa_pod_builder builder {};
    spa_pod_builder_init(&builder, buffer, sizeof buffer);
    const spa_pod* params[2];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
        SPA_POD_CHOICE_RANGE_Int(4, 2, 16), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1), SPA_PARAM_BUFFERS_size,
        SPA_POD_Int(int32_t(stride * kFrameHeight)), SPA_PARAM_BUFFERS_stride, SPA_POD_Int(int32_t(stride))));
    params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
        SPA_PARAM_META_size, SPA_POD_Int(int32_t(sizeof(spa_meta_header)))));
    pw_stream_update_params(stream, params, 2);
}

void CPipeWireOutput::Node::OnProcess()
{
    pw_buffer* out = pw_stream_dequeue_buffer(stream);
    if (!out)
        return;  // the consumer still holds every buffer: this frame is skipped
    spa_buffer* buffer = out->buffer;
    spa_data& data = buffer->datas[0];
    const uint32_t stride = StrideOf(videoFormat);
    const uint32_t bytes = stride * kFrameHeight;
    if (videoFormat == SPA_VIDEO_FORMAT_UNKNOWN || !data.data || data.maxsize < bytes) {
        data.chunk->size = 0;
        pw_stream_queue_buffer(stream, out);
        return;
    }
    {
        std::lock_guard lock(mutex);
        std::memcpy(work.data(), latest.data(), kFrameBytes);
    }
    Convert(work.data(), videoFormat, static_cast<uint8_t*>(data.data), stride);
    data.chunk->offset = 0;
    data.chunk->size = bytes;
    data.chunk->stride = int32_t(stride);
    if (auto* header = static_cast<spa_meta_header*>(spa_buffer_find_meta_data(buffer, SPA_META_Header, sizeof(spa_meta_header)))) {
        header->flags = 0;
        header->offset = 0;
        header->pts = int64_t(MonotonicNanoseconds());
        header->dts_offset = 0;
        header->seq = sequence++;
    }
    pw_stream_queue_buffer(stream, out);
}

std::unique_ptr<CPipeWireOutput> CPipeWireOutput::Start(const std::string& nodeName, int framesPerSecond)
{
    auto node = std::make_unique<Node>();
    if (!node->Connect(nodeName, framesPerSecond))
        return nullptr;
    return std::unique_ptr<CPipeWireOutput>(new CPipeWireOutput(std::move(node)));
}

CPipeWireOutput::CPipeWireOutput(std::unique_ptr<Node> node) : node_(std::move(node)) {}

CPipeWireOutput::~CPipeWireOutput() = default;

void CPipeWireOutput::Write(const uint8_t* frame)
{
    {
        std::lock_guard lock(node_->mutex);
        std::memcpy(node_->latest.data(), frame, kFrameBytes);
    }
    Repeat();
}

void CPipeWireOutput::Repeat()
{
    if (node_->streaming)
        pw_loop_signal_event(node_->loop, node_->wake);
}

}  // namespace zendracam
