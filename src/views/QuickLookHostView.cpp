#include "views/QuickLookHostView.h"

#include "models/RegularFile.h"

#include "models/TriageItem.h"
#include "platform/BackgroundTask.h"
#include "platform/CancelToken.h"
#include "services/LoggerService.h"
#include "views/ArchiveListingView.h"
#include "views/ElidedLabel.h"
#include "views/ImageCanvas.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPdfDocument>
#include <QPdfView>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <unistd.h>

namespace {

QFont sizedFont(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QString formatDate(const QDateTime& dateTime)
{
    const QLocale locale;
    return QCoreApplication::translate("QuickLookHostView", "%1 at %2")
        .arg(locale.toString(dateTime.date(), QLocale::LongFormat),
             locale.toString(dateTime.time(), QLocale::ShortFormat));
}

// Animations are decoded frame by frame on the GUI thread; very large frames would stall it,
// so those are shown as a still image only.
constexpr qint64 maxAnimatedFramePixels = 16'000'000;

} // namespace

QuickLookHostView::QuickLookHostView(const std::optional<QUrl>& fileURL, LoggerService& logger,
                                     bool isLargeFile, bool allowLargePreview, QWidget* parent)
    : QWidget(parent), m_fileURL(fileURL), m_logger(logger), m_isLargeFile(isLargeFile),
      m_allowLargePreview(allowLargePreview)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setAccessibleName(tr("Preview"));
    setAccessibleDescription(fileURL ? tr("Preview of %1").arg(fileURL->fileName())
                                     : tr("Nothing to preview"));

    m_stack = new QStackedWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);

    m_blankPage = new QWidget(m_stack);
    m_stack->addWidget(m_blankPage);
    m_canvas = new ImageCanvas(m_stack);
    m_stack->addWidget(m_canvas);
    connect(m_canvas, &ImageCanvas::clicked, this, &QuickLookHostView::togglePlayback);

    // Making the view: nothing to show without a URL, for a vanished file, or for a large
    // file the user has not allowed yet. In those cases no preview item is set.
    if (!m_fileURL || !QFileInfo::exists(m_fileURL->toLocalFile()))
        return;
    if (m_isLargeFile && !m_allowLargePreview)
        return;
    setPreviewItem(m_fileURL);
    m_currentURL = m_fileURL;
}

QuickLookHostView::~QuickLookHostView()
{
    if (m_cancel)
        m_cancel->cancel();
    // A PDF view must let go of its document before the document can go.
    if (m_pdfView)
        m_pdfView->setDocument(nullptr);
}

void QuickLookHostView::setFileURL(const std::optional<QUrl>& fileURL)
{
    m_fileURL = fileURL;
    if (m_currentURL == fileURL)
        return;
    m_currentURL = fileURL;
    if (m_isLargeFile && !m_allowLargePreview) {
        setPreviewItem(std::nullopt);
        return;
    }
    if (fileURL && QFileInfo::exists(fileURL->toLocalFile())) {
        setPreviewItem(fileURL);
        return;
    }
    setPreviewItem(std::nullopt);
}

void QuickLookHostView::setPreviewItem(const std::optional<QUrl>& url)
{
    ++m_previewItemChanges;
    ++m_generation;
    if (m_cancel)
        m_cancel->cancel();
    m_cancel.reset();
    clearPreview();
    if (!url) {
        setKind(PreviewKind::Empty);
        return;
    }

    setKind(PreviewKind::Loading);
    const quint64 generation = m_generation;
    // A result is only shown while its load is still the latest.
    m_cancel = std::make_shared<CancelToken>();
    BackgroundTask::run(
        *PreviewLoader::threadPool(),
        [path = url->toLocalFile(), size = decodeSize(), target = thread(), cancel = m_cancel] {
            return PreviewLoader::load(path, size, target, cancel.get());
        },
        this,
        [this, generation](PreviewContent content) {
            if (generation == m_generation)
                showContent(content);
        },
        [this, generation, path = url->toLocalFile()](const QString& message) {
            m_logger.error(QStringLiteral("Preview of %1 failed: %2").arg(path, message));
            if (generation != m_generation)
                return;
            PreviewContent failed;
            failed.kind = PreviewContent::Kind::Generic;
            failed.path = path;
            failed.name = QFileInfo(path).fileName();
            failed.note = tr("No preview could be made: %1").arg(message);
            showContent(failed);
        });
}

QSize QuickLookHostView::decodeSize() const
{
    // Decode big enough for the view to grow a little, small enough never to hold a
    // 24-megapixel photo at full size.
    const QSize logical = size().expandedTo(QSize(1280, 960)).boundedTo(QSize(2560, 2560));
    return logical * devicePixelRatioF();
}

