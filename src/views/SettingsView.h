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
class QColor;
class QComboBox;
class CreateFolderOffer;
class LaunchAtLoginService;
class QKeySequence;
class QKeySequenceEdit;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QToolButton;
class QVBoxLayout;
class GlobalShortcutService;
class HistoryStore;
class TelemetryService;
class ToggleSwitch;
class UpdateService;

// The preferences screen. It edits working copies of the destination slots, the debounce
// delay, the global shortcut and the launch-at-login, suggestion and diagnostics switches:
// nothing takes effect before Save, and Cancel leaves everything as it was. Slots can be
// added (up to nine, one per digit key), removed and moved up or down; their keys are always
// 1 to n in list order. "Forget History..." asks first, then deletes the history. Save and
// Cancel end with onClose, which is called from inside a click handler: hide the view or
// delete it with deleteLater(). A Save whose login item cannot be written stays open and
// says why. The folders watched besides Downloads are a working copy too.
class SettingsView : public QWidget
{
    Q_OBJECT
public:
    // Asks the user for a folder; nothing when they cancel.
    using FolderChooser = std::function<std::optional<QString>(QWidget* parent)>;

    static constexpr int contentWidth = 600;
    static constexpr int contentHeight = 530;
    static constexpr double minimumDebounce = 0.5;
    static constexpr double maximumDebounce = 5.0;
    static constexpr double debounceStep = 0.5;
    static constexpr double defaultDebounce = 1.5;
    // One slot for each digit key 1-9.
    static constexpr int maximumSlots = 9;

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
    // "1.5s"
    static QString debounceText(double seconds);

    // The working copies, as they stand.
    const QList<DestinationSlot>& workingSlots() const { return m_slots; }
    // The other watched folders, as config.json writes them ("~/Desktop").
    const QStringList& workingInboxes() const { return m_inboxes; }
    double debounceSeconds() const { return m_debounceSeconds; }
    bool launchAtLogin() const { return m_launchAtLogin; }
    bool telemetryEnabled() const { return m_telemetryEnabled; }
    bool suggestDestinations() const { return m_suggestDestinations; }
    // The global shortcut as Save writes it ("Alt+Shift+D"); empty: turned off.
    QString globalHotkey() const { return m_globalHotkey; }
    // When new downloads raise a notification; written on Save.
    AppConfig::NewDownloadNotice newDownloadNotice() const { return m_newDownloadNotice; }

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeSlotList();
    void rebuildSlotRows();
    QToolButton* rowButton(const QString& symbol, const QString& objectName, const QString& name,
                           const QString& description, const QColor& color, QWidget* row);
    void renumberSlots();
    void updateAddButton();
    int focusedSlotRow() const;
    QString focusedControlName() const;
    void focusInRow(int index, const QString& objectName);
    QWidget* makeInboxRow(QWidget* parent);
    void rebuildInboxRow();
    QWidget* makeGeneralSection();
    QWidget* makePrivacySection();
    QLabel* sectionLabel(const QString& text);
    void refreshFromLiveState();
    void updateApprovalButton();
    void updateShortcutRow();
    QLayout* makeShortcutRow(QWidget* section);
    // Shows the working copy of the shortcut in its field.
    void showWorkingHotkey();
    // A chord pressed in the field becomes the working copy, when it can be one.
    void takeRecordedChord(const QKeySequence& sequence);
    // Registers or unregisters the login item as the switch says; false (and the reason
    // shown under the switch) when that failed.
    bool applyLaunchAtLogin();
    void setDiagnosticsTexts();
    QWidget* slotRow(int index) const;
    void updateMissingFlag(int index);
    void offerToCreateFolder(int index);
    static bool slotFolderExists(const DestinationSlot& slot);
    void setDebounceSeconds(double seconds);
    void applyPalette();

    ConfigurationService& m_config;
    LaunchAtLoginService& m_launchService;
    UpdateService& m_updates;
    TelemetryService& m_telemetry;
    const GlobalShortcutService& m_shortcut;
    std::function<void()> m_onClose;
    FolderChooser m_chooseFolder;

    QList<DestinationSlot> m_slots;
    QStringList m_inboxes;
    QString m_downloadsFolder;
    double m_debounceSeconds = defaultDebounce;
    bool m_launchAtLogin = false;
    bool m_telemetryEnabled = true;
    bool m_suggestDestinations = true;
    QString m_globalHotkey;
    // Why the last chord recorded could not be taken; empty when it was.
    QString m_recordingProblem;
    AppConfig::NewDownloadNotice m_newDownloadNotice = AppConfig::NewDownloadNotice::WithoutTray;
    HistoryStore* m_history = nullptr;

    QPushButton* m_addButton = nullptr;
    QScrollArea* m_inboxScroll = nullptr;
    QToolButton* m_addInboxButton = nullptr;
    QLabel* m_inboxProblem = nullptr;
    QScrollArea* m_slotScroll = nullptr;
    QWidget* m_slotRows = nullptr;
    QVBoxLayout* m_slotLayout = nullptr;
    ToggleSwitch* m_launchSwitch = nullptr;
    QPushButton* m_openSettingsButton = nullptr;
    QSlider* m_debounceSlider = nullptr;
    QLabel* m_debounceLabel = nullptr;
    QPushButton* m_checkUpdatesButton = nullptr;
    QLabel* m_shortcutValue = nullptr;
    QKeySequenceEdit* m_shortcutEdit = nullptr;
    QPushButton* m_shortcutOffButton = nullptr;
    QLabel* m_loginProblem = nullptr;
    QLabel* m_privacyNote = nullptr;
    QLabel* m_slotProblem = nullptr;
    CreateFolderOffer* m_createOffer = nullptr;
    QLabel* m_shortcutProblem = nullptr;
    QComboBox* m_noticeChoice = nullptr;
    ToggleSwitch* m_telemetrySwitch = nullptr;
    ToggleSwitch* m_suggestSwitch = nullptr;
    QPushButton* m_forgetButton = nullptr;
    QLabel* m_historyStatus = nullptr;
    CreateFolderOffer* m_forgetOffer = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QList<QLabel*> m_secondaryLabels;
};
