#include "codeclister/ReportFile.h"

#include <windows.h>

#include <ctime>

#include "codeclister/FileVersion.h"
#include "codeclister/Win32Text.h"

std::string MakeReport(const SystemRows& rows, const std::vector<CodecEntry>& codecs) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return BuildReport(FormatTimestamp(CalendarTime(t)), rows, codecs, ReadVersionData);
}

bool WriteReportFile(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < text.size()) {
    const size_t left = text.size() - done;
    const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(file, text.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  return CloseHandle(file) && ok;
}
