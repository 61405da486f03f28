#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// One release offered by an appcast feed.
struct AppcastItem
{
    QString version;        // machine version, compared with the running one
    QString displayVersion; // shown to the user; the version when the feed gives none
    QString title;
    QString notes;    // the item's description (may be HTML)
    QUrl downloadUrl; // https only (http on this machine's loopback address, for tests)

    bool operator==(const AppcastItem&) const = default;
};

// An appcast is an RSS 2.0 feed in the Sparkle dialect: each <item> names a version
// (sparkle:version, as an element or on the enclosure) and a download link (the
// enclosure's url, else <link>). Items for another OS, or without a version or a usable
// link, are passed over.
class Appcast
{
public:
    static inline const QString sparkleNamespace =
        QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");
    static constexpr qint64 maximumFeedSize = 4 * 1024 * 1024;

    // The usable items, or nothing when the text is not a well-formed RSS document.
    static std::optional<QList<AppcastItem>> parse(const QByteArray& xml,
                                                   QString* errorMessage = nullptr);

    // Negative, zero or positive as a is older than, the same as or newer than b. Numbers
    // compare numerically ("1.10" > "1.9"); a version that continues with letters is a
    // pre-release of the shorter one ("1.0b1" < "1.0"), one that continues with numbers
    // is newer ("1.0.1" > "1.0").
    static int compareVersions(const QString& a, const QString& b);

    // A feed or download address that may be used: https, or plain http only to this
    // machine's loopback address (where tests serve their feeds). Plain http elsewhere could
    // be changed on the way, and other schemes (file:, ...) would open something local.
    static bool isSecureWebUrl(const QUrl& url);

    // The newest item that is newer than currentVersion.
    static std::optional<AppcastItem> newestNewerThan(const QList<AppcastItem>& items,
                                                      const QString& currentVersion);
};
