#pragma once

#include "models/SkipList.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <memory>

// The skip list on disk: skipped_items.json (the paths, which every version reads) and,
// beside it, skipped_items_identity.json (which file each skip was made for). Read once, on
// the calling thread; written off it, one save at a time and in order, a save overtaken by a
// newer one before it starts being left out (the newer one holds all of it).
class SkipListStore : public QObject
{
    Q_OBJECT
public:
    // What the files held.
    struct Loaded
    {
        QSet<QString> paths;
        // The identity known for each path; a path missing here had none recorded.
        SkipList::Entries identities;
        // The list was written in another form (objects, by an older version) or lacks
        // identities: it should be saved again as soon as they are known.
        bool outdated = false;
    };

    // baseDirectory holds the two files; it and they are tightened to the user alone.
    explicit SkipListStore(const QString& baseDirectory, QObject* parent = nullptr);
    // Waits for the last save.
    ~SkipListStore() override;

    // Reads both files; empty when the list is missing or unreadable (nothing was skipped).
    Loaded load() const;
    // Writes the list of paths and their identities in the background.
    void save(const QSet<QString>& paths, const SkipList::Entries& identities);
    // Deletes both files.
    void remove();
    // Waits until every save asked for so far has been written, or has failed and been
    // reported.
    void waitForSaves();

    QString listFilePath() const { return m_listFilePath; }
    QString identityFilePath() const { return m_identityFilePath; }

signals:
    // A save failed (the file was left as it was); error says why.
    void saveFailed(const QString& error);

private:
    QString m_listFilePath;
    QString m_identityFilePath;
    QThreadPool m_saver;
    std::shared_ptr<std::atomic<quint64>> m_latestSave = std::make_shared<std::atomic<quint64>>(0);
};
