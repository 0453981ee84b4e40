#pragma once
// What the camera settings panel offers and remembers: the capture devices, the connected device's
// formats and sizes, and the device the last apply connected.
#include "zendracam/CameraTypes.h"

#include <string>
#include <vector>

class CCaptureScr;

class CCameraChoices {
public:
    // The remembered name while no device is chosen.
    static constexpr const char* kNoCamera = "flag--nocam";
    static constexpr const char* kPreferredSize = "320 x 240";

    explicit CCameraChoices(std::vector<std::string> excluded) : excluded_(std::move(excluded)) {}

    // The offered devices of the list; DefaultDevice is selected when it is among them, else the first,
    // which becomes DefaultDevice. The selection is remembered as the one in use.
    void FillDevices(const _DEVIECENAME_LIST* devices);
    // Each format name and each size once, in list order.
    void FillFormats(const _DEVIECEFORMAT_LIST* formats);
    // Empties the lists and forgets the remembered device.
    void Forget();

    const std::vector<std::string>& Devices() const { return devices_; }
    const std::vector<std::string>& Formats() const { return formats_; }
    const std::vector<std::string>& Sizes() const { return sizes_; }
    // "320 x 240" when offered, else the first size; -1 without sizes.
    int PreferredSize() const;

    int Selected() const { return selected_; }
    void Select(int index);
    int RememberedIndex() const { return rememberedIndex_; }
    const std::string& RememberedName() const { return rememberedName_; }

    // Connects the selected device unless it is the remembered one and still connected and working
    // (its DefaultDevice is stored and its formats shown), stops the picture when it is the source, and
    // makes the camera the source again.
    void Apply(CCaptureScr& sink);

private:
    std::vector<std::string> excluded_;
    std::vector<std::string> devices_, formats_, sizes_;
    int selected_ = -1;
    int rememberedIndex_ = -1;
    std::string rememberedName_ = kNoCamera;
};
