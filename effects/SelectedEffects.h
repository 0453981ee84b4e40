#pragma once
// The effect pictures in use, at most one per category, and the pictures handed to the chain so far.
// The selected-effects panel shows and changes this; it is the only caller of AddLayer and RemoveLayer.
#include "settings/Settings.h"
#include "effects/EffectChain.h"
#include "effects/EffectLibrary.h"

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

class CSelectedEffects {
public:
    // Seeds the id generator and reads the program folder's Img_Config.xml.
    explicit CSelectedEffects(CEffectChain& chain, uint32_t seed = uint32_t(std::time(nullptr)));

    // Makes the picture the choice of its category. A picture never handed to the chain before goes to
    // it as a layer under a fresh random id; one handed over before is only listed again.
    bool AddSelectedEffect(int32_t type, const std::string& name, const std::string& folder);
    // Drops every choice of this full path and its layer.
    void RemoveSelectedEffect(const std::string& full);
    // Drops every choice and every layer; what was handed over is remembered.
    void ClearSelected();

    // Oldest first.
    const std::vector<SubEffImg>& Selection() const { return selection_; }
    const EffectIndex& Index() const { return index_; }

    // The saved choices of the layer categories are applied and taken out of `saved`.
    void RestoreSaved(std::vector<SubEffImg>& saved);
    // The current choices are appended to `saved`.
    void StoreForSave(std::vector<SubEffImg>& saved) const;

    static std::string FullPath(const SubEffImg& picture) { return picture.ImgPath + "/" + picture.ImgName; }

private:
    // 0 to 32767, the C runtime's sequence for the seed.
    int32_t NextId();

    CEffectChain& chain_;
    uint32_t random_;
    std::vector<SubEffImg> selection_;
    std::map<int32_t, SubEffImg> applied_;
    EffectIndex index_;
};
