#include "views/TriageHeadCommands.h"

#include "platform/ItemRevealer.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "views/TriageItemPage.h"

#include <QDir>
#include <QFileInfo>

QString TriageHeadCommands::s_lastCustomFolder;

TriageHeadCommands::TriageHeadCommands(TriageContainerView& view,
                                       const TriageContainerView::Services& services)
    : QObject(&view), m_view(view), m_services(services)
{
}

void TriageHeadCommands::routeGroupToSlot(const DestinationSlot& slot, InputMethod input)
{
    const std::optional<TriageItem> head = m_services.queue->activeItem();
    if (!head)
        return;
    const QList<TriageItem> group = m_view.currentGroup();
    if (group.size() < 2) {
        // No look-alikes: the one item, as its digit alone would.
        if (!slot.isAvailable())
            m_view.offerToCreateSlotFolder(slot, input);
        else
            m_view.routeToSlot(slot, input);
        return;
    }
    if (!slot.isAvailable()) {
        m_view.actions()->showStatus(tr("Not moved: the folder of %1 is missing (press %2 to "
                                        "create it for this file)")
                                         .arg(slot.name)
                                         .arg(slot.slot),
                                     StatusLine::Kind::Error);
        return;
    }
    m_services.logger->action(
        QStringLiteral("Moving %1 look-alikes to slot %2").arg(group.size()).arg(slot.slot));
    m_view.actions()->routeGroupToSlot(slot, TriageItemPage::idsOf(group), input);
}

void TriageHeadCommands::trashGroup(InputMethod input)
{
    const QList<TriageItem> group = m_view.currentGroup();
    if (group.size() < 2) {
        m_view.trashCurrent(input);
        return;
    }
    m_services.logger->action(QStringLiteral("Trashing %1 look-alikes").arg(group.size()));
    m_view.actions()->trashGroup(TriageItemPage::idsOf(group), input);
}

void TriageHeadCommands::acceptSuggestion()
{
    const std::optional<TriageItem> head = m_services.queue->activeItem();
    if (!head)
        return;
    const std::optional<SuggestionService::Suggestion> suggestion = m_view.currentSuggestion();
    if (!suggestion) {
        m_view.actions()->showStatus(tr("No suggestion for this item"));
        return;
    }
    m_services.logger->action(
        QStringLiteral("Filing item (.%1) as suggested").arg(FileExecutionEngine::logToken(*head)));
    if (!suggestion->slot) {
        m_view.actions()->moveToFolder(suggestion->folder, InputMethod::keyboard, head);
        return;
    }
    if (!suggestion->slot->isAvailable())
        m_view.offerToCreateSlotFolder(*suggestion->slot, InputMethod::keyboard);
    else
        m_view.routeToSlot(*suggestion->slot, InputMethod::keyboard);
}

void TriageHeadCommands::moveToCustomFolder(InputMethod input,
                                            const TriageContainerView::FolderChooser& chooser)
{
    const std::optional<TriageItem> shown = m_services.queue->activeItem();
    if (!shown)
        return;
    const std::optional<QString> folder = chooser ? chooser(m_view.window()) : std::nullopt;
    // An action that ended meanwhile may have put another item at the head: the folder was
    // chosen for the item shown when the dialog opened.
    if (folder && !folder->isEmpty()) {
        s_lastCustomFolder = *folder;
        m_view.actions()->moveToFolder(*folder, input, shown);
    }
}

QString TriageHeadCommands::customFolderStart()
{
    if (!s_lastCustomFolder.isEmpty() && QFileInfo(s_lastCustomFolder).isDir())
        return s_lastCustomFolder;
    return QDir::homePath();
}

void TriageHeadCommands::revealInFinder()
{
    const auto head = m_services.queue->activeItem();
    if (!head)
        return;
    m_services.logger->action(QStringLiteral("Revealing item (.%1) in the file manager")
                                  .arg(FileExecutionEngine::logToken(*head)));
    if (m_services.revealer)
        m_services.revealer->reveal(head->url);
}
