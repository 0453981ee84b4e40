#pragma once
// The program's command line, parsed in one place for every front end.
#include <optional>
#include <string>

struct StudioOptions {
    bool headless = false;
    std::optional<long> frames;     // stop after this many frames reached the virtual camera
    std::optional<double> seconds;  // stop after this much time
};

// Fills `options` from argv; on a bad argument returns false and puts the reason in `error`.
bool ParseCommandLine(int argc, const char* const* argv, StudioOptions& options, std::string& error);

// The usage text printed with a bad argument.
const char* UsageText();
