#include "views/ActionPaletteView.h"

#include "models/FileNaming.h"
#include "models/InboxFolders.h"
#include "models/LookAlikeGrouper.h"
#include "platform/DownloadUriMetadata.h"
#include "views/ActionHintGrid.h"
#include "views/DestinationSlotList.h"
#include "views/FileNameLabel.h"
#include "views/ItemCard.h"
#include "views/PaletteStatusLine.h"
#include "views/RelativeTimeFormatter.h"
#include "views/SuggestionRow.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QLabel* heading(const QString& text, QWidget* parent)
{
    QLabel* label =
        Theme::label(text, 10, QFont::Bold, Theme::secondary(parent->palette()), parent);
    QFont f = label->font();
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    label->setFont(f);
    return label;
}

} // namespace

ActionPaletteView::ActionPaletteView(Callbacks callbacks, QWidget* parent)
    : QWidget(parent), m_callbacks(std::move(callbacks))
{
    setObjectName(QStringLiteral("ActionPaletteView"));
    setMinimumWidth(minimumColumnWidth);
    setMaximumWidth(maximumColumnWidth);
    auto* root = new QVBoxLayout(this);
    // Narrow margins and spacing: the column must fit beside the 420-wide preview in the
    // smallest window (760), with this platform's wider fonts, and nine slots must fit
    // under the card in the default one.
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(8);
    root->addWidget(createCard());
    addNotes(root);
    root->addWidget(Theme::divider(Qt::Horizontal, this));
    root->addLayout(createRouting(), 1);
    root->addWidget(Theme::divider(Qt::Horizontal, this));
    root->addLayout(createActionHints());
    m_statusLine = new PaletteStatusLine(statusLines, this);
    root->addWidget(m_statusLine);
}

QWidget* ActionPaletteView::createCard()
{
    m_card = new ItemCard(this);
    m_card->setObjectName(QStringLiteral("itemCard"));
    // Screen readers hear the item through this card: it takes the focus when nothing
    // else in the window has it, and its name changes with every new head item.
    m_card->setFocusPolicy(Qt::ClickFocus);
    auto* cardLayout = new QHBoxLayout(m_card);
    cardLayout->setContentsMargins(12, 8, 8, 8);
    cardLayout->addLayout(createCardTexts(), 1);
    cardLayout->addWidget(createRenameButton(), 0, Qt::AlignTop);
    // Coarse is precise enough here (a second's steps) and lets the system batch wake-ups.
    m_addedTimer = new QTimer(this);
    m_addedTimer->setObjectName(QStringLiteral("addedTimeTimer"));
    m_addedTimer->setSingleShot(true);
    m_addedTimer->setTimerType(Qt::CoarseTimer);
    connect(m_addedTimer, &QTimer::timeout, this, &ActionPaletteView::updateAddedTime);
    return m_card;
}

QLayout* ActionPaletteView::createCardTexts()
{
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_nameLabel = new FileNameLabel(m_card);
    m_nameLabel->setObjectName(QStringLiteral("itemName"));
    texts->addWidget(m_nameLabel);
    auto* meta = new QHBoxLayout;
    meta->setSpacing(8);
    const QColor secondary = Theme::secondary(palette());
    m_sizeLabel = Theme::label({}, 12, QFont::Normal, secondary, m_card);
    m_sizeLabel->setObjectName(QStringLiteral("itemSize"));
    m_kindLabel = Theme::label({}, 12, QFont::Normal, secondary, m_card);
    m_kindLabel->setObjectName(QStringLiteral("itemKind"));
    meta->addWidget(m_sizeLabel);
    meta->addWidget(Theme::label(QStringLiteral("•"), 12, QFont::Normal, secondary, m_card));
    meta->addWidget(m_kindLabel, 1);
    texts->addLayout(meta);
    // "from files.example.org": the host only, never the address it was read from; then the
    // inbox the item waits in, when it is not Downloads.
    m_originLabel = Theme::label({}, 11, QFont::Normal, secondary, m_card);
    m_originLabel->setObjectName(QStringLiteral("itemOrigin"));
    m_originLabel->hide();
    texts->addWidget(m_originLabel);
    m_addedLabel = Theme::label({}, 11, QFont::Normal, secondary, m_card);
    m_addedLabel->setObjectName(QStringLiteral("itemAdded"));
    texts->addWidget(m_addedLabel);
    return texts;
}

