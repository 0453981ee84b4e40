#pragma once
// The items of the effects tab's category tree, in order, with the code each carries: the video-effect
// root with the four layer categories under it, then colour adjustment, picture-in-picture and text.
#include "effects/EffectLayer.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>

enum EffectPage : int32_t {
    PAGE_VIDEO_EFFECTS = 1,
    PAGE_COLOR_ADJUST = 64,
    PAGE_INNER_IMG = EFFECT_DOUBLE_IMAGE,
    PAGE_ADD_FONT = 1024,
};

struct EffectTreeItem {
    const char* Label;
    int32_t Code;
    bool UnderVideoEffects;
};

inline constexpr std::array<EffectTreeItem, 8> kEffectTreeItems = {{
    {"视频特效", PAGE_VIDEO_EFFECTS, false},
    {"动画效果", EFFECT_CARTOON, true},
    {"边框效果", EFFECT_FRAME, true},
    {"挂件效果", EFFECT_DOSSAL, true},
    {"灯光效果", EFFECT_LIGHT, true},
    {"色彩调节", PAGE_COLOR_ADJUST, false},
    {"画中画", PAGE_INNER_IMG, false},
    {"添加文字", PAGE_ADD_FONT, false},
}};

// The tree's label of a code; empty for a code without an item.
const char* EffectCategoryLabel(int32_t code);

// The settings group whose EffType a layer category keeps; null for other codes.
SettingsRecord::EffTypeGroup* EffTypeOf(int32_t category);
