#pragma once
// A small XML document with a cursor: a current level (the children of a parent element), a main
// position on that level and a child position inside the main element. Reading finds elements in
// document order; building appends elements and attributes. Files are written one element per line
// with CR LF endings, no indentation, no declaration and no byte-order mark.
#include <pugixml.hpp>

#include <string>

class CXmlDocument {
public:
    CXmlDocument();

    // Parses a file; false when it is missing, unreadable or not well-formed (the document is then empty).
    bool Load(const std::string& path);
    bool LoadFromString(const std::string& text);

    // Next element at the current level after the main position, optionally only one with this name.
    bool FindElem(const char* name = nullptr);
    // Next child element of the main element after the child position, optionally by name.
    bool FindChildElem(const char* name = nullptr);
    // The main element becomes the parent of the current level; the child position becomes the main one.
    bool IntoElem();
    bool OutOfElem();
    // The next FindElem starts again at the first element of the current level.
    void ResetMainPos();
    void ResetChildPos();

    std::string GetAttrib(const char* name) const;       // of the main element; empty when missing
    std::string GetChildAttrib(const char* name) const;  // of the child element; empty when missing

    // Appends an element at the current level after the last one and makes it the main position.
    bool AddElem(const char* name);
    // Appends a child element to the main element and makes it the child position.
    bool AddChildElem(const char* name);
    bool SetAttrib(const char* name, const std::string& value);
    bool SetChildAttrib(const char* name, const std::string& value);

    // The document as written to files.
    std::string ToText() const;
    // Writes the document to a temporary file beside `path` and renames it over `path`.
    bool Save(const std::string& path) const;

private:
    pugi::xml_document doc_;
    pugi::xml_node parent_;
    pugi::xml_node main_;
    pugi::xml_node child_;
};
