#include "record/AlsaQuiet.h"

#include <alsa/asoundlib.h>

#include <mutex>

namespace {

extern "C" void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietAlsaLibErrors()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}
