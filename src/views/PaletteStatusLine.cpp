#include "views/PaletteStatusLine.h"

#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QTextLayout>

#include <algorithm>

namespace {

// A message laid out in lines of width, at most maxLines of them, joined by line feeds; when
// it takes more, the last line ends with an ellipsis where the text was cut. Messages are
// sentences in the window's language and keep its direction, whatever they start with: a
// status that begins with an Arabic name must not be turned around with it (which put the
// name's extension in the middle of the line). Each line starts with the direction's mark,
// so that the label draws it that way too.
QString elideToLines(const QString& message, const QFont& font, int width, int maxLines,
                     Qt::LayoutDirection direction)
{
    const QString text = QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '));
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    int cut = -1;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(std::max(1, width));
        if (lines.size() == maxLines - 1) {
            // The last line holds the rest of the text, if it can.
            if (line.textStart() + line.textLength() < text.size())
                cut = line.textStart();
            else
                lines << text.mid(line.textStart(), line.textLength());
            break;
        }
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    if (cut >= 0)
        lines << QFontMetrics(font).elidedText(text.mid(cut), Qt::ElideRight, std::max(1, width));
    const QChar mark(direction == Qt::RightToLeft ? 0x200F : 0x200E);
    for (QString& line : lines) {
        // A line broken at a space keeps it at its end; the label needs none.
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        line.prepend(mark);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

PaletteStatusLine::PaletteStatusLine(int lines, QWidget* parent) : QWidget(parent), m_lines(lines)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("statusIcon"));
    m_icon->setAlignment(Qt::AlignTop);
    m_icon->hide();
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    m_label = Theme::label({}, 11, QFont::Medium, Theme::accent(palette()), this);
    m_label->setObjectName(QStringLiteral("statusLine"));
    // The label shows the message as laid out here, on at most m_lines lines and cut with an
    // ellipsis (see showText); its width follows the column, never the text.
    m_label->setWordWrap(false);
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_label->setMinimumWidth(1);
    m_label->installEventFilter(this);
    layout->addWidget(m_label, 1);
    m_opacity = new QGraphicsOpacityEffect(this);
    m_opacity->setOpacity(1.0);
    setGraphicsEffect(m_opacity);
    m_fade = new QPropertyAnimation(m_opacity, "opacity", this);
    m_fade->setDuration(180);
    m_label->setFixedHeight(m_lines * QFontMetrics(m_label->font()).lineSpacing());
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_opacity->setOpacity(0.0);
}

void PaletteStatusLine::setStatus(const std::optional<StatusLine>& status)
{
    const StatusLine::Kind kind = status ? status->kind : StatusLine::Kind::Info;
    if (kind != m_kind)
        showKind(kind);
    setMessage(status ? std::optional<QString>(status->text) : std::nullopt);
}

void PaletteStatusLine::showKind(StatusLine::Kind kind)
{
    m_kind = kind;
    QString symbol;
    QColor color = Theme::accent(palette());
    if (kind == StatusLine::Kind::Error) {
        symbol = QStringLiteral("exclamationmark.triangle.fill");
        color = Theme::red();
    } else if (kind == StatusLine::Kind::Progress) {
        symbol = QStringLiteral("forward");
    }
    Theme::setTextColor(m_label, color);
    m_icon->setVisible(!symbol.isEmpty());
    if (!symbol.isEmpty())
        m_icon->setPixmap(SymbolIcons::pixmap(symbol, 13, color, devicePixelRatioF()));
}

void PaletteStatusLine::setMessage(const std::optional<QString>& message)
{
    if (message == m_message)
        return;
    const bool wasShown = m_message.has_value();
    m_message = message;
    if (message) {
        showText();
        // The whole message, however it was cut on screen.
        m_label->setToolTip(*message);
        m_label->setAccessibleName(*message);
        if (!wasShown) {
            m_fade->stop();
            m_fade->setStartValue(0.0);
            m_fade->setEndValue(1.0);
            m_fade->start();
        }
    } else {
        m_fade->stop();
        m_opacity->setOpacity(0.0);
        m_icon->hide();
        m_label->clear();
        m_label->setToolTip(QString());
        m_label->setAccessibleName(QString());
    }
}

void PaletteStatusLine::showText()
{
    if (!m_message)
        return;
    m_label->setText(elideToLines(*m_message, m_label->font(), m_label->contentsRect().width(),
                                  m_lines, m_label->layoutDirection()));
}

bool PaletteStatusLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label && event->type() == QEvent::Resize)
        showText();
    return QWidget::eventFilter(watched, event);
}
