// The skin file as the program loads it at start. A file that is not a well-formed document is
// refused; a skin that loads has every window under its own number with a size, and every control
// with a real rectangle.
#include "FuzzSupport.h"

#include "fileio/ProgramFolder.h"
#include "ui/Skin.h"
#include "xml/WellFormedXml.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string path = ProgramFile("the.ui");
    WriteFuzzFile(path, text);
    const std::unique_ptr<CSkin> skin = CSkin::Load(QString::fromStdString(path));
    if (!skin)
        return 0;
    pugi::xml_document doc;
    FUZZ_CHECK(ParseWellFormedXml(doc, text), "a skin that is not well-formed loaded");
    int windows = 0;
    for (const pugi::xml_node& node : doc.child("skin").children("window")) {
        const SkinWindow* window = skin->Window(node.attribute("id").as_int());
        FUZZ_CHECK(window && window->id > 0 && !window->size.isEmpty(), "a window without its number or size");
        for (const SkinControl& control : window->controls) {
            FUZZ_CHECK(control.rect.isValid(), "a control without a real rectangle");
            FUZZ_CHECK(window->Control(control.id), "a control that its window cannot find");
        }
        ++windows;
    }
    FUZZ_CHECK(windows > 0, "a skin without windows loaded");
    return 0;
}
