#pragma once
// The pictures of one layer category (animation, border, pendant, light): a double click makes a
// picture the category's choice; the two mode buttons choose how every layer is blended; the folder's
// pictures can be listed again, added to and deleted from.
#include "effects/panels/EffectPictureList.h"
#include "ui/UIWnd.h"

#include <cstdint>
#include <memory>
#include <string>

class CWndSelectedEffect;

class CWndSubVideoSpeEffect : public CUIWnd {
    Q_OBJECT
public:
    // `folder` is the category's picture folder; `selected` receives the choices.
    CWndSubVideoSpeEffect(int32_t category, std::string folder, CWndSelectedEffect* selected, QWidget* parent);

    int32_t Category() const { return category_; }
    CEffectPictureList& Pictures() { return *pictures_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;

private:
    void SetMode(int32_t mode);

    int32_t category_;
    std::string folder_;
    CWndSelectedEffect* selected_;
    std::unique_ptr<CEffectPictureList> pictures_;
};
