#include "views/SelfContainedSvg.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <zlib.h>

namespace {

bool isSvgFormat(const QByteArray& format)
{
    return format == "svg" || format == "svgz";
}

// "href" for "xlink:href" (whatever the prefix) and for "href".
QStringView localName(QStringView qualifiedName)
{
    return qualifiedName.sliced(qualifiedName.lastIndexOf(u':') + 1);
}

} // namespace

std::optional<QByteArray> SelfContainedSvg::read(QIODevice* device)
{
    const QByteArray data = device->read(maximumSize + 1);
    if (data.size() > maximumSize)
        return std::nullopt;
    return fromData(data);
}

std::optional<QByteArray> SelfContainedSvg::fromData(const QByteArray& data)
{
    QByteArray text = data;
    if (data.startsWith("\x1f\x8b")) {
        std::optional<QByteArray> inflated = inflateGzip(data);
        if (!inflated)
            return std::nullopt;
        text = std::move(*inflated);
    }

    // Without namespace processing, names and attributes come out exactly as written
    // ("xlink:href", "xmlns:xlink"), so the renderer finds the same names in the copy.
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    QByteArray out;
    out.reserve(text.size());
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            writer.writeStartDocument();
            break;
        case QXmlStreamReader::EndDocument:
            writer.writeEndDocument();
            break;
        case QXmlStreamReader::StartElement: {
            const QXmlStreamAttributes attributes = reader.attributes();
            QXmlStreamAttributes kept;
            bool dropped = false;
            for (const QXmlStreamAttribute& attribute : attributes) {
                if (localName(attribute.qualifiedName()) == QLatin1String("href") &&
                    !isSelfContainedReference(attribute.value().toString())) {
                    dropped = true;
                    continue;
                }
                kept.append(attribute.qualifiedName().toString(), attribute.value().toString());
            }
            // An image without its source draws nothing (and the renderer complains of it).
            if (dropped && localName(reader.qualifiedName()) == QLatin1String("image")) {
                reader.skipCurrentElement();
                break;
            }
            writer.writeStartElement(reader.qualifiedName().toString());
            writer.writeAttributes(kept);
            break;
        }
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA())
                writer.writeCDATA(reader.text().toString());
            else
                writer.writeCharacters(reader.text().toString());
            break;
        // The DOCTYPE declares entities (expanded by the reader where they are internal),
        // processing instructions may name a style sheet file; comments carry nothing.
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::NoToken:
        case QXmlStreamReader::Invalid:
            break;
        }
    }
    if (reader.hasError() || out.size() > maximumSize)
        return std::nullopt;
    return out;
}

bool SelfContainedSvg::isSelfContainedReference(const QString& value)
{
    // The renderer trims the value, then decodes "data..." itself and opens anything else
    // as a file; only a reference to an element of the document opens nothing.
    const QString reference = value.trimmed();
    if (reference.startsWith(u'#'))
        return true;
    if (!reference.startsWith(QLatin1String("data:")))
        return false;
    // Decoded as the renderer decodes it. An SVG inside would be rendered with none of
    // these checks, so only a raster format is let through.
    const qsizetype base64 = reference.lastIndexOf(QLatin1String("base64,"));
    if (base64 < 0)
        return false;
    QByteArray payload = QByteArray::fromBase64(reference.sliced(base64 + 7).toLatin1());
    QBuffer buffer(&payload);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    const QByteArray format = QImageReader::imageFormat(&buffer);
    return !format.isEmpty() && !isSvgFormat(format);
}

std::optional<QByteArray> SelfContainedSvg::inflateGzip(const QByteArray& compressed)
{
    z_stream stream = {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    // zlib's interface takes a non-const pointer but only reads the input.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    QByteArray out;
    int status = Z_OK;
    while (status == Z_OK) {
        const qsizetype done = out.size();
        if (done >= maximumSize)
            break;
        const qsizetype chunk = std::min<qsizetype>(256 * 1024, maximumSize + 1 - done);
        out.resize(done + chunk);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = uInt(chunk);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(done + chunk - qsizetype(stream.avail_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END || out.size() > maximumSize)
        return std::nullopt;
    return out;
}
