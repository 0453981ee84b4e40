#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

// "LEFT,TOP,RIGHT,BOTTOM" with a region of at least one pixel.
bool ParseRect(std::string_view text, std::array<int, 4>& rect)
{
    for (size_t i = 0; i < rect.size(); ++i) {
        const size_t comma = i + 1 < rect.size() ? text.find(',') : text.size();
        if (comma == std::string_view::npos || !ParseNumber(text.substr(0, comma), rect[i]))
            return false;
        text.remove_prefix(std::min(text.size(), comma + 1));
    }
    return rect[2] > rect[0] && rect[3] > rect[1];
}

bool ParseSource(std::string_view text, StudioOptions& options)
{
    const auto withPath = [&](std::string_view prefix, StudioSource source) {
        if (text.substr(0, prefix.size()) != prefix || text.size() == prefix.size())
            return false;
        options.source = source;
        options.sourcePath = std::string(text.substr(prefix.size()));
        return true;
    };
    if (text == "camera") {
        options.source = StudioSource::Camera;
        return true;
    }
    if (withPath("picture:", StudioSource::Picture) || withPath("media:", StudioSource::Media))
        return true;
    constexpr std::string_view screen = "screen:";
    if (text.substr(0, screen.size()) == screen && ParseRect(text.substr(screen.size()), options.screenRect)) {
        options.source = StudioSource::Screen;
        return true;
    }
    return false;
}

}  // namespace

const char* UsageText()
{
    return "usage: korvel [--headless [--source camera|picture:PATH|media:PATH|screen:LEFT,TOP,RIGHT,BOTTOM]\n"
           "              [--frames N] [--seconds S] [--dump DIR] [--photo]]\n";
}

const char* SourceName(StudioSource source)
{
    switch (source) {
    case StudioSource::Camera: return "camera";
    case StudioSource::Picture: return "picture";
    case StudioSource::Media: return "media";
    case StudioSource::Screen: return "screen";
    }
    return "";
}

bool ParseCommandLine(int argc, const char* const* argv, StudioOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&](std::string_view& out) {
            if (i + 1 >= argc) {
                error = std::string(arg) + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string_view text;
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--frames") {
            long n = 0;
            if (!value(text) || !ParseNumber(text, n) || n < 0) {
                if (error.empty())
                    error = "--frames needs a whole number of frames, 0 or more";
                return false;
            }
            options.frames = n;
        } else if (arg == "--seconds") {
            double s = 0;
            if (!value(text) || !ParseNumber(text, s) || !(s >= 0)) {
                if (error.empty())
                    error = "--seconds needs a number of seconds, 0 or more";
                return false;
            }
            options.seconds = s;
        } else if (arg == "--source") {
            if (!value(text) || !ParseSource(text, options)) {
                if (error.empty())
                    error = "--source needs camera, picture:PATH, media:PATH or screen:LEFT,TOP,RIGHT,BOTTOM "
                            "with a region of at least one pixel";
                return false;
            }
        } else if (arg == "--dump") {
            if (!value(text) || text.empty()) {
                if (error.empty())
                    error = "--dump needs a folder";
                return false;
            }
            options.dumpFolder = std::string(text);
        } else if (arg == "--photo") {
            options.photo = true;
        } else {
            error = "unknown argument: " + std::string(arg);
            return false;
        }
    }
    return true;
}
