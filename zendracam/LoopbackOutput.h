#pragma once
// A v4l2loopback output device fed with the virtual camera's frames.
#include "zendracam/VideoNode.h"

#include <linux/videodev2.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zendracam {

class CLoopbackOutput {
public:
    // Looks through /dev/video* for an output device whose card label is `cardLabel`, asks it for
    // 320×240 YUYV and keeps the format it reports back, starts its stream and tells it the frame rate
    // the writer keeps. Null when there is none or it refuses every format we can write.
    static std::unique_ptr<CLoopbackOutput> Open(const std::string& cardLabel, int framesPerSecond,
                                                 const VideoNodeOpener& open = OpenVideoNode);

    // Takes `node`, already set to `format`; null when the format is not one we can write (320×240
    // YUYV, UYVY, BGR24 or RGB24 with room for the rows).
    static std::unique_ptr<CLoopbackOutput> Adopt(std::unique_ptr<IVideoNode> node, const v4l2_pix_format& format);

    CLoopbackOutput(const CLoopbackOutput&) = delete;
    CLoopbackOutput& operator=(const CLoopbackOutput&) = delete;

    // Converts one bottom-up BGR frame to the device's format and writes it with a single write().
    bool Write(const uint8_t* frame);
    // Writes the last frame again.
    bool Repeat();

    const v4l2_pix_format& Format() const { return format_; }

private:
    CLoopbackOutput(std::unique_ptr<IVideoNode> node, const v4l2_pix_format& format);
    bool StartStreaming(int framesPerSecond);

    std::unique_ptr<IVideoNode> node_;
    v4l2_pix_format format_;
    std::vector<uint8_t> buffer_;
};

}  // namespace zendracam
