#include "codeclister/PrintPager.h"

#include <utility>

PrintPager::PrintPager(IPrintDevice& device, std::string programName)
    : device_(device), programName_(std::move(programName)) {}

bool PrintPager::Start() {
  metrics_ = device_.SelectFixedFont();
  if (!device_.StartDocument(programName_)) return false;
  started_ = true;
  lineHeight_ = metrics_.charHeight + metrics_.internalLeading;
  advance_ = metrics_.maxCharWidth;
  topMargin_ = metrics_.pixelsPerInchY / 2;
  leftMargin_ = metrics_.pixelsPerInchX / 2;
  x_ = leftMargin_;
  y_ = topMargin_;
  return true;
}

void PrintPager::EnsurePage() {
  if (pageOpen_ && y_ <= metrics_.pageHeight - topMargin_) return;
  if (pageOpen_) device_.EndPage();
  device_.StartPage();
  pageOpen_ = true;
  ++page_;
  x_ = leftMargin_;
  y_ = topMargin_;
  const int right = metrics_.pageWidth - leftMargin_;
  const int baseline = static_cast<int>(topMargin_ - 1.5 * lineHeight_ - 20);
  device_.WriteHeaderText(leftMargin_, baseline, programName_, false);
  device_.WriteHeaderText(right, baseline, std::to_string(page_), true);
  device_.DrawRule(leftMargin_, right, topMargin_ - lineHeight_ / 2 - 20, metrics_.pixelsPerInchX / 100);
}

void PrintPager::Write(std::string_view piece) {
  if (piece.empty()) return;
  EnsurePage();
  device_.WriteText(x_, y_, piece, leftMargin_);
  x_ += static_cast<int>(piece.size()) * advance_;
}

void PrintPager::NewLine() {
  x_ = leftMargin_;
  y_ += lineHeight_;
}

void PrintPager::Print(std::string_view text) {
  if (!started_) return;
  for (;;) {
    const size_t end = text.find("\r\n");
    if (end == std::string_view::npos) {
      Write(text);
      return;
    }
    Write(text.substr(0, end));
    NewLine();
    text.remove_prefix(end + 2);
  }
}

void PrintPager::End() {
  if (!started_) return;
  if (pageOpen_) device_.EndPage();
  pageOpen_ = false;
  device_.EndDocument();
  started_ = false;
}
