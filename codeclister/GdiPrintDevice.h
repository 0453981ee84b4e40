// The printer behind PrintPager: a GDI printer device context.
#pragma once

#include <windows.h>

#include "codeclister/PrintPager.h"

class CGdiPrintDevice : public IPrintDevice {
 public:
  explicit CGdiPrintDevice(HDC dc) : dc_(dc) {}

  Metrics SelectFixedFont() override;
  bool StartDocument(const std::string& name) override;
  void StartPage() override;
  void EndPage() override;
  void EndDocument() override;
  void WriteText(int x, int y, std::string_view text, int tabOrigin) override;
  void WriteHeaderText(int x, int baseline, std::string_view text, bool rightAligned) override;
  void DrawRule(int x1, int x2, int y, int width) override;

 private:
  HDC dc_;
};
