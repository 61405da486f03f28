#include "views/HistoryView.h"

#include "platform/ItemRevealer.h"
#include "services/LoggerService.h"
#include "views/HistoryListModel.h"
#include "views/HistoryRowDelegate.h"
#include "views/KeyCapView.h"
#include "views/StatusAnnouncer.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString unavailable(const QString& reason)
{
    return QCoreApplication::translate("HistoryView", "History is unavailable: %1").arg(reason);
}

} // namespace

HistoryView::HistoryView(HistoryStore* store, std::shared_ptr<ItemRevealer> revealer,
                         LoggerService* logger, const QString& downloadsFolder,
                         std::function<void()> onClose, QWidget* parent)
    : QWidget(parent), m_store(store), m_revealer(std::move(revealer)), m_logger(logger),
      m_onClose(std::move(onClose)), m_model(new HistoryListModel(downloadsFolder, this))
{
    setObjectName(QStringLiteral("historyView"));
    // To a screen reader the card is a dialog named by its title; the filter field inside it
    // holds the focus.
    setAccessibleName(tr("History"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addLayout(createTitleRow());
    layout->addWidget(createFilter());
    m_notice = Theme::label({}, 11, QFont::Medium, Theme::orange(), this);
    m_notice->setObjectName(QStringLiteral("historyNotice"));
    m_notice->setWordWrap(true);
    m_notice->hide();
    layout->addWidget(m_notice);
    layout->addWidget(createBody(), 1);
    layout->addWidget(createStatusLine());
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    // The keys, as the cheat sheet draws them.
    layout->addLayout(createKeyFooter());

    m_announcer = new StatusAnnouncer(this);

    m_filterDelay = new QTimer(this);
    m_filterDelay->setObjectName(QStringLiteral("filterDelay"));
    m_filterDelay->setSingleShot(true);
    m_filterDelay->setInterval(filterDelayMs);
    connect(m_filterDelay, &QTimer::timeout, this, &HistoryView::runQuery);
    connect(m_filter, &QLineEdit::textChanged, m_filterDelay, qOverload<>(&QTimer::start));

    connectStore();
    applyPalette();
    setFocusProxy(m_filter);
    runQuery();
    updateEmptyState();
}

QLayout* HistoryView::createTitleRow()
{
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    m_titleIcon = new QLabel(this);
    m_titleIcon->setFixedSize(20, 20);
    auto* title = new QLabel(tr("History"), this);
    title->setFont(Theme::font(16, QFont::Bold));
    title->setObjectName(QStringLiteral("title"));
    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setToolTip(tr("Close (Esc)"));
    m_closeButton->setAccessibleName(tr("Close"));
    m_closeButton->setIconSize(QSize(16, 16));
    m_closeButton->setCursor(Qt::PointingHandCursor);
    connect(m_closeButton, &QToolButton::clicked, this, [this] {
        if (m_onClose)
            m_onClose();
    });
    titleRow->addWidget(m_titleIcon);
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    titleRow->addWidget(m_closeButton);
    return titleRow;
}

QWidget* HistoryView::createFilter()
{
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("historyFilter"));
    m_filter->setPlaceholderText(tr("Type to filter by name, folder or website"));
    m_filter->setAccessibleName(tr("Filter the history"));
    m_filter->setClearButtonEnabled(true);
    m_filter->setFont(Theme::font(13));
    m_filter->setMinimumHeight(30);
    m_filter->setTextMargins(4, 0, 4, 0);
    m_filter->installEventFilter(this);
    return m_filter;
}

QWidget* HistoryView::createBody()
{
    m_body = new QStackedWidget(this);
    createList();
    m_body->addWidget(m_list);
    m_empty = Theme::label({}, 13, QFont::Normal, Theme::secondary(palette()), m_body);
    m_empty->setObjectName(QStringLiteral("historyEmpty"));
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_empty->setTextInteractionFlags(Qt::NoTextInteraction);
    m_body->addWidget(m_empty);
    return m_body;
}

void HistoryView::createList()
{
    m_list = new QListView(m_body);
    m_list->setObjectName(QStringLiteral("historyList"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new HistoryRowDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The filter field keeps the focus: every key is read there.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setMouseTracking(true);
    m_list->setAutoFillBackground(false);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAccessibleName(tr("Past actions"));
    connect(m_list, &QListView::doubleClicked, this, [this] { revealSelected(); });
    connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value >= m_list->verticalScrollBar()->maximum() - HistoryRowDelegate::rowHeight)
            loadMore();
    });
}

