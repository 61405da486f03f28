#pragma once

#include "views/PreviewLoader.h"

#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>

class ArchiveListingView;
class CancelToken;
class ElidedLabel;
class ImageCanvas;
class LoggerService;
class QLabel;
class QMovie;
class QPdfDocument;
class QPdfView;
class QPlainTextEdit;
class QStackedWidget;

// The preview of one file: images, animations (first frame, played on click), PDF pages,
// text and source code, the listing of an archive, and for anything else a large type icon with
// name, kind, size and dates. Files are classified and decoded off the GUI thread; a result that
// arrives after the host has moved on to another file is dropped.
//
// Once made, the host only reloads when it is given a different URL: redraws that hand it
// the same URL do no work. Large files are not loaded until the user allowed them; the
// screen around the host shows its notice meanwhile and builds a fresh host afterwards.
class QuickLookHostView : public QWidget
{
    Q_OBJECT
public:
    enum class PreviewKind { Empty, Loading, Image, Animation, Pdf, Text, Archive, Generic };
    Q_ENUM(PreviewKind)

    // Previews that fail, and archives that are cut short, are logged to logger.
    QuickLookHostView(const std::optional<QUrl>& fileURL, LoggerService& logger,
                      bool isLargeFile = false, bool allowLargePreview = false,
                      QWidget* parent = nullptr);
    ~QuickLookHostView() override;

    // Hands the host a (possibly new) URL, as a redraw does. The same URL as last time
    // returns at once; a different one replaces the preview, or clears it when the URL is
    // absent, no longer exists, or is a large file not yet allowed.
    void setFileURL(const std::optional<QUrl>& fileURL);

    std::optional<QUrl> fileURL() const { return m_fileURL; }
    bool isLargeFile() const { return m_isLargeFile; }
    bool allowLargePreview() const { return m_allowLargePreview; }

    // The URL last handed to the preview; absent until a preview was set.
    std::optional<QUrl> currentURL() const { return m_currentURL; }
    // How many times the preview item was set (to a file or to nothing).
    int previewItemChangeCount() const { return m_previewItemChanges; }

    PreviewKind previewKind() const { return m_kind; }
    // The note shown under the generic view when a preview could not be made ("" if none).
    QString note() const;
    QString previewText() const;
    QImage previewImage() const;
    QPdfDocument* pdfDocument() const { return m_pdf.get(); }
    // The archive listing page; null until an archive was shown.
    ArchiveListingView* archiveView() const { return m_archiveView; }

    // Starts or pauses an animation; does nothing for other previews.
    void togglePlayback();
    bool isPlaying() const;

signals:
    // The preview finished loading (or was cleared) and shows `kind` now.
    void previewKindChanged(QuickLookHostView::PreviewKind kind);

private:
    void setPreviewItem(const std::optional<QUrl>& url);
    void showContent(PreviewContent content);
    void showGeneric(const PreviewContent& content);
    void setKind(PreviewKind kind);
    void clearPreview();
    QSize decodeSize() const;

    QWidget* buildGenericPage();
    QWidget* buildTextPage();

    std::optional<QUrl> m_fileURL;
    LoggerService& m_logger;
    bool m_isLargeFile = false;
    bool m_allowLargePreview = false;
    std::optional<QUrl> m_currentURL;
    int m_previewItemChanges = 0;
    PreviewKind m_kind = PreviewKind::Empty;

    quint64 m_generation = 0;
    // Cancels the load under way (an archive listing stops at once) when the host moves on.
    std::shared_ptr<CancelToken> m_cancel;
    PreviewContent m_content;
    std::shared_ptr<QPdfDocument> m_pdf;
    QMovie* m_movie = nullptr;

    QStackedWidget* m_stack = nullptr;
    QWidget* m_blankPage = nullptr;
    ImageCanvas* m_canvas = nullptr;
    QPdfView* m_pdfView = nullptr;
    QWidget* m_textPage = nullptr;
    QPlainTextEdit* m_textEdit = nullptr;
    QLabel* m_textFooter = nullptr;
    ArchiveListingView* m_archiveView = nullptr;
    QWidget* m_genericPage = nullptr;
    QLabel* m_genericIcon = nullptr;
    ElidedLabel* m_genericName = nullptr;
    QLabel* m_genericKind = nullptr;
    QLabel* m_genericSize = nullptr;
    QLabel* m_genericCreated = nullptr;
    QLabel* m_genericModified = nullptr;
    QLabel* m_genericNote = nullptr;
};
