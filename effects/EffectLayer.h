#pragma once
// One image layer of the chain: a category, the caller's id, the picture and its animation, and the
// compositor's view of each decoded frame.
#include "effects/GifAnimation.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Effect category codes; the same numbers are layer types, settings values and panel tree codes.
enum EffectCategory : int32_t {
    EFFECT_CARTOON = 2,
    EFFECT_FRAME = 4,
    EFFECT_DOSSAL = 8,
    EFFECT_LIGHT = 16,
    EFFECT_SPECIAL = 32,
    EFFECT_DOUBLE_IMAGE = 128,
};

class EffectLayer {
public:
    EffectLayer(int32_t type, int32_t id, std::string path);

    const int32_t Type;
    const int32_t Id;
    const std::string Path;
    CGifAnimation Animation;

    // The frame in `slot` as 320×240 bytes laid out like the video frame (stretched by nearest pixel
    // when the picture has another size), or nullptr for an empty picture. With `clearWhite` its 255s
    // are 0 from then on; that is done once per frame, as every later pass would find no 255 left.
    const uint8_t* Surface(int slot, CDib& image, bool clearWhite);

    // Byte ranges [first, last) of a white-cleared surface outside which every byte is 0: the rules that
    // see 255 as 0 leave the frame alone there. Valid after Surface with `clearWhite`.
    struct Span {
        uint32_t First, Last;
    };
    const std::vector<Span>& Spans(int slot) const { return spans_[slot]; }

private:
    void MakeTables(const CDib& image);
    static std::vector<Span> FindSpans(const uint8_t* surface);

    std::array<std::vector<uint8_t>, CGifAnimation::kMaxFrames> stretched_;
    std::array<bool, CGifAnimation::kMaxFrames> whiteCleared_{};
    std::array<std::vector<Span>, CGifAnimation::kMaxFrames> spans_;
    // Byte offsets of the source column for each frame column and of the source row for each frame row.
    std::vector<uint32_t> columnOffsets_;
    std::vector<size_t> rowOffsets_;
    int tableWidth_ = 0;
    int tableHeight_ = 0;
};
