#include "views/TriageContainerView.h"

#include "models/InboxFolders.h"
#include "platform/ItemRevealer.h"
#include "platform/StoragePaths.h"
#include "platform/XkbLatinKeyResolver.h"
#include "services/BlockingProblems.h"
#include "services/ConfigurationService.h"
#include "services/DuplicateFinder.h"
#include "services/FileExecutionEngine.h"
#include "services/HistoryStore.h"
#include "services/LoggerService.h"
#include "services/LookAlikeService.h"
#include "services/QueueRescanner.h"
#include "services/TelemetryService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"
#include "views/ActionProgressView.h"
#include "views/FolderDialog.h"
#include "views/ProblemBanner.h"
#include "views/StatusAnnouncer.h"
#include "views/Theme.h"
#include "views/TriageEmptyPage.h"
#include "views/TriageHeadCommands.h"
#include "views/TriageHeaderBar.h"
#include "views/TriageItemPage.h"
#include "views/TriageKeyboard.h"
#include "views/TriageRenamePanel.h"
#include "views/TriageSheets.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A clock for spacing refreshes; only differences of its readings mean anything. Refreshes
// follow the screen's frames, so it is the system's time, never the injected clock.
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
    makeCollaborators();
    connectCollaborators();
    buildUi();
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &TriageContainerView::refresh);
    connectServices();
    connect(this, &TriageContainerView::stateChanged, this, &TriageContainerView::refresh);
    refresh();
}

void TriageContainerView::makeCollaborators()
{
    m_actions = m_services.actions;
    if (!m_actions) {
        TriageActionController::Dependencies dependencies;
        dependencies.queue = m_services.queue;
        dependencies.engine = m_services.engine;
        dependencies.telemetry = m_services.telemetry;
        dependencies.logger = m_services.logger;
        dependencies.history = m_services.history;
        dependencies.clock = m_services.clock;
        m_actions = new TriageActionController(dependencies, this);
    }
    m_suggestions = m_services.suggestions;
    if (!m_suggestions && m_services.history) {
        m_suggestions = new SuggestionService(m_services.history, this);
        m_suggestions->load();
    }
    m_lookAlikes = m_services.lookAlikes;
    if (!m_lookAlikes)
        m_lookAlikes = new LookAlikeService(m_services.queue, this);
    const QString historyPath = m_services.history ? m_services.history->databasePath() : QString();
    m_duplicates = m_services.duplicates
                       ? m_services.duplicates
                       : new DuplicateFinder(historyPath, *m_services.logger, this);
    TriageKeyboard::Context keys;
    keys.queue = m_services.queue;
    keys.config = m_services.config;
    keys.logger = m_services.logger;
    keys.keyResolver = m_services.keyResolver;
    if (!keys.keyResolver)
        keys.keyResolver = XkbLatinKeyResolver::forSession();
    keys.onDismiss = [this] {
        if (m_onDismissHUD)
            m_onDismissHUD();
    };
    m_keyboard = new TriageKeyboard(*this, std::move(keys));
    m_commands = new TriageHeadCommands(*this, m_services);
}

void TriageContainerView::connectCollaborators()
{
    if (m_suggestions)
        connect(m_suggestions, &SuggestionService::changed, this,
                &TriageContainerView::scheduleRefresh);
    if (m_services.history)
        connect(m_services.history, &HistoryStore::forgetFinished, this,
                [this](bool ok, const QString& message) {
                    m_actions->showStatus(message,
                                          ok ? StatusLine::Kind::Info : StatusLine::Kind::Error);
                });
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
}

void TriageContainerView::connectServices()
{
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
}

TriageContainerView::~TriageContainerView()
{
    m_keyboard->remove();
    if (m_sessionStarted && m_services.telemetry)
        m_services.telemetry->endSession(m_services.queue->totalQueueDepth());
}

// --- showing and the keyboard ----------------------------------------------------------------

void TriageContainerView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_keyboard->install();
    if (!m_sessionStarted) {
        m_sessionStarted = true;
        if (m_services.telemetry)
            m_services.telemetry->startSession(m_services.queue->totalQueueDepth());
    }
}

