#include "codeclister/ProgressWindow.h"

#include "codeclister/resource.h"

namespace {
INT_PTR CALLBACK ProgressProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void CentreOnScreen(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
}  // namespace

CProgressWindow::CProgressWindow(HINSTANCE instance) {
  window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressProc, 0);
  if (!window_) return;
  CentreOnScreen(window_);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

CProgressWindow::~CProgressWindow() {
  if (window_) DestroyWindow(window_);
}

void CProgressWindow::ShowStatus(const std::string& text) {
  if (!window_) return;
  SetDlgItemTextA(window_, IDC_PROGRESS_STATUS, (text + " ...").c_str());
  MSG message;
  while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}
