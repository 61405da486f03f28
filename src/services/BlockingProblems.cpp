#include "services/BlockingProblems.h"

#include "platform/StoragePaths.h"
#include "services/HistoryStore.h"

#include <QFileInfo>

void BlockingProblems::raise(const QString& key, const QString& text, const QString& hint)
{
    const Problem problem{key, text, hint};
    for (Problem& shown : m_problems) {
        if (shown.key != key)
            continue;
        if (shown == problem)
            return;
        shown = problem;
        emit changed();
        return;
    }
    m_problems.append(problem);
    emit changed();
}

void BlockingProblems::clear(const QString& key)
{
    if (m_problems.removeIf([&key](const Problem& problem) { return problem.key == key; }) > 0)
        emit changed();
}

QString BlockingProblems::summary() const
{
    QStringList lines;
    for (const Problem& problem : m_problems)
        lines.append(problem.hint.isEmpty() ? problem.text : problem.text + u' ' + problem.hint);
    return lines.join(u'\n');
}

void BlockingProblems::noteWatchHealth(const QString& folder, WatchProblem problem,
                                       const QString& detail)
{
    const QString key = QStringLiteral("watch:") + folder;
    const QString shown = StoragePaths::tildePath(folder);
    switch (problem) {
    case WatchProblem::None:
        clear(key);
        return;
    case WatchProblem::WatchLimitReached:
        raise(key,
              tr("New downloads in %1 may not be seen: the system's limit of watched folders is "
                 "reached.")
                  .arg(shown),
              tr("Raise fs.inotify.max_user_watches (for example: sudo sysctl "
                 "fs.inotify.max_user_watches=524288)."));
        return;
    case WatchProblem::InstanceLimitReached:
        raise(key,
              tr("New downloads in %1 cannot be seen: the system's limit of folder watchers is "
                 "reached.")
                  .arg(shown),
              tr("Raise fs.inotify.max_user_instances (for example: sudo sysctl "
                 "fs.inotify.max_user_instances=512) or close programs that watch many "
                 "folders."));
        return;
    case WatchProblem::FolderMissing:
        raise(key, tr("New downloads in %1 cannot be seen: the folder does not exist.").arg(shown),
              tr("Create the folder again: it is watched from the moment it exists."));
        return;
    case WatchProblem::FolderUnreadable:
        raise(
            key,
            tr("New downloads in %1 cannot be seen: Stowbird may not read the folder (%2).")
                .arg(shown, detail),
            tr("Give yourself read access to the folder, for example: chmod u+rwx %1").arg(shown));
        return;
    case WatchProblem::StreamFailed:
        raise(key, tr("New downloads in %1 cannot be seen: %2.").arg(shown, detail),
              tr("Restart Stowbird; the log has the details."));
        return;
    }
}

void BlockingProblems::noteHistory(bool available, const QString& reason)
{
    const QString key = QStringLiteral("history");
    if (available)
        clear(key);
    else
        raise(key, tr("The history cannot be written: %1.").arg(reason),
              tr("Free some disk space or make %1 writable; filing goes on meanwhile.")
                  .arg(StoragePaths::tildePath(
                      QFileInfo(HistoryStore::defaultDatabasePath()).path())));
}

void BlockingProblems::noteSettingsSaved(bool saved, const QString& message)
{
    const QString key = QStringLiteral("settings");
    if (saved)
        clear(key);
    else
        raise(key, message,
              tr("Make %1 writable; they are saved again at the next change.")
                  .arg(StoragePaths::tildePath(StoragePaths::configDirectory())));
}
