#include "views/FileNameLabel.h"

#include "views/Theme.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr int maxLines = 2;

// How a name is laid out: wrapped anywhere, in its own direction (an Arabic name reads from
// the right, its extension at its end, whatever the window's direction), against the
// left edge like the card's other lines.
QTextOption nameOption(const QString& name)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(name.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    return option;
}

} // namespace

FileNameLabel::FileNameLabel(QWidget* parent) : QWidget(parent)
{
    setFont(Theme::font(15, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void FileNameLabel::setText(const QString& text)
{
    m_text = text;
    setToolTip(text);
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize FileNameLabel::sizeHint() const
{
    const int lines = lineCount(width() > 0 ? width() : 260);
    return {260, fontMetrics().lineSpacing() * lines};
}

int FileNameLabel::heightForWidth(int lineWidth) const
{
    return fontMetrics().lineSpacing() * lineCount(lineWidth);
}

QString FileNameLabel::displayText(int lineWidth) const
{
    if (layoutLines(m_text, lineWidth) <= maxLines)
        return m_text;
    QString shown = m_text;
    int budget = maxLines * lineWidth;
    while (budget > 20) {
        shown = fontMetrics().elidedText(m_text, Qt::ElideMiddle, budget);
        if (layoutLines(shown, lineWidth) <= maxLines)
            return shown;
        budget -= std::max(8, lineWidth / 20);
    }
    return fontMetrics().elidedText(m_text, Qt::ElideMiddle, lineWidth);
}

void FileNameLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(Theme::primary(palette()));
    QTextLayout layout(displayText(width()), font());
    // The direction of the whole name, also when only its ends are shown.
    layout.setTextOption(nameOption(m_text));
    layout.beginLayout();
    qreal y = 0;
    for (int i = 0; i < maxLines; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width());
        line.setPosition(QPointF(0, y));
        y += fontMetrics().lineSpacing();
    }
    layout.endLayout();
    layout.draw(&p, QPointF(0, 0));
}

int FileNameLabel::lineCount(int lineWidth) const
{
    return std::clamp(layoutLines(displayText(lineWidth), lineWidth), 1, maxLines);
}

int FileNameLabel::layoutLines(const QString& text, int lineWidth) const
{
    QTextLayout layout(text, font());
    layout.setTextOption(nameOption(m_text));
    layout.beginLayout();
    int lines = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(std::max(1, lineWidth));
        ++lines;
    }
    layout.endLayout();
    return lines;
}
