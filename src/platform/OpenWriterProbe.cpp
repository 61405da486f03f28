#include "platform/OpenWriterProbe.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

// A read lease is refused (EAGAIN) exactly while some descriptor has the file open for
// writing, so taking one and letting it go at once answers that without reading anything.
// Leases need the file's owner (the user, for their own downloads) or CAP_LEASE and a file
// system that supports them; otherwise the answer is Unknown.
OpenWriterProbe::State OpenWriterProbe::ofDescriptor(int fd)
{
    const State state = holdAgainstWriters(fd);
    if (state == State::None)
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
    return state;
}

OpenWriterProbe::State OpenWriterProbe::holdAgainstWriters(int fd)
{
    // Should a writer open the file while the lease is held, the kernel signals the lease
    // holder; SIGIO would end the process, SIGURG is ignored by default.
    ::fcntl(fd, F_SETSIG, SIGURG);
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0)
        return State::None;
    if (errno == EAGAIN || errno == EWOULDBLOCK)
        return State::Open;
    return State::Unknown;
}

OpenWriterProbe::State OpenWriterProbe::of(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return State::Unreadable;
    const State state = ofDescriptor(fd);
    ::close(fd);
    return state;
}
