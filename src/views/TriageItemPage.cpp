#include "views/TriageItemPage.h"

#include "services/ConfigurationService.h"
#include "services/DuplicateFinder.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/LookAlikeService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "views/RelativeTimeFormatter.h"
#include "views/Theme.h"
#include "views/TriagePreviewPane.h"

#include <QHBoxLayout>
#include <QStackedWidget>

QList<QUuid> TriageItemPage::idsOf(const QList<TriageItem>& items)
{
    QList<QUuid> ids;
    for (const TriageItem& item : items)
        ids << item.id;
    return ids;
}

TriageItemPage::TriageItemPage(Sources sources, ActionPaletteView::Callbacks palette,
                               TriageRenamePanel::Callbacks rename, QWidget* parent)
    : QWidget(parent), m_sources(std::move(sources))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_previewPane = new TriagePreviewPane(m_sources.revealer, *m_sources.logger, this);
    connect(m_previewPane, &TriagePreviewPane::previewShown, this, &TriageItemPage::previewShown);
    connect(m_previewPane, &TriagePreviewPane::largePreviewRequested, this,
            &TriageItemPage::largePreviewRequested);
    layout->addWidget(m_previewPane, 1);
    layout->addWidget(Theme::divider(Qt::Vertical, this));

    m_rightColumn = new QStackedWidget(this);
    palette.onOriginHostFound = [this](const QUuid& itemId, const QString& host) {
        // Recorded with the item's action, and a clue for the suggestion and the grouping.
        m_sources.actions->noteOriginHost(itemId, host);
        m_sources.lookAlikes->noteOriginHost(itemId, host);
        emit changed();
    };
    m_palette = new ActionPaletteView(std::move(palette), m_rightColumn);
    m_palette->setDownloadsFolder(m_sources.downloadsFolder);
    m_rightColumn->addWidget(m_palette);
    m_renamePanel = new TriageRenamePanel(std::move(rename), m_rightColumn);
    m_rightColumn->addWidget(m_renamePanel);
    // 320 to 400 wide: at the smallest window the preview keeps its 420 and the column
    // takes what is left instead of running off the window's edge.
    m_rightColumn->setMinimumWidth(ActionPaletteView::minimumColumnWidth);
    m_rightColumn->setMaximumWidth(ActionPaletteView::maximumColumnWidth);
    // Equal shares: the column reaches its widest beside a preview of about the same width.
    layout->addWidget(m_rightColumn, 1);

    // Redrawn only when what the card shows changes: the head's group, or its duplicate note.
    connect(m_sources.lookAlikes, &LookAlikeService::changed, this, [this] {
        if (idsOf(currentGroup()) != m_shownGroup)
            emit changed();
    });
    connect(m_sources.duplicates, &DuplicateFinder::checked, this, [this](const QUuid& itemId) {
        const std::optional<TriageItem> head = m_sources.queue->activeItem();
        if (head && head->id == itemId && duplicateText(*head) != m_palette->duplicateNote())
            emit changed();
    });
}

void TriageItemPage::showHead(const TriageItem& head, bool allowLargePreview,
                              const std::optional<QString>& renameText)
{
    // The preview may be on another of the head's look-alikes (the arrows); a new head
    // starts at itself.
    const QList<TriageItem> group = currentGroup();
    if (m_groupFor != head.id) {
        m_groupFor = head.id;
        m_groupShown = 0;
    }
    if (m_groupShown >= group.size())
        m_groupShown = 0;
    m_previewPane->showItem(m_groupShown > 0 ? group.at(m_groupShown) : head, allowLargePreview);

    if (renameText) {
        m_renamePanel->openField(*renameText);
        m_rightColumn->setCurrentWidget(m_renamePanel);
    } else {
        m_renamePanel->closeField();
        m_rightColumn->setCurrentWidget(m_palette);
        refreshPalette(head, group);
    }
}

void TriageItemPage::clearPreview()
{
    m_previewPane->clear();
}

QList<TriageItem> TriageItemPage::currentGroup() const
{
    const std::optional<TriageItem> head = m_sources.queue->activeItem();
    if (!head)
        return {};
    QList<TriageItem> group = m_sources.lookAlikes->groupItems(head->id);
    // The head leads, whatever order the group was found in.
    const auto at = std::find_if(group.begin(), group.end(),
                                 [&](const TriageItem& item) { return item.id == head->id; });
    if (at == group.end())
        return {};
    std::rotate(group.begin(), at, at + 1);
    return group;
}

