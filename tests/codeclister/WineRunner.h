// Running Windows programs under Wine from a test: a prefix of its own, no debug output, an English
// locale (code page 1252), output to a log file.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

bool Exists(const std::string& path);
std::string ReadFile(const std::string& path);

// Starts `command` (program first) without waiting; `display` empty means none. Returns the process id,
// or -1.
pid_t StartProgram(const std::vector<std::string>& command, const std::string& log, const std::string& prefix,
                   const std::string& display = "");
// The exit status of a started program, or -1 when it did not exit normally.
int WaitProgram(pid_t pid);
int RunProgram(const std::vector<std::string>& command, const std::string& log,
               const std::string& prefix = PROBEWELL_WINE_PREFIX);
