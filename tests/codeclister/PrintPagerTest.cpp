#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "codeclister/PrintPager.h"

namespace {

// Records what the pager asks of the printer, one line per call.
class FakePrinter : public IPrintDevice {
 public:
  Metrics metrics;
  bool canStart = true;
  std::vector<std::string> calls;

  Metrics SelectFixedFont() override { return metrics; }
  bool StartDocument(const std::string& name) override {
    calls.push_back("doc " + name);
    return canStart;
  }
  void StartPage() override { calls.push_back("page"); }
  void EndPage() override { calls.push_back("endpage"); }
  void EndDocument() override { calls.push_back("enddoc"); }
  void WriteText(int x, int y, std::string_view text, int tabOrigin) override {
    std::ostringstream s;
    s << "text " << x << "," << y << " tab " << tabOrigin << " '" << text << "'";
    calls.push_back(s.str());
  }
  void WriteHeaderText(int x, int baseline, std::string_view text, bool rightAligned) override {
    std::ostringstream s;
    s << "header " << x << "," << baseline << (rightAligned ? " right '" : " left '") << text << "'";
    calls.push_back(s.str());
  }
  void DrawRule(int x1, int x2, int y, int width) override {
    std::ostringstream s;
    s << "rule " << x1 << "-" << x2 << " at " << y << " width " << width;
    calls.push_back(s.str());
  }
};

// A 300 dpi page 2400 x 1000 pixels: margins 150, lines 50 high (40 + 10 leading), characters 30 wide,
// room for lines at y = 150, 200, ... 850.
FakePrinter Printer() {
  FakePrinter p;
  p.metrics = {40, 10, 30, 300, 300, 2400, 1000};
  return p;
}

TEST(PrintPager, LaysOutLinesAndHeaders) {
  FakePrinter printer = Printer();
  PrintPager pager(printer, "Probewell");
  ASSERT_TRUE(pager.Start());
  pager.Print("Codec\r\n--\r\n\r\nab");
  pager.Print("cd\r\n");
  pager.End();
  const std::vector<std::string> expected = {
      "doc Probewell",
      "page",
      "header 150,55 left 'Probewell'",  // 150 - 75 - 20
      "header 2250,55 right '1'",
      "rule 150-2250 at 105 width 3",  // 150 - 25 - 20
      "text 150,150 tab 150 'Codec'",
      "text 150,200 tab 150 '--'",
      "text 150,300 tab 150 'ab'",
      "text 210,300 tab 150 'cd'",  // moved right by two characters
      "endpage",
      "enddoc",
  };
  EXPECT_EQ(printer.calls, expected);
}

TEST(PrintPager, StartsANewPageBelowTheBottomMargin) {
  FakePrinter printer = Printer();
  PrintPager pager(printer, "Probewell");
  ASSERT_TRUE(pager.Start());
  std::string text;
  for (int i = 1; i <= 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  pager.Print(text);
  pager.End();
  EXPECT_EQ(pager.PageNumber(), 2);
  std::vector<std::string> pageOneAndTwo;
  for (const std::string& call : printer.calls) {
    if (call.rfind("text", 0) == 0 || call == "page" || call == "endpage" || call.rfind("header 2250", 0) == 0) {
      pageOneAndTwo.push_back(call);
    }
  }
  // 15 lines fit (y 150 .. 850); the 16th (y 900 > 1000 - 150) opens page 2 at the top margin.
  ASSERT_GE(pageOneAndTwo.size(), 20u);
  EXPECT_EQ(pageOneAndTwo[16], "text 150,850 tab 150 'line 15'");
  EXPECT_EQ(pageOneAndTwo[17], "endpage");
  EXPECT_EQ(pageOneAndTwo[18], "page");
  EXPECT_EQ(pageOneAndTwo[19], "header 2250,55 right '2'");
  EXPECT_EQ(pageOneAndTwo[20], "text 150,150 tab 150 'line 16'");
  EXPECT_EQ(printer.calls.back(), "enddoc");
  EXPECT_EQ(std::count(printer.calls.begin(), printer.calls.end(), "page"),
            std::count(printer.calls.begin(), printer.calls.end(), "endpage"));
}

TEST(PrintPager, OddLineHeightsTruncateTheHeaderBaseline) {
  FakePrinter printer = Printer();
  printer.metrics.charHeight = 15;  // line height 25: 150 - 37.5 - 20 = 92.5
  PrintPager pager(printer, "P");
  ASSERT_TRUE(pager.Start());
  pager.Print("x");
  pager.End();
  EXPECT_EQ(printer.calls[2], "header 150,92 left 'P'");
  EXPECT_EQ(printer.calls[4], "rule 150-2250 at 118 width 3");
}

TEST(PrintPager, NothingIsPrintedWhenTheDocumentCannotStart) {
  FakePrinter printer = Printer();
  printer.canStart = false;
  PrintPager pager(printer, "Probewell");
  EXPECT_FALSE(pager.Start());
  pager.Print("text\r\n");
  pager.End();
  EXPECT_EQ(printer.calls, std::vector<std::string>{"doc Probewell"});
}

}  // namespace
