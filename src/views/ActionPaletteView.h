#pragma once

#include "models/DestinationSlot.h"
#include "models/StatusLine.h"
#include "models/TriageItem.h"
#include "models/TriageKeyTable.h"
#include "services/SuggestionService.h"
#include "views/DestinationSlotList.h"

#include <QElapsedTimer>
#include <QList>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class QAbstractButton;
class QLabel;
class QLayout;
class QTimer;
class QVBoxLayout;
class FileNameLabel;
class ItemCard;
class PaletteStatusLine;
class SuggestionRow;

// The right-hand column of the triage screen: a card for the head item (with the host it was
// downloaded from, when known), the destination slots (keys 1-9) and the custom destination
// (key 0), the destination the history suggests (Return), six key hints and the status line.
// Up to four slots are listed one per line; from five on they go two to a line, so that
// nine and the custom destination show without scrolling in the default window.
// Availability of each slot is tested when the slots change, on a refresh at most once a
// second, and again when a row is clicked. An item waiting in another inbox than Downloads
// says which beside its host ("in Desktop").
class ActionPaletteView : public QWidget
{
    Q_OBJECT
public:
    struct Callbacks
    {
        std::function<void(const DestinationSlot&)> onSelectSlot;
        std::function<void()> onBrowseCustom;
        std::function<void()> onTrash;
        std::function<void()> onSkip;
        std::function<void()> onStartRename;
        std::function<void()> onToggleFullscreenPreview;
        std::function<void()> onUndo;
        std::function<void()> onRevealInFinder; // may be empty
        std::function<void()> onAcceptSuggestion;
        std::function<void()> onFileLikeLast;
        // The host an item's browser recorded (GIO metadata) arrived for the item shown.
        std::function<void(const QUuid& itemId, const QString& host)> onOriginHostFound;
    };

    static constexpr int maxSlotRows = DestinationSlotList::maxRows;
    // Up to this many slots are listed one under the other; more go two to a line.
    static constexpr int maxSingleColumnSlots = DestinationSlotList::maxSingleColumn;
    static constexpr int minimumColumnWidth = 320;
    static constexpr int maximumColumnWidth = 400;

    explicit ActionPaletteView(Callbacks callbacks, QWidget* parent = nullptr);

    void setItem(const TriageItem& item);
    const TriageItem& item() const { return m_item; }
    void setSlots(const QList<DestinationSlot>& destinationSlots);
    // Highlights the suggested slot (or names the folder chosen by hand before) and shows the
    // reason, with Return as its key; none: nothing is highlighted.
    void setSuggestion(const std::optional<SuggestionService::Suggestion>& suggestion);
    const std::optional<SuggestionService::Suggestion>& suggestion() const { return m_suggestion; }
    // The head's look-alikes in queue order, head first (fewer than two: no group), and the
    // one the preview shows now (0: the head): the note under the card names them and says
    // how to act on them all.
    void setGroup(const QStringList& names, int shown);
    QString groupNote() const;
    // "Identical to report.pdf in Documents, filed 3 days ago", with a button that trashes
    // this copy; empty: no note.
    void setDuplicateNote(const QString& text);
    QString duplicateNote() const;
    // Where the "same as last" key files the item (the last filing's destination); empty
    // while nothing was filed.
    void setLastDestination(const QString& name);
    QAbstractButton* sameAsLastRow() const;
    // The host the item came from: its own (extended attributes), else the one its browser
    // recorded, once read; empty when none is known.
    QString originHost() const { return m_originHost; }
    // The Downloads folder: an item in any other inbox says where it is ("in Desktop").
    void setDownloadsFolder(const QString& folder);
    void setStatusMessage(const std::optional<QString>& message);
    // Where the item stands in this round of triage (3 of 12), for screen readers; a total
    // of 0 leaves the position out.
    void setQueuePosition(int position, int total);
    // The same, worked out from the items this palette has shown (in the order they first
    // came up) and the number still waiting, the current item included.
    void setWaitingCount(qsizetype waiting);
    // What a screen reader says for the item: "report.pdf, PDF document, 2.1 MB, 3 of 12".
    QString announcement() const;
    // The status line with its look: errors in red with a warning sign, running actions
    // with an arrow, other outcomes plain.
    void setStatus(const std::optional<StatusLine>& status);
    // Redraws what depends on the moment: slot availability and the "Added" time. Both are
    // looked at again at most once a second; the window refreshes far more often. While
    // the palette is shown, the "Added" time also follows the clock on its own (a timer
    // set for the moment its text changes, stopped while hidden).
    void refresh();
    static constexpr int momentRefreshMs = 1000;

    std::optional<QString> statusMessage() const;
    StatusLine::Kind statusKind() const;
    QList<QAbstractButton*> slotRows() const;
    QAbstractButton* customRow() const;
    QAbstractButton* suggestionRow() const;
    QString addedText() const;

    // The status line's height in lines; a longer message ends with an ellipsis there.
    static constexpr int statusLines = 2;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The column's parts, top to bottom: the item card (its texts and rename button), the
    // notes under it, the destinations with the suggestion rows, and the key hints.
    QWidget* createCard();
    QLayout* createCardTexts();
    QWidget* createRenameButton();
    void addNotes(QVBoxLayout* root);
    QLayout* createRouting();
    QLayout* createActionHints();
    // Calls the callback that member names, when it is set.
    std::function<void()> callback(std::function<void()> Callbacks::*member) const;
    // Shows the "Added" time as of now and sets the timer for its next change.
    void updateAddedTime();
    // What clicking the hint of a key does: the callback of the key's action.
    std::function<void()> hintAction(TriageKeyTable::Action action) const;
    void announceItem();
    void showOriginHost(const QString& host);
    // "from example.org · in Desktop", or what of it is known.
    void updateOriginLine();
    QString cardDescription() const;

    Callbacks m_callbacks;
    TriageItem m_item;
    // The item's "Added" moment in UTC milliseconds, converted once per item.
    qint64 m_addedMs = 0;
    QElapsedTimer m_sinceMomentRefresh;

    QList<QUuid> m_seen;
    int m_position = 0;
    int m_total = 0;
    ItemCard* m_card = nullptr;
    FileNameLabel* m_nameLabel = nullptr;
    QLabel* m_sizeLabel = nullptr;
    QLabel* m_kindLabel = nullptr;
    QLabel* m_addedLabel = nullptr;
    QTimer* m_addedTimer = nullptr;
    QLabel* m_originLabel = nullptr;
    QString m_originHost;
    QString m_downloadsFolder;
    QString m_inboxName;
    // Counts the browser-metadata reads asked for; only the latest one's answer is shown.
    quint64 m_originRequest = 0;
    std::optional<SuggestionService::Suggestion> m_suggestion;
    SuggestionRow* m_suggestionRow = nullptr;
    SuggestionRow* m_sameAsLastRow = nullptr;
    QString m_lastDestination;
    QLabel* m_groupNote = nullptr;
    QWidget* m_duplicateRow = nullptr;
    QLabel* m_duplicateLabel = nullptr;
    DestinationSlotList* m_slotList = nullptr;
    PaletteStatusLine* m_statusLine = nullptr;
};
