#pragma once
// The works panel's own page, shown when no address is set for it: the recordings and photos made so
// far, newest first, each a link to its file.
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

struct WorkFile {
    std::string path;
    std::string name;  // the file name
    int64_t bytes = 0;
    int64_t modified = 0;  // seconds since the epoch
    bool photo = false;    // a JPEG photo, else a WMV recording
};

// The recordings (*.wmv) of `recordFolder` and the photos (*.jpg) of `photoFolder`, newest first.
// Missing folders have no works.
std::vector<WorkFile> ListWorks(const std::string& recordFolder, const std::string& photoFolder);

// The page listing the first `limit` works, with the count of all of them.
QString WorksPageHtml(const std::vector<WorkFile>& works, size_t limit);
