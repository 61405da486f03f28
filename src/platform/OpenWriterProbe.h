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
};
