// Probewell's main dialog: the codec lists and their details, the system information, and the Save,
// Print, About and Close buttons.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "codeclister/CodecLister.h"
#include "codeclister/LinkLabel.h"
#include "codeclister/ReportText.h"

class CMainDialog {
 public:
  explicit CMainDialog(HINSTANCE instance) : instance_(instance) {}
  INT_PTR Run();

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit();
  void BuildSystemList();
  void BuildDetailsList();
  void FillCodecList();
  void ShowDetails();
  void SetDetail(int row, const std::string& value);
  void Save();
  void Print();
  void Close();

  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  HWND types_ = nullptr;
  HWND codecList_ = nullptr;
  HWND details_ = nullptr;
  HWND system_ = nullptr;
  HIMAGELIST rowHeight_ = nullptr;
  CLinkLabel website_;
  CCodecLister lister_;
  SystemRows rows_;
};

// The about box with its three hyperlink labels.
void ShowAboutBox(HINSTANCE instance, HWND owner);
