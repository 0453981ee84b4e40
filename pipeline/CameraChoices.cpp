#include "pipeline/CameraChoices.h"

#include "pipeline/CaptureScr.h"
#include "pipeline/DeviceChoice.h"
#include "settings/LinkIni.h"

#include <algorithm>
#include <cstring>

namespace {

void AddOnce(std::vector<std::string>& list, const char* text, size_t size)
{
    std::string item(text, strnlen(text, size));
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(std::move(item));
}

}  // namespace

void CCameraChoices::FillDevices(const _DEVIECENAME_LIST* devices)
{
    devices_ = OfferedDeviceNames(devices, excluded_);
    const auto preferred = std::find(devices_.begin(), devices_.end(), DefaultDevice);
    if (preferred != devices_.end()) {
        selected_ = int(preferred - devices_.begin());
    } else if (!devices_.empty()) {
        selected_ = 0;
        DefaultDevice = devices_[0];
    } else {
        selected_ = -1;
    }
    rememberedIndex_ = selected_;
    rememberedName_ = selected_ >= 0 ? devices_[size_t(selected_)] : kNoCamera;
}

void CCameraChoices::FillFormats(const _DEVIECEFORMAT_LIST* formats)
{
    formats_.clear();
    sizes_.clear();
    for (const auto* entry = formats; entry; entry = entry->next) {
        AddOnce(formats_, entry->format, sizeof entry->format);
        AddOnce(sizes_, entry->size, sizeof entry->size);
    }
}

void CCameraChoices::Forget()
{
    devices_.clear();
    formats_.clear();
    sizes_.clear();
    selected_ = -1;
    rememberedIndex_ = -1;
    rememberedName_ = kNoCamera;
}

int CCameraChoices::PreferredSize() const
{
    const auto preferred = std::find(sizes_.begin(), sizes_.end(), kPreferredSize);
    if (preferred != sizes_.end())
        return int(preferred - sizes_.begin());
    return sizes_.empty() ? -1 : 0;
}

void CCameraChoices::Select(int index)
{
    if (index >= -1 && index < int(devices_.size()))
        selected_ = index;
}

void CCameraChoices::Apply(CCaptureScr& sink)
{
    sink.StopCameraCapture();
    // A camera that stopped delivering, or one other than the chosen (the start-up takes the first
    // offered device), is connected again even when the choice did not change.
    const bool chosen = selected_ >= 0;
    if (chosen && (selected_ != rememberedIndex_ || sink.ConnectedCamera() != devices_[size_t(selected_)])) {
        rememberedIndex_ = selected_;
        rememberedName_ = devices_[size_t(selected_)];
        DefaultDevice = rememberedName_;
        if (sink.ConnectCamera(rememberedName_)) {
            sink.RefreshDeviceLists();
            FillFormats(sink.ResolutionList());
        }
    }
    if (sink.SourceKind() == SOURCE_PICTURE)
        sink.StopPicture();
    sink.StartCameraCapture();
    sink.SetSourceKind(SOURCE_CAMERA);
}
