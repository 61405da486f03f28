#include "platform/UserXattrs.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/xattr.h>
#include <vector>

namespace {

// The kernel's limits for one value and for the list of names (XATTR_SIZE_MAX and
// XATTR_LIST_MAX).
constexpr size_t maxValue = 64 * 1024;
constexpr size_t maxList = 64 * 1024;

bool notSupported(int err)
{
    return err == ENOTSUP || err == EOPNOTSUPP || err == ENOSYS;
}

} // namespace

UserXattrs::Outcome UserXattrs::copy(int fromFd, int toFd)
{
    Outcome outcome;
    // Most files have none: one call tells.
    const ssize_t listSize = ::flistxattr(fromFd, nullptr, 0);
    if (listSize <= 0)
        return outcome;
    std::vector<char> names(maxList);
    const ssize_t listed = ::flistxattr(fromFd, names.data(), names.size());
    if (listed < 0)
        return {1, errno};

    std::vector<char> value;
    bool unsupported = false;
    for (size_t at = 0; at < size_t(listed);) {
        const char* name = names.data() + at;
        const size_t length = ::strnlen(name, size_t(listed) - at);
        at += length + 1;
        if (!std::string_view(name, length).starts_with("user."))
            continue;
        if (unsupported) {
            ++outcome.lost;
            continue;
        }
        if (value.empty())
            value.resize(maxValue);
        const ssize_t n = ::fgetxattr(fromFd, name, value.data(), value.size());
        if (n < 0) {
            if (errno == ENODATA)
                continue; // removed since it was listed
            if (!outcome.lost++)
                outcome.firstError = errno;
            continue;
        }
        if (::fsetxattr(toFd, name, value.data(), size_t(n), 0) != 0) {
            // A file system that keeps none refuses the rest alike.
            unsupported = notSupported(errno);
            if (!outcome.lost++)
                outcome.firstError = errno;
        }
    }
    return outcome;
}
