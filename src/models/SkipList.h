#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The persisted skip list, in two files. The list itself (skipped_items.json) is a JSON array
// of path strings, which any version reads. Which file each skip was made for (its device,
// inode and birth time) is kept in a second file beside it, an array of {"path", "device",
// "inode", "born"} objects: a skip holds for that file however it is changed in place, and a
// different file that later stands at the path (a new download of the same name) is offered
// again.
//
// The list as the previous version wrote it, an array of {"path", "inode", "mtime"} objects,
// is still read; its entries carry the inode only.
class SkipList
{
public:
    struct Identity
    {
        // Zero when not known (a list that kept the inode alone).
        quint64 device = 0;
        quint64 inode = 0;
        // Zero when the file system keeps no birth time, or it was not kept.
        qint64 bornNs = 0;

        bool isValid() const { return inode != 0; }
        // True when now, read later at the skipped path, is the file this identity was read
        // from, whatever was written to it since. What was not kept is not compared.
        bool isSameFile(const Identity& now) const;
        // True when now tells more than this one does (a device or birth time not kept).
        bool isCompletedBy(const Identity& now) const;
        bool operator==(const Identity& other) const = default;
    };
    using Entries = QHash<QString, Identity>;

    // The entries of either file, or nothing when the document is not a JSON array of path
    // strings and objects with a "path". Entries without an inode carry no identity.
    static std::optional<Entries> decode(const QByteArray& json);

    // The list file: a compact JSON array of the paths, sorted, "/" escaped as "\/".
    static QByteArray encodePaths(const QList<QString>& paths);
    // The identity file: a compact array of {"born", "device", "inode", "path"} objects
    // sorted by path; an entry whose file was not there when it was looked at has "path"
    // alone.
    static QByteArray encodeIdentities(const Entries& entries);
};
