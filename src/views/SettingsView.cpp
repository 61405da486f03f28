#include "views/SettingsView.h"

#include "models/GlobalHotkey.h"
#include "models/InboxFolders.h"
#include "platform/FolderCreator.h"
#include "platform/LoginItemBackend.h"
#include "platform/StoragePaths.h"
#include "platform/XdgUserDirs.h"
#include "services/ConfigurationService.h"
#include "services/GlobalShortcutService.h"
#include "services/HistoryStore.h"
#include "services/LaunchAtLoginService.h"
#include "services/TelemetryService.h"
#include "services/UpdateService.h"
#include "views/CreateFolderOffer.h"
#include "views/FolderDialog.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"
#include "views/ToggleSwitch.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr qreal cornerRadius = 10;
constexpr int slotRowSpacing = 2;

QPushButton* smallButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFont(Theme::font(11));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

int sliderPosition(double seconds)
{
    const double clamped =
        std::clamp(seconds, SettingsView::minimumDebounce, SettingsView::maximumDebounce);
    return int(std::lround(clamped / SettingsView::debounceStep));
}

} // namespace

SettingsView::SettingsView(ConfigurationService& configService, LaunchAtLoginService& launchAtLogin,
                           UpdateService& updates, TelemetryService& telemetry,
                           const GlobalShortcutService& shortcut, std::function<void()> onClose,
                           QWidget* parent)
    : QWidget(parent), m_config(configService), m_launchService(launchAtLogin), m_updates(updates),
      m_telemetry(telemetry), m_shortcut(shortcut), m_onClose(std::move(onClose)),
      m_chooseFolder(&SettingsView::chooseFolderWithDialog)
{
    setObjectName(QStringLiteral("settingsView"));
    setFixedSize(contentWidth, contentHeight);

    // The working copies, read once.
    const AppConfig& config = m_config.config();
    m_slots = config.destinationSlots;
    // Keys follow the list: what is shown is what Save writes.
    renumberSlots();
    m_debounceSeconds = config.general.debounceSeconds;
    m_inboxes = config.additionalInboxes;
    m_downloadsFolder = StoragePaths::downloadsDirectory();
    m_launchAtLogin = m_launchService.isEnabled();
    m_telemetryEnabled = config.general.anonymousDiagnosticsEnabled;
    m_suggestDestinations = config.general.suggestDestinations;
    m_globalHotkey = config.general.globalHotkey;
    m_newDownloadNotice = config.general.notifyNewDownloads;

    auto* layout = new QVBoxLayout(this);
    // Tighter than a dialog's usual spacing: nine slot rows fit in the list without
    // scrolling in the default window.
    layout->setContentsMargins(20, 12, 20, 12);
    layout->setSpacing(6);

    auto* title = new QLabel(tr("Stowbird Preferences"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(Theme::font(13, QFont::Bold));
    // The watched folders share the title's line: the slot list below keeps the room for
    // nine rows.
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(16);
    titleRow->addWidget(title);
    QWidget* inboxRow = makeInboxRow(this);
    // No taller than the title: nine slots fill the list below to the pixel.
    inboxRow->setFixedHeight(title->sizeHint().height());
    titleRow->addWidget(inboxRow, 1);
    layout->addLayout(titleRow);
    m_inboxProblem = new QLabel(this);
    m_inboxProblem->setObjectName(QStringLiteral("inboxProblem"));
    m_inboxProblem->setFont(Theme::font(11));
    m_inboxProblem->setWordWrap(true);
    m_inboxProblem->hide();
    layout->addWidget(m_inboxProblem);

    auto* slotsHeading = new QHBoxLayout;
    slotsHeading->setSpacing(8);
    slotsHeading->addWidget(sectionLabel(tr("Destination Slots (Keys 1-9)")));
    slotsHeading->addStretch(1);
    m_addButton = smallButton(tr("Add Slot"), this);
    m_addButton->setObjectName(QStringLiteral("addSlotButton"));
    m_addButton->setIcon(SymbolIcons::icon(QStringLiteral("plus"), Theme::secondary(palette())));
    m_addButton->setAccessibleName(tr("Add Slot"));
    connect(m_addButton, &QPushButton::clicked, this, &SettingsView::addSlot);
    slotsHeading->addWidget(m_addButton);
    layout->addLayout(slotsHeading);
    layout->addWidget(makeSlotList(), 1);
    m_slotProblem = new QLabel(this);
    m_slotProblem->setObjectName(QStringLiteral("slotProblem"));
    m_slotProblem->setFont(Theme::font(11));
    m_slotProblem->setWordWrap(true);
    m_slotProblem->hide();
    layout->addWidget(m_slotProblem);
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    layout->addWidget(makeGeneralSection());
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    layout->addWidget(makePrivacySection());
    layout->addWidget(Theme::divider(Qt::Horizontal, this));

    auto* buttons = new QHBoxLayout;
    m_restoreButton = new QPushButton(tr("Restore Defaults"), this);
    m_restoreButton->setObjectName(QStringLiteral("restoreDefaultsButton"));
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_saveButton = new QPushButton(tr("Save"), this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_restoreButton->setAccessibleDescription(
        tr("Puts back the default slots, debounce delay and global shortcut; nothing changes "
           "before Save"));
    m_cancelButton->setAccessibleDescription(
        tr("Closes the preferences; nothing changed here takes effect"));
    m_saveButton->setAccessibleDescription(tr("Saves every change made here (Return)"));
    buttons->addWidget(m_restoreButton);
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_saveButton);
    layout->addLayout(buttons);

    connect(m_restoreButton, &QPushButton::clicked, this, &SettingsView::restoreDefaults);
    connect(m_cancelButton, &QPushButton::clicked, this, &SettingsView::cancel);
    connect(m_saveButton, &QPushButton::clicked, this, &SettingsView::save);
    connect(&m_launchService, &LaunchAtLoginService::statusChanged, this,
            &SettingsView::updateApprovalButton);

    applyPalette();
    updateApprovalButton();
}

QLabel* SettingsView::sectionLabel(const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setFont(Theme::font(11));
    m_secondaryLabels.append(label);
    return label;
}

QWidget* SettingsView::makeSlotList()
{
    m_slotScroll = new QScrollArea(this);
    m_slotScroll->setObjectName(QStringLiteral("slotList"));
    m_slotScroll->setFrameShape(QFrame::NoFrame);
    m_slotScroll->setWidgetResizable(true);
    m_slotScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_slotScroll->setMinimumHeight(60);
    // Alt+Up and Alt+Down move the row that holds the focus, wherever in the row it is.
    const auto moveShortcut = [this](const QKeySequence& keys, int delta) {
        auto* shortcut = new QShortcut(keys, m_slotScroll);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, delta] {
            const int index = focusedSlotRow();
            if (index >= 0)
                moveSlot(index, delta);
        });
    };
    moveShortcut(QKeySequence(Qt::AltModifier | Qt::Key_Up), -1);
    moveShortcut(QKeySequence(Qt::AltModifier | Qt::Key_Down), 1);
    // Let the card's own background show through.
    m_slotScroll->setAutoFillBackground(false);
    m_slotScroll->viewport()->setAutoFillBackground(false);
    rebuildSlotRows();
    return m_slotScroll;
}

