#include "views/SlotListEditor.h"

#include "platform/FolderCreator.h"
#include "platform/StoragePaths.h"
#include "platform/XdgUserDirs.h"
#include "views/CreateFolderOffer.h"
#include "views/SettingsControls.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr int slotRowSpacing = 2;

} // namespace

SlotListEditor::SlotListEditor(const QList<DestinationSlot>& destinationSlots,
                               FolderPicker pickFolder, QWidget* offerHost, QWidget* parent)
    : QWidget(parent), m_slots(destinationSlots), m_pickFolder(std::move(pickFolder)),
      m_offerHost(offerHost)
{
    // Keys follow the list: what is shown is what Save writes.
    renumber();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The spacing of the preferences around it: nine rows fit without scrolling.
    layout->setSpacing(6);
    layout->addLayout(makeHeading());
    layout->addWidget(makeScrollArea(), 1);
    rebuildRows();
    m_problem = SettingsControls::problemLabel(QStringLiteral("slotProblem"), this);
    layout->addWidget(m_problem);
    SettingsControls::useSecondaryColor({m_heading}, palette());
}

QLayout* SlotListEditor::makeHeading()
{
    auto* layout = new QHBoxLayout;
    layout->setSpacing(8);
    m_heading = new QLabel(tr("Destination Slots (Keys 1-9)"), this);
    m_heading->setFont(Theme::font(11));
    m_addButton = SettingsControls::smallButton(tr("Add Slot"), this);
    m_addButton->setObjectName(QStringLiteral("addSlotButton"));
    m_addButton->setIcon(SymbolIcons::icon(QStringLiteral("plus"), Theme::secondary(palette())));
    m_addButton->setAccessibleName(tr("Add Slot"));
    connect(m_addButton, &QPushButton::clicked, this, &SlotListEditor::addSlot);
    layout->addWidget(m_heading);
    layout->addStretch(1);
    layout->addWidget(m_addButton);
    return layout;
}

QScrollArea* SlotListEditor::makeScrollArea()
{
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("slotList"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setMinimumHeight(60);
    // Alt+Up and Alt+Down move the row that holds the focus, wherever in the row it is.
    const auto moveShortcut = [this](const QKeySequence& keys, int delta) {
        auto* shortcut = new QShortcut(keys, m_scroll);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, delta] {
            const int index = focusedRow();
            if (index >= 0)
                moveSlot(index, delta);
        });
    };
    moveShortcut(QKeySequence(Qt::AltModifier | Qt::Key_Up), -1);
    moveShortcut(QKeySequence(Qt::AltModifier | Qt::Key_Down), 1);
    // Let the card's own background show through.
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    return m_scroll;
}

void SlotListEditor::setDestinationSlots(const QList<DestinationSlot>& destinationSlots)
{
    m_slots = destinationSlots;
    renumber();
    rebuildRows();
}