QWidget* ActionPaletteView::createRenameButton()
{
    auto* renameButton = new QToolButton(m_card);
    renameButton->setObjectName(QStringLiteral("renameButton"));
    renameButton->setAutoRaise(true);
    renameButton->setFocusPolicy(Qt::NoFocus);
    renameButton->setIcon(SymbolIcons::icon(QStringLiteral("pencil"), Theme::secondary(palette())));
    renameButton->setIconSize(QSize(15, 15));
    const QString renameKey = TriageKeyTable::entry(TriageKeyTable::Action::rename).keyName;
    renameButton->setToolTip(tr("Inline Rename (%1)").arg(renameKey));
    renameButton->setAccessibleName(tr("Rename"));
    renameButton->setAccessibleDescription(tr("Rename the item in place (%1)").arg(renameKey));
    connect(renameButton, &QToolButton::clicked, this, callback(&Callbacks::onStartRename));
    return renameButton;
}

void ActionPaletteView::addNotes(QVBoxLayout* root)
{
    // Under the card: the item's look-alikes, and a copy of it already filed.
    m_groupNote = Theme::label({}, 11, QFont::Medium, Theme::accent(palette()), this);
    m_groupNote->setObjectName(QStringLiteral("groupNote"));
    m_groupNote->setWordWrap(true);
    m_groupNote->hide();
    root->addWidget(m_groupNote);
    m_duplicateRow = new QWidget(this);
    m_duplicateRow->setObjectName(QStringLiteral("duplicateNote"));
    auto* duplicateLayout = new QHBoxLayout(m_duplicateRow);
    duplicateLayout->setContentsMargins(0, 0, 0, 0);
    duplicateLayout->setSpacing(6);
    m_duplicateLabel = Theme::label({}, 11, QFont::Medium, Theme::orange(), m_duplicateRow);
    m_duplicateLabel->setObjectName(QStringLiteral("duplicateText"));
    m_duplicateLabel->setWordWrap(true);
    duplicateLayout->addWidget(m_duplicateLabel, 1);
    const QString trashKey = TriageKeyTable::entry(TriageKeyTable::Action::trash).keyName;
    auto* trashCopy = new QPushButton(tr("Trash This Copy (%1)").arg(trashKey), m_duplicateRow);
    trashCopy->setObjectName(QStringLiteral("trashCopyButton"));
    trashCopy->setFocusPolicy(Qt::NoFocus);
    trashCopy->setAccessibleDescription(
        tr("Moves this download to the Trash; the copy already filed stays"));
    connect(trashCopy, &QPushButton::clicked, this, callback(&Callbacks::onTrash));
    duplicateLayout->addWidget(trashCopy, 0, Qt::AlignTop);
    m_duplicateRow->hide();
    root->addWidget(m_duplicateRow);
}

QLayout* ActionPaletteView::createRouting()
{
    auto* routing = new QVBoxLayout;
    routing->setSpacing(4);
    routing->addWidget(heading(tr("ROUTING DESTINATIONS"), this));
    m_slotList = new DestinationSlotList(this);
    m_slotList->setAccessibleName(tr("Routing destinations"));
    connect(m_slotList, &DestinationSlotList::slotChosen, this,
            [this](const DestinationSlot& slot) {
                if (m_callbacks.onSelectSlot)
                    m_callbacks.onSelectSlot(slot);
            });
    connect(m_slotList, &DestinationSlotList::customChosen, this,
            callback(&Callbacks::onBrowseCustom));
    routing->addWidget(m_slotList, 1);
    m_suggestionRow = new SuggestionRow(this);
    m_suggestionRow->hide();
    connect(m_suggestionRow, &QAbstractButton::clicked, this,
            callback(&Callbacks::onAcceptSuggestion));
    routing->addWidget(m_suggestionRow);
    m_sameAsLastRow = new SuggestionRow(this);
    m_sameAsLastRow->setObjectName(QStringLiteral("sameAsLastRow"));
    m_sameAsLastRow->hide();
    connect(m_sameAsLastRow, &QAbstractButton::clicked, this, callback(&Callbacks::onFileLikeLast));
    routing->addWidget(m_sameAsLastRow);
    return routing;
}

