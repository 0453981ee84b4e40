#pragma once
// The program's command line, parsed in one place for every front end.
#include <array>
#include <optional>
#include <string>

enum class StudioSource { Camera, Picture, Media, Screen };

struct StudioOptions {
    bool headless = false;
    std::optional<long> frames;     // stop after this many frames reached the virtual camera
    std::optional<double> seconds;  // stop after this much time
    StudioSource source = StudioSource::Camera;
    std::string sourcePath;                 // the picture or media file
    std::array<int, 4> screenRect{};        // left, top, right, bottom of the screen region
    std::string dumpFolder;                 // every frame written also goes here as a BMP file
    bool photo = false;                     // take one photo of the next frame
};

// Fills `options` from argv; on a bad argument returns false and puts the reason in `error`.
bool ParseCommandLine(int argc, const char* const* argv, StudioOptions& options, std::string& error);

// The usage text printed with a bad argument.
const char* UsageText();

// The name of a source as the command line writes it.
const char* SourceName(StudioSource source);
