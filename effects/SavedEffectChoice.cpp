#include "effects/SavedEffectChoice.h"

#include "settings/Settings.h"

#include <algorithm>

void ApplySavedEffectChoice(CEffectChain& chain, CSelectedEffects& selected)
{
    selected.RestoreSaved(Settings.SubEffImgInfo);

    chain.Pip().SetPipClose(Settings.InnerImg.Close);
    std::vector<SubEffImg>& saved = Settings.SubEffImgInfo;
    const auto pip = std::find_if(saved.begin(), saved.end(),
                                  [](const SubEffImg& s) { return s.SubEffType == EFFECT_DOUBLE_IMAGE; });
    if (pip != saved.end())
        saved.erase(pip);
    chain.Pip().SetPip(Settings.InnerImg);

    if (!Settings.AddFont.Close)
        chain.Text().SetTextLine(Settings.AddFont);
}

void StoreEffectChoice(const CSelectedEffects& selected)
{
    selected.StoreForSave(Settings.SubEffImgInfo);
}
