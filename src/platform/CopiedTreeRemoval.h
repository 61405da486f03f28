#pragma once

#include "platform/TreeCopier.h"
#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Removes the original of an item that was copied onto another file system, once the copy is
// whole and in place, and only what is still exactly what was copied: a file written to or
// replaced meanwhile, a file a process still holds open for writing, and a folder that still
// holds any of them stay where they are. Every entry is removed relative to its own folder,
// each folder opened from its parent without following links, so a folder swapped for a link
// meanwhile leads nowhere. It remembers what became of each entry, so that the user can be
// told what stayed and why. The caller walks the entries and may stop part-way.
class CopiedTreeRemoval
{
public:
    using Entry = TreeCopier::CopiedEntry;

    // What became of one source entry.
    enum class Removal {
        NotTried,     // the removal stopped before it
        Removed,      // it is gone
        Gone,         // someone else removed it meanwhile
        Changed,      // written to or replaced since it was copied: it stays
        StillWritten, // a process holds it open for writing: it stays
        NotEmpty,     // a folder that still holds what stayed
        Failed,       // the file system refused to remove it (err says why)
    };

    // Removes entry from the folder open as folder when it is still exactly what was copied.
    static Removal removeEntry(int folder, const Entry& entry, int& err);

    // sourceFolder is the folder the copied item is in, open (O_PATH is enough); copied lists
    // the entries as the copier made them, each folder before its contents. Both must outlive
    // this object.
    CopiedTreeRemoval(int sourceFolder, const std::vector<Entry>& copied);

    int count() const { return int(m_copied.size()); }
    const Entry& entry(int index) const { return m_copied[size_t(index)]; }
    // Removes entry index if it is still what was copied (a folder only once it is empty).
    // Deepest entries first: call it from the last index down.
    void remove(int index);
    // How many entries remove() took away so far.
    int removed() const { return m_removed; }
    // The removal stopped before the entries not tried yet, for the reason err.
    void stop(int err) { m_stoppedBy = err; }
    // Lets go of the folders opened on the way.
    void closeFolders() { m_folders.clear(); }

    // For the user: what of source stayed in its folder and why, now that its copy is whole
    // at target. isFolder: source is still there as a folder.
    QString whatStayed(const QString& source, const QString& target, bool isFolder) const;

private:
    struct Stayed;
    // The descriptor of the folder entry index is in, each folder on the way opened on first
    // use; -1 when one of them was replaced since it was copied.
    int folderOf(int index);
    // Sorts what is still in the folder source by why it stayed.
    Stayed sortWhatStayed(const QString& source) const;

    const int m_sourceFolder;
    const std::vector<Entry>& m_copied;
    std::vector<UniqueFd> m_folders;
    std::vector<bool> m_opened;
    std::vector<Removal> m_outcome;
    std::vector<int> m_errors;
    int m_removed = 0;
    int m_stoppedBy = 0;
};
