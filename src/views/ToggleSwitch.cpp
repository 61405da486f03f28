#include "views/ToggleSwitch.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVariantAnimation>

namespace {

constexpr int labelGap = 10;
constexpr int knobInset = 2;

QColor mix(const QColor& a, const QColor& b, qreal amount)
{
    return QColor::fromRgbF(a.redF() * amount + b.redF() * (1 - amount),
                            a.greenF() * amount + b.greenF() * (1 - amount),
                            a.blueF() * amount + b.blueF() * (1 - amount));
}

} // namespace

ToggleSwitch::ToggleSwitch(const QString& text, QWidget* parent)
    : QAbstractButton(parent), m_animation(new QVariantAnimation(this))
{
    setText(text);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_animation->setDuration(120);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_knobPosition = value.toReal();
        update();
    });
}

QSize ToggleSwitch::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int labelWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text()) + labelGap;
    return {labelWidth + trackWidth + 2, qMax(trackHeight + 2, metrics.height())};
}

QRect ToggleSwitch::trackRect() const
{
    return {width() - trackWidth - 1, (height() - trackHeight) / 2, trackWidth, trackHeight};
}

bool ToggleSwitch::hitButton(const QPoint& position) const
{
    // The label belongs to the switch, as with a check box.
    return rect().contains(position);
}

void ToggleSwitch::checkStateSet()
{
    // Programmatic changes jump straight to the new position.
    m_animation->stop();
    m_knobPosition = isChecked() ? 1.0 : 0.0;
    update();
}

void ToggleSwitch::nextCheckState()
{
    QAbstractButton::nextCheckState();
    slideKnob();
}

void ToggleSwitch::slideKnob()
{
    m_animation->stop();
    m_animation->setStartValue(m_knobPosition);
    m_animation->setEndValue(isChecked() ? 1.0 : 0.0);
    m_animation->start();
}

void ToggleSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    if (!isEnabled())
        painter.setOpacity(0.45);

    const QRect track = trackRect();
    if (!text().isEmpty()) {
        painter.setPen(pal.color(QPalette::WindowText));
        const QRect labelRect(0, 0, track.left() - labelGap, height());
        painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter, text());
    }

    const QColor window = pal.color(QPalette::Window);
    const QColor offColour = mix(pal.color(QPalette::WindowText), window, 0.22);
    const QColor onColour = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor trackColour = mix(onColour, offColour, m_knobPosition);
    const qreal radius = track.height() / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColour);
    painter.drawRoundedRect(QRectF(track), radius, radius);

    if (hasFocus()) {
        QPen ring(onColour, 2);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(track).adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
    }

    const qreal knobDiameter = track.height() - 2 * knobInset;
    const qreal travel = track.width() - 2 * knobInset - knobDiameter;
    const QRectF knob(track.left() + knobInset + travel * m_knobPosition, track.top() + knobInset,
                      knobDiameter, knobDiameter);
    // A faint edge keeps the white knob visible on a light track.
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(isDown() ? QColor(235, 235, 235) : QColor(Qt::white));
    painter.drawEllipse(knob);
}
