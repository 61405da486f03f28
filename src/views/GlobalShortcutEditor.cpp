#include "views/GlobalShortcutEditor.h"

#include "models/GlobalHotkey.h"
#include "services/ConfigurationService.h"
#include "services/GlobalShortcutService.h"
#include "views/SettingsControls.h"
#include "views/Theme.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <optional>

GlobalShortcutEditor::GlobalShortcutEditor(const GlobalShortcutService& shortcut,
                                           const ConfigurationService& config,
                                           const QString& hotkey, QWidget* parent)
    : QWidget(parent), m_shortcut(shortcut), m_config(config), m_hotkey(hotkey)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    auto* caption = new QLabel(tr("Open Stowbird from anywhere:"), this);
    m_edit = makeField();
    caption->setBuddy(m_edit);
    m_offButton = SettingsControls::smallButton(tr("Turn Off"), this);
    m_offButton->setObjectName(QStringLiteral("globalShortcutOffButton"));
    m_offButton->setAccessibleDescription(
        tr("No shortcut opens Stowbird from anywhere; takes effect on Save"));
    m_value = new QLabel(this);
    m_value->setObjectName(QStringLiteral("globalShortcutValue"));
    m_value->setFont(Theme::font(12, QFont::Bold, true));
    m_value->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    m_value->setToolTip(tr("The shortcut in effect now"));
    row->addWidget(caption);
    row->addWidget(m_edit);
    row->addWidget(m_offButton);
    row->addSpacing(4);
    row->addWidget(m_value);
    row->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The spacing of the general section around it.
    layout->setSpacing(5);
    layout->addLayout(row);
    m_problem = SettingsControls::problemLabel(QStringLiteral("globalShortcutProblem"), this);
    layout->addWidget(m_problem);

    showWorkingHotkey();
    connect(m_offButton, &QPushButton::clicked, this, [this] { setHotkey(QString()); });
    connect(&m_shortcut, &GlobalShortcutService::stateChanged, this,
            &GlobalShortcutEditor::updateState);
    updateState();
}

QKeySequenceEdit* GlobalShortcutEditor::makeField()
{
    auto* edit = new QKeySequenceEdit(this);
    edit->setObjectName(QStringLiteral("globalShortcutEdit"));
    // As compact as the small buttons beside it: the slot list keeps room for nine rows.
    edit->setFont(Theme::font(11));
    edit->setFixedWidth(150);
    // The field inside takes the focus: it is named as the whole.
    const QString fieldName = tr("Global shortcut");
    const QString fieldDescription = tr("Press the new chord, with at least one of Ctrl, Alt, "
                                        "Shift or Super; takes effect on Save");
    edit->setAccessibleName(fieldName);
    edit->setAccessibleDescription(fieldDescription);
    if (auto* field = edit->findChild<QLineEdit*>()) {
        field->setAccessibleName(fieldName);
        field->setAccessibleDescription(fieldDescription);
        field->setPlaceholderText(tr("Off"));
    }
    // Its key presses are read here (see eventFilter): a chord is taken when pressed, and
    // plain Tab, Escape and Return keep their meaning (no global shortcut goes without a
    // modifier anyway).
    edit->installEventFilter(this);
    return edit;
}

void GlobalShortcutEditor::setHotkey(const QString& hotkey)
{
    m_hotkey = hotkey;
    m_recordingProblem.clear();
    showWorkingHotkey();
    updateState();
}

void GlobalShortcutEditor::showWorkingHotkey()
{
    const std::optional<GlobalHotkey> hotkey = GlobalHotkey::parse(m_hotkey);
    const QSignalBlocker block(m_edit);
    m_edit->setKeySequence(
        hotkey ? QKeySequence(QKeyCombination(hotkey->modifiers, Qt::Key(hotkey->key)))
               : QKeySequence());
    m_offButton->setEnabled(!m_hotkey.isEmpty());
}

void GlobalShortcutEditor::takeRecordedChord(const QKeySequence& sequence)
{
    const QString text = QKeySequence(sequence[0]).toString(QKeySequence::PortableText);
    QString error;
    if (const std::optional<GlobalHotkey> hotkey = GlobalHotkey::parse(text, &error)) {
        m_hotkey = hotkey->displayText();
        m_recordingProblem.clear();
    } else {
        m_recordingProblem = tr("%1 cannot open Stowbird from anywhere: %2.").arg(text, error);
    }
    showWorkingHotkey();
    updateState();
}

void GlobalShortcutEditor::updateState()
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
    m_value->setText(value);
    m_value->setAccessibleName(tr("Global shortcut in effect"));
    m_value->setAccessibleDescription(problem.isEmpty() ? value : problem);
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
}

bool GlobalShortcutEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_edit || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
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
            emit dialogKeyPressed(key);
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
