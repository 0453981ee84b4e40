#pragma once
// The tray icon of the main window. CTrayIcon keeps the icon and its tip and turns the tray's events
// into the owner's notification message; CTrayIconEx answers them with the tray menu and the double
// click. Where the desktop has no tray the icon is simply not shown.
#include "ui/MenuEx.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

class CUIWnd;

// What happened at the icon, carried in the notification's lParam.
enum TrayEvent : int { TRAY_RBUTTONUP = 0x0205, TRAY_LBUTTONDBLCLK = 0x0203 };

class CTrayIcon : public QObject {
    Q_OBJECT
public:
    explicit CTrayIcon(int iconId);
    ~CTrayIcon() override;

    // The window that receives `callbackMessage` with wParam = the icon identifier, lParam = TrayEvent.
    void SetNotificationWindow(QObject* window, int callbackMessage);
    // The first icon adds the tray icon, later ones change it, a null icon removes it.
    void SetIcon(const QIcon& icon);
    void RemoveIcon() { SetIcon(QIcon()); }
    // Tips longer than 127 characters are cut to fit.
    void SetTooltipText(const QString& tip);
    const QString& TooltipText() const { return tip_; }
    bool IsShown() const { return tray_ != nullptr; }
    int Id() const { return id_; }

private:
    int id_;
    QObject* notifyWindow_ = nullptr;
    int callbackMessage_ = 0;
    QString tip_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

class CTrayIconEx : public CTrayIcon {
    Q_OBJECT
public:
    // `owner` is the main window: its visibility picks the menu's first entry and its command handler
    // receives the menu's commands.
    CTrayIconEx(int iconId, CUIWnd* owner);

    // The notification handler; acts only for this icon's identifier.
    void OnTrayNotification(uintptr_t wParam, intptr_t lParam);
    // The tray menu for the owner's current visibility: 隐藏 or 显示, 关于..., a separator, 退出程序.
    std::unique_ptr<CMenuEx> BuildMenu() const;
    // Show when hidden, restore when minimised, hide otherwise.
    void ToggleOwner();

private:
    CUIWnd* owner_;
};
