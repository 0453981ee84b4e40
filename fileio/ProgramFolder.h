#pragma once
#include <string>

// The folder the program's files live in: KORVEL_HOME when set, else the folder of the executable.
std::string ProgramFolder();

// ProgramFolder() + "/" + name.
std::string ProgramFile(const std::string& name);

bool FolderExists(const std::string& path);
// Creates the folder (and missing parents); true when it exists afterwards.
bool MakeFolder(const std::string& path);
