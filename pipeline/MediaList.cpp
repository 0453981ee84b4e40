#include "pipeline/MediaList.h"

#include "ktv/PlayOrder.h"
#include "pipeline/CaptureScr.h"
#include "pipeline/SourceLists.h"

#include <algorithm>
#include <filesystem>

std::vector<std::string> CMediaList::Names() const
{
    std::vector<std::string> names;
    for (const std::string& path : paths_)
        names.push_back(std::filesystem::path(path).filename().string());
    return names;
}

void CMediaList::Add(const std::string& path)
{
    PutOnTop(paths_, path);
}

bool CMediaList::Remove(size_t index)
{
    if (index >= paths_.size())
        return false;
    paths_.erase(paths_.begin() + ptrdiff_t(index));
    return true;
}

std::optional<size_t> CMediaList::MoveUp(size_t index)
{
    if (index >= paths_.size())
        return std::nullopt;
    if (index == 0) {
        std::rotate(paths_.begin(), paths_.begin() + 1, paths_.end());
        return paths_.size() - 1;
    }
    std::swap(paths_[index], paths_[index - 1]);
    return index - 1;
}

std::optional<size_t> CMediaList::MoveDown(size_t index)
{
    if (index >= paths_.size())
        return std::nullopt;
    if (index + 1 == paths_.size()) {
        std::rotate(paths_.begin(), paths_.end() - 1, paths_.end());
        return 0;
    }
    std::swap(paths_[index], paths_[index + 1]);
    return index + 1;
}

bool CMediaList::Play(CCaptureScr& sink, size_t index) const
{
    if (index >= paths_.size())
        return false;
    if (sink.SourceKind() == SOURCE_MEDIA && sink.MoviePlaying)
        sink.StopMovie(0);
    sink.PlayMovie(paths_[index]);
    return true;
}

void CMediaList::PlayNextAfterEnd(CCaptureScr& sink, int mode, const std::function<int()>& random) const
{
    sink.StopMovie(0);
    if (const auto next = NextMediaPath(mode, paths_, CurrentMediaPath, random))
        sink.PlayMovie(*next);
}
