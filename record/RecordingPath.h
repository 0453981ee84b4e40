#pragma once
#include <string>

// The file a recording named `name` goes to: folder/name.wmv. A name that would reach outside the
// folder (a path separator, "." or "..") or holds a control character gives an empty path.
std::string RecordFilePath(const std::string& folder, const std::string& name);

// What a name entered for a recording leads to.
enum class RecordNameCheck {
    Empty,    // nothing entered
    Refused,  // the name would leave the record folder
    Exists,   // a file of that name is there already
    Fresh,    // a new file
};
// Checks `name` for a recording in `folder`; `path` receives the file's path unless refused or empty.
RecordNameCheck CheckRecordName(const std::string& folder, const std::string& name, std::string& path);