QLayout* ActionPaletteView::createActionHints()
{
    auto* actions = new QVBoxLayout;
    actions->setSpacing(4);
    actions->addWidget(heading(tr("ACTIONS"), this));
    actions->addWidget(new ActionHintGrid(
        [this](TriageKeyTable::Action action) { return hintAction(action); }, this));
    return actions;
}

std::function<void()> ActionPaletteView::callback(std::function<void()> Callbacks::*member) const
{
    return [this, member] {
        if (m_callbacks.*member)
            (m_callbacks.*member)();
    };
}

std::function<void()> ActionPaletteView::hintAction(TriageKeyTable::Action action) const
{
    using Action = TriageKeyTable::Action;
    std::function<void()> Callbacks::*member = nullptr;
    switch (action) {
    case Action::trash:
        member = &Callbacks::onTrash;
        break;
    case Action::skip:
        member = &Callbacks::onSkip;
        break;
    case Action::rename:
        member = &Callbacks::onStartRename;
        break;
    case Action::undo:
        member = &Callbacks::onUndo;
        break;
    case Action::reveal:
        member = &Callbacks::onRevealInFinder;
        break;
    case Action::moveToCustomFolder:
        member = &Callbacks::onBrowseCustom;
        break;
    case Action::openInDefaultApp:
        member = &Callbacks::onToggleFullscreenPreview;
        break;
    default:
        // Close and the rest: the hint only shows the key, which the window handles.
        return {};
    }
    return callback(member);
}

QString ActionPaletteView::announcement() const
{
    QStringList parts{m_item.filename};
    const QString kind = m_item.localizedKind();
    if (!kind.isEmpty())
        parts << kind;
    parts << m_item.formattedSize();
    if (m_total > 0)
        parts << tr("%1 of %2").arg(m_position).arg(m_total);
    return parts.join(QStringLiteral(", "));
}

void ActionPaletteView::setQueuePosition(int position, int total)
{
    m_position = position;
    m_total = total;
    announceItem();
}

void ActionPaletteView::setWaitingCount(qsizetype waiting)
{
    qsizetype index = m_seen.indexOf(m_item.id);
    if (index < 0) {
        m_seen.append(m_item.id);
        index = m_seen.size() - 1;
    }
    // Items shown before this one have been dealt with (filed, trashed or skipped).
    const qsizetype before = m_seen.size() - 1;
    const qsizetype total =
        std::max<qsizetype>(index + 1, before + std::max<qsizetype>(waiting, 1));
    setQueuePosition(int(std::min<qsizetype>(index + 1, INT_MAX)),
                     int(std::min<qsizetype>(total, INT_MAX)));
}

