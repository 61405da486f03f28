#include "models/DestinationPredictor.h"

#include "models/FileNaming.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// Filings remembered for an undo to take back.
constexpr int learnedLogSize = 2000;
// Past this many feature values, values seen once long ago are dropped.
constexpr int maximumFeatureValues = 200000;
// Evidence that nothing known applies: a vote has to outweigh it to be trusted.
constexpr double doubtWeight = 0.6;
constexpr int maximumWords = 6;

// How much each kind of feature counts. The extension and the words carry most; the type
// family and the size class only tip a balance.
double weightOf(QChar prefix, bool combined)
{
    if (combined)
        return 1.5; // host and extension together
    switch (prefix.unicode()) {
    case 'e':
        return 1.0;
    case 'k':
        return 0.5;
    case 't':
        return 0.25;
    case 'w':
        return 1.0;
    case 'p':
        return 0.8;
    case 'h':
        return 1.0;
    case 'd':
        return 0.6;
    case 's':
        return 0.2;
    }
    return 0.5;
}

QString domainOf(const QString& host)
{
    const QStringList labels = host.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (labels.size() <= 2)
        return host;
    // "example.co.uk": a short country label after a short second-level one.
    const int keep = labels.last().size() == 2 && labels.at(labels.size() - 2).size() <= 3 ? 3 : 2;
    return labels.mid(labels.size() - keep).join(QLatin1Char('.'));
}

QString describe(const QString& key)
{
    const QString value = key.mid(key.indexOf(QLatin1Char(':')) + 1);
    if (key.startsWith(QLatin1String("he:"))) {
        const int bar = value.indexOf(QLatin1Char('|'));
        return QCoreApplication::translate("DestinationPredictor", ".%1 files from %2")
            .arg(value.mid(bar + 1), value.left(bar));
    }
    switch (key.at(0).unicode()) {
    case 'e':
        return value == QLatin1String("-")
                   ? QCoreApplication::translate("DestinationPredictor",
                                                 "files without an extension")
                   : QCoreApplication::translate("DestinationPredictor", ".%1 files").arg(value);
    case 'k':
        return QCoreApplication::translate("DestinationPredictor", "%1 files").arg(value);
    case 't':
        return QCoreApplication::translate("DestinationPredictor", "%1 files").arg(value);
    case 'w':
        return QCoreApplication::translate("DestinationPredictor",
                                           "files named \u201c%1\u2026\u201d")
            .arg(value);
    case 'p':
        return QCoreApplication::translate("DestinationPredictor", "files named like this one");
    case 'h':
    case 'd':
        return QCoreApplication::translate("DestinationPredictor", "files from %1").arg(value);
    case 's':
        return QCoreApplication::translate("DestinationPredictor", "files of this size");
    }
    return value;
}

// Features a reason can name, best first: what a person recognises.
int describability(const QString& key)
{
    if (key.startsWith(QLatin1String("he:")))
        return 4;
    switch (key.at(0).unicode()) {
    case 'e':
    case 'w':
    case 'h':
        return 3;
    case 'd':
    case 'p':
        return 2;
    case 'k':
        return 1;
    }
    return 0;
}

} // namespace

QString DestinationPredictor::Prediction::reason(const QString& label) const
{
    const QString where = label.isEmpty() ? FileNaming::lastPathComponent(folder) : label;
    if (of <= 0)
        return QCoreApplication::translate("DestinationPredictor", "Items like this one went to %1")
            .arg(where);
    if (of == 1)
        return QCoreApplication::translate("DestinationPredictor", "The last of the %1 went to %2")
            .arg(feature, where);
    return QCoreApplication::translate("DestinationPredictor", "%1 of the last %2 %3 went to %4")
        .arg(count)
        .arg(of)
        .arg(feature, where);
}

DestinationPredictor::DestinationPredictor() = default;