void QuickLookHostView::clearPreview()
{
    if (m_movie) {
        m_movie->stop();
        m_movie->deleteLater();
        m_movie = nullptr;
    }
    m_canvas->clear();
    if (m_pdfView)
        m_pdfView->setDocument(nullptr);
    m_pdf.reset();
    if (m_textEdit)
        m_textEdit->clear();
    m_content = {};
    m_stack->setCurrentWidget(m_blankPage);
}

void QuickLookHostView::setKind(PreviewKind kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    emit previewKindChanged(kind);
}

void QuickLookHostView::showContent(PreviewContent content)
{
    m_content = std::move(content);
    if (m_content.archive.end == ArchiveListing::End::Damaged)
        m_logger.info(QStringLiteral("Archive preview of %1: read %2 entries, then stopped: %3")
                          .arg(m_content.path)
                          .arg(m_content.archive.entryCount)
                          .arg(m_content.archive.error));
    switch (m_content.kind) {
    case PreviewContent::Kind::Missing:
        m_stack->setCurrentWidget(m_blankPage);
        setKind(PreviewKind::Empty);
        return;
    case PreviewContent::Kind::Image: {
        m_canvas->setImage(m_content.image);
        const bool playable =
            m_content.animated &&
            qint64(m_content.image.width()) * m_content.image.height() <= maxAnimatedFramePixels;
        m_canvas->setPlayBadgeVisible(playable);
        m_content.animated = playable;
        m_stack->setCurrentWidget(m_canvas);
        setKind(playable ? PreviewKind::Animation : PreviewKind::Image);
        return;
    }
    case PreviewContent::Kind::Pdf:
        if (!m_pdfView) {
            m_pdfView = new QPdfView(m_stack);
            m_pdfView->setPageMode(QPdfView::PageMode::MultiPage);
            m_pdfView->setZoomMode(QPdfView::ZoomMode::FitToWidth);
            m_pdfView->setPageSpacing(12);
            m_pdfView->setDocumentMargins(QMargins(16, 16, 16, 16));
            m_pdfView->setFrameShape(QFrame::NoFrame);
            m_stack->addWidget(m_pdfView);
        }
        m_pdf = m_content.pdf;
        m_pdfView->setDocument(m_pdf.get());
        m_stack->setCurrentWidget(m_pdfView);
        setKind(PreviewKind::Pdf);
        return;
    case PreviewContent::Kind::Text:
        if (!m_textPage)
            m_textPage = buildTextPage();
        m_textEdit->setPlainText(m_content.text);
        m_textFooter->setVisible(m_content.truncated);
        m_stack->setCurrentWidget(m_textPage);
        setKind(PreviewKind::Text);
        return;
    case PreviewContent::Kind::Archive:
        if (!m_archiveView) {
            m_archiveView = new ArchiveListingView(m_stack);
            m_stack->addWidget(m_archiveView);
        }
        m_archiveView->setListing(m_content.name, m_content.kindDescription, m_content.sizeBytes,
                                  m_content.archive);
        m_stack->setCurrentWidget(m_archiveView);
        setKind(PreviewKind::Archive);
        return;
    case PreviewContent::Kind::Generic:
        showGeneric(m_content);
        return;
    }
}

QWidget* QuickLookHostView::buildTextPage()
{
    auto* page = new QWidget(m_stack);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_textEdit = new QPlainTextEdit(page);
    m_textEdit->setReadOnly(true);
    m_textEdit->setFrameShape(QFrame::NoFrame);
    m_textEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_textEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The preview shows; it never takes the keys the triage screen listens to.
    m_textEdit->setFocusPolicy(Qt::NoFocus);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(12);
    m_textEdit->setFont(mono);
    m_textEdit->document()->setDocumentMargin(12);
    layout->addWidget(m_textEdit);
    m_textFooter =
        new QLabel(tr("Showing the first %1 of this file.")
                       .arg(TriageItem::formatByteCount(PreviewLoader::textPreviewLimit)),
                   page);
    m_textFooter->setFont(sizedFont(11));
    m_textFooter->setContentsMargins(12, 6, 12, 6);
    QPalette footerPalette = m_textFooter->palette();
    footerPalette.setColor(QPalette::WindowText, Theme::secondary(palette()));
    m_textFooter->setPalette(footerPalette);
    layout->addWidget(m_textFooter);
    m_stack->addWidget(page);
    return page;
}

