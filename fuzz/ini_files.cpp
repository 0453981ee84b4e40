// Active.ini and Camera.ini as the program reads them at start and writes them at exit. Whatever the
// files hold, what was read is written and reads back unchanged, and so does a link set in between
// (its line breaks, which a value line cannot hold, as spaces).
#include "FuzzSupport.h"

#include "settings/LinkIni.h"
#include "fileio/ProgramFolder.h"
#include "fileio/TextEncoding.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

namespace {

struct IniValues {
    ActiveLinks links;
    std::string excluded;
    std::string defaultDevice;

    bool operator==(const IniValues&) const = default;
};

IniValues ReadBoth()
{
    ReadActiveIni();
    ReadCameraIni();
    return {ActiveIni, ExcludeDevices, DefaultDevice};
}

void WriteBoth()
{
    WriteActiveIni();
    WriteCameraIni();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    // A link as the program may hold one: text of at most 259 UTF-16 units.
    const std::string link = CutToUtf16Units(DecodeSystemText(input.ConsumeRandomLengthString(1200)), 259);
    const std::string file = input.ConsumeRemainingBytesAsString();
    WriteFuzzFile(ProgramFile("Active.ini"), file);
    WriteFuzzFile(ProgramFile("Camera.ini"), file);

    // At exit the program writes back what it read at start, with whatever link changed meanwhile.
    IniValues expected = ReadBoth();
    ActiveIni.HelpURL = link;
    WriteBoth();
    expected.links.HelpURL = link;
    std::replace_if(expected.links.HelpURL.begin(), expected.links.HelpURL.end(),
                    [](char c) { return c == '\r' || c == '\n'; }, ' ');
    FUZZ_CHECK(ReadBoth() == expected, "values written back read differently");
    return 0;
}
