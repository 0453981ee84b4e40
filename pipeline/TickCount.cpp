#include "pipeline/TickCount.h"

#include <chrono>

namespace {

std::function<uint32_t()>& TickSource()
{
    static std::function<uint32_t()> source;
    return source;
}

}  // namespace

uint32_t GetTickCount()
{
    if (TickSource())
        return TickSource()();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SetTickSource(std::function<uint32_t()> source)
{
    TickSource() = std::move(source);
}