void SettingsView::rebuildSlotRows()
{
    auto* rows = new QWidget;
    rows->setObjectName(QStringLiteral("slotRows"));
    rows->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(rows);
    // Room on the right so that a scroll bar never covers the row's buttons.
    layout->setContentsMargins(0, 2, 4, 2);
    layout->setSpacing(slotRowSpacing);
    const int count = int(m_slots.size());
    for (int i = 0; i < count; ++i) {
        const DestinationSlot& slot = m_slots[i];
        auto* row = new QWidget(rows);
        row->setObjectName(QStringLiteral("slotRow"));
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->setSpacing(8);

        auto* number = new QLabel(QStringLiteral("[%1]").arg(slot.slot), row);
        number->setObjectName(QStringLiteral("slotNumber"));
        number->setFont(Theme::font(13, QFont::Bold, true));
        number->setFixedWidth(28);
        number->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

        auto* name = new QLineEdit(slot.name, row);
        name->setObjectName(QStringLiteral("slotName"));
        name->setPlaceholderText(tr("Slot Name"));
        name->setFixedWidth(140);
        name->setAccessibleName(tr("Slot %1 name").arg(slot.slot));
        name->setAccessibleDescription(
            tr("The name shown for key %1; Alt+Up and Alt+Down move the slot").arg(slot.slot));

        auto* path = new QLineEdit(slot.path, row);
        path->setObjectName(QStringLiteral("slotPath"));
        // The example names the user's own documents folder (~/Dokumente in German).
        path->setPlaceholderText(
            tr("Path (%1)")
                .arg(StoragePaths::tildePath(XdgUserDirs::directory(QStringLiteral("DOCUMENTS"),
                                                                    QStringLiteral("Documents")))));
        path->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        path->setMinimumWidth(80);
        // The start of a long path shows ("~/Developer/Pro..."), not its last letters.
        path->setCursorPosition(0);
        path->setAccessibleName(tr("Slot %1 folder").arg(slot.slot));
        path->setAccessibleDescription(
            tr("The folder that key %1 moves items to; ~ is your home folder").arg(slot.slot));

        auto* browse = smallButton(tr("Browse..."), row);
        browse->setObjectName(QStringLiteral("browseButton"));
        browse->setAccessibleName(tr("Browse for the slot %1 folder").arg(slot.slot));
        browse->setAccessibleDescription(tr("Chooses the folder of slot %1").arg(slot.slot));

        // A folder that does not exist is flagged, with an offer to create it.
        auto* missing = new QToolButton(row);
        missing->setObjectName(QStringLiteral("missingFolderButton"));
        missing->setAutoRaise(true);
        // The sign alone, as in the triage window, so that the path keeps its room.
        missing->setToolButtonStyle(Qt::ToolButtonIconOnly);
        missing->setIcon(
            SymbolIcons::icon(QStringLiteral("exclamationmark.triangle.fill"), Theme::orange()));
        missing->setIconSize(QSize(14, 14));
        missing->setText(tr("Create"));
        missing->setToolTip(tr("This folder does not exist: click to create it"));
        missing->setAccessibleName(tr("Create the missing slot %1 folder").arg(slot.slot));
        missing->setAccessibleDescription(
            tr("The folder of slot %1 does not exist").arg(slot.slot));
        missing->setVisible(!slotFolderExists(slot));

        // Reordering and removal, by mouse or by Tab and Space.
        const QColor glyph = Theme::secondary(palette());
        auto* up = rowButton(QStringLiteral("chevron.up"), QStringLiteral("moveUpButton"),
                             tr("Move slot %1 up").arg(slot.slot),
                             tr("Gives this slot key %1 (Alt+Up)").arg(slot.slot - 1), glyph, row);
        auto* down =
            rowButton(QStringLiteral("chevron.down"), QStringLiteral("moveDownButton"),
                      tr("Move slot %1 down").arg(slot.slot),
                      tr("Gives this slot key %1 (Alt+Down)").arg(slot.slot + 1), glyph, row);
        auto* remove =
            rowButton(QStringLiteral("minus.circle"), QStringLiteral("removeSlotButton"),
                      tr("Remove slot %1").arg(slot.slot),
                      tr("Removes this slot; the slots below it move up a key"), glyph, row);
        up->setEnabled(i > 0);
        down->setEnabled(i + 1 < count);

        rowLayout->addWidget(number);
        rowLayout->addWidget(name);
        rowLayout->addWidget(path, 1);
        rowLayout->addWidget(missing);
        rowLayout->addWidget(browse);
        rowLayout->addSpacing(2);
        rowLayout->addWidget(up);
        rowLayout->addWidget(down);
        rowLayout->addWidget(remove);
        layout->addWidget(row);
        connect(path, &QLineEdit::editingFinished, this, [this, i] { updateMissingFlag(i); });
        connect(missing, &QToolButton::clicked, this, [this, i] { offerToCreateFolder(i); });

        connect(name, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (i < m_slots.size())
                m_slots[i].name = text;
        });
        connect(path, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (i < m_slots.size())
                m_slots[i].path = text;
        });
        connect(browse, &QPushButton::clicked, this, [this, i] { browseForSlot(i); });
        connect(up, &QToolButton::clicked, this, [this, i] { moveSlot(i, -1); });
        connect(down, &QToolButton::clicked, this, [this, i] { moveSlot(i, 1); });
        connect(remove, &QToolButton::clicked, this, [this, i] { removeSlot(i); });
    }
    layout->addStretch(1);
    // The old rows go later: this may run inside a click on one of their buttons.
    if (QWidget* old = m_slotScroll->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    m_slotScroll->setWidget(rows);
    m_slotRows = rows;
    m_slotLayout = layout;
    updateAddButton();
}

