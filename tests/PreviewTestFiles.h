#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>

// Writers for the sample files the preview and folder-inspector tests open.
namespace PreviewTestFiles {

inline QString prepare(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(prepare(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A two-colour image; `transformation` is stored as orientation metadata where the format
// keeps it (JPEG).
inline void
writeImage(const QString& path, const QSize& size, const char* format = nullptr,
           QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), QColor(230, 160, 40));
    painter.end();
    QImageWriter writer(prepare(path), format);
    writer.setTransformation(transformation);
    if (!writer.write(image))
        qFatal("cannot write image %s: %s", qPrintable(path), qPrintable(writer.errorString()));
}

inline void writePdf(const QString& path, int pages)
{
    QPdfWriter writer(prepare(path));
    QPainter painter(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawText(QPointF(200, 400), QStringLiteral("Page %1").arg(i + 1));
    }
}

// A 2 x 2 GIF of two frames (red, then blue) that loops.
inline QByteArray animatedGif()
{
    static const char bytes[] =
        "\x47\x49\x46\x38\x39\x61\x02\x00\x02\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff\x21\xff"
        "\x0b\x4e\x45\x54\x53\x43\x41\x50\x45\x32\x2e\x30\x03\x01\x00\x00\x00\x21\xf9\x04\x00"
        "\x0a\x00\x00\x00\x2c\x00\x00\x00\x00\x02\x00\x02\x00\x00\x02\x04\x04\x41\x10\x05\x00"
        "\x21\xf9\x04\x00\x0a\x00\x00\x00\x2c\x00\x00\x00\x00\x02\x00\x02\x00\x00\x02\x04\x0c"
        "\xc3\x30\x05\x00\x3b";
    return QByteArray(bytes, sizeof(bytes) - 1);
}

} // namespace PreviewTestFiles
