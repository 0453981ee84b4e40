#include "pipeline/PhotoSnapshot.h"

#include "settings/Settings.h"
#include "fileio/AtomicFile.h"

#include <turbojpeg.h>

#include <memory>
#include <string_view>

std::atomic<bool> PhotoRequested{false};
std::string LastPhotoPath;

namespace {

// The quality JPEG encoders use when they are given none.
constexpr int kDefaultQuality = 75;

std::function<std::time_t()>& PhotoClock()
{
    static std::function<std::time_t()> clock;
    return clock;
}

std::time_t Now()
{
    return PhotoClock() ? PhotoClock()() : std::time(nullptr);
}

}  // namespace

void SetPhotoClock(std::function<std::time_t()> clock)
{
    PhotoClock() = std::move(clock);
}

std::string PhotoFileName(std::time_t when)
{
    char name[128] = "";
    std::tm local {};
    if (localtime_r(&when, &local))
        std::strftime(name, sizeof name, "%Y%m%d%H%M%S", &local);
    return std::string(name) + ".jpg";
}

bool SavePhoto(const uint8_t* bits, int width, int height)
{
    LastPhotoPath = Settings.SavePath.MyPhotoPath + "/" + PhotoFileName(Now());
    if (!bits || width <= 0 || height <= 0)
        return false;
    std::unique_ptr<void, int (*)(tjhandle)> encoder(tjInitCompress(), tjDestroy);
    if (!encoder)
        return false;
    unsigned char* jpeg = nullptr;
    unsigned long jpegBytes = 0;
    const int stride = ((width * 24 + 31) >> 3) & ~3;
    const int result = tjCompress2(encoder.get(), bits, width, stride, height, TJPF_BGR, &jpeg, &jpegBytes,
                                   TJSAMP_420, kDefaultQuality, TJFLAG_BOTTOMUP);
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(jpeg, tjFree);
    if (result != 0)
        return false;
    return WriteFileAtomically(LastPhotoPath, std::string_view(reinterpret_cast<const char*>(jpeg), jpegBytes));
}
