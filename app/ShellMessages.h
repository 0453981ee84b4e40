#pragma once
#include "settings/WindowMessages.h"

// Commands of the tray menu as they reach the main window through the 16-bit command field.
enum TrayCommand : int {
    ID_TRAY_HIDE = 100000,
    ID_TRAY_SHOW = 100010,
    ID_TRAY_ABOUT = 100020,
    ID_TRAY_QUIT = 100030,
};
inline constexpr int LowWord(int command)
{
    return command & 0xFFFF;
}

// The "about" entry of the window's own title-area menu.
inline constexpr int ID_SYS_ABOUT = 12345;
