#pragma once

#include "platform/ArchiveListing.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class CancelToken;
class QFileInfo;
class QIODevice;
class QMimeDatabase;
class QMimeType;
class QPdfDocument;
class QThreadPool;

// What the preview host shows for one file, prepared away from the GUI thread.
struct PreviewContent
{
    enum class Kind {
        Missing, // nothing at the path (deleted, moved away, or a name the system cannot map)
        Image,   // a still image or the first frame of an animation
        Pdf,     // a loaded PDF document
        Text,    // the first part of a text or source file
        Archive, // the listing of an archive or compressed file
        Generic, // anything else: type icon with name, kind, size and dates
    };

    Kind kind = Kind::Missing;
    QString path;

    // Facts shown by the generic view (filled for every kind but Missing).
    QString name;
    QString kindDescription;
    QString iconName;
    QString genericIconName;
    qint64 sizeBytes = 0;
    QDateTime created;
    QDateTime modified;
    // A calm one-line note when a preview was expected but could not be made.
    QString note;

    QImage image;
    QByteArray imageFormat; // the decoder the image was read with ("png", "gif", "svg", ...)
    bool animated = false;  // more than one frame: the host offers to play it

    QString text;
    bool truncated = false; // the file is longer than what was read

    ArchiveListing archive;

    // Loaded on the worker and handed to the GUI thread; deleted there with deleteLater().
    std::shared_ptr<QPdfDocument> pdf;
};

// Classifies a file and prepares its preview. Every function here blocks on the disk and
// is meant to run on a worker thread.
class PreviewLoader
{
    Q_DECLARE_TR_FUNCTIONS(PreviewLoader)

public:
    // The pool that preview and thumbnail work runs on. It is not the global pool: Qt's
    // raster paint engine spreads large fills over the global pool and waits for them on
    // the GUI thread, so decoding there would stall every repaint until the pool is free.
    static QThreadPool* threadPool();

    // Text and source files are read up to this many bytes.
    static constexpr qint64 textPreviewLimit = 512 * 1024;

    // Prepares the preview of `path`. Images are decoded to fit within `fitSize` (device
    // pixels, orientation applied); a PDF is loaded and moved to `pdfThread` (the GUI
    // thread), so that the caller only has to show it; an archive is listed (bounded in
    // entries and time) until `cancel`, when given, is cancelled.
    //
    // Only files whose type is an image type go to an image decoder. The type is the one
    // the name gives, refined by the content; when the content's own signature disagrees
    // (a gzip file named .png), the signature decides. Qt's image plugins are not asked
    // whether the content is an image: the SVG plugin claims every gzip file as SVG.
    static PreviewContent load(const QString& path, const QSize& fitSize, QThread* pdfThread,
                               const CancelToken* cancel = nullptr);

    // A thumbnail whose longer side is at most `maxPixelSize`, decoded at reduced size where
    // the format allows it, orientation applied. Null when the file is not a readable image.
    static QImage thumbnail(const QString& path, int maxPixelSize);

    // True when the bytes look like binary data rather than text (NUL bytes or many
    // control characters).
    static bool looksBinary(const QByteArray& data);

    // Decodes text as UTF-8, or as Latin-1 when it is not valid UTF-8. When `truncated`,
    // the data was cut at a byte limit and a partial character at its end is dropped.
    static QString decodeText(const QByteArray& data, bool truncated);

private:
    // The kind, icon and generic icon the generic view shows for a file of this type.
    static void describe(PreviewContent& content, const QMimeType& type, const QFileInfo& info);
    // Each fills content from the open file `fd` (or `file`) when it can, else leaves the
    // generic view with a note saying what could not be read.
    static void loadPdf(PreviewContent& content, int fd, QThread* pdfThread);
    static void loadArchive(PreviewContent& content, int fd, const QString& fileName,
                            const CancelToken* cancel);
    static void loadImage(PreviewContent& content, QIODevice* file, const QByteArray& formatHint,
                          const QSize& fitSize);
    static void loadText(PreviewContent& content, QIODevice* file);

    // The type a file open as `file` is previewed as (see load()); `named` is the type from
    // its name and content together.
    static QMimeType previewType(const QMimeDatabase& database, const QMimeType& named,
                                 QIODevice* file);

    // formatHint: the file's lower-case suffix, used when the content does not say. An SVG
    // is read whole and rendered from a copy that names no file (SelfContainedSvg).
    static QImage readImage(QIODevice* device, const QByteArray& formatHint, const QSize& fitSize,
                            bool* animated, QByteArray* format = nullptr);
    static QImage decodeImage(QIODevice* device, const QByteArray& format, bool autoDetect,
                              const QSize& fitSize, bool* animated);
};
