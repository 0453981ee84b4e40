#include "xml/WellFormedXml.h"

#include "fileio/AtomicFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// References are left in the values by the parser and decoded here, where an unknown one can be
// refused. Top-level text is kept so that it can be refused too.
constexpr unsigned kParseOptions =
    (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_fragment | pugi::parse_declaration;

bool IsXmlChar(uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// "#65" or "#x41": the character, when it is one a document may hold.
bool AppendCharacterReference(std::string_view digits, std::string& out)
{
    const bool hex = !digits.empty() && digits.front() == 'x';
    if (hex)
        digits.remove_prefix(1);
    if (digits.empty())
        return false;
    uint32_t c = 0;
    for (const char d : digits) {
        uint32_t v;
        if (d >= '0' && d <= '9') v = uint32_t(d - '0');
        else if (hex && d >= 'a' && d <= 'f') v = uint32_t(d - 'a' + 10);
        else if (hex && d >= 'A' && d <= 'F') v = uint32_t(d - 'A' + 10);
        else return false;
        c = c * (hex ? 16 : 10) + v;
        if (c > 0x10FFFF)
            return false;
    }
    if (!IsXmlChar(c))
        return false;
    AppendUtf8(out, c);
    return true;
}

// The name between "&" and ";": one of the five predefined entities or a character reference.
bool AppendReference(std::string_view name, std::string& out)
{
    static const struct {
        std::string_view name;
        char value;
    } kEntities[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
    for (const auto& entity : kEntities) {
        if (name == entity.name) {
            out += entity.value;
            return true;
        }
    }
    return name.size() > 1 && name.front() == '#' && AppendCharacterReference(name.substr(1), out);
}

// The value with its references replaced; false for a raw "<", a bare "&" or an unknown reference.
bool Decode(std::string_view raw, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < raw.size();) {
        const size_t special = raw.find_first_of("&<", i);
        out.append(raw.substr(i, special == std::string_view::npos ? std::string_view::npos : special - i));
        if (special == std::string_view::npos)
            break;
        const size_t semicolon = raw[special] == '&' ? raw.find(';', special + 1) : std::string_view::npos;
        if (semicolon == std::string_view::npos
            || !AppendReference(raw.substr(special + 1, semicolon - special - 1), out))
            return false;
        i = semicolon + 1;
    }
    return true;
}

bool NeedsDecoding(const char* value)
{
    return std::strpbrk(value, "&<") != nullptr;
}

bool HasRepeatedAttribute(const pugi::xml_node& element, std::vector<const char*>& names)
{
    names.clear();
    for (const pugi::xml_attribute& a : element.attributes())
        names.push_back(a.name());
    if (names.size() < 2)
        return false;
    std::sort(names.begin(), names.end(), [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
    return std::adjacent_find(names.begin(), names.end(), [](const char* a, const char* b) {
               return std::strcmp(a, b) == 0;
           }) != names.end();
}

// Document order without recursion: nesting depth is the file's to choose.
pugi::xml_node NextNode(pugi::xml_node node)
{
    if (pugi::xml_node child = node.first_child())
        return child;
    for (; node; node = node.parent()) {
        if (pugi::xml_node sibling = node.next_sibling())
            return sibling;
        if (node.parent().type() == pugi::node_document)
            break;
    }
    return {};
}

const char* CheckTopLevel(const pugi::xml_document& doc)
{
    int elements = 0;
    for (const pugi::xml_node& node : doc.children()) {
        switch (node.type()) {
        case pugi::node_element:
            ++elements;
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            return "text outside the root element";
        case pugi::node_declaration:
            if (node != doc.first_child())
                return "XML declaration after the start";
            break;
        default:
            break;
        }
    }
    if (elements == 0)
        return "no root element";
    return elements > 1 ? "content after the root element" : nullptr;
}

// Decodes every attribute value and text in place.
const char* CheckAndDecode(pugi::xml_document& doc)
{
    std::vector<const char*> names;
    std::string decoded;
    for (pugi::xml_node node = doc.first_child(); node; node = NextNode(node)) {
        if (node.type() == pugi::node_element) {
            if (HasRepeatedAttribute(node, names))
                return "attribute given twice";
            for (pugi::xml_attribute a : node.attributes()) {
                if (!NeedsDecoding(a.value()))
                    continue;
                if (!Decode(a.value(), decoded))
                    return "bad \"&\" or \"<\" in an attribute value";
                a.set_value(decoded.c_str());
            }
        } else if (node.type() == pugi::node_pcdata && NeedsDecoding(node.value())) {
            if (!Decode(node.value(), decoded))
                return "bad \"&\" in text";
            node.set_value(decoded.c_str());
        }
    }
    return nullptr;
}

bool Fail(pugi::xml_document& doc, std::string* error, std::string why)
{
    doc.reset();
    if (error)
        *error = std::move(why);
    return false;
}

}  // namespace

bool ParseWellFormedXml(pugi::xml_document& doc, std::string_view text, std::string* error)
{
    const pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size(), kParseOptions);
    if (!result)
        return Fail(doc, error, std::string(result.description()) + " at offset " + std::to_string(result.offset));
    // The parser stops at a NUL byte of 8-bit text, and whatever follows it would go unseen.
    const bool eightBit = result.encoding == pugi::encoding_utf8 || result.encoding == pugi::encoding_latin1;
    if (eightBit && text.find('\0') != std::string_view::npos)
        return Fail(doc, error, "NUL byte in the text");
    if (const char* why = CheckTopLevel(doc))
        return Fail(doc, error, why);
    if (const char* why = CheckAndDecode(doc))
        return Fail(doc, error, why);
    return true;
}

bool LoadWellFormedXmlFile(pugi::xml_document& doc, const std::string& path, std::string* error)
{
    const auto bytes = ReadWholeFile(path);
    if (!bytes)
        return Fail(doc, error, "cannot read " + path);
    return ParseWellFormedXml(doc, *bytes, error);
}
