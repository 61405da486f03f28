#include "views/ArchiveListingView.h"

#include "models/TriageItem.h"
#include "views/ArchiveEntryDelegate.h"
#include "views/ElidedLabel.h"
#include "views/RoundedPanel.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <climits>

namespace {

int plural(qint64 count)
{
    return int(std::min<qint64>(count, INT_MAX));
}

// Declared sizes this many times the archive's own, and at least this large, are called out.
constexpr qint64 bombRatio = 100;
constexpr qint64 bombSize = 1'000'000'000;

} // namespace

ArchiveListingView::ArchiveListingView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(Theme::divider(Qt::Horizontal, this));

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(m_scrollArea);
    auto* body = new QVBoxLayout(content);
    body->setContentsMargins(16, 14, 16, 16);
    body->setSpacing(8);

    m_notes = new QWidget(content);
    m_notesLayout = new QVBoxLayout(m_notes);
    m_notesLayout->setContentsMargins(0, 0, 0, 6);
    m_notesLayout->setSpacing(6);
    body->addWidget(m_notes);

    QFont captionFont = Theme::font(10, QFont::Bold);
    captionFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    m_caption = Theme::label({}, 10, QFont::Bold, Theme::secondary(palette()), content);
    m_caption->setFont(captionFont);
    body->addWidget(m_caption);

    auto* panel = new RoundedPanel(content);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 3, 1, 3);
    m_model = new QStandardItemModel(this);
    m_list = new QListView(panel);
    m_list->setObjectName(QStringLiteral("archiveEntries"));
    m_list->setAccessibleName(tr("Archive contents"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new ArchiveEntryDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The preview shows; it never takes the keys the triage screen listens to.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAutoFillBackground(false);
    // The page scrolls as a whole: the list is as tall as its rows.
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelLayout->addWidget(m_list);
    body->addWidget(panel);
    body->addStretch(1);
    m_scrollArea->setWidget(content);
    layout->addWidget(m_scrollArea, 1);
}

QWidget* ArchiveListingView::buildHeader()
{
    auto* header = new QWidget(this);
    header->setAutoFillBackground(true);
    QPalette tint = header->palette();
    QColor base = tint.color(QPalette::Base);
    base.setAlphaF(0.5f);
    tint.setColor(QPalette::Window, base);
    header->setPalette(tint);

    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 12, 16, 12);
    row->setSpacing(12);
    auto* icon = new QLabel(header);
    icon->setPixmap(SymbolIcons::pixmap(QStringLiteral("archivebox.fill"), 28,
                                        palette().color(QPalette::Highlight), devicePixelRatioF()));
    row->addWidget(icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    m_name = new ElidedLabel({}, header);
    m_name->setObjectName(QStringLiteral("archiveName"));
    m_name->setFont(Theme::font(15, QFont::Bold));
    m_name->setElideMode(Qt::ElideMiddle);
    texts->addWidget(m_name);
    m_summary = new ElidedLabel({}, header);
    m_summary->setObjectName(QStringLiteral("archiveSummary"));
    m_summary->setFont(Theme::font(11));
    m_summary->setColor(Theme::secondary(palette()));
    texts->addWidget(m_summary);
    row->addLayout(texts, 1);
    return header;
}

QString ArchiveListingView::displayName(const QString& name)
{
    QString shown = name;
    for (QChar& c : shown) {
        if (!c.isPrint() && !c.isSurrogate())
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

QString ArchiveListingView::summaryText(const QString& kind, const ArchiveListing& listing)
{
    using End = ArchiveListing::End;
    const bool complete = listing.end == End::Complete;
    QString count;
    if (listing.end == End::EntryCap) {
        count = tr("more than %Ln entries", nullptr, plural(listing.entryCount));
    } else if (complete && listing.entryCount == 0) {
        count = tr("empty");
    } else {
        count = complete ? tr("%Ln files", nullptr, plural(listing.fileCount))
                         : tr("at least %Ln files", nullptr, plural(listing.fileCount));
        if (listing.folderCount > 0)
            count = tr("%1, %Ln folders", nullptr, plural(listing.folderCount)).arg(count);
    }
    QStringList parts = {kind, count};
    const QString size = TriageItem::formatByteCount(listing.totalSize);
    if (complete && !listing.unknownSizes && listing.entryCount > 0)
        parts.append(size);
    else if (listing.totalSize > 0)
        parts.append(tr("at least %1").arg(size));
    return parts.join(QStringLiteral(" \u00b7 "));
}

QList<ArchiveListingView::Note> ArchiveListingView::notesFor(const ArchiveListing& listing,
                                                             qint64 archiveSize)
{
    using End = ArchiveListing::End;
    QList<Note> notes;
    const auto warn = [&](const QString& text) {
        notes.append({text, true, QStringLiteral("exclamationmark.triangle.fill")});
    };
    const auto tell = [&](const QString& text, const QString& symbol) {
        notes.append({text, false, symbol});
    };
    const QString listed = QStringLiteral("doc.text");
    switch (listing.end) {
    case End::Damaged:
        warn(tr("This archive is damaged or incomplete: the list ends where it could no longer "
                "be read."));
        break;
    case End::Deadline:
        tell(tr("Reading this archive took too long: the list stops after %Ln entries.", nullptr,
                plural(listing.entryCount)),
             QStringLiteral("clock"));
        break;
    case End::EntryCap:
        tell(tr("This archive has more than %Ln entries.", nullptr, plural(listing.entryCount)) +
                 QLatin1Char(' ') +
                 tr("Only the first %Ln are listed.", nullptr, plural(listing.entries.size())),
             listed);
        break;
    case End::Complete:
    case End::Cancelled:
        if (listing.entries.size() < listing.entryCount)
            tell(tr("Only the first %Ln entries are listed.", nullptr,
                    plural(listing.entries.size())),
                 listed);
        break;
    }
    if (listing.escapingCount > 0)
        warn(tr("%Ln entries would be unpacked outside their folder (an absolute path or "
                "\u201c..\u201d in the name, or a link that points there). They are marked below.",
                nullptr, plural(listing.escapingCount)));
    if (listing.totalSize >= bombSize && archiveSize > 0 &&
        listing.totalSize / bombRatio > archiveSize)
        warn(tr("Unpacked, this would take %1, over %2 times the size of the archive: it could "
                "fill the disk.")
                 .arg(TriageItem::formatByteCount(listing.totalSize),
                      QLocale().toString(listing.totalSize / archiveSize)));
    if (listing.encrypted)
        tell(tr("Some entries are encrypted."), QStringLiteral("questionmark.circle"));
    if (listing.end == End::Complete && listing.entryCount == 0)
        tell(tr("This archive is empty."), listed);
    return notes;
}

void ArchiveListingView::setListing(const QString& name, const QString& kind, qint64 archiveSize,
                                    const ArchiveListing& listing)
{
    m_name->setText(name);
    m_summary->setText(summaryText(kind, listing));

    while (QLayoutItem* item = m_notesLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_currentNotes = notesFor(listing, archiveSize);
    const QColor secondary = Theme::secondary(palette());
    for (const Note& note : std::as_const(m_currentNotes)) {
        auto* line = new QWidget(m_notes);
        auto* lineLayout = new QHBoxLayout(line);
        lineLayout->setContentsMargins(0, 0, 0, 0);
        lineLayout->setSpacing(8);
        auto* icon = new QLabel(line);
        icon->setPixmap(SymbolIcons::pixmap(
            note.warning ? QStringLiteral("exclamationmark.triangle.fill") : note.symbol, 14,
            note.warning ? Theme::orange() : secondary, devicePixelRatioF()));
        lineLayout->addWidget(icon, 0, Qt::AlignTop);
        auto* text = Theme::label(note.text, 12, QFont::Normal,
                                  note.warning ? Theme::primary(palette()) : secondary, line);
        text->setWordWrap(true);
        lineLayout->addWidget(text, 1);
        m_notesLayout->addWidget(line);
    }
    m_notes->setVisible(!m_currentNotes.isEmpty());

    const qsizetype shown = listing.entries.size();
    m_caption->setText(shown == listing.entryCount && listing.end == ArchiveListing::End::Complete
                           ? tr("CONTENTS (%Ln)", nullptr, plural(shown))
                           : tr("FIRST %Ln ENTRIES", nullptr, plural(shown)));
    m_caption->setVisible(shown > 0);

    m_model->clear();
    const QString escapeTip =
        tr("This name leads outside the folder the archive would be unpacked into.");
    for (const ArchiveListing::Entry& entry : listing.entries) {
        auto* item = new QStandardItem(displayName(entry.path));
        const QString size = entry.isDirectory ? QString()
                             : !entry.linkTarget.isEmpty()
                                 ? QStringLiteral("\u2192 %1").arg(displayName(entry.linkTarget))
                             : entry.size < 0 ? QStringLiteral("\u2014")
                                              : TriageItem::formatByteCount(entry.size);
        item->setData(size, ArchiveEntryDelegate::SizeTextRole);
        item->setData(entry.isDirectory, ArchiveEntryDelegate::IsFolderRole);
        item->setData(entry.escapes, ArchiveEntryDelegate::EscapesRole);
        item->setData(entry.escapes ? escapeTip : displayName(entry.path), Qt::ToolTipRole);
        item->setData(entry.escapes ? QStringLiteral("%1, %2").arg(size, escapeTip) : size,
                      Qt::AccessibleDescriptionRole);
        item->setEditable(false);
        m_model->appendRow(item);
    }
    m_list->setFixedHeight(int(shown) * ArchiveEntryDelegate::rowHeight);
    m_list->parentWidget()->setVisible(shown > 0);
    m_scrollArea->verticalScrollBar()->setValue(0);
}

QString ArchiveListingView::summary() const
{
    return m_summary->text();
}

QStringList ArchiveListingView::notes() const
{
    QStringList texts;
    for (const Note& note : m_currentNotes)
        texts.append(note.text);
    return texts;
}

QStringList ArchiveListingView::rows() const
{
    QStringList texts;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        texts.append(index.data().toString() + QLatin1Char('\t') +
                     index.data(ArchiveEntryDelegate::SizeTextRole).toString());
    }
    return texts;
}

QList<int> ArchiveListingView::escapingRows() const
{
    QList<int> marked;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->index(row, 0).data(ArchiveEntryDelegate::EscapesRole).toBool())
            marked.append(row);
    }
    return marked;
}
