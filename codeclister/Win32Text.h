// Text conversions between the Windows APIs and the program's ANSI strings (system code page).
#pragma once

#include <windows.h>

#include <string>

// UTF-16 to the system code page; characters outside it become the code page's default character.
std::string WideToAnsi(const wchar_t* text, int length = -1);
std::wstring AnsiToWide(const std::string& text);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
std::string GuidToString(const GUID& guid);
// The system folder, e.g. "C:\windows\system32"; empty when it cannot be told.
std::string SystemFolder();
