#include "platform/WatcherBackend.h"

WatcherBackend::Health WatcherBackend::health() const
{
    if (isWatching())
        return {};
    return {WatchProblem::FolderMissing, QStringLiteral("the folder is not there")};
}