QToolButton* SettingsView::rowButton(const QString& symbol, const QString& objectName,
                                     const QString& name, const QString& description,
                                     const QColor& color, QWidget* row)
{
    auto* button = new QToolButton(row);
    button->setObjectName(objectName);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setIcon(SymbolIcons::icon(symbol, color));
    button->setIconSize(QSize(14, 14));
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setAccessibleDescription(description);
    return button;
}

void SettingsView::renumberSlots()
{
    for (int i = 0; i < m_slots.size(); ++i)
        m_slots[i].slot = i + 1;
}

void SettingsView::updateAddButton()
{
    const bool room = m_slots.size() < maximumSlots;
    m_addButton->setEnabled(room);
    const QString reason = room ? tr("Adds a slot for key %1").arg(m_slots.size() + 1)
                                : tr("Nine slots at most: keys 1 to 9 are all taken. Remove "
                                     "a slot to add another.");
    m_addButton->setToolTip(reason);
    m_addButton->setAccessibleDescription(reason);
}

int SettingsView::focusedSlotRow() const
{
    QWidget* focus = QApplication::focusWidget();
    const auto rows =
        m_slotRows->findChildren<QWidget*>(QStringLiteral("slotRow"), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < rows.size(); ++i) {
        if (focus && rows[i]->isAncestorOf(focus))
            return i;
    }
    return -1;
}

void SettingsView::focusInRow(int index, const QString& objectName)
{
    QWidget* row = slotRow(index);
    if (!row) {
        m_addButton->setFocus(Qt::OtherFocusReason);
        return;
    }
    auto* target = objectName.isEmpty() ? nullptr : row->findChild<QWidget*>(objectName);
    // A button that is now disabled (Move Up on the first row) hands the focus to the name.
    if (!target || !target->isEnabled() || target->isHidden())
        target = row->findChild<QWidget*>(QStringLiteral("slotName"));
    target->setFocus(Qt::OtherFocusReason);
    m_slotScroll->ensureWidgetVisible(row, 0, 0);
}

QString SettingsView::focusedControlName() const
{
    QWidget* focus = QApplication::focusWidget();
    return focus && m_slotRows->isAncestorOf(focus) ? focus->objectName() : QString();
}

bool SettingsView::addSlot()
{
    if (m_slots.size() >= maximumSlots)
        return false;
    m_slots.append({int(m_slots.size()) + 1, QString(), QString()});
    rebuildSlotRows();
    focusInRow(int(m_slots.size()) - 1, QStringLiteral("slotName"));
    return true;
}

void SettingsView::removeSlot(int index)
{
    if (index < 0 || index >= m_slots.size())
        return;
    const QString control = focusedControlName();
    m_slots.removeAt(index);
    renumberSlots();
    rebuildSlotRows();
    if (m_slots.isEmpty())
        m_addButton->setFocus(Qt::OtherFocusReason);
    else
        focusInRow(std::min(index, int(m_slots.size()) - 1),
                   control.isEmpty() ? QStringLiteral("removeSlotButton") : control);
}

void SettingsView::moveSlot(int index, int delta)
{
    const int target = index + delta;
    if (index < 0 || index >= m_slots.size() || target < 0 || target >= m_slots.size())
        return;
    const QString control = focusedControlName();
    m_slots.move(index, target);
    renumberSlots();
    rebuildSlotRows();
    // The focus travels with the slot, on the same control.
    focusInRow(target, control);
}

