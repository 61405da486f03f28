#include "views/FolderInspectorView.h"

#include "models/FolderListing.h"
#include "models/TriageItem.h"
#include "platform/BackgroundTask.h"
#include "views/ElidedLabel.h"
#include "views/FolderChildListModel.h"
#include "views/FolderChildRowDelegate.h"
#include "views/PreviewLoader.h"
#include "views/QuickLookHostView.h"
#include "views/RoundedPanel.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"
#include "views/ThumbnailStrip.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel* makeLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
    return label;
}

// A section caption: small, bold, slightly tracked capitals.
QLabel* makeCaption(const QString& text, const QColor& color, QWidget* parent)
{
    QFont font = Theme::font(10, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    return makeLabel(text, font, color, parent);
}

QWidget* makeDivider(QWidget* parent)
{
    auto* line = new QWidget(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    QColor color = pal.color(QPalette::WindowText);
    color.setAlphaF(0.12f);
    pal.setColor(QPalette::Window, color);
    line->setPalette(pal);
    return line;
}

// Fills a widget with the palette's base colour at the given opacity.
void tintBackground(QWidget* widget, qreal opacity)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    QColor color = pal.color(QPalette::Base);
    color.setAlphaF(float(opacity));
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
}

QPushButton* makeSmallButton(const QString& symbol, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(SymbolIcons::icon(symbol), text, parent);
    button->setFont(Theme::font(11, QFont::Medium));
    button->setIconSize(QSize(12, 12));
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

std::pair<QString, QImage> makeThumbnail(const FolderChildItem& item)
{
    return {item.id, PreviewLoader::thumbnail(item.url.toLocalFile(),
                                              FolderInspectorView::thumbnailPixelSize)};
}

} // namespace

FolderInspectorView::FolderInspectorView(const QUrl& folderURL, qint64 totalSize,
                                         LoggerService& logger, QWidget* parent)
    : QWidget(parent), m_folderURL(folderURL), m_totalSize(totalSize), m_logger(logger),
      m_reveal(&FolderInspectorView::revealWithDesktopServices)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    m_stack = new QStackedWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);

    m_listingPage = new QWidget(m_stack);
    auto* pageLayout = new QVBoxLayout(m_listingPage);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(buildHeader());
    pageLayout->addWidget(makeDivider(m_listingPage));
    pageLayout->addWidget(buildListingBody(), 1);
    m_stack->addWidget(m_listingPage);

    BackgroundTask::run(
        *PreviewLoader::threadPool(), [url = m_folderURL] { return FolderListing::list(url); },
        this, [this](QList<FolderChildItem> listing) { applyListing(listing); });
}

FolderInspectorView::~FolderInspectorView() = default;

QWidget* FolderInspectorView::buildHeader()
{
    auto* header = new QWidget(m_listingPage);
    tintBackground(header, 0.5);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 12, 16, 12);
    row->setSpacing(12);

    const QPalette pal = palette();
    const QColor secondary = Theme::secondary(pal);
    auto* icon = new QLabel(header);
    icon->setPixmap(SymbolIcons::pixmap(QStringLiteral("folder.fill"), 28,
                                        pal.color(QPalette::Highlight), devicePixelRatioF()));
    row->addWidget(icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* name = new ElidedLabel(QFileInfo(m_folderURL.toLocalFile()).fileName(), header);
    name->setObjectName(QStringLiteral("folderName"));
    name->setFont(Theme::font(15, QFont::Bold));
    name->setElideMode(Qt::ElideMiddle);
    texts->addWidget(name);

    auto* details = new QHBoxLayout;
    details->setSpacing(6);
    m_countLabel =
        makeLabel({}, Theme::font(11, QFont::DemiBold), pal.color(QPalette::WindowText), header);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    m_sizeBullet = makeLabel(QStringLiteral("•"), Theme::font(11), secondary, header);
    m_sizeLabel = makeLabel({}, Theme::font(11), secondary, header);
    m_sizeLabel->setObjectName(QStringLiteral("sizeLabel"));
    m_summaryBullet = makeLabel(QStringLiteral("•"), Theme::font(11), secondary, header);
    m_summaryLabel = new ElidedLabel({}, header);
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    m_summaryLabel->setFont(Theme::font(11));
    m_summaryLabel->setColor(secondary);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_countLabel), static_cast<QWidget*>(m_sizeBullet),
          static_cast<QWidget*>(m_sizeLabel), static_cast<QWidget*>(m_summaryBullet),
          static_cast<QWidget*>(m_summaryLabel)}) {
        widget->setVisible(false); // until the listing is in
        details->addWidget(widget);
    }
    details->addStretch(1);
    texts->addLayout(details);
    row->addLayout(texts, 1);

    auto* revealButton =
        makeSmallButton(QStringLiteral("arrow.up.right.square"), tr("File Manager"), header);
    revealButton->setObjectName(QStringLiteral("revealFolderButton"));
    revealButton->setToolTip(tr("Reveal folder in File Manager (Ctrl+O)"));
    revealButton->setAccessibleName(tr("Reveal folder in File Manager"));
    revealButton->setAccessibleDescription(tr("Shows the folder in the file manager (Ctrl+O)"));
    connect(revealButton, &QPushButton::clicked, this, [this] { reveal(m_folderURL); });
    row->addWidget(revealButton, 0, Qt::AlignVCenter);
    return header;
}

