#include "views/TriageKeyboard.h"

#include "platform/LatinKeyResolver.h"
#include "services/ConfigurationService.h"
#include "services/LoggerService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "views/TriageContainerView.h"

#include <QApplication>
#include <QKeyEvent>

TriageKeyboard::TriageKeyboard(TriageContainerView& view, Context context)
    : QObject(&view), m_view(view), m_context(std::move(context))
{
}

TriageKeyboard::~TriageKeyboard()
{
    remove();
}

void TriageKeyboard::install()
{
    if (m_installed)
        return;
    // An application-wide filter sees every key before focus handling (Tab included).
    qApp->installEventFilter(this);
    m_installed = true;
}

void TriageKeyboard::remove()
{
    if (!m_installed)
        return;
    qApp->removeEventFilter(this);
    m_installed = false;
}

bool TriageKeyboard::eventFilter(QObject* watched, QEvent* event)
{
    // Every key press is preceded by a shortcut override and followed by a release: either
    // means the press seen last has finished its way up the widgets.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease)
        m_lastKeyEvent = nullptr;
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only keys meant for the HUD window; dialogs and other windows keep theirs.
    if (!widget || widget->window() != m_view.window() || !m_view.isVisible() ||
        QApplication::activeModalWidget())
        return QObject::eventFilter(watched, event);
    // A key nobody takes is offered to the receiver's parent, then to its parent, up to
    // the window, each time through this filter: answer it once, at the first receiver.
    auto* previous = qobject_cast<QWidget*>(m_lastKeyReceiver.data());
    if (event == m_lastKeyEvent && previous && widget->isAncestorOf(previous)) {
        m_lastKeyReceiver = widget;
        return false;
    }
    m_lastKeyEvent = event;
    m_lastKeyReceiver = widget;
    return handleKeyEvent(static_cast<QKeyEvent*>(event));
}

QString TriageKeyboard::keyCharacters(const QKeyEvent* event)
{
    const int key = event->key();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QChar letter(char16_t(u'a' + (key - Qt::Key_A)));
        return shift ? letter.toUpper() : letter;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QChar(char16_t(u'0' + (key - Qt::Key_0)));
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QStringLiteral("\t");
    case Qt::Key_Backspace:
        return QStringLiteral("\x08");
    case Qt::Key_Delete:
        return QStringLiteral("\x7f");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Space:
        return QStringLiteral(" ");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Left:
        return QString(QChar(TriageKeyTable::leftArrow));
    case Qt::Key_Right:
        return QString(QChar(TriageKeyTable::rightArrow));
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint())
        return text;
    return {};
}

QChar TriageKeyboard::tableCharacter(const QKeyEvent* event) const
{
    const QString characters = keyCharacters(event);
    const QChar own = characters.size() == 1 ? characters.front() : QChar();
    const bool command = event->modifiers() & Qt::ControlModifier;
    const bool shifted = event->modifiers() & Qt::ShiftModifier;
    LatinKeyResolver* resolver = m_context.keyResolver.get();
    const auto latinOfKey = [&] {
        return resolver ? resolver->latinCharacter(event->nativeScanCode()) : QChar();
    };
    // A key the table knows by what it types is that key ("?" is Shift+7 on a Russian layout:
    // it opens the cheat sheet there, never files a group into slot 7).
    if (!own.isNull() &&
        (TriageKeyTable::find(own, command) || TriageKeyTable::isLatinLetterOrDigit(own)))
        return own;
    if (!own.isNull() && shifted && !own.isLetterOrNumber()) {
        // Shift with a digit key types a symbol ("!", "\"" or "%" by layout): the digit is
        // the key's, read from the layout.
        QChar digit = latinOfKey();
        if (digit.isNull() && !resolver) {
            static const QString usShifted = QStringLiteral("!@#$%^&*(");
            const qsizetype at = usShifted.indexOf(own);
            if (at >= 0)
                digit = QChar(char16_t(u'1' + at));
        }
        return digit.isDigit() ? digit : own;
    }
    const QChar latin = latinOfKey();
    if (latin.isNull())
        return own;
    return shifted ? latin.toUpper() : latin;
}

std::optional<bool> TriageKeyboard::keyForOpenPanel(const QKeyEvent* event,
                                                    const QString& characters)
{
    const bool isEscape = event->key() == Qt::Key_Escape;
    if (m_view.isRenaming()) {
        if (isEscape) {
            m_view.cancelRename();
            return true;
        }
        return false; // the rename field gets the key
    }
    if (m_view.showingSettings() || m_view.showingHistory() || m_view.showingCreateFolderOffer())
        return false; // the sheet or the offer owns the keyboard while it is open
    if (m_view.showingCheatSheet()) {
        if (isEscape || event->text() == QLatin1String("?") || characters == QLatin1String("?"))
            m_view.setShowingCheatSheet(false);
        return true;
    }
    return std::nullopt;
}

