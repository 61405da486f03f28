#pragma once

#include <QHash>
#include <QList>
#include <QSharedData>
#include <QString>
#include <QStringView>

#include <deque>
#include <functional>
#include <iterator>
#include <vector>

// An ordered list of absolute paths, kept small enough for a hundred thousand of them: each
// path is split into its folder, stored once for all the entries inside it, and its name,
// stored as UTF-16 in one shared character pool. An open-addressed table of record numbers
// answers "is this path in the list?" without a per-entry string or hash node. A path may be
// listed more than once; the copies share one record.
//
// Copies are cheap and share the data until one of them changes (a pool thread can read a
// copy while the owner goes on changing its own). Not thread-safe beyond that.
class CompactPathList
{
public:
    CompactPathList();
    CompactPathList(std::initializer_list<QString> paths);

    qsizetype size() const { return qsizetype(d->order.size()); }
    bool isEmpty() const { return d->order.empty(); }
    QString at(qsizetype index) const { return pathOf(d->order[size_t(index)]); }
    QString first() const { return at(0); }

    void append(const QString& path);
    // Precondition: not empty.
    QString takeFirst();
    void clear();

    bool contains(QStringView path) const { return find(path) != noRecord; }
    // How many times path is listed.
    qsizetype count(QStringView path) const;
    // True when some entry lies directly inside folder.
    bool hasEntriesIn(const QString& folder) const;

    // Removes every entry matches() accepts, keeping the order of the rest; returns how
    // many were removed. matches() sees each distinct path once, however often it is listed.
    qsizetype removeIf(const std::function<bool(const QString&)>& matches);
    // Every entry for path; returns how many there were.
    qsizetype removeAll(QStringView path);
    // Points the first entry for from at to, in place; false when from is not listed.
    bool replaceFirst(QStringView from, const QString& to);

    // Calls f(path) for each entry in order.
    void forEach(const std::function<void(const QString&)>& f) const;
    QStringList toList() const;

    // A forward iterator that yields each path by value.
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = QString;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = QString;

        const_iterator(const CompactPathList* list, qsizetype index) : m_list(list), m_index(index)
        {
        }
        QString operator*() const { return m_list->at(m_index); }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator& other) const { return m_index != other.m_index; }

    private:
        const CompactPathList* m_list;
        qsizetype m_index;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Bytes held by the containers, for benchmarks.
    size_t bytesUsed() const;

private:
    static constexpr quint32 noRecord = 0xffffffffu;

    struct Record
    {
        quint32 offset = 0; // into chars
        quint32 hash = 0;   // of the whole path
        quint32 folder = 0; // index into folders
        quint32 count = 0;  // entries in order naming this record; 0 = free
        quint32 length = 0; // of the name, in UTF-16 units
    };

    struct Data : QSharedData
    {
        std::vector<Record> records;
        std::vector<quint32> freeRecords;
        std::vector<char16_t> chars; // names, back to back
        size_t garbageChars = 0;     // in chars, belonging to freed records
        std::deque<quint32> order;   // record numbers, in list order
        // Open addressing over record numbers: 0 = empty, 1 = deleted, else record + 2.
        std::vector<quint32> table;
        size_t tableUsed = 0; // live + deleted
        QList<QString> folders;
        QHash<QString, quint32> folderIds;
        std::vector<quint32> folderEntries; // entries in order per folder
    };

    struct Split
    {
        QStringView folder;
        QStringView name;
    };
    static Split split(QStringView path);
    static quint32 hashOf(QStringView path);

    QString pathOf(quint32 record) const;
    quint32 find(QStringView path) const;
    quint32 acquire(const QString& path);
    void release(quint32 record, quint32 entries);
    void insertSlot(quint32 record);
    void eraseSlot(quint32 record);
    void rehash(size_t capacity);
    void compactChars();
    void clearIfEmpty();

    QSharedDataPointer<Data> d;
};
