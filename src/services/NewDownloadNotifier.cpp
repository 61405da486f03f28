#include "services/NewDownloadNotifier.h"

#include "models/AppConfig.h"
#include "services/ConfigurationService.h"
#include "services/LoggerService.h"
#include "services/SuggestionService.h"
#include "services/TriageActionController.h"
#include "services/TriageQueueManager.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

const QString fileKey = QStringLiteral("file");
const QString trashKey = QStringLiteral("trash");
const QString openKey = QStringLiteral("open");
// The click on the notification itself. Not offered: some servers (xfce4-notifyd) draw it as
// a button of its own, which would be a second "Open Stowbird"; GNOME opens the program of
// the desktop entry on a click without it, which opens the window of the running one.
const QString defaultKey = QStringLiteral("default");

// An arrival not in the queue after this many rounds (held back by a listing, then skipped
// or gone) is let go.
constexpr int roundsToWait = 3;

} // namespace

NewDownloadNotifier::NewDownloadNotifier(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_deps(std::move(dependencies))
{
    m_gatherTimer = new QTimer(this);
    m_gatherTimer->setSingleShot(true);
    m_gatherTimer->setInterval(defaultGatherMs);
    connect(m_gatherTimer, &QTimer::timeout, this, &NewDownloadNotifier::gather);
    connect(m_deps.notifier, &DesktopNotifier::actionInvoked, this, &NewDownloadNotifier::onAction);
    connect(m_deps.notifier, &DesktopNotifier::closed, this,
            [this](uint id, uint) { onClosed(id); });
    connect(m_deps.actions, &TriageActionController::itemActionEnded, this,
            &NewDownloadNotifier::onActionEnded);
}

void NewDownloadNotifier::setGatherDelay(int ms)
{
    m_gatherTimer->setInterval(ms);
}

bool NewDownloadNotifier::wouldNotify() const
{
    switch (m_deps.config->config().general.notifyNewDownloads) {
    case AppConfig::NewDownloadNotice::Never:
        return false;
    case AppConfig::NewDownloadNotice::WithoutTray:
        if (m_deps.trayShown && m_deps.trayShown())
            return false;
        break;
    case AppConfig::NewDownloadNotice::Always:
        break;
    }
    return !(m_deps.windowShown && m_deps.windowShown());
}

void NewDownloadNotifier::noteArrival(const QUrl& url)
{
    if (!wouldNotify())
        return;
    m_arrivals.append({TriageItem::standardizedPath(url), 0});
    // Not restarted by later arrivals: a steady stream still shows within the delay.
    if (!m_gatherTimer->isActive())
        m_gatherTimer->start();
}

void NewDownloadNotifier::windowOpened()
{
    m_gatherTimer->stop();
    m_arrivals.clear();
    if (m_shownId != 0)
        m_deps.notifier->close(m_shownId);
    reset();
}

void NewDownloadNotifier::reset()
{
    ++m_generation;
    m_shownId = 0;
    m_shown = {};
    m_counted.clear();
    m_countedPaths.clear();
    m_first.reset();
    m_names.clear();
    m_count = 0;
}

void NewDownloadNotifier::gather()
{
    // The window may have opened, or a tray appeared, since they came.
    if (!wouldNotify()) {
        m_arrivals.clear();
        return;
    }
    const int before = m_count;
    // A burst brings thousands: the working list (fifty at most) is looked up by path.
    QHash<QString, const TriageItem*> waiting;
    for (const TriageItem& item : m_deps.queue->items())
        waiting.insert(TriageItem::standardizedPath(item.url), &item);
    const auto count = [this](const QString& name) {
        if (++m_count <= namesListed)
            m_names.append(name);
    };
    QList<Arrival> notYet;
    for (Arrival& arrival : m_arrivals) {
        if (const TriageItem* item = waiting.value(arrival.path)) {
            if (m_counted.contains(item->id))
                continue;
            m_counted.insert(item->id);
            if (!m_first)
                m_first = *item;
            count(item->filename);
        } else if (m_deps.queue->pendingBacklog().contains(arrival.path)) {
            // Behind fifty others: counted, but no button acts on it.
            if (m_countedPaths.contains(arrival.path))
                continue;
            m_countedPaths.insert(arrival.path);
            count(QFileInfo(arrival.path).fileName());
        } else if (++arrival.rounds < roundsToWait) {
            notYet.append(arrival);
        }
    }
    const bool added = m_count > before;
    m_arrivals = notYet;
    if (!m_arrivals.isEmpty())
        m_gatherTimer->start();
    if (added)
        send();
}

std::optional<NewDownloadNotifier::FileTarget>
NewDownloadNotifier::fileTargetFor(const TriageItem& item) const
{
    const AppConfig& config = m_deps.config->config();
    if (m_deps.suggestions && config.general.suggestDestinations) {
        if (const auto suggestion = m_deps.suggestions->suggest(item, config.destinationSlots)) {
            if (suggestion->slot)
                return FileTarget{suggestion->slot, QString(), suggestion->slot->name};
            return FileTarget{std::nullopt, suggestion->folder, QDir(suggestion->folder).dirName()};
        }
    }
    const QList<DestinationSlot>& configured = config.destinationSlots;
    auto first = std::find_if(configured.cbegin(), configured.cend(),
                              [](const DestinationSlot& slot) { return slot.slot == 1; });
    if (first == configured.cend())
        first = configured.cbegin();
    if (first == configured.cend() || first->path.trimmed().isEmpty())
        return std::nullopt;
    return FileTarget{*first, QString(), first->name};
}

DesktopNotifier::Notification NewDownloadNotifier::compose(Shown& shown) const
{
    DesktopNotifier::Notification notification;
    notification.category = QStringLiteral("transfer.complete");
    notification.replacesId = m_shownId;
    const int count = m_count;
    const QString open = tr("Open Stowbird");
    if (count == 1) {
        notification.summary = tr("New download");
        notification.body = m_names.first();
    } else {
        notification.summary = tr("%n new downloads", nullptr, count);
        QStringList lines = m_names;
        if (count > namesListed)
            lines.append(tr("and %n more", nullptr, count - namesListed));
        notification.body = lines.join(QLatin1Char('\n'));
    }
    // Buttons for one item waiting in the working list (not for one behind fifty others).
    if (count == 1 && m_first) {
        shown.item = m_first;
        shown.target = fileTargetFor(*m_first);
        if (shown.target)
            notification.actions.append({fileKey, tr("File to %1").arg(shown.target->name)});
        notification.actions.append({trashKey, tr("Trash")});
    }
    notification.actions.append({openKey, open});
    return notification;
}

void NewDownloadNotifier::send()
{
    // One notification at a time: its id is needed to replace it.
    if (m_sending) {
        m_sendAgain = true;
        return;
    }
    m_sending = true;
    Shown shown;
    const DesktopNotifier::Notification notification = compose(shown);
    const int count = m_count;
    m_deps.logger->info(QStringLiteral("Notifying %1 new download(s)%2.")
                            .arg(count)
                            .arg(shown.item ? QStringLiteral(", with buttons") : QString()));
    QPointer<NewDownloadNotifier> self(this);
    const quint64 generation = m_generation;
    m_deps.notifier->send(notification,
                          [self, shown, count, generation](uint id, const QString& error) {
                              if (self)
                                  self->sent(id, error, shown, count, generation);
                          });
}

void NewDownloadNotifier::sent(uint id, const QString& error, const Shown& shown, int count,
                               quint64 generation)
{
    m_sending = false;
    if (generation != m_generation) {
        // Dropped while it was on its way (the window opened, the notification it replaced
        // was closed): out of date.
        if (id != 0)
            m_deps.notifier->close(id);
    } else if (id == 0) {
        logFailure(QStringLiteral("the notification of %1 new download(s)").arg(count), error);
        // Told nowhere: the next arrival starts a count of its own.
        reset();
    } else {
        m_failureLogged = false;
        m_shownId = id;
        m_shown = shown;
    }
    if (std::exchange(m_sendAgain, false) && m_count > 0)
        send();
}

void NewDownloadNotifier::onAction(uint id, const QString& key)
{
    const bool open = key == openKey || key == defaultKey;
    if (id != 0 && m_failureIds.remove(id)) {
        if (open)
            emit openRequested();
        return;
    }
    if (id == 0 || id != m_shownId)
        return;
    const Shown shown = m_shown;
    m_deps.logger->info(QStringLiteral("Notification button \"%1\" pressed.").arg(key));
    // The server takes the notification away after a button; what comes next starts anew.
    m_deps.notifier->close(id);
    reset();
    if (open) {
        emit openRequested();
        return;
    }
    if (!shown.item)
        return;
    if (key == trashKey)
        act(*shown.item, std::nullopt, true);
    else if (key == fileKey && shown.target)
        act(*shown.item, shown.target, false);
}

void NewDownloadNotifier::act(const TriageItem& item, const std::optional<FileTarget>& target,
                              bool trash)
{
    const QString failed = trash ? tr("%1 was not moved to the Trash").arg(item.filename)
                                 : tr("%1 was not filed").arg(item.filename);
    const QList<TriageItem>& items = m_deps.queue->items();
    const bool waiting = std::any_of(items.cbegin(), items.cend(),
                                     [&](const TriageItem& i) { return i.id == item.id; });
    if (!waiting) {
        tellFailure(failed, tr("It is no longer waiting in Stowbird."));
        return;
    }
    m_acting.insert(item.id, failed);
    bool started = false;
    if (trash)
        started = m_deps.actions->trashItem(item, InputMethod::mouse);
    else if (target->slot)
        started = m_deps.actions->routeItemToSlot(item, *target->slot, InputMethod::mouse);
    else
        started = m_deps.actions->moveToFolder(target->folder, InputMethod::mouse, item);
    if (!started) {
        m_acting.remove(item.id);
        tellFailure(failed, m_deps.actions->statusMessage().value_or(QString()));
    }
}

void NewDownloadNotifier::onActionEnded(const QUuid& itemId, bool succeeded, const QString& text)
{
    const auto it = m_acting.constFind(itemId);
    if (it == m_acting.cend())
        return;
    const QString failed = *it;
    m_acting.erase(it);
    if (!succeeded)
        tellFailure(failed, text);
}

void NewDownloadNotifier::tellFailure(const QString& summary, const QString& why)
{
    // The window is hidden: its status line would go unseen. (The log gets no file names.)
    m_deps.logger->error(QStringLiteral("An action asked for from a notification was not done."));
    DesktopNotifier::Notification notification;
    notification.summary = summary;
    notification.body = why;
    notification.actions.append({openKey, tr("Open Stowbird")});
    QPointer<NewDownloadNotifier> self(this);
    m_deps.notifier->send(notification, [self](uint id, const QString& error) {
        if (!self)
            return;
        if (id == 0)
            self->logFailure(QStringLiteral("the notification of a failed action"), error);
        else
            self->m_failureIds.insert(id);
    });
}

void NewDownloadNotifier::onClosed(uint id)
{
    m_failureIds.remove(id);
    if (id != 0 && id == m_shownId)
        reset();
}

void NewDownloadNotifier::logFailure(const QString& what, const QString& error)
{
    // Said once until a notification gets through again: without a server every burst fails
    // the same way.
    if (std::exchange(m_failureLogged, true))
        return;
    m_deps.logger->error(QStringLiteral("Could not show %1: %2").arg(what, error));
}
