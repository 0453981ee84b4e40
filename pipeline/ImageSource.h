#pragma once
// The picture source: one image file turned into a 320×240 frame, kept until another load succeeds.
#include "zendracam/CameraTypes.h"

#include <array>
#include <cstdint>
#include <string>

class CImageSource {
public:
    enum ImageType : int32_t { IMAGE_NONE = 0, IMAGE_BMP = 1, IMAGE_JPEG = 2, IMAGE_PNG = 3, IMAGE_GIF = 4 };

    // Larger pictures are refused before they are decoded.
    static constexpr int kMaxSide = 8192;
    // Paths are held in 128 UTF-16 units with their terminator.
    static constexpr size_t kMaxPathUnits = 127;

    CImageSource();

    // Takes the path (cut to 127 UTF-16 units) and its type from the last three letters.
    void SetPath(const std::string& path);
    // Decodes the file and fills the frame. False when it cannot be shown; the frame keeps what it had.
    bool Load();

    const std::string& Path() const { return path_; }
    ImageType Type() const { return type_; }
    bool SamePath() const { return samePath_; }
    // The frame, zeroed until the first successful load.
    const uint8_t* Frame() const { return frame_.data(); }
    // Null until a picture was loaded.
    const uint8_t* FramePointer() const { return framePointer_; }

private:
    ImageType type_ = IMAGE_NONE;
    std::string path_;
    std::array<uint8_t, zendracam::kFrameBytes> frame_{};
    const uint8_t* framePointer_ = nullptr;
    std::string lastPath_;
    bool samePath_ = false;
};