bool TriageItemPage::stepGroup(bool forward)
{
    const QList<TriageItem> group = currentGroup();
    const qsizetype size = group.size();
    if (size < 2)
        return false;
    // A head that came up since the last redraw starts at itself.
    if (m_groupFor != group.front().id) {
        m_groupFor = group.front().id;
        m_groupShown = 0;
    }
    m_groupShown = int((m_groupShown + (forward ? 1 : size - 1)) % size);
    return true;
}

std::optional<SuggestionService::Suggestion> TriageItemPage::currentSuggestion() const
{
    if (!m_sources.suggestions || !m_sources.config->config().general.suggestDestinations)
        return std::nullopt;
    const std::optional<TriageItem> head = m_sources.queue->activeItem();
    if (!head)
        return std::nullopt;
    // The host its browser recorded, once the palette has read it for this item.
    const QString host = m_palette->item().id == head->id ? m_palette->originHost() : QString();
    return m_sources.suggestions->suggest(*head, m_sources.config->config().destinationSlots, host);
}

void TriageItemPage::refreshPalette(const TriageItem& head, const QList<TriageItem>& group)
{
    m_palette->setItem(head);
    m_palette->setWaitingCount(m_sources.queue->totalQueueDepth());
    m_palette->setSlots(m_sources.config->config().destinationSlots);
    const std::optional<SuggestionService::Suggestion> suggestion = currentSuggestion();
    logSuggestion(head, suggestion);
    m_palette->setSuggestion(suggestion);
    QStringList names;
    for (const TriageItem& member : group)
        names << member.filename;
    m_shownGroup = idsOf(group);
    m_palette->setGroup(names, m_groupShown);
    checkForDuplicate(head, suggestion);
    m_palette->setDuplicateNote(duplicateText(head));
    const TriageActionController& actions = *m_sources.actions;
    const std::optional<TriageActionController::LastDestination> last = actions.lastDestination();
    m_palette->setLastDestination(last ? last->name : QString());
    std::optional<StatusLine> status = actions.status();
    // The progress strip shows what still runs.
    if (status && status->kind == StatusLine::Kind::Progress && actions.runningAction())
        status.reset();
    m_palette->setStatus(status);
    m_palette->refresh();
}

void TriageItemPage::logSuggestion(const TriageItem& head,
                                   const std::optional<SuggestionService::Suggestion>& suggestion)
{
    if (!suggestion || m_loggedSuggestionFor == head.id)
        return;
    m_loggedSuggestionFor = head.id;
    const QString token = FileExecutionEngine::logToken(head);
    m_sources.logger->debug(
        suggestion->slot
            ? QStringLiteral("Suggesting slot %1 for item (.%2)")
                  .arg(suggestion->slot->slot)
                  .arg(token)
            : QStringLiteral("Suggesting a folder chosen before for item (.%1)").arg(token));
}

void TriageItemPage::checkForDuplicate(
    const TriageItem& head, const std::optional<SuggestionService::Suggestion>& suggestion)
{
    QStringList folders;
    if (suggestion)
        folders << suggestion->folder;
    for (const DestinationSlot& slot : m_sources.config->config().destinationSlots) {
        const QString folder = slot.resolvedPath();
        if (!folder.trimmed().isEmpty() && !folders.contains(folder))
            folders << folder;
    }
    const QString key = head.id.toString() + folders.join(QLatin1Char('\n'));
    if (key == m_duplicateCheck)
        return;
    m_duplicateCheck = key;
    QList<TriageItem> waiting = m_sources.queue->items();
    waiting.removeIf([&](const TriageItem& item) { return item.id == head.id; });
    m_sources.duplicates->check(head, folders, waiting);
}

QString TriageItemPage::duplicateText(const TriageItem& head) const
{
    const std::optional<DuplicateFinder::Match> match = m_sources.duplicates->matchFor(head.id);
    if (!match)
        return {};
    return DuplicateFinder::describe(
        *match, match->filedAt ? RelativeTimeFormatter::format(*match->filedAt) : QString());
}