void SlotListEditor::rebuildRows()
{
    auto* rows = new QWidget;
    rows->setObjectName(QStringLiteral("slotRows"));
    rows->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(rows);
    // Room on the right so that a scroll bar never covers the row's buttons.
    layout->setContentsMargins(0, 2, 4, 2);
    layout->setSpacing(slotRowSpacing);
    for (int i = 0; i < m_slots.size(); ++i)
        layout->addWidget(makeRow(i, rows));
    layout->addStretch(1);
    // The old rows go later: this may run inside a click on one of their buttons.
    if (QWidget* old = m_scroll->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    m_scroll->setWidget(rows);
    m_rows = rows;
    updateAddButton();
}

QWidget* SlotListEditor::makeRow(int index, QWidget* parent)
{
    const DestinationSlot& slot = m_slots[index];
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("slotRow"));
    auto* number = new QLabel(QStringLiteral("[%1]").arg(slot.slot), row);
    number->setObjectName(QStringLiteral("slotNumber"));
    number->setFont(Theme::font(13, QFont::Bold, true));
    number->setFixedWidth(28);
    number->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QLineEdit* name = makeNameField(slot, row);
    QLineEdit* path = makePathField(slot, row);
    QToolButton* missing = makeMissingFlag(slot, row);
    auto* browse = SettingsControls::smallButton(tr("Browse..."), row);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAccessibleName(tr("Browse for the slot %1 folder").arg(slot.slot));
    browse->setAccessibleDescription(tr("Chooses the folder of slot %1").arg(slot.slot));

    // Reordering and removal, by mouse or by Tab and Space.
    const QColor glyph = Theme::secondary(palette());
    auto* up = SettingsControls::symbolButton(
        QStringLiteral("chevron.up"), QStringLiteral("moveUpButton"),
        tr("Move slot %1 up").arg(slot.slot),
        tr("Gives this slot key %1 (Alt+Up)").arg(slot.slot - 1), glyph, row);
    auto* down = SettingsControls::symbolButton(
        QStringLiteral("chevron.down"), QStringLiteral("moveDownButton"),
        tr("Move slot %1 down").arg(slot.slot),
        tr("Gives this slot key %1 (Alt+Down)").arg(slot.slot + 1), glyph, row);
    auto* remove = SettingsControls::symbolButton(
        QStringLiteral("minus.circle"), QStringLiteral("removeSlotButton"),
        tr("Remove slot %1").arg(slot.slot),
        tr("Removes this slot; the slots below it move up a key"), glyph, row);
    up->setEnabled(index > 0);
    down->setEnabled(index + 1 < m_slots.size());

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(number);
    layout->addWidget(name);
    layout->addWidget(path, 1);
    layout->addWidget(missing);
    layout->addWidget(browse);
    layout->addSpacing(2);
    for (QWidget* button : {up, down, remove})
        layout->addWidget(button);

    const int i = index;
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
    return row;
}

QLineEdit* SlotListEditor::makeNameField(const DestinationSlot& slot, QWidget* row)
{
    auto* name = new QLineEdit(slot.name, row);
    name->setObjectName(QStringLiteral("slotName"));
    name->setPlaceholderText(tr("Slot Name"));
    name->setFixedWidth(140);
    name->setAccessibleName(tr("Slot %1 name").arg(slot.slot));
    name->setAccessibleDescription(
        tr("The name shown for key %1; Alt+Up and Alt+Down move the slot").arg(slot.slot));
    return name;
}

QLineEdit* SlotListEditor::makePathField(const DestinationSlot& slot, QWidget* row)
{
    auto* path = new QLineEdit(slot.path, row);
    path->setObjectName(QStringLiteral("slotPath"));
    // The example names the user's own documents folder (~/Dokumente in German).
    path->setPlaceholderText(tr("Path (%1)")
                                 .arg(StoragePaths::tildePath(XdgUserDirs::directory(
                                     QStringLiteral("DOCUMENTS"), QStringLiteral("Documents")))));
    path->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    path->setMinimumWidth(80);
    // The start of a long path shows ("~/Developer/Pro..."), not its last letters.
    path->setCursorPosition(0);
    path->setAccessibleName(tr("Slot %1 folder").arg(slot.slot));
    path->setAccessibleDescription(
        tr("The folder that key %1 moves items to; ~ is your home folder").arg(slot.slot));
    return path;
}

QToolButton* SlotListEditor::makeMissingFlag(const DestinationSlot& slot, QWidget* row)
{
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
    missing->setAccessibleDescription(tr("The folder of slot %1 does not exist").arg(slot.slot));
    missing->setVisible(!folderExists(slot));
    return missing;
}

void SlotListEditor::renumber()
{
    for (int i = 0; i < m_slots.size(); ++i)
        m_slots[i].slot = i + 1;
}

void SlotListEditor::updateAddButton()
{
    const bool room = m_slots.size() < maximumSlots;
    m_addButton->setEnabled(room);
    const QString reason = room ? tr("Adds a slot for key %1").arg(m_slots.size() + 1)
                                : tr("Nine slots at most: keys 1 to 9 are all taken. Remove "
                                     "a slot to add another.");
    m_addButton->setToolTip(reason);
    m_addButton->setAccessibleDescription(reason);
}

