// Lays the report out on printer pages: margins of half an inch, a header with the program's name,
// the page number and a red rule, and a new page whenever the text reaches the bottom margin.
#pragma once

#include <string>
#include <string_view>

// The printer as the pager sees it; the real one wraps a GDI printer context.
class IPrintDevice {
 public:
  struct Metrics {
    int charHeight = 0;       // tmHeight of the selected font
    int internalLeading = 0;  // tmInternalLeading
    int maxCharWidth = 0;     // tmMaxCharWidth
    int pixelsPerInchX = 0;
    int pixelsPerInchY = 0;
    int pageWidth = 0;  // printable area
    int pageHeight = 0;
  };

  virtual ~IPrintDevice() = default;
  // Selects the stock fixed-pitch ANSI font and tells the metrics the layout needs.
  virtual Metrics SelectFixedFont() = 0;
  virtual bool StartDocument(const std::string& name) = 0;
  virtual void StartPage() = 0;
  virtual void EndPage() = 0;
  virtual void EndDocument() = 0;
  // Text with its top-left corner at (x, y), tabs expanded from `tabOrigin`.
  virtual void WriteText(int x, int y, std::string_view text, int tabOrigin) = 0;
  // Header text standing on `baseline`, starting at x or, when `rightAligned`, ending at x.
  virtual void WriteHeaderText(int x, int baseline, std::string_view text, bool rightAligned) = 0;
  // A solid red horizontal line.
  virtual void DrawRule(int x1, int x2, int y, int width) = 0;
};

class PrintPager {
 public:
  PrintPager(IPrintDevice& device, std::string programName);

  // False when the document cannot be started; nothing is printed then.
  bool Start();
  // Writes text that may hold "\r\n" line ends.
  void Print(std::string_view text);
  // Ends the last page and the document.
  void End();

  int PageNumber() const { return page_; }

 private:
  void EnsurePage();
  void Write(std::string_view piece);
  void NewLine();

  IPrintDevice& device_;
  std::string programName_;
  IPrintDevice::Metrics metrics_;
  int lineHeight_ = 0;
  int advance_ = 0;
  int topMargin_ = 0;
  int leftMargin_ = 0;
  int x_ = 0;
  int y_ = 0;
  int page_ = 0;
  bool pageOpen_ = false;
  bool started_ = false;
};
