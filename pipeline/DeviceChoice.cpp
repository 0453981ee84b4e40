#include "pipeline/DeviceChoice.h"

#include <algorithm>
#include <cstring>

std::vector<std::string> SplitExcludedNames(const std::string& excludeDevices)
{
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t end; (end = excludeDevices.find(';', start)) != std::string::npos; start = end + 1)
        names.push_back(excludeDevices.substr(start, end - start));
    return names;
}

const _DEVIECENAME_LIST* ChooseStartupDevice(const _DEVIECENAME_LIST* devices, const std::vector<std::string>& excluded)
{
    for (const auto* device = devices; device; device = device->next) {
        const std::string name(device->name, strnlen(device->name, sizeof device->name));
        if (name != zendracam::kVirtualCameraName && std::find(excluded.begin(), excluded.end(), name) == excluded.end())
            return device;
    }
    return nullptr;
}
