#pragma once

#include "models/DestinationSlot.h"
#include "models/TriageItem.h"
#include "platform/DesktopNotifier.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <optional>

class ConfigurationService;
class LoggerService;
class QTimer;
class SuggestionService;
class TriageActionController;
class TriageQueueManager;

// Tells of new downloads in a desktop notification while the window is hidden, as the
// settings ask (never, only while no tray shows the icon, always), and acts on its buttons.
//
// Arrivals are gathered for a short delay and shown in one notification; later ones update
// that notification in place for as long as it is open, so a burst is one notification that
// counts ("12 new downloads"), never one per file. A notification for one download has the
// buttons "File to <folder>" (where the history suggests it goes, else slot 1), "Trash" and
// "Open Stowbird"; they act through the triage actions on that very item wherever it waits
// in the queue, and a failure is told in a notification of its own. A notification for
// several has "Open Stowbird" only: one button cannot say which of them it would act on. A
// server without buttons gets the same notification without them.
class NewDownloadNotifier : public QObject
{
    Q_OBJECT
public:
    struct Dependencies
    {
        DesktopNotifier* notifier = nullptr;
        TriageQueueManager* queue = nullptr;
        TriageActionController* actions = nullptr;
        ConfigurationService* config = nullptr;
        LoggerService* logger = nullptr;
        // None: the button files into slot 1.
        SuggestionService* suggestions = nullptr;
        // Whether the window is on screen, and whether a tray shows the icon now.
        std::function<bool()> windowShown;
        std::function<bool()> trayShown;
    };

    // How long arrivals are gathered before the notification goes out.
    static constexpr int defaultGatherMs = 1500;
    // How many names the body of a notification for several lists.
    static constexpr int namesListed = 3;

    explicit NewDownloadNotifier(Dependencies dependencies, QObject* parent = nullptr);

    void setGatherDelay(int ms);

    // A download the watcher found finished at url (called on this thread). It is told once
    // the queue has taken it in: one that is skipped or gone by then is not.
    void noteArrival(const QUrl& url);
    // The window opened: the notification is out of date and goes away.
    void windowOpened();
    // Whether a new download would raise a notification now.
    bool wouldNotify() const;
    // The id of the notification shown now (0: none).
    uint shownId() const { return m_shownId; }

signals:
    // "Open Stowbird" was pressed (or the notification clicked).
    void openRequested();

private:
    // Where "File to" sends the item.
    struct FileTarget
    {
        std::optional<DestinationSlot> slot;
        QString folder; // a folder chosen by hand before, when no slot has it
        QString name;
    };
    // What a notification stands for: the one item its buttons act on (none for several).
    struct Shown
    {
        std::optional<TriageItem> item;
        std::optional<FileTarget> target;
    };
    struct Arrival
    {
        QString path;
        int rounds = 0; // gathering rounds it was not in the queue yet
    };

    void gather();
    void send();
    // The server's answer to send(): what the notification shows, of the generation it
    // was sent in.
    void sent(uint id, const QString& error, const Shown& shown, int count, quint64 generation);
    void reset();
    DesktopNotifier::Notification compose(Shown& shown) const;
    std::optional<FileTarget> fileTargetFor(const TriageItem& item) const;
    void onAction(uint id, const QString& key);
    void onClosed(uint id);
    void act(const TriageItem& item, const std::optional<FileTarget>& target, bool trash);
    void onActionEnded(const QUuid& itemId, bool succeeded, const QString& text);
    void tellFailure(const QString& summary, const QString& why);
    void logFailure(const QString& what, const QString& error);

    Dependencies m_deps;
    QTimer* m_gatherTimer = nullptr;
    QList<Arrival> m_arrivals;
    // The downloads the notification counts now: how many, the items among them (by id, and
    // the first one whole), and the first names in arrival order.
    int m_count = 0;
    QSet<QUuid> m_counted;
    QSet<QString> m_countedPaths; // those still in the backlog
    std::optional<TriageItem> m_first;
    QStringList m_names; // namesListed at most
    uint m_shownId = 0;
    Shown m_shown;
    // Counts the resets: a notification sent before the last one is out of date.
    quint64 m_generation = 0;
    bool m_sending = false;
    bool m_sendAgain = false;
    // Notifications of failed actions (their "Open Stowbird" works too).
    QSet<uint> m_failureIds;
    // Actions started from a notification, by item: the summary of their failure.
    QHash<QUuid, QString> m_acting;
    bool m_failureLogged = false;
};