QWidget* SettingsView::makeInboxRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto* caption = new QLabel(tr("Watching:"), row);
    m_secondaryLabels.append(caption);
    // One line of folders: the slots keep the room. A folder that takes the focus (Tab to
    // its Remove button) is scrolled into view.
    m_inboxScroll = new QScrollArea(row);
    m_inboxScroll->setObjectName(QStringLiteral("inboxList"));
    m_inboxScroll->setFrameShape(QFrame::NoFrame);
    m_inboxScroll->setWidgetResizable(true);
    m_inboxScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_inboxScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_inboxScroll->setAutoFillBackground(false);
    m_inboxScroll->viewport()->setAutoFillBackground(false);
    m_inboxScroll->setAccessibleName(tr("Watched folders"));
    m_addInboxButton = rowButton(QStringLiteral("folder.badge.plus"),
                                 QStringLiteral("addInboxButton"), tr("Watch Another Folder..."),
                                 tr("Watches another folder for new items, as Downloads is"),
                                 Theme::secondary(palette()), row);
    m_addInboxButton->setFixedSize(20, 16);
    layout->addWidget(caption);
    layout->addWidget(m_inboxScroll, 1);
    layout->addWidget(m_addInboxButton);
    connect(m_addInboxButton, &QToolButton::clicked, this, &SettingsView::addInbox);
    rebuildInboxRow();
    return row;
}

