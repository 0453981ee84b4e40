#include "xml/XmlDocument.h"

#include "fileio/AtomicFile.h"
#include "xml/WellFormedXml.h"

#include <cstring>

namespace {

bool NameMatches(const pugi::xml_node& node, const char* name)
{
    return name == nullptr || std::strcmp(node.name(), name) == 0;
}

pugi::xml_node NextElement(pugi::xml_node from, const char* name)
{
    for (; from; from = from.next_sibling())
        if (from.type() == pugi::node_element && NameMatches(from, name))
            return from;
    return {};
}

void AppendEscaped(std::string& out, const char* text, bool inAttribute)
{
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += inAttribute ? "&quot;" : "\""; break;
        case '\'': out += inAttribute ? "&apos;" : "'"; break;
        // Line breaks and tabs would be folded to spaces by a reader; keep them as references.
        case '\r': out += "&#13;"; break;
        case '\n': out += "&#10;"; break;
        case '\t': out += inAttribute ? "&#9;" : "\t"; break;
        default: out += *p; break;
        }
    }
}

void WriteElement(std::string& out, const pugi::xml_node& node)
{
    out += '<';
    out += node.name();
    for (const pugi::xml_attribute& a : node.attributes()) {
        out += ' ';
        out += a.name();
        out += "=\"";
        AppendEscaped(out, a.value(), true);
        out += '"';
    }
    const pugi::xml_node firstElement = NextElement(node.first_child(), nullptr);
    const char* text = node.text().get();
    if (!firstElement && *text == '\0') {
        out += "/>\r\n";
        return;
    }
    out += '>';
    if (firstElement) {
        out += "\r\n";
        for (pugi::xml_node c = firstElement; c; c = NextElement(c.next_sibling(), nullptr))
            WriteElement(out, c);
    } else {
        AppendEscaped(out, text, false);
    }
    out += "</";
    out += node.name();
    out += ">\r\n";
}

}  // namespace

CXmlDocument::CXmlDocument() : parent_(doc_) {}

bool CXmlDocument::Load(const std::string& path)
{
    const bool loaded = LoadWellFormedXmlFile(doc_, path);
    parent_ = doc_;
    main_ = child_ = pugi::xml_node();
    return loaded;
}

bool CXmlDocument::LoadFromString(const std::string& text)
{
    const bool loaded = ParseWellFormedXml(doc_, text);
    parent_ = doc_;
    main_ = child_ = pugi::xml_node();
    return loaded;
}

bool CXmlDocument::FindElem(const char* name)
{
    const pugi::xml_node found = NextElement(main_ ? main_.next_sibling() : parent_.first_child(), name);
    if (!found)
        return false;
    main_ = found;
    child_ = pugi::xml_node();
    return true;
}

bool CXmlDocument::FindChildElem(const char* name)
{
    if (!main_)
        return false;
    const pugi::xml_node found = NextElement(child_ ? child_.next_sibling() : main_.first_child(), name);
    if (!found)
        return false;
    child_ = found;
    return true;
}

bool CXmlDocument::IntoElem()
{
    if (!main_)
        return false;
    parent_ = main_;
    main_ = child_;
    child_ = pugi::xml_node();
    return true;
}

bool CXmlDocument::OutOfElem()
{
    if (parent_ == doc_)
        return false;
    child_ = main_;
    main_ = parent_;
    parent_ = parent_.parent();
    return true;
}

void CXmlDocument::ResetMainPos()
{
    main_ = child_ = pugi::xml_node();
}

void CXmlDocument::ResetChildPos()
{
    child_ = pugi::xml_node();
}

std::string CXmlDocument::GetAttrib(const char* name) const
{
    return main_.attribute(name).value();
}

std::string CXmlDocument::GetChildAttrib(const char* name) const
{
    return child_.attribute(name).value();
}

bool CXmlDocument::AddElem(const char* name)
{
    if (parent_ == doc_ && NextElement(doc_.first_child(), nullptr))
        return false;  // a document has one root element
    main_ = parent_.append_child(name);
    child_ = pugi::xml_node();
    return bool(main_);
}

bool CXmlDocument::AddChildElem(const char* name)
{
    if (!main_)
        return false;
    child_ = main_.append_child(name);
    return bool(child_);
}

bool CXmlDocument::SetAttrib(const char* name, const std::string& value)
{
    if (!main_)
        return false;
    pugi::xml_attribute a = main_.attribute(name);
    if (!a)
        a = main_.append_attribute(name);
    return a.set_value(value.c_str());
}

bool CXmlDocument::SetChildAttrib(const char* name, const std::string& value)
{
    if (!child_)
        return false;
    pugi::xml_attribute a = child_.attribute(name);
    if (!a)
        a = child_.append_attribute(name);
    return a.set_value(value.c_str());
}

std::string CXmlDocument::ToText() const
{
    std::string out;
    for (pugi::xml_node n = NextElement(doc_.first_child(), nullptr); n; n = NextElement(n.next_sibling(), nullptr))
        WriteElement(out, n);
    return out;
}

bool CXmlDocument::Save(const std::string& path) const
{
    return WriteFileAtomically(path, ToText());
}