void ActionPaletteView::announceItem()
{
    const QString text = announcement();
    if (m_card->accessibleName() == text)
        return;
    m_card->setAccessibleName(text);
    m_card->setAccessibleDescription(cardDescription());
    // The card takes the focus when nothing else holds it (keys are read for the whole
    // window, so this changes no behaviour): a screen reader then speaks the new item.
    if (isVisible() && window()->isActiveWindow() && !QApplication::focusWidget())
        m_card->setFocus(Qt::OtherFocusReason);
    QAccessibleEvent changed(m_card, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void ActionPaletteView::setItem(const TriageItem& item)
{
    if (item == m_item)
        return;
    m_item = item;
    m_addedMs = item.creationDate.toMSecsSinceEpoch();
    m_nameLabel->setText(item.filename);
    m_sizeLabel->setText(item.formattedSize());
    m_kindLabel->setText(item.localizedKind());
    updateAddedTime();
    const QString folder = QDir::cleanPath(FileNaming::parentPath(item.path()));
    m_inboxName =
        m_downloadsFolder.isEmpty() || folder == m_downloadsFolder || item.path().isEmpty()
            ? QString()
            : InboxFolders::displayName(folder);
    showOriginHost(item.originHost);
    announceItem();
    // A browser records where a download came from in GIO's metadata rather than in the
    // file's attributes: read off this thread, shown if the item is still this one then.
    if (item.originHost.isEmpty() && !item.isDirectory && item.url.isLocalFile()) {
        const quint64 request = ++m_originRequest;
        DownloadUriMetadata::fetchHost(
            item.path(), this, [this, request, id = item.id](const QString& host) {
                if (request != m_originRequest || id != m_item.id || host.isEmpty())
                    return;
                showOriginHost(host);
                if (m_callbacks.onOriginHostFound)
                    m_callbacks.onOriginHostFound(id, host);
            });
    } else {
        ++m_originRequest;
    }
}

void ActionPaletteView::setDownloadsFolder(const QString& folder)
{
    m_downloadsFolder = QDir::cleanPath(folder);
}

void ActionPaletteView::showOriginHost(const QString& host)
{
    m_originHost = host;
    updateOriginLine();
}

void ActionPaletteView::updateOriginLine()
{
    QStringList parts;
    if (!m_originHost.isEmpty())
        parts << tr("from %1").arg(m_originHost);
    if (!m_inboxName.isEmpty())
        parts << tr("in %1").arg(m_inboxName);
    m_originLabel->setText(parts.join(QStringLiteral(" \u00b7 ")));
    m_originLabel->setVisible(!parts.isEmpty());
    m_card->setAccessibleDescription(cardDescription());
}

QString ActionPaletteView::cardDescription() const
{
    QString text =
        m_originHost.isEmpty() ? addedText() : tr("%1, from %2").arg(addedText(), m_originHost);
    if (!m_inboxName.isEmpty())
        text = tr("%1, in %2").arg(text, m_inboxName);
    // The notes under the card are part of what a screen reader hears for the item.
    for (const QLabel* note : {m_groupNote, m_duplicateLabel}) {
        if (note && !note->text().isEmpty())
            text += QStringLiteral(". ") +
                    QString(note->text()).replace(QLatin1Char('\n'), QLatin1String(". "));
    }
    return text;
}

void ActionPaletteView::setSuggestion(
    const std::optional<SuggestionService::Suggestion>& suggestion)
{
    const bool same = suggestion.has_value() == m_suggestion.has_value() &&
                      (!suggestion || (suggestion->folder == m_suggestion->folder &&
                                       suggestion->reason == m_suggestion->reason &&
                                       suggestion->slot == m_suggestion->slot));
    if (same)
        return;
    m_suggestion = suggestion;
    if (suggestion)
        m_suggestionRow->setSuggestion(*suggestion);
    m_suggestionRow->setVisible(suggestion.has_value());
    m_slotList->setSuggestedSlot(suggestion ? suggestion->slot : std::nullopt);
}

void ActionPaletteView::setGroup(const QStringList& names, int shown)
{
    QString text;
    if (names.size() > 1) {
        using Action = TriageKeyTable::Action;
        const QString summary = LookAlikeGrouper::summary(names);
        const QString keys = tr("%1 moves all \u00b7 %2 trashes all \u00b7 %3 to look through")
                                 .arg(TriageKeyTable::entry(Action::fileGroupToSlot).keyName,
                                      TriageKeyTable::entry(Action::trashGroup).keyName,
                                      TriageKeyTable::entry(Action::stepGroup).keyName);
        text = shown > 0 && shown < names.size() ? tr("%1\nShowing %2 of %3: %4")
                                                       .arg(summary)
                                                       .arg(shown + 1)
                                                       .arg(names.size())
                                                       .arg(names.at(shown))
                                                 : QStringLiteral("%1\n%2").arg(summary, keys);
    }
    if (text == m_groupNote->text())
        return;
    m_groupNote->setText(text);
    m_groupNote->setAccessibleName(QString(text).replace(QLatin1Char('\n'), QLatin1String(". ")));
    m_groupNote->setVisible(!text.isEmpty());
    m_card->setAccessibleDescription(cardDescription());
}

QString ActionPaletteView::groupNote() const
{
    return m_groupNote->text();
}

void ActionPaletteView::setDuplicateNote(const QString& text)
{
    if (text == m_duplicateLabel->text())
        return;
    m_duplicateLabel->setText(text);
    m_duplicateRow->setVisible(!text.isEmpty());
    m_card->setAccessibleDescription(cardDescription());
}

QString ActionPaletteView::duplicateNote() const
{
    return m_duplicateLabel->text();
}

void ActionPaletteView::setLastDestination(const QString& name)
{
    if (name == m_lastDestination)
        return;
    m_lastDestination = name;
    const QString key = TriageKeyTable::entry(TriageKeyTable::Action::fileLikeLast).keyName;
    if (!name.isEmpty())
        m_sameAsLastRow->setKeyed(
            key, tr("Same as last: %1").arg(name), tr("Same as last: %1").arg(name),
            tr("%1 moves the item to %2, where the last file went").arg(key, name));
    m_sameAsLastRow->setVisible(!name.isEmpty());
}

QString ActionPaletteView::addedText() const
{
    // Both moments in UTC: no time-zone lookup per redraw.
    return tr("Added %1")
        .arg(RelativeTimeFormatter::format(QDateTime::fromMSecsSinceEpoch(m_addedMs, Qt::UTC),
                                           QDateTime::currentDateTimeUtc()));
}

void ActionPaletteView::setSlots(const QList<DestinationSlot>& destinationSlots)
{
    m_slotList->setSlots(destinationSlots);
}

void ActionPaletteView::setStatus(const std::optional<StatusLine>& status)
{
    m_statusLine->setStatus(status);
}

void ActionPaletteView::setStatusMessage(const std::optional<QString>& message)
{
    m_statusLine->setMessage(message);
}

std::optional<QString> ActionPaletteView::statusMessage() const
{
    return m_statusLine->message();
}

StatusLine::Kind ActionPaletteView::statusKind() const
{
    return m_statusLine->kind();
}

QList<QAbstractButton*> ActionPaletteView::slotRows() const
{
    return m_slotList->slotRows();
}

QAbstractButton* ActionPaletteView::customRow() const
{
    return m_slotList->customRow();
}

QAbstractButton* ActionPaletteView::suggestionRow() const
{
    return m_suggestionRow;
}

QAbstractButton* ActionPaletteView::sameAsLastRow() const
{
    return m_sameAsLastRow;
}

void ActionPaletteView::refresh()
{
    if (m_sinceMomentRefresh.isValid() && m_sinceMomentRefresh.elapsed() < momentRefreshMs)
        return;
    m_sinceMomentRefresh.start();
    m_slotList->refreshAvailability();
    updateAddedTime();
}

void ActionPaletteView::updateAddedTime()
{
    const QString text = addedText();
    if (text != m_addedLabel->text()) {
        m_addedLabel->setText(text);
        m_card->setAccessibleDescription(cardDescription());
    }
    // Only a palette on screen keeps time: a hidden program is not woken for it.
    if (!isVisible() || !m_item.creationDate.isValid()) {
        m_addedTimer->stop();
        return;
    }
    // A little past the moment the text changes, so that it has changed when looked at.
    constexpr qint64 slackMs = 20;
    const qint64 wait = RelativeTimeFormatter::msUntilChange(
        QDateTime::fromMSecsSinceEpoch(m_addedMs, Qt::UTC), QDateTime::currentDateTimeUtc());
    m_addedTimer->start(int(wait + slackMs));
}

void ActionPaletteView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateAddedTime();
}

void ActionPaletteView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_addedTimer->stop();
}
