#include "views/TriageContainerView.h"

#include "models/InboxFolders.h"
#include "platform/FolderCreator.h"
#include "platform/ItemRevealer.h"
#include "platform/StoragePaths.h"
#include "platform/XkbLatinKeyResolver.h"
#include "services/BlockingProblems.h"
#include "services/ConfigurationService.h"
#include "services/DuplicateFinder.h"
#include "services/FileExecutionEngine.h"
#include "services/HistoryStore.h"
#include "services/LaunchAtLoginService.h"
#include "services/LoggerService.h"
#include "services/LookAlikeService.h"
#include "services/QueueRescanner.h"
#include "services/TelemetryService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "services/UpdateService.h"
#include "views/ActionPaletteView.h"
#include "views/ActionProgressView.h"
#include "views/BusyIndicator.h"
#include "views/CheatSheetOverlay.h"
#include "views/CreateFolderOffer.h"
#include "views/FolderDialog.h"
#include "views/HistorySheet.h"
#include "views/HistoryView.h"
#include "views/InlineRenameView.h"
#include "views/RelativeTimeFormatter.h"
#include "views/SettingsSheet.h"
#include "views/SettingsView.h"
#include "views/StatusAnnouncer.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"
#include "views/TriagePreviewPane.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* headerButton(const QString& symbol, const QString& tooltip, const QString& name,
                          QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(SymbolIcons::icon(symbol, Theme::secondary(parent->palette())));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tooltip);
    // Icon-only: screen readers need the words ("Keyboard Shortcuts"), and the key.
    button->setAccessibleName(tooltip.section(QStringLiteral(" ("), 0, 0));
    button->setAccessibleDescription(tooltip);
    return button;
}

// A clock for spacing refreshes; only differences of its readings mean anything.
qint64 monotonicNs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.nsecsElapsed();
}

} // namespace

TriageContainerView::TriageContainerView(Services services, std::function<void()> onDismissHUD,
                                         std::function<void()> onRescan, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), m_onDismissHUD(std::move(onDismissHUD)),
      m_onRescan(std::move(onRescan))
{
    setObjectName(QStringLiteral("TriageContainerView"));
    Q_ASSERT(m_services.queue && m_services.config && m_services.engine && m_services.telemetry &&
             m_services.logger && m_services.launchAtLogin && m_services.updates &&
             m_services.globalShortcut);
    m_folderChooser = [](QWidget* owner) {
        return FolderDialog::choose(owner, customFolderStart(), tr("Move Here"),
                                    tr("Choose a Folder"));
    };
    m_fileOpener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    m_actions = m_services.actions;
    if (!m_actions) {
        TriageActionController::Dependencies dependencies;
        dependencies.queue = m_services.queue;
        dependencies.engine = m_services.engine;
        dependencies.telemetry = m_services.telemetry;
        dependencies.logger = m_services.logger;
        dependencies.history = m_services.history;
        m_actions = new TriageActionController(dependencies, this);
    }
    m_suggestions = m_services.suggestions;
    if (!m_suggestions && m_services.history) {
        m_suggestions = new SuggestionService(m_services.history, this);
        m_suggestions->load();
    }
    if (m_suggestions)
        connect(m_suggestions, &SuggestionService::changed, this,
                &TriageContainerView::scheduleRefresh);
    if (m_services.history)
        connect(m_services.history, &HistoryStore::forgetFinished, this,
                [this](bool ok, const QString& message) {
                    m_actions->showStatus(message,
                                          ok ? StatusLine::Kind::Info : StatusLine::Kind::Error);
                });
    m_lookAlikes = m_services.lookAlikes;
    if (!m_lookAlikes)
        m_lookAlikes = new LookAlikeService(m_services.queue, this);
    // Redrawn only when what the card shows changes: the head's group, or its duplicate note.
    connect(m_lookAlikes, &LookAlikeService::changed, this, [this] {
        QList<QUuid> ids;
        for (const TriageItem& member : currentGroup())
            ids << member.id;
        if (ids != m_shownGroup)
            scheduleRefresh();
    });
    m_duplicates = m_services.duplicates;
    if (!m_duplicates)
        m_duplicates = new DuplicateFinder(
            m_services.history ? m_services.history->databasePath() : QString(), this);
    connect(m_duplicates, &DuplicateFinder::checked, this, [this](const QUuid& itemId) {
        const std::optional<TriageItem> head = m_services.queue->activeItem();
        if (m_palette && head && head->id == itemId &&
            duplicateText(*head) != m_palette->duplicateNote())
            scheduleRefresh();
    });
    m_keyResolver = m_services.keyResolver;
    if (!m_keyResolver)
        m_keyResolver = XkbLatinKeyResolver::forSession();
    connect(m_actions, &TriageActionController::stateChanged, this, &TriageContainerView::refresh);
    connect(m_actions, &TriageActionController::lastDestinationChanged, this,
            &TriageContainerView::scheduleRefresh);
    connect(m_actions, &TriageActionController::actionFinished, this,
            &TriageContainerView::actionFinished);
    connect(m_actions, &TriageActionController::itemDispatched, this, [this] {
        m_allowLargePreview = false;
        m_isRenaming = false;
        emit stateChanged();
    });

    buildUi();
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &TriageContainerView::refresh);
    connect(m_services.queue, &TriageQueueManager::triageQueueDidChange, this,
            &TriageContainerView::scheduleRefresh);
    connect(m_services.config, &ConfigurationService::configChanged, this,
            &TriageContainerView::scheduleRefresh);
    // A save that did not reach the disk is told on the status line (the services log it).
    // Queued: the action that caused it (a skip) sets its own status first.
    const auto showSaveFailure = [this](const QString& message) {
        m_actions->showStatus(message, StatusLine::Kind::Error);
    };
    connect(m_services.queue, &TriageQueueManager::saveFailed, this, showSaveFailure,
            Qt::QueuedConnection);
    connect(m_services.config, &ConfigurationService::saveFailed, this, showSaveFailure,
            Qt::QueuedConnection);
    if (m_services.rescanner)
        connect(m_services.rescanner, &QueueRescanner::runningChanged, this,
                &TriageContainerView::scheduleRefresh);
    if (m_services.problems) {
        connect(m_services.problems, &BlockingProblems::changed, this,
                &TriageContainerView::refreshProblems);
        refreshProblems();
    }
    connect(this, &TriageContainerView::stateChanged, this, &TriageContainerView::refresh);
    refresh();
}

