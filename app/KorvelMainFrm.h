#pragma once
// The main window: tabs over the panels, the link buttons, the banner, the tray icon, the title-area
// menu and the flash after showing; it owns the panels and the frame sink and runs the shut-down.
#include "app/TrayIconEx.h"
#include "effects/SelectedEffects.h"
#include "pipeline/CaptureScr.h"
#include "pipeline/SourceKind.h"
#include "ui/UIWnd.h"

#include <QBasicTimer>

#include <cstdint>
#include <functional>
#include <memory>

class QWebEngineView;

class CKorvelMainFrm : public CUIWnd {
    Q_OBJECT
public:
    CKorvelMainFrm();
    ~CKorvelMainFrm() override;

    // The panels, for the windows that talk to them.
    CUIWnd* EffectsPanel() const { return effectsPanel_.get(); }
    CUIWnd* VideoSourcePanel() const { return videoSourcePanel_.get(); }
    CUIWnd* KtvPanel() const { return ktvPanel_.get(); }
    CUIWnd* LeftPanel() const { return leftPanel_.get(); }
    CUIWnd* WorksPanel() const { return worksPanel_.get(); }
    CTrayIconEx& TrayIcon() { return tray_; }
    QWebEngineView* BannerView() const { return banner_; }

    // The current frame source (SOURCE_*); the frame sink reads it, so it is declared before it.
    int32_t SourceKind = SOURCE_CAMERA;
    CCaptureScr& Sink() { return *sink_; }

    // Asks the KTV panel to read its song folders again.
    void ReloadSongList();
    // What a later start of the program does: restore, show and raise this window.
    void BringToFront();
    // The quit question; on confirmation the window is destroyed and the program ends.
    void ConfirmQuit();
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
    std::unique_ptr<CUIWnd> CreatePanel(int resource, int placeholder, bool visible);
    void ShowTab(int tab);
    void OpenLink(const std::string& link);
    void ShowFromTray();
    void StartFlash();
    void RunAbout();
    void OnDestroy();

    std::unique_ptr<CCaptureScr> sink_;
    std::unique_ptr<CUIWnd> worksPanel_;
    CTrayIconEx tray_;
    std::unique_ptr<CUIWnd> leftPanel_;
    std::unique_ptr<CUIWnd> effectsPanel_;
    std::unique_ptr<CSelectedEffects> selectedEffects_;  // the effects panel's choice of pictures
    std::unique_ptr<CUIWnd> videoSourcePanel_;
    std::unique_ptr<CUIWnd> ktvPanel_;
    QWebEngineView* banner_ = nullptr;
    QBasicTimer flashTimer_;
    int flashTicks_ = 0;
    bool quitting_ = false;
    bool destroyed_ = false;
};
