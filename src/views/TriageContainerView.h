#pragma once

#include "models/DestinationSlot.h"
#include "models/StatusLine.h"
#include "models/TriageItem.h"
#include "models/TriageSessionStats.h"
#include "services/SuggestionService.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class BlockingProblems;
class ActionProgressView;
class ConfigurationService;
class DuplicateFinder;
class FileExecutionEngine;
class HistoryStore;
class ItemRevealer;
class LatinKeyResolver;
class LaunchAtLoginService;
class LookAlikeService;
class LoggerService;
class MonotonicClock;
class QKeyEvent;
class ProblemBanner;
class QueueRescanner;
class QStackedWidget;
class QTimer;
class GlobalShortcutService;
class TelemetryService;
class TriageActionController;
class StatusAnnouncer;
class TriageEmptyPage;
class TriageHeadCommands;
class TriageHeaderBar;
class TriageItemPage;
class TriageKeyboard;
class TriageQueueManager;
class TriageSheets;
class UpdateService;

// The root of the triage HUD. Its keyboard (TriageKeyboard) reads every key press while the
// HUD is shown and maps it to one of the operations below on the head item of the queue;
// the window hands them to the action controller, which runs them and reports the outcome.
// The window draws the header, the head item (preview and palette, or the rename field) or
// the empty page, the progress strip and the sheets laid over it, from the state of the
// queue and the controller.
class TriageContainerView : public QWidget
{
    Q_OBJECT
public:
    struct Services
    {
        TriageQueueManager* queue = nullptr;
        ConfigurationService* config = nullptr;
        FileExecutionEngine* engine = nullptr;
        TelemetryService* telemetry = nullptr;
        LoggerService* logger = nullptr;
        // Runs the file actions; the window makes its own from the services above when
        // none is given (the program gives one that outlives every showing of the window).
        TriageActionController* actions = nullptr;
        std::shared_ptr<ItemRevealer> revealer;
        // Lists the folder; while it runs and nothing waits yet, the window says it is
        // looking rather than claiming the folder is empty. Optional.
        QueueRescanner* rescanner = nullptr;
        // For the settings sheet and the shortcut sheet; required to open them.
        LaunchAtLoginService* launchAtLogin = nullptr;
        UpdateService* updates = nullptr;
        const GlobalShortcutService* globalShortcut = nullptr;
        // The watched folder, as texts name it; the user's Downloads folder when empty.
        QString downloadsDirectory;
        // What a key stands for on a layout without Latin letters where it is pressed (the
        // key typing "в" is D on a Russian layout); the session's layouts when none is given.
        std::shared_ptr<LatinKeyResolver> keyResolver;
        // The lasting history: the window's own action controller records into it, the
        // history window lists and undoes from it (saying history is unavailable without
        // one), and the settings can forget it. Optional.
        HistoryStore* history = nullptr;
        // Where the history suggests the head item goes; the window makes its own from the
        // history when none is given. Optional.
        SuggestionService* suggestions = nullptr;
        // The waiting items that belong together (numbered scans, copies of one name); the
        // window makes its own from the queue when none is given.
        LookAlikeService* lookAlikes = nullptr;
        // Finds a copy of the head item already filed or waiting; the window makes its own
        // (with the history's file, when there is one) when none is given.
        DuplicateFinder* duplicates = nullptr;
        // What stops Stowbird from doing its job now, shown in a strip under the header
        // while it lasts. Optional.
        BlockingProblems* problems = nullptr;
        // Times the delays of the action controller the window makes (the watchdog, how
        // long a status line stays, when progress shows); none: the system's clock. A test
        // hands in a clock it moves by hand.
        const MonotonicClock* clock = nullptr;
    };
    // Chooses the folder for a custom move; nothing when the user cancelled.
    using FolderChooser = std::function<std::optional<QString>(QWidget* parent)>;
    // Opens a file with its default application.
    using FileOpener = std::function<void(const QUrl&)>;

    TriageContainerView(Services services, std::function<void()> onDismissHUD,
                        std::function<void()> onRescan, QWidget* parent = nullptr);
    ~TriageContainerView() override;

    // Seams for tests and for platforms without the usual desktop services.
    void setFolderChooser(FolderChooser chooser) { m_folderChooser = std::move(chooser); }
    void setFileOpener(FileOpener opener) { m_fileOpener = std::move(opener); }
    void setWatchdogInterval(int ms);
    void setStatusDuration(int ms);
    TriageActionController* actions() const { return m_actions; }

    // The key map (TriageKeyTable). Returns true when the key was consumed, false to pass
    // it on.
    bool handleKeyEvent(QKeyEvent* event);

