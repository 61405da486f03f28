#pragma once

#include "models/DestinationSlot.h"
#include "models/TriageSessionStats.h"
#include "views/TriageContainerView.h"

#include <QObject>
#include <QPointer>

class CheatSheetOverlay;
class CreateFolderOffer;
class HistorySheet;
class SettingsSheet;
class TriageKeyboard;

// The panels laid over the HUD: the keyboard shortcut sheet, the settings, the history and
// the offer to create a missing slot folder. Each is made when it opens and dropped when it
// closes: the settings' working copies live exactly as long as the sheet is open, and the
// history is read afresh each time. Closing one gives the focus back to the item card, where
// a screen reader left off. Which sheets are open is the window's state; this follows it.
class TriageSheets : public QObject
{
    Q_OBJECT
public:
    // downloadsFolder: the watched folder, as the settings and the history name it.
    TriageSheets(TriageContainerView& view, const TriageContainerView::Services& services,
                 const TriageKeyboard& keyboard, QString downloadsFolder);

    // Opens and closes the sheets to match what the window shows.
    void follow(bool cheatSheet, bool settings, bool history);
    // A slot whose folder is missing: offers to create it and file the head there.
    void offerToCreateSlotFolder(const DestinationSlot& slot, InputMethod input);
    bool offeringToCreateFolder() const { return !m_createOffer.isNull(); }

private:
    void followCheatSheet(bool open);
    void followSettings(bool open);
    void followHistory(bool open);
    void closeCreateOffer();
    // Drops a sheet closed, perhaps from inside its own handler: deleted later.
    void drop(QWidget* sheet);
    void returnFocusToItem();

    TriageContainerView& m_view;
    const TriageContainerView::Services& m_services;
    const TriageKeyboard& m_keyboard;
    QString m_downloadsFolder;
    QPointer<CheatSheetOverlay> m_cheatSheet;
    QPointer<SettingsSheet> m_settingsSheet;
    QPointer<HistorySheet> m_historySheet;
    QPointer<CreateFolderOffer> m_createOffer;
};
