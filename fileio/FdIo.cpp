#include "fileio/FdIo.h"

#include <unistd.h>

#include <cerrno>

namespace {

template <typename Pointer, typename Call>
size_t Repeat(int fd, Pointer buffer, size_t count, Call call)
{
    size_t done = 0;
    while (fd >= 0 && done < count) {
        const ssize_t n = call(fd, buffer + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    return done;
}

}  // namespace

size_t ReadFully(int fd, void* buffer, size_t count)
{
    return Repeat(fd, static_cast<char*>(buffer), count, ::read);
}

size_t WriteFully(int fd, const void* buffer, size_t count)
{
    return Repeat(fd, static_cast<const char*>(buffer), count, ::write);
}
