#pragma once

#include "views/PaletteRow.h"

// The palette's "[0] Custom Destination (Browse...)" row, which files the item into a folder
// chosen in a dialog. In a half-width cell of the two-column layout the caption goes on two
// lines, "Custom Destination" over "Browse...", so that it is as tall as a slot beside it and
// is never cut.
class CustomDestinationRow : public PaletteRow
{
    Q_OBJECT
public:
    explicit CustomDestinationRow(QWidget* parent = nullptr);

    void setStacked(bool stacked);
    bool stacked() const { return m_stacked; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintStackedCaption(QPainter& painter, const QRect& area);
    void paintCaptionWithSymbol(QPainter& painter, const QRect& area);

    bool m_stacked = false;
};