QString DestinationPredictor::namePattern(const QString& baseName)
{
    QString pattern;
    int digits = 0;
    bool inWord = false;
    auto flushDigits = [&] {
        // Long runs (ids, timestamps) are told apart by their length up to eight digits.
        pattern += digits > 8 ? QStringLiteral("d+") : QString(digits, QLatin1Char('d'));
        digits = 0;
    };
    for (const QChar c : baseName) {
        if (c.isDigit()) {
            inWord = false;
            ++digits;
            continue;
        }
        if (digits > 0)
            flushDigits();
        if (c.isLetter()) {
            if (!inWord)
                pattern += QStringLiteral("word");
            inWord = true;
            continue;
        }
        inWord = false;
        pattern += c.isSpace() ? QLatin1Char(' ') : c;
    }
    if (digits > 0)
        flushDigits();
    return pattern;
}

QStringList DestinationPredictor::featuresOf(const Item& item)
{
    QStringList features;
    const QString extension = FileNaming::pathExtension(item.name).toLower();
    const QString base = FileNaming::baseName(item.name);
    features << QStringLiteral("e:") + (extension.isEmpty() ? QStringLiteral("-") : extension);
    const QString kind = item.kind.toLower();
    if (!kind.isEmpty() && kind != extension) {
        features << QStringLiteral("k:") + kind;
        const int slash = kind.indexOf(QLatin1Char('/'));
        if (slash > 0)
            features << QStringLiteral("t:") + kind.left(slash);
    }

    QSet<QString> seenWords;
    QString word;
    auto addWord = [&] {
        // One- and two-letter pieces are mostly parts of ids and hashes.
        if (word.size() >= 3 && seenWords.size() < maximumWords && !seenWords.contains(word)) {
            seenWords.insert(word);
            features << QStringLiteral("w:") + word;
        }
        word.clear();
    };
    for (const QChar c : base) {
        if (c.isLetter()) {
            // camelCase and PascalCase words are separate words.
            if (c.isUpper() && !word.isEmpty() && word.back().isLower())
                addWord();
            word += c.toLower();
        } else {
            addWord();
        }
    }
    addWord();

    const QString pattern = namePattern(base);
    if (!pattern.isEmpty())
        features << QStringLiteral("p:") + pattern;

    const QString host = item.originHost.toLower();
    if (!host.isEmpty()) {
        features << QStringLiteral("h:") + host;
        const QString domain = domainOf(host);
        if (domain != host)
            features << QStringLiteral("d:") + domain;
        features << QStringLiteral("he:") + domain + QLatin1Char('|') +
                        (extension.isEmpty() ? QStringLiteral("-") : extension);
    }
    if (item.size >= 0) {
        // Classes four times apart: 1-4 KB, 4-16 KB, ...
        const int sizeClass = int(std::log2(double(item.size) + 1.0) / 2.0);
        features << QStringLiteral("s:%1").arg(sizeClass);
    }
    return features;
}

int DestinationPredictor::destinationIndex(const QString& folder, int slot)
{
    const auto found = m_destinationIndex.constFind(folder);
    if (found != m_destinationIndex.constEnd()) {
        // The slot used last for a folder is the one to highlight.
        if (slot > 0)
            m_destinations[size_t(*found)].slot = slot;
        return *found;
    }
    const int index = int(m_destinations.size());
    m_destinations.push_back(Destination{folder, slot});
    m_destinationIndex.insert(folder, index);
    return index;
}

