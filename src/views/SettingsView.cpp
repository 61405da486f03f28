#include "views/SettingsView.h"

#include "platform/StoragePaths.h"
#include "services/ConfigurationService.h"
#include "services/LaunchAtLoginService.h"
#include "services/TelemetryService.h"
#include "views/FolderDialog.h"
#include "views/GeneralSettingsSection.h"
#include "views/PrivacySettingsSection.h"
#include "views/SettingsControls.h"
#include "views/SlotListEditor.h"
#include "views/Theme.h"
#include "views/WatchedFoldersRow.h"

#include <QAbstractButton>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr qreal cornerRadius = 10;

} // namespace

SettingsView::SettingsView(ConfigurationService& configService, LaunchAtLoginService& launchAtLogin,
                           UpdateService& updates, TelemetryService& telemetry,
                           const GlobalShortcutService& shortcut, std::function<void()> onClose,
                           QWidget* parent)
    : QWidget(parent), m_config(configService), m_launchService(launchAtLogin),
      m_telemetry(telemetry), m_onClose(std::move(onClose)),
      m_chooseFolder(&SettingsView::chooseFolderWithDialog)
{
    setObjectName(QStringLiteral("settingsView"));
    setFixedSize(contentWidth, contentHeight);

    // The working copies are read once, by the parts that edit them.
    const AppConfig& config = m_config.config();
    const auto pickFolder = [this] { return chooseFolderEntry(); };
    auto* layout = new QVBoxLayout(this);
    // Tighter than a dialog's usual spacing: nine slot rows fit in the list without
    // scrolling in the default window.
    layout->setContentsMargins(20, 12, 20, 12);
    layout->setSpacing(6);
    layout->addLayout(makeTitleRow());
    m_inboxProblem = SettingsControls::problemLabel(QStringLiteral("inboxProblem"), this);
    layout->addWidget(m_inboxProblem);
    m_slotList = new SlotListEditor(config.destinationSlots, pickFolder, this, this);
    layout->addWidget(m_slotList, 1);
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    m_general = new GeneralSettingsSection(m_config, m_launchService, updates, shortcut, this);
    layout->addWidget(m_general);
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    m_privacy = new PrivacySettingsSection(config.general.suggestDestinations,
                                           config.general.anonymousDiagnosticsEnabled, m_telemetry,
                                           this, this);
    layout->addWidget(m_privacy);
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    layout->addLayout(makeButtonRow());

    // Escape and Return in the shortcut's field still cancel and save.
    connect(m_general, &GeneralSettingsSection::dialogKeyPressed, this,
            [this](QKeyEvent* event) { keyPressEvent(event); });
    connect(m_inboxRow, &WatchedFoldersRow::problemChanged, this, [this](const QString& problem) {
        m_inboxProblem->setText(problem);
        m_inboxProblem->setVisible(!problem.isEmpty());
    });
    Theme::makeProminent(m_saveButton, palette());
}

