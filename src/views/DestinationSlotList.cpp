#include "views/DestinationSlotList.h"

#include "views/CustomDestinationRow.h"
#include "views/DestinationSlotRow.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Between the rows, which are sized to fit nine beside the card (see PaletteRow).
constexpr int rowSpacing = 4;

} // namespace

DestinationSlotList::DestinationSlotList(QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("slotScroll"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    setFocusPolicy(Qt::NoFocus);
    auto* host = new QWidget(this);
    host->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    auto* hostLayout = new QVBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->setSpacing(0);
    m_layout = new QGridLayout;
    m_layout->setHorizontalSpacing(6);
    m_layout->setVerticalSpacing(rowSpacing);
    m_layout->setColumnStretch(0, 1);
    m_layout->setColumnStretch(1, 1);
    hostLayout->addLayout(m_layout);
    hostLayout->addStretch(1);
    m_customRow = new CustomDestinationRow(host);
    connect(m_customRow, &QAbstractButton::clicked, this, &DestinationSlotList::customChosen);
    m_layout->addWidget(m_customRow, 0, 0, 1, 2);
    setWidget(host);
}

void DestinationSlotList::setSlots(const QList<DestinationSlot>& destinationSlots)
{
    if (destinationSlots == m_slots)
        return;
    m_slots = destinationSlots;
    rebuildRows();
}

void DestinationSlotList::setSuggestedSlot(const std::optional<DestinationSlot>& slot)
{
    m_suggested = slot;
    markSuggestedRow();
}

void DestinationSlotList::refreshAvailability()
{
    for (DestinationSlotRow* row : std::as_const(m_rows))
        row->refreshAvailability();
}

QList<QAbstractButton*> DestinationSlotList::slotRows() const
{
    return {m_rows.cbegin(), m_rows.cend()};
}

QAbstractButton* DestinationSlotList::customRow() const
{
    return m_customRow;
}

void DestinationSlotList::rebuildRows()
{
    for (DestinationSlotRow* row : std::as_const(m_rows)) {
        m_layout->removeWidget(row);
        row->deleteLater();
    }
    m_rows.clear();
    m_layout->removeWidget(m_customRow);
    const int shown = int(std::min<qsizetype>(m_slots.size(), maxRows));
    const int columns = shown > maxSingleColumn ? 2 : 1;
    for (int i = 0; i < shown; ++i) {
        auto* row = new DestinationSlotRow(m_slots.at(i), m_customRow->parentWidget());
        connect(row, &QAbstractButton::clicked, this, [this, row] {
            row->refreshAvailability();
            emit slotChosen(row->slot());
        });
        // Row by row, so that the keys read 1 2 / 3 4 / ... across the two columns.
        if (columns == 1)
            m_layout->addWidget(row, i, 0, 1, 2);
        else
            m_layout->addWidget(row, i / 2, i % 2);
        m_rows.append(row);
    }
    // The custom row takes the cell after the last slot, or the whole line when it starts
    // one.
    const bool halfCell = columns == 2 && shown % 2 == 1;
    m_customRow->setStacked(halfCell);
    if (halfCell)
        m_layout->addWidget(m_customRow, shown / 2, 1);
    else
        m_layout->addWidget(m_customRow, (shown + columns - 1) / columns, 0, 1, 2);
    markSuggestedRow();
}

void DestinationSlotList::markSuggestedRow()
{
    for (DestinationSlotRow* row : std::as_const(m_rows))
        row->setSuggested(m_suggested && *m_suggested == row->slot());
}