bool TriageContainerView::handleKeyEvent(QKeyEvent* event)
{
    return m_keyboard->handleKeyEvent(event);
}

// --- logging and operations -----------------------------------------------------------------

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
    m_commands->moveToCustomFolder(input, m_folderChooser);
}

bool TriageContainerView::showingCreateFolderOffer() const
{
    return m_sheets->offeringToCreateFolder();
}

QString TriageContainerView::customFolderStart()
{
    return TriageHeadCommands::customFolderStart();
}

void TriageContainerView::offerToCreateSlotFolder(const DestinationSlot& slot, InputMethod input)
{
    m_sheets->offerToCreateSlotFolder(slot, input);
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
    return m_itemPage->currentGroup();
}

int TriageContainerView::shownGroupMember() const
{
    return m_itemPage->shownGroupMember();
}

void TriageContainerView::routeGroupToSlot(const DestinationSlot& slot, InputMethod input)
{
    m_commands->routeGroupToSlot(slot, input);
}

void TriageContainerView::trashGroup(InputMethod input)
{
    m_commands->trashGroup(input);
}

void TriageContainerView::fileLikeLast(InputMethod input)
{
    m_actions->fileLikeLast(input);
}

bool TriageContainerView::stepGroup(bool forward)
{
    if (!m_itemPage->stepGroup(forward))
        return false;
    refresh();
    return true;
}

std::optional<SuggestionService::Suggestion> TriageContainerView::currentSuggestion() const
{
    return m_itemPage->currentSuggestion();
}

void TriageContainerView::acceptSuggestion()
{
    m_commands->acceptSuggestion();
}

void TriageContainerView::cancelRunningAction()
{
    m_services.logger->action(QStringLiteral("Cancel the running action"));
    m_actions->cancelRunningAction();
}

void TriageContainerView::revealInFinder()
{
    m_commands->revealInFinder();
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
    m_services.logger->action(showing ? QStringLiteral("History shown")
                                      : QStringLiteral("History closed"));
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
    m_problemBanner->showProblems(m_services.problems->summary());
}

QString TriageContainerView::problemText() const
{
    return m_problemBanner->shownText();
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

    m_header = new TriageHeaderBar(this);
    connect(m_header, &TriageHeaderBar::cheatSheetClicked, this,
            &TriageContainerView::toggleCheatSheet);
    connect(m_header, &TriageHeaderBar::settingsClicked, this,
            [this] { setShowingSettings(true); });
    connect(m_header, &TriageHeaderBar::closeClicked, this, [this] {
        if (m_onDismissHUD)
            m_onDismissHUD();
    });
    root->addWidget(m_header);
    root->addWidget(Theme::divider(Qt::Horizontal, this));
    m_problemBanner = new ProblemBanner(this);
    root->addWidget(m_problemBanner);

    m_pages = new QStackedWidget(this);
    root->addWidget(m_pages, 1);
    m_progress = new ActionProgressView([this] { cancelRunningAction(); }, this);
    m_progress->hide();
    root->addWidget(m_progress);

    m_downloadsFolder = m_services.downloadsDirectory.isEmpty() ? StoragePaths::downloadsDirectory()
                                                                : m_services.downloadsDirectory;
    m_pages->addWidget(buildItemPage());
    m_emptyPage = new TriageEmptyPage(StoragePaths::tildePath(m_downloadsFolder), m_pages);
    connect(m_emptyPage, &TriageEmptyPage::reviewSkippedClicked, this,
            &TriageContainerView::reviewSkippedFiles);
    m_pages->addWidget(m_emptyPage);
    m_sheets = new TriageSheets(*this, m_services, *m_keyboard, m_downloadsFolder);
}