QLayout* SettingsView::makeTitleRow()
{
    auto* title = new QLabel(tr("Stowbird Preferences"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(Theme::font(13, QFont::Bold));
    // The watched folders share the title's line: the slot list below keeps the room for
    // nine rows.
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(title);
    m_inboxRow = new WatchedFoldersRow(
        m_config.config().additionalInboxes, StoragePaths::downloadsDirectory(),
        [this] { return chooseFolderEntry(); }, this);
    // No taller than the title: nine slots fill the list below to the pixel.
    m_inboxRow->setFixedHeight(title->sizeHint().height());
    row->addWidget(m_inboxRow, 1);
    return row;
}

QLayout* SettingsView::makeButtonRow()
{
    auto* buttons = new QHBoxLayout;
    auto* restoreButton = new QPushButton(tr("Restore Defaults"), this);
    restoreButton->setObjectName(QStringLiteral("restoreDefaultsButton"));
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_saveButton = new QPushButton(tr("Save"), this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    restoreButton->setAccessibleDescription(
        tr("Puts back the default slots, debounce delay and global shortcut; nothing changes "
           "before Save"));
    cancelButton->setAccessibleDescription(
        tr("Closes the preferences; nothing changed here takes effect"));
    m_saveButton->setAccessibleDescription(tr("Saves every change made here (Return)"));
    buttons->addWidget(restoreButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(m_saveButton);
    connect(restoreButton, &QPushButton::clicked, this, &SettingsView::restoreDefaults);
    connect(cancelButton, &QPushButton::clicked, this, &SettingsView::cancel);
    connect(m_saveButton, &QPushButton::clicked, this, &SettingsView::save);
    return buttons;
}

const QList<DestinationSlot>& SettingsView::workingSlots() const
{
    return m_slotList->destinationSlots();
}

const QStringList& SettingsView::workingInboxes() const
{
    return m_inboxRow->inboxes();
}

double SettingsView::debounceSeconds() const
{
    return m_general->debounceSeconds();
}

bool SettingsView::launchAtLogin() const
{
    return m_general->launchAtLogin();
}

bool SettingsView::telemetryEnabled() const
{
    return m_privacy->telemetryEnabled();
}

bool SettingsView::suggestDestinations() const
{
    return m_privacy->suggestDestinations();
}

QString SettingsView::globalHotkey() const
{
    return m_general->globalHotkey();
}

AppConfig::NewDownloadNotice SettingsView::newDownloadNotice() const
{
    return m_general->newDownloadNotice();
}

void SettingsView::setHistory(HistoryStore* history)
{
    m_privacy->setHistory(history);
}

void SettingsView::forgetHistory()
{
    m_privacy->forgetHistory();
}

void SettingsView::setDownloadsFolder(const QString& folder)
{
    m_inboxRow->setDownloadsFolder(folder);
}

bool SettingsView::addInbox()
{
    return m_inboxRow->addInbox();
}

void SettingsView::removeInbox(int index)
{
    m_inboxRow->removeInbox(index);
}

bool SettingsView::addSlot()
{
    return m_slotList->addSlot();
}

void SettingsView::removeSlot(int index)
{
    m_slotList->removeSlot(index);
}

void SettingsView::moveSlot(int index, int delta)
{
    m_slotList->moveSlot(index, delta);
}

void SettingsView::browseForSlot(int index)
{
    m_slotList->browseForSlot(index);
}

std::optional<QString> SettingsView::chooseFolderEntry()
{
    if (!m_chooseFolder)
        return std::nullopt;
    const std::optional<QString> chosen = m_chooseFolder(this);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return abbreviateHome(QDir::cleanPath(*chosen));
}

void SettingsView::refreshFromLiveState()
{
    // Showing the view only reflects the live state; it must not register anything.
    m_general->refreshFromLiveState();
    m_privacy->showLiveState(m_config.config().general.suggestDestinations,
                             m_config.config().general.anonymousDiagnosticsEnabled);
}

void SettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        refreshFromLiveState();
}

QString SettingsView::abbreviateHome(const QString& path)
{
    const QString home = QDir::homePath();
    // Only a whole leading folder name counts: /home/al is not inside /home/a.
    if (home.isEmpty() || home == QLatin1String("/"))
        return path;
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

std::optional<QString> SettingsView::chooseFolderWithDialog(QWidget* parent)
{
    return FolderDialog::choose(parent, QDir::homePath(), tr("Select Folder"), tr("Select Folder"));
}

void SettingsView::save()
{
    const bool loginApplied = m_general->applyLaunchAtLogin();
    AppConfig updated = m_config.config();
    updated.destinationSlots = m_slotList->destinationSlots();
    updated.general.debounceSeconds = m_general->debounceSeconds();
    updated.additionalInboxes = m_inboxRow->inboxes();
    // What is registered, which is what the switch asked for unless that failed.
    updated.general.launchAtLogin = m_launchService.isEnabled();
    updated.general.anonymousDiagnosticsEnabled = m_privacy->telemetryEnabled();
    updated.general.suggestDestinations = m_privacy->suggestDestinations();
    updated.general.globalHotkey = m_general->globalHotkey();
    updated.general.notifyNewDownloads = m_general->newDownloadNotice();
    m_telemetry.setIsEnabled(m_privacy->telemetryEnabled());
    m_config.saveConfig(updated);
    // A login item that could not be written is said here, and the view stays open.
    if (!loginApplied)
        return;
    if (m_onClose)
        m_onClose();
}

void SettingsView::cancel()
{
    // Nothing was applied before Save: closing is all there is to undo.
    if (m_onClose)
        m_onClose();
}

void SettingsView::restoreDefaults()
{
    // The working copies only, shown as they will be saved. The login item and the
    // diagnostics consent are the user's choices, not defaults: they stay as set.
    m_slotList->setDestinationSlots(ConfigurationService::defaultSlots());
    m_inboxRow->setInboxes(AppConfig().additionalInboxes);
    m_general->restoreDefaults();
}

void SettingsView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        cancel();
        return;
    }
    // Return saves, as the default button of a dialog would; a focused button (Cancel,
    // Browse...) answers for itself.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* button = qobject_cast<QAbstractButton*>(focusWidget());
        if (button && button != m_saveButton) {
            event->accept();
            button->click();
            return;
        }
        event->accept();
        save();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SettingsView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        Theme::makeProminent(m_saveButton, palette());
}

void SettingsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Theme::paintCard(painter, QRectF(rect()), cornerRadius, palette());
}
