#include "ktv/PlayOrder.h"

#include "settings/Settings.h"

#include <algorithm>

std::optional<size_t> NextEntryIndex(int mode, size_t count, std::optional<size_t> current,
                                     const std::function<int()>& random)
{
    if (count == 0)
        return std::nullopt;
    switch (mode) {
    case PLAY_IN_ORDER:
        if (!current)
            return 0;
        if (*current + 1 < count)
            return *current + 1;
        return std::nullopt;
    case PLAY_LOOP_LIST:
        if (!current)
            return 0;
        return (*current + 1) % count;
    case PLAY_RANDOM:
        return size_t(unsigned(random())) % count;
    case PLAY_REPEAT_ONE:
        return current;
    default:  // PLAY_ONE_ONCE and anything unknown
        return std::nullopt;
    }
}

std::optional<std::string> NextMediaPath(int mode, const std::vector<std::string>& paths,
                                         const std::string& currentPath, const std::function<int()>& random)
{
    const auto it = std::find(paths.begin(), paths.end(), currentPath);
    const std::optional<size_t> current =
        it == paths.end() ? std::nullopt : std::optional<size_t>(size_t(it - paths.begin()));
    const auto next = NextEntryIndex(mode, paths.size(), current, random);
    if (!next)
        return std::nullopt;
    return paths[*next];
}
