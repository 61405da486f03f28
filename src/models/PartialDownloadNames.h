#pragma once

#include <QString>
#include <QStringList>

// The one place that knows how download clients name work in progress. Pure name rules,
// no file-system access:
// - Chromium writes NAME.crdownload (first "Unconfirmed N.crdownload") and renames it to NAME.
// - Firefox creates RAND8.ext.part, then an empty placeholder NAME, renames its part file to
//   STEM.RAND8.ext.part (STEM.RAND8.part when NAME has no extension; on a clash NAME is for
//   example report(1).pdf), writes it and renames it over NAME. Older versions wrote NAME.part.
// - aria2 writes NAME in place beside its control file NAME.aria2, saved through
//   NAME.aria2__temp, and removes the control file when done.
// - Safari-style NAME.download bundles, NAME.tmp, uTorrent's NAME.!ut.
class PartialDownloadNames
{
public:
    // True for a name that a client uses while a download is under way (compared on the
    // lower-cased extension).
    static bool isPartial(QStringView name);
    // False when a raw file-system name (before decoding) cannot be a partial download's:
    // lets a listing skip decoding the names that do not matter.
    static bool mayBePartial(const char* rawName);

    // True for hidden names and partial downloads: never reported as downloads.
    static bool isIgnored(const QString& name);

    // The names of the finished item that the partial name partialName may stand for, most
    // likely first; empty when the name is not a partial download.
    static QStringList finalNames(const QString& partialName);

    // The names of the control files that hold back finalName whatever its size, as the
    // clients that write in place name them (in lower case).
    static QStringList controlFileNames(const QString& finalName);

    // True when a sibling named partialName shows that the item finalName of the given size is
    // still being written: a control file of an in-place download holds any size, any other
    // partial download only an empty placeholder.
    static bool holdsBack(const QString& partialName, const QString& finalName, qint64 size);

    // True when a folder's child with this name shows that the folder is still being filled.
    static bool marksBusyFolder(const QString& childName);

private:
    static QString lowerExtension(const QString& name);
};
