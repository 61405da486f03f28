#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// What a downloads folder holds, read straight from the file system: the items a queue may
// take (leaving out hidden names, partial downloads, the placeholders of downloads under way
// and files still being written), the names an event watcher needs to rebuild its index of
// partial downloads, and the samples it compares to tell a finished item. Stateless; safe
// on any thread.
class DownloadFolderListing
{
public:
    // Told of an item left out because its name is not valid UTF-8 (lossyName shows it).
    using UnusableNameNote = std::function<void(const QString& folder, const QString& lossyName)>;

    // A listing asks whether a file is open for writing only when it was modified this
    // recently (or is dated in the future): the check opens the file, several times the cost
    // of the listing's stat, and a writer that has written nothing for an hour is stalled
    // beyond any client's own timeout. Older files are taken as finished.
    static constexpr qint64 writerCheckWindowSeconds = 3600;

    // The items in directory that pass the ignore rule, are not a placeholder of a download
    // under way and are not being written, oldest first by modification date, as standardised
    // paths. oldest, when given, is called with the first path as soon as it is known, before
    // the rest is sorted. unusable, when given, is told of each name left out for not being
    // valid UTF-8. beingWritten, when given, receives the files left out because a writer may
    // still have them open. A large folder is examined by a few threads at once.
    static QStringList listExistingPaths(const QString& directory,
                                         const std::function<void(const QString&)>& oldest = {},
                                         const UnusableNameNote& unusable = {},
                                         QStringList* beingWritten = nullptr);

    // The oldest item among the first `sample` entries the folder gives (all of them in a
    // folder that holds no more), by the rules of listExistingPaths, leaving out the paths in
    // excluded; an empty string when there is none. Only the sample is read and examined: in a
    // large folder it costs a fraction of a full listing, and it may not be the oldest of all.
    // The rest of the names are read only when a download under way among them may stand for
    // the item found (an empty placeholder, or one with a control file beside it).
    static QString firstExistingPath(const QString& directory, int sample,
                                     const QSet<QString>& excluded = {});

    static QList<QUrl> urlsOf(const QStringList& paths);

    // The visible names in directory as the system gives them, unsorted and without a stat:
    // the partial downloads go to partials; the other names are returned only when withItems
    // is set (and only then is unusable told of names that are not valid UTF-8).
    static QStringList readNames(const QString& directory, bool withItems, QStringList* partials,
                                 const UnusableNameNote& unusable = {});

    // True for hidden items and partial downloads, which are never reported.
    static bool shouldIgnoreName(const QString& name);
    static bool shouldIgnore(const QUrl& url);

    // A first look at an item, the first of the two samples that show it has stopped changing.
    struct Sample
    {
        enum class Kind : quint8 {
            Missing,    // nothing there, or a link that leads nowhere
            File,       // measure is its size
            Folder,     // measure is its number of children (0 when it cannot be listed)
            BusyFolder, // a partial download inside shows it is still being filled
        };
        Kind kind = Kind::Missing;
        qint64 measure = 0;
    };
    static Sample firstSample(const QString& path);
    // What a second sample of an item, whose first (a File or a Folder) measured first, shows.
    enum class Verdict : quint8 {
        Gone,     // nothing there any more
        Changing, // changed since, held back, open for writing, or unreadable
        Settled,  // unchanged and open for writing nowhere
        NoAnswer, // an unchanged file the file system tells nothing about writers of
    };
    // heldBack is asked, for a file of unchanged size, whether a partial download beside it
    // shows that it is still being written.
    static Verdict secondSample(const QString& path, bool folder, qint64 first,
                                const std::function<bool(qint64 size)>& heldBack);

    // The top-level item of folder (a standardised path) that path lies in, or an empty string.
    static QString topLevelItem(const QString& folder, const QString& path);
};
