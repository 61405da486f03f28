#pragma once

// The user's extended attributes ("user.*") of a file or folder, carried over to its copy on
// another file system: where a download came from (user.xdg.origin.url), tags, comments and
// checksums that tools keep there. Other namespaces (security, trusted, system) belong to
// the file system or the system's policy and are left to the destination.
class UserXattrs
{
public:
    struct Outcome
    {
        int lost = 0;       // attributes that could not be set on the copy
        int firstError = 0; // why the first of them failed
    };

    // Copies every user.* attribute of the entry open as fromFd to the one open as toFd
    // (any mode: attributes are checked against the entry, not the descriptor). Never
    // throws: a destination that keeps no attributes (FAT, some FUSE and network file
    // systems) or refuses one gives a count of what was lost, for the caller to tell once.
    static Outcome copy(int fromFd, int toFd);
};
