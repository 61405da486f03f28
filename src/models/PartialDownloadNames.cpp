#include "models/PartialDownloadNames.h"

#include <QLatin1StringView>

#include <cstring>
#include <strings.h>

namespace {

// Extensions of downloads still in progress, lower-cased, without the dot.
constexpr QLatin1StringView partialExtensions[] = {
    QLatin1StringView("crdownload"), QLatin1StringView("part"),  QLatin1StringView("download"),
    QLatin1StringView("tmp"),        QLatin1StringView("aria2"), QLatin1StringView("aria2__temp"),
    QLatin1StringView("!ut")};

// Control files of clients that write the download in place, beside the control file.
constexpr QLatin1StringView controlExtensions[] = {QLatin1StringView("aria2"),
                                                   QLatin1StringView("aria2__temp")};

// Partial downloads that hold back the folder they were written into (aria2's control file
// and uTorrent's do not: a finished torrent or aria2 folder may keep them).
constexpr QLatin1StringView busyFolderExtensions[] = {
    QLatin1StringView("crdownload"), QLatin1StringView("part"), QLatin1StringView("download"),
    QLatin1StringView("tmp")};

template <std::size_t N> bool contains(const QLatin1StringView (&list)[N], const QString& value)
{
    for (const QLatin1StringView& entry : list) {
        if (value == entry)
            return true;
    }
    return false;
}

// Firefox's random infix: eight characters of URL-safe base64.
bool isRandomInfix(QStringView piece)
{
    if (piece.size() != 8)
        return false;
    for (const QChar c : piece) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                        (u >= '0' && u <= '9') || u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

QString PartialDownloadNames::lowerExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return {};
    return name.mid(dot + 1).toLower();
}

bool PartialDownloadNames::isPartial(QStringView name)
{
    // Called for every entry of a listing: no copy of the extension is made.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return false;
    const QStringView extension = name.mid(dot + 1);
    for (const QLatin1StringView& entry : partialExtensions) {
        if (extension.compare(entry, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool PartialDownloadNames::mayBePartial(const char* rawName)
{
    // The extensions are ASCII: a raw name whose ending matches none of them, ignoring
    // ASCII case, cannot decode to a partial download's name.
    const char* dot = std::strrchr(rawName, '.');
    if (!dot || dot == rawName || dot[1] == '\0')
        return false;
    for (const QLatin1StringView& entry : partialExtensions) {
        if (::strcasecmp(dot + 1, entry.data()) == 0)
            return true;
    }
    return false;
}

bool PartialDownloadNames::isIgnored(const QString& name)
{
    return name.startsWith(QLatin1Char('.')) || isPartial(name);
}

QStringList PartialDownloadNames::finalNames(const QString& partialName)
{
    const QString extension = lowerExtension(partialName);
    if (!contains(partialExtensions, extension))
        return {};
    const QString base = partialName.left(partialName.size() - extension.size() - 1);
    QStringList names;
    if (!base.isEmpty() && !base.startsWith(QLatin1Char('.')))
        names.append(base);
    if (extension != QLatin1String("part"))
        return names;
    // Firefox: STEM.RAND8.ext or STEM.RAND8 before ".part" stands for STEM.ext or STEM.
    const QStringList pieces = base.split(QLatin1Char('.'));
    for (qsizetype i = pieces.size() - 1; i >= 1 && i >= pieces.size() - 2; --i) {
        if (!isRandomInfix(pieces.at(i)))
            continue;
        QStringList rest = pieces;
        rest.removeAt(i);
        const QString name = rest.join(QLatin1Char('.'));
        if (!name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !names.contains(name))
            names.append(name);
    }
    return names;
}

QStringList PartialDownloadNames::controlFileNames(const QString& finalName)
{
    QStringList names;
    for (const QLatin1StringView& extension : controlExtensions)
        names.append(finalName + QLatin1Char('.') + extension);
    return names;
}

bool PartialDownloadNames::holdsBack(const QString& partialName, const QString& finalName,
                                     qint64 size)
{
    if (size != 0 && !contains(controlExtensions, lowerExtension(partialName)))
        return false;
    return finalNames(partialName).contains(finalName);
}

bool PartialDownloadNames::marksBusyFolder(const QString& childName)
{
    return contains(busyFolderExtensions, lowerExtension(childName));
}