QWidget* FolderInspectorView::buildListingBody()
{
    m_scrollArea = new QScrollArea(m_listingPage);
    m_scrollArea->setObjectName(QStringLiteral("listingScrollArea"));
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(m_scrollArea);
    m_bodyLayout = new QVBoxLayout(content);
    m_bodyLayout->setContentsMargins(16, 16, 16, 16);
    m_bodyLayout->setSpacing(18);
    m_bodyLayout->addStretch(1);
    m_scrollArea->setWidget(content);
    return m_scrollArea;
}

void FolderInspectorView::applyListing(QList<FolderChildItem> items)
{
    m_items = std::move(items);
    m_images = FolderListing::images(m_items);
    m_typeSummary = FolderListing::typeSummary(m_items);
    showHeaderDetails();
    // The sections go above the stretch that ends the page.
    QWidget* content = m_scrollArea->widget();
    int position = 0;
    if (!m_images.isEmpty())
        m_bodyLayout->insertWidget(position++, createImagesSection(content));
    m_bodyLayout->insertWidget(position, m_items.isEmpty() ? createEmptyNotice(content)
                                                           : createContentsSection(content));
    m_listingReady = true;
    emit listingReady();
    startThumbnails();
}

// The count, size and kinds of what the folder holds, beside its name.
void FolderInspectorView::showHeaderDetails()
{
    m_countLabel->setText(countText());
    m_countLabel->setVisible(true);
    const bool showSize = m_totalSize >= 1;
    m_sizeLabel->setText(sizeText());
    m_sizeBullet->setVisible(showSize);
    m_sizeLabel->setVisible(showSize);
    m_summaryLabel->setText(m_typeSummary);
    m_summaryBullet->setVisible(!m_typeSummary.isEmpty());
    m_summaryLabel->setVisible(!m_typeSummary.isEmpty());
}

// "IMAGES (12)" over a strip of their thumbnails; a click previews one.
QWidget* FolderInspectorView::createImagesSection(QWidget* content)
{
    const QColor secondary = Theme::secondary(palette());
    auto* section = new QWidget(content);
    auto* sectionLayout = new QVBoxLayout(section);
    sectionLayout->setContentsMargins(0, 0, 0, 0);
    sectionLayout->setSpacing(8);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(
        makeCaption(tr("IMAGES (%n)", nullptr, int(m_images.size())), secondary, section));
    titleRow->addStretch(1);
    titleRow->addWidget(makeLabel(tr("Click to preview"), Theme::font(10), secondary, section));
    sectionLayout->addLayout(titleRow);

    auto* stripArea = new QScrollArea(section);
    stripArea->setObjectName(QStringLiteral("thumbnailScrollArea"));
    stripArea->setFrameShape(QFrame::NoFrame);
    stripArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stripArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stripArea->setFocusPolicy(Qt::NoFocus);
    stripArea->viewport()->setAutoFillBackground(false);
    m_strip = new ThumbnailStrip(stripArea);
    QList<ThumbnailStrip::Entry> entries;
    entries.reserve(m_images.size());
    for (const FolderChildItem& image : std::as_const(m_images))
        entries.append({image.id, image.name});
    m_strip->setEntries(entries);
    stripArea->setWidget(m_strip);
    stripArea->setFixedHeight(m_strip->sizeHint().height());
    connect(m_strip, &ThumbnailStrip::tileClicked, this, &FolderInspectorView::activateThumbnail);
    sectionLayout->addWidget(stripArea);
    return section;
}

