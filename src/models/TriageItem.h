#pragma once

#include <QDateTime>
#include <QMimeType>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <optional>

// One queued file or folder: a snapshot of its identity, name, size, dates, content type and
// origin, taken once when the item is created and never refreshed.
class TriageItem
{
public:
    // Creating an item reads the file system on the caller's thread and never fails:
    // a missing or unreadable path gives neutral values.
    explicit TriageItem(const QUrl& url, const QUuid& id = QUuid::createUuid(),
                        std::optional<QUrl> suggestedDestination = std::nullopt,
                        std::optional<QString> suggestedFilename = std::nullopt);
    TriageItem() = default;

    QUuid id;
    QUrl url;
    QString filename;
    QString fileExtension;
    qint64 sizeBytes = 0;
    QDateTime creationDate;
    QMimeType uti;
    bool isDirectory = false;
    std::optional<QUrl> suggestedDestination;
    std::optional<QString> suggestedFilename;
    // The host the item was downloaded from, as its client recorded it in the file's
    // attributes ("files.example.org"); empty when none is known. Never the full address.
    QString originHost;

    // Folder sizes count at most this many enumerated entries.
    static constexpr int folderEnumerationLimit = 1000;
    static constexpr qint64 largeFileThreshold = 1000000000; // 10^9 bytes, not 2^30

    QString formattedSize() const;
    QString localizedKind() const;
    bool isLargeFile() const { return sizeBytes > largeFileThreshold; }

    // The local path of url, unchanged.
    QString path() const { return url.toLocalFile(); }

    bool operator==(const TriageItem& other) const;

    // The standardised path of a URL: "." and ".." segments resolved, no trailing slash.
    static QString standardizedPath(const QUrl& url);
    // Sum of regular-file sizes among the first `limit` non-hidden entries of a deep listing.
    static qint64 folderSize(const QString& path, int limit = folderEnumerationLimit);
    // Formats a byte count the way file sizes are shown everywhere (SI units).
    static QString formatByteCount(qint64 bytes);
};

size_t qHash(const TriageItem& item, size_t seed = 0);
