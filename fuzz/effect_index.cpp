// Img_Config.xml as the selected-effects panel reads it. A file that is not a well-formed document
// gives six empty tables; otherwise each table holds the names that its category element gives.
#include "FuzzSupport.h"

#include "effects/EffectLibrary.h"
#include "fileio/ProgramFolder.h"
#include "xml/WellFormedXml.h"

#include <set>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    pugi::xml_document doc;
    const bool wellFormed = ParseWellFormedXml(doc, text);
    WriteFuzzFile(ProgramFile("Img_Config.xml"), text);
    const EffectIndex index = LoadEffectIndex();
    for (size_t i = 0; i < index.Tables.size(); ++i) {
        FUZZ_CHECK(wellFormed || index.Tables[i].empty(), "a file that is not well-formed filled a table");
        // Every name the first element of the category gives, and nothing else.
        std::set<std::string> given, held;
        for (const pugi::xml_node& item : doc.document_element().child(EffectIndex::kCategories[i]).children())
            if (item.type() == pugi::node_element)
                given.insert(item.attribute("ImgName").value());
        for (const auto& entry : index.Tables[i])
            held.insert(entry.first);
        FUZZ_CHECK(held == given, "a table does not hold the names of its category element");
    }
    return 0;
}
