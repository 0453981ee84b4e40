#include "app/CommandLine.h"

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

}  // namespace

const char* UsageText()
{
    return "usage: korvel [--headless] [--frames N] [--seconds S]\n";
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
        } else {
            error = "unknown argument: " + std::string(arg);
            return false;
        }
    }
    return true;
}
