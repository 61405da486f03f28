#include "platform/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QVariantList>
#include <QXmlStreamReader>

namespace {

// Deeper documents are refused rather than risking the stack.
constexpr int maximumDepth = 64;

class Parser
{
public:
    explicit Parser(const QByteArray& xml) : m_reader(xml) {}

    std::optional<QVariantMap> parse()
    {
        if (!nextElement() || m_reader.name() != QLatin1String("plist"))
            return std::nullopt;
        if (!nextElement() || m_reader.name() != QLatin1String("dict"))
            return std::nullopt;
        std::optional<QVariant> root = value(0);
        if (!root)
            return std::nullopt;
        // Only the closing </plist> may follow.
        while (!m_reader.atEnd()) {
            m_reader.readNext();
            if (m_reader.isStartElement())
                return std::nullopt;
        }
        if (m_reader.hasError())
            return std::nullopt;
        return root->toMap();
    }

private:
    // Advances to the next start element; false at an end element, the end or an error.
    bool nextElement()
    {
        while (!m_reader.atEnd()) {
            m_reader.readNext();
            if (m_reader.isStartElement())
                return true;
            if (m_reader.isEndElement())
                return false;
            if (m_reader.isCharacters() && !m_reader.isWhitespace())
                return false;
        }
        return false;
    }

    // Reads the value whose start element is current, up to and including its end.
    std::optional<QVariant> value(int depth)
    {
        if (depth > maximumDepth)
            return std::nullopt;
        const QString tag = m_reader.name().toString();
        if (tag == QLatin1String("dict")) {
            QVariantMap map;
            while (nextElement()) {
                if (m_reader.name() != QLatin1String("key"))
                    return std::nullopt;
                const QString key = m_reader.readElementText();
                if (m_reader.hasError() || !nextElement())
                    return std::nullopt;
                std::optional<QVariant> entry = value(depth + 1);
                if (!entry)
                    return std::nullopt;
                map.insert(key, *entry);
            }
            if (m_reader.hasError() || !m_reader.isEndElement())
                return std::nullopt;
            return QVariant(map);
        }
        if (tag == QLatin1String("array")) {
            QVariantList list;
            while (nextElement()) {
                std::optional<QVariant> entry = value(depth + 1);
                if (!entry)
                    return std::nullopt;
                list.append(*entry);
            }
            if (m_reader.hasError() || !m_reader.isEndElement())
                return std::nullopt;
            return QVariant(list);
        }
        if (tag == QLatin1String("true") || tag == QLatin1String("false")) {
            const bool flag = tag == QLatin1String("true");
            m_reader.readElementText();
            if (m_reader.hasError())
                return std::nullopt;
            return QVariant(flag);
        }
        const QString text = m_reader.readElementText();
        if (m_reader.hasError())
            return std::nullopt;
        if (tag == QLatin1String("string"))
            return QVariant(text);
        if (tag == QLatin1String("integer")) {
            bool ok = false;
            const qint64 number = text.trimmed().toLongLong(&ok);
            return ok ? std::optional<QVariant>(QVariant(number)) : std::nullopt;
        }
        if (tag == QLatin1String("real")) {
            bool ok = false;
            const double number = text.trimmed().toDouble(&ok);
            return ok ? std::optional<QVariant>(QVariant(number)) : std::nullopt;
        }
        if (tag == QLatin1String("date")) {
            const QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODate);
            return date.isValid() ? std::optional<QVariant>(QVariant(date)) : std::nullopt;
        }
        if (tag == QLatin1String("data"))
            return QVariant(QByteArray::fromBase64(text.toLatin1()));
        return std::nullopt;
    }

    QXmlStreamReader m_reader;
};

} // namespace

std::optional<QVariantMap> PropertyList::parseDictionary(const QByteArray& xml)
{
    return Parser(xml).parse();
}

std::optional<QVariantMap> PropertyList::readDictionary(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.read(maximumSize + 1);
    if (data.size() > maximumSize)
        return std::nullopt;
    return parseDictionary(data);
}
