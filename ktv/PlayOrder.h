#pragma once
// Which entry plays after the current one ends, for the song list (play mode `Musiz`) and the
// media-file list (`MedFile`): 0 in order, 1 loop the list, 2 random, 3 repeat one, 4 play one.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// `current` is the index of the entry that ended, or none when it is no longer in the list.
// `random` stands for rand(). Nothing for an empty list or an unknown mode.
std::optional<size_t> NextEntryIndex(int mode, size_t count, std::optional<size_t> current,
                                     const std::function<int()>& random);

// The media-file list: the current file is found by its path.
std::optional<std::string> NextMediaPath(int mode, const std::vector<std::string>& paths,
                                         const std::string& currentPath, const std::function<int()>& random);
