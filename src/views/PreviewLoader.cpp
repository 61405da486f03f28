#include "views/PreviewLoader.h"

#include "models/RegularFile.h"
#include "views/SelfContainedSvg.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPdfDocument>
#include <QStringDecoder>
#include <QThread>
#include <QThreadPool>

#include <cerrno>
#include <unistd.h>

namespace {

bool isTextType(const QMimeType& type)
{
    if (type.inherits(QStringLiteral("text/plain")))
        return true;
    // Source and data formats that some versions of the MIME database do not derive from
    // text/plain.
    static const QStringList textual = {
        QStringLiteral("application/json"),       QStringLiteral("application/xml"),
        QStringLiteral("application/javascript"), QStringLiteral("application/x-shellscript"),
        QStringLiteral("application/x-yaml"),     QStringLiteral("application/toml"),
        QStringLiteral("application/sql"),        QStringLiteral("application/x-desktop"),
        QStringLiteral("application/x-php"),      QStringLiteral("application/x-perl"),
        QStringLiteral("application/x-ruby"),     QStringLiteral("application/x-python"),
        QStringLiteral("application/x-subrip"),   QStringLiteral("application/x-theme"),
    };
    for (const QString& name : textual) {
        if (type.inherits(name))
            return true;
    }
    return false;
}

QString describeKind(const QMimeType& type, const QFileInfo& info)
{
    if (info.isDir())
        return QCoreApplication::translate("PreviewLoader", "Folder");
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    const QString suffix = info.suffix();
    return suffix.isEmpty()
               ? QCoreApplication::translate("PreviewLoader", "Document")
               : QCoreApplication::translate("PreviewLoader", "%1 File").arg(suffix.toUpper());
}

// The size that fits `size` within `box` keeping its aspect ratio; never enlarges.
QSize fitWithin(const QSize& size, const QSize& box)
{
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    return size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

QThreadPool* PreviewLoader::threadPool()
{
    static QThreadPool pool;
    return &pool;
}

QMimeType PreviewLoader::previewType(const QMimeDatabase& database, const QMimeType& named,
                                     QIODevice* file)
{
    const qint64 start = file->pos();
    const QMimeType signature = database.mimeTypeForData(file);
    file->seek(start);
    // Content without a signature of its own (plain text, unknown bytes, nothing) leaves the
    // type to the name; so does a name whose type refines the signature (.svgz over gzip,
    // .docx over zip).
    const QString said = signature.name();
    if (signature.isDefault() || said == QLatin1String("text/plain") ||
        said == QLatin1String("application/x-zerosize") || named.inherits(said))
        return named;
    return signature;
}

PreviewContent PreviewLoader::load(const QString& path, const QSize& fitSize, QThread* pdfThread,
                                   const CancelToken* cancel)
{
    PreviewContent content;
    content.path = path;
    const QFileInfo info(path);
    if (!info.exists())
        return content;

    static const QMimeDatabase database;
    content.kind = PreviewContent::Kind::Generic;
    content.name = info.fileName();
    content.created = info.birthTime();
    content.modified = info.lastModified();
    if (info.isDir()) {
        describe(content, database.mimeTypeForName(QStringLiteral("inode/directory")), info);
        return content;
    }
    // A FIFO, socket or device (or a link to one) is never opened: opening a FIFO blocks
    // until someone writes to it, and reading /dev/zero never ends. Its kind says enough.
    if (const QString special = RegularFile::specialTypeName(path); !special.isEmpty()) {
        describe(content, database.mimeTypeForName(special), info);
        return content;
    }
    content.sizeBytes = info.size();

    QFile file;
    const int fd = RegularFile::openForReading(path);
    const int openError = errno;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        describe(content, database.mimeTypeForFile(info, QMimeDatabase::MatchExtension), info);
        // EINVAL: it became a FIFO or device since the check above; nothing to complain of.
        if (fd >= 0 || openError != EINVAL)
            content.note =
                QCoreApplication::translate("PreviewLoader", "This file cannot be read.");
        return content;
    }
    // Everything below reads the file that was checked, through this descriptor.
    const QMimeType type = database.mimeTypeForFileNameAndData(info.fileName(), &file);
    file.seek(0);
    describe(content, type, info);

    const bool pdfByName = info.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    if (type.inherits(QStringLiteral("application/pdf")) || pdfByName) {
        loadPdf(content, fd, pdfThread);
        return content;
    }
    const QMimeType previewed = previewType(database, type, &file);
    if (ArchiveListing::listsType(previewed) && content.sizeBytes > 0) {
        if (previewed != type)
            describe(content, previewed, info);
        loadArchive(content, fd, info.fileName(), cancel);
    } else if (previewed.name().startsWith(QLatin1String("image/"))) {
        loadImage(content, &file, info.suffix().toLower().toLatin1(), fitSize);
    } else if (isTextType(type) || type.name() == QLatin1String("application/x-zerosize")) {
        loadText(content, &file);
    }
    return content;
}

void PreviewLoader::describe(PreviewContent& content, const QMimeType& type, const QFileInfo& info)
{
    content.kindDescription = describeKind(type, info);
    content.iconName = info.isDir() ? QStringLiteral("folder") : type.iconName();
    content.genericIconName = type.genericIconName();
}

void PreviewLoader::loadPdf(PreviewContent& content, int fd, QThread* pdfThread)
{
    auto document =
        std::shared_ptr<QPdfDocument>(new QPdfDocument, [](QPdfDocument* d) { d->deleteLater(); });
    const QPdfDocument::Error error = document->load(RegularFile::pinnedPath(fd, content.path));
    if (error != QPdfDocument::Error::None || document->pageCount() < 1) {
        content.note =
            QCoreApplication::translate("PreviewLoader", "This PDF could not be opened.");
        return;
    }
    // The view lays out every page from its size; asking here once lets the PDF library
    // parse the page tree on the worker rather than on the GUI thread.
    for (int page = 0; page < document->pageCount(); ++page)
        document->pagePointSize(page);
    if (pdfThread)
        document->moveToThread(pdfThread);
    content.kind = PreviewContent::Kind::Pdf;
    content.pdf = std::move(document);
}

void PreviewLoader::loadArchive(PreviewContent& content, int fd, const QString& fileName,
                                const CancelToken* cancel)
{
    content.archive = ArchiveListing::read(fd, fileName, cancel);
    const ArchiveListing& listing = content.archive;
    if (listing.end == ArchiveListing::End::Cancelled)
        return; // the preview moved on: nobody shows this
    if (listing.entries.isEmpty() && listing.end != ArchiveListing::End::Complete) {
        content.note = listing.end == ArchiveListing::End::Deadline
                           ? tr("Reading this archive took too long.")
                           : tr("The contents of this archive could not be read.");
        return;
    }
    content.kind = PreviewContent::Kind::Archive;
}

void PreviewLoader::loadImage(PreviewContent& content, QIODevice* file,
                              const QByteArray& formatHint, const QSize& fitSize)
{
    content.image = readImage(file, formatHint, fitSize, &content.animated, &content.imageFormat);
    if (content.image.isNull()) {
        content.note =
            QCoreApplication::translate("PreviewLoader", "This image could not be read.");
        return;
    }
    content.kind = PreviewContent::Kind::Image;
}

void PreviewLoader::loadText(PreviewContent& content, QIODevice* file)
{
    const QByteArray data = file->read(textPreviewLimit);
    if (looksBinary(data))
        return; // a binary file with a text name: the generic view says enough
    content.truncated = file->size() > data.size();
    content.text = decodeText(data, content.truncated);
    content.kind = PreviewContent::Kind::Text;
}

QImage PreviewLoader::readImage(QIODevice* device, const QByteArray& formatHint,
                                const QSize& fitSize, bool* animated, QByteArray* format)
{
    // The decoder is chosen here from the content (the suffix only when the content does not
    // say), never left to the reader: asked for one format, it falls back to guessing from
    // the content, and would then hand an SVG to the SVG decoder unchecked.
    const qint64 start = device->pos();
    const QByteArray detected = QImageReader::imageFormat(device);
    device->seek(start);
    const bool svg = detected.isEmpty() ? formatHint == "svg" || formatHint == "svgz"
                                        : detected == "svg" || detected == "svgz";
    if (svg) {
        // The SVG decoder opens the files an SVG names, FIFOs included, from the thread that
        // decodes: it only ever sees a copy that names none.
        std::optional<QByteArray> contained = SelfContainedSvg::read(device);
        if (!contained)
            return {};
        QBuffer buffer(&*contained);
        if (!buffer.open(QIODevice::ReadOnly))
            return {};
        if (format)
            *format = "svg";
        return decodeImage(&buffer, "svg", false, fitSize, animated);
    }
    if (format)
        *format = detected.isEmpty() ? formatHint : detected;
    return decodeImage(device, detected.isEmpty() ? formatHint : detected, detected.isEmpty(),
                       fitSize, animated);
}

QImage PreviewLoader::decodeImage(QIODevice* device, const QByteArray& format, bool autoDetect,
                                  const QSize& fitSize, bool* animated)
{
    QImageReader reader(device, format);
    reader.setAutoDetectImageFormat(autoDetect);
    reader.setAutoTransform(true);
    const QSize raw = reader.size();
    if (raw.isValid() && fitSize.isValid()) {
        // The scaled size applies before orientation: fit the stored image into the box as
        // it will be after a quarter turn.
        QSize box = fitSize;
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            box.transpose();
        const QSize target = fitWithin(raw, box);
        if (target != raw)
            reader.setScaledSize(target);
    }
    if (animated)
        *animated = reader.supportsAnimation() && reader.imageCount() > 1;
    QImage image = reader.read();
    if (!image.isNull() && !raw.isValid() && fitSize.isValid()) {
        const QSize target = fitWithin(image.size(), fitSize);
        if (target != image.size())
            image = image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

QImage PreviewLoader::thumbnail(const QString& path, int maxPixelSize)
{
    const int fd = RegularFile::openForReading(path);
    QFile file;
    if (fd < 0)
        return {};
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    static const QMimeDatabase database;
    const QString name = QFileInfo(path).fileName();
    const QMimeType type = database.mimeTypeForFileNameAndData(name, &file);
    file.seek(0);
    if (!previewType(database, type, &file).name().startsWith(QLatin1String("image/")))
        return {};
    return readImage(&file, QFileInfo(path).suffix().toLower().toLatin1(),
                     QSize(maxPixelSize, maxPixelSize), nullptr);
}

bool PreviewLoader::looksBinary(const QByteArray& data)
{
    if (data.contains('\0'))
        return true;
    qsizetype control = 0;
    for (const char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f' &&
            byte != '\v' && byte != 0x1b)
            ++control;
    }
    return data.size() > 0 && control * 20 > data.size(); // over 5 % control bytes
}

QString PreviewLoader::decodeText(const QByteArray& data, bool truncated)
{
    QByteArrayView bytes(data);
    if (truncated) {
        // Reading stopped at a byte limit: drop a multi-byte character cut in half there.
        qsizetype start = bytes.size();
        while (start > 0 && bytes.size() - start < 3 &&
               (static_cast<unsigned char>(bytes[start - 1]) & 0xC0) == 0x80)
            --start;
        if (start > 0) {
            const auto lead = static_cast<unsigned char>(bytes[start - 1]);
            const qsizetype expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (expected > bytes.size() - (start - 1))
                bytes = bytes.first(start - 1);
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}
