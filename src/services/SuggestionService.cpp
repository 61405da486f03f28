#include "services/SuggestionService.h"

#include "models/TriageItem.h"
#include "services/HistoryStore.h"

#include <QDir>

#include <utility>

SuggestionService::SuggestionService(HistoryStore* history, QObject* parent)
    : QObject(parent), m_history(history), m_predictor(std::make_shared<DestinationPredictor>())
{
    if (!m_history)
        return;
    // The store's signals come from its threads: queued to this one.
    connect(m_history, &HistoryStore::recorded, this, &SuggestionService::learn);
    connect(m_history, &HistoryStore::predictorLoaded, this,
            [this](std::shared_ptr<DestinationPredictor> loaded) {
                m_loading = false;
                m_loaded = true;
                // Built from a history forgotten since: what was recorded after still counts.
                if (loaded && !std::exchange(m_forgottenWhileLoading, false))
                    m_predictor = std::move(loaded);
                m_predictor->learnAll(m_early);
                m_early.clear();
                emit changed();
            });
    connect(m_history, &HistoryStore::forgetFinished, this, [this](bool ok, const QString&) {
        if (!ok)
            return;
        m_predictor->clear();
        m_early.clear();
        m_forgottenWhileLoading = m_loading;
        emit changed();
    });
}

void SuggestionService::load()
{
    if (!m_history || m_loading)
        return;
    m_loading = true;
    m_history->loadPredictor();
}

void SuggestionService::learn(const HistoryEntry& entry)
{
    if (m_loading) {
        m_early.append(entry);
        return;
    }
    m_predictor->learn(entry);
    emit changed();
}

void SuggestionService::setPredictor(std::shared_ptr<DestinationPredictor> predictor)
{
    m_predictor = predictor ? std::move(predictor) : std::make_shared<DestinationPredictor>();
    m_loaded = true;
    emit changed();
}

DestinationPredictor::Item SuggestionService::describe(const TriageItem& item,
                                                       const QString& originHost)
{
    DestinationPredictor::Item described;
    described.name = item.filename;
    described.kind =
        HistoryEntry::kindOf(item.uti.isValid() ? item.uti.name() : QString(), item.fileExtension);
    described.originHost = item.originHost.isEmpty() ? originHost : item.originHost;
    described.size = item.sizeBytes;
    return described;
}

std::optional<SuggestionService::Suggestion>
SuggestionService::suggest(const TriageItem& item, const QList<DestinationSlot>& destinationSlots,
                           const QString& originHost) const
{
    const std::optional<DestinationPredictor::Prediction> prediction =
        m_predictor->predict(describe(item, originHost));
    if (!prediction || prediction->folder.isEmpty())
        return std::nullopt;
    Suggestion suggestion;
    suggestion.folder = QDir::cleanPath(prediction->folder);
    suggestion.confidence = prediction->confidence;
    // The slots as they are now decide, not the number the item was filed under then: a
    // slot may have been moved to another key or pointed elsewhere since.
    for (const DestinationSlot& slot : destinationSlots) {
        const QString resolved = slot.resolvedPath();
        if (!resolved.isEmpty() && QDir::cleanPath(resolved) == suggestion.folder) {
            suggestion.slot = slot;
            break;
        }
    }
    // Already where it would go: nothing to suggest.
    if (QDir::cleanPath(item.url.adjusted(QUrl::RemoveFilename).toLocalFile()) == suggestion.folder)
        return std::nullopt;
    suggestion.reason = prediction->reason(suggestion.slot ? suggestion.slot->name : QString());
    return suggestion;
}
