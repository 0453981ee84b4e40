#include "effects/panels/EffectCategories.h"

const char* EffectCategoryLabel(int32_t code)
{
    for (const EffectTreeItem& item : kEffectTreeItems)
        if (item.Code == code)
            return item.Label;
    return "";
}

SettingsRecord::EffTypeGroup* EffTypeOf(int32_t category)
{
    switch (category) {
    case EFFECT_CARTOON:
        return &Settings.Cartoon;
    case EFFECT_FRAME:
        return &Settings.Frame;
    case EFFECT_DOSSAL:
        return &Settings.Dossal;
    case EFFECT_LIGHT:
        return &Settings.Light;
    default:
        return nullptr;
    }
}