TriageItemPage* TriageContainerView::buildItemPage()
{
    TriageItemPage::Sources sources;
    sources.queue = m_services.queue;
    sources.config = m_services.config;
    sources.actions = m_actions;
    sources.lookAlikes = m_lookAlikes;
    sources.duplicates = m_duplicates;
    sources.suggestions = m_suggestions;
    sources.logger = m_services.logger;
    sources.revealer = m_services.revealer;
    sources.downloadsFolder = m_downloadsFolder;
    ActionPaletteView::Callbacks palette;
    palette.onSelectSlot = [this](const DestinationSlot& slot) {
        if (slot.isAvailable())
            routeToSlot(slot, InputMethod::mouse);
        else
            offerToCreateSlotFolder(slot, InputMethod::mouse);
    };
    palette.onBrowseCustom = [this] { moveToCustomFolder(InputMethod::mouse); };
    palette.onTrash = [this] { trashCurrent(InputMethod::mouse); };
    palette.onSkip = [this] { skipCurrentItem(InputMethod::mouse); };
    palette.onStartRename = [this] { startRename(); };
    palette.onToggleFullscreenPreview = [this] { openInDefaultApp(); };
    palette.onUndo = [this] { undoLastAction(); };
    palette.onRevealInFinder = [this] { revealInFinder(); };
    palette.onAcceptSuggestion = [this] { acceptSuggestion(); };
    palette.onFileLikeLast = [this] { fileLikeLast(InputMethod::mouse); };
    TriageRenamePanel::Callbacks rename;
    rename.onTextChanged = [this](const QString& text) { m_renameText = text; };
    rename.onCommit = [this](const QString& text) { commitRename(text); };
    rename.onCancel = [this] { cancelRename(); };
    m_itemPage =
        new TriageItemPage(std::move(sources), std::move(palette), std::move(rename), m_pages);
    connect(m_itemPage, &TriageItemPage::largePreviewRequested, this,
            &TriageContainerView::allowLargePreviewNow);
    connect(m_itemPage, &TriageItemPage::changed, this, &TriageContainerView::scheduleRefresh);
    connect(m_itemPage, &TriageItemPage::previewShown, this, &TriageContainerView::previewShown);
    return m_itemPage;
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

void TriageContainerView::refreshProgress()
{
    const std::optional<TriageActionController::RunningAction> running = m_actions->runningAction();
    if (running)
        m_progress->setAction(*running);
    m_progress->setVisible(running.has_value());
}

void TriageContainerView::refreshOverlays()
{
    m_sheets->follow(m_showingCheatSheet, m_showingSettings, m_showingHistory);
}

void TriageContainerView::refreshHeader()
{
    const TriageQueueManager& queue = *m_services.queue;
    const bool waiting = !queue.items().isEmpty() || !queue.pendingBacklog().isEmpty();
    m_header->setWaiting(waiting);
    const bool looking = !waiting && m_services.rescanner && m_services.rescanner->isRunning();
    // Inbox Zero only once the last item's action has ended: until then it may still fail
    // and come back.
    const bool finishing = !waiting && m_actions->hasActionsInFlight();
    m_header->setCountText(looking     ? tr("Looking…")
                           : finishing ? tr("Finishing…")
                                       : countText(queue.totalQueueDepth()));
    m_header->setBusy(m_actions->isBusy());
}

void TriageContainerView::refreshBody()
{
    const std::optional<TriageItem> head = m_services.queue->activeItem();
    if (!head) {
        m_pages->setCurrentWidget(m_emptyPage);
        refreshEmptyPage();
        m_itemPage->clearPreview();
        return;
    }
    m_pages->setCurrentWidget(m_itemPage);
    m_itemPage->showHead(*head, m_allowLargePreview,
                         m_isRenaming ? std::optional<QString>(m_renameText) : std::nullopt);
}

void TriageContainerView::refreshEmptyPage()
{
    // Until the first listing is in, an empty queue says nothing about the folder; while
    // the last item's action runs, it may still fail and bring the item back.
    using State = TriageEmptyPage::State;
    const bool looking = m_services.rescanner && m_services.rescanner->isRunning();
    const State state = looking                           ? State::Looking
                        : m_actions->hasActionsInFlight() ? State::Finishing
                                                          : State::InboxZero;
    // A long action says how far it got (the status line is not shown on this page).
    const std::optional<StatusLine> status = m_actions->status();
    const int others =
        int(InboxFolders::resolve(m_services.config->config().additionalInboxes, m_downloadsFolder)
                .size());
    m_emptyPage->showState(state, others,
                           status ? std::optional<QString>(status->text) : std::nullopt,
                           m_services.queue->skippedPaths().size());
}
