#include "app/TrayIconEx.h"

#include "app/ShellMessages.h"
#include "settings/WindowMessages.h"
#include "ui/UIWnd.h"

#include <QCursor>

namespace {
constexpr int kTipCapacity = 128;  // the shell's tip field, terminator included
}

CTrayIcon::CTrayIcon(int iconId) : id_(iconId) {}

CTrayIcon::~CTrayIcon() = default;

void CTrayIcon::SetNotificationWindow(QObject* window, int callbackMessage)
{
    notifyWindow_ = window;
    callbackMessage_ = callbackMessage;
}

void CTrayIcon::SetIcon(const QIcon& icon)
{
    if (icon.isNull()) {
        tray_.reset();
        return;
    }
    if (!tray_) {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return;
        tray_ = std::make_unique<QSystemTrayIcon>();
        connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            int event = 0;
            if (reason == QSystemTrayIcon::Context)
                event = TRAY_RBUTTONUP;
            else if (reason == QSystemTrayIcon::DoubleClick)
                event = TRAY_LBUTTONDBLCLK;
            if (event)
                SendWindowMessage(notifyWindow_, callbackMessage_, uintptr_t(id_), event);
        });
        tray_->setToolTip(tip_);
        tray_->setIcon(icon);
        tray_->show();
        return;
    }
    tray_->setIcon(icon);
}

void CTrayIcon::SetTooltipText(const QString& tip)
{
    tip_ = tip.left(kTipCapacity - 1);
    if (tray_)
        tray_->setToolTip(tip_);
}

CTrayIconEx::CTrayIconEx(int iconId, CUIWnd* owner) : CTrayIcon(iconId), owner_(owner) {}

void CTrayIconEx::OnTrayNotification(uintptr_t wParam, intptr_t lParam)
{
    if (int(wParam) != Id())
        return;
    if (lParam == TRAY_RBUTTONUP) {
        std::unique_ptr<CMenuEx> menu = BuildMenu();
        owner_->activateWindow();
        menu->exec(QCursor::pos());
    } else if (lParam == TRAY_LBUTTONDBLCLK) {
        ToggleOwner();
    }
}

std::unique_ptr<CMenuEx> CTrayIconEx::BuildMenu() const
{
    auto menu = std::make_unique<CMenuEx>();
    menu->SetProgramColors();
    const auto add = [&](const char* text, int command) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setData(command);
        CUIWnd* owner = owner_;
        // The command arrives through the 16-bit command field, as the window's other commands do.
        connect(action, &QAction::triggered, owner, [owner, command] { owner->SendCommand(LowWord(command)); });
    };
    if (owner_->isVisible())
        add("隐藏", ID_TRAY_HIDE);
    else
        add("显示", ID_TRAY_SHOW);
    add("关于...", ID_TRAY_ABOUT);
    menu->addSeparator();
    add("退出程序", ID_TRAY_QUIT);
    return menu;
}

void CTrayIconEx::ToggleOwner()
{
    if (!owner_->isVisible())
        owner_->show();
    else if (owner_->isMinimized())
        owner_->showNormal();
    else
        owner_->hide();
}
