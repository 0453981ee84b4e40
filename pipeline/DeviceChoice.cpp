#include "pipeline/DeviceChoice.h"

#include "fileio/TextEncoding.h"

#include <algorithm>
#include <cstring>

namespace {

std::string NameText(const _DEVIECENAME_LIST& device)
{
    return DecodeSystemText(std::string_view(device.name, strnlen(device.name, sizeof device.name)));
}

}  // namespace

std::vector<std::string> SplitExcludedNames(const std::string& excludeDevices)
{
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t end; (end = excludeDevices.find(';', start)) != std::string::npos; start = end + 1)
        names.push_back(excludeDevices.substr(start, end - start));
    return names;
}

bool IsOfferedDevice(const std::string& name, const std::vector<std::string>& excluded)
{
    return name != zendracam::kVirtualCameraName && std::find(excluded.begin(), excluded.end(), name) == excluded.end();
}

std::vector<std::string> OfferedDeviceNames(const _DEVIECENAME_LIST* devices, const std::vector<std::string>& excluded)
{
    std::vector<std::string> names;
    for (const auto* device = devices; device; device = device->next)
        if (const std::string name = NameText(*device); IsOfferedDevice(name, excluded))
            names.push_back(name);
    return names;
}

const _DEVIECENAME_LIST* ChooseStartupDevice(const _DEVIECENAME_LIST* devices, const std::vector<std::string>& excluded)
{
    for (const auto* device = devices; device; device = device->next)
        if (IsOfferedDevice(NameText(*device), excluded))
            return device;
    return nullptr;
}
