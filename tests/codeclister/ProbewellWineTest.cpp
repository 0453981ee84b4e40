// Runs the cross-built probewell.exe under Wine with "/report" and checks the report against what
// Wine 8 provides.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <fstream>

#include "WineRunner.h"

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (;;) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at));
      return lines;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
}

// The codec names of the section headed `title` ("Video Codecs" or "Audio Codecs").
std::vector<std::string> SectionNames(const std::vector<std::string>& lines, const std::string& title) {
  std::vector<std::string> names;
  size_t i = 0;
  while (i < lines.size() && lines[i] != title) ++i;
  for (i += 2; i < lines.size() && !lines[i].empty(); ++i) {
    if (lines[i].rfind("  ", 0) == 0 && lines[i].rfind("     ", 0) != 0) names.push_back(lines[i].substr(2));
  }
  return names;
}

bool AnyContains(const std::vector<std::string>& names, const std::string& part) {
  for (const std::string& n : names) {
    if (n.find(part) != std::string::npos) return true;
  }
  return false;
}

// `text` has the `shape`: '#' stands for a digit, '@' for a letter, anything else for itself.
bool Shaped(const std::string& text, const std::string& shape) {
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (shape[i] == '#' ? !std::isdigit(c) : shape[i] == '@' ? !std::isalpha(c) : text[i] != shape[i]) return false;
  }
  return true;
}

// `text` is `prefix`, a number without leading zero, then `suffix`.
bool NumberBetween(const std::string& text, const std::string& prefix, const std::string& suffix) {
  if (text.size() <= prefix.size() + suffix.size() || text.rfind(prefix, 0) != 0 ||
      text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  const std::string number = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  if (number.size() > 1 && number[0] == '0') return false;
  for (char c : number) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class ProbewellUnderWine : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!Exists(PROBEWELL_WINE_LOADER) || !Exists(PROBEWELL_EXE_64)) return;
    mkdir(PROBEWELL_TEST_OUTPUT, 0755);
    reportPath_ = std::string(PROBEWELL_TEST_OUTPUT) + "/report64.txt";
    unlink(reportPath_.c_str());
    exitCode_ = RunProgram({PROBEWELL_WINE_LOADER, PROBEWELL_EXE_64, "/report", reportPath_}, LogPath());
    report_ = ReadFile(reportPath_);
  }

  static void TearDownTestSuite() {
    // Let this prefix's wineserver finish before the test ends.
    if (Exists(PROBEWELL_WINESERVER)) RunProgram({PROBEWELL_WINESERVER, "-w"}, LogPath());
  }

  void SetUp() override {
    if (!Exists(PROBEWELL_WINE_LOADER)) GTEST_SKIP() << "Wine is not installed";
    if (!Exists(PROBEWELL_EXE_64)) GTEST_SKIP() << "the 64-bit cross compiler is missing";
  }

  static std::string LogPath() { return std::string(PROBEWELL_TEST_OUTPUT) + "/wine.log"; }

  static inline std::string reportPath_;
  static inline std::string report_;
  static inline int exitCode_ = -1;
};

