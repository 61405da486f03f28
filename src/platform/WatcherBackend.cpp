#include "platform/WatcherBackend.h"

WatcherBackend::Health WatcherBackend::health() const
{
    if (isWatching())
        return {};
    return {WatchProblem::FolderMissing, QStringLiteral("it is not there")};
}
