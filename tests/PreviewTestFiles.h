#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <zlib.h>

// Writers for the sample files the preview and folder-inspector tests open.
namespace PreviewTestFiles {

// A gzip file of `data`, its header naming `name` when one is given.
inline QByteArray gzipped(const QByteArray& data, const QByteArray& name = {})
{
    z_stream stream = {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    gz_header header = {};
    QByteArray storedName = name;
    if (!name.isEmpty()) {
        header.name = reinterpret_cast<Bytef*>(storedName.data());
        deflateSetHeader(&stream, &header);
    }
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))) + 64 + name.size(), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

inline QString prepare(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
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

// Files that are not regular, as another program or user can leave them in Downloads: a
// FIFO (opening it blocks until someone writes), a listening-less socket and a link to
// /dev/zero (reading never ends). Names with image and text suffixes invite a look inside.
// Returns the names made.
inline QStringList makeSpecialFiles(const QString& folder)
{
    QDir().mkpath(folder);
    const auto native = [&](const char* name) { return QFile::encodeName(folder + '/' + name); };
    if (::mkfifo(native("pipe.png").constData(), 0644) != 0 ||
        ::mkfifo(native("pipe.pdf").constData(), 0644) != 0)
        qFatal("cannot make FIFOs in %s", qPrintable(folder));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = native("socket.txt");
    if (fd < 0 || socketName.size() >= qsizetype(sizeof address.sun_path))
        qFatal("cannot make a socket in %s", qPrintable(folder));
    std::memcpy(address.sun_path, socketName.constData(), std::size_t(socketName.size()));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        qFatal("cannot bind a socket in %s", qPrintable(folder));
    ::close(fd);
    if (!QFile::link(QStringLiteral("/dev/zero"), folder + QStringLiteral("/zero.jpg")))
        qFatal("cannot link /dev/zero into %s", qPrintable(folder));
    return {QStringLiteral("pipe.png"), QStringLiteral("pipe.pdf"), QStringLiteral("socket.txt"),
            QStringLiteral("zero.jpg")};
}

} // namespace PreviewTestFiles
