#include "platform/PosixWrite.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

void PosixWrite::all(int fd, const char* data, std::size_t length) noexcept
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return; // disk full or similar: what is left is lost
        }
        data += written;
        length -= std::size_t(written);
    }
}

void PosixWrite::text(int fd, const char* text) noexcept
{
    if (text)
        all(fd, text, std::strlen(text));
}
