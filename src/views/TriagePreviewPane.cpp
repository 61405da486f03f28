#include "views/TriagePreviewPane.h"

#include "platform/ItemRevealer.h"
#include "views/FolderInspectorView.h"
#include "views/QuickLookHostView.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TriagePreviewPane::TriagePreviewPane(std::shared_ptr<ItemRevealer> revealer, LoggerService& logger,
                                     QWidget* parent)
    : QWidget(parent), m_revealer(std::move(revealer)), m_logger(logger)
{
    setObjectName(QStringLiteral("previewArea"));
    setMinimumWidth(420);
    setAutoFillBackground(true);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
}

void TriagePreviewPane::showItem(const TriageItem& item, bool allowLargePreview)
{
    if (m_preview && item.id == m_itemID && allowLargePreview == m_allowedLarge)
        return;
    rebuild(item, allowLargePreview);
}

void TriagePreviewPane::clear()
{
    if (!m_preview)
        return;
    m_layout->removeWidget(m_preview);
    m_preview->deleteLater();
    m_preview = nullptr;
    m_itemID = QUuid();
}

void TriagePreviewPane::rebuild(const TriageItem& item, bool allowLargePreview)
{
    if (m_preview) {
        m_layout->removeWidget(m_preview);
        m_preview->deleteLater();
    }
    m_itemID = item.id;
    m_allowedLarge = allowLargePreview;

    if (item.isLargeFile() && !allowLargePreview) {
        // Large items wait behind a notice so that opening them never stalls the HUD.
        auto* notice = new QWidget(this);
        notice->setObjectName(QStringLiteral("largeFileNotice"));
        auto* layout = new QVBoxLayout(notice);
        layout->setSpacing(12);
        layout->addStretch(1);
        auto* icon = new QLabel(notice);
        icon->setAlignment(Qt::AlignCenter);
        icon->setPixmap(SymbolIcons::pixmap(QStringLiteral("doc.badge.ellipsis"), 48,
                                            Theme::secondary(palette()), devicePixelRatioF()));
        layout->addWidget(icon);
        auto* title = Theme::label(tr("Large File (%1)").arg(item.formattedSize()), 16,
                                   QFont::DemiBold, Theme::primary(palette()), notice);
        title->setAlignment(Qt::AlignCenter);
        layout->addWidget(title);
        auto* hint = Theme::label(tr("Preview deferred to prevent UI lag."), 12, QFont::Normal,
                                  Theme::secondary(palette()), notice);
        hint->setAlignment(Qt::AlignCenter);
        layout->addWidget(hint);
        auto* load = new QPushButton(tr("Load Preview"), notice);
        load->setObjectName(QStringLiteral("loadPreviewButton"));
        Theme::makeProminent(load, palette());
        load->setFocusPolicy(Qt::NoFocus);
        connect(load, &QPushButton::clicked, this, &TriagePreviewPane::largePreviewRequested);
        layout->addWidget(load, 0, Qt::AlignHCenter);
        layout->addStretch(1);
        m_preview = notice;
    } else if (item.isDirectory) {
        auto* inspector = new FolderInspectorView(item.url, item.sizeBytes, m_logger, this);
        if (m_revealer)
            inspector->setRevealFunction(
                [revealer = m_revealer](const QUrl& url) { revealer->reveal(url); });
        m_preview = inspector;
    } else {
        // A fresh host for every head item, and again once a large file is allowed.
        auto* host =
            new QuickLookHostView(item.url, m_logger, item.isLargeFile(), allowLargePreview, this);
        connect(host, &QuickLookHostView::previewKindChanged, this,
                [this](QuickLookHostView::PreviewKind kind) {
                    if (kind != QuickLookHostView::PreviewKind::Loading)
                        emit previewShown();
                });
        m_preview = host;
    }
    m_layout->addWidget(m_preview);
    const auto* host = qobject_cast<QuickLookHostView*>(m_preview.data());
    if (!host || host->previewKind() != QuickLookHostView::PreviewKind::Loading)
        QMetaObject::invokeMethod(this, &TriagePreviewPane::previewShown, Qt::QueuedConnection);
}
