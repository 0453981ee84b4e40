#pragma once
// Whole transfers on a file descriptor: the calls are repeated after a signal or a short count.
#include <cstddef>

// Bytes read before the end of the file or an error.
size_t ReadFully(int fd, void* buffer, size_t count);
// Bytes written before an error; all of them on success.
size_t WriteFully(int fd, const void* buffer, size_t count);