void SettingsView::rebuildInboxRow()
{
    auto* folders = new QWidget;
    folders->setObjectName(QStringLiteral("inboxFolders"));
    folders->setAutoFillBackground(false);
    auto* layout = new QHBoxLayout(folders);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    // Each folder by its name, as the triage window names an item's inbox; the path is in
    // its tooltip and its description.
    const auto addFolder = [&](const QString& name, const QString& description) {
        auto* label = new QLabel(name, folders);
        label->setObjectName(QStringLiteral("inboxFolder"));
        label->setFont(Theme::font(12));
        label->setToolTip(description);
        label->setAccessibleDescription(description);
        layout->addWidget(label);
        return label;
    };
    addFolder(InboxFolders::displayName(m_downloadsFolder),
              tr("%1: always watched").arg(StoragePaths::tildePath(m_downloadsFolder)));
    // Entries that cannot be watched (written by hand into config.json) show why, so that
    // they can be removed here.
    QStringList accepted;
    const QColor glyph = Theme::secondary(palette());
    for (int i = 0; i < m_inboxes.size(); ++i) {
        const QString& entry = m_inboxes.at(i);
        const QString problem = InboxFolders::problemWith(entry, accepted, m_downloadsFolder);
        const QString folder = InboxFolders::folderOf(entry);
        if (problem.isEmpty())
            accepted << folder;
        layout->addSpacing(8);
        QLabel* label =
            addFolder(folder.isEmpty() ? entry : InboxFolders::displayName(folder),
                      problem.isEmpty() ? tr("%1: watched for new items").arg(entry)
                                        : tr("%1: not watched, %2").arg(entry, problem));
        if (!problem.isEmpty()) {
            QPalette colors = label->palette();
            colors.setColor(QPalette::WindowText, Theme::orange());
            label->setPalette(colors);
        }
        auto* remove =
            rowButton(QStringLiteral("minus.circle"), QStringLiteral("removeInboxButton"),
                      tr("Stop watching %1").arg(entry),
                      tr("Removes this folder from the watched folders; its items "
                         "leave the queue"),
                      glyph, folders);
        // As tall as the title's line.
        remove->setIconSize(QSize(12, 12));
        remove->setFixedSize(16, 16);
        connect(remove, &QToolButton::clicked, this, [this, i] { removeInbox(i); });
        layout->addWidget(remove);
    }
    layout->addStretch(1);
    // The old row goes later: this may run inside a click on one of its buttons.
    if (QWidget* old = m_inboxScroll->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    m_inboxScroll->setWidget(folders);
}

bool SettingsView::addInbox()
{
    if (!m_chooseFolder)
        return false;
    const std::optional<QString> chosen = m_chooseFolder(this);
    if (!chosen || chosen->isEmpty())
        return false;
    const QString entry = abbreviateHome(QDir::cleanPath(*chosen));
    const QString problem = InboxFolders::problemWith(
        entry, InboxFolders::resolve(m_inboxes, m_downloadsFolder), m_downloadsFolder);
    m_inboxProblem->setText(problem.isEmpty() ? QString() : tr("Not added: %1").arg(problem));
    m_inboxProblem->setVisible(!problem.isEmpty());
    if (!problem.isEmpty())
        return false;
    m_inboxes.append(entry);
    rebuildInboxRow();
    m_addInboxButton->setFocus(Qt::OtherFocusReason);
    return true;
}

void SettingsView::removeInbox(int index)
{
    if (index < 0 || index >= m_inboxes.size())
        return;
    m_inboxes.removeAt(index);
    m_inboxProblem->hide();
    rebuildInboxRow();
    m_addInboxButton->setFocus(Qt::OtherFocusReason);
}

void SettingsView::setDownloadsFolder(const QString& folder)
{
    m_downloadsFolder = QDir::cleanPath(folder);
    rebuildInboxRow();
}

QWidget* SettingsView::makeGeneralSection()
{
    auto* section = new QWidget(this);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    // Tight, like the privacy section's: with the shortcut's field the slot list still has
    // room for nine rows.
    layout->setSpacing(5);
    layout->addWidget(sectionLabel(tr("General")));

    auto* loginRow = new QHBoxLayout;
    m_launchSwitch = new ToggleSwitch(tr("Launch Stowbird automatically at login"), section);
    m_launchSwitch->setObjectName(QStringLiteral("launchAtLoginSwitch"));
    m_launchSwitch->setChecked(m_launchAtLogin);
    m_launchSwitch->setAccessibleDescription(
        tr("Starts Stowbird in the tray when you log in; takes effect on Save"));
    m_openSettingsButton = smallButton(tr("Open System Settings"), section);
    m_openSettingsButton->setObjectName(QStringLiteral("openSystemSettingsButton"));
    m_openSettingsButton->setAccessibleDescription(tr("Opens the folder of login items"));
    loginRow->addWidget(m_launchSwitch);
    loginRow->addSpacing(8);
    loginRow->addWidget(m_openSettingsButton);
    loginRow->addStretch(1);
    // When a new download raises a desktop notification while the window is hidden (on this
    // row: the list of slots keeps its room for nine).
    auto* noticeCaption = new QLabel(tr("Notifications:"), section);
    m_noticeChoice = new QComboBox(section);
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
        m_noticeChoice->setItemData(m_noticeChoice->count() - 1, choice.description,
                                    Qt::AccessibleDescriptionRole);
        m_noticeChoice->setItemData(m_noticeChoice->count() - 1, choice.description,
                                    Qt::ToolTipRole);
    }
    m_noticeChoice->setCurrentIndex(
        m_noticeChoice->findData(AppConfig::noticeKey(m_newDownloadNotice)));
    m_noticeChoice->setAccessibleName(tr("Notify of new downloads"));
    m_noticeChoice->setAccessibleDescription(
        tr("While the window is hidden, a new download shows a notification with buttons to "
           "file it, trash it or open Stowbird: never, only when the desktop has no tray for "
           "the icon, or always. Saved with Save"));
    m_noticeChoice->setToolTip(m_noticeChoice->accessibleDescription());
    noticeCaption->setBuddy(m_noticeChoice);
    loginRow->addWidget(noticeCaption);
    loginRow->addWidget(m_noticeChoice);
    layout->addLayout(loginRow);
    m_loginProblem = new QLabel(section);
    m_loginProblem->setObjectName(QStringLiteral("launchAtLoginProblem"));
    m_loginProblem->setFont(Theme::font(11));
    m_loginProblem->setWordWrap(true);
    m_loginProblem->hide();
    layout->addWidget(m_loginProblem);
    connect(m_noticeChoice, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (const auto when = AppConfig::noticeFromKey(m_noticeChoice->itemData(index).toString()))
            m_newDownloadNotice = *when;
    });

    auto* debounceRow = new QHBoxLayout;
    debounceRow->setSpacing(8);
    auto* debounceCaption = new QLabel(tr("File Completion Debounce:"), section);
    m_debounceSlider = new QSlider(Qt::Horizontal, section);
    m_debounceSlider->setObjectName(QStringLiteral("debounceSlider"));
    // Whole steps of half a second: the slider cannot land between them.
    m_debounceSlider->setRange(sliderPosition(minimumDebounce), sliderPosition(maximumDebounce));
    m_debounceSlider->setSingleStep(1);
    m_debounceSlider->setPageStep(1);
    m_debounceSlider->setTickPosition(QSlider::NoTicks);
    m_debounceSlider->setValue(sliderPosition(m_debounceSeconds));
    m_debounceSlider->setAccessibleName(tr("File completion debounce"));
    debounceCaption->setBuddy(m_debounceSlider);
    m_debounceLabel = new QLabel(debounceText(m_debounceSeconds), section);
    m_debounceLabel->setObjectName(QStringLiteral("debounceValue"));
    m_debounceLabel->setFixedWidth(40);
    setDebounceSeconds(m_debounceSeconds);
    debounceRow->addWidget(debounceCaption);
    debounceRow->addWidget(m_debounceSlider, 1);
    debounceRow->addWidget(m_debounceLabel);
    layout->addLayout(debounceRow);

    layout->addLayout(makeShortcutRow(section));
    m_shortcutProblem = new QLabel(section);
    m_shortcutProblem->setObjectName(QStringLiteral("globalShortcutProblem"));
    m_shortcutProblem->setFont(Theme::font(11));
    m_shortcutProblem->setWordWrap(true);
    layout->addWidget(m_shortcutProblem);
    connect(&m_shortcut, &GlobalShortcutService::stateChanged, this,
            &SettingsView::updateShortcutRow);
    updateShortcutRow();

    // Only a build with an update feed can check; without one (a distribution package,
    // updated by the package manager) the row is left out.
    auto* updatesRow = new QWidget(section);
    updatesRow->setObjectName(QStringLiteral("updatesRow"));
    auto* updatesLayout = new QHBoxLayout(updatesRow);
    updatesLayout->setContentsMargins(0, 0, 0, 0);
    updatesLayout->setSpacing(8);
    m_checkUpdatesButton = smallButton(tr("Check for Updates..."), updatesRow);
    m_checkUpdatesButton->setObjectName(QStringLiteral("checkForUpdatesButton"));
    m_checkUpdatesButton->setAccessibleDescription(tr("Looks for a newer Stowbird now"));
    updatesLayout->addWidget(new QLabel(tr("Updates:"), updatesRow));
    updatesLayout->addWidget(m_checkUpdatesButton);
    updatesLayout->addStretch(1);
    updatesRow->setVisible(m_updates.updaterController() != nullptr);
    layout->addWidget(updatesRow);

    // The switch only changes what Save registers.
    connect(m_launchSwitch, &ToggleSwitch::toggled, this,
            [this](bool enabled) { m_launchAtLogin = enabled; });
    connect(m_openSettingsButton, &QPushButton::clicked, this,
            [this] { m_launchService.openLoginItemsSettings(); });
    connect(m_debounceSlider, &QSlider::valueChanged, this,
            [this](int position) { setDebounceSeconds(position * debounceStep); });
    connect(m_checkUpdatesButton, &QPushButton::clicked, this,
            [this] { m_updates.checkForUpdates(); });
    return section;
}

