#include "codeclister/LinkLabel.h"

#include <commctrl.h>

#include <vector>

#include "codeclister/LinkErrors.h"
#include "codeclister/Registry.h"

namespace {
const char kSelfProperty[] = "ProbewellLinkLabel";

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::vector<char> text(static_cast<size_t>(length) + 1);
  const int got = GetWindowTextA(window, text.data(), length + 1);
  return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

// Opens `target` with the program registered for ".htm" pages; returns WinExec's result.
UINT OpenWithBrowser(const std::string& target) {
  const std::string type = RegReadString(HKEY_CLASSES_ROOT, ".htm\\");
  if (type.empty()) return ERROR_FILE_NOT_FOUND;
  std::string command = RegReadString(HKEY_CLASSES_ROOT, type + "\\shell\\open\\command\\");
  if (command.empty()) return ERROR_FILE_NOT_FOUND;
  size_t cut = command.find("\"%1\"");
  if (cut == std::string::npos) cut = command.find("%1");
  if (cut != std::string::npos) command.erase(cut);
  command += " " + target;
  return WinExec(command.c_str(), SW_SHOW);
}
}  // namespace

CLinkLabel::~CLinkLabel() {
  if (window_) {
    KillTimer(window_, kHoverTimer);
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(window_, kSelfProperty);
  }
  if (toolTip_) DestroyWindow(toolTip_);
  if (normalFont_) DeleteObject(normalFont_);
  if (underlinedFont_) DeleteObject(underlinedFont_);
}

HCURSOR CLinkLabel::HandCursor() {
  static HCURSOR cursor = [] {
    HCURSOR copy = nullptr;
    char folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      const std::string helper = std::string(folder) + "\\winhlp32.exe";
      if (HMODULE module = LoadLibraryExA(helper.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        if (HCURSOR hand = LoadCursorA(module, MAKEINTRESOURCEA(106))) copy = CopyCursor(hand);
        FreeLibrary(module);
      }
    }
    return copy ? copy : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
  }();
  return cursor;
}

void CLinkLabel::Attach(HWND label, const std::string& target) {
  window_ = label;
  SetWindowLongPtrA(label, GWL_STYLE, GetWindowLongPtrA(label, GWL_STYLE) | SS_NOTIFY);
  target_ = target.empty() ? WindowText(label) : target;
  if (WindowText(label).empty()) SetWindowTextA(label, target_.c_str());

  HFONT base = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
  if (!base) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (!base) base = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
  LOGFONTA font{};
  GetObjectA(base, sizeof font, &font);
  normalFont_ = CreateFontIndirectA(&font);
  font.lfUnderline = TRUE;
  underlinedFont_ = CreateFontIndirectA(&font);

  SetPropA(label, kSelfProperty, this);
  previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  if (adjustToFit_) FitToText();

  toolTip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, GetParent(label), nullptr, nullptr, nullptr);
  if (toolTip_) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(label);
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = &target_[0];
    SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void CLinkLabel::SetUnderline(int mode) {
  underline_ = mode;
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void CLinkLabel::FitToText() {
  const std::string text = WindowText(window_);
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, underlinedFont_);
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

void CLinkLabel::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  RECT r;
  GetClientRect(window_, &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const bool underlined = underline_ == 1 || (underline_ == -1 && hovering_);
  HGDIOBJ old = SelectObject(dc, underlined ? underlinedFont_ : normalFont_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, hovering_ ? hoverColour_ : (visited_ ? visitedColour_ : linkColour_));
  const std::string text = WindowText(window_);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(window_, &ps);
}

void CLinkLabel::Open() {
  INT_PTR result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", target_.c_str(), nullptr, nullptr, 5));
  if (result <= 32) result = OpenWithBrowser(target_);
  if (result > 32) {
    visited_ = true;
    InvalidateRect(window_, nullptr, TRUE);
    return;
  }
  MessageBeep(MB_ICONEXCLAMATION);
  MessageBoxA(GetParent(window_), HyperlinkErrorText(static_cast<int>(result)).c_str(), "Probewell",
              MB_OK | MB_ICONEXCLAMATION);
}

LRESULT CALLBACK CLinkLabel::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CLinkLabel*>(GetPropA(window, kSelfProperty));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT CLinkLabel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR:
      SetCursor(HandCursor());
      return TRUE;
    case WM_MOUSEMOVE:
      if (!hovering_) {
        hovering_ = true;
        InvalidateRect(window_, nullptr, TRUE);
        SetTimer(window_, kHoverTimer, 100, nullptr);
      }
      return 0;
    case WM_TIMER:
      if (wParam == kHoverTimer) {
        POINT p;
        RECT r;
        GetCursorPos(&p);
        GetWindowRect(window_, &r);
        if (!PtInRect(&r, p)) {
          hovering_ = false;
          KillTimer(window_, kHoverTimer);
          InvalidateRect(window_, nullptr, TRUE);
        }
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      Open();
      return 0;
    case WM_NCDESTROY: {
      // The window goes before the label object: give it back its own procedure.
      HWND window = window_;
      WNDPROC previous = previous_;
      KillTimer(window, kHoverTimer);
      RemovePropA(window, kSelfProperty);
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      window_ = nullptr;
      if (toolTip_) DestroyWindow(toolTip_);
      toolTip_ = nullptr;
      return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    default:
      break;
  }
  return CallWindowProcA(previous_, window_, message, wParam, lParam);
}
