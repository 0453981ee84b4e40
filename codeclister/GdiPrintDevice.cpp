#include "codeclister/GdiPrintDevice.h"

#include <string>

IPrintDevice::Metrics CGdiPrintDevice::SelectFixedFont() {
  SelectObject(dc_, GetStockObject(ANSI_FIXED_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc_, &tm);
  Metrics m;
  m.charHeight = tm.tmHeight;
  m.internalLeading = tm.tmInternalLeading;
  m.maxCharWidth = tm.tmMaxCharWidth;
  m.pixelsPerInchX = GetDeviceCaps(dc_, LOGPIXELSX);
  m.pixelsPerInchY = GetDeviceCaps(dc_, LOGPIXELSY);
  m.pageWidth = GetDeviceCaps(dc_, HORZRES);
  m.pageHeight = GetDeviceCaps(dc_, VERTRES);
  return m;
}

bool CGdiPrintDevice::StartDocument(const std::string& name) {
  DOCINFOA info{};
  info.cbSize = sizeof info;
  info.lpszDocName = name.c_str();
  return StartDocA(dc_, &info) > 0;
}

void CGdiPrintDevice::StartPage() {
  ::StartPage(dc_);
  // Some drivers reset the context at each page.
  SelectObject(dc_, GetStockObject(ANSI_FIXED_FONT));
}

void CGdiPrintDevice::EndPage() { ::EndPage(dc_); }

void CGdiPrintDevice::EndDocument() { EndDoc(dc_); }

void CGdiPrintDevice::WriteText(int x, int y, std::string_view text, int tabOrigin) {
  SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  TabbedTextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()), 0, nullptr, tabOrigin);
}

void CGdiPrintDevice::WriteHeaderText(int x, int baseline, std::string_view text, bool rightAligned) {
  SetTextAlign(dc_, TA_BASELINE | (rightAligned ? TA_RIGHT : TA_LEFT) | TA_NOUPDATECP);
  TextOutA(dc_, x, baseline, text.data(), static_cast<int>(text.size()));
}

void CGdiPrintDevice::DrawRule(int x1, int x2, int y, int width) {
  HPEN pen = CreatePen(PS_SOLID, width, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(dc_, pen);
  MoveToEx(dc_, x1, y, nullptr);
  LineTo(dc_, x2, y);
  SelectObject(dc_, old);
  DeleteObject(pen);
}