TEST_F(ProbewellUnderWine, ReportFollowsTheLayoutLineForLine) {
  ASSERT_EQ(exitCode_, 0);
  ASSERT_FALSE(report_.empty()) << "no report written; see " << LogPath();
  const std::vector<std::string> lines = SplitLines(report_);
  ASSERT_GT(lines.size(), 20u);
  EXPECT_EQ(lines[0], "Codec Reporting Utility Output Text");
  EXPECT_EQ(lines[1], "-----------------------------------");
  EXPECT_TRUE(Shaped(lines[2], "Date and Time: ##-@@@-#### ##:##:##  ")) << lines[2];
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "System Information");
  EXPECT_EQ(lines[5], "------------------");
  const char* const labels[] = {"Operating System  = ", "CPU Descriptor    = ", "CPU Clock Speed   = ",
                                "Total Memory      = ", "DirectX Version   = ", "WMI Version       = ",
                                "ACM Version       = "};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(lines[6 + i].rfind(labels[i], 0), 0u) << lines[6 + i];
  EXPECT_EQ(lines[13], "");
  EXPECT_EQ(lines[14], "Video Codecs");
  EXPECT_EQ(lines[15], "------------");

  // Each codec: its name after two blanks, then the eight version lines in order.
  const char* const versionLabels[] = {"FileVersion       = ", "CompanyName       = ", "FileDescription   = ",
                                       "InternalName      = ", "LegalCopyright    = ", "OriginalFileName  = ",
                                       "ProductName       = ", "ProductVersion    = "};
  size_t i = 16;
  auto codecBlocks = [&](const char* section) {
    int count = 0;
    while (i < lines.size() && !lines[i].empty()) {
      EXPECT_EQ(lines[i].rfind("  ", 0), 0u) << section << ": " << lines[i];
      EXPECT_NE(lines[i][2], ' ') << lines[i];
      ++i;
      for (const char* label : versionLabels) {
        if (i >= lines.size()) {
          ADD_FAILURE() << section << ": the report ends inside a codec";
          return count;
        }
        EXPECT_EQ(lines[i].rfind(std::string("     ") + label, 0), 0u) << lines[i];
        ++i;
      }
      ++count;
    }
    return count;
  };
  EXPECT_GE(codecBlocks("video"), 3);
  ASSERT_LT(i + 3, lines.size());
  EXPECT_EQ(lines[i], "");
  EXPECT_EQ(lines[i + 1], "");
  EXPECT_EQ(lines[i + 2], "Audio Codecs");
  EXPECT_EQ(lines[i + 3], "------------");
  i += 4;
  EXPECT_GE(codecBlocks("audio"), 2);
  ASSERT_EQ(lines.size(), i + 6) << "the report must end with the broken section";
  EXPECT_EQ(lines[i + 2], "Broken Codecs");
  EXPECT_EQ(lines[i + 3], "-------------");
  EXPECT_EQ(lines[i + 4], "");
  EXPECT_EQ(lines[i + 5], " [No codecs were found broken.]");
}

TEST_F(ProbewellUnderWine, SystemRowsShowWhatWineProvides) {
  const std::vector<std::string> lines = SplitLines(report_);
  ASSERT_GT(lines.size(), 13u);
  // Wine 8 presents itself as Windows 7 SP1 with the product type WinNT.
  EXPECT_EQ(lines[6], "Operating System  = Microsoft (R) Windows 7 Professional (6.01.7601)");
  EXPECT_TRUE(NumberBetween(lines[8], "CPU Clock Speed   = ", " Mhz.")) << lines[8];
  EXPECT_TRUE(NumberBetween(lines[9], "Total Memory      = ", " Mb.")) << lines[9];
  EXPECT_NE(lines[9], "Total Memory      = 0 Mb.");
  EXPECT_EQ(lines[10], "DirectX Version   = 9.0c");
  EXPECT_EQ(lines[11], "WMI Version       = ");  // no WBEM\Build value and no Win32_WMISetting object
  EXPECT_EQ(lines[12], "ACM Version       = 4.00.1381");
}

TEST_F(ProbewellUnderWine, WineCodecsAreListedUnderTheirHeadingsInNameOrder) {
  const std::vector<std::string> lines = SplitLines(report_);
  const std::vector<std::string> video = SectionNames(lines, "Video Codecs");
  const std::vector<std::string> audio = SectionNames(lines, "Audio Codecs");
  for (const char* name : {"Cinepak", "MS-RLE", "Video 1", "WMVideo Decoder DMO"}) {
    EXPECT_TRUE(AnyContains(video, name)) << name;
    EXPECT_FALSE(AnyContains(audio, name)) << name;
  }
  for (const char* name : {"MPEG Layer-3 Decoder", "MPEG Audio Decoder", "WMAudio Decoder DMO"}) {
    EXPECT_TRUE(AnyContains(audio, name)) << name;
    EXPECT_FALSE(AnyContains(video, name)) << name;
  }
  for (const auto* section : {&video, &audio}) {
    for (size_t k = 1; k < section->size(); ++k) EXPECT_LE(Lower((*section)[k - 1]), Lower((*section)[k]));
  }
}

TEST_F(ProbewellUnderWine, AReportThatCannotBeWrittenExitsWithOne) {
  const std::string missing = std::string(PROBEWELL_TEST_OUTPUT) + "/no such folder/report.txt";
  EXPECT_EQ(RunProgram({PROBEWELL_WINE_LOADER, PROBEWELL_EXE_64, "/report", missing}, LogPath()), 1);
  EXPECT_FALSE(Exists(missing));
  EXPECT_EQ(RunProgram({PROBEWELL_WINE_LOADER, PROBEWELL_EXE_64, "/report"}, LogPath()), 1);
}

