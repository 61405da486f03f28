#include "views/GeneralSettingsSection.h"

#include "models/GlobalHotkey.h"
#include "platform/LoginItemBackend.h"
#include "services/ConfigurationService.h"
#include "services/LaunchAtLoginService.h"
#include "services/UpdateService.h"
#include "views/GlobalShortcutEditor.h"
#include "views/SettingsControls.h"
#include "views/Theme.h"
#include "views/ToggleSwitch.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

int sliderPosition(double seconds)
{
    const double clamped = std::clamp(seconds, GeneralSettingsSection::minimumDebounce,
                                      GeneralSettingsSection::maximumDebounce);
    return int(std::lround(clamped / GeneralSettingsSection::debounceStep));
}

} // namespace

GeneralSettingsSection::GeneralSettingsSection(const ConfigurationService& config,
                                               LaunchAtLoginService& launchAtLogin,
                                               UpdateService& updates,
                                               const GlobalShortcutService& shortcut,
                                               QWidget* parent)
    : QWidget(parent), m_launchService(launchAtLogin), m_updates(updates),
      m_debounceSeconds(config.config().general.debounceSeconds),
      m_launchAtLogin(launchAtLogin.isEnabled()),
      m_newDownloadNotice(config.config().general.notifyNewDownloads)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Tight, like the privacy section's: with the shortcut's field the slot list still has
    // room for nine rows.
    layout->setSpacing(5);
    m_heading = new QLabel(tr("General"), this);
    m_heading->setFont(Theme::font(11));
    layout->addWidget(m_heading);
    layout->addLayout(makeLoginRow());
    m_loginProblem = SettingsControls::problemLabel(QStringLiteral("launchAtLoginProblem"), this);
    layout->addWidget(m_loginProblem);
    layout->addLayout(makeDebounceRow());
    m_shortcutEditor =
        new GlobalShortcutEditor(shortcut, config, config.config().general.globalHotkey, this);
    connect(m_shortcutEditor, &GlobalShortcutEditor::dialogKeyPressed, this,
            &GeneralSettingsSection::dialogKeyPressed);
    layout->addWidget(m_shortcutEditor);
    layout->addWidget(makeUpdatesRow());

    connect(&m_launchService, &LaunchAtLoginService::statusChanged, this,
            &GeneralSettingsSection::updateApprovalButton);
    SettingsControls::useSecondaryColor({m_heading}, palette());
    updateApprovalButton();
}

QLayout* GeneralSettingsSection::makeLoginRow()
{
    auto* row = new QHBoxLayout;
    m_launchSwitch = new ToggleSwitch(tr("Launch Stowbird automatically at login"), this);
    m_launchSwitch->setObjectName(QStringLiteral("launchAtLoginSwitch"));
    m_launchSwitch->setChecked(m_launchAtLogin);
    m_launchSwitch->setAccessibleDescription(
        tr("Starts Stowbird in the tray when you log in; takes effect on Save"));
    m_openSettingsButton = SettingsControls::smallButton(tr("Open System Settings"), this);
    m_openSettingsButton->setObjectName(QStringLiteral("openSystemSettingsButton"));
    m_openSettingsButton->setAccessibleDescription(tr("Opens the folder of login items"));
    row->addWidget(m_launchSwitch);
    row->addSpacing(8);
    row->addWidget(m_openSettingsButton);
    row->addStretch(1);
    // The notifications share this row: the list of slots keeps its room for nine.
    addNoticeChoice(row);
    // The switch only changes what Save registers.
    connect(m_launchSwitch, &ToggleSwitch::toggled, this,
            [this](bool enabled) { m_launchAtLogin = enabled; });
    connect(m_openSettingsButton, &QPushButton::clicked, this,
            [this] { m_launchService.openLoginItemsSettings(); });
    return row;
}

void GeneralSettingsSection::addNoticeChoice(QLayout* row)
{
    // When a new download raises a desktop notification while the window is hidden.
    auto* caption = new QLabel(tr("Notifications:"), this);
    m_noticeChoice = new QComboBox(this);
    m_noticeChoice->setObjectName(QStringLiteral("newDownloadNoticeChoice"));
    using Notice = AppConfig::NewDownloadNotice;
    struct Choice
    {
        Notice when;
        QString text;
        QString description; // what a screen reader says of the choice
    };
    for (const Choice& choice :
         {Choice{Notice::Never, tr("Never"), tr("New downloads never raise a notification")},
          Choice{Notice::WithoutTray, tr("Without a tray"),
                 tr("New downloads raise a notification only when the desktop has no tray "
                    "for the icon")},
          Choice{Notice::Always, tr("Always"),
                 tr("New downloads raise a notification whenever the window is hidden")}}) {
        m_noticeChoice->addItem(choice.text, AppConfig::noticeKey(choice.when));
        const int index = m_noticeChoice->count() - 1;
        m_noticeChoice->setItemData(index, choice.description, Qt::AccessibleDescriptionRole);
        m_noticeChoice->setItemData(index, choice.description, Qt::ToolTipRole);
    }
    selectNotice(m_newDownloadNotice);
    m_noticeChoice->setAccessibleName(tr("Notify of new downloads"));
    m_noticeChoice->setAccessibleDescription(
        tr("While the window is hidden, a new download shows a notification with buttons to "
           "file it, trash it or open Stowbird: never, only when the desktop has no tray for "
           "the icon, or always. Saved with Save"));
    m_noticeChoice->setToolTip(m_noticeChoice->accessibleDescription());
    caption->setBuddy(m_noticeChoice);
    row->addWidget(caption);
    row->addWidget(m_noticeChoice);
    connect(m_noticeChoice, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (const auto when = AppConfig::noticeFromKey(m_noticeChoice->itemData(index).toString()))
            m_newDownloadNotice = *when;
    });
}

