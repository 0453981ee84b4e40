#include <gtest/gtest.h>

#include "codeclister/LinkErrors.h"
#include "codeclister/ReportText.h"

namespace {

const SystemRows kRows = {"Microsoft (R) Windows 7 Professional (6.01.7601)", "Intel(R) Core(TM)", "2400 Mhz.",
                          "4096 Mb.", "9.0c", "", "4.00.1381"};

std::optional<VersionData> FakeVersions(const std::string& driver) {
  if (driver == "C:\\windows\\system32\\iccvid.dll") {
    return VersionData{"Wine", "Cinepak", "1.0", "iccvid", "(c) Wine", "iccvid.dll", "Wine", "8.0"};
  }
  if (driver == "C:\\windows\\system32\\l3codeca.acm") {
    return VersionData{"Wine", "MP3", "2.0", "l3", "", "l3codeca.acm", "Wine", "8.0"};
  }
  return std::nullopt;
}

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(ReportText, WholeReportByteForByte) {
  const std::vector<CodecEntry> codecs = {
      {"Audio", "Filter Mapper", "MPEG Layer-3 Decoder", "C:\\windows\\system32\\l3codeca.acm", "{1}", "", 0},
      {"Video", "Video Compressor", "Cinepak Codec by Radius", "C:\\windows\\system32\\iccvid.dll", "{2}", "cvid", 0},
      {"Video", "Video Compressor", "Gone Codec", "C:\\gone.dll", "{3}", "gone", 1},
      {"Audio", "Audio Compressor", "No Version", "C:\\windows\\system32\\noversion.dll", "{4}", "", 0},
      {"Audio", "DirectX Media Objects", "Broken Audio", "", "{5}", "", 1},
  };
  const std::string report = BuildReport(FormatTimestamp(Time(2026, 12, 1, 9, 5, 7)), kRows, codecs, FakeVersions);
  const std::string expected =
      "Codec Reporting Utility Output Text\r\n"
      "-----------------------------------\r\n"
      "Date and Time: 01-Dec-2026 09:05:07  \r\n"
      "\r\n"
      "System Information\r\n"
      "------------------\r\n"
      "Operating System  = Microsoft (R) Windows 7 Professional (6.01.7601)\r\n"
      "CPU Descriptor    = Intel(R) Core(TM)\r\n"
      "CPU Clock Speed   = 2400 Mhz.\r\n"
      "Total Memory      = 4096 Mb.\r\n"
      "DirectX Version   = 9.0c\r\n"
      "WMI Version       = \r\n"
      "ACM Version       = 4.00.1381\r\n"
      "\r\n"
      "Video Codecs\r\n"
      "------------\r\n"
      "  Cinepak Codec by Radius\r\n"
      "     FileVersion       = 1.0\r\n"
      "     CompanyName       = Wine\r\n"
      "     FileDescription   = Cinepak\r\n"
      "     InternalName      = iccvid\r\n"
      "     LegalCopyright    = (c) Wine\r\n"
      "     OriginalFileName  = iccvid.dll\r\n"
      "     ProductName       = Wine\r\n"
      "     ProductVersion    = 8.0\r\n"
      "\r\n"
      "\r\n"
      "Audio Codecs\r\n"
      "------------\r\n"
      "  MPEG Layer-3 Decoder\r\n"
      "     FileVersion       = 2.0\r\n"
      "     CompanyName       = Wine\r\n"
      "     FileDescription   = MP3\r\n"
      "     InternalName      = l3\r\n"
      "     LegalCopyright    = \r\n"
      "     OriginalFileName  = l3codeca.acm\r\n"
      "     ProductName       = Wine\r\n"
      "     ProductVersion    = 8.0\r\n"
      "\r\n"
      "\r\n"
      "Broken Codecs\r\n"
      "-------------\r\n"
      "  Gone Codec\r\n"
      "     FileName       = C:\\gone.dll\r\n"
      "  Broken Audio\r\n"
      "     FileName       = ";
  EXPECT_EQ(report, expected);
}

TEST(ReportText, NoBrokenCodecEndsWithTheNote) {
  const std::string report = BuildReport("x", kRows, {}, FakeVersions);
  const std::string tail = "Broken Codecs\r\n-------------\r\n\r\n [No codecs were found broken.]";
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
  EXPECT_NE(report.find("Video Codecs\r\n------------\r\n\r\n\r\nAudio Codecs\r\n------------\r\n\r\n\r\nBroken"),
            std::string::npos);
}

TEST(ReportText, Timestamps) {
  EXPECT_EQ(FormatTimestamp(Time(2009, 2, 28, 23, 59, 0)), "28-Feb-2009 23:59:00");
  EXPECT_EQ(FormatTimestamp(Time(2026, 10, 9, 0, 0, 9)), "09-Oct-2026 00:00:09");
}

TEST(BrokenWarning, ListsAudioThenEverythingElseNumberedFromOne) {
  const std::vector<CodecEntry> codecs = {
      {"Video", "Video Compressor", "V1", "C:\\v1.dll", "", "", 1},
      {"Audio", "Audio Compressor", "A1", "C:\\a1.acm", "", "", 1},
      {"Audio", "Filter Mapper", "OK", "C:\\ok.dll", "", "", 0},
      {"audio", "Filter Mapper", "Odd", "", "", "", 1},  // not "Audio": counts as video
      {"Audio", "Audio Compressor", "A2", "", "", "", 1},
  };
  EXPECT_EQ(BuildBrokenWarning(codecs),
            "Warning: The following codecs were found broken: \r\n\r\n"
            "Audio Codecs:\r\n\r\n"
            "1. A1 (C:\\a1.acm)\r\n\r\n"
            "2. A2 ()\r\n\r\n"
            "Video Codecs:\r\n\r\n"
            "1. V1 (C:\\v1.dll)\r\n\r\n"
            "2. Odd ()\r\n\r\n"
            "Click on the respective codecs to see more info.");
  EXPECT_EQ(BuildBrokenWarning({codecs[2]}), "");
  EXPECT_EQ(BuildBrokenWarning({codecs[0]}),
            "Warning: The following codecs were found broken: \r\n\r\nVideo Codecs:\r\n\r\n"
            "1. V1 (C:\\v1.dll)\r\n\r\nClick on the respective codecs to see more info.");
}

TEST(LinkErrors, KnownAndUnknownResults) {
  EXPECT_EQ(HyperlinkErrorText(31),
            "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
  EXPECT_EQ(HyperlinkErrorText(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
  EXPECT_EQ(HyperlinkErrorText(4), "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
  EXPECT_EQ(HyperlinkErrorText(-1), "Unable to open hyperlink:\n\nUnknown Error (-1) occurred.");
}

}  // namespace
