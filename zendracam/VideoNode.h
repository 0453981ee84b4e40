#pragma once
// One opened V4L2 device node, as the loopback output uses it. Tests put a device of their own here.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zendracam {

class IVideoNode {
public:
    virtual ~IVideoNode() = default;  // closes the node
    // 0, or a negative errno.
    virtual int Ioctl(unsigned long request, void* arg) = 0;
    // The whole buffer in one write(); false when it failed or fell short.
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

// Opens `path` read-write; null when it cannot be opened.
using VideoNodeOpener = std::function<std::unique_ptr<IVideoNode>(const std::string& path)>;

// The system's device nodes.
std::unique_ptr<IVideoNode> OpenVideoNode(const std::string& path);

}  // namespace zendracam
