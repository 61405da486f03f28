#pragma once

#include "models/DestinationSlot.h"
#include "views/PaletteRow.h"

// One destination row of the palette: "[n]", the slot's name and path, and a warning sign
// when its folder is missing. A missing folder stays clickable (dimmed): the click offers to
// create it. The suggested slot is outlined in the accent colour, and says so to a screen
// reader.
class DestinationSlotRow : public PaletteRow
{
    Q_OBJECT
public:
    DestinationSlotRow(const DestinationSlot& slot, QWidget* parent = nullptr);

    const DestinationSlot& slot() const { return m_slot; }
    bool available() const { return m_available; }

    void setSuggested(bool suggested);
    bool suggested() const { return m_suggested; }

    // Tests the folder again and updates the look, tooltip and what a screen reader says.
    void refreshAvailability();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintBackground(QPainter& painter);
    void paintTexts(QPainter& painter);

    DestinationSlot m_slot;
    bool m_available = false;
    bool m_suggested = false;
};