void DestinationPredictor::learn(const HistoryEntry& entry)
{
    using Action = HistoryEntry::Action;
    // A group filing teaches each file it filed, and an undo of one takes back each file it
    // put back.
    if (entry.isGroup()) {
        for (const HistoryEntry& member : entry.members)
            learn(member);
        return;
    }
    if (entry.action == Action::Undone) {
        if (!entry.undoOf.isNull())
            retract(entry.undoOf);
        return;
    }
    if (entry.action != Action::MovedToSlot && entry.action != Action::MovedToFolder)
        return;
    const QString folder = entry.toFolder();
    if (folder.isEmpty() || m_learnedIds.contains(entry.id) || !entry.undoneBy.isNull())
        return;

    const int destination =
        destinationIndex(folder, entry.action == Action::MovedToSlot ? entry.slot : 0);
    const quint32 ordinal = ++m_ordinal;
    Learned learned{entry.id, destination, ordinal, {}};
    const float fade = float(m_fade);
    const QStringList features =
        featuresOf(Item{entry.itemName, entry.kind, entry.originHost, entry.size});
    for (const QString& key : features) {
        Counts& counts = m_features[key];
        counts.total = 0;
        bool found = false;
        for (Vote& vote : counts.votes) {
            vote.weight *= fade;
            if (vote.destination == destination) {
                vote.weight += 1.0f;
                found = true;
            }
            counts.total += vote.weight;
        }
        if (!found) {
            counts.votes.push_back(Vote{destination, 1.0f});
            counts.total += 1.0f;
        }
        // Votes faded to nothing only cost time.
        counts.votes.erase(std::remove_if(counts.votes.begin(), counts.votes.end(),
                                          [](const Vote& v) { return v.weight < 1e-4f; }),
                           counts.votes.end());
        ++counts.seen;
        counts.lastOrdinal = ordinal;
        counts.recent.push_front(Recent{destination, ordinal});
        if (counts.recent.size() > size_t(recentSize))
            counts.recent.pop_back();
        learned.features.emplace_back(key, counts.seen);
    }
    m_learnedIds.insert(entry.id, ordinal);
    m_learnedLog.push_back(std::move(learned));
    if (m_learnedLog.size() > size_t(learnedLogSize)) {
        m_learnedIds.remove(m_learnedLog.front().id);
        m_learnedLog.pop_front();
    }
    ++m_learned;
    if (m_features.size() > maximumFeatureValues)
        trim();
}

void DestinationPredictor::learnAll(const QList<HistoryEntry>& entries)
{
    for (const HistoryEntry& entry : entries)
        learn(entry);
}

void DestinationPredictor::retract(const QUuid& id)
{
    const auto known = m_learnedIds.constFind(id);
    if (known == m_learnedIds.constEnd())
        return;
    const quint32 ordinal = *known;
    const auto learned = std::find_if(m_learnedLog.begin(), m_learnedLog.end(),
                                      [ordinal](const Learned& l) { return l.ordinal == ordinal; });
    if (learned == m_learnedLog.end())
        return;
    for (const auto& [key, seenThen] : learned->features) {
        const auto found = m_features.find(key);
        if (found == m_features.end())
            continue;
        Counts& counts = *found;
        // The vote it added has faded once for every later sighting of the value.
        const float left = float(std::pow(m_fade, double(counts.seen - seenThen)));
        counts.total = 0;
        for (Vote& vote : counts.votes) {
            if (vote.destination == learned->destination)
                vote.weight = std::max(0.0f, vote.weight - left);
            counts.total += vote.weight;
        }
        counts.recent.erase(
            std::remove_if(counts.recent.begin(), counts.recent.end(),
                           [ordinal](const Recent& r) { return r.ordinal == ordinal; }),
            counts.recent.end());
    }
    m_learnedIds.remove(id);
    m_learnedLog.erase(learned);
    --m_learned;
}

void DestinationPredictor::trim()
{
    // Names full of one-off words leave values seen once; the oldest of them go.
    const quint32 keepAfter = m_ordinal > 20000 ? m_ordinal - 20000 : 0;
    for (auto it = m_features.begin(); it != m_features.end();) {
        if (it->seen <= 1 && it->lastOrdinal < keepAfter)
            it = m_features.erase(it);
        else
            ++it;
    }
}

void DestinationPredictor::clear()
{
    m_features.clear();
    m_destinations.clear();
    m_destinationIndex.clear();
    m_learnedLog.clear();
    m_learnedIds.clear();
    m_ordinal = 0;
    m_learned = 0;
}

std::optional<DestinationPredictor::Prediction>
DestinationPredictor::predict(const Item& item) const
{
    return score(item, true);
}

std::optional<DestinationPredictor::Prediction>
DestinationPredictor::bestGuess(const Item& item) const
{
    return score(item, false);
}

struct DestinationPredictor::Support
{
    const QString* key;
    const Counts* counts;
    double weight;

