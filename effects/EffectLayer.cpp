#include "effects/EffectLayer.h"

#include "effects/FrameBuffer.h"
#include "effects/LayerBlend.h"

#include <cstring>

EffectLayer::EffectLayer(int32_t type, int32_t id, std::string path)
    : Type(type), Id(id), Path(std::move(path))
{
}

void EffectLayer::MakeTables(const CDib& image)
{
    const double sx = image.Width / double(kFrameWidth);
    const double sy = image.Height / double(kFrameHeight);
    columnOffsets_.resize(kFrameWidth);
    rowOffsets_.resize(kFrameHeight);
    for (int x = 0; x < kFrameWidth; ++x)
        columnOffsets_[x] = uint32_t(int(x * sx)) * 3u;
    for (int y = 0; y < kFrameHeight; ++y)
        rowOffsets_[y] = size_t(int(y * sy)) * size_t(image.Stride);
    tableWidth_ = image.Width;
    tableHeight_ = image.Height;
}

const uint8_t* EffectLayer::Surface(int slot, CDib& image, bool clearWhite)
{
    if (image.Width <= 0 || image.Height <= 0 || slot < 0 || slot >= CGifAnimation::kMaxFrames)
        return nullptr;
    uint8_t* surface;
    if (image.Width == kFrameWidth && image.Height == kFrameHeight) {
        surface = image.Bits.data();
    } else {
        std::vector<uint8_t>& stretched = stretched_[slot];
        if (stretched.empty()) {
            if (image.Width != tableWidth_ || image.Height != tableHeight_)
                MakeTables(image);
            stretched.resize(kFrameBytes);
            for (int y = 0; y < kFrameHeight; ++y) {
                const uint8_t* src = image.Bits.data() + rowOffsets_[y];
                uint8_t* dst = stretched.data() + size_t(y) * kFrameStride;
                for (int x = 0; x < kFrameWidth; ++x)
                    std::memcpy(dst + 3 * x, src + columnOffsets_[x], 3);
            }
        }
        surface = stretched.data();
    }
    if (clearWhite && !whiteCleared_[slot]) {
        ClearWhite(surface, kFrameBytes);
        spans_[slot] = FindSpans(surface);
        whiteCleared_[slot] = true;
    }
    return surface;
}

std::vector<EffectLayer::Span> EffectLayer::FindSpans(const uint8_t* surface)
{
    // Runs of zeros shorter than this stay inside a span: stopping and starting costs more than blending.
    constexpr uint32_t kShortestGap = 64;
    std::vector<Span> spans;
    uint32_t i = 0;
    while (i < kFrameBytes) {
        while (i < kFrameBytes && surface[i] == 0)
            ++i;
        if (i == kFrameBytes)
            break;
        const uint32_t first = i;
        uint32_t last = i;
        while (i < kFrameBytes && i - last < kShortestGap) {
            if (surface[i] != 0)
                last = i + 1;
            ++i;
        }
        spans.push_back({first, last});
    }
    return spans;
}