TEST_F(ProbewellUnderWine, ThirtyTwoBitBuildWritesTheSameSections) {
  // Without wine32 a 32-bit program prints nothing and still exits 0, so only a real 32-bit Wine counts.
  if (!Exists(PROBEWELL_WINE32_LOADER)) GTEST_SKIP() << "wine32 is not installed: the i686 build is not run";
  if (!Exists(PROBEWELL_EXE_32)) GTEST_SKIP() << "the 32-bit cross compiler is missing";
  const std::string path = std::string(PROBEWELL_TEST_OUTPUT) + "/report32.txt";
  unlink(path.c_str());
  ASSERT_EQ(RunProgram({PROBEWELL_WINE32_LOADER, PROBEWELL_EXE_32, "/report", path}, LogPath()), 0);
  const std::vector<std::string> lines = SplitLines(ReadFile(path));
  ASSERT_GT(lines.size(), 13u);
  EXPECT_EQ(lines[6], "Operating System  = Microsoft (R) Windows 7 Professional (6.01.7601)");
  EXPECT_TRUE(AnyContains(SectionNames(lines, "Video Codecs"), "Cinepak"));
}

// A prefix whose registry holds what a damaged machine might: values of the wrong type, a codec whose
// driver file is gone (with a 300-character path), and a codec name with characters outside the code page.
class ProbewellOnDamagedRegistry : public testing::Test {
 protected:
  static std::string Prefix() { return std::string(PROBEWELL_TEST_OUTPUT) + "/wineprefix-damaged"; }
  static std::string LogPath() { return std::string(PROBEWELL_TEST_OUTPUT) + "/wine-damaged.log"; }

  static std::string LongDriverPath() { return "C:\\missing\\" + std::string(285, 'a') + ".dll"; }

