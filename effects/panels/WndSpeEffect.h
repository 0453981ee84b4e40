#pragma once
// The effects tab: the category tree on the left and, on the right, the panel of the chosen category
// (the pictures of a layer category above the effects in use, the colour adjustment, the
// picture-in-picture or the text line).
#include "ui/UIWnd.h"

#include <cstdint>
#include <map>

class CSkinTree;
class CWndSelectedEffect;
class CWndSubVideoSpeEffect;
class CWndColorAdjust;
class CWndInnerImg;
class CWndAddFont;

class CWndSpeEffect : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndSpeEffect(QWidget* parent);

    CWndSelectedEffect* SelectedEffects() const { return selected_; }
    // The picture panel of a layer category (2, 4, 8, 16); null for other codes.
    CWndSubVideoSpeEffect* PicturePanel(int32_t category) const;
    CWndColorAdjust* ColorPanel() const { return color_; }
    CWndInnerImg* PipPanel() const { return pip_; }
    CWndAddFont* TextPanel() const { return text_; }

protected:
    bool OnCreate() override;
    void OnNotify(const ControlNotify& notify) override;
    bool OnMessage(CWindowMessage& message) override;

private:
    // Shows the panels of a category's tree item and hides every other one; the root of the video
    // effects changes nothing.
    void ShowCategory(int32_t code);
    // The top-level item after the one holding the first visible item: the colour adjustment.
    void SelectItemAfterFirstVisible();

    CSkinTree* tree_ = nullptr;
    CWndSelectedEffect* selected_ = nullptr;
    std::map<int32_t, CWndSubVideoSpeEffect*> pictures_;
    CWndColorAdjust* color_ = nullptr;
    CWndInnerImg* pip_ = nullptr;
    CWndAddFont* text_ = nullptr;
};
