#include "views/SettingsView.h"

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
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
        tr("Puts back the default slots and debounce delay and turns diagnostics on"));
    m_cancelButton->setAccessibleDescription(tr("Closes the preferences without saving"));
    m_saveButton->setAccessibleDescription(tr("Saves the slots and the debounce delay (Return)"));
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
    layout->setSpacing(8);
    layout->addWidget(sectionLabel(tr("General")));

    auto* loginRow = new QHBoxLayout;
    m_launchSwitch = new ToggleSwitch(tr("Launch Stowbird automatically at login"), section);
    m_launchSwitch->setObjectName(QStringLiteral("launchAtLoginSwitch"));
    m_launchSwitch->setChecked(m_launchAtLogin);
    m_launchSwitch->setAccessibleDescription(
        tr("Starts Stowbird in the tray when you log in; takes effect at once"));
    m_openSettingsButton = smallButton(tr("Open System Settings"), section);
    m_openSettingsButton->setObjectName(QStringLiteral("openSystemSettingsButton"));
    m_openSettingsButton->setAccessibleDescription(tr("Opens the folder of login items"));
    loginRow->addWidget(m_launchSwitch);
    loginRow->addSpacing(8);
    loginRow->addWidget(m_openSettingsButton);
    loginRow->addStretch(1);
    layout->addLayout(loginRow);

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

    // The shortcut that opens the window from anywhere, and what became of it.
    auto* shortcutRow = new QHBoxLayout;
    shortcutRow->setSpacing(8);
    auto* shortcutCaption = new QLabel(tr("Open Stowbird from anywhere:"), section);
    m_shortcutValue = new QLabel(section);
    m_shortcutValue->setObjectName(QStringLiteral("globalShortcutValue"));
    m_shortcutValue->setFont(Theme::font(12, QFont::Bold, true));
    m_shortcutValue->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    shortcutCaption->setBuddy(m_shortcutValue);
    shortcutRow->addWidget(shortcutCaption);
    shortcutRow->addWidget(m_shortcutValue);
    shortcutRow->addStretch(1);
    layout->addLayout(shortcutRow);
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

    connect(m_launchSwitch, &ToggleSwitch::toggled, this, [this](bool enabled) {
        m_launchAtLogin = enabled;
        // A registration error is logged by the service and otherwise dropped: the switch
        // keeps the user's choice until the view is shown again.
        m_launchService.setIsEnabled(enabled);
        updateApprovalButton();
    });
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
           "Learned from this computer's history only; takes effect at once"));
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
    connect(m_suggestSwitch, &ToggleSwitch::toggled, this, &SettingsView::applySuggestions);
    connect(m_forgetButton, &QPushButton::clicked, this, &SettingsView::forgetHistory);

    m_telemetrySwitch =
        new ToggleSwitch(tr("Share anonymous usage diagnostics & crash reports"), section);
    m_telemetrySwitch->setObjectName(QStringLiteral("diagnosticsSwitch"));
    m_telemetrySwitch->setChecked(m_telemetryEnabled);
    m_telemetrySwitch->setAccessibleDescription(
        tr("File names, personal folder paths, and file contents are never collected"));
    layout->addWidget(m_telemetrySwitch);

    auto* note = new QLabel(tr("Helps improve Stowbird. File names, personal folder paths, and "
                               "file contents are never collected."),
                            section);
    note->setObjectName(QStringLiteral("privacyNote"));
    note->setFont(Theme::font(10));
    note->setWordWrap(true);
    m_secondaryLabels.append(note);
    layout->addWidget(note);

    connect(m_telemetrySwitch, &ToggleSwitch::toggled, this, &SettingsView::applyTelemetry);
    return section;
}

void SettingsView::applyTelemetry(bool enabled)
{
    m_telemetryEnabled = enabled;
    m_telemetry.setIsEnabled(enabled);
    // The consent is also recorded in the configuration straight away. The start-up code
    // applies the configuration's value to telemetry, so a choice kept only in the
    // telemetry service would be undone at the next launch if the sheet were cancelled.
    // Only this one field is written; the slot and debounce edits still wait for Save.
    AppConfig stored = m_config.config();
    if (stored.general.anonymousDiagnosticsEnabled != enabled) {
        stored.general.anonymousDiagnosticsEnabled = enabled;
        m_config.saveConfig(stored);
    }
}

void SettingsView::applySuggestions(bool enabled)
{
    m_suggestDestinations = enabled;
    // Like the diagnostics switch: this one field is written now, the rest waits for Save.
    AppConfig stored = m_config.config();
    if (stored.general.suggestDestinations != enabled) {
        stored.general.suggestDestinations = enabled;
        m_config.saveConfig(stored);
    }
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
    return QString::asprintf("%.1fs", seconds);
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
        value += tr(" (being set up...)");
        break;
    case GlobalShortcutService::State::Unbound:
        value += tr(" (not set up)");
        break;
    case GlobalShortcutService::State::Failed:
        value += tr(" (not working)");
        problem = tr("The shortcut could not be set up: %1. Launching Stowbird again also "
                     "opens this window.")
                      .arg(shortcut.failureReason());
        break;
    }
    m_shortcutValue->setText(value);
    m_shortcutValue->setAccessibleName(tr("Global shortcut"));
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

void SettingsView::save()
{
    AppConfig updated = m_config.config();
    renumberSlots();
    updated.destinationSlots = m_slots;
    updated.general.debounceSeconds = m_debounceSeconds;
    updated.additionalInboxes = m_inboxes;
    updated.general.launchAtLogin = m_launchAtLogin;
    updated.general.anonymousDiagnosticsEnabled = m_telemetryEnabled;
    updated.general.suggestDestinations = m_suggestDestinations;
    m_telemetry.setIsEnabled(m_telemetryEnabled);
    m_config.saveConfig(updated);
    if (m_onClose)
        m_onClose();
}

void SettingsView::cancel()
{
    if (m_onClose)
        m_onClose();
}

void SettingsView::restoreDefaults()
{
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
    // Telemetry is switched on at once, whether or not the switch was already on.
    {
        const QSignalBlocker block(m_telemetrySwitch);
        m_telemetrySwitch->setChecked(true);
    }
    applyTelemetry(true);
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
