#include "app/KorvelMainFrm.h"

#include "app/ShellMessages.h"
#include "app/SingleInstance.h"
#include "app/WndAbout.h"
#include "app/WndSetting.h"
#include "ui/WndUserOptHite.h"
#include "app/WndWelcome.h"
#include "effects/panels/WndSpeEffect.h"
#include "ktv/panels/WndKTV.h"
#include "ktv/panels/WndLeftPan.h"
#include "pipeline/panels/WndVideoScr.h"
#include "record/panels/WndOpus.h"
#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "ui/MenuEx.h"
#include "ui/SkinResources.h"
#include "ui/SkinWebView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QShortcut>
#include <QTimerEvent>
#include <QUrl>
#include <QWebEngineView>

namespace {

enum {
    IDC_MINIMISE = 1001,
    IDC_CLOSE = 1002,
    IDC_AREA_RIGHT = 1003,
    IDC_AREA_LEFT = 1004,
    IDC_AREA_WORKS = 1005,
    IDC_TAB_EFFECTS = 1006,
    IDC_TAB_SOURCE = 1007,
    IDC_TAB_WORKS = 1008,
    IDC_TAB_KTV = 1009,
    IDC_SETTINGS = 1010,
    IDC_LINK_FORUM = 1011,
    IDC_LINK_HELP = 1012,
    IDC_BANNER = 1013,
    IDC_LINK_INVITE = 1014,
    IDC_LINK_METHOD = 1015,
    IDC_LEFT_SOURCE_BUTTON = 1136,  // the left panel's mirror of the video-source tab
};
constexpr int kTrayIconId = 100;
constexpr int kFlashMs = 400;
constexpr int kFlashCycle = 7;  // six flashes, then the counter is back at zero
constexpr int kTitleAreaHeight = 44;
const char* const kWindowTitle = "Korvel虚拟视频";

}  // namespace

CKorvelMainFrm::CKorvelMainFrm()
    : CUIWnd(IDR_MAIN_FRAME), Alert([](QWidget* window) { QApplication::alert(window, 300); }),
      tray_(kTrayIconId, this)
{
    SetDragAnywhere(true);
    // A pop-up with a system menu and a minimise box: no maximise, no sizing border.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint);
}

CKorvelMainFrm::~CKorvelMainFrm()
{
    DestroyWindow();
    if (MainFrame == this)
        core_.SaveSettings();
    // The panels go before the frame sink they call.
    ktvPanel_.reset();
    videoSourcePanel_.reset();
    effectsPanel_.reset();
    leftPanel_.reset();
    worksPanel_.reset();
    if (MainFrame == this)
        MainFrame = nullptr;
}

bool CKorvelMainFrm::OnCreate()
{
    MainFrame = this;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CentreWindow();

    core_.Start([this] {
        KeepLoadingWindowPainted();
        banner_ = CreateSkinWebView(this, IDC_BANNER, QString::fromStdString(ActiveIni.BannerURL));
        effectsPanel_ = CreatePanel<CWndSpeEffect>(IDC_AREA_RIGHT, false);
        videoSourcePanel_ = CreatePanel<CWndVideoScr>(IDC_AREA_RIGHT, false);
        ktvPanel_ = CreatePanel<CWndKTV>(IDC_AREA_RIGHT, false);
        effectsPanel_->show();
        leftPanel_ = CreatePanel<CWndLeftPan>(IDC_AREA_LEFT, true);
        Sink().SetLeftPane(leftPanel_.get());
        worksPanel_ = CreatePanel<CWndOpus>(IDC_AREA_WORKS, false);
        KeepLoadingWindowPainted();
        SetControlChecked(IDC_TAB_EFFECTS, true);
        // What a later start finds and brings to the front.
        if (CSingleInstance* instance = CSingleInstance::Current())
            instance->Listen([this] { BringToFront(); });
    });

    setWindowTitle(QString::fromUtf8(kWindowTitle));
    SetColorKeyEnabled(false);

    const QIcon icon(UiSkin()->ImagePath("korvel.png"));
    setWindowIcon(icon);
    tray_.SetNotificationWindow(this, WM_TRAY_NOTIFY);
    tray_.SetTooltipText(windowTitle());
    tray_.SetIcon(icon);

    // The window manager owns the real system menu; Alt+Space and a right click on the title area open
    // the window's own.
    auto* systemMenu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(systemMenu, &QShortcut::activated, this, [this] { ShowSystemMenu(mapToGlobal(QPoint(8, kTitleAreaHeight))); });

    QApplication::restoreOverrideCursor();
    StartFlash();
    return true;
}

