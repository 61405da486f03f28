#include "views/HistorySheet.h"

#include "views/HistoryView.h"

#include <QMouseEvent>
#include <QPainter>

HistorySheet::HistorySheet(HistoryStore* store, std::shared_ptr<ItemRevealer> revealer,
                           LoggerService* logger, const QString& downloadsFolder,
                           std::function<void()> onClose, QWidget* parent)
    : QWidget(parent), m_onClose(onClose),
      m_view(new HistoryView(store, std::move(revealer), logger, downloadsFolder,
                             std::move(onClose), this)),
      m_shadow(HistoryView::cornerRadius, 20, QPoint(0, 10), QColor(0, 0, 0, 77))
{
    setObjectName(QStringLiteral("historySheet"));
    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
    placeView();
}

bool HistorySheet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void HistorySheet::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeView();
}

void HistorySheet::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    raise();
    m_view->setFocus(Qt::OtherFocusReason);
}

void HistorySheet::placeView()
{
    // The card's width, and the window's height less a margin, up to the card's tallest.
    const int width = qMin(HistoryView::cardWidth, qMax(0, this->width() - 2 * margin));
    const int height = qMin(HistoryView::maximumHeight, qMax(0, this->height() - 2 * margin));
    QRect geometry(QPoint(0, 0), QSize(width, height));
    geometry.moveCenter(rect().center());
    m_view->setGeometry(geometry);
    update();
}

void HistorySheet::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, scrimOpacity));
    m_shadow.paint(painter, m_view->geometry());
}

bool HistorySheet::onScrim(const QPointF& position) const
{
    return !m_view->geometry().contains(position.toPoint());
}

void HistorySheet::mousePressEvent(QMouseEvent* event)
{
    // The window behind the sheet takes no clicks.
    m_pressOnScrim = event->button() == Qt::LeftButton && onScrim(event->position());
    event->accept();
}

void HistorySheet::mouseReleaseEvent(QMouseEvent* event)
{
    const bool tapped =
        m_pressOnScrim && event->button() == Qt::LeftButton && onScrim(event->position());
    m_pressOnScrim = false;
    event->accept();
    if (tapped && m_onClose)
        m_onClose();
}
