// The small "Please wait . . ." window shown while the codecs are enumerated.
#pragma once

#include <windows.h>

#include "codeclister/CodecLister.h"

class CProgressWindow : public IStatusSink {
 public:
  explicit CProgressWindow(HINSTANCE instance);
  ~CProgressWindow() override;
  CProgressWindow(const CProgressWindow&) = delete;
  CProgressWindow& operator=(const CProgressWindow&) = delete;

  // Shows `text` + " ..." and lets the window repaint.
  void ShowStatus(const std::string& text) override;

 private:
  HWND window_ = nullptr;
};

// Status for runs without a window (the /report switch).
class CSilentStatus : public IStatusSink {
 public:
  void ShowStatus(const std::string&) override {}
};