QWidget* SettingsView::makePrivacySection()
{
    auto* section = new QWidget(this);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(sectionLabel(tr("Privacy & Diagnostics")));

    // What is learned from the history stays on this computer; it can be turned off and
    // deleted here.
    auto* historyRow = new QHBoxLayout;
    historyRow->setSpacing(8);
    m_suggestSwitch = new ToggleSwitch(tr("Suggest destinations from history"), section);
    m_suggestSwitch->setObjectName(QStringLiteral("suggestDestinationsSwitch"));
    m_suggestSwitch->setChecked(m_suggestDestinations);
    m_suggestSwitch->setAccessibleDescription(
        tr("Highlights where items like the current one went before; Return files it there. "
           "Learned from this computer's history only; takes effect on Save"));
    m_forgetButton = smallButton(tr("Forget History\u2026"), section);
    m_forgetButton->setObjectName(QStringLiteral("forgetHistoryButton"));
    m_forgetButton->setAccessibleDescription(
        tr("Deletes the history of triage actions and what was learned from it, after asking"));
    m_forgetButton->setEnabled(false);
    historyRow->addWidget(m_suggestSwitch);
    historyRow->addStretch(1);
    historyRow->addWidget(m_forgetButton);
    layout->addLayout(historyRow);
    m_historyStatus = new QLabel(section);
    m_historyStatus->setObjectName(QStringLiteral("historyStatus"));
    m_historyStatus->setFont(Theme::font(11));
    m_historyStatus->setWordWrap(true);
    m_historyStatus->hide();
    layout->addWidget(m_historyStatus);
    connect(m_suggestSwitch, &ToggleSwitch::toggled, this,
            [this](bool enabled) { m_suggestDestinations = enabled; });
    connect(m_forgetButton, &QPushButton::clicked, this, &SettingsView::forgetHistory);

    m_telemetrySwitch = new ToggleSwitch(QString(), section);
    m_telemetrySwitch->setObjectName(QStringLiteral("diagnosticsSwitch"));
    m_telemetrySwitch->setChecked(m_telemetryEnabled);
    layout->addWidget(m_telemetrySwitch);
    m_privacyNote = new QLabel(section);
    m_privacyNote->setObjectName(QStringLiteral("privacyNote"));
    m_privacyNote->setFont(Theme::font(10));
    m_privacyNote->setWordWrap(true);
    m_secondaryLabels.append(m_privacyNote);
    layout->addWidget(m_privacyNote);
    setDiagnosticsTexts();
    connect(m_telemetrySwitch, &ToggleSwitch::toggled, this,
            [this](bool enabled) { m_telemetryEnabled = enabled; });
    return section;
}

void SettingsView::setDiagnosticsTexts()
{
    // What the switch says is what this build does: most builds have no secret for the
    // measurement endpoint and send nothing at all; crash reports never leave the computer.
    if (m_telemetry.sendsUsageData()) {
        m_telemetrySwitch->setText(tr("Send anonymous usage counts to the developers"));
        m_privacyNote->setText(tr("Once per session: counts of actions and kinds of files. "
                                  "Names, paths, contents and crash reports are never sent."));
    } else {
        m_telemetrySwitch->setText(
            tr("Keep anonymous usage counts on this computer (nothing is sent)"));
        m_privacyNote->setText(tr("Crash reports stay here too. File names, folder paths and "
                                  "file contents are never recorded."));
    }
    m_telemetrySwitch->setAccessibleDescription(
        tr("%1 Takes effect on Save.").arg(m_privacyNote->text()));
}

void SettingsView::setHistory(HistoryStore* history)
{
    if (m_history)
        disconnect(m_history, nullptr, this, nullptr);
    m_history = history;
    m_forgetButton->setEnabled(m_history != nullptr);
    if (!m_history)
        return;
    connect(m_history, &HistoryStore::forgetFinished, this,
            [this](bool ok, const QString& message) {
                m_forgetButton->setEnabled(true);
                m_historyStatus->setText(message);
                QPalette colors = m_historyStatus->palette();
                colors.setColor(QPalette::WindowText,
                                ok ? Theme::secondary(palette()) : Theme::orange());
                m_historyStatus->setPalette(colors);
                m_historyStatus->show();
            });
}

void SettingsView::forgetHistory()
{
    if (!m_history || m_forgetOffer)
        return;
    auto close = [this] {
        if (m_forgetOffer) {
            m_forgetOffer->hide();
            m_forgetOffer->deleteLater();
            m_forgetOffer = nullptr;
        }
        setFocus(Qt::OtherFocusReason);
    };
    m_forgetOffer = new CreateFolderOffer(
        tr("Forget the history? Every recorded action and what Stowbird learned from it is "
           "deleted, and earlier actions can no longer be undone from the history."),
        tr("Forget History"),
        [this, close] {
            close();
            m_forgetButton->setEnabled(false);
            m_historyStatus->setText(tr("Deleting the history\u2026"));
            m_historyStatus->show();
            m_history->forget();
        },
        close, this);
    m_forgetOffer->setObjectName(QStringLiteral("forgetHistoryOffer"));
    m_forgetOffer->show();
}

void SettingsView::setDebounceSeconds(double seconds)
{
    m_debounceSeconds = seconds;
    m_debounceLabel->setText(debounceText(seconds));
    m_debounceSlider->setAccessibleDescription(
        tr("How long a download must stay unchanged before it is queued: %1")
            .arg(debounceText(seconds)));
}

QString SettingsView::debounceText(double seconds)
{
    // In the user's number format: "1.5s", "1,5 s".
    return tr("%1s").arg(QLocale().toString(seconds, 'f', 1));
}

