#pragma once

#include "models/DestinationSlot.h"

#include <QList>
#include <QScrollArea>

#include <optional>

class QAbstractButton;
class QGridLayout;
class CustomDestinationRow;
class DestinationSlotRow;

// The palette's destinations: a row per slot (keys 1-9), then the custom destination (key 0).
// Up to maxSingleColumn slots are listed one per line; from more on they go two to a line,
// read row by row, so that nine and the custom destination show without scrolling in the
// default window. When the rows do not fit all the same (a window near its smallest size),
// the list scrolls instead of dropping rows at the bottom: its height is what the column
// leaves it, whatever the rows would like.
class DestinationSlotList : public QScrollArea
{
    Q_OBJECT
public:
    static constexpr int maxRows = 9;
    static constexpr int maxSingleColumn = 4;

    explicit DestinationSlotList(QWidget* parent = nullptr);

    // Rebuilds the rows when the slots differ from those shown.
    void setSlots(const QList<DestinationSlot>& destinationSlots);
    // Outlines the row of this slot; none: no row.
    void setSuggestedSlot(const std::optional<DestinationSlot>& slot);
    // Tests every slot's folder again.
    void refreshAvailability();

    QList<QAbstractButton*> slotRows() const;
    QAbstractButton* customRow() const;

signals:
    // A slot row was clicked; its folder has just been tested again, since it may have gone
    // since the last redraw (a missing one is offered to be created).
    void slotChosen(const DestinationSlot& slot);
    void customChosen();

private:
    void rebuildRows();
    void markSuggestedRow();

    QList<DestinationSlot> m_slots;
    std::optional<DestinationSlot> m_suggested;
    QGridLayout* m_layout = nullptr;
    QList<DestinationSlotRow*> m_rows;
    CustomDestinationRow* m_customRow = nullptr;
};
