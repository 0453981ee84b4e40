#include <windows.h>

#include "codeclister/LinkLabel.h"
#include "codeclister/MainDialog.h"
#include "codeclister/resource.h"

namespace {
struct AboutLinks {
  CLinkLabel mail;
  CLinkLabel home;
  CLinkLabel codecs;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* links = reinterpret_cast<AboutLinks*>(lParam);
      links->mail.Attach(GetDlgItem(dialog, IDC_ABOUT_MAIL), PROBEWELL_MAIL);
      links->home.Attach(GetDlgItem(dialog, IDC_ABOUT_HOME), PROBEWELL_WEBSITE);
      links->codecs.Attach(GetDlgItem(dialog, IDC_ABOUT_CODECS), PROBEWELL_CODEC_PAGE);
      for (CLinkLabel* link : {&links->mail, &links->home, &links->codecs}) link->SetUnderline(1);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner) {
  AboutLinks links;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc, reinterpret_cast<LPARAM>(&links));
}
