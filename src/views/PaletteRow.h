#pragma once

#include <QAbstractButton>

// The base of the palette's clickable rows (destination slots, the custom destination, the
// suggestion): borderless, repainted as the pointer enters and leaves, never taking the
// focus (the window reads the keys), and sharing one set of measures. The measures are such
// that nine slots and the custom row fit beside the card, the key hints and the status line in
// the default 840x540 window, with room to spare for a progress strip under the body: two
// text lines with tight padding, and two to a row once there are more slots than a single
// column holds.
class PaletteRow : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr int paddingX = 8;
    static constexpr int paddingY = 4;
    // Between a row's name and the line under it.
    static constexpr int lineGap = 1;
    // The "[n]" key column and the space after it.
    static constexpr int numberWidth = 24;
    static constexpr int numberGap = 6;
    static constexpr int columnWidth = 150;

    explicit PaletteRow(QWidget* parent = nullptr);

    // The height of a row with a name over a smaller line (a slot's path).
    static int twoLineHeight();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
