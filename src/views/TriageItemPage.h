#pragma once

#include "models/TriageItem.h"
#include "services/SuggestionService.h"
#include "views/ActionPaletteView.h"
#include "views/TriageRenamePanel.h"

#include <QUuid>
#include <QWidget>

#include <memory>
#include <optional>

class ConfigurationService;
class DuplicateFinder;
class ItemRevealer;
class LoggerService;
class LookAlikeService;
class QStackedWidget;
class TriageActionController;
class TriagePreviewPane;
class TriageQueueManager;

// The HUD's page for the head item of the queue: its preview on the left and, beside it, the
// palette of what can be done with it or, while it is renamed, the name field. Besides the
// item the palette shows what is known about it: where the history suggests it goes, the
// look-alikes waiting with it (the arrows step the preview through them), whether a copy is
// already filed or waiting, where the last item went and the status line.
class TriageItemPage : public QWidget
{
    Q_OBJECT
public:
    struct Sources
    {
        TriageQueueManager* queue = nullptr;
        ConfigurationService* config = nullptr;
        TriageActionController* actions = nullptr;
        LookAlikeService* lookAlikes = nullptr;
        DuplicateFinder* duplicates = nullptr;
        SuggestionService* suggestions = nullptr; // none: nothing is suggested
        LoggerService* logger = nullptr;
        std::shared_ptr<ItemRevealer> revealer;
        QString downloadsFolder;
    };

    // palette: what the palette's buttons do (its origin host callback is the page's own).
    TriageItemPage(Sources sources, ActionPaletteView::Callbacks palette,
                   TriageRenamePanel::Callbacks rename, QWidget* parent);

    // Draws the head: the preview (of the look-alike stepped to), and the palette, or the
    // rename field with renameText while a rename is open.
    void showHead(const TriageItem& head, bool allowLargePreview,
                  const std::optional<QString>& renameText);
    void clearPreview();

    // The head's look-alikes, head first; empty when it has none.
    QList<TriageItem> currentGroup() const;
    // The ids of items, in their order: what group actions and the shown group go by.
    static QList<QUuid> idsOf(const QList<TriageItem>& items);
    // What the preview shows of the group: 0 is the head.
    int shownGroupMember() const { return m_groupShown; }
    // Moves the preview to the next or previous look-alike; false when the head has none.
    // The window redraws after it.
    bool stepGroup(bool forward);
    // The suggestion for the head item, as the palette shows it; none when suggestions are
    // off, the history is not sure, or nothing waits.
    std::optional<SuggestionService::Suggestion> currentSuggestion() const;

signals:
    void largePreviewRequested();
    void previewShown();
    // What the palette shows of the head changed (its group, its duplicate note, its
    // origin): the window should redraw.
    void changed();

private:
    void refreshPalette(const TriageItem& head, const QList<TriageItem>& group);
    // Logs a new suggestion once per head item.
    void logSuggestion(const TriageItem& head,
                       const std::optional<SuggestionService::Suggestion>& suggestion);
    // Asks whether the head is a copy of a file already filed or waiting, once per head
    // and destination; the note under the card follows the answer.
    void checkForDuplicate(const TriageItem& head,
                           const std::optional<SuggestionService::Suggestion>& suggestion);
    QString duplicateText(const TriageItem& head) const;

    Sources m_sources;
    TriagePreviewPane* m_previewPane = nullptr;
    QStackedWidget* m_rightColumn = nullptr;
    ActionPaletteView* m_palette = nullptr;
    TriageRenamePanel* m_renamePanel = nullptr;
    // The head the group preview and the duplicate check are for.
    QUuid m_groupFor;
    int m_groupShown = 0;
    QList<QUuid> m_shownGroup; // the head's group as the card shows it
    QString m_duplicateCheck;  // head id and folders of the last check asked for
    // The head item a suggestion was last logged for.
    QUuid m_loggedSuggestionFor;
};