  // The registry file as regedit writes it: UTF-16LE with a byte-order mark.
  static void WriteRegistryFile(const std::string& path) {
    const std::u16string text =
        u"Windows Registry Editor Version 5.00\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\DirectShow\\MediaObjects\\0D15EA5E-0000-4000-8000-00000000BAD1]\r\n"
        u"@=\"Zz Broken DMO \u2603 \u00e9\"\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\DirectShow\\MediaObjects\\Categories\\4A69B442-28BE-4991-969C-B500ADF5D8A8\\"
        u"0D15EA5E-0000-4000-8000-00000000BAD1]\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\CLSID\\{0D15EA5E-0000-4000-8000-00000000BAD1}\\InprocServer32]\r\n"
        u"@=\"" + Escaped(LongDriverPath()) + u"\"\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\DirectShow\\MediaObjects\\0D15EA5E-0000-4000-8000-00000000BAD2]\r\n"
        u"@=\"Zz Wrong Type DMO\"\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\DirectShow\\MediaObjects\\Categories\\57F2DB8B-E6BB-4513-9D43-DCD2A6593125\\"
        u"0D15EA5E-0000-4000-8000-00000000BAD2]\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\CLSID\\{0D15EA5E-0000-4000-8000-00000000BAD2}\\InprocServer32]\r\n"
        u"@=dword:00000001\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\DirectShow\\MediaObjects\\0D15EA5E-0000-4000-8000-00000000BAD3]\r\n"
        u"@=\"Zz Expanded DMO\"\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\DirectShow\\MediaObjects\\Categories\\4A69B442-28BE-4991-969C-B500ADF5D8A8\\"
        u"0D15EA5E-0000-4000-8000-00000000BAD3]\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\CLSID\\{0D15EA5E-0000-4000-8000-00000000BAD3}\\InprocServer32]\r\n"
        u"@=" + ExpandString(u"%SystemRoot%\\system32\\qcap.dll") + u"\r\n\r\n"
        u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ProductOptions]\r\n"
        u"\"ProductType\"=dword:00000001\r\n\r\n"
        u"[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\WBEM]\r\n"
        u"\"Build\"=hex:31,32,33\r\n\r\n";
    std::ofstream out(path, std::ios::binary);
    out.put(static_cast<char>(0xFF));
    out.put(static_cast<char>(0xFE));
    for (char16_t c : text) {
      out.put(static_cast<char>(c & 0xFF));
      out.put(static_cast<char>(c >> 8));
    }
  }

  // A REG_EXPAND_SZ value in .reg form: hex(2): and its UTF-16LE bytes with the terminating zero.
  static std::u16string ExpandString(const std::u16string& text) {
    std::u16string out = u"hex(2):";
    auto hexByte = [&](unsigned v) {
      const char16_t digits[] = u"0123456789abcdef";
      out += digits[v >> 4];
      out += digits[v & 15];
    };
    for (char16_t c : text + u'\0') {
      hexByte(c & 0xFF);
      out += u',';
      hexByte(c >> 8);
      out += u',';
    }
    out.pop_back();
    return out;
  }

  static std::u16string Escaped(const std::string& path) {
    std::u16string out;
    for (char c : path) {
      if (c == '\\') out += u'\\';
      out += static_cast<char16_t>(c);
    }
    return out;
  }

  static void SetUpTestSuite() {
    if (!Exists(PROBEWELL_WINE_LOADER) || !Exists(PROBEWELL_EXE_64)) return;
    mkdir(PROBEWELL_TEST_OUTPUT, 0755);
    const std::string regFile = std::string(PROBEWELL_TEST_OUTPUT) + "/damaged.reg";
    WriteRegistryFile(regFile);
    importCode_ = RunProgram({PROBEWELL_WINE_LOADER, "reg", "import", "Z:" + regFile}, LogPath(), Prefix());
    const std::string reportPath = std::string(PROBEWELL_TEST_OUTPUT) + "/report-damaged.txt";
    unlink(reportPath.c_str());
    exitCode_ = RunProgram({PROBEWELL_WINE_LOADER, PROBEWELL_EXE_64, "/report", reportPath}, LogPath(), Prefix());
    report_ = ReadFile(reportPath);
  }

  static void TearDownTestSuite() {
    if (Exists(PROBEWELL_WINESERVER)) RunProgram({PROBEWELL_WINESERVER, "-w"}, LogPath(), Prefix());
  }

  void SetUp() override {
    if (!Exists(PROBEWELL_WINE_LOADER)) GTEST_SKIP() << "Wine is not installed";
    if (!Exists(PROBEWELL_EXE_64)) GTEST_SKIP() << "the 64-bit cross compiler is missing";
  }

  static inline std::string report_;
  static inline int importCode_ = -1;
  static inline int exitCode_ = -1;
};

TEST_F(ProbewellOnDamagedRegistry, ReportsBrokenCodecsAndIgnoresValuesOfTheWrongType) {
  ASSERT_EQ(importCode_, 0) << "reg import failed; see " << LogPath();
  ASSERT_EQ(exitCode_, 0);
  const std::vector<std::string> lines = SplitLines(report_);
  ASSERT_GT(lines.size(), 13u) << "no report written; see " << LogPath();
  // ProductType is a DWORD here: no suffix. WBEM\Build is binary: no WMI version.
  EXPECT_EQ(lines[6], "Operating System  = Microsoft (R) Windows 7(6.01.7601)");
  EXPECT_EQ(lines[11], "WMI Version       = ");

  const std::string tail =
      "\r\nBroken Codecs\r\n-------------"
      "\r\n  Zz Broken DMO ? \xE9\r\n     FileName       = " + LongDriverPath() +
      "\r\n  Zz Wrong Type DMO\r\n     FileName       = ";
  ASSERT_GE(report_.size(), tail.size());
  EXPECT_EQ(report_.substr(report_.size() - tail.size()), tail);
  // Broken codecs have no version data, so neither is listed with the working ones.
  const std::vector<std::string> video = SectionNames(lines, "Video Codecs");
  EXPECT_FALSE(AnyContains(video, "Zz Broken"));
  EXPECT_FALSE(AnyContains(SectionNames(lines, "Audio Codecs"), "Zz Wrong"));
  // A REG_EXPAND_SZ server path names the file after expansion: found, with its version data.
  EXPECT_TRUE(AnyContains(video, "Zz Expanded DMO"));
  EXPECT_EQ(report_.find("  Zz Expanded DMO\r\n     FileName"), std::string::npos);
}

}  // namespace
