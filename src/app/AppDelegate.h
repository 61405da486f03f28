#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class ConfigurationService;
class DownloadWatcherService;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QueueRescanner;
class TriageActionController;
class TriageContainerView;
class TriageHUDPanel;
class TriageQueueManager;

// Owns the running program: the tray icon and its menu, the one HUD window and the download
// watcher. It starts everything in order at launch, keeps the tray count current, answers
// the menu, opens the HUD on request and closes it when the user is done.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        // The watched folder; empty means the user's Downloads folder.
        QString downloadsDirectory;
        // Whether to open the HUD at the end of the launch sequence.
        bool openHUDAtLaunch = true;
    };

    explicit AppDelegate(Options options, QObject* parent = nullptr);
    AppDelegate() : AppDelegate(Options{}) {}
    ~AppDelegate() override;

    // The launch sequence.
    void applicationDidFinishLaunching();
    // Logs the end and stops the watcher.
    void applicationWillTerminate();

    // Menu commands.
    void openHUD();
    void openPreferences();
    void scanDownloads();
    void clearSkippedFiles();
    void forceResetQueue();
    void openLogFile();
    void checkForUpdates();
    void quitApp();
    void dismissHUD();

    // The number of downloads waiting (items and backlog), as the tray shows it.
    qsizetype waitingCount() const;
    // True while a listing of the folder is being taken or fed to the queue.
    bool isScanning() const;
    QueueRescanner* rescanner() const { return m_rescanner; }
    TriageHUDPanel* hudPanel() const { return m_hudPanel; }
    DownloadWatcherService* downloadWatcher() const { return m_downloadWatcher.get(); }
    QSystemTrayIcon* statusItem() const { return m_statusItem; }
    QMenu* menu() const { return m_menu; }
    TriageContainerView* containerView() const;
    // Runs the file actions for every showing of the HUD, so that a slow one outlives it.
    TriageActionController* actions() const { return m_actions; }

private:
    void applyAppIcon();
    void configureCrashReporting();
    void setupStatusItem();
    void setupDownloadWatcher();
    void scheduleStatusItemUpdate();
    void updateStatusItemAppearance();
    void showTrayIconWhenAvailable(int attemptsLeft);

    Options m_options;
    TriageQueueManager& m_queueManager;
    ConfigurationService& m_configService;
    QSystemTrayIcon* m_statusItem = nullptr;
    QMenu* m_menu = nullptr;
    TriageHUDPanel* m_hudPanel = nullptr;
    std::unique_ptr<DownloadWatcherService> m_downloadWatcher;
    QTimer* m_statusUpdate = nullptr;
    TriageActionController* m_actions = nullptr;
    QueueRescanner* m_rescanner = nullptr;
    bool m_quitting = false;
    int m_shownCount = -1;
};
