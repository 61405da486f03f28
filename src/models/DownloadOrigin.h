#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstddef>

// Where a download came from, as the client that saved it recorded it, reduced to the host
// ("files.example.org"). wget, and curl with --xattr, write the address of the download and
// of the page that led to it into the file's extended attributes. A full address can carry
// a session token or a signed query, so it never leaves this class: each value is read into
// a buffer of its own, the host is taken out and the buffer is wiped. Only the host is
// returned, to be shown and kept.
class DownloadOrigin
{
public:
    static constexpr const char* originAttribute = "user.xdg.origin.url";
    static constexpr const char* referrerAttribute = "user.xdg.referrer.url";
    // Longer values are not read at all (the kernel allows 64 KiB; no real address is that
    // long, a hostile one may be).
    static constexpr std::size_t maxValueSize = 16 * 1024;

    // The host of the address the item at path was downloaded from, else of the page that
    // led to it; empty when neither is recorded or neither is an http, https or ftp address
    // with a valid host. The attributes of the entry itself are read, never of what a link
    // points to. Cheap: one or two getxattr calls, no open.
    static QString hostOf(const QString& path);

    // The host of an address: lower case, an international name decoded for display as
    // QUrl decodes it (only for top-level domains whose registries rule out look-alike
    // letters), without user, password, port, path, query or fragment. Empty for schemes
    // other than http, https and ftp, and for anything malformed: control characters,
    // bytes that are not UTF-8, escapes or spaces in the host, no host at all.
    static QString hostOfUrl(QByteArrayView url);
};