template <class Panel>
std::unique_ptr<Panel> CKorvelMainFrm::CreatePanel(int placeholder, bool visible)
{
    auto panel = std::make_unique<Panel>(this);
    panel->Create();
    panel->setGeometry(ControlRect(placeholder));
    panel->setVisible(visible);
    return panel;
}

void CKorvelMainFrm::ShowTab(int tab)
{
    const bool effects = tab == IDC_TAB_EFFECTS;
    const bool source = tab == IDC_TAB_SOURCE;
    const bool ktv = tab == IDC_TAB_KTV;
    const bool works = tab == IDC_TAB_WORKS;
    if (source) {
        SetControlChecked(IDC_TAB_SOURCE, true);
        SetControlChecked(IDC_TAB_EFFECTS, false);
        SetControlChecked(IDC_TAB_KTV, false);
    }
    effectsPanel_->setVisible(effects);
    videoSourcePanel_->setVisible(source);
    ktvPanel_->setVisible(ktv);
    leftPanel_->setVisible(!works);
    worksPanel_->setVisible(works);
    if (!works)
        leftPanel_->SetControlChecked(IDC_LEFT_SOURCE_BUTTON, source);
}

void CKorvelMainFrm::OnCommand(int id)
{
    switch (id) {
    case IDC_MINIMISE:
        showMinimized();
        break;
    case IDC_CLOSE:
        if (Settings.ExitOnClose == 0)
            HideToTray();
        else
            ConfirmQuit();
        break;
    case IDC_TAB_EFFECTS:
    case IDC_TAB_SOURCE:
    case IDC_TAB_KTV:
    case IDC_TAB_WORKS:
        ShowTab(id);
        break;
    case IDC_SETTINGS: {
        CWndSetting dialog(this);
        dialog.DoModal();
        break;
    }
    case IDC_LINK_FORUM:
        OpenLink(ActiveIni.ForumURL);
        break;
    case IDC_LINK_HELP:
        OpenLink(ActiveIni.HelpURL);
        break;
    case IDC_LINK_INVITE:
        OpenLink(ActiveIni.IniteBudMkMoneyURL);
        break;
    case IDC_LINK_METHOD:
        OpenLink(ActiveIni.MkMoneyMethodURL);
        break;
    case LowWord(ID_TRAY_HIDE):
        hide();
        break;
    case LowWord(ID_TRAY_SHOW):
        ShowFromTray();
        break;
    case LowWord(ID_TRAY_ABOUT):
    case ID_SYS_ABOUT:
        RunAbout();
        break;
    case LowWord(ID_TRAY_QUIT):
        ConfirmQuit();
        break;
    }
}

bool CKorvelMainFrm::OnMessage(CWindowMessage& message)
{
    switch (message.Message()) {
    case WM_TRAY_NOTIFY:
        tray_.OnTrayNotification(message.wParam, message.lParam);
        return true;
    case WM_SWITCH_TO_EFFECTS:
        ShowTab(IDC_TAB_EFFECTS);
        SetControlChecked(IDC_TAB_SOURCE, false);
        SetControlChecked(IDC_TAB_EFFECTS, true);
        SendWindowMessage(effectsPanel_.get(), WM_SHOW_EFFECTS);
        return true;
    case WM_SHOW_SOURCE_TAB:
        ShowTab(IDC_TAB_SOURCE);
        return true;
    }
    // Panels do not know each other: a message for another panel comes here and goes on to it.
    if (QWidget* panel = PanelFor(message.Message()))
        return SendWindowMessage(panel, message.Message(), message.wParam, message.lParam, message.payload);
    return false;
}

