#include <gtest/gtest.h>

#include <map>

#include "codeclister/DirectXFiles.h"
#include "codeclister/SystemText.h"

namespace {

TEST(OperatingSystemText, NamesEveryWindowsInTheSameForm) {
  struct Case {
    OsVersion version;
    const char* productType;
    const char* text;
  };
  const Case cases[] = {
      {{kPlatformWin32Nt, 4, 0, 1381, "Service Pack 6"}, "WinNT", "Microsoft (R) Windows NT Professional (4.00.1381)"},
      {{kPlatformWin32Nt, 5, 0, 2195, ""}, "LanmanNT", "Microsoft (R) Windows 2000 Server (5.00.2195)"},
      {{kPlatformWin32Nt, 5, 1, 2600, "Service Pack 3"}, "WINNT", "Microsoft (R) Windows XP Professional (5.01.2600)"},
      {{kPlatformWin32Nt, 5, 2, 3790, ""}, "ServerNT", "Microsoft (R) Windows XP Advanced Server (5.02.3790)"},
      {{kPlatformWin32Nt, 6, 0, 6002, ""}, "WinNT", "Microsoft (R) Windows Vista Professional (6.00.6002)"},
      {{kPlatformWin32Nt, 6, 1, 7601, "Service Pack 1"}, "WinNT", "Microsoft (R) Windows 7 Professional (6.01.7601)"},
      {{kPlatformWin32Nt, 6, 2, 9200, ""}, "WinNT", "Microsoft (R) Windows 8 Professional (6.02.9200)"},
      {{kPlatformWin32Nt, 6, 3, 9600, ""}, "WinNT", "Microsoft (R) Windows 8.1 Professional (6.03.9600)"},
      {{kPlatformWin32Nt, 10, 0, 19045, ""}, "WinNT", "Microsoft (R) Windows 10 Professional (10.00.19045)"},
      {{kPlatformWin32Nt, 10, 0, 21999, ""}, "WinNT", "Microsoft (R) Windows 10 Professional (10.00.21999)"},
      {{kPlatformWin32Nt, 10, 0, 22000, ""}, "WinNT", "Microsoft (R) Windows 11 Professional (10.00.22000)"},
      {{kPlatformWin32Nt, 10, 0, 26100, ""}, "ServerNT", "Microsoft (R) Windows 11 Advanced Server (10.00.26100)"},
      // No known product type: no suffix, and the numbers follow the name directly.
      {{kPlatformWin32Nt, 6, 1, 7601, ""}, "", "Microsoft (R) Windows 7(6.01.7601)"},
      {{kPlatformWin32Nt, 6, 4, 9841, ""}, "WinNT", "Unknown Professional (6.04.9841)"},
      {{kPlatformWin32Nt, 11, 0, 30000, ""}, "WinNT", "Unknown Professional (11.00.30000)"},
      {{kPlatformWin32Windows, 4, 0, 0x04000000 | 950, " C"}, "WinNT", "Microsoft (R) Windows 95 OSR2 (4.00.0950)"},
      {{kPlatformWin32Windows, 4, 0, 950, " B"}, "", "Microsoft (R) Windows 95 OSR2 (4.00.0950)"},
      {{kPlatformWin32Windows, 4, 0, 950, ""}, "", "Microsoft (R) Windows 95(4.00.0950)"},
      {{kPlatformWin32Windows, 4, 10, 0x040A0000 | 2222, " A "}, "", "Microsoft (R) Windows 98 SE (4.10.2222)"},
      {{kPlatformWin32Windows, 4, 90, 3000, " "}, "", "Microsoft (R) Windows Me(4.90.3000)"},
      {{0, 3, 10, 0, ""}, "", "Unknown(3.10.0000)"},
  };
  for (const Case& c : cases) EXPECT_EQ(OperatingSystemText(c.version, c.productType), c.text) << c.text;
}

TEST(SystemText, VersionNumbers) {
  EXPECT_EQ(AcmVersionText(0x04000565), "4.00.1381");
  EXPECT_EQ(AcmVersionText(0x030A0000), "3.10.0");
  EXPECT_EQ(DirectXVersionText(9, 0, 'c'), "9.0c");
  EXPECT_EQ(DirectXVersionText(9, 0, 'C'), "9.0c");
  EXPECT_EQ(DirectXVersionText(8, 1, ' '), "8.1");
  EXPECT_EQ(DirectXVersionText(12, 0, '\0'), "12.0");
  EXPECT_EQ(FixedVersionText(0x00060001, 0x1DB10000), "6.01.7601.0000");
  EXPECT_EQ(FixedVersionText(0x00050001, 0x0A280B40), "5.01.2600.2880");
  EXPECT_EQ(Trim("  \t Intel(R) Xeon(R) CPU  \r\n"), "Intel(R) Xeon(R) CPU");
}

TEST(DirectXFiles, TheLastRungReachedWins) {
  struct Case {
    std::map<std::string, uint64_t> files;
    std::optional<DirectXVersion> expected;
  };
  const Case cases[] = {
      {{}, std::nullopt},
      {{{"ddraw.dll", MakeFileVersion(4, 2, 0, 94)}}, std::nullopt},
      {{{"ddraw.dll", MakeFileVersion(4, 2, 0, 95)}}, DirectXVersion{1, 0, ' '}},
      {{{"ddraw.dll", MakeFileVersion(4, 4, 0, 68)}, {"d3drg8x.dll", MakeFileVersion(4, 4, 0, 70)}},
       DirectXVersion{3, 0, 'a'}},
      {{{"ddraw.dll", MakeFileVersion(4, 7, 0, 700)}, {"dplayx.dll", MakeFileVersion(4, 6, 3, 518)}},
       DirectXVersion{7, 0, ' '}},
      // Windows XP: the 5.x line of ddraw and d3d8.
      {{{"ddraw.dll", MakeFileVersion(5, 1, 2600, 0)}, {"d3d8.dll", MakeFileVersion(5, 1, 2600, 901)}},
       DirectXVersion{8, 1, 'a'}},
      // A 5.x ddraw below the 5.x rule but above the 4.x one is not DirectX 8.
      {{{"ddraw.dll", MakeFileVersion(5, 0, 2000, 0)}}, DirectXVersion{7, 0, ' '}},
      {{{"ddraw.dll", MakeFileVersion(6, 1, 7600, 0)}, {"d3d9.dll", MakeFileVersion(6, 1, 7601, 0)}},
       DirectXVersion{9, 0, ' '}},
      {{{"d3d9.dll", 0}}, DirectXVersion{9, 0, ' '}},
  };
  for (const Case& c : cases) {
    const auto found = DirectXVersionFromFiles([&](const std::string& name) -> std::optional<uint64_t> {
      const auto it = c.files.find(name);
      if (it == c.files.end()) return std::nullopt;
      return it->second;
    });
    ASSERT_EQ(found.has_value(), c.expected.has_value());
    if (!found) continue;
    EXPECT_EQ(found->major, c.expected->major);
    EXPECT_EQ(found->minor, c.expected->minor);
    EXPECT_EQ(found->letter, c.expected->letter);
  }
}

}  // namespace