    // What this feature gave destination.
    double shareOf(int destination) const
    {
        double share = 0;
        for (const Vote& vote : counts->votes) {
            if (vote.destination == destination)
                share = weight * vote.weight / counts->total;
        }
        return share;
    }
};

std::optional<DestinationPredictor::Prediction>
DestinationPredictor::score(const Item& item, bool confidentOnly) const
{
    if (m_features.isEmpty())
        return std::nullopt;
    // The supports point into features: it lives as long as they do.
    const QStringList features = featuresOf(item);
    std::vector<std::pair<int, double>> scores;
    double weightSum = doubtWeight;
    const std::vector<Support> supports = supportsOf(features, &scores, &weightSum);
    if (scores.empty())
        return std::nullopt;
    const auto top =
        std::max_element(scores.begin(), scores.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    const double confidence = top->second / weightSum;
    if (confidentOnly && confidence < m_threshold)
        return std::nullopt;

    Prediction prediction;
    const Destination& destination = m_destinations[size_t(top->first)];
    prediction.folder = destination.folder;
    prediction.slot = destination.slot;
    prediction.confidence = confidence;
    if (const Support* reason = reasonFor(supports, top->first)) {
        prediction.feature = describe(*reason->key);
        prediction.of = int(reason->counts->recent.size());
        prediction.count =
            int(std::count_if(reason->counts->recent.begin(), reason->counts->recent.end(),
                              [&](const Recent& r) { return r.destination == top->first; }));
    }
    return prediction;
}

std::vector<DestinationPredictor::Support>
DestinationPredictor::supportsOf(const QStringList& features,
                                 std::vector<std::pair<int, double>>* scores,
                                 double* weightSum) const
{
    int words = 0;
    for (const QString& key : features)
        words += key.startsWith(QLatin1String("w:")) ? 1 : 0;
    std::vector<Support> supports;
    supports.reserve(size_t(features.size()));
    for (const QString& key : features) {
        const auto found = m_features.constFind(key);
        if (found == m_features.constEnd() || found->total < 1e-3f)
            continue;
        const Counts& counts = *found;
        float best = 0;
        for (const Vote& vote : counts.votes)
            best = std::max(best, vote.weight);
        const double purity = best / counts.total;
        // Evidence grows with the latest sightings, not with the faded total: a value whose
        // old counts faded under later filings (undone since, or of another habit) is still
        // well known.
        const double seen = double(counts.recent.size());
        const double evidence = seen / (seen + 1.0);
        double weight =
            weightOf(key.at(0), key.startsWith(QLatin1String("he:"))) * evidence * purity * purity;
        // A long name's many words together count about as much as a few.
        if (key.startsWith(QLatin1String("w:")) && words > 1)
            weight /= std::sqrt(double(words));
        *weightSum += weight;
        supports.push_back(Support{&key, &counts, weight});
        for (const Vote& vote : counts.votes) {
            const double share = weight * vote.weight / counts.total;
            const auto slot = std::find_if(scores->begin(), scores->end(), [&](const auto& s) {
                return s.first == vote.destination;
            });
            if (slot == scores->end())
                scores->emplace_back(vote.destination, share);
            else
                slot->second += share;
        }
    }
    return supports;
}

const DestinationPredictor::Support*
DestinationPredictor::reasonFor(const std::vector<Support>& supports, int destination)
{
    // The reason names the feature that gave the winner most, preferring one a person
    // recognises (extension, word, host) when it gave at least half as much.
    std::vector<double> shares(supports.size(), 0.0);
    double topShare = 0;
    for (size_t i = 0; i < supports.size(); ++i) {
        shares[i] = supports[i].shareOf(destination);
        topShare = std::max(topShare, shares[i]);
    }
    const Support* reason = nullptr;
    double reasonScore = 0;
    for (size_t i = 0; i < supports.size(); ++i) {
        if (shares[i] <= 0)
            continue;
        const int rank = describability(*supports[i].key);
        const double score = shares[i] >= 0.5 * topShare ? shares[i] * (1 + rank) : shares[i];
        if (score > reasonScore) {
            reason = &supports[i];
            reasonScore = score;
        }
    }
    return reason;
}