bool TriageKeyboard::handleKeyEvent(QKeyEvent* event)
{
    const QString characters = keyCharacters(event);
    if (const std::optional<bool> taken = keyForOpenPanel(event, characters))
        return *taken;
    const bool command = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const QChar key = tableCharacter(event);
    const TriageKeyTable::Entry* entry =
        key.isNull() ? nullptr : TriageKeyTable::find(key, command, shift);
    // No key is dropped while an action runs: the next one waits behind it.
    if (command) {
        // Other Ctrl chords are the menu's (Ctrl+D, Ctrl+Q, ...), never a plain key's action.
        if (!entry || entry->menu)
            return false;
        m_context.logger->action(
            QStringLiteral("Shortcut: %1 (%2)")
                .arg(TriageKeyTable::chord(QString(key.toUpper())), entry->name));
        return runKeyAction(*entry, key);
    }
    if (characters.isEmpty() && key.isNull())
        return false;
    // A key read by its Latin meaning says so, with its keycode.
    m_context.logger->debug(
        QStringLiteral("Key event: '%1'").arg(characters) +
        (QString(key) != characters
             ? QStringLiteral(" as '%1' (keycode %2)").arg(key).arg(event->nativeScanCode())
             : QString()));
    if (!entry || entry->menu)
        return false;
    return runKeyAction(*entry, key);
}

bool TriageKeyboard::runSlotKey(int number, bool group)
{
    const QList<DestinationSlot>& configured = m_context.config->config().destinationSlots;
    const auto slot = std::find_if(configured.begin(), configured.end(),
                                   [number](const DestinationSlot& s) { return s.slot == number; });
    if (slot == configured.end()) {
        // Said, not silently ignored; the key still goes on as an unused key does.
        m_context.logger->action(QStringLiteral("Key %1: no slot %1 is configured").arg(number));
        m_view.actions()->showStatus(tr("No slot %1: add one in Preferences").arg(number));
        return false;
    }
    if (!slot->isAvailable() && !group)
        m_view.offerToCreateSlotFolder(*slot, InputMethod::keyboard);
    else if (group)
        m_view.routeGroupToSlot(*slot, InputMethod::keyboard);
    else
        m_view.routeToSlot(*slot, InputMethod::keyboard);
    return true;
}

bool TriageKeyboard::runReturnKey()
{
    // Return on an item files it as suggested; on the empty state it is the state's
    // button: review the skipped files.
    if (m_context.queue->activeItem()) {
        m_view.acceptSuggestion();
        return true;
    }
    if (m_context.queue->skippedPaths().isEmpty())
        return false;
    m_view.reviewSkippedFiles();
    return true;
}

bool TriageKeyboard::runKeyAction(const TriageKeyTable::Entry& entry, QChar key)
{
    using Action = TriageKeyTable::Action;
    constexpr InputMethod keyboard = InputMethod::keyboard;
    switch (entry.action) {
    case Action::fileToSlot:
    case Action::fileGroupToSlot:
        return runSlotKey(key.digitValue(), entry.action == Action::fileGroupToSlot);
    case Action::stepGroup:
        return m_view.stepGroup(key == QChar(TriageKeyTable::rightArrow));
    case Action::acceptSuggestion:
    case Action::reviewSkipped:
        return runReturnKey();
    case Action::fileLikeLast:
        m_view.fileLikeLast(keyboard);
        break;
    case Action::trashGroup:
        m_view.trashGroup(keyboard);
        break;
    case Action::moveToCustomFolder:
        m_view.moveToCustomFolder(keyboard);
        break;
    case Action::trash:
        m_view.trashCurrent(keyboard);
        break;
    case Action::skip:
        m_view.skipCurrentItem(keyboard);
        break;
    case Action::cancel:
        m_view.cancelRunningAction();
        break;
    case Action::rename:
        m_view.startRename();
        break;
    case Action::undo:
        m_view.undoLastAction();
        break;
    case Action::reveal:
        m_view.revealInFinder();
        break;
    case Action::openInDefaultApp:
        m_view.openInDefaultApp();
        break;
    case Action::showHistory:
        m_view.setShowingHistory(true);
        break;
    case Action::toggleCheatSheet:
        m_view.toggleCheatSheet();
        break;
    case Action::closeWindow:
        if (m_context.onDismiss)
            m_context.onDismiss();
        break;
    case Action::openPreferences:
    case Action::quit:
        return false; // the menu's
    }
    return true;
}
