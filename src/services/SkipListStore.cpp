#include "services/SkipListStore.h"

#include "platform/BackgroundTask.h"
#include "platform/JsonFile.h"
#include "platform/PrivateStorage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

const QString listFileName = QStringLiteral("skipped_items.json");
const QString identityFileName = QStringLiteral("skipped_items_identity.json");

std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

SkipListStore::SkipListStore(const QString& baseDirectory, QObject* parent)
    : QObject(parent), m_listFilePath(baseDirectory + u'/' + listFileName),
      m_identityFilePath(baseDirectory + u'/' + identityFileName)
{
    m_saver.setMaxThreadCount(1);
    m_saver.setObjectName(QStringLiteral("com.stowbird.skiplist"));
    // The list names the user's files: a folder or file made wider by an older version is
    // tightened before use.
    PrivateStorage::tighten(baseDirectory, {listFileName, identityFileName});
}

SkipListStore::~SkipListStore()
{
    waitForSaves();
}

SkipListStore::Loaded SkipListStore::load() const
{
    // A missing or unreadable list simply means nothing was skipped. The list alone says
    // what is skipped (an older version may have written it last); the identity file says
    // for which file, where it knows.
    Loaded loaded;
    const std::optional<QByteArray> list = readFile(m_listFilePath);
    const std::optional<SkipList::Entries> listed =
        list ? SkipList::decode(*list) : std::optional<SkipList::Entries>();
    if (!listed)
        return loaded;
    const SkipList::Entries known =
        SkipList::decode(readFile(m_identityFilePath).value_or(QByteArray()))
            .value_or(SkipList::Entries());
    for (auto it = listed->cbegin(); it != listed->cend(); ++it) {
        const QString& path = it.key();
        loaded.paths.insert(path);
        if (it.value().isValid()) {
            // The previous version's list kept the inode in the list itself; the identity
            // file may know more about that same file.
            const SkipList::Identity more = known.value(path);
            loaded.identities.insert(path, more.inode == it.value().inode ? more : it.value());
        } else if (known.contains(path)) {
            // Invalid when nothing was at the path when it was last looked at.
            loaded.identities.insert(path, known.value(path));
        } else {
            loaded.outdated = true;
        }
    }
    // A list of objects becomes a list of paths at once, so that an older version reads it.
    if (*list != SkipList::encodePaths(loaded.paths.values()))
        loaded.outdated = true;
    return loaded;
}

void SkipListStore::remove()
{
    QFile::remove(m_listFilePath);
    QFile::remove(m_identityFilePath);
}

void SkipListStore::waitForSaves()
{
    m_saver.waitForDone();
    // A failure is reported from this thread's event loop: deliver what is waiting.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

void SkipListStore::save(const QSet<QString>& paths, const SkipList::Entries& identities)
{
    SkipList::Entries entries;
    entries.reserve(paths.size());
    for (const QString& path : paths)
        entries.insert(path, identities.value(path));
    const QByteArray list = SkipList::encodePaths(paths.values());
    const QByteArray identityText = SkipList::encodeIdentities(entries);
    const quint64 serial = ++*m_latestSave;
    // Each file is replaced whole or not at all. The list first: it is what every version
    // reads, and its failure is the one told. The identities follow without a sync of their
    // own (waiting for both files' data would double the cost): should a crash lose them, a
    // skip holds for the file found at its path.
    BackgroundTask::run(
        m_saver,
        [list, identityText, serial, latest = m_latestSave, listPath = m_listFilePath,
         identityPath = m_identityFilePath]() -> QString {
            if (serial != latest->load())
                return {}; // a newer save holds all of this one
            QString error;
            const bool listSaved = JsonFile::writeAtomically(listPath, list, &error);
            QString identityError;
            const bool identitiesSaved = JsonFile::writeAtomically(
                identityPath, identityText, &identityError, JsonFile::Durability::Later);
            if (listSaved && identitiesSaved)
                return {};
            return listSaved ? identityError : error;
        },
        this,
        [this](const QString& error) {
            if (!error.isEmpty())
                emit saveFailed(error);
        },
        [this](const QString& error) { emit saveFailed(error); });
}
