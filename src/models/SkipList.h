#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The persisted list of skipped items: a JSON array with one entry per skipped path. Each
// entry also records which file was skipped (inode and modification time), so that a new
// download that later lands at the same path is not taken for the skipped one. Lists written
// before identities were kept (a JSON array of path strings) are still read; their entries
// carry no identity.
class SkipList
{
public:
    struct Identity
    {
        quint64 inode = 0;
        qint64 modifiedNs = 0;

        bool isValid() const { return inode != 0; }
        bool operator==(const Identity& other) const
        {
            return inode == other.inode && modifiedNs == other.modifiedNs;
        }
    };
    using Entries = QHash<QString, Identity>;

    // The entries, or nothing when the document is not a JSON array of path strings and
    // {"path", "inode", "mtime"} objects.
    static std::optional<Entries> decode(const QByteArray& json);

    // A compact JSON array of {"path", "inode", "mtime"} objects sorted by path ("path" alone
    // when the identity is unknown), "/" escaped as "\/".
    static QByteArray encode(const Entries& entries);
};
