#include "app/CommandLine.h"
#include "app/HeadlessStudio.h"

#include <cstdio>

int main(int argc, char** argv)
{
    StudioOptions options;
    std::string error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "korvel: %s\n%s", error.c_str(), UsageText());
        return 2;
    }
    return RunHeadlessStudio(argc, argv, options);
}