// "FOLDER CONTENTS (40)" over a row per child, as tall as its rows.
QWidget* FolderInspectorView::createContentsSection(QWidget* content)
{
    const QColor secondary = Theme::secondary(palette());
    auto* section = new QWidget(content);
    auto* sectionLayout = new QVBoxLayout(section);
    sectionLayout->setContentsMargins(0, 0, 0, 0);
    sectionLayout->setSpacing(8);
    sectionLayout->addWidget(
        makeCaption(tr("FOLDER CONTENTS (%n)", nullptr, int(m_items.size())), secondary, section));

    auto* panel = new RoundedPanel(section);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 3, 1, 3);
    m_model = new FolderChildListModel(this);
    m_model->setItems(m_items);
    m_delegate = new FolderChildRowDelegate(this);
    m_list = new QListView(panel);
    m_list->setObjectName(QStringLiteral("contentsList"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_delegate);
    m_list->setUniformItemSizes(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setMouseTracking(true);
    m_list->viewport()->setAttribute(Qt::WA_Hover);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAutoFillBackground(false);
    m_list->setCursor(Qt::PointingHandCursor);
    // The page scrolls as a whole: the list is as tall as its rows and paints only the
    // rows that are exposed.
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFixedHeight(int(m_items.size()) * FolderChildRowDelegate::rowHeight);
    connect(m_delegate, &FolderChildRowDelegate::rowClicked, this,
            &FolderInspectorView::activateRow);
    connect(m_delegate, &FolderChildRowDelegate::revealClicked, this,
            [this](int row) { reveal(m_items.at(row).url); });
    panelLayout->addWidget(m_list);
    sectionLayout->addWidget(panel);
    return section;
}

QWidget* FolderInspectorView::createEmptyNotice(QWidget* content)
{
    const QColor secondary = Theme::secondary(palette());
    auto* empty = new QWidget(content);
    empty->setObjectName(QStringLiteral("emptyFolder"));
    auto* emptyLayout = new QVBoxLayout(empty);
    emptyLayout->setContentsMargins(0, 32, 0, 32);
    emptyLayout->setSpacing(8);
    auto* icon = new QLabel(empty);
    icon->setPixmap(SymbolIcons::pixmap(QStringLiteral("folder.badge.questionmark"), 32, secondary,
                                        devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    emptyLayout->addWidget(icon);
    auto* text = makeLabel(tr("Folder is empty"), Theme::font(13, QFont::Medium), secondary, empty);
    text->setAlignment(Qt::AlignCenter);
    emptyLayout->addWidget(text);
    return empty;
}

void FolderInspectorView::startThumbnails()
{
    QList<FolderChildItem> kept = m_images.mid(0, maxThumbnails);
    if (kept.isEmpty())
        return;
    // Decoded on the worker pool, one task each; the map is built here and handed to the
    // strip whole once every thumbnail is in (a failed one stays out of it).
    m_thumbnailsLeft = int(kept.size());
    auto oneDone = [this] {
        if (--m_thumbnailsLeft > 0)
            return;
        m_thumbnails = std::move(m_thumbnailsComing);
        m_thumbnailsComing.clear();
        if (m_strip)
            m_strip->setThumbnails(m_thumbnails);
        emit thumbnailsReady();
    };
    for (const FolderChildItem& item : std::as_const(kept)) {
        BackgroundTask::run(
            *PreviewLoader::threadPool(), [item] { return makeThumbnail(item); }, this,
            [this, oneDone](std::pair<QString, QImage> thumbnail) {
                if (!thumbnail.second.isNull())
                    m_thumbnailsComing.insert(thumbnail.first, thumbnail.second);
                oneDone();
            },
            [oneDone](const QString&) { oneDone(); });
    }
}

QString FolderInspectorView::countText() const
{
    const qsizetype count = m_items.size();
    return tr("%n items", nullptr, int(count));
}

QString FolderInspectorView::sizeText() const
{
    return m_totalSize >= 1 ? TriageItem::formatByteCount(m_totalSize) : QString();
}

void FolderInspectorView::activateRow(int row)
{
    if (row < 0 || row >= m_items.size())
        return;
    const FolderChildItem& entry = m_items.at(row);
    if (entry.isDirectory)
        reveal(entry.url);
    else
        selectChild(entry.url);
}

void FolderInspectorView::activateThumbnail(int index)
{
    if (index >= 0 && index < m_images.size())
        selectChild(m_images.at(index).url);
}

void FolderInspectorView::selectChild(const QUrl& url)
{
    if (m_selectedChildURL == url)
        return;
    m_selectedChildURL = url;
    buildChildPage(url);
    emit selectedChildURLChanged();
}

void FolderInspectorView::backToFolder()
{
    if (!m_selectedChildURL)
        return;
    m_selectedChildURL.reset();
    m_stack->setCurrentWidget(m_listingPage);
    if (m_childPage) {
        m_childPage->deleteLater();
        m_childPage = nullptr;
        m_childPreview = nullptr;
    }
    emit selectedChildURLChanged();
}

void FolderInspectorView::buildChildPage(const QUrl& url)
{
    if (m_childPage)
        m_childPage->deleteLater();
    m_childPage = new QWidget(m_stack);
    auto* layout = new QVBoxLayout(m_childPage);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QWidget(m_childPage);
    tintBackground(header, 1.0);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 8, 16, 8);
    auto* back = makeSmallButton(QStringLiteral("chevron.left"), tr("Back to Folder"), header);
    back->setObjectName(QStringLiteral("backToFolderButton"));
    back->setAccessibleDescription(tr("Returns to the folder's contents"));
    connect(back, &QPushButton::clicked, this, &FolderInspectorView::backToFolder);
    row->addWidget(back);
    row->addStretch(1);
    auto* name = new ElidedLabel(url.fileName(), header);
    name->setObjectName(QStringLiteral("childName"));
    name->setFont(Theme::font(12, QFont::DemiBold));
    name->setElideMode(Qt::ElideMiddle);
    name->setAlignment(Qt::AlignCenter);
    row->addWidget(name, 4);
    row->addStretch(1);
    auto* revealButton = new QToolButton(header);
    revealButton->setObjectName(QStringLiteral("revealChildButton"));
    revealButton->setAutoRaise(true);
    revealButton->setFocusPolicy(Qt::NoFocus);
    revealButton->setIcon(
        SymbolIcons::icon(QStringLiteral("arrow.up.right.square"), Theme::secondary(palette())));
    revealButton->setIconSize(QSize(14, 14));
    revealButton->setToolTip(tr("Reveal file in File Manager"));
    revealButton->setAccessibleName(tr("Reveal file in File Manager"));
    revealButton->setAccessibleDescription(tr("Shows %1 in the file manager").arg(url.fileName()));
    revealButton->setCursor(Qt::PointingHandCursor);
    connect(revealButton, &QToolButton::clicked, this, [this, url] { reveal(url); });
    row->addWidget(revealButton);
    layout->addWidget(header);
    layout->addWidget(makeDivider(m_childPage));

    // No large-file deferral inside the inspector.
    m_childPreview = new QuickLookHostView(url, m_logger, false, false, m_childPage);
    layout->addWidget(m_childPreview, 1);
    m_stack->addWidget(m_childPage);
    m_stack->setCurrentWidget(m_childPage);
}

void FolderInspectorView::setRevealFunction(RevealFunction reveal)
{
    m_reveal = reveal ? std::move(reveal) : RevealFunction(&revealWithDesktopServices);
}

void FolderInspectorView::reveal(const QUrl& url)
{
    m_reveal(url);
}

void FolderInspectorView::revealWithDesktopServices(const QUrl& url)
{
    const QString parent = QFileInfo(url.toLocalFile()).absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(parent));
}
