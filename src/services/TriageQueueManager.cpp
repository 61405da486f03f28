#include "services/TriageQueueManager.h"

#include "models/SkipList.h"
#include "platform/JsonFile.h"
#include "platform/PrivateStorage.h"
#include "platform/StoragePaths.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// The existence test used by refill and prune: anything at the path, links included.
bool existsAt(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

TriageQueueManager& TriageQueueManager::shared()
{
    static TriageQueueManager* instance = new TriageQueueManager(StoragePaths::stateDirectory());
    return *instance;
}

TriageQueueManager::TriageQueueManager(const QString& skipCacheBaseDirectory, QObject* parent)
    : QObject(parent),
      m_skipCacheFilePath(skipCacheBaseDirectory + QStringLiteral("/skipped_items.json"))
{
    // The list names the user's files: a folder or file made wider by an older version is
    // tightened before use.
    PrivateStorage::tighten(skipCacheBaseDirectory, {QStringLiteral("skipped_items.json")});
    // A missing or unreadable cache simply means nothing was skipped.
    QFile file(m_skipCacheFilePath);
    if (QFileInfo(m_skipCacheFilePath).isFile() && file.open(QIODevice::ReadOnly)) {
        if (auto paths = SkipList::decode(file.readAll()))
            m_skippedPaths = std::move(*paths);
    }
}

std::optional<TriageItem> TriageQueueManager::activeItem() const
{
    if (m_items.isEmpty())
        return std::nullopt;
    return m_items.first();
}

void TriageQueueManager::indexAdd(QHash<QString, int>& index, const QString& path)
{
    ++index[path];
}

void TriageQueueManager::indexRemove(QHash<QString, int>& index, const QString& path)
{
    auto it = index.find(path);
    if (it == index.end())
        return;
    if (--it.value() <= 0)
        index.erase(it);
}

void TriageQueueManager::appendItem(const TriageItem& item)
{
    m_items.append(item);
    indexAdd(m_itemPaths, TriageItem::standardizedPath(item.url));
}

bool TriageQueueManager::enqueueOne(const QUrl& url)
{
    const QString path = TriageItem::standardizedPath(url);
    if (m_skippedPaths.contains(path) || m_itemPaths.contains(path) ||
        m_backlogPaths.contains(path))
        return false;

    if (m_items.size() >= maxBatchSize) {
        m_pendingBacklog.append(url);
        indexAdd(m_backlogPaths, path);
        emit pendingBacklogChanged();
    } else {
        appendItem(TriageItem(url));
        emit itemsChanged();
    }
    return true;
}

void TriageQueueManager::enqueue(const QUrl& url)
{
    if (enqueueOne(url))
        emit triageQueueDidChange();
}

void TriageQueueManager::enqueueBatch(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls) {
        if (enqueueOne(url))
            emit triageQueueDidChange();
    }
    emit triageQueueDidChange();
}

bool TriageQueueManager::refillFromBacklog(bool* itemsGrew)
{
    bool backlogShrank = false;
    *itemsGrew = false;
    while (m_items.size() < maxBatchSize && !m_pendingBacklog.isEmpty()) {
        const QUrl url = m_pendingBacklog.takeFirst();
        const QString path = TriageItem::standardizedPath(url);
        indexRemove(m_backlogPaths, path);
        backlogShrank = true;
        if (!existsAt(url.toLocalFile()) || m_skippedPaths.contains(path))
            continue;
        appendItem(TriageItem(url));
        *itemsGrew = true;
    }
    if (backlogShrank)
        emit pendingBacklogChanged();
    return backlogShrank;
}

void TriageQueueManager::skipCurrent()
{
    if (m_items.isEmpty())
        return;
    const TriageItem head = m_items.takeFirst();
    const QString path = TriageItem::standardizedPath(head.url);
    indexRemove(m_itemPaths, path);
    const bool newSkip = !m_skippedPaths.contains(path);
    m_skippedPaths.insert(path);
    saveSkipCache();
    bool grew = false;
    refillFromBacklog(&grew);
    emit itemsChanged();
    if (newSkip)
        emit skippedPathsChanged();
    emit triageQueueDidChange();
}

std::optional<TriageItem> TriageQueueManager::dequeue()
{
    if (m_items.isEmpty())
        return std::nullopt;
    TriageItem head = m_items.takeFirst();
    indexRemove(m_itemPaths, TriageItem::standardizedPath(head.url));
    bool grew = false;
    refillFromBacklog(&grew);
    emit itemsChanged();
    emit triageQueueDidChange();
    return head;
}

void TriageQueueManager::pushToFront(const TriageItem& item)
{
    // No capacity or duplicate test: an item put back goes first even if that makes 51.
    m_items.prepend(item);
    const QString path = TriageItem::standardizedPath(item.url);
    indexAdd(m_itemPaths, path);
    const bool wasSkipped = m_skippedPaths.remove(path);
    saveSkipCache();
    emit itemsChanged();
    if (wasSkipped)
        emit skippedPathsChanged();
    emit triageQueueDidChange();
}

void TriageQueueManager::clearSkipCache()
{
    const bool hadSkips = !m_skippedPaths.isEmpty();
    m_skippedPaths.clear();
    QFile::remove(m_skipCacheFilePath);
    if (hadSkips)
        emit skippedPathsChanged();
    emit triageQueueDidChange();
}

void TriageQueueManager::pruneMissingFiles()
{
    const qsizetype itemsBefore = m_items.size();
    m_items.removeIf([](const TriageItem& item) { return !existsAt(item.url.toLocalFile()); });
    bool itemsDidChange = m_items.size() != itemsBefore;

    const qsizetype backlogBefore = m_pendingBacklog.size();
    m_pendingBacklog.removeIf([](const QUrl& url) { return !existsAt(url.toLocalFile()); });
    bool backlogDidChange = m_pendingBacklog.size() != backlogBefore;

    if (itemsDidChange) {
        m_itemPaths.clear();
        for (const TriageItem& item : std::as_const(m_items))
            indexAdd(m_itemPaths, TriageItem::standardizedPath(item.url));
    }
    if (backlogDidChange) {
        m_backlogPaths.clear();
        for (const QUrl& url : std::as_const(m_pendingBacklog))
            indexAdd(m_backlogPaths, TriageItem::standardizedPath(url));
        emit pendingBacklogChanged();
    }

    QList<QString> stale;
    for (const QString& path : std::as_const(m_skippedPaths)) {
        if (!existsAt(path))
            stale.append(path);
    }
    if (!stale.isEmpty()) {
        for (const QString& path : std::as_const(stale))
            m_skippedPaths.remove(path);
        saveSkipCache();
        emit skippedPathsChanged();
    }

    bool grew = false;
    refillFromBacklog(&grew);
    if (itemsDidChange || grew)
        emit itemsChanged();
    emit triageQueueDidChange();
}

void TriageQueueManager::saveSkipCache()
{
    QString error;
    if (!JsonFile::writeAtomically(m_skipCacheFilePath, SkipList::encode(m_skippedPaths), &error)) {
        std::printf("[TriageQueueManager] Failed to save skip cache: %s\n", qPrintable(error));
        std::fflush(stdout);
    }
}