    // Operations, reached from keys and from the palette.
    void routeToSlot(const DestinationSlot& slot, InputMethod input);
    void moveToCustomFolder(InputMethod input);
    void trashCurrent(InputMethod input);
    // The head and its look-alikes as one action (alone when it has none).
    void routeGroupToSlot(const DestinationSlot& slot, InputMethod input);
    void trashGroup(InputMethod input);
    // Files the head where the last filed item went.
    void fileLikeLast(InputMethod input);
    // Previews the next (forward) or previous look-alike of the head; false when it has none.
    bool stepGroup(bool forward);
    // The head's look-alikes as the window shows them, head first; empty when it has none.
    QList<TriageItem> currentGroup() const;
    // What the preview shows of the group: 0 is the head.
    int shownGroupMember() const;
    void skipCurrentItem(InputMethod input);
    void startRename();
    void commitRename(const QString& newName);
    void cancelRename();
    void undoLastAction();
    // Return on an item: files it where the history suggests; says so when there is no
    // suggestion for it.
    void acceptSuggestion();
    // The suggestion for the head item, as the palette shows it; none when suggestions are
    // off, the history is not sure, or nothing waits.
    std::optional<SuggestionService::Suggestion> currentSuggestion() const;
    // Stops the running move (the c key and the progress strip's Cancel button).
    void cancelRunningAction();
    void revealInFinder();
    void openInDefaultApp();
    void toggleCheatSheet();
    void setShowingCheatSheet(bool showing);
    void setShowingSettings(bool showing);
    // The history window (the h key); Escape closes it.
    void setShowingHistory(bool showing);
    void allowLargePreviewNow();
    // A slot whose folder is missing: offers to create it and file the item there.
    void offerToCreateSlotFolder(const DestinationSlot& slot, InputMethod input);
    // The empty state's button: forgets the skipped files and brings them back.
    void reviewSkippedFiles();
    // Where the custom-folder dialog opens: the folder last chosen there while it still
    // exists, else home.
    static QString customFolderStart();
    bool showingCreateFolderOffer() const;

    // View state, for the screen and for tests.
    bool isRenaming() const { return m_isRenaming; }
    QString renameText() const { return m_renameText; }
    std::optional<QString> statusMessage() const;
    bool allowLargePreview() const { return m_allowLargePreview; }
    bool showingSettings() const { return m_showingSettings; }
    bool showingCheatSheet() const { return m_showingCheatSheet; }
    bool showingHistory() const { return m_showingHistory; }
    bool isProcessingAction() const;
    std::optional<QUuid> activeActionID() const;
    // The strip's text under the header; empty while it is hidden.
    QString problemText() const;
    // The header's count text ("2 items remaining", "Inbox Zero").
    static QString countText(qsizetype depth);
    // How many times the window was redrawn from the state (for tests and benchmarks).
    int refreshCount() const { return m_refreshes; }

signals:
    // Any state the screen draws changed.
    void stateChanged();
    // A file action finished, with its outcome applied; for tests and benchmarks.
    void actionFinished();
    // The head item's preview is on screen.
    void previewShown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The collaborators the services do not give: made here from the services.
    void makeCollaborators();
    // Redraws when the collaborators or the services change what the window shows.
    void connectCollaborators();
    void connectServices();
    void buildUi();
    // The preview of the head item and, beside it, the palette or the rename field.
    TriageItemPage* buildItemPage();
    // Queue and settings changes come in bursts (a rescan posts thousands): they are
    // collapsed into one refresh per frame. The window's own state changes refresh at once.
    void scheduleRefresh();
    void refresh();
    void refreshHeader();
    void refreshBody();
    void refreshEmptyPage();
    void refreshOverlays();
    // Speaks a new status line to assistive technology.
    void announceStatus();
    void refreshProgress();
    void refreshProblems();

    Services m_services;
    std::function<void()> m_onDismissHUD;
    std::function<void()> m_onRescan;
    FolderChooser m_folderChooser;
    FileOpener m_fileOpener;
    TriageActionController* m_actions = nullptr;
    TriageKeyboard* m_keyboard = nullptr;
    TriageHeadCommands* m_commands = nullptr;

    bool m_isRenaming = false;
    QString m_renameText;
    std::optional<TriageItem> m_renameItem;
    bool m_allowLargePreview = false;
    bool m_showingSettings = false;
    bool m_showingCheatSheet = false;
    bool m_showingHistory = false;
    bool m_sessionStarted = false;

    // Screen parts.
    TriageHeaderBar* m_header = nullptr;
    ProblemBanner* m_problemBanner = nullptr;
    QStackedWidget* m_pages = nullptr; // item body / empty state
    TriageItemPage* m_itemPage = nullptr;
    SuggestionService* m_suggestions = nullptr;
    LookAlikeService* m_lookAlikes = nullptr;
    DuplicateFinder* m_duplicates = nullptr;
    // Along the bottom while a file action runs.
    ActionProgressView* m_progress = nullptr;
    TriageEmptyPage* m_emptyPage = nullptr;
    QString m_downloadsFolder;
    QTimer* m_refreshTimer = nullptr;
    qint64 m_lastRefreshNs = 0;
    int m_refreshes = 0;
    TriageSheets* m_sheets = nullptr;
    StatusAnnouncer* m_announcer = nullptr;
    std::optional<StatusLine> m_announced;
};
