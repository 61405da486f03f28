#pragma once

#include "models/HistoryEntry.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

// Learns from the history where items go and predicts the destination of a new one: a slot
// or a folder chosen by hand before. Pure logic, no I/O: the owner feeds it history entries
// (oldest first) and asks on the GUI thread; it is not thread-safe.
//
// An item is described by features: its extension, its content type and the type's family
// ("image"), the words of its name and the shape of the name ("invoice-2024-03" gives the
// word "invoice" and the pattern "word-dddd-dd"), its origin host and that host's domain,
// host and extension together, and its size class. For each feature value the learner keeps
// how often items with it went to each destination, every count fading by a constant factor
// each time that value is seen again, so the latest choices for ".stl" weigh most and a
// changed habit takes over after a few filings. A prediction mixes the features' votes,
// each weighted by how much evidence it has and how decided it is, and is offered only when
// the winner's share passes the threshold: a wrong suggestion costs more than none.
//
// learn() and predict() cost a few hash look-ups per feature; nothing scans the history.
class DestinationPredictor
{
public:
    struct Item
    {
        QString name;
        QString kind; // content type name or extension, as HistoryEntry::kindOf gives it
        QString originHost;
        qint64 size = -1; // -1: unknown
    };

    struct Prediction
    {
        QString folder; // the destination folder, as recorded
        int slot = 0;   // the slot last used to file into folder; 0 for a chosen folder
        double confidence = 0;
        // Evidence for the reason: count of the last `of` items with feature went there.
        int count = 0;
        int of = 0;
        QString feature; // ".stl files", "files from files.example.org"
        // "5 of the last 5 .stl files went to 3D Prints", naming the destination label
        // (a slot's name) or, when label is empty, the folder's last component.
        QString reason(const QString& label = {}) const;
    };

    // Share of the mixed vote the winner needs before it is shown (0..1).
    static constexpr double defaultThreshold = 0.6;
    // How much an older count keeps each time its feature value is seen again.
    static constexpr double defaultFade = 0.7;

    DestinationPredictor();

    // Learns one entry: filings (into a slot or a chosen folder) teach a destination, an
    // Undone entry takes back the filing it undid; everything else is ignored. A group is
    // learned member by member. An entry already learned (same id) is ignored.
    void learn(const HistoryEntry& entry);
    void learnAll(const QList<HistoryEntry>& entries);

    // The confident prediction for item, or none.
    std::optional<Prediction> predict(const Item& item) const;
    // The best destination whatever its confidence (none without any evidence).
    std::optional<Prediction> bestGuess(const Item& item) const;

    void clear();
    void setThreshold(double threshold) { m_threshold = threshold; }
    double threshold() const { return m_threshold; }
    void setFade(double fade) { m_fade = fade; }
    int learnedCount() const { return m_learned; }
    int featureValueCount() const { return int(m_features.size()); }

    // The features of an item, as "prefix:value" keys (exposed for tests and tools).
    static QStringList featuresOf(const Item& item);
    // The shape of a name without extension: letters become "word", digits "d", the rest
    // stays ("invoice-2024-03" -> "word-dddd-dd").
    static QString namePattern(const QString& baseName);

private:
    static constexpr int recentSize = 5;
    struct Vote
    {
        int destination;
        float weight;
    };
    struct Recent
    {
        int destination;
        quint32 ordinal;
    };
    struct Counts
    {
        float total = 0;
        quint32 seen = 0; // how often this value was learned (not faded)
        quint32 lastOrdinal = 0;
        std::vector<Vote> votes;
        std::deque<Recent> recent; // newest first, at most recentSize
    };
    struct Destination
    {
        QString folder;
        int slot = 0;
    };
    struct Learned
    {
        QUuid id;
        int destination;
        quint32 ordinal;
        std::vector<std::pair<QString, quint32>> features; // key and its `seen` then
    };

    int destinationIndex(const QString& folder, int slot);
    void retract(const QUuid& id);
    void trim();
    // A known feature of an item, with the weight its counts give it.
    struct Support;
    std::optional<Prediction> score(const Item& item, bool confidentOnly) const;
    // The features among features that were learned, weighed; adds each one's share to its
    // destinations' scores and its weight to weightSum.
    std::vector<Support> supportsOf(const QStringList& features,
                                    std::vector<std::pair<int, double>>* scores,
                                    double* weightSum) const;
    // The feature that explains best why destination won; null when none gave it anything.
    static const Support* reasonFor(const std::vector<Support>& supports, int destination);

    QHash<QString, Counts> m_features;
    std::vector<Destination> m_destinations;
    QHash<QString, int> m_destinationIndex;
    // The latest filings, so that an undo can take its filing back.
    std::deque<Learned> m_learnedLog;
    QHash<QUuid, quint32> m_learnedIds; // id -> ordinal, for the entries in m_learnedLog
    quint32 m_ordinal = 0;
    int m_learned = 0;
    double m_threshold = defaultThreshold;
    double m_fade = defaultFade;
};