QWidget* CKorvelMainFrm::PanelFor(int message) const
{
    switch (message) {
    case WM_MEDIA_LIST_ENDED:
    case WM_SELECT_SCREEN_SOURCE:
        return videoSourcePanel_.get();
    case WM_KTV_PLAY_SONG:
        return leftPanel_.get();
    case WM_KTV_SONG_ENDED:
        return ktvPanel_.get();
    }
    return nullptr;
}

void CKorvelMainFrm::OpenLink(const std::string& link)
{
    if (link.empty())
        return;
    QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(link)));
}

void CKorvelMainFrm::ReloadSongList()
{
    SendWindowMessage(ktvPanel_.get(), WM_KTV_RELOAD_SONGS);
}

void CKorvelMainFrm::HideToTray()
{
    if (tray_.IsShown())
        hide();
    else
        showMinimized();
}

void CKorvelMainFrm::ShowFromTray()
{
    showNormal();
    StartFlash();
}

void CKorvelMainFrm::BringToFront()
{
    qInfo("korvel: brought to the front by a later start");
    if (isMinimized() || isHidden())
        showNormal();
    raise();
    activateWindow();
}

void CKorvelMainFrm::ConfirmQuit()
{
    if (ShowUserOptHite(this, QString::fromUtf8("您确定要退出虚拟视频程序吗？"), CWndUserOptHite::MODE_QUESTION) !=
        IDOK_RESULT)
        return;
    Quit();
}

void CKorvelMainFrm::Quit()
{
    quitting_ = true;
    close();
    QCoreApplication::quit();
}

void CKorvelMainFrm::closeEvent(QCloseEvent* event)
{
    if (quitting_) {
        DestroyWindow();
        event->accept();
        return;
    }
    // Alt+F4 and the window manager's close keep the program running in the tray.
    event->ignore();
    HideToTray();
}

void CKorvelMainFrm::OnDestroy()
{
    // Capture stops and the virtual camera is released before anything else goes.
    core_.StopCapture();
    flashTimer_.stop();
    tray_.RemoveIcon();
}

void CKorvelMainFrm::RunAbout()
{
    CWndAbout about(this);
    about.DoModal();
}

void CKorvelMainFrm::StartFlash()
{
    flashTicks_ = 0;
    flashTimer_.start(kFlashMs, this);
}

void CKorvelMainFrm::OnFlashTimer()
{
    ++flashTicks_;
    if (flashTicks_ % kFlashCycle != 0) {
        if (Alert)
            Alert(this);
        return;
    }
    flashTicks_ = 0;
    flashTimer_.stop();
}

void CKorvelMainFrm::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == flashTimer_.timerId())
        OnFlashTimer();
    else
        CUIWnd::timerEvent(event);
}

void CKorvelMainFrm::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->pos().y() < kTitleAreaHeight)
        ShowSystemMenu(event->globalPos());
    else
        CUIWnd::contextMenuEvent(event);
}

void CKorvelMainFrm::ShowSystemMenu(const QPoint& globalPos)
{
    CMenuEx menu;
    menu.SetProgramColors();
    menu.addAction(QString::fromUtf8("最小化"), this, [this] { showMinimized(); });
    menu.addAction(QString::fromUtf8("关闭"), this, [this] { close(); });
    menu.addSeparator();
    menu.addAction(QString::fromUtf8("关于Korvel虚拟视频..."), this, [this] { OnCommand(ID_SYS_ABOUT); });
    menu.exec(globalPos);
}
