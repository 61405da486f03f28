#pragma once

#include "models/DestinationSlot.h"
#include "models/TriageSessionStats.h"
#include "views/TriageContainerView.h"

#include <QObject>

// The window's commands on the head item that take more than handing it to the action
// controller: filing or trashing the head together with its look-alikes, filing it where the
// history suggests, moving it to a folder chosen in a dialog (which opens where the last one
// was chosen) and showing it in the file manager. Each says when there is nothing to do or
// the destination is missing, and logs what it asks for.
class TriageHeadCommands : public QObject
{
    Q_OBJECT
public:
    TriageHeadCommands(TriageContainerView& view, const TriageContainerView::Services& services);

    void routeGroupToSlot(const DestinationSlot& slot, InputMethod input);
    void trashGroup(InputMethod input);
    void acceptSuggestion();
    void moveToCustomFolder(InputMethod input, const TriageContainerView::FolderChooser& chooser);
    void revealInFinder();
    // Where the folder dialog opens: the folder last chosen there while it still exists,
    // else home.
    static QString customFolderStart();

private:
    TriageContainerView& m_view;
    const TriageContainerView::Services& m_services;
    static QString s_lastCustomFolder;
};
