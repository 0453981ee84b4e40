// Probewell: with "/report FILE" writes the report to FILE and exits (0 on success, 1 when the file
// cannot be written); otherwise shows the dialog.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

#include "codeclister/CodecLister.h"
#include "codeclister/MainDialog.h"
#include "codeclister/ProgressWindow.h"
#include "codeclister/ReportFile.h"
#include "codeclister/SystemInfo.h"

namespace {
int WriteReport(const char* path) {
  if (path == nullptr || *path == '\0') return 1;
  CSilentStatus status;
  CCodecLister lister;
  if (lister.Initialize(status)) lister.Enumerate(status);
  const std::string report = MakeReport(CollectSystemRows(), lister.Codecs());
  lister.Close();
  return WriteReportFile(path, report) ? 0 : 1;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const HRESULT com = CoInitialize(nullptr);
  int result = 0;
  if (__argc >= 2 && lstrcmpiA(__argv[1], "/report") == 0) {
    result = WriteReport(__argc >= 3 ? __argv[2] : nullptr);
  } else {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CMainDialog dialog(instance);
    dialog.Run();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return result;
}
