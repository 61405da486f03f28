#pragma once

#include <cstddef>

// write(2) loops that are safe inside a signal handler: no allocation, no locks.
class PosixWrite
{
public:
    // Writes all of data, retrying after interruptions; gives up silently on an error.
    static void all(int fd, const char* data, std::size_t length) noexcept;
    // Writes a NUL-terminated text (nothing for a null pointer).
    static void text(int fd, const char* text) noexcept;
};
