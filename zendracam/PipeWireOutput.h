#pragma once
// The virtual camera as a PipeWire camera node: no kernel module and no root needed, and the camera
// portal, browsers and OBS list it. The node's PipeWire work runs on a thread of its own.
#include <cstdint>
#include <memory>
#include <string>

namespace zendracam {

class CPipeWireOutput {
public:
    // Connects to the user's PipeWire daemon and publishes a Video/Source camera node `nodeName` that
    // offers 320×240 YUY2, BGRx and RGBx at `framesPerSecond`. Null when no daemon answers.
    static std::unique_ptr<CPipeWireOutput> Start(const std::string& nodeName, int framesPerSecond);
    ~CPipeWireOutput();
    CPipeWireOutput(const CPipeWireOutput&) = delete;
    CPipeWireOutput& operator=(const CPipeWireOutput&) = delete;

    // Takes a copy of one 320×240 bottom-up BGR frame and sends it to the consumers, in the format
    // each link settled on.
    void Write(const uint8_t* frame);
    // Sends the last frame again.
    void Repeat();

    struct Node;

private:
    explicit CPipeWireOutput(std::unique_ptr<Node> node);
    std::unique_ptr<Node> node_;
};

}  // namespace zendracam
