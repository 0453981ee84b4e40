#include "app/CommandLine.h"
#include "app/HeadlessStudio.h"
#include "app/KorvelApp.h"
#include "zendracam/MovieParseHelper.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

bool NonEmpty(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// A windowing system to show windows on: an X or Wayland display, or a Qt platform chosen by hand.
bool DisplayAvailable()
{
    return NonEmpty("DISPLAY") || NonEmpty("WAYLAND_DISPLAY") || NonEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv)
{
    StudioOptions options;
    std::string error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "korvel: %s\n%s", error.c_str(), UsageText());
        return 2;
    }
    if (!options.headless) {
        if (DisplayAvailable()) {
            PrepareGuiEnvironment();
            QApplication app(argc, argv);
            PrepareMovieLocale();
            return RunKorvelApp(app);
        }
        std::fprintf(stderr, "korvel: no display (DISPLAY and WAYLAND_DISPLAY are not set); "
                             "starting the headless studio\n");
    }
    return RunHeadlessStudio(argc, argv, options);
}
