#pragma once
// The loading window shown while the main window is built. Widgets live on the main thread only, so
// it is shown there before the main window is built, and the building steps let it paint in between
// (KeepLoadingWindowPainted); its text cycle runs on a 600 ms timer.
#include "ui/UIWnd.h"

#include <QBasicTimer>

class CWndWelcome : public CUIWnd {
    Q_OBJECT
public:
    CWndWelcome();

    // Shows the window topmost, centred on the screen, without a taskbar button.
    void ShowLoading();

protected:
    bool OnCreate() override;
    bool OnMessage(CWindowMessage& message) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void ShowText();

    QBasicTimer textTimer_;
};

// The four texts of the cycle and the process-wide position in it.
extern int LoadingTextIndex;
QString LoadingText(int index);

// Lets the loading window repaint and run its timer between steps of a long build on the main thread.
void KeepLoadingWindowPainted();