QWidget* HistoryView::createStatusLine()
{
    m_statusLabel = Theme::label({}, 11, QFont::Medium, Theme::accent(palette()), this);
    m_statusLabel->setObjectName(QStringLiteral("historyStatus"));
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setFixedHeight(2 * QFontMetrics(m_statusLabel->font()).lineSpacing());
    m_statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the line only once there is one: the rows take it until then.
    m_statusLabel->hide();
    return m_statusLabel;
}

QLayout* HistoryView::createKeyFooter()
{
    auto* footer = new QHBoxLayout;
    footer->setSpacing(5);
    const auto addKeys = [this, footer](const QStringList& caps, const QString& caption) {
        for (const QString& cap : caps)
            footer->addWidget(new KeyCapView(cap, this));
        auto* label = Theme::label(caption, 11, QFont::Normal, Theme::secondary(palette()), this);
        m_secondaryLabels.append(label);
        footer->addWidget(label);
        footer->addSpacing(10);
    };
    addKeys({QStringLiteral("\u2191"), QStringLiteral("\u2193")}, tr("Select"));
    addKeys({QStringLiteral("Return")}, tr("Show in File Manager"));
    addKeys({QStringLiteral("Z")}, tr("Undo"));
    addKeys({QStringLiteral("Esc")}, tr("Close"));
    footer->addStretch(1);
    return footer;
}

void HistoryView::connectStore()
{
    if (!m_store)
        return;
    connect(m_store, &HistoryStore::queryFinished, this,
            [this](quint64 request, const QString&, const QList<HistoryEntry>& entries, bool more,
                   const QString& error) { queryFinished(request, entries, more, error); });
    connect(m_store, &HistoryStore::undoFinished, this, &HistoryView::undoFinished);
    connect(m_store, &HistoryStore::availabilityChanged, this, &HistoryView::updateEmptyState);
    // New entries (an action that just ended, an undo) and a history started anew
    // are read in with the next pause.
    connect(m_store, &HistoryStore::recorded, m_filterDelay, qOverload<>(&QTimer::start));
    connect(m_store, &HistoryStore::historyReset, m_filterDelay, qOverload<>(&QTimer::start));
}

HistoryView::~HistoryView() = default;

int HistoryView::selectedRow() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() && m_list->selectionModel()->isSelected(current) ? current.row() : -1;
}

bool HistoryView::isLoading() const
{
    return m_request != 0 || m_filterDelay->isActive();
}

QString HistoryView::statusText() const
{
    return m_status ? m_status->text : QString();
}

QString HistoryView::emptyText() const
{
    return m_body->currentWidget() == m_empty ? m_empty->text() : QString();
}

QString HistoryView::noticeText() const
{
    return m_notice->isVisibleTo(this) ? m_notice->text() : QString();
}

// --- reading the history ---------------------------------------------------------------

void HistoryView::runQuery()
{
    m_filterDelay->stop();
    if (!m_store) {
        updateEmptyState();
        return;
    }
    const QString filter = m_filter->text().trimmed();
    // The same filter read again (a refresh) keeps every row loaded so far and the
    // selection; a new filter starts from its newest rows.
    const bool refresh = m_loadedOnce && filter == m_shownFilter;
    const int limit = refresh ? qMax(pageSize, m_model->rowCount()) : pageSize;
    const int row = selectedRow();
    m_keepSelected = refresh && row >= 0 ? m_model->entry(row).id : QUuid();
    m_requestFilter = filter;
    m_requestIsNextPage = false;
    // A newer request overtakes this one: only the latest is answered.
    m_request = m_store->query(filter, limit);
}

