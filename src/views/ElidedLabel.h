#pragma once

#include <QWidget>

// One line of text that shortens itself with an ellipsis instead of widening the window:
// file names may be 255 bytes long without a single space. The text is laid out in its own
// direction, from its first strong character.
class ElidedLabel : public QWidget
{
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text = {}, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // The elided text as last drawn or measured for the current width.
    QString displayedText() const;

    void setElideMode(Qt::TextElideMode mode);
    void setAlignment(Qt::Alignment alignment);
    // Draws with this colour instead of the palette's window text.
    void setColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    Qt::TextElideMode m_elideMode = Qt::ElideRight;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor m_color;
};
