#pragma once

#include <QString>

// Tells whether any process holds a file open for writing: a download still being written,
// or a file an editor has open. The watcher asks before it queues a file, the launch listing
// and rescans before they queue one, and a move before it removes the original.
class OpenWriterProbe
{
public:
    enum class State {
        None,       // nobody has it open for writing
        Open,       // some descriptor has it open for writing
        Unknown,    // the file system or the file's owner allows no answer
        Unreadable, // it could not be opened at all
    };

    static State of(const QString& path);
    // The same for a file already open as fd (any access mode but write).
    static State ofDescriptor(int fd);
    // Like ofDescriptor (fd open read-only), but with the answer None the read lease stays
    // on fd until fd is closed: meanwhile an open for writing or a truncate waits for the
    // holder to let go, so nothing starts writing the file between the answer and what the
    // caller does next (such as removing the file).
    static State holdAgainstWriters(int fd);
};
