#pragma once

#include "models/FolderChildItem.h"

#include <QHash>
#include <QImage>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class ElidedLabel;
class FolderChildListModel;
class FolderChildRowDelegate;
class LoggerService;
class QLabel;
class QListView;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;
class QuickLookHostView;
class ThumbnailStrip;

// What the preview area shows when the item is a folder: its immediate, non-hidden
// contents (sub-folders first, then files, in file-manager name order) with a one-line
// summary, a strip of image thumbnails, an in-place preview of any file with
// "Back to Folder", and buttons that reveal the folder or an entry in the file manager.
// It never changes anything on disk.
//
// The folder is listed on a worker thread so that a slow or huge folder never holds up
// the window; listingReady() fires when the listing is shown. Thumbnails of the first
// sixteen images are made afterwards, also off the GUI thread, and arrive all at once.
class FolderInspectorView : public QWidget
{
    Q_OBJECT
public:
    using RevealFunction = std::function<void(const QUrl&)>;

    static constexpr int maxThumbnails = 16;
    static constexpr int thumbnailPixelSize = 180;

    // logger: where the preview of a child opened from the listing logs what it could not
    // show.
    FolderInspectorView(const QUrl& folderURL, qint64 totalSize, LoggerService& logger,
                        QWidget* parent = nullptr);
    ~FolderInspectorView() override;

    QUrl folderURL() const { return m_folderURL; }
    qint64 totalSize() const { return m_totalSize; }

    bool isListingReady() const { return m_listingReady; }
    const QList<FolderChildItem>& items() const { return m_items; }
    const QList<FolderChildItem>& images() const { return m_images; }
    QString typeSummary() const { return m_typeSummary; }
    const QHash<QString, QImage>& thumbnails() const { return m_thumbnails; }

    // The file previewed in place; absent while the listing is shown.
    std::optional<QUrl> selectedChildURL() const { return m_selectedChildURL; }
    void selectChild(const QUrl& url);
    void backToFolder();
    QuickLookHostView* childPreview() const { return m_childPreview; }

    // Clicking a row: a folder is revealed (the inspector does not descend), a file is
    // previewed in place.
    void activateRow(int row);
    void activateThumbnail(int index);

    // Reveals a path in the file manager. Defaults to revealWithDesktopServices.
    void setRevealFunction(RevealFunction reveal);
    void reveal(const QUrl& url);
    // Opens the folder that holds `url` with the desktop's default handler.
    static void revealWithDesktopServices(const QUrl& url);

    // The header's texts, for whoever needs to read them back.
    QString countText() const;
    QString sizeText() const;

signals:
    void listingReady();
    void thumbnailsReady();
    void selectedChildURLChanged();

private:
    void applyListing(QList<FolderChildItem> items);
    void showHeaderDetails();
    QWidget* createImagesSection(QWidget* content);
    QWidget* createContentsSection(QWidget* content);
    // "Folder is empty", in place of the contents.
    QWidget* createEmptyNotice(QWidget* content);
    void startThumbnails();
    QWidget* buildHeader();
    QWidget* buildListingBody();
    void buildChildPage(const QUrl& url);

    QUrl m_folderURL;
    qint64 m_totalSize = 0;
    LoggerService& m_logger;
    bool m_listingReady = false;
    QList<FolderChildItem> m_items;
    QList<FolderChildItem> m_images;
    QString m_typeSummary;
    std::optional<QUrl> m_selectedChildURL;
    QHash<QString, QImage> m_thumbnails;
    RevealFunction m_reveal;

    // Thumbnails decoded so far, and how many are still being decoded.
    QHash<QString, QImage> m_thumbnailsComing;
    int m_thumbnailsLeft = 0;

    QStackedWidget* m_stack = nullptr;
    QWidget* m_listingPage = nullptr;
    QLabel* m_countLabel = nullptr;
    QLabel* m_sizeBullet = nullptr;
    QLabel* m_sizeLabel = nullptr;
    QLabel* m_summaryBullet = nullptr;
    ElidedLabel* m_summaryLabel = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QVBoxLayout* m_bodyLayout = nullptr;
    ThumbnailStrip* m_strip = nullptr;
    FolderChildListModel* m_model = nullptr;
    FolderChildRowDelegate* m_delegate = nullptr;
    QListView* m_list = nullptr;
    QWidget* m_childPage = nullptr;
    QuickLookHostView* m_childPreview = nullptr;
};
