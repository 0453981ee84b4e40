#pragma once
// The media files the user put in the media list, first on top; kept while the program runs.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CCaptureScr;

class CMediaList {
public:
    const std::vector<std::string>& Paths() const { return paths_; }
    size_t Count() const { return paths_.size(); }
    bool Empty() const { return paths_.empty(); }
    // What the list shows: the file names.
    std::vector<std::string> Names() const;

    // Puts the file on top; one already listed moves there instead of being listed twice.
    void Add(const std::string& path);
    // Removes entry `index`; false when there is none.
    bool Remove(size_t index);
    void Clear() { paths_.clear(); }
    // Moves entry `index` one place up (the top one to the bottom) or down (the bottom one to the top);
    // returns where it is now, or nothing when there is no such entry.
    std::optional<size_t> MoveUp(size_t index);
    std::optional<size_t> MoveDown(size_t index);

    // Plays entry `index`, stopping the movie that runs first; false when there is no such entry.
    bool Play(CCaptureScr& sink, size_t index) const;
    // The movie that played last (CurrentMediaPath) ended: it is stopped and the next entry by play
    // mode (PLAY_*) plays; `random` stands for rand().
    void PlayNextAfterEnd(CCaptureScr& sink, int mode, const std::function<int()>& random) const;

private:
    std::vector<std::string> paths_;
};
