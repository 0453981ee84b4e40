#include "app/FrameLog.h"

#include "zendracam/CameraTypes.h"

#include <cstdio>
#include <memory>

namespace {

bool WriteFrameBmp(const std::string& path, const uint8_t* frame, size_t length)
{
    uint8_t header[54] = {'B', 'M'};
    const auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put(2, uint32_t(sizeof header + length), 4);
    put(10, sizeof header, 4);
    put(14, 40, 4);
    put(18, uint32_t(zendracam::kFrameWidth), 4);
    put(22, uint32_t(zendracam::kFrameHeight), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, uint32_t(length), 4);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    return file && std::fwrite(header, 1, sizeof header, file.get()) == sizeof header &&
           std::fwrite(frame, 1, length, file.get()) == length && std::fflush(file.get()) == 0;
}

}  // namespace

void FrameLog::Take(const uint8_t* frame, size_t length)
{
    const long n = ++taken_;
    if (limit_ && n > *limit_)
        return;
    if (!folder_.empty() && length >= zendracam::kFrameBytes) {
        char name[16];
        std::snprintf(name, sizeof name, "%06ld.bmp", n);
        if (!WriteFrameBmp(folder_ + "/" + name, frame, zendracam::kFrameBytes) && !dumpFailed_.exchange(true))
            std::fprintf(stderr, "korvel: cannot write frames to %s\n", folder_.c_str());
    }
    written_ = n;
}
