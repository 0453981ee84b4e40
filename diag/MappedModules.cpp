#include "diag/MappedModules.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxLine = 512;  // longer lines lose their path's end

// "start-end perms offset dev inode   path"; the hex numbers parsed from `at`, which moves past them.
uint64_t ParseHex(const char*& at, const char* end)
{
    uint64_t value = 0;
    for (; at < end; ++at) {
        const char c = *at;
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            break;
        value = value << 4 | uint64_t(digit);
    }
    return value;
}

const char* SkipField(const char* at, const char* end)
{
    while (at < end && *at != ' ')
        ++at;
    while (at < end && *at == ' ')
        ++at;
    return at;
}

void MatchLine(const char* line, size_t length, const uintptr_t* addresses, int count, MappedPlace* places)
{
    const char* at = line;
    const char* end = line + length;
    const uint64_t start = ParseHex(at, end);
    if (at < end && *at == '-')
        ++at;
    const uint64_t stop = ParseHex(at, end);
    at = SkipField(at, end);  // to the permissions
    at = SkipField(at, end);  // to the offset
    const uint64_t offset = ParseHex(at, end);
    at = SkipField(at, end);  // to the device
    at = SkipField(at, end);  // to the inode
    at = SkipField(at, end);  // to the path
    if (at >= end || *at != '/')
        return;
    for (int i = 0; i < count; ++i) {
        if (addresses[i] < start || addresses[i] >= stop || places[i].path[0])
            continue;
        size_t n = 0;
        for (const char* p = at; p < end && n < MappedPlace::kMaxPath; ++p)
            places[i].path[n++] = *p;
        places[i].path[n] = '\0';
        places[i].fileOffset = addresses[i] - start + offset;
    }
}

}  // namespace

bool FindMappedPlaces(const uintptr_t* addresses, int count, MappedPlace* places)
{
    for (int i = 0; i < count; ++i)
        places[i] = MappedPlace{};
    int fd;
    do
        fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    char block[4096];
    char line[kMaxLine];
    size_t lineLength = 0;
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i) {
            if (block[i] != '\n') {
                if (lineLength < kMaxLine)
                    line[lineLength++] = block[i];
                continue;
            }
            MatchLine(line, lineLength, addresses, count, places);
            lineLength = 0;
        }
    }
    if (lineLength > 0)
        MatchLine(line, lineLength, addresses, count, places);
    ::close(fd);
    return true;
}