void HistoryView::loadMore()
{
    if (!m_store || !m_more || m_request != 0 || m_filterDelay->isActive())
        return;
    m_requestFilter = m_shownFilter;
    m_requestIsNextPage = true;
    m_request = m_store->query(m_shownFilter, pageSize, m_model->lastSequence());
}

void HistoryView::queryFinished(quint64 request, const QList<HistoryEntry>& entries, bool more,
                                const QString& error)
{
    if (request != m_request)
        return; // overtaken by a newer one
    m_request = 0;
    m_readError = error;
    if (!error.isEmpty()) {
        if (m_logger)
            m_logger->error(unavailable(error));
        if (!m_requestIsNextPage)
            m_model->setEntries({});
        m_more = false;
        updateEmptyState();
        return;
    }
    if (m_requestIsNextPage) {
        m_model->appendEntries(entries);
    } else {
        m_model->setEntries(entries);
        m_shownFilter = m_requestFilter;
        m_loadedOnce = true;
        const int kept = m_keepSelected.isNull() ? -1 : m_model->rowOf(m_keepSelected);
        select(kept >= 0 ? kept : 0);
    }
    m_more = more;
    updateEmptyState();
    // Rows that do not fill the list yet leave nothing to scroll to: read on.
    if (m_more && m_list->verticalScrollBar()->maximum() == 0)
        QTimer::singleShot(0, this, &HistoryView::loadMore);
}

void HistoryView::updateEmptyState()
{
    QString reason;
    if (!m_store)
        reason = tr("it could not be started");
    else if (!m_readError.isEmpty())
        reason = m_readError;
    else if (!m_store->available())
        reason = m_store->unavailableReason();
    m_notice->setText(reason.isEmpty() ? QString() : unavailable(reason));
    m_notice->setVisible(!reason.isEmpty() && m_model->rowCount() > 0);
    if (m_model->rowCount() > 0) {
        m_body->setCurrentWidget(m_list);
        return;
    }
    if (!reason.isEmpty())
        m_empty->setText(unavailable(reason));
    else if (!m_loadedOnce)
        m_empty->setText(QString()); // the first page is on its way
    else if (m_shownFilter.isEmpty())
        m_empty->setText(tr("Nothing filed yet"));
    else
        m_empty->setText(tr("Nothing in the history matches \u201C%1\u201D").arg(m_shownFilter));
    m_body->setCurrentWidget(m_empty);
}

// --- keys and operations ---------------------------------------------------------------

bool HistoryView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress &&
        handleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool HistoryView::handleKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int visibleRows = qMax(1, m_list->viewport()->height() / HistoryRowDelegate::rowHeight);
    switch (event->key()) {
    case Qt::Key_Escape:
        if (m_onClose)
            m_onClose();
        return true;
    case Qt::Key_Up:
        moveSelection(-1);
        return true;
    case Qt::Key_Down:
        moveSelection(1);
        return true;
    case Qt::Key_PageUp:
        moveSelection(-visibleRows);
        return true;
    case Qt::Key_PageDown:
        moveSelection(visibleRows);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        revealSelected();
        return true;
    default:
        break;
    }
    if (modifiers == Qt::ControlModifier) {
        // Ctrl+Z by the key's Latin letter, on any layout; the field's own undo of typing
        // is not missed: Backspace does it.
        const QChar latin = m_latinKey ? m_latinKey(event) : QChar();
        if (event->key() == Qt::Key_Z || latin.toLower() == QLatin1Char('z')) {
            undoSelected();
            return true;
        }
        return false;
    }
    // A plain z undoes only while nothing is typed: after the first letter it is a letter.
    // Only the letter itself: on a layout without Latin letters the key types its own.
    if (modifiers == Qt::NoModifier && m_filter->text().isEmpty() &&
        event->text().compare(QLatin1String("z"), Qt::CaseInsensitive) == 0) {
        undoSelected();
        return true;
    }
    return false;
}