QWidget* SlotListEditor::slotRow(int index) const
{
    const auto rows =
        m_rows->findChildren<QWidget*>(QStringLiteral("slotRow"), Qt::FindDirectChildrenOnly);
    return index >= 0 && index < rows.size() ? rows[index] : nullptr;
}

int SlotListEditor::focusedRow() const
{
    QWidget* focus = QApplication::focusWidget();
    const auto rows =
        m_rows->findChildren<QWidget*>(QStringLiteral("slotRow"), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < rows.size(); ++i) {
        if (focus && rows[i]->isAncestorOf(focus))
            return i;
    }
    return -1;
}

QString SlotListEditor::focusedControlName() const
{
    QWidget* focus = QApplication::focusWidget();
    return focus && m_rows->isAncestorOf(focus) ? focus->objectName() : QString();
}

void SlotListEditor::focusInRow(int index, const QString& objectName)
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
    m_scroll->ensureWidgetVisible(row, 0, 0);
}

bool SlotListEditor::addSlot()
{
    if (m_slots.size() >= maximumSlots)
        return false;
    m_slots.append({int(m_slots.size()) + 1, QString(), QString()});
    rebuildRows();
    focusInRow(int(m_slots.size()) - 1, QStringLiteral("slotName"));
    return true;
}

void SlotListEditor::removeSlot(int index)
{
    if (index < 0 || index >= m_slots.size())
        return;
    const QString control = focusedControlName();
    m_slots.removeAt(index);
    renumber();
    rebuildRows();
    if (m_slots.isEmpty())
        m_addButton->setFocus(Qt::OtherFocusReason);
    else
        focusInRow(std::min(index, int(m_slots.size()) - 1),
                   control.isEmpty() ? QStringLiteral("removeSlotButton") : control);
}

void SlotListEditor::moveSlot(int index, int delta)
{
    const int target = index + delta;
    if (index < 0 || index >= m_slots.size() || target < 0 || target >= m_slots.size())
        return;
    const QString control = focusedControlName();
    m_slots.move(index, target);
    renumber();
    rebuildRows();
    // The focus travels with the slot, on the same control.
    focusInRow(target, control);
}

void SlotListEditor::browseForSlot(int index)
{
    if (index < 0 || index >= m_slots.size() || !m_pickFolder)
        return;
    const std::optional<QString> path = m_pickFolder();
    // The rows may have been rebuilt while the picker was open.
    if (!path || index >= m_slots.size())
        return;
    m_slots[index].path = *path;
    updateMissingFlag(index);
    if (QWidget* row = slotRow(index)) {
        if (auto* field = row->findChild<QLineEdit*>(QStringLiteral("slotPath"))) {
            field->setText(*path);
            field->setCursorPosition(0);
        }
    }
}

bool SlotListEditor::folderExists(const DestinationSlot& slot)
{
    // An empty path is no folder, but nothing to create either: it is not flagged.
    return slot.path.trimmed().isEmpty() || slot.isAvailable();
}

void SlotListEditor::updateMissingFlag(int index)
{
    QWidget* row = slotRow(index);
    if (!row || index >= m_slots.size())
        return;
    if (auto* flag = row->findChild<QToolButton*>(QStringLiteral("missingFolderButton")))
        flag->setVisible(!folderExists(m_slots[index]));
}

void SlotListEditor::offerToCreateFolder(int index)
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
    const auto created = [this, index](bool ok, const QString& error) {
        m_problem->setText(ok ? QString() : tr("Not created: %1").arg(error));
        m_problem->setVisible(!ok);
        updateMissingFlag(index);
        m_offerHost->setFocus(Qt::OtherFocusReason);
    };
    m_createOffer = new CreateFolderOffer(
        CreateFolderOffer::createQuestion(shown), tr("Create Folder"),
        [this, slot, close, created] {
            close();
            FolderCreator::create(slot.resolvedPath(), this, created);
        },
        [this, close] {
            close();
            m_offerHost->setFocus(Qt::OtherFocusReason);
        },
        m_offerHost);
    m_createOffer->show();
}

void SlotListEditor::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        SettingsControls::useSecondaryColor({m_heading}, palette());
}