QWidget* QuickLookHostView::buildGenericPage()
{
    auto* page = new QWidget(m_stack);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(32, 32, 32, 32);
    layout->setSpacing(6);
    layout->addStretch(1);

    m_genericIcon = new QLabel(page);
    m_genericIcon->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_genericIcon);
    layout->addSpacing(10);

    m_genericName = new ElidedLabel({}, page);
    m_genericName->setFont(sizedFont(16, QFont::DemiBold));
    m_genericName->setElideMode(Qt::ElideMiddle);
    m_genericName->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_genericName);

    const QColor secondary = Theme::secondary(palette());
    const auto secondaryLabel = [&](int pixelSize) {
        auto* label = new QLabel(page);
        label->setFont(sizedFont(pixelSize));
        label->setAlignment(Qt::AlignCenter);
        QPalette labelPalette = label->palette();
        labelPalette.setColor(QPalette::WindowText, secondary);
        label->setPalette(labelPalette);
        layout->addWidget(label);
        return label;
    };
    m_genericKind = secondaryLabel(13);
    m_genericSize = secondaryLabel(13);
    layout->addSpacing(6);
    m_genericCreated = secondaryLabel(12);
    m_genericModified = secondaryLabel(12);
    layout->addSpacing(10);
    m_genericNote = secondaryLabel(12);
    m_genericNote->setWordWrap(true);
    layout->addStretch(1);
    m_stack->addWidget(page);
    return page;
}

void QuickLookHostView::showGeneric(const PreviewContent& content)
{
    if (!m_genericPage)
        m_genericPage = buildGenericPage();

    QIcon icon = QIcon::fromTheme(content.iconName);
    if (icon.isNull())
        icon = QIcon::fromTheme(content.genericIconName);
    const bool folder = content.iconName == QLatin1String("folder");
    if (icon.isNull()) {
        icon = folder ? SymbolIcons::icon(QStringLiteral("folder.fill"),
                                          palette().color(QPalette::Highlight))
                      : SymbolIcons::icon(QStringLiteral("doc"), Theme::secondary(palette()));
    }
    m_genericIcon->setPixmap(icon.pixmap(QSize(128, 128), devicePixelRatioF()));
    m_genericName->setText(content.name);
    m_genericKind->setText(content.kindDescription);
    m_genericSize->setText(folder ? QString() : TriageItem::formatByteCount(content.sizeBytes));
    m_genericSize->setVisible(!folder);
    m_genericCreated->setText(
        content.created.isValid() ? tr("Created %1").arg(formatDate(content.created)) : QString());
    m_genericCreated->setVisible(content.created.isValid());
    m_genericModified->setText(content.modified.isValid()
                                   ? tr("Modified %1").arg(formatDate(content.modified))
                                   : QString());
    m_genericModified->setVisible(content.modified.isValid());
    m_genericNote->setText(content.note);
    m_genericNote->setVisible(!content.note.isEmpty());
    m_stack->setCurrentWidget(m_genericPage);
    setKind(PreviewKind::Generic);
}

QString QuickLookHostView::note() const
{
    return m_kind == PreviewKind::Generic ? m_content.note : QString();
}

QString QuickLookHostView::previewText() const
{
    return m_kind == PreviewKind::Text && m_textEdit ? m_textEdit->toPlainText() : QString();
}

QImage QuickLookHostView::previewImage() const
{
    return m_canvas->image();
}

void QuickLookHostView::togglePlayback()
{
    if (m_kind != PreviewKind::Animation)
        return;
    if (!m_movie) {
        // Opened through the checked, non-blocking open: the file may have been swapped for a
        // FIFO since it was previewed, and this runs on the GUI thread.
        const int fd = RegularFile::openForReading(m_content.path);
        if (fd < 0)
            return;
        auto* file = new QFile(this);
        if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            delete file;
            return;
        }
        // Played with the decoder the preview chose, and only while the content still is of
        // that kind: a movie guesses the format from the content, and an SVG put there since
        // would be decoded here, on the GUI thread, unchecked.
        if (QImageReader::imageFormat(file) != m_content.imageFormat) {
            delete file;
            return;
        }
        file->seek(0);
        m_movie = new QMovie(file, m_content.imageFormat, this);
        file->setParent(m_movie);
        m_movie->setScaledSize(m_content.image.size());
        connect(m_movie, &QMovie::frameChanged, this,
                [this] { m_canvas->setImage(m_movie->currentImage()); });
        m_movie->start();
    } else {
        m_movie->setPaused(m_movie->state() == QMovie::Running);
    }
    m_canvas->setPlayBadgeVisible(m_movie->state() != QMovie::Running);
}

bool QuickLookHostView::isPlaying() const
{
    return m_movie && m_movie->state() == QMovie::Running;
}
