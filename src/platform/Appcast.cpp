#include "platform/Appcast.h"

#include <QHostAddress>
#include <QXmlStreamReader>

namespace {

struct VersionPart
{
    bool numeric = false;
    QString text;
};

QList<VersionPart> splitVersion(const QString& version)
{
    QList<VersionPart> parts;
    for (QChar c : version) {
        const bool digit = c.isDigit();
        const bool letter = c.isLetter();
        if (!digit && !letter) { // ".", "-", "_", spaces separate parts
            parts.append(VersionPart{});
            continue;
        }
        if (parts.isEmpty() || parts.last().text.isEmpty() || parts.last().numeric != digit)
            parts.append(VersionPart{digit, {}});
        parts.last().text += c;
    }
    parts.removeIf([](const VersionPart& part) { return part.text.isEmpty(); });
    return parts;
}

int compareNumbers(QString a, QString b)
{
    // Digit strings of any length: drop leading zeros, then the longer is larger.
    while (a.size() > 1 && a.startsWith(QLatin1Char('0')))
        a.remove(0, 1);
    while (b.size() > 1 && b.startsWith(QLatin1Char('0')))
        b.remove(0, 1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

// An <item> being read: the item, and what its enclosure and link say, which count only
// where the item's own elements say nothing.
struct ItemReading
{
    AppcastItem item;
    QString enclosureVersion;
    QString enclosureShortVersion;
    QUrl link;
    bool otherOS = false; // the enclosure is for another system

    // Takes in the element the reader stands on, inside the item.
    void readElement(QXmlStreamReader& reader)
    {
        const QStringView name = reader.name();
        const bool sparkle = reader.namespaceUri() == Appcast::sparkleNamespace;
        if (sparkle && name == QLatin1String("version")) {
            item.version = reader.readElementText().trimmed();
        } else if (sparkle && name == QLatin1String("shortVersionString")) {
            item.displayVersion = reader.readElementText().trimmed();
        } else if (!sparkle && name == QLatin1String("title")) {
            item.title = reader.readElementText().trimmed();
        } else if (!sparkle && name == QLatin1String("description")) {
            item.notes = reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (!sparkle && name == QLatin1String("link")) {
            link = QUrl(reader.readElementText().trimmed());
        } else if (!sparkle && name == QLatin1String("enclosure")) {
            readEnclosure(reader.attributes());
        }
    }

    void readEnclosure(const QXmlStreamAttributes& attributes)
    {
        const QString& sparkleNamespace = Appcast::sparkleNamespace;
        item.downloadUrl = QUrl(attributes.value(QLatin1String("url")).toString());
        enclosureVersion = attributes.value(sparkleNamespace, QLatin1String("version")).toString();
        enclosureShortVersion =
            attributes.value(sparkleNamespace, QLatin1String("shortVersionString")).toString();
        const QString os =
            attributes.value(sparkleNamespace, QLatin1String("os")).toString().trimmed();
        otherOS = !os.isEmpty() && os.compare(QLatin1String("linux"), Qt::CaseInsensitive) != 0;
    }

    // The item as offered, once its end is read; none when it is not for this system or
    // lacks a version or a web link.
    std::optional<AppcastItem> finish() const
    {
        AppcastItem offered = item;
        if (offered.version.isEmpty())
            offered.version = enclosureVersion.trimmed();
        if (offered.displayVersion.isEmpty())
            offered.displayVersion = enclosureShortVersion.trimmed();
        if (offered.displayVersion.isEmpty())
            offered.displayVersion = offered.version;
        // Only web links are opened: a feed must not make us launch local files or other
        // handlers.
        if (!Appcast::isSecureWebUrl(offered.downloadUrl))
            offered.downloadUrl = link;
        if (otherOS || offered.version.isEmpty() || !Appcast::isSecureWebUrl(offered.downloadUrl))
            return std::nullopt;
        return offered;
    }
};

} // namespace

bool Appcast::isSecureWebUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    if (url.scheme() != QLatin1String("http"))
        return false;
    const QString host = url.host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}

int Appcast::compareVersions(const QString& a, const QString& b)
{
    const QList<VersionPart> left = splitVersion(a);
    const QList<VersionPart> right = splitVersion(b);
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const VersionPart& l = left.at(i);
        const VersionPart& r = right.at(i);
        if (l.numeric && r.numeric) {
            if (const int c = compareNumbers(l.text, r.text))
                return c;
        } else if (l.numeric != r.numeric) {
            return l.numeric ? 1 : -1; // "1.0.1" is newer than "1.0b1"
        } else if (const int c = l.text.compare(r.text, Qt::CaseInsensitive)) {
            return c < 0 ? -1 : 1;
        }
    }
    if (left.size() == right.size())
        return 0;
    // The longer one continues: with a number it is newer, with letters a pre-release.
    if (left.size() > right.size())
        return left.at(common).numeric ? 1 : -1;
    return right.at(common).numeric ? -1 : 1;
}

std::optional<AppcastItem> Appcast::newestNewerThan(const QList<AppcastItem>& items,
                                                    const QString& currentVersion)
{
    std::optional<AppcastItem> best;
    for (const AppcastItem& item : items) {
        if (compareVersions(item.version, currentVersion) <= 0)
            continue;
        if (!best || compareVersions(item.version, best->version) > 0)
            best = item;
    }
    return best;
}

std::optional<QList<AppcastItem>> Appcast::parse(const QByteArray& xml, QString* errorMessage)
{
    const auto fail = [&](const QString& message) -> std::optional<QList<AppcastItem>> {
        if (errorMessage)
            *errorMessage = message;
        return std::nullopt;
    };
    if (xml.size() > maximumFeedSize)
        return fail(QStringLiteral("the feed is too large"));

    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement())
        return fail(reader.hasError() ? reader.errorString() : QStringLiteral("the feed is empty"));
    if (reader.name() != QLatin1String("rss"))
        return fail(QStringLiteral("the feed is not an RSS document"));

    QList<AppcastItem> items;
    std::optional<ItemReading> current;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (current)
                current->readElement(reader);
            else if (reader.name() == QLatin1String("item") &&
                     reader.namespaceUri() != sparkleNamespace)
                current = ItemReading{};
        } else if (reader.isEndElement() && current && reader.name() == QLatin1String("item") &&
                   reader.namespaceUri().isEmpty()) {
            if (const std::optional<AppcastItem> item = current->finish())
                items.append(*item);
            current.reset();
        }
    }
    if (reader.hasError())
        return fail(
            QStringLiteral("%1 (line %2)").arg(reader.errorString()).arg(reader.lineNumber()));
    return items;
}
