#pragma once

#include "models/DestinationSlot.h"
#include "models/StatusLine.h"
#include "models/TriageItem.h"
#include "models/TriageKeyTable.h"
#include "models/TriageSessionStats.h"
#include "services/SuggestionService.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class ActionPaletteView;
class BlockingProblems;
class ActionProgressView;
class CheatSheetOverlay;
class CreateFolderOffer;
class ConfigurationService;
class DuplicateFinder;
class FileExecutionEngine;
class HistorySheet;
class HistoryStore;
class InlineRenameView;
class ItemRevealer;
class LatinKeyResolver;
class LaunchAtLoginService;
class LookAlikeService;
class LoggerService;
class QKeyEvent;
class QLabel;
class QueueRescanner;
class QStackedWidget;
class QTimer;
class QToolButton;
class QVBoxLayout;
class GlobalShortcutService;
class TelemetryService;
class TriageActionController;
class SettingsSheet;
class StatusAnnouncer;
class TriagePreviewPane;
class TriageQueueManager;
class UpdateService;

// The root of the triage HUD. It reads every key press while the HUD is shown, maps it to
// an action on the head item of the queue and hands that to the action controller, which
// runs it and reports the outcome; the window draws the queue, the preview and the status
// line.
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
    // The characters of a key press with Ctrl and Alt ignored (Shift applied).
    static QString keyCharacters(const QKeyEvent* event);
    // The character the key table knows a key press by: the key's own when the table has it
    // or it is a Latin letter or digit, else the Latin letter or digit of the key on the
    // user's layouts ("в" on a Russian layout is "d", an unshifted "&" on a French one "1").
    // A symbol typed with Shift is the digit of its key when it has one ("!" on Shift+1 is
    // "1", with Shift: the whole group), else itself ("?").
    QChar tableCharacter(const QKeyEvent* event);

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
    int shownGroupMember() const { return m_groupShown; }
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Runs a key's action; false when the key is passed on.
    bool runKeyAction(const TriageKeyTable::Entry& entry, QChar key);
    void installKeyMonitor();
    void removeKeyMonitor();
    static QString extensionToken(const TriageItem& item);
    void logDebug(const QString& message);
    void logAction(const QString& message);

    void buildUi();
    // Queue and settings changes come in bursts (a rescan posts thousands): they are
    // collapsed into one refresh per frame. The window's own state changes refresh at once.
    void scheduleRefresh();
    void refresh();
    void refreshHeader();
    void refreshBody();
    void refreshOverlays();
    // Speaks a new status line to assistive technology.
    void announceStatus();
    // After a sheet or an offer closes: the focus goes back to the item card (the empty
    // state when nothing waits), where a screen reader left off.
    void returnFocusToItem();
    void refreshProgress();
    void refreshProblems();
    // Asks whether the head is a copy of a file already filed or waiting, once per head
    // and destination; the note under the card follows the answer.
    void checkForDuplicate(const TriageItem& head,
                           const std::optional<SuggestionService::Suggestion>& suggestion);
    QString duplicateText(const TriageItem& head) const;

    Services m_services;
    std::function<void()> m_onDismissHUD;
    std::function<void()> m_onRescan;
    FolderChooser m_folderChooser;
    FileOpener m_fileOpener;
    TriageActionController* m_actions = nullptr;
    std::shared_ptr<LatinKeyResolver> m_keyResolver;

    bool m_isRenaming = false;
    QString m_renameText;
    std::optional<TriageItem> m_renameItem;
    bool m_allowLargePreview = false;
    bool m_showingSettings = false;
    bool m_showingCheatSheet = false;
    bool m_showingHistory = false;
    bool m_keyMonitorInstalled = false;
    bool m_sessionStarted = false;

    // Screen parts.
    QLabel* m_trayIcon = nullptr;
    QLabel* m_countLabel = nullptr;
    QWidget* m_spinner = nullptr;
    QLabel* m_problemBanner = nullptr;
    QStackedWidget* m_pages = nullptr; // item body / empty state
    QWidget* m_body = nullptr;
    TriagePreviewPane* m_previewPane = nullptr;
    QStackedWidget* m_rightColumn = nullptr;
    ActionPaletteView* m_palette = nullptr;
    SuggestionService* m_suggestions = nullptr;
    LookAlikeService* m_lookAlikes = nullptr;
    DuplicateFinder* m_duplicates = nullptr;
    // The head the group preview and the duplicate check are for.
    QUuid m_groupFor;
    int m_groupShown = 0;
    QList<QUuid> m_shownGroup; // the head's group as the card shows it
    QString m_duplicateCheck;  // head id and folders of the last check asked for
    // The head item a suggestion was last logged for.
    QUuid m_loggedSuggestionFor;
    // Along the bottom while a file action runs.
    ActionProgressView* m_progress = nullptr;
    QWidget* m_renamePanel = nullptr;
    QVBoxLayout* m_renameLayout = nullptr;
    QPointer<InlineRenameView> m_renameView;
    QWidget* m_emptyState = nullptr;
    QLabel* m_emptyIcon = nullptr;
    QLabel* m_emptyTitle = nullptr;
    QLabel* m_emptyMessage = nullptr;
    QString m_watchedFolder; // as the empty state names it (~/Downloads)
    QString m_downloadsFolder;
    QTimer* m_refreshTimer = nullptr;
    qint64 m_lastRefreshNs = 0;
    int m_refreshes = 0;
    // What the header shows now, so that an unchanged part is not redrawn.
    int m_shownTrayState = -1;
    int m_shownEmptyState = -1;
    QWidget* m_skippedButton = nullptr;
    QPointer<CheatSheetOverlay> m_cheatSheet;
    QPointer<SettingsSheet> m_settingsSheet;
    QPointer<HistorySheet> m_historySheet;
    QPointer<CreateFolderOffer> m_createOffer;
    StatusAnnouncer* m_announcer = nullptr;
    std::optional<StatusLine> m_announced;
    // The key press last seen by the filter and the widget it was offered to: an ignored
    // key is offered again to every parent, and must be handled only the first time.
    const QEvent* m_lastKeyEvent = nullptr;
    QPointer<QObject> m_lastKeyReceiver;
    static QString s_lastCustomFolder;
};
