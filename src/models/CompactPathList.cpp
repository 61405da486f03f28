#include "models/CompactPathList.h"

#include <QHashFunctions>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 emptySlot = 0;
constexpr quint32 deletedSlot = 1;
constexpr quint32 slotOffset = 2;

// Freed names are squeezed out of the pool once they are over half of it and at least this
// many characters, so the cost of compacting stays a constant per name taken.
constexpr size_t compactAtLeast = 4096;

size_t roundUpToPowerOfTwo(size_t n)
{
    size_t p = 16;
    while (p < n)
        p *= 2;
    return p;
}

} // namespace

CompactPathList::CompactPathList() : d(new Data) {}

CompactPathList::CompactPathList(std::initializer_list<QString> paths) : CompactPathList()
{
    for (const QString& path : paths)
        append(path);
}

CompactPathList::Split CompactPathList::split(QStringView path)
{
    // The folder keeps its trailing slash, so that "/name" and "name" stay apart.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return {path.left(slash + 1), path.mid(slash + 1)};
}

quint32 CompactPathList::hashOf(QStringView path)
{
    const size_t h = qHash(path, size_t(0));
    return quint32(h ^ (quint64(h) >> 32));
}

QString CompactPathList::pathOf(quint32 record) const
{
    const Record& r = d->records[record];
    const QString& folder = d->folders.at(r.folder);
    QString path;
    path.reserve(folder.size() + r.length);
    path.append(folder);
    path.append(reinterpret_cast<const QChar*>(d->chars.data() + r.offset), r.length);
    return path;
}

quint32 CompactPathList::find(QStringView path) const
{
    const Data& x = *d;
    if (x.table.empty())
        return noRecord;
    const Split parts = split(path);
    const quint32 hash = hashOf(path);
    const size_t mask = x.table.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const quint32 slot = x.table[i];
        if (slot == emptySlot)
            return noRecord;
        if (slot == deletedSlot)
            continue;
        const quint32 record = slot - slotOffset;
        const Record& r = x.records[record];
        // An empty name ("/folder/") compares no characters: the pool may be empty then.
        if (r.hash == hash && r.length == quint32(parts.name.size()) &&
            (r.length == 0 || std::memcmp(x.chars.data() + r.offset, parts.name.utf16(),
                                          size_t(r.length) * sizeof(char16_t)) == 0) &&
            QStringView(x.folders.at(r.folder)) == parts.folder)
            return record;
    }
}

qsizetype CompactPathList::count(QStringView path) const
{
    const quint32 record = find(path);
    return record == noRecord ? 0 : d->records[record].count;
}

bool CompactPathList::hasEntriesIn(const QString& folder) const
{
    const auto it = d->folderIds.constFind(folder + QLatin1Char('/'));
    return it != d->folderIds.cend() && d->folderEntries[it.value()] > 0;
}

void CompactPathList::append(const QString& path)
{
    const quint32 record = acquire(path);
    d->order.push_back(record);
}

quint32 CompactPathList::acquire(const QString& path)
{
    quint32 record = find(path);
    Data& x = *d;
    if (record != noRecord) {
        ++x.records[record].count;
        ++x.folderEntries[x.records[record].folder];
        return record;
    }
    const Split parts = split(path);
    const QString folder = parts.folder.toString();
    auto folderIt = x.folderIds.constFind(folder);
    if (folderIt == x.folderIds.cend()) {
        folderIt = x.folderIds.insert(folder, quint32(x.folders.size()));
        x.folders.append(folder);
        x.folderEntries.push_back(0);
    }
    Record r;
    r.offset = quint32(x.chars.size());
    r.hash = hashOf(path);
    r.folder = folderIt.value();
    r.count = 1;
    r.length = quint32(parts.name.size());
    const auto* name = reinterpret_cast<const char16_t*>(parts.name.utf16());
    x.chars.insert(x.chars.end(), name, name + parts.name.size());
    if (x.freeRecords.empty()) {
        record = quint32(x.records.size());
        x.records.push_back(r);
    } else {
        record = x.freeRecords.back();
        x.freeRecords.pop_back();
        x.records[record] = r;
    }
    ++x.folderEntries[r.folder];
    insertSlot(record);
    return record;
}

void CompactPathList::release(quint32 record, quint32 entries)
{
    Data& x = *d;
    Record& r = x.records[record];
    r.count -= entries;
    x.folderEntries[r.folder] -= entries;
    if (r.count > 0)
        return;
    eraseSlot(record);
    x.garbageChars += r.length;
    x.freeRecords.push_back(record);
    if (x.garbageChars >= compactAtLeast && x.garbageChars * 2 > x.chars.size())
        compactChars();
}

void CompactPathList::insertSlot(quint32 record)
{
    Data& x = *d;
    const size_t live = x.records.size() - x.freeRecords.size();
    if ((x.tableUsed + 1) * 2 > x.table.size()) {
        // Grows, or only sweeps out deleted table; the new record is placed by the rehash.
        rehash(roundUpToPowerOfTwo(live * 2 + 2));
        return;
    }
    const size_t mask = x.table.size() - 1;
    for (size_t i = x.records[record].hash & mask;; i = (i + 1) & mask) {
        if (x.table[i] == emptySlot || x.table[i] == deletedSlot) {
            if (x.table[i] == emptySlot)
                ++x.tableUsed;
            x.table[i] = record + slotOffset;
            return;
        }
    }
}

