#include "views/BusyIndicator.h"

#include "views/Theme.h"

#include <QPainter>
#include <QTimer>

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this))
{
    setFixedSize(16, 16);
    m_timer->setInterval(16);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 12) % 360;
        update();
    });
}

void BusyIndicator::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer->start();
}

void BusyIndicator::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_timer->stop();
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    QColor track = Theme::secondary(palette());
    track.setAlphaF(0.25);
    p.setPen(QPen(track, 2));
    p.drawEllipse(r);
    p.setPen(QPen(Theme::secondary(palette()), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(r, -m_angle * 16, 100 * 16);
}
