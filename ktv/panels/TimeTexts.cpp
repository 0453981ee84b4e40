#include "ktv/panels/TimeTexts.h"

#include <cmath>
#include <cstdio>

namespace {

// Whole seconds; nothing sensible (not yet known, negative, not a number) shows as 0.
long WholeSeconds(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 && seconds < 1e9 ? long(seconds) : 0;
}

}  // namespace

QString SongTimeText(double position, double duration)
{
    const long at = WholeSeconds(position), all = WholeSeconds(duration);
    char text[64];
    std::snprintf(text, sizeof text, "%02ld:%02ld / %02ld:%02ld", at / 60, at % 60, all / 60, all % 60);
    return QString::fromLatin1(text);
}

QString MediaTimeText(long length, long position)
{
    const long all = WholeSeconds(double(length)), at = WholeSeconds(double(position));
    char text[64];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld / %02ld:%02ld:%02ld", all / 3600, all / 60 % 60, all % 60,
                  at / 3600, at / 60 % 60, at % 60);
    return QString::fromLatin1(text);
}