void CompactPathList::eraseSlot(quint32 record)
{
    Data& x = *d;
    const size_t mask = x.table.size() - 1;
    for (size_t i = x.records[record].hash & mask;; i = (i + 1) & mask) {
        if (x.table[i] == record + slotOffset) {
            x.table[i] = deletedSlot;
            return;
        }
        Q_ASSERT(x.table[i] != emptySlot);
    }
}

void CompactPathList::rehash(size_t capacity)
{
    Data& x = *d;
    std::vector<quint32> table(capacity, emptySlot);
    const size_t mask = capacity - 1;
    size_t used = 0;
    for (quint32 record = 0; record < x.records.size(); ++record) {
        if (x.records[record].count == 0)
            continue;
        size_t i = x.records[record].hash & mask;
        while (table[i] != emptySlot)
            i = (i + 1) & mask;
        table[i] = record + slotOffset;
        ++used;
    }
    x.table = std::move(table);
    x.tableUsed = used;
}

void CompactPathList::compactChars()
{
    Data& x = *d;
    std::vector<char16_t> chars;
    chars.reserve(x.chars.size() - x.garbageChars);
    for (Record& r : x.records) {
        if (r.count == 0)
            continue;
        const quint32 offset = quint32(chars.size());
        chars.insert(chars.end(), x.chars.begin() + r.offset,
                     x.chars.begin() + r.offset + r.length);
        r.offset = offset;
    }
    x.chars = std::move(chars);
    x.garbageChars = 0;
}

QString CompactPathList::takeFirst()
{
    const quint32 record = d->order.front();
    const QString path = pathOf(record);
    d->order.pop_front();
    release(record, 1);
    clearIfEmpty();
    return path;
}

void CompactPathList::clearIfEmpty()
{
    // Everything was taken: start over rather than keep the high-water mark.
    if (d->order.empty())
        clear();
}

void CompactPathList::clear()
{
    // Keeps no capacity: an emptied list gives its memory back (assigning {} would keep it).
    Data& x = *d;
    x.records = std::vector<Record>();
    x.freeRecords = std::vector<quint32>();
    x.chars = std::vector<char16_t>();
    x.garbageChars = 0;
    x.order = std::deque<quint32>();
    x.table = std::vector<quint32>();
    x.tableUsed = 0;
    x.folders = QList<QString>();
    x.folderIds = QHash<QString, quint32>();
    x.folderEntries = std::vector<quint32>();
}

qsizetype CompactPathList::removeIf(const std::function<bool(const QString&)>& matches)
{
    Data& x = *d;
    // One verdict per record: 0 = not asked yet, 1 = keep, 2 = remove.
    std::vector<quint8> verdict(x.records.size(), 0);
    std::vector<quint32> removedEntries;
    std::deque<quint32> kept;
    for (const quint32 record : x.order) {
        if (verdict[record] == 0)
            verdict[record] = matches(pathOf(record)) ? 2 : 1;
        if (verdict[record] == 1)
            kept.push_back(record);
        else
            removedEntries.push_back(record);
    }
    if (removedEntries.empty())
        return 0;
    x.order = std::move(kept);
    for (const quint32 record : removedEntries)
        release(record, 1);
    clearIfEmpty();
    return qsizetype(removedEntries.size());
}

qsizetype CompactPathList::removeAll(QStringView path)
{
    const quint32 record = find(path);
    if (record == noRecord)
        return 0;
    Data& x = *d;
    const quint32 entries = x.records[record].count;
    x.order.erase(std::remove(x.order.begin(), x.order.end(), record), x.order.end());
    release(record, entries);
    clearIfEmpty();
    return entries;
}

bool CompactPathList::replaceFirst(QStringView from, const QString& to)
{
    const quint32 record = find(from);
    if (record == noRecord)
        return false;
    const quint32 replacement = acquire(to);
    Data& x = *d;
    *std::find(x.order.begin(), x.order.end(), record) = replacement;
    release(record, 1);
    return true;
}

void CompactPathList::forEach(const std::function<void(const QString&)>& f) const
{
    for (const quint32 record : d->order)
        f(pathOf(record));
}

QStringList CompactPathList::toList() const
{
    QStringList paths;
    paths.reserve(size());
    forEach([&paths](const QString& path) { paths.append(path); });
    return paths;
}

size_t CompactPathList::bytesUsed() const
{
    const Data& x = *d;
    size_t folderBytes = 0;
    for (const QString& folder : x.folders)
        folderBytes += size_t(folder.capacity()) * 2 * 2; // the list's copy and the key's
    return x.records.capacity() * sizeof(Record) + x.freeRecords.capacity() * 4 +
           x.chars.capacity() * 2 + x.order.size() * 4 + x.table.capacity() * 4 + folderBytes +
           x.folderEntries.capacity() * 4;
}
