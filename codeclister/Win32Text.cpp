#include "codeclister/Win32Text.h"

#include <cstdio>
#include <vector>

std::string WideToAnsi(const wchar_t* text, int length) {
  if (text == nullptr || length == 0) return {};
  const int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], needed, nullptr, nullptr);
  if (length < 0 && !out.empty() && out.back() == '\0') out.pop_back();
  return out;
}

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (needed <= 0) return {};
  std::wstring out(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], needed);
  return out;
}

std::string GuidToString(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

std::string SystemFolder() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);  // the folder did not fit: the result is the size needed
  }
}

std::tm CalendarTime(const SYSTEMTIME& t) {
  std::tm time{};
  time.tm_year = t.wYear - 1900;
  time.tm_mon = t.wMonth - 1;
  time.tm_mday = t.wDay;
  time.tm_hour = t.wHour;
  time.tm_min = t.wMinute;
  time.tm_sec = t.wSecond;
  return time;
}