TriageContainerView::~TriageContainerView()
{
    removeKeyMonitor();
    if (m_sessionStarted && m_services.telemetry)
        m_services.telemetry->endSession(m_services.queue->totalQueueDepth());
}

// --- showing and the key monitor ---------------------------------------------------------

void TriageContainerView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    installKeyMonitor();
    if (!m_sessionStarted) {
        m_sessionStarted = true;
        if (m_services.telemetry)
            m_services.telemetry->startSession(m_services.queue->totalQueueDepth());
    }
}

void TriageContainerView::installKeyMonitor()
{
    if (m_keyMonitorInstalled)
        return;
    // An application-wide filter sees every key before focus handling (Tab included).
    qApp->installEventFilter(this);
    m_keyMonitorInstalled = true;
}

void TriageContainerView::removeKeyMonitor()
{
    if (!m_keyMonitorInstalled)
        return;
    qApp->removeEventFilter(this);
    m_keyMonitorInstalled = false;
}

bool TriageContainerView::eventFilter(QObject* watched, QEvent* event)
{
    // Every key press is preceded by a shortcut override and followed by a release: either
    // means the press seen last has finished its way up the widgets.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease)
        m_lastKeyEvent = nullptr;
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only keys meant for the HUD window; dialogs and other windows keep theirs.
    if (!widget || widget->window() != window() || !isVisible() ||
        QApplication::activeModalWidget())
        return QWidget::eventFilter(watched, event);
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

QString TriageContainerView::keyCharacters(const QKeyEvent* event)
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

QChar TriageContainerView::tableCharacter(const QKeyEvent* event)
{
    const QString characters = keyCharacters(event);
    const QChar own = characters.size() == 1 ? characters.front() : QChar();
    const bool command = event->modifiers() & Qt::ControlModifier;
    const bool shifted = event->modifiers() & Qt::ShiftModifier;
    const auto latinOfKey = [&] {
        return m_keyResolver ? m_keyResolver->latinCharacter(event->nativeScanCode()) : QChar();
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
        if (digit.isNull() && !m_keyResolver) {
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

bool TriageContainerView::handleKeyEvent(QKeyEvent* event)
{
    const bool isEscape = event->key() == Qt::Key_Escape;
    const QString characters = keyCharacters(event);

    if (m_isRenaming) {
        if (isEscape) {
            cancelRename();
            return true;
        }
        return false; // the rename field gets the key
    }
    if (m_showingSettings || m_showingHistory || m_createOffer)
        return false; // the sheet or the offer owns the keyboard while it is open
    if (m_showingCheatSheet) {
        if (isEscape || event->text() == QLatin1String("?") || characters == QLatin1String("?"))
            setShowingCheatSheet(false);
        return true;
    }
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
        logAction(QStringLiteral("Shortcut: %1 (%2)")
                      .arg(TriageKeyTable::chord(QString(key.toUpper())), entry->name));
        return runKeyAction(*entry, key);
    }
    if (characters.isEmpty() && key.isNull())
        return false;
    // A key read by its Latin meaning says so, with its keycode.
    logDebug(QStringLiteral("Key event: '%1'").arg(characters) +
             (QString(key) != characters
                  ? QStringLiteral(" as '%1' (keycode %2)").arg(key).arg(event->nativeScanCode())
                  : QString()));
    if (!entry || entry->menu)
        return false;
    return runKeyAction(*entry, key);
}

bool TriageContainerView::runKeyAction(const TriageKeyTable::Entry& entry, QChar key)
{
    using Action = TriageKeyTable::Action;
    switch (entry.action) {
    case Action::fileToSlot:
    case Action::fileGroupToSlot: {
        const bool group = entry.action == Action::fileGroupToSlot;
        const int number = key.digitValue();
        const QList<DestinationSlot>& configured = m_services.config->config().destinationSlots;
        const auto slot =
            std::find_if(configured.begin(), configured.end(),
                         [number](const DestinationSlot& s) { return s.slot == number; });
        if (slot == configured.end()) {
            // Said, not silently ignored; the key still goes on as an unused key does.
            logAction(QStringLiteral("Key %1: no slot %1 is configured").arg(number));
            m_actions->showStatus(tr("No slot %1: add one in Preferences").arg(number));
            return false;
        }
        if (!slot->isAvailable() && !group)
            offerToCreateSlotFolder(*slot, InputMethod::keyboard);
        else if (group)
            routeGroupToSlot(*slot, InputMethod::keyboard);
        else
            routeToSlot(*slot, InputMethod::keyboard);
        return true;
    }
    case Action::fileLikeLast:
        fileLikeLast(InputMethod::keyboard);
        return true;
    case Action::trashGroup:
        trashGroup(InputMethod::keyboard);
        return true;
    case Action::stepGroup:
        return stepGroup(key == QChar(TriageKeyTable::rightArrow));
    case Action::moveToCustomFolder:
        moveToCustomFolder(InputMethod::keyboard);
        return true;
    case Action::trash:
        trashCurrent(InputMethod::keyboard);
        return true;
    case Action::skip:
        skipCurrentItem(InputMethod::keyboard);
        return true;
    case Action::cancel:
        cancelRunningAction();
        return true;
    case Action::rename:
        startRename();
        return true;
    case Action::undo:
        undoLastAction();
        return true;
    case Action::reveal:
        revealInFinder();
        return true;
    case Action::openInDefaultApp:
        openInDefaultApp();
        return true;
    case Action::showHistory:
        setShowingHistory(true);
        return true;
    case Action::toggleCheatSheet:
        toggleCheatSheet();
        return true;
    case Action::closeWindow:
        if (m_onDismissHUD)
            m_onDismissHUD();
        return true;
    case Action::acceptSuggestion:
    case Action::reviewSkipped:
        // Return on an item files it as suggested; on the empty state it is the state's
        // button: review the skipped files.
        if (m_services.queue->activeItem()) {
            acceptSuggestion();
            return true;
        }
        if (m_services.queue->skippedPaths().isEmpty())
            return false;
        reviewSkippedFiles();
        return true;
    case Action::openPreferences:
    case Action::quit:
        break; // the menu's
    }
    return false;
}

// --- logging and operations -----------------------------------------------------------------

void TriageContainerView::logDebug(const QString& message)
{
    m_services.logger->debug(message);
}

void TriageContainerView::logAction(const QString& message)
{
    m_services.logger->action(message);
}

QString TriageContainerView::extensionToken(const TriageItem& item)
{
    return FileExecutionEngine::logToken(item);
}

std::optional<QString> TriageContainerView::statusMessage() const
{
    return m_actions->statusMessage();
}

bool TriageContainerView::isProcessingAction() const
{
    return m_actions->isProcessingAction();
}

std::optional<QUuid> TriageContainerView::activeActionID() const
{
    return m_actions->activeActionID();
}

void TriageContainerView::setWatchdogInterval(int ms)
{
    m_actions->setWatchdogInterval(ms);
}

void TriageContainerView::setStatusDuration(int ms)
{
    m_actions->setStatusDurations(ms, ms);
}

void TriageContainerView::routeToSlot(const DestinationSlot& slot, InputMethod input)
{
    m_actions->routeToSlot(slot, input);
}

void TriageContainerView::moveToCustomFolder(InputMethod input)
{
    const std::optional<TriageItem> shown = m_services.queue->activeItem();
    if (!shown)
        return;
    const std::optional<QString> folder =
        m_folderChooser ? m_folderChooser(window()) : std::nullopt;
    // An action that ended meanwhile may have put another item at the head: the folder was
    // chosen for the item shown when the dialog opened.
    if (folder && !folder->isEmpty()) {
        s_lastCustomFolder = *folder;
        m_actions->moveToFolder(*folder, input, shown);
    }
}

QString TriageContainerView::s_lastCustomFolder;

bool TriageContainerView::showingCreateFolderOffer() const
{
    return !m_createOffer.isNull();
}

QString TriageContainerView::customFolderStart()
{
    if (!s_lastCustomFolder.isEmpty() && QFileInfo(s_lastCustomFolder).isDir())
        return s_lastCustomFolder;
    return QDir::homePath();
}

void TriageContainerView::offerToCreateSlotFolder(const DestinationSlot& slot, InputMethod input)
{
    if (m_createOffer || !m_services.queue->activeItem())
        return;
    const QString folder = slot.resolvedPath();
    if (folder.trimmed().isEmpty())
        return;
    logAction(QStringLiteral("Slot %1 folder missing; offering to create it").arg(slot.slot));
    auto close = [this] {
        if (m_createOffer) {
            m_createOffer->hide();
            m_createOffer->deleteLater();
            m_createOffer = nullptr;
            returnFocusToItem();
        }
    };
    m_createOffer = new CreateFolderOffer(
        CreateFolderOffer::moveQuestion(StoragePaths::tildePath(folder)), tr("Create and Move"),
        [this, slot, input, folder, close] {
            close();
            FolderCreator::create(folder, this, [this, slot, input](bool ok, const QString& error) {
                if (!ok) {
                    m_actions->showStatus(tr("Could not create the folder: %1").arg(error),
                                          StatusLine::Kind::Error);
                    return;
                }
                logAction(QStringLiteral("Created the folder of slot %1").arg(slot.slot));
                routeToSlot(slot, input);
            });
        },
        [close] { close(); }, this);
    m_createOffer->show();
}

void TriageContainerView::reviewSkippedFiles()
{
    // Forgetting the skipped paths is not enough: the files must come back into the queue,
    // which a rescan of the folder does.
    m_services.queue->clearSkipCache();
    if (m_onRescan)
        m_onRescan();
}

void TriageContainerView::trashCurrent(InputMethod input)
{
    m_actions->trashCurrent(input);
}

void TriageContainerView::skipCurrentItem(InputMethod input)
{
    m_actions->skipCurrentItem(input);
}

void TriageContainerView::startRename()
{
    const auto head = m_services.queue->activeItem();
    if (!head)
        return;
    // The item is kept: a late failure may put another item at the head meanwhile.
    m_renameItem = *head;
    m_renameText = head->filename;
    m_isRenaming = true;
    emit stateChanged();
}

void TriageContainerView::commitRename(const QString& newName)
{
    m_isRenaming = false;
    if (m_renameItem)
        m_actions->renameItem(*m_renameItem, newName);
    m_renameItem.reset();
    emit stateChanged();
}

void TriageContainerView::cancelRename()
{
    if (!m_isRenaming)
        return;
    m_isRenaming = false;
    m_renameItem.reset();
    emit stateChanged();
}

void TriageContainerView::undoLastAction()
{
    m_actions->undoLastAction();
}

QList<TriageItem> TriageContainerView::currentGroup() const
{
    const std::optional<TriageItem> head = m_services.queue->activeItem();
    if (!head)
        return {};
    QList<TriageItem> group = m_lookAlikes->groupItems(head->id);
    // The head leads, whatever order the group was found in.
    const auto at = std::find_if(group.begin(), group.end(),
                                 [&](const TriageItem& item) { return item.id == head->id; });
    if (at == group.end())
        return {};
    std::rotate(group.begin(), at, at + 1);
    return group;
}

namespace {

QList<QUuid> idsOf(const QList<TriageItem>& items)
{
    QList<QUuid> ids;
    for (const TriageItem& item : items)
        ids << item.id;
    return ids;
}

} // namespace

void TriageContainerView::routeGroupToSlot(const DestinationSlot& slot, InputMethod input)
{
    const std::optional<TriageItem> head = m_services.queue->activeItem();
    if (!head)
        return;
    const QList<TriageItem> group = currentGroup();
    if (group.size() < 2) {
        // No look-alikes: the one item, as its digit alone would.
        if (!slot.isAvailable())
            offerToCreateSlotFolder(slot, input);
        else
            routeToSlot(slot, input);
        return;
    }
    if (!slot.isAvailable()) {
        m_actions->showStatus(tr("Not moved: the folder of %1 is missing (press %2 to "
                                 "create it for this file)")
                                  .arg(slot.name)
                                  .arg(slot.slot),
                              StatusLine::Kind::Error);
        return;
    }
    logAction(QStringLiteral("Moving %1 look-alikes to slot %2").arg(group.size()).arg(slot.slot));
    m_actions->routeGroupToSlot(slot, idsOf(group), input);
}

void TriageContainerView::trashGroup(InputMethod input)
{
    const QList<TriageItem> group = currentGroup();
    if (group.size() < 2) {
        trashCurrent(input);
        return;
    }
    logAction(QStringLiteral("Trashing %1 look-alikes").arg(group.size()));
    m_actions->trashGroup(idsOf(group), input);
}

void TriageContainerView::fileLikeLast(InputMethod input)
{
    m_actions->fileLikeLast(input);
}

bool TriageContainerView::stepGroup(bool forward)
{
    const QList<TriageItem> group = currentGroup();
    const qsizetype size = group.size();
    if (size < 2)
        return false;
    // A head that came up since the last redraw starts at itself.
    if (m_groupFor != group.front().id) {
        m_groupFor = group.front().id;
        m_groupShown = 0;
    }
    m_groupShown = int((m_groupShown + (forward ? 1 : size - 1)) % size);
    refresh();
    return true;
}

void TriageContainerView::checkForDuplicate(
    const TriageItem& head, const std::optional<SuggestionService::Suggestion>& suggestion)
{
    QStringList folders;
    if (suggestion)
        folders << suggestion->folder;
    for (const DestinationSlot& slot : m_services.config->config().destinationSlots) {
        const QString folder = slot.resolvedPath();
        if (!folder.trimmed().isEmpty() && !folders.contains(folder))
            folders << folder;
    }
    const QString key = head.id.toString() + folders.join(QLatin1Char('\n'));
    if (key == m_duplicateCheck)
        return;
    m_duplicateCheck = key;
    QList<TriageItem> waiting = m_services.queue->items();
    waiting.removeIf([&](const TriageItem& item) { return item.id == head.id; });
    m_duplicates->check(head, folders, waiting);
}

QString TriageContainerView::duplicateText(const TriageItem& head) const
{
    const std::optional<DuplicateFinder::Match> match = m_duplicates->matchFor(head.id);
    if (!match)
        return {};
    return DuplicateFinder::describe(
        *match, match->filedAt ? RelativeTimeFormatter::format(*match->filedAt) : QString());
}

std::optional<SuggestionService::Suggestion> TriageContainerView::currentSuggestion() const
{
    if (!m_suggestions || !m_services.config->config().general.suggestDestinations)
        return std::nullopt;
    const std::optional<TriageItem> head = m_services.queue->activeItem();
    if (!head)
        return std::nullopt;
    // The host its browser recorded, once the palette has read it for this item.
    const QString host =
        m_palette && m_palette->item().id == head->id ? m_palette->originHost() : QString();
    return m_suggestions->suggest(*head, m_services.config->config().destinationSlots, host);
}

void TriageContainerView::acceptSuggestion()
{
    const std::optional<TriageItem> head = m_services.queue->activeItem();
    if (!head)
        return;
    const std::optional<SuggestionService::Suggestion> suggestion = currentSuggestion();
    if (!suggestion) {
        m_actions->showStatus(tr("No suggestion for this item"));
        return;
    }
    logAction(QStringLiteral("Filing item (.%1) as suggested").arg(extensionToken(*head)));
    if (!suggestion->slot) {
        m_actions->moveToFolder(suggestion->folder, InputMethod::keyboard, head);
        return;
    }
    if (!suggestion->slot->isAvailable())
        offerToCreateSlotFolder(*suggestion->slot, InputMethod::keyboard);
    else
        routeToSlot(*suggestion->slot, InputMethod::keyboard);
}

void TriageContainerView::cancelRunningAction()
{
    logAction(QStringLiteral("Cancel the running action"));
    m_actions->cancelRunningAction();
}

void TriageContainerView::revealInFinder()
{
    const auto head = m_services.queue->activeItem();
    if (!head)
        return;
    logAction(
        QStringLiteral("Revealing item (.%1) in the file manager").arg(extensionToken(*head)));
    if (m_services.revealer)
        m_services.revealer->reveal(head->url);
}

void TriageContainerView::openInDefaultApp()
{
    const auto head = m_services.queue->activeItem();
    if (!head)
        return;
    if (m_services.telemetry)
        m_services.telemetry->recordQuickLook();
    if (m_fileOpener)
        m_fileOpener(head->url);
}

void TriageContainerView::toggleCheatSheet()
{
    setShowingCheatSheet(!m_showingCheatSheet);
}

void TriageContainerView::setShowingCheatSheet(bool showing)
{
    if (m_showingCheatSheet == showing)
        return;
    m_showingCheatSheet = showing;
    emit stateChanged();
}

void TriageContainerView::setShowingSettings(bool showing)
{
    if (m_showingSettings == showing)
        return;
    m_showingSettings = showing;
    emit stateChanged();
}

void TriageContainerView::setShowingHistory(bool showing)
{
    if (m_showingHistory == showing)
        return;
    m_showingHistory = showing;
    logAction(showing ? QStringLiteral("History shown") : QStringLiteral("History closed"));
    emit stateChanged();
}

void TriageContainerView::allowLargePreviewNow()
{
    if (m_allowLargePreview)
        return;
    m_allowLargePreview = true;
    emit stateChanged();
}

QString TriageContainerView::countText(qsizetype depth)
{
    if (depth <= 0)
        return tr("Inbox Zero");
    return tr("%n items remaining", nullptr, int(depth));
}

// --- the screen ------------------------------------------------------------------------------

void TriageContainerView::refreshProblems()
{
    const QString text = m_services.problems->summary();
    m_problemBanner->setText(text);
    m_problemBanner->setAccessibleName(text);
    m_problemBanner->setVisible(!text.isEmpty());
}

QString TriageContainerView::problemText() const
{
    return m_problemBanner->isHidden() ? QString() : m_problemBanner->text();
}

void TriageContainerView::buildUi()
{
    setMinimumSize(760, 480);
    setAutoFillBackground(true);
    // Outside the layouts: it draws nothing and only speaks.
    m_announcer = new StatusAnnouncer(this);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    // Header.
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(16, 10, 16, 10);
    headerLayout->setSpacing(8);
    m_trayIcon = new QLabel(header);
    m_trayIcon->setObjectName(QStringLiteral("trayIcon"));
    headerLayout->addWidget(m_trayIcon);
    headerLayout->addWidget(Theme::label(QStringLiteral("Stowbird"), 13, QFont::Bold,
                                         Theme::primary(palette()), header));
    headerLayout->addWidget(
        Theme::label(QStringLiteral("•"), 13, QFont::Normal, Theme::secondary(palette()), header));
    m_countLabel = Theme::label({}, 13, QFont::Normal, Theme::secondary(palette()), header);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    headerLayout->addWidget(m_countLabel);
    m_spinner = new BusyIndicator(header);
    m_spinner->setObjectName(QStringLiteral("progressIndicator"));
    headerLayout->addSpacing(6);
    headerLayout->addWidget(m_spinner);
    headerLayout->addStretch(1);
    using Action = TriageKeyTable::Action;
    auto* help = headerButton(
        QStringLiteral("questionmark.circle"),
        tr("Keyboard Shortcuts (%1)").arg(TriageKeyTable::entry(Action::toggleCheatSheet).keyName),
        QStringLiteral("cheatSheetButton"), header);
    connect(help, &QToolButton::clicked, this, &TriageContainerView::toggleCheatSheet);
    auto* settings = headerButton(QStringLiteral("gearshape"), tr("Configure Destination Slots"),
                                  QStringLiteral("settingsButton"), header);
    connect(settings, &QToolButton::clicked, this, [this] { setShowingSettings(true); });
    auto* close =
        headerButton(QStringLiteral("xmark.circle.fill"),
                     tr("Close (%1)").arg(TriageKeyTable::entry(Action::closeWindow).keyName),
                     QStringLiteral("closeButton"), header);
    connect(close, &QToolButton::clicked, this, [this] {
        if (m_onDismissHUD)
            m_onDismissHUD();
    });
    headerLayout->addWidget(help);
    headerLayout->addWidget(settings);
    headerLayout->addWidget(close);
    root->addWidget(header);
    root->addWidget(Theme::divider(Qt::Horizontal, this));
    m_problemBanner = Theme::label({}, 12, QFont::Medium, Theme::red(), this);
    m_problemBanner->setObjectName(QStringLiteral("problemBanner"));
    m_problemBanner->setWordWrap(true);
    m_problemBanner->setContentsMargins(16, 8, 16, 8);
    m_problemBanner->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problemBanner->hide();
    root->addWidget(m_problemBanner);

    m_pages = new QStackedWidget(this);
    root->addWidget(m_pages, 1);
    m_progress = new ActionProgressView([this] { cancelRunningAction(); }, this);
    m_progress->hide();
    root->addWidget(m_progress);

    // Item body: preview on the left, palette or rename panel on the right.
    m_body = new QWidget(m_pages);
    auto* bodyLayout = new QHBoxLayout(m_body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);
    m_previewPane = new TriagePreviewPane(m_services.revealer, m_body);
    connect(m_previewPane, &TriagePreviewPane::largePreviewRequested, this,
            &TriageContainerView::allowLargePreviewNow);
    bodyLayout->addWidget(m_previewPane, 1);
    bodyLayout->addWidget(Theme::divider(Qt::Vertical, m_body));

    m_rightColumn = new QStackedWidget(m_body);
    ActionPaletteView::Callbacks callbacks;
    callbacks.onSelectSlot = [this](const DestinationSlot& slot) {
        if (slot.isAvailable())
            routeToSlot(slot, InputMethod::mouse);
        else
            offerToCreateSlotFolder(slot, InputMethod::mouse);
    };
    callbacks.onBrowseCustom = [this] { moveToCustomFolder(InputMethod::mouse); };
    callbacks.onTrash = [this] { trashCurrent(InputMethod::mouse); };
    callbacks.onSkip = [this] { skipCurrentItem(InputMethod::mouse); };
    callbacks.onStartRename = [this] { startRename(); };
    callbacks.onToggleFullscreenPreview = [this] { openInDefaultApp(); };
    callbacks.onUndo = [this] { undoLastAction(); };
    callbacks.onRevealInFinder = [this] { revealInFinder(); };
    callbacks.onAcceptSuggestion = [this] { acceptSuggestion(); };
    callbacks.onFileLikeLast = [this] { fileLikeLast(InputMethod::mouse); };
    callbacks.onOriginHostFound = [this](const QUuid& itemId, const QString& host) {
        // Recorded with the item's action, and a clue for the suggestion and the grouping.
        m_actions->noteOriginHost(itemId, host);
        m_lookAlikes->noteOriginHost(itemId, host);
        scheduleRefresh();
    };
    m_palette = new ActionPaletteView(callbacks, m_rightColumn);
    m_downloadsFolder = m_services.downloadsDirectory.isEmpty() ? StoragePaths::downloadsDirectory()
                                                                : m_services.downloadsDirectory;
    m_palette->setDownloadsFolder(m_downloadsFolder);
    m_rightColumn->addWidget(m_palette);

    m_renamePanel = new QWidget(m_rightColumn);
    m_renamePanel->setObjectName(QStringLiteral("renamePanel"));
    m_renamePanel->setMinimumWidth(ActionPaletteView::minimumColumnWidth);
    m_renamePanel->setMaximumWidth(ActionPaletteView::maximumColumnWidth);
    m_renameLayout = new QVBoxLayout(m_renamePanel);
    m_renameLayout->setContentsMargins(16, 16, 16, 16);
    m_renameLayout->setSpacing(10);
    m_renameLayout->addWidget(Theme::label(tr("RENAME FILE"), 11, QFont::Bold,
                                           Theme::secondary(palette()), m_renamePanel));
    // The rename field goes here (index 1) while a rename is open.
    m_renameLayout->addWidget(Theme::label(tr("Press Return to confirm, Escape to cancel"), 11,
                                           QFont::Normal, Theme::secondary(palette()),
                                           m_renamePanel));
    m_renameLayout->addStretch(1);
    m_rightColumn->addWidget(m_renamePanel);
    // 320 to 400 wide: at the smallest window the preview keeps its 420 and the column
    // takes what is left instead of running off the window's edge.
    m_rightColumn->setMinimumWidth(ActionPaletteView::minimumColumnWidth);
    m_rightColumn->setMaximumWidth(ActionPaletteView::maximumColumnWidth);
    // Equal shares: the column reaches its widest beside a preview of about the same width.
    bodyLayout->addWidget(m_rightColumn, 1);
    m_pages->addWidget(m_body);

    // Empty state.
    m_emptyState = new QWidget(m_pages);
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    auto* emptyLayout = new QVBoxLayout(m_emptyState);
    emptyLayout->setContentsMargins(32, 32, 32, 32);
    emptyLayout->setSpacing(16);
    emptyLayout->addStretch(1);
    m_emptyIcon = new QLabel(m_emptyState);
    m_emptyIcon->setObjectName(QStringLiteral("inboxZeroIcon"));
    m_emptyIcon->setAlignment(Qt::AlignCenter);
    m_emptyIcon->setFixedHeight(56);
    emptyLayout->addWidget(m_emptyIcon);
    m_emptyTitle = Theme::label({}, 18, QFont::Bold, Theme::primary(palette()), m_emptyState);
    m_emptyTitle->setObjectName(QStringLiteral("emptyTitle"));
    m_emptyTitle->setAlignment(Qt::AlignCenter);
    emptyLayout->addWidget(m_emptyTitle);
    m_watchedFolder = StoragePaths::tildePath(m_downloadsFolder);
    m_emptyMessage =
        Theme::label(tr("All completed downloads have been organized. Stowbird is actively "
                        "monitoring %1 for new files.")
                         .arg(m_watchedFolder),
                     13, QFont::Normal, Theme::secondary(palette()), m_emptyState);
    m_emptyMessage->setObjectName(QStringLiteral("emptyMessage"));
    m_emptyMessage->setAlignment(Qt::AlignCenter);
    m_emptyMessage->setWordWrap(true);
    m_emptyMessage->setFixedWidth(420);
    m_emptyMessage->setMinimumHeight(m_emptyMessage->heightForWidth(420));
    emptyLayout->addWidget(m_emptyMessage, 0, Qt::AlignHCenter);
    auto* skipped = new QPushButton(m_emptyState);
    skipped->setObjectName(QStringLiteral("reviewSkippedButton"));
    skipped->setFocusPolicy(Qt::NoFocus);
    // Reachable by keyboard: Return on the empty state presses it (the window's key map
    // reads every key, so the button itself never needs the focus).
    const QString returnKey = TriageKeyTable::entry(Action::reviewSkipped).keyName;
    skipped->setToolTip(tr("Bring the skipped files back into the queue (%1)").arg(returnKey));
    skipped->setAccessibleDescription(
        tr("Brings the skipped files back into the queue (%1)").arg(returnKey));
    skipped->setDefault(true);
    connect(skipped, &QPushButton::clicked, this, &TriageContainerView::reviewSkippedFiles);
    m_skippedButton = skipped;
    emptyLayout->addSpacing(8);
    emptyLayout->addWidget(skipped, 0, Qt::AlignHCenter);
    emptyLayout->addStretch(1);
    m_pages->addWidget(m_emptyState);
}

void TriageContainerView::scheduleRefresh()
{
    if (m_refreshTimer->isActive())
        return;
    // At most one refresh per frame: the first change after a quiet spell is drawn in the
    // next turn of the event loop, the rest of a burst once a frame.
    constexpr qint64 frameNs = 16'000'000;
    const qint64 sinceLast = monotonicNs() - m_lastRefreshNs;
    m_refreshTimer->start(sinceLast >= frameNs ? 0 : int((frameNs - sinceLast) / 1'000'000) + 1);
}

void TriageContainerView::refresh()
{
    // A refresh made now covers any that was waiting.
    m_refreshTimer->stop();
    m_lastRefreshNs = monotonicNs();
    ++m_refreshes;
    refreshHeader();
    refreshBody();
    refreshProgress();
    refreshOverlays();
    announceStatus();
}

void TriageContainerView::announceStatus()
{
    const std::optional<StatusLine> line = m_actions->status();
    if (line == m_announced)
        return;
    const std::optional<StatusLine> previous = m_announced;
    m_announced = line;
    if (!line)
        return;
    // Progress is spoken when it starts, not with every byte count that follows.
    if (line->kind == StatusLine::Kind::Progress && previous &&
        previous->kind == StatusLine::Kind::Progress)
        return;
    m_announcer->announce(line->text, line->kind == StatusLine::Kind::Error
                                          ? StatusAnnouncer::Urgency::Assertive
                                          : StatusAnnouncer::Urgency::Polite);
}

void TriageContainerView::returnFocusToItem()
{
    auto* card = findChild<QWidget*>(QStringLiteral("itemCard"));
    if (card && card->isVisible())
        card->setFocus(Qt::OtherFocusReason);
    else if (m_skippedButton && m_skippedButton->isVisible())
        m_skippedButton->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void TriageContainerView::refreshProgress()
{
    const std::optional<TriageActionController::RunningAction> running = m_actions->runningAction();
    if (running)
        m_progress->setAction(*running);
    m_progress->setVisible(running.has_value());
}

void TriageContainerView::refreshOverlays()
{
    if (m_showingCheatSheet && !m_cheatSheet) {
        m_cheatSheet = new CheatSheetOverlay(
            *m_services.globalShortcut, [this] { setShowingCheatSheet(false); }, this);
        m_cheatSheet->showAnimated();
    } else if (!m_showingCheatSheet && m_cheatSheet) {
        // Closed from inside one of its own click handlers: delete it later.
        m_cheatSheet->hide();
        m_cheatSheet->deleteLater();
        m_cheatSheet = nullptr;
        returnFocusToItem();
    }

    if (m_showingSettings && !m_settingsSheet) {
        // A new sheet each time: its working copies live exactly as long as it is open.
        m_settingsSheet = new SettingsSheet(
            *m_services.config, *m_services.launchAtLogin, *m_services.updates,
            *m_services.telemetry, *m_services.globalShortcut,
            [this] { setShowingSettings(false); }, this);
        m_settingsSheet->view()->setHistory(m_services.history);
        m_settingsSheet->view()->setDownloadsFolder(m_downloadsFolder);
        m_settingsSheet->setGeometry(rect());
        m_settingsSheet->show();
        m_settingsSheet->raise();
    } else if (!m_showingSettings && m_settingsSheet) {
        m_settingsSheet->hide();
        m_settingsSheet->deleteLater();
        m_settingsSheet = nullptr;
        returnFocusToItem();
    }

    if (m_showingHistory && !m_historySheet) {
        // A new sheet each time: it reads the history afresh.
        m_historySheet = new HistorySheet(
            m_services.history, m_services.revealer, m_services.logger,
            m_services.downloadsDirectory.isEmpty() ? StoragePaths::downloadsDirectory()
                                                    : m_services.downloadsDirectory,
            [this] { setShowingHistory(false); }, this);
        m_historySheet->view()->setLatinKeyReader(
            [this](const QKeyEvent* event) { return tableCharacter(event); });
        m_historySheet->show();
        m_historySheet->raise();
    } else if (!m_showingHistory && m_historySheet) {
        // Closed from inside its own key handler: delete it later.
        m_historySheet->hide();
        m_historySheet->deleteLater();
        m_historySheet = nullptr;
        returnFocusToItem();
    }
}

void TriageContainerView::refreshHeader()
{
    const TriageQueueManager& queue = *m_services.queue;
    const bool waiting = !queue.items().isEmpty() || !queue.pendingBacklog().isEmpty();
    if (m_shownTrayState != int(waiting)) {
        m_shownTrayState = int(waiting);
        m_trayIcon->setPixmap(
            SymbolIcons::icon(waiting ? QStringLiteral("tray.full") : QStringLiteral("tray"))
                .pixmap(16, 16));
    }
    const bool looking = !waiting && m_services.rescanner && m_services.rescanner->isRunning();
    // Inbox Zero only once the last item's action has ended: until then it may still fail
    // and come back.
    const bool finishing = !waiting && m_actions->hasActionsInFlight();
    m_countLabel->setText(looking     ? tr("Looking…")
                          : finishing ? tr("Finishing…")
                                      : countText(queue.totalQueueDepth()));
    m_spinner->setVisible(m_actions->isBusy());
}

void TriageContainerView::refreshBody()
{
    const TriageQueueManager& queue = *m_services.queue;
    const std::optional<TriageItem> head = queue.activeItem();
    if (!head) {
        m_pages->setCurrentWidget(m_emptyState);
        // Until the first listing is in, an empty queue says nothing about the folder; while
        // the last item's action runs, it may still fail and bring the item back.
        enum EmptyState { InboxZero, Looking, Finishing };
        const bool looking = m_services.rescanner && m_services.rescanner->isRunning();
        const EmptyState state = looking                           ? Looking
                                 : m_actions->hasActionsInFlight() ? Finishing
                                                                   : InboxZero;
        if (m_shownEmptyState != int(state)) {
            m_shownEmptyState = int(state);
            m_emptyIcon->setPixmap(SymbolIcons::pixmap(
                state == InboxZero ? QStringLiteral("checkmark.circle") : QStringLiteral("tray"),
                56, state == InboxZero ? Theme::green() : Theme::secondary(palette()),
                devicePixelRatioF()));
            m_emptyTitle->setText(state == Looking     ? tr("Looking through Downloads…")
                                  : state == Finishing ? tr("Finishing…")
                                                       : tr("Downloads Inbox Zero"));
        }
        // A long action says how far it got (the status line is not shown on this page).
        const std::optional<StatusLine> status = m_actions->status();
        // The other inboxes are counted rather than named: the message stays short.
        const int others = int(
            InboxFolders::resolve(m_services.config->config().additionalInboxes, m_downloadsFolder)
                .size());
        const QString watched =
            others == 0   ? m_watchedFolder
            : others == 1 ? tr("%1 and one other folder").arg(m_watchedFolder)
                          : tr("%1 and %n other folders", nullptr, others).arg(m_watchedFolder);
        m_emptyMessage->setText(
            state == Looking ? tr("Stowbird is listing %1; the first file shows here "
                                  "as soon as it is found.")
                                   .arg(watched)
            : state == Finishing ? (status ? status->text
                                           : tr("Stowbird is finishing the last file action; the "
                                                "item comes back here if it fails."))
                                 : tr("All completed downloads have been organized. Stowbird is "
                                      "actively monitoring %1 for new files.")
                                       .arg(watched));
        const qsizetype skipped = queue.skippedPaths().size();
        auto* button = static_cast<QPushButton*>(m_skippedButton);
        button->setVisible(skipped > 0 && !looking);
        button->setText(tr("Review %n Skipped Files", nullptr, int(skipped)));
        m_previewPane->clear();
        return;
    }
    m_pages->setCurrentWidget(m_body);

    // The preview may be on another of the head's look-alikes (the arrows); a new head
    // starts at itself.
    const QList<TriageItem> group = currentGroup();
    if (m_groupFor != head->id) {
        m_groupFor = head->id;
        m_groupShown = 0;
    }
    if (m_groupShown >= group.size())
        m_groupShown = 0;
    m_previewPane->showItem(m_groupShown > 0 ? group.at(m_groupShown) : *head, m_allowLargePreview);

    if (m_isRenaming) {
        if (!m_renameView) {
            m_renameView = new InlineRenameView(
                m_renameText, [this](const QString& text) { m_renameText = text; },
                [this](const QString& text) { commitRename(text); }, [this] { cancelRename(); },
                m_renamePanel);
            m_renameLayout->insertWidget(1, m_renameView);
        } else {
            m_renameView->setText(m_renameText);
        }
        m_rightColumn->setCurrentWidget(m_renamePanel);
        m_renameView->show();
    } else {
        if (m_renameView) {
            m_renameView->hide();
            m_renameView->deleteLater();
            m_renameView = nullptr;
        }
        m_rightColumn->setCurrentWidget(m_palette);
        m_palette->setItem(*head);
        m_palette->setWaitingCount(m_services.queue->totalQueueDepth());
        m_palette->setSlots(m_services.config->config().destinationSlots);
        const std::optional<SuggestionService::Suggestion> suggestion = currentSuggestion();
        if (suggestion && m_loggedSuggestionFor != head->id) {
            m_loggedSuggestionFor = head->id;
            logDebug(suggestion->slot ? QStringLiteral("Suggesting slot %1 for item (.%2)")
                                            .arg(suggestion->slot->slot)
                                            .arg(extensionToken(*head))
                                      : QStringLiteral("Suggesting a folder chosen before for "
                                                       "item (.%1)")
                                            .arg(extensionToken(*head)));
        }
        m_palette->setSuggestion(suggestion);
        QStringList names;
        m_shownGroup.clear();
        for (const TriageItem& member : group) {
            names << member.filename;
            m_shownGroup << member.id;
        }
        m_palette->setGroup(names, m_groupShown);
        checkForDuplicate(*head, suggestion);
        m_palette->setDuplicateNote(duplicateText(*head));
        const std::optional<TriageActionController::LastDestination> last =
            m_actions->lastDestination();
        m_palette->setLastDestination(last ? last->name : QString());
        std::optional<StatusLine> status = m_actions->status();
        // The progress strip shows what still runs.
        if (status && status->kind == StatusLine::Kind::Progress && m_actions->runningAction())
            status.reset();
        m_palette->setStatus(status);
        m_palette->refresh();
    }
}
