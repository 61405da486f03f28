#pragma once

#include <QWidget>

// The rounded card behind the item's description at the top of the palette, filled with the
// controls' background colour.
class ItemCard : public QWidget
{
    Q_OBJECT
public:
    explicit ItemCard(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
