#pragma once

#include "models/AppConfig.h"
#include "models/DestinationSlot.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class ConfigurationService;
class GeneralSettingsSection;
class GlobalShortcutService;
class HistoryStore;
class LaunchAtLoginService;
class PrivacySettingsSection;
class QLabel;
class QPushButton;
class SlotListEditor;
class TelemetryService;
class UpdateService;
class WatchedFoldersRow;

// The preferences screen. It edits working copies of the destination slots, the debounce
// delay, the global shortcut and the launch-at-login, suggestion and diagnostics switches:
// nothing takes effect before Save, and Cancel leaves everything as it was. Slots can be
// added (up to nine, one per digit key), removed and moved up or down; their keys are always
// 1 to n in list order. "Forget History..." asks first, then deletes the history. Save and
// Cancel end with onClose, which is called from inside a click handler: hide the view or
// delete it with deleteLater(). A Save whose login item cannot be written stays open and
// says why. The folders watched besides Downloads are a working copy too.
// Each part is edited by a class of its own (WatchedFoldersRow, SlotListEditor,
// GeneralSettingsSection, PrivacySettingsSection); this view lays them out, answers Return
// and Escape, and writes what they hold on Save.
class SettingsView : public QWidget
{
    Q_OBJECT
public:
    // Asks the user for a folder; nothing when they cancel.
    using FolderChooser = std::function<std::optional<QString>(QWidget* parent)>;

    static constexpr int contentWidth = 600;
    static constexpr int contentHeight = 530;

    SettingsView(ConfigurationService& configService, LaunchAtLoginService& launchAtLogin,
                 UpdateService& updates, TelemetryService& telemetry,
                 const GlobalShortcutService& shortcut, std::function<void()> onClose,
                 QWidget* parent = nullptr);

    // Test seam: the folder picker behind "Browse...".
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    // The history "Forget History..." deletes; without one the button is disabled.
    void setHistory(HistoryStore* history);
    // The Downloads folder the watched folders start with (the user's own until given).
    void setDownloadsFolder(const QString& folder);
    // The system's folder picker, opened on the home folder, folders only.
    static std::optional<QString> chooseFolderWithDialog(QWidget* parent);
    // path with the current home folder written as "~" when it lies inside it.
    static QString abbreviateHome(const QString& path);

    // The working copies, as they stand.
    const QList<DestinationSlot>& workingSlots() const;
    // The other watched folders, as config.json writes them ("~/Desktop").
    const QStringList& workingInboxes() const;
    double debounceSeconds() const;
    bool launchAtLogin() const;
    bool telemetryEnabled() const;
    bool suggestDestinations() const;
    // The global shortcut as Save writes it ("Alt+Shift+D"); empty: turned off.
    QString globalHotkey() const;
    // When new downloads raise a notification; written on Save.
    AppConfig::NewDownloadNotice newDownloadNotice() const;

    void browseForSlot(int index);
    // Asks for a folder to watch beside Downloads; false when none was chosen or it cannot be
    // watched (the sheet says why: Downloads itself, a folder inside or around another).
    bool addInbox();
    void removeInbox(int index);
    // Appends an empty slot and puts the focus in its name; false (and nothing added) when
    // there are nine already.
    bool addSlot();
    void removeSlot(int index);
    // Moves the slot at index by delta places (-1 up, 1 down). Keys follow the list order.
    void moveSlot(int index, int delta);
    void save();
    void cancel();
    void restoreDefaults();
    // Asks whether to delete the history; on yes, deletes it (the outcome shows under the
    // button and on the window's status line).
    void forgetHistory();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLayout* makeTitleRow();
    QLayout* makeButtonRow();
    // The chooser's folder as config.json writes it ("~/Documents"); nothing when cancelled.
    std::optional<QString> chooseFolderEntry();
    void refreshFromLiveState();

    ConfigurationService& m_config;
    LaunchAtLoginService& m_launchService;
    TelemetryService& m_telemetry;
    std::function<void()> m_onClose;
    FolderChooser m_chooseFolder;

    WatchedFoldersRow* m_inboxRow = nullptr;
    QLabel* m_inboxProblem = nullptr;
    SlotListEditor* m_slotList = nullptr;
    GeneralSettingsSection* m_general = nullptr;
    PrivacySettingsSection* m_privacy = nullptr;
    QPushButton* m_saveButton = nullptr;
};
