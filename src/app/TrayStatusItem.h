#pragma once

#include <QObject>
#include <QString>

class LoggerService;
class QMenu;
class QSystemTrayIcon;
class TrayHostWatcher;

// The tray icon: made only once a tray host runs, and placed again each time one appears (a
// panel restarted, a tray started late at login). Its badge shows the number of downloads
// waiting; its tooltip what the program is doing or what keeps it from its job.
class TrayStatusItem : public QObject
{
    Q_OBJECT
public:
    // What the icon and its tooltip show.
    struct Status
    {
        qsizetype waiting = 0;
        // A listing of the folders is being taken or fed to the queue.
        bool scanning = false;
        // File actions are still running.
        bool finishing = false;
        // What stops the program from doing its job, with what to do; empty when nothing.
        QString problems;
    };

    TrayStatusItem(QMenu* menu, LoggerService& logger, QObject* parent = nullptr);

    // Starts looking for a tray host; the icon is shown once there is one.
    void watchForTray();
    // Shows status now, or once the icon exists.
    void show(const Status& status);

    // What the tooltip says (or will say once a tray appears).
    QString toolTip() const { return m_toolTip; }
    // Null until a tray host appears.
    QSystemTrayIcon* icon() const { return m_icon; }
    TrayHostWatcher* hostWatcher() const { return m_hostWatcher; }
    // True when a tray host runs.
    bool isHostAvailable() const;
    // True when the icon is shown in a tray that runs.
    bool isShown() const { return m_icon && isHostAvailable(); }

signals:
    void clicked();
    void doubleClicked();
    // The icon was just made: the status it shows should be brought up to date.
    void iconCreated();

private:
    void showIcon();
    void applyToIcon();

    QMenu* m_menu;
    LoggerService& m_logger;
    QSystemTrayIcon* m_icon = nullptr;
    TrayHostWatcher* m_hostWatcher = nullptr;
    QString m_toolTip;
    qsizetype m_waiting = 0;
    int m_shownCount = -1;
};
