#pragma once
#include <string>

// The file a recording named `name` goes to: folder/name.wmv. A name that would reach outside the
// folder (a path separator, "." or "..") or holds a control character gives an empty path.
std::string RecordFilePath(const std::string& folder, const std::string& name);