QLayout* SettingsView::makeShortcutRow(QWidget* section)
{
    // The shortcut that opens the window from anywhere: a field that records a chord, a
    // button that turns it off, and what became of the one in effect now.
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    auto* caption = new QLabel(tr("Open Stowbird from anywhere:"), section);
    m_shortcutEdit = new QKeySequenceEdit(section);
    m_shortcutEdit->setObjectName(QStringLiteral("globalShortcutEdit"));
    // As compact as the small buttons beside it: the slot list keeps room for nine rows.
    m_shortcutEdit->setFont(Theme::font(11));
    m_shortcutEdit->setFixedWidth(150);
    // The field inside takes the focus: it is named as the whole.
    const QString fieldName = tr("Global shortcut");
    const QString fieldDescription = tr("Press the new chord, with at least one of Ctrl, Alt, "
                                        "Shift or Super; takes effect on Save");
    m_shortcutEdit->setAccessibleName(fieldName);
    m_shortcutEdit->setAccessibleDescription(fieldDescription);
    if (auto* field = m_shortcutEdit->findChild<QLineEdit*>()) {
        field->setAccessibleName(fieldName);
        field->setAccessibleDescription(fieldDescription);
        field->setPlaceholderText(tr("Off"));
    }
    // Its key presses are read here (see eventFilter): a chord is taken when pressed, and
    // plain Tab, Escape and Return keep their meaning (no global shortcut goes without a
    // modifier anyway).
    m_shortcutEdit->installEventFilter(this);
    caption->setBuddy(m_shortcutEdit);
    m_shortcutOffButton = smallButton(tr("Turn Off"), section);
    m_shortcutOffButton->setObjectName(QStringLiteral("globalShortcutOffButton"));
    m_shortcutOffButton->setAccessibleDescription(
        tr("No shortcut opens Stowbird from anywhere; takes effect on Save"));
    m_shortcutValue = new QLabel(section);
    m_shortcutValue->setObjectName(QStringLiteral("globalShortcutValue"));
    m_shortcutValue->setFont(Theme::font(12, QFont::Bold, true));
    m_shortcutValue->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    m_shortcutValue->setToolTip(tr("The shortcut in effect now"));
    row->addWidget(caption);
    row->addWidget(m_shortcutEdit);
    row->addWidget(m_shortcutOffButton);
    row->addSpacing(4);
    row->addWidget(m_shortcutValue);
    row->addStretch(1);
    showWorkingHotkey();
    connect(m_shortcutOffButton, &QPushButton::clicked, this, [this] {
        m_globalHotkey.clear();
        m_recordingProblem.clear();
        showWorkingHotkey();
        updateShortcutRow();
    });
    return row;
}

void SettingsView::showWorkingHotkey()
{
    const std::optional<GlobalHotkey> hotkey = GlobalHotkey::parse(m_globalHotkey);
    const QSignalBlocker block(m_shortcutEdit);
    m_shortcutEdit->setKeySequence(
        hotkey ? QKeySequence(QKeyCombination(hotkey->modifiers, Qt::Key(hotkey->key)))
               : QKeySequence());
    m_shortcutOffButton->setEnabled(!m_globalHotkey.isEmpty());
}

void SettingsView::takeRecordedChord(const QKeySequence& sequence)
{
    const QString text = QKeySequence(sequence[0]).toString(QKeySequence::PortableText);
    QString error;
    if (const std::optional<GlobalHotkey> hotkey = GlobalHotkey::parse(text, &error)) {
        m_globalHotkey = hotkey->displayText();
        m_recordingProblem.clear();
    } else {
        m_recordingProblem = tr("%1 cannot open Stowbird from anywhere: %2.").arg(text, error);
    }
    showWorkingHotkey();
    updateShortcutRow();
}

void SettingsView::updateShortcutRow()
{
    const GlobalShortcutService& shortcut = m_shortcut;
    const QString chord = shortcut.shortcutText().isEmpty() ? m_config.config().general.globalHotkey
                                                            : shortcut.shortcutText();
    QString value = chord;
    QString problem;
    switch (shortcut.state()) {
    case GlobalShortcutService::State::Bound:
        break;
    case GlobalShortcutService::State::Binding:
        value = tr("%1 (being set up...)").arg(chord);
        break;
    case GlobalShortcutService::State::Unbound:
        value = tr("%1 (not set up)").arg(chord);
        break;
    case GlobalShortcutService::State::Failed:
        value = tr("%1 (not working)").arg(chord);
        problem = tr("The shortcut could not be set up: %1. Launching Stowbird again also "
                     "opens this window.")
                      .arg(shortcut.failureReason());
        break;
    case GlobalShortcutService::State::Off:
        value = tr("Off");
        break;
    }
    // A chord just pressed that cannot be one is said first.
    if (!m_recordingProblem.isEmpty())
        problem = m_recordingProblem;
    m_shortcutValue->setText(value);
    m_shortcutValue->setAccessibleName(tr("Global shortcut in effect"));
    m_shortcutValue->setAccessibleDescription(problem.isEmpty() ? value : problem);
    m_shortcutProblem->setText(problem);
    m_shortcutProblem->setVisible(!problem.isEmpty());
}

void SettingsView::updateApprovalButton()
{
    m_openSettingsButton->setVisible(m_launchService.status() ==
                                     LoginItemBackend::requiresApproval);
}

