#include "platform/PropertyListReader.h"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>

namespace {

class Parser
{
public:
    explicit Parser(const QByteArray& data) : m_reader(data) {}

    std::optional<QVariant> run()
    {
        if (!m_reader.readNextStartElement())
            return fail(QStringLiteral("no root element"));
        if (m_reader.name() != QLatin1String("plist"))
            return fail(QStringLiteral("root element is not <plist>"));
        if (!m_reader.readNextStartElement())
            return fail(QStringLiteral("empty <plist>"));
        QVariant root;
        if (!readValue(root, 1))
            return std::nullopt;
        if (m_reader.readNextStartElement())
            return fail(QStringLiteral("more than one value in <plist>"));
        // Anything after </plist> that is not whitespace or a comment is an error too.
        while (!m_reader.atEnd())
            m_reader.readNext();
        if (m_reader.hasError())
            return fail(m_reader.errorString());
        return root;
    }

    QString error() const { return m_error; }

private:
    std::nullopt_t fail(const QString& message)
    {
        if (m_error.isEmpty()) {
            m_error = m_reader.hasError() ? m_reader.errorString() : message;
            if (m_reader.lineNumber() > 0)
                m_error += QStringLiteral(" (line %1)").arg(m_reader.lineNumber());
        }
        return std::nullopt;
    }

    bool failed(const QString& message)
    {
        fail(message);
        return false;
    }

    // The reader stands on the start element of a value; on success it stands on its end.
    bool readValue(QVariant& out, int depth)
    {
        if (depth > PropertyListReader::maximumDepth)
            return failed(QStringLiteral("nesting too deep"));
        const QStringView name = m_reader.name();
        if (name == QLatin1String("dict"))
            return readDict(out, depth);
        if (name == QLatin1String("array"))
            return readArray(out, depth);

        const QString elementName = name.toString();
        const QString text = m_reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (m_reader.hasError())
            return failed({});
        if (elementName == QLatin1String("string")) {
            out = text;
        } else if (elementName == QLatin1String("integer")) {
            bool ok = false;
            const qint64 value = text.trimmed().toLongLong(&ok, 10);
            if (!ok)
                return failed(QStringLiteral("bad <integer> \"%1\"").arg(text));
            out = value;
        } else if (elementName == QLatin1String("real")) {
            bool ok = false;
            const double value = text.trimmed().toDouble(&ok);
            if (!ok)
                return failed(QStringLiteral("bad <real> \"%1\"").arg(text));
            out = value;
        } else if (elementName == QLatin1String("true") || elementName == QLatin1String("false")) {
            if (!text.trimmed().isEmpty())
                return failed(QStringLiteral("<%1> has content").arg(elementName));
            out = elementName == QLatin1String("true");
        } else if (elementName == QLatin1String("date")) {
            QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODate);
            if (!date.isValid())
                return failed(QStringLiteral("bad <date> \"%1\"").arg(text));
            out = date.toUTC();
        } else if (elementName == QLatin1String("data")) {
            const auto decoded = QByteArray::fromBase64Encoding(
                text.simplified().remove(QLatin1Char(' ')).toLatin1());
            if (!decoded)
                return failed(QStringLiteral("bad <data>"));
            out = decoded.decoded;
        } else {
            return failed(QStringLiteral("unknown element <%1>").arg(elementName));
        }
        return true;
    }

    bool readDict(QVariant& out, int depth)
    {
        QVariantMap map;
        while (m_reader.readNextStartElement()) {
            if (m_reader.name() != QLatin1String("key"))
                return failed(QStringLiteral("<dict> entry without <key>"));
            const QString key =
                m_reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (m_reader.hasError())
                return failed({});
            if (!m_reader.readNextStartElement())
                return failed(QStringLiteral("<key> %1 has no value").arg(key));
            QVariant value;
            if (!readValue(value, depth + 1))
                return false;
            map.insert(key, value);
        }
        if (m_reader.hasError())
            return failed({});
        out = map;
        return true;
    }

    bool readArray(QVariant& out, int depth)
    {
        QVariantList list;
        while (m_reader.readNextStartElement()) {
            QVariant value;
            if (!readValue(value, depth + 1))
                return false;
            list.append(value);
        }
        if (m_reader.hasError())
            return failed({});
        out = list;
        return true;
    }

    QXmlStreamReader m_reader;
    QString m_error;
};

} // namespace

std::optional<QVariant> PropertyListReader::parse(const QByteArray& data, QString* errorMessage)
{
    Parser parser(data);
    std::optional<QVariant> result = parser.run();
    if (!result && errorMessage)
        *errorMessage = parser.error();
    return result;
}

std::optional<QVariantMap> PropertyListReader::readDictionary(const QString& path,
                                                              QString* errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = file.errorString();
        return std::nullopt;
    }
    if (file.size() > maximumFileSize) {
        if (errorMessage)
            *errorMessage = QStringLiteral("file too large");
        return std::nullopt;
    }
    // Read at most one byte past the limit: a file that grows while read is refused too.
    const QByteArray data = file.read(maximumFileSize + 1);
    if (data.size() > maximumFileSize) {
        if (errorMessage)
            *errorMessage = QStringLiteral("file too large");
        return std::nullopt;
    }
    const std::optional<QVariant> root = parse(data, errorMessage);
    if (!root)
        return std::nullopt;
    if (root->typeId() != QMetaType::QVariantMap) {
        if (errorMessage)
            *errorMessage = QStringLiteral("root value is not a dictionary");
        return std::nullopt;
    }
    return root->toMap();
}
