#pragma once
// The video-source tab: the tree of the four sources and, beside it, the sub-panel of the chosen one.
// Choosing a source switches the frame sink to it.
#include "ui/UIWnd.h"

#include <cstdint>
#include <string>

class CWndSubVideoSetting;
class CWndMedList;
class CWndMedView;
class CWndSubImgView;
class CWndSubCapture;

class CWndVideoScr : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndVideoScr(QWidget* parent);

    // The source the tree shows chosen (SOURCE_*); -1 for none.
    int32_t ChosenSource() const;

protected:
    bool OnCreate() override;
    void OnNotify(const ControlNotify& notify) override;
    bool OnMessage(CWindowMessage& message) override;

private:
    void ChooseSource(int32_t source);
    // A picture file chosen in a sub-panel: the output switches to it.
    void ShowPictureFile(const std::string& path);

    CWndSubVideoSetting* cameraPanel_ = nullptr;
    CWndMedList* mediaList_ = nullptr;
    CWndMedView* mediaView_ = nullptr;
    CWndSubImgView* picturePanel_ = nullptr;
    CWndSubCapture* screenPanel_ = nullptr;
};
