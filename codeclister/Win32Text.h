// Conversions between the Windows APIs' types and the program's own: ANSI strings (system code page),
// GUID texts, calendar times.
#pragma once

#include <windows.h>

#include <ctime>
#include <string>

// UTF-16 to the system code page; characters outside it become the code page's default character.
std::string WideToAnsi(const wchar_t* text, int length = -1);
std::wstring AnsiToWide(const std::string& text);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
std::string GuidToString(const GUID& guid);
// The system folder, e.g. "C:\windows\system32"; empty when it cannot be told.
std::string SystemFolder();
// The fields of a SYSTEMTIME as a calendar time (no time zone applied).
std::tm CalendarTime(const SYSTEMTIME& t);
