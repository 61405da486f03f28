#pragma once

#include "models/AppConfig.h"

#include <QKeyEvent>
#include <QString>
#include <QWidget>

class ConfigurationService;
class GlobalShortcutEditor;
class GlobalShortcutService;
class LaunchAtLoginService;
class QComboBox;
class QLabel;
class QLayout;
class QPushButton;
class QSlider;
class ToggleSwitch;
class UpdateService;

// The "General" part of the preferences: launch at login (with the system's approval when it
// asks for one), when new downloads raise a notification, the file completion debounce, the
// global shortcut and, in builds with an update feed, a check for updates. Each is a working
// copy that the owner saves; only the login item is registered here, by applyLaunchAtLogin().
class GeneralSettingsSection : public QWidget
{
    Q_OBJECT
public:
    static constexpr double minimumDebounce = 0.5;
    static constexpr double maximumDebounce = 5.0;
    static constexpr double debounceStep = 0.5;
    static constexpr double defaultDebounce = 1.5;

    GeneralSettingsSection(const ConfigurationService& config, LaunchAtLoginService& launchAtLogin,
                           UpdateService& updates, const GlobalShortcutService& shortcut,
                           QWidget* parent);

    // "1.5s"
    static QString debounceText(double seconds);

    double debounceSeconds() const { return m_debounceSeconds; }
    bool launchAtLogin() const { return m_launchAtLogin; }
    // The global shortcut as Save writes it ("Alt+Shift+D"); empty: turned off.
    QString globalHotkey() const;
    AppConfig::NewDownloadNotice newDownloadNotice() const { return m_newDownloadNotice; }

    // Registers or unregisters the login item as the switch says; false (and the reason
    // shown under the switch) when that failed.
    bool applyLaunchAtLogin();
    // The switch shows the login item as registered now, without registering anything.
    void refreshFromLiveState();
    // The debounce, the shortcut and the notifications back to their defaults; the login
    // item is the user's choice and stays as set.
    void restoreDefaults();

signals:
    // Plain Escape, Return or Enter in the shortcut field, for the preferences to answer.
    void dialogKeyPressed(QKeyEvent* event);

protected:
    void changeEvent(QEvent* event) override;

private:
    QLayout* makeLoginRow();
    void addNoticeChoice(QLayout* row);
    QLayout* makeDebounceRow();
    QWidget* makeUpdatesRow();
    void setDebounceSeconds(double seconds);
    void selectNotice(AppConfig::NewDownloadNotice notice);
    void updateApprovalButton();

    LaunchAtLoginService& m_launchService;
    UpdateService& m_updates;
    double m_debounceSeconds;
    bool m_launchAtLogin;
    AppConfig::NewDownloadNotice m_newDownloadNotice;
    QLabel* m_heading = nullptr;
    ToggleSwitch* m_launchSwitch = nullptr;
    QPushButton* m_openSettingsButton = nullptr;
    QComboBox* m_noticeChoice = nullptr;
    QLabel* m_loginProblem = nullptr;
    QSlider* m_debounceSlider = nullptr;
    QLabel* m_debounceLabel = nullptr;
    GlobalShortcutEditor* m_shortcutEditor = nullptr;
};
