#pragma once

#include "models/StatusLine.h"

#include <QString>
#include <QWidget>

#include <optional>

class QGraphicsOpacityEffect;
class QLabel;
class QPropertyAnimation;

// The status line at the foot of the palette: the outcome of the last action, faded in when a
// message arrives. Errors show in red with a warning sign, running actions with an arrow,
// other outcomes plain. The line always keeps room for its lines, so that a message never
// pushes the destinations out of view or makes the column jump; a longer message ends with an
// ellipsis there, and the whole of it is the tooltip and what a screen reader hears.
class PaletteStatusLine : public QWidget
{
    Q_OBJECT
public:
    explicit PaletteStatusLine(int lines, QWidget* parent = nullptr);

    void setStatus(const std::optional<StatusLine>& status);
    void setMessage(const std::optional<QString>& message);
    const std::optional<QString>& message() const { return m_message; }
    StatusLine::Kind kind() const { return m_kind; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showKind(StatusLine::Kind kind);
    // Lays the message out in the label's width.
    void showText();

    int m_lines;
    std::optional<QString> m_message;
    StatusLine::Kind m_kind = StatusLine::Kind::Info;
    QLabel* m_icon = nullptr;
    QLabel* m_label = nullptr;
    QGraphicsOpacityEffect* m_opacity = nullptr;
    QPropertyAnimation* m_fade = nullptr;
};
