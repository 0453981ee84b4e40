#pragma once
// The scrolling text line: its text, font face and size, movement and speed, height in the picture,
// text and band colours, and the switch that turns it off. Each control stores only a changed value,
// and the line takes the settings only while it is switched on.
#include "ui/UIWnd.h"

class CWndAddFont : public CUIWnd {
    Q_OBJECT
public:
    static constexpr int kSmallestSize = 9;
    static constexpr int kLargestSize = 67;

    explicit CWndAddFont(QWidget* parent);

protected:
    bool OnCreate() override;
    void OnNotify(const ControlNotify& notify) override;

private:
    // Stores `value` when it differs from `field`; then the line takes the settings unless it is off.
    template <class T, class V>
    void Change(T& field, const V& value);
    void ApplyTextLine();
};
