#include "models/DownloadOrigin.h"

#include <QFile>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>
#include <vector>

namespace {

// The host recorded in one attribute of the entry at path, read into a local buffer that is
// wiped before the host is returned.
QString hostOfAttribute(const QByteArray& path, const char* name)
{
    // Most addresses fit on the stack; a longer one is read once more at its own size.
    char small[2048];
    ssize_t n = ::lgetxattr(path.constData(), name, small, sizeof small);
    if (n >= 0) {
        QString host = DownloadOrigin::hostOfUrl(QByteArrayView(small, n));
        ::explicit_bzero(small, sizeof small);
        return host;
    }
    if (errno != ERANGE)
        return {}; // none recorded, or a file system without attributes
    const ssize_t size = ::lgetxattr(path.constData(), name, nullptr, 0);
    if (size <= 0 || size_t(size) > DownloadOrigin::maxValueSize)
        return {};
    std::vector<char> large(static_cast<size_t>(size));
    n = ::lgetxattr(path.constData(), name, large.data(), large.size());
    // A value that grew in between fails with ERANGE again: no host.
    QString host = n >= 0 ? DownloadOrigin::hostOfUrl(QByteArrayView(large.data(), n)) : QString();
    ::explicit_bzero(large.data(), large.size());
    return host;
}

bool isScheme(QByteArrayView scheme, QByteArrayView name)
{
    return qstrnicmp(scheme.data(), scheme.size(), name.data(), name.size()) == 0;
}

} // namespace

QString DownloadOrigin::hostOf(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QByteArray name = QFile::encodeName(path);
    const QString origin = hostOfAttribute(name, originAttribute);
    return origin.isEmpty() ? hostOfAttribute(name, referrerAttribute) : origin;
}

QString DownloadOrigin::hostOfUrl(QByteArrayView url)
{
    // Some writers count the string's terminating NUL in the value.
    while (!url.isEmpty() && url.back() == '\0')
        url.chop(1);
    const qsizetype colon = url.indexOf(':');
    if (colon <= 0)
        return {};
    const QByteArrayView scheme = url.first(colon);
    if (!isScheme(scheme, "http") && !isScheme(scheme, "https") && !isScheme(scheme, "ftp"))
        return {};
    QByteArrayView rest = url.sliced(colon + 1);
    if (!rest.startsWith("//"))
        return {};
    rest = rest.sliced(2);

    // The authority ends where the path, query or fragment starts (a backslash counts as a
    // slash, as browsers read it); a user and password before "@" are dropped.
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != '/' && rest[end] != '?' && rest[end] != '#' &&
           rest[end] != '\\')
        ++end;
    QByteArrayView authority = rest.first(end);
    if (const qsizetype at = authority.lastIndexOf('@'); at >= 0)
        authority = authority.sliced(at + 1);
    // A host name has at most 253 characters; with a port and an IPv6 literal's brackets
    // the authority stays well under this.
    if (authority.isEmpty() || authority.size() > 320)
        return {};
    for (const char c : authority) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7f || c == '%')
            return {};
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(authority);
    if (decoder.hasError())
        return {};

    // Only the host and port go through QUrl, which checks the host (labels, IDNA, IP
    // literals), lower-cases it and decodes it for display.
    QUrl parsed;
    parsed.setScheme(QStringLiteral("http"));
    parsed.setAuthority(text, QUrl::StrictMode);
    if (!parsed.isValid())
        return {};
    return parsed.host();
}
