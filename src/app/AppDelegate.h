#pragma once

#include "app/AppServices.h"
#include "app/TrayStatusItem.h"
#include "platform/MonotonicClock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

struct AppConfig;
class ConfigurationService;
class DesktopNotifier;
class DownloadWatcherService;
class InboxWatchers;
class LaunchGate;
class NewDownloadNotifier;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QueueRescanner;
class SuggestionService;
class TriageActionController;
class TriageContainerView;
class TriageHUDPanel;
class TrayHostWatcher;
class TriageQueueManager;

// Owns the running program: the tray icon and its menu, the one HUD window and the watchers
// of the inboxes (the Downloads folder and the others the settings name). It starts
// everything in order at launch, keeps the tray count current, answers the menu, opens the
// HUD on request and closes it when the user is done.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        // The Downloads folder, always watched; empty means the user's own. The other inboxes
        // come from the configuration.
        QString downloadsDirectory;
        // Whether to open the HUD at the end of the launch sequence.
        bool openHUDAtLaunch = true;
        // Started hidden with no tray on the desktop: how long to wait for a tray host
        // (a slow login) before telling the user how to open the window.
        int noTrayNoticeDelayMs = 15000;
        // The clock of that wait; none: the system's.
        const MonotonicClock* clock = nullptr;
        // Whether to bind the configured global shortcut (tests may leave it alone).
        bool bindGlobalShortcut = true;
        // How long after the window lost the focus a click on the tray still finds it in
        // front (the click itself may have taken the focus).
        int trayFocusGraceMs = 400;
        // The watchers' wait between the two samples of a file; 0: their own.
        int watcherSampleIntervalMs = 0;
    };

    AppDelegate(AppServices services, Options options, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The launch sequence.
    void applicationDidFinishLaunching();
    // Logs the end and stops the watchers.
    void applicationWillTerminate();
    // How long the end of the program waits for the background readers.
    static constexpr int backgroundReadersGraceMs = 1000;
    // The longest Quit waits for the cancelled file actions to stop (they are left behind
    // after TriageActionController::defaultAbandonMs).
    static constexpr int quitGraceMs = 1500;
    // After the event loop: waits up to timeoutMs for the threads that read files for the
    // window (previews, thumbnails, folder listings) to finish. False, logged and flushed to
    // the log, when one still runs, or when a cancelled file action was left behind: it may
    // be blocked in the kernel for good, and whatever would wait for it (the pools'
    // destructors) must not run.
    bool waitForBackgroundReaders(int timeoutMs);

    // Menu commands.
    void openHUD();
    // A click on the tray: hides the window when it is in front, otherwise shows and
    // raises it.
    void toggleHUD();
    // Shown, not minimised, and active (or active until a moment ago).
    bool isHUDInFront() const;
    void openPreferences();
    void scanDownloads();
    void clearSkippedFiles();
    void forceResetQueue();
    void openLogFile();
    void checkForUpdates();
    // Ends the program; a file action in flight is cancelled, never waited for.
    void quitApp();
    void dismissHUD();

    // The number of downloads waiting (items and backlog), as the tray shows it.
    qsizetype waitingCount() const;
    // True while a listing of the folder is being taken or fed to the queue.
    bool isScanning() const;
    QueueRescanner* rescanner() const;
    TriageHUDPanel* hudPanel() const { return m_hudPanel; }
    DownloadWatcherService* downloadWatcher() const;
    // The folders watched: the Downloads folder first, then the other inboxes in the order
    // the settings list them.
    QStringList watchedFolders() const;
    // Null until a tray host appears: the icon is made only once there is a tray for it.
    QSystemTrayIcon* statusItem() const { return m_tray ? m_tray->icon() : nullptr; }
    TrayHostWatcher* trayWatcher() const { return m_tray ? m_tray->hostWatcher() : nullptr; }
    // What the tray icon shows (or will show once a tray appears).
    QString trayToolTip() const { return m_tray ? m_tray->toolTip() : QString(); }
    const BlockingProblems& problems() const { return *m_services.problems; }
    QIcon trayIcon() const;
    // Whether the no-tray notice was sent already (it is sent once per run).
    bool toldHowToReopen() const { return m_toldHowToReopen; }
    QMenu* menu() const { return m_menu; }
    TriageContainerView* containerView() const;
    // Runs the file actions for every showing of the HUD, so that a slow one outlives it.
    TriageActionController* actions() const { return m_actions; }
    // Suggests destinations from the history; null without a history.
    SuggestionService* suggestions() const { return m_suggestions; }
    // Tells of new downloads while the window is hidden, as the settings ask.
    NewDownloadNotifier* downloadNotifier() const { return m_downloadNotifier; }
    // The tray, the notifications and the rest of the launch are set up.
    bool launchFinished() const { return m_launchFinished; }

private:
    // The watchers of the inboxes and the first listing, held until they are started.
    void setupInboxWatchers();
    // The window, made hidden.
    void setupHUDPanel();
    // The controller of the file actions, and what it must say at once.
    void setupActions();
    // What the launch sets up once the window is on its way: crash reporting, the tray, the
    // notifications, the login item and the global shortcut. Once.
    void finishLaunch();
    // At a launch straight to the window: the first listing and finishLaunch wait for the
    // first item on screen (LaunchGate).
    void gateLaunch();
    const MonotonicClock& clock() const
    {
        return m_options.clock ? *m_options.clock : MonotonicClock::system();
    }
    // Gives the updater the window it shows checks in.
    void connectUpdateWindow();
    void applyAppIcon();
    // The tray menu and the count it shows.
    void setupStatusItem();
    void scheduleStatusItemUpdate();
    void updateStatusItemAppearance();
    // The desktop notifications: new downloads while the window is hidden, and their buttons.
    void setupNotifications();
    // Rewrites a login item left by an older version (it opened the window at login).
    void upgradeLoginItem();
    // Without a tray, the first time the window goes away: one desktop notification
    // saying how to bring it back.
    void tellHowToReopenWithoutTray();
    // The history could not be written or was started anew: said on the window's status line
    // (the history logs it), or once the window's actions exist.
    void showHistoryProblem(const QString& text);

    Options m_options;
    bool m_launchFinished = false;
    LaunchGate* m_launchGate = nullptr;
    AppServices m_services;
    TriageQueueManager& m_queueManager;
    ConfigurationService& m_configService;
    QMenu* m_menu = nullptr;
    TriageHUDPanel* m_hudPanel = nullptr;
    InboxWatchers* m_inboxes = nullptr;
    QTimer* m_statusUpdate = nullptr;
    TriageActionController* m_actions = nullptr;
    SuggestionService* m_suggestions = nullptr;
    QString m_historyProblem; // told before the actions existed
    bool m_quitting = false;
    bool m_hudActive = false;
    QElapsedTimer m_hudLostFocus;
    TrayStatusItem* m_tray = nullptr;
    DesktopNotifier* m_notifier = nullptr;
    NewDownloadNotifier* m_downloadNotifier = nullptr;
    bool m_toldHowToReopen = false;
};
