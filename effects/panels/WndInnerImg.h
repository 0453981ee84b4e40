#pragma once
// The picture-in-picture: its movement, position, size and opacity, the mask picture it is cut to, the
// background picture behind it, a reset to the factory values and the switch that turns it off. Every
// change goes to the overlay at once.
#include "effects/panels/EffectPictureList.h"
#include "ui/UIWnd.h"

#include <memory>

class CWndInnerImg : public CUIWnd {
    Q_OBJECT
public:
    static const char* const kSwitchOnFirstText;

    explicit CWndInnerImg(QWidget* parent);

    CEffectPictureList& Masks() { return *masks_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;

private:
    // The movement box and the sliders show the settings.
    void ShowValues();
    void ApplyPip();
    void ChooseMask(int index);
    void ChooseBackground();
    void Reset();

    std::unique_ptr<CEffectPictureList> masks_;
};
