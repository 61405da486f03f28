#pragma once

#include <QWidget>

// A container drawn as a rounded rectangle: the palette's base colour at reduced opacity,
// outlined with the text colour at low opacity.
class RoundedPanel : public QWidget
{
    Q_OBJECT
public:
    explicit RoundedPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
