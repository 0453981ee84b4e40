#pragma once
// Parsing that accepts only well-formed documents. pugixml on its own takes a good deal that is not
// XML and hands back values from it: text or a second element after the root, an attribute given
// twice, an unknown entity or a bare "&" left as it stands, a raw "<" inside an attribute value.
// Here each of those, and a NUL byte or a misplaced XML declaration, fails the whole document.
#include <pugixml.hpp>

#include <string>
#include <string_view>

// Fills `doc` from `text` (any encoding pugixml detects) with every reference decoded. False, with
// `doc` empty and the reason in `error`, when the text is not a well-formed document.
bool ParseWellFormedXml(pugi::xml_document& doc, std::string_view text, std::string* error = nullptr);

// The same for a file; a missing or unreadable file fails too.
bool LoadWellFormedXmlFile(pugi::xml_document& doc, const std::string& path, std::string* error = nullptr);
