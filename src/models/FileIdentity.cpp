#include "models/FileIdentity.h"

bool FileIdentity::isSameEntry(const FileIdentity& now) const
{
    if (!isValid() || !now.isValid())
        return false;
    if (device != now.device || inode != now.inode || isFolder != now.isFolder)
        return false;
    // A recycled inode number gets a new birth time where the file system keeps one.
    if (bornNs != 0 && now.bornNs != 0 && bornNs != now.bornNs)
        return false;
    return isFolder || (size == now.size && modifiedNs == now.modifiedNs);
}
