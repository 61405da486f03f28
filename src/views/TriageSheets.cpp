#include "views/TriageSheets.h"

#include "platform/FolderCreator.h"
#include "platform/StoragePaths.h"
#include "services/LoggerService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "views/CheatSheetOverlay.h"
#include "views/CreateFolderOffer.h"
#include "views/HistorySheet.h"
#include "views/HistoryView.h"
#include "views/SettingsSheet.h"
#include "views/SettingsView.h"
#include "views/TriageKeyboard.h"

#include <utility>

TriageSheets::TriageSheets(TriageContainerView& view, const TriageContainerView::Services& services,
                           const TriageKeyboard& keyboard, QString downloadsFolder)
    : QObject(&view), m_view(view), m_services(services), m_keyboard(keyboard),
      m_downloadsFolder(std::move(downloadsFolder))
{
}

void TriageSheets::follow(bool cheatSheet, bool settings, bool history)
{
    followCheatSheet(cheatSheet);
    followSettings(settings);
    followHistory(history);
}

void TriageSheets::followCheatSheet(bool open)
{
    if (open && !m_cheatSheet) {
        m_cheatSheet = new CheatSheetOverlay(
            *m_services.globalShortcut, [this] { m_view.setShowingCheatSheet(false); }, &m_view);
        m_cheatSheet->showAnimated();
    } else if (!open && m_cheatSheet) {
        // Closed from inside one of its own click handlers.
        drop(std::exchange(m_cheatSheet, nullptr));
    }
}

void TriageSheets::followSettings(bool open)
{
    if (open && !m_settingsSheet) {
        // A new sheet each time: its working copies live exactly as long as it is open.
        m_settingsSheet = new SettingsSheet(
            *m_services.config, *m_services.launchAtLogin, *m_services.updates,
            *m_services.telemetry, *m_services.globalShortcut,
            [this] { m_view.setShowingSettings(false); }, &m_view);
        m_settingsSheet->view()->setHistory(m_services.history);
        m_settingsSheet->view()->setDownloadsFolder(m_downloadsFolder);
        m_settingsSheet->setGeometry(m_view.rect());
        m_settingsSheet->show();
        m_settingsSheet->raise();
    } else if (!open && m_settingsSheet) {
        drop(std::exchange(m_settingsSheet, nullptr));
    }
}

void TriageSheets::followHistory(bool open)
{
    if (open && !m_historySheet) {
        // A new sheet each time: it reads the history afresh.
        m_historySheet = new HistorySheet(
            m_services.history, m_services.revealer, m_services.logger,
            m_services.downloadsDirectory.isEmpty() ? StoragePaths::downloadsDirectory()
                                                    : m_services.downloadsDirectory,
            [this] { m_view.setShowingHistory(false); }, &m_view);
        m_historySheet->view()->setLatinKeyReader(
            [this](const QKeyEvent* event) { return m_keyboard.tableCharacter(event); });
        m_historySheet->show();
        m_historySheet->raise();
    } else if (!open && m_historySheet) {
        // Closed from inside its own key handler.
        drop(std::exchange(m_historySheet, nullptr));
    }
}

void TriageSheets::drop(QWidget* sheet)
{
    sheet->hide();
    sheet->deleteLater();
    returnFocusToItem();
}

void TriageSheets::offerToCreateSlotFolder(const DestinationSlot& slot, InputMethod input)
{
    if (m_createOffer || !m_services.queue->activeItem())
        return;
    const QString folder = slot.resolvedPath();
    if (folder.trimmed().isEmpty())
        return;
    m_services.logger->action(
        QStringLiteral("Slot %1 folder missing; offering to create it").arg(slot.slot));
    const auto created = [this, slot, input](bool ok, const QString& error) {
        if (!ok) {
            m_view.actions()->showStatus(tr("Could not create the folder: %1").arg(error),
                                         StatusLine::Kind::Error);
            return;
        }
        m_services.logger->action(QStringLiteral("Created the folder of slot %1").arg(slot.slot));
        m_view.routeToSlot(slot, input);
    };
    m_createOffer = new CreateFolderOffer(
        CreateFolderOffer::moveQuestion(StoragePaths::tildePath(folder)), tr("Create and Move"),
        [this, folder, created] {
            closeCreateOffer();
            FolderCreator::create(folder, &m_view, created);
        },
        [this] { closeCreateOffer(); }, &m_view);
    m_createOffer->show();
}

void TriageSheets::closeCreateOffer()
{
    if (!m_createOffer)
        return;
    m_createOffer->hide();
    m_createOffer->deleteLater();
    m_createOffer = nullptr;
    returnFocusToItem();
}

void TriageSheets::returnFocusToItem()
{
    auto* card = m_view.findChild<QWidget*>(QStringLiteral("itemCard"));
    auto* review = m_view.findChild<QWidget*>(QStringLiteral("reviewSkippedButton"));
    if (card && card->isVisible())
        card->setFocus(Qt::OtherFocusReason);
    else if (review && review->isVisible())
        review->setFocus(Qt::OtherFocusReason);
    else
        m_view.setFocus(Qt::OtherFocusReason);
}
