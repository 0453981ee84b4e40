#include "fileio/AtomicFile.h"

#include "fileio/FdIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <vector>

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileFlush flush)
{
    std::string temp = path + ".partXXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    temp.assign(name.data());
    ::fchmod(fd, 0644);
    const bool written = WriteFully(fd, bytes.data(), bytes.size()) == bytes.size() && (flush == FileFlush::None || ::fsync(fd) == 0);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || size_t(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::string out;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || out.size() + size_t(std::max<ssize_t>(n, 0)) > maxBytes) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        out.append(buffer, size_t(n));
    }
    ::close(fd);
    if (!ok)
        return std::nullopt;
    return out;
}