void SettingsView::refreshFromLiveState()
{
    m_launchAtLogin = m_launchService.isEnabled();
    m_telemetryEnabled = m_config.config().general.anonymousDiagnosticsEnabled;
    // Showing the view only reflects the live state; it must not register anything.
    {
        const QSignalBlocker blockLaunch(m_launchSwitch);
        const QSignalBlocker blockTelemetry(m_telemetrySwitch);
        const QSignalBlocker blockSuggest(m_suggestSwitch);
        m_launchSwitch->setChecked(m_launchAtLogin);
        m_telemetrySwitch->setChecked(m_telemetryEnabled);
        m_suggestDestinations = m_config.config().general.suggestDestinations;
        m_suggestSwitch->setChecked(m_suggestDestinations);
    }
    m_loginProblem->hide();
    updateApprovalButton();
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

void SettingsView::browseForSlot(int index)
{
    if (index < 0 || index >= m_slots.size() || !m_chooseFolder)
        return;
    const std::optional<QString> chosen = m_chooseFolder(this);
    if (!chosen || chosen->isEmpty())
        return;
    // The rows may have been rebuilt while the picker was open.
    if (index >= m_slots.size())
        return;
    const QString path = abbreviateHome(QDir::cleanPath(*chosen));
    m_slots[index].path = path;
    updateMissingFlag(index);
    const auto rows =
        m_slotRows->findChildren<QWidget*>(QStringLiteral("slotRow"), Qt::FindDirectChildrenOnly);
    if (index < rows.size()) {
        if (auto* field = rows[index]->findChild<QLineEdit*>(QStringLiteral("slotPath"))) {
            field->setText(path);
            field->setCursorPosition(0);
        }
    }
}

bool SettingsView::applyLaunchAtLogin()
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

void SettingsView::save()
{
    const bool loginApplied = applyLaunchAtLogin();
    AppConfig updated = m_config.config();
    renumberSlots();
    updated.destinationSlots = m_slots;
    updated.general.debounceSeconds = m_debounceSeconds;
    updated.additionalInboxes = m_inboxes;
    // What is registered, which is what the switch asked for unless that failed.
    updated.general.launchAtLogin = m_launchService.isEnabled();
    updated.general.anonymousDiagnosticsEnabled = m_telemetryEnabled;
    updated.general.suggestDestinations = m_suggestDestinations;
    updated.general.globalHotkey = m_globalHotkey;
    updated.general.notifyNewDownloads = m_newDownloadNotice;
    m_telemetry.setIsEnabled(m_telemetryEnabled);
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
    m_slots = ConfigurationService::defaultSlots();
    renumberSlots();
    rebuildSlotRows();
    m_inboxes = AppConfig().additionalInboxes;
    m_inboxProblem->hide();
    rebuildInboxRow();
    {
        const QSignalBlocker block(m_debounceSlider);
        m_debounceSlider->setValue(sliderPosition(defaultDebounce));
    }
    setDebounceSeconds(defaultDebounce);
    m_globalHotkey = GlobalHotkey::defaultText;
    m_recordingProblem.clear();
    showWorkingHotkey();
    updateShortcutRow();
    m_noticeChoice->setCurrentIndex(
        m_noticeChoice->findData(AppConfig::noticeKey(AppConfig().general.notifyNewDownloads)));
}

bool SettingsView::slotFolderExists(const DestinationSlot& slot)
{
    // An empty path is no folder, but nothing to create either: it is not flagged.
    return slot.path.trimmed().isEmpty() || slot.isAvailable();
}

QWidget* SettingsView::slotRow(int index) const
{
    const auto rows =
        m_slotRows->findChildren<QWidget*>(QStringLiteral("slotRow"), Qt::FindDirectChildrenOnly);
    return index >= 0 && index < rows.size() ? rows[index] : nullptr;
}

void SettingsView::updateMissingFlag(int index)
{
    QWidget* row = slotRow(index);
    if (!row || index >= m_slots.size())
        return;
    if (auto* flag = row->findChild<QToolButton*>(QStringLiteral("missingFolderButton")))
        flag->setVisible(!slotFolderExists(m_slots[index]));
}

void SettingsView::offerToCreateFolder(int index)
{
    if (index < 0 || index >= m_slots.size() || m_createOffer)
        return;
    const DestinationSlot slot = m_slots[index];
    const QString shown = StoragePaths::tildePath(slot.resolvedPath());
    auto close = [this] {
        if (m_createOffer) {
            m_createOffer->hide();
            m_createOffer->deleteLater();
            m_createOffer = nullptr;
        }
    };
    m_createOffer = new CreateFolderOffer(
        CreateFolderOffer::createQuestion(shown), tr("Create Folder"),
        [this, index, slot, close] {
            close();
            FolderCreator::create(
                slot.resolvedPath(), this, [this, index](bool ok, const QString& error) {
                    m_slotProblem->setText(ok ? QString() : tr("Not created: %1").arg(error));
                    m_slotProblem->setVisible(!ok);
                    updateMissingFlag(index);
                    setFocus(Qt::OtherFocusReason);
                });
        },
        [this, close] {
            close();
            setFocus(Qt::OtherFocusReason);
        },
        this);
    m_createOffer->show();
}

bool SettingsView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_shortcutEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if ((modifiers & ~Qt::ShiftModifier) == Qt::NoModifier) {
                focusNextPrevChild(key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier);
                return true;
            }
            break;
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (modifiers == Qt::NoModifier) {
                keyPressEvent(key);
                return true;
            }
            break;
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_unknown:
            // A modifier on its own is not a chord yet.
            return true;
        default:
            break;
        }
        // The chord is taken as it is pressed: one chord, at once, never a sequence.
        takeRecordedChord(QKeySequence(QKeyCombination(modifiers, Qt::Key(key->key()))));
        return true;
    }
    return QWidget::eventFilter(watched, event);
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

void SettingsView::applyPalette()
{
    const QColor secondary = Theme::secondary(palette());
    for (QLabel* label : std::as_const(m_secondaryLabels)) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, secondary);
        label->setPalette(p);
    }
    Theme::makeProminent(m_saveButton, palette());
    QPalette problem = m_shortcutProblem->palette();
    problem.setColor(QPalette::WindowText, Theme::orange());
    m_shortcutProblem->setPalette(problem);
    m_loginProblem->setPalette(problem);
    m_slotProblem->setPalette(problem);
    m_inboxProblem->setPalette(problem);
}

void SettingsView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

void SettingsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Theme::paintCard(painter, QRectF(rect()), cornerRadius, palette());
}
