#pragma once

#include <QByteArray>

#include <optional>

class QIODevice;

// SVG documents cut down to what they hold themselves, for the preview. Qt's SVG renderer
// loads whatever file an <image> names (a FIFO there blocks the loading thread for ever, and
// any other file of the user's is read), reads the style sheet an xml-stylesheet instruction
// names, and decodes an SVG embedded as a data: image without looking inside it. What this
// class returns names no file: the renderer has nothing to open.
class SelfContainedSvg
{
public:
    // Documents (compressed or not) larger than this are not previewed.
    static constexpr qint64 maximumSize = 32 * 1024 * 1024;

    // Reads an SVG or gzip-compressed SVG (.svgz) from device, which must already be open on
    // the checked regular file, and returns it as plain SVG text in which:
    //   - every href (xlink:href or plain) is kept only when it points inside the document
    //     ("#id") or is a data: URI holding a raster image (not another SVG);
    //   - the DOCTYPE (with its entity declarations) and processing instructions are gone;
    //     internal entities are expanded, external ones are never resolved.
    // Nothing when the data is not well-formed XML or is too large.
    static std::optional<QByteArray> read(QIODevice* device);

    // The same for bytes already in memory.
    static std::optional<QByteArray> fromData(const QByteArray& data);

private:
    static std::optional<QByteArray> inflateGzip(const QByteArray& compressed);
    static bool isSelfContainedReference(const QString& value);
};
