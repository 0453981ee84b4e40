// A static control turned into a hyperlink: underlined, coloured, a hand cursor and a tool tip, and a
// click opens its target with the shell.
#pragma once

#include <windows.h>

#include <string>

class CLinkLabel {
 public:
  CLinkLabel() = default;
  ~CLinkLabel();
  CLinkLabel(const CLinkLabel&) = delete;
  CLinkLabel& operator=(const CLinkLabel&) = delete;

  // Takes over the static control `label`; an empty `target` takes the label's text.
  void Attach(HWND label, const std::string& target);
  void SetUnderline(int mode);  // 1: always underlined

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void FitToText();
  void Open();
  static HCURSOR HandCursor();

  HWND window_ = nullptr;
  WNDPROC previous_ = nullptr;
  std::string target_;
  HFONT normalFont_ = nullptr;
  HFONT underlinedFont_ = nullptr;
  COLORREF linkColour_ = 0xEE0000;
  COLORREF visitedColour_ = 0x8B1A55;
  COLORREF hoverColour_ = 0x0000FF;
  bool hovering_ = false;
  bool visited_ = false;
  int underline_ = -1;
  bool adjustToFit_ = true;
  HWND toolTip_ = nullptr;
  static constexpr UINT_PTR kHoverTimer = 100;
};
