// User_Config.xml as LoadUserConfig finds it. Whatever the file holds, the record it loads is saved and
// loads back to the same record; a file that is not a well-formed document leaves every default.
#include "FuzzSupport.h"

#include "settings/Settings.h"
#include "settings/UserConfig.h"
#include "xml/WellFormedXml.h"

namespace {

std::string defaults;

// The persisted part of the record, as SaveUserConfig writes it.
std::string SavedRecord()
{
    SaveUserConfig();
    return ReadFuzzFile(UserConfigPath());
}

std::string LoadAndSave()
{
    Settings = SettingsRecord();
    LoadUserConfig();
    return SavedRecord();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzHome();
    Settings = SettingsRecord();
    defaults = SavedRecord();
    FUZZ_CHECK(LoadAndSave() == defaults, "the defaults load back to another record");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    pugi::xml_document parsed;
    const bool wellFormed = ParseWellFormedXml(parsed, text);

    WriteFuzzFile(UserConfigPath(), text);
    const std::string saved = LoadAndSave();
    FUZZ_CHECK(wellFormed || saved == defaults, "a file that is not well-formed changed the settings");
    FUZZ_CHECK(saved == defaults || LoadAndSave() == saved, "the saved settings load back to another record");
    return 0;
}
