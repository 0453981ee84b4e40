#include "effects/SelectedEffects.h"

#include <algorithm>

CSelectedEffects::CSelectedEffects(CEffectChain& chain, uint32_t seed)
    : chain_(chain), random_(seed), index_(LoadEffectIndex())
{
}

int32_t CSelectedEffects::NextId()
{
    random_ = random_ * 214013u + 2531011u;
    return int32_t((random_ >> 16) & 0x7FFF);
}

bool CSelectedEffects::AddSelectedEffect(int32_t type, const std::string& name, const std::string& folder)
{
    std::erase_if(selection_, [type](const SubEffImg& s) { return s.SubEffType == type; });
    const SubEffImg picture{type, name, folder};
    selection_.push_back(picture);
    const std::string full = FullPath(picture);
    const bool handedOver = std::any_of(applied_.begin(), applied_.end(),
                                        [&](const auto& entry) { return FullPath(entry.second) == full; });
    if (!handedOver) {
        const int32_t id = NextId();
        applied_[id] = picture;
        chain_.AddLayer(type, id, full);
    }
    return true;
}

void CSelectedEffects::RemoveSelectedEffect(const std::string& full)
{
    for (auto it = selection_.begin(); it != selection_.end();) {
        if (FullPath(*it) != full) {
            ++it;
            continue;
        }
        int32_t id = -1;
        const auto applied = std::find_if(applied_.begin(), applied_.end(),
                                          [&](const auto& entry) { return FullPath(entry.second) == full; });
        if (applied != applied_.end()) {
            id = applied->first;
            applied_.erase(applied);
        }
        chain_.RemoveLayer(it->SubEffType, id);
        it = selection_.erase(it);
    }
}

void CSelectedEffects::ClearSelected()
{
    selection_.clear();
    chain_.ClearLayers();
}

void CSelectedEffects::RestoreSaved(std::vector<SubEffImg>& saved)
{
    for (auto it = saved.begin(); it != saved.end();) {
        switch (it->SubEffType) {
        case EFFECT_CARTOON:
        case EFFECT_FRAME:
        case EFFECT_DOSSAL:
        case EFFECT_LIGHT:
        case EFFECT_SPECIAL:
            AddSelectedEffect(it->SubEffType, it->ImgName, it->ImgPath);
            it = saved.erase(it);
            break;
        default:
            ++it;
        }
    }
}

void CSelectedEffects::StoreForSave(std::vector<SubEffImg>& saved) const
{
    saved.insert(saved.end(), selection_.begin(), selection_.end());
}
