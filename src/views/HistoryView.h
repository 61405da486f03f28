#pragma once

#include "models/HistoryEntry.h"
#include "models/StatusLine.h"
#include "services/HistoryStore.h"

#include <QSet>
#include <QString>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class HistoryListModel;
class ItemRevealer;
class LoggerService;
class QKeyEvent;
class QLabel;
class QLayout;
class QLineEdit;
class QListView;
class QStackedWidget;
class QTimer;
class StatusAnnouncer;
class QToolButton;

// The history window's card: past actions, newest first, filtered as the user types (by
// name, folder or website; the store does the matching, off the GUI thread), a page at a
// time as the list is scrolled to its end. It is run from the keyboard: typing goes to the
// filter field, Up and Down move the selection, Return shows the selected file in the file
// manager, z (while the filter is empty) or Ctrl+Z undoes the selected action when that is
// still safe, and Escape closes. When the history cannot be kept or read, it says so rather
// than show an empty list.
class HistoryView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int cardWidth = 600;
    static constexpr int maximumHeight = 600;
    static constexpr qreal cornerRadius = 14;
    // The pause in typing after which the filter is applied.
    static constexpr int filterDelayMs = 120;
    static constexpr int pageSize = 100;

    // Reads a key press as the Latin letter of its key on the user's layouts ("я" on a
    // Russian layout is z), for Ctrl+Z.
    using LatinKeyReader = std::function<QChar(const QKeyEvent*)>;

    // store may be null (no history kept): the window says history is unavailable.
    // revealer shows files in the file manager; logger (optional) takes what the user did
    // and what failed; downloadsFolder is named "Downloads" in the rows; onClose is called
    // for Escape and the close button.
    HistoryView(HistoryStore* store, std::shared_ptr<ItemRevealer> revealer, LoggerService* logger,
                const QString& downloadsFolder, std::function<void()> onClose,
                QWidget* parent = nullptr);
    ~HistoryView() override;

    void setLatinKeyReader(LatinKeyReader reader) { m_latinKey = std::move(reader); }

    QLineEdit* filterField() const { return m_filter; }
    QListView* list() const { return m_list; }
    HistoryListModel* model() const { return m_model; }
    // -1 when no row is selected.
    int selectedRow() const;
    // The line under the list (the outcome of an undo), empty when none.
    QString statusText() const;
    std::optional<StatusLine> status() const { return m_status; }
    // What shows instead of the rows when there are none ("Nothing filed yet", "History is
    // unavailable: ..."); empty while rows show.
    QString emptyText() const;
    // The notice above the rows while the history cannot be written or read; empty when none.
    QString noticeText() const;
    // True while rows are being read, or a typed filter waits for the pause to be applied.
    bool isLoading() const;

    // Operations, from keys and clicks.
    void moveSelection(int delta);
    void revealSelected();
    void undoSelected();
    // Reads the next page when there is one and none is being read.
    void loadMore();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The card's parts, top to bottom.
    QLayout* createTitleRow();
    QWidget* createFilter();
    // The list of past actions, or the text that stands in its place when it is empty.
    QWidget* createBody();
    void createList();
    QWidget* createStatusLine();
    QLayout* createKeyFooter();
    // Queries answered, undos done, and new entries read in with the next pause.
    void connectStore();
    bool handleKey(QKeyEvent* event);
    // Reads the first page for the filter, keeping at least the rows shown now when the
    // filter is unchanged (a refresh after an undo).
    void runQuery();
    void queryFinished(quint64 request, const QList<HistoryEntry>& entries, bool more,
                       const QString& error);
    void undoFinished(const QUuid& id, HistoryStore::UndoOutcome outcome, const QString& message);
    void select(int row);
    void showStatus(const QString& text, StatusLine::Kind kind);
    void paintStatus();
    void updateEmptyState();
    void applyPalette();

    HistoryStore* m_store;
    std::shared_ptr<ItemRevealer> m_revealer;
    LoggerService* m_logger;
    std::function<void()> m_onClose;
    LatinKeyReader m_latinKey;

    HistoryListModel* m_model;
    QLineEdit* m_filter = nullptr;
    QListView* m_list = nullptr;
    QStackedWidget* m_body = nullptr;
    QLabel* m_empty = nullptr;
    QLabel* m_notice = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_titleIcon = nullptr;
    QToolButton* m_closeButton = nullptr;
    QList<QLabel*> m_secondaryLabels;
    StatusAnnouncer* m_announcer = nullptr;
    QTimer* m_filterDelay = nullptr;

    // The request being read (0: none), whether its rows go below the ones shown, and the
    // filter it was asked with.
    quint64 m_request = 0;
    bool m_requestIsNextPage = false;
    QString m_requestFilter;
    // The filter of the rows shown, and whether older entries match it too.
    QString m_shownFilter;
    bool m_more = false;
    bool m_loadedOnce = false;
    QString m_readError;
    // The row to select again when the rows are read anew.
    QUuid m_keepSelected;
    QSet<QUuid> m_undoing;
    std::optional<StatusLine> m_status;
};
