#pragma once

#include "views/CardShadow.h"

#include <QWidget>

#include <functional>
#include <memory>

class HistoryStore;
class HistoryView;
class ItemRevealer;
class LoggerService;

// The history window as a sheet over the triage window: it covers its parent (following its
// resizes), dims it, and shows the history card centred on top, as tall as the window
// allows. A click on the dimmed area, the card's close button and Escape call onClose, which
// should delete the sheet with deleteLater(). The card's filter field takes the focus when
// the sheet shows.
class HistorySheet : public QWidget
{
    Q_OBJECT
public:
    static constexpr qreal scrimOpacity = 0.4;
    static constexpr int margin = 20;

    // The card's parts: see HistoryView.
    HistorySheet(HistoryStore* store, std::shared_ptr<ItemRevealer> revealer, LoggerService* logger,
                 const QString& downloadsFolder, std::function<void()> onClose, QWidget* parent);

    HistoryView* view() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void placeView();
    bool onScrim(const QPointF& position) const;

    std::function<void()> m_onClose;
    HistoryView* m_view;
    CardShadow m_shadow;
    bool m_pressOnScrim = false;
};
