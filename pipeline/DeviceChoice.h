#pragma once
// Which capture devices the studio offers and which one it starts with.
#include "zendracam/CameraTypes.h"

#include <string>
#include <vector>

// The names of an ExcludeDevices value: each name ends with ";"; text after the last ";" is no name.
std::vector<std::string> SplitExcludedNames(const std::string& excludeDevices);

// Neither excluded nor the virtual camera itself.
bool IsOfferedDevice(const std::string& name, const std::vector<std::string>& excluded);

// The names of the offered devices of the list, in list order, as text.
std::vector<std::string> OfferedDeviceNames(const _DEVIECENAME_LIST* devices, const std::vector<std::string>& excluded);

// The first offered device of the list; null when none.
const _DEVIECENAME_LIST* ChooseStartupDevice(const _DEVIECENAME_LIST* devices,
                                             const std::vector<std::string>& excluded);