void HistoryView::select(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_list->clearSelection();
        m_list->setCurrentIndex({});
        return;
    }
    const QModelIndex index = m_model->index(row);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
}

void HistoryView::moveSelection(int delta)
{
    const int count = m_model->rowCount();
    if (count == 0)
        return;
    const int current = selectedRow();
    const int row = qBound(0, current < 0 ? 0 : current + delta, count - 1);
    select(row);
    if (row >= count - 1)
        loadMore();
}

void HistoryView::revealSelected()
{
    const int row = selectedRow();
    if (row < 0 || !m_revealer)
        return;
    const HistoryEntry& entry = m_model->entry(row);
    if (m_logger)
        m_logger->action(QStringLiteral("History: revealing an item (%1) in the file manager")
                             .arg(HistoryEntry::actionName(entry.action)));
    m_revealer->reveal(QUrl::fromLocalFile(m_model->currentPath(row)));
}

void HistoryView::undoSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (!m_store) {
        showStatus(unavailable(tr("it could not be started")), StatusLine::Kind::Error);
        return;
    }
    const HistoryEntry& entry = m_model->entry(row);
    m_undoing.insert(entry.id);
    showStatus(tr("Putting back %1\u2026").arg(entry.itemName), StatusLine::Kind::Progress);
    m_store->undoEntry(entry.id);
}

void HistoryView::undoFinished(const QUuid& id, HistoryStore::UndoOutcome outcome,
                               const QString& message)
{
    if (!m_undoing.remove(id))
        return; // not asked for here
    switch (outcome) {
    case HistoryStore::UndoOutcome::Restored:
        m_model->markUndone(id);
        showStatus(message, StatusLine::Kind::Info);
        // The undo is an entry of its own now: read the rows again, keeping the selection.
        runQuery();
        break;
    case HistoryStore::UndoOutcome::Refused:
    case HistoryStore::UndoOutcome::Failed:
        showStatus(message, StatusLine::Kind::Error);
        break;
    }
}

void HistoryView::showStatus(const QString& text, StatusLine::Kind kind)
{
    m_status = StatusLine{text, kind};
    m_statusLabel->setText(text);
    // A long outcome (a group with members left behind) may not fit its two lines.
    m_statusLabel->setToolTip(text);
    m_statusLabel->show();
    paintStatus();
    if (kind != StatusLine::Kind::Progress)
        m_announcer->announce(text, kind == StatusLine::Kind::Error
                                        ? StatusAnnouncer::Urgency::Assertive
                                        : StatusAnnouncer::Urgency::Polite);
}

void HistoryView::paintStatus()
{
    if (!m_status)
        return;
    const QPalette current = palette();
    QColor color = Theme::secondary(current);
    if (m_status->kind == StatusLine::Kind::Error)
        color = Theme::red();
    else if (m_status->kind == StatusLine::Kind::Info)
        // The system green is too light to read on a light window.
        color = Theme::isDark(current) ? Theme::green() : Theme::green().darker(135);
    Theme::setTextColor(m_statusLabel, color);
}

// --- looks -------------------------------------------------------------------------------

void HistoryView::applyPalette()
{
    const QPalette current = palette();
    for (QLabel* label : std::as_const(m_secondaryLabels))
        Theme::setTextColor(label, Theme::secondary(current));
    Theme::setTextColor(m_empty, Theme::secondary(current));
    m_titleIcon->setPixmap(SymbolIcons::pixmap(
        QStringLiteral("clock"), 20, current.color(QPalette::Highlight), devicePixelRatioF()));
    m_closeButton->setIcon(
        SymbolIcons::icon(QStringLiteral("xmark.circle.fill"), Theme::secondary(current)));
    paintStatus();
}

void HistoryView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

void HistoryView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Theme::paintCard(painter, QRectF(rect()), cornerRadius, palette());
}
