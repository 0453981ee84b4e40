#pragma once
// Which capture device the studio starts with.
#include "zendracam/CameraTypes.h"

#include <string>
#include <vector>

// The names of an ExcludeDevices value: each name ends with ";"; text after the last ";" is no name.
std::vector<std::string> SplitExcludedNames(const std::string& excludeDevices);

// The first device of the list that is neither excluded nor the virtual camera itself; null when none.
const _DEVIECENAME_LIST* ChooseStartupDevice(const _DEVIECENAME_LIST* devices,
                                             const std::vector<std::string>& excluded);