void GeneralSettingsSection::selectNotice(AppConfig::NewDownloadNotice notice)
{
    m_noticeChoice->setCurrentIndex(m_noticeChoice->findData(AppConfig::noticeKey(notice)));
}

QLayout* GeneralSettingsSection::makeDebounceRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    auto* caption = new QLabel(tr("File Completion Debounce:"), this);
    m_debounceSlider = new QSlider(Qt::Horizontal, this);
    m_debounceSlider->setObjectName(QStringLiteral("debounceSlider"));
    // Whole steps of half a second: the slider cannot land between them.
    m_debounceSlider->setRange(sliderPosition(minimumDebounce), sliderPosition(maximumDebounce));
    m_debounceSlider->setSingleStep(1);
    m_debounceSlider->setPageStep(1);
    m_debounceSlider->setTickPosition(QSlider::NoTicks);
    m_debounceSlider->setValue(sliderPosition(m_debounceSeconds));
    m_debounceSlider->setAccessibleName(tr("File completion debounce"));
    caption->setBuddy(m_debounceSlider);
    m_debounceLabel = new QLabel(debounceText(m_debounceSeconds), this);
    m_debounceLabel->setObjectName(QStringLiteral("debounceValue"));
    m_debounceLabel->setFixedWidth(40);
    setDebounceSeconds(m_debounceSeconds);
    row->addWidget(caption);
    row->addWidget(m_debounceSlider, 1);
    row->addWidget(m_debounceLabel);
    connect(m_debounceSlider, &QSlider::valueChanged, this,
            [this](int position) { setDebounceSeconds(position * debounceStep); });
    return row;
}

QWidget* GeneralSettingsSection::makeUpdatesRow()
{
    // Only a build with an update feed can check; without one (a distribution package,
    // updated by the package manager) the row is left out.
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("updatesRow"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto* check = SettingsControls::smallButton(tr("Check for Updates..."), row);
    check->setObjectName(QStringLiteral("checkForUpdatesButton"));
    check->setAccessibleDescription(tr("Looks for a newer Stowbird now"));
    layout->addWidget(new QLabel(tr("Updates:"), row));
    layout->addWidget(check);
    layout->addStretch(1);
    row->setVisible(m_updates.updaterController() != nullptr);
    connect(check, &QPushButton::clicked, this, [this] { m_updates.checkForUpdates(); });
    return row;
}

QString GeneralSettingsSection::globalHotkey() const
{
    return m_shortcutEditor->hotkey();
}

void GeneralSettingsSection::setDebounceSeconds(double seconds)
{
    m_debounceSeconds = seconds;
    m_debounceLabel->setText(debounceText(seconds));
    m_debounceSlider->setAccessibleDescription(
        tr("How long a download must stay unchanged before it is queued: %1")
            .arg(debounceText(seconds)));
}

QString GeneralSettingsSection::debounceText(double seconds)
{
    // In the user's number format: "1.5s", "1,5 s".
    return tr("%1s").arg(QLocale().toString(seconds, 'f', 1));
}

void GeneralSettingsSection::updateApprovalButton()
{
    m_openSettingsButton->setVisible(m_launchService.status() ==
                                     LoginItemBackend::requiresApproval);
}

bool GeneralSettingsSection::applyLaunchAtLogin()
{
    if (m_launchAtLogin == m_launchService.isEnabled())
        return true;
    QString error;
    const bool applied = m_launchService.setIsEnabled(m_launchAtLogin, &error);
    updateApprovalButton();
    if (applied) {
        m_loginProblem->hide();
        return true;
    }
    m_loginProblem->setText(m_launchAtLogin
                                ? tr("Stowbird could not be set to launch at login: %1").arg(error)
                                : tr("Launch at login could not be turned off: %1").arg(error));
    m_loginProblem->show();
    // The switch shows what is registered now.
    m_launchAtLogin = m_launchService.isEnabled();
    const QSignalBlocker block(m_launchSwitch);
    m_launchSwitch->setChecked(m_launchAtLogin);
    return false;
}

void GeneralSettingsSection::refreshFromLiveState()
{
    m_launchAtLogin = m_launchService.isEnabled();
    {
        const QSignalBlocker block(m_launchSwitch);
        m_launchSwitch->setChecked(m_launchAtLogin);
    }
    m_loginProblem->hide();
    updateApprovalButton();
}

void GeneralSettingsSection::restoreDefaults()
{
    {
        const QSignalBlocker block(m_debounceSlider);
        m_debounceSlider->setValue(sliderPosition(defaultDebounce));
    }
    setDebounceSeconds(defaultDebounce);
    m_shortcutEditor->setHotkey(GlobalHotkey::defaultText);
    selectNotice(AppConfig().general.notifyNewDownloads);
}

void GeneralSettingsSection::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        SettingsControls::useSecondaryColor({m_heading}, palette());
}
