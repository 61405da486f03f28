#pragma once

#include "models/DestinationPredictor.h"
#include "models/DestinationSlot.h"
#include "models/HistoryEntry.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class HistoryStore;
class TriageItem;

// Where the history says a new item goes. Holds the program's one DestinationPredictor: built
// from the history off the GUI thread at start (load()), then taught every entry the history
// stores (the window's undos included, which take their filing back), and emptied when the
// history is forgotten. Asking costs a few hash look-ups, so the window asks for each head
// item it shows. What is learned stays in this process and the history file.
class SuggestionService : public QObject
{
    Q_OBJECT
public:
    struct Suggestion
    {
        // The slot whose folder the prediction names (the same resolved path); none when no
        // slot has it: a folder chosen by hand before.
        std::optional<DestinationSlot> slot;
        QString folder;
        // "5 of the last 5 .stl files went to 3D Prints"
        QString reason;
        double confidence = 0;
    };

    // history may be null: nothing is learned and nothing suggested.
    explicit SuggestionService(HistoryStore* history, QObject* parent = nullptr);

    // Starts building the predictor from the history; changed() follows once it is in.
    void load();
    bool isLoaded() const { return m_loaded; }

    // The confident suggestion for item, matched against slots; none when the history is
    // not decided enough about it; destinationSlots are the slots as configured now. originHost:
    // the item's host when it was found elsewhere than in the item (the browser's metadata); empty:
    // the item's own.
    std::optional<Suggestion> suggest(const TriageItem& item,
                                      const QList<DestinationSlot>& destinationSlots,
                                      const QString& originHost = {}) const;

    // The predictor as it stands (the benchmark and the tests read and replace it).
    const DestinationPredictor& predictor() const { return *m_predictor; }
    void setPredictor(std::shared_ptr<DestinationPredictor> predictor);

    // How the predictor describes an item.
    static DestinationPredictor::Item describe(const TriageItem& item,
                                               const QString& originHost = {});

signals:
    // What suggest() answers may have changed: loaded, learned an entry, forgotten.
    void changed();

private:
    void learn(const HistoryEntry& entry);

    HistoryStore* m_history = nullptr;
    std::shared_ptr<DestinationPredictor> m_predictor;
    // Entries stored while the predictor was being built: learned once it is in (an entry
    // the build already saw is ignored then).
    QList<HistoryEntry> m_early;
    bool m_loading = false;
    bool m_loaded = false;
    bool m_forgottenWhileLoading = false;
};
