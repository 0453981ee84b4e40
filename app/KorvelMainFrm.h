#pragma once
// The main window: tabs over the panels, the link buttons, the banner, the tray icon, the title-area
// menu and the flash after showing; it owns the panels and the frame sink and runs the shut-down.
#include "app/StudioCore.h"
#include "app/TrayIconEx.h"
#include "ui/UIWnd.h"

#include <QBasicTimer>

#include <cstdint>
#include <functional>
#include <memory>

class QWebEngineView;
class CWndSpeEffect;
class CWndVideoScr;
class CWndKTV;
class CWndLeftPan;
class CWndOpus;

class CKorvelMainFrm : public CUIWnd {
    Q_OBJECT
public:
    CKorvelMainFrm();
    ~CKorvelMainFrm() override;

    // The panels, for the windows that talk to them.
    CWndSpeEffect* EffectsPanel() const { return effectsPanel_.get(); }
    CWndVideoScr* VideoSourcePanel() const { return videoSourcePanel_.get(); }
    CWndKTV* KtvPanel() const { return ktvPanel_.get(); }
    CWndLeftPan* LeftPanel() const { return leftPanel_.get(); }
    CWndOpus* WorksPanel() const { return worksPanel_.get(); }
    CTrayIconEx& TrayIcon() { return tray_; }
    QWebEngineView* BannerView() const { return banner_; }

    CCaptureScr& Sink() { return core_.Sink(); }

    // Asks the KTV panel to read its song folders again.
    void ReloadSongList();
    // What a later start of the program does: restore, show and raise this window.
    void BringToFront();
    // The quit question; on confirmation the window is destroyed and the program ends.
    void ConfirmQuit();
    // The end without a question: a stop signal or the session's end.
    void Quit();
    // Hidden into the tray, or minimised where the desktop has no tray to bring it back from.
    void HideToTray();

    // The flash timer's tick; public so the flash can be stepped without waiting.
    void OnFlashTimer();
    bool IsFlashing() const { return flashTimer_.isActive(); }
    // How the window asks for attention once; the window manager's attention hint by default.
    std::function<void(QWidget*)> Alert;

    // The title-area menu (the window manager owns the real system menu).
    void ShowSystemMenu(const QPoint& globalPos);

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    bool OnMessage(CWindowMessage& message) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    template <class Panel>
    std::unique_ptr<Panel> CreatePanel(int placeholder, bool visible);
    void ShowTab(int tab);
    // The panel that handles a message other panels send through this window; null for none.
    QWidget* PanelFor(int message) const;
    void OpenLink(const std::string& link);
    void ShowFromTray();
    void StartFlash();
    void RunAbout();
    void OnDestroy();

    CStudioCore core_;
    std::unique_ptr<CWndOpus> worksPanel_;
    CTrayIconEx tray_;
    std::unique_ptr<CWndLeftPan> leftPanel_;
    std::unique_ptr<CWndSpeEffect> effectsPanel_;
    std::unique_ptr<CWndVideoScr> videoSourcePanel_;
    std::unique_ptr<CWndKTV> ktvPanel_;
    QWebEngineView* banner_ = nullptr;
    QBasicTimer flashTimer_;
    int flashTicks_ = 0;
    bool quitting_ = false;
    bool destroyed_ = false;
};
