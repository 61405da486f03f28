#include "views/CheatSheetOverlay.h"

#include "views/KeyboardCheatSheetView.h"

#include <QEasingCurve>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

namespace {
constexpr qreal startScale = 0.95;
}

CheatSheetOverlay::CheatSheetOverlay(const GlobalShortcutService& shortcut,
                                     std::function<void()> onDismiss, QWidget* parent)
    : QWidget(parent), m_onDismiss(std::move(onDismiss)),
      m_card(new KeyboardCheatSheetView(
          shortcut, [this] { dismiss(); }, this)),
      m_animation(new QVariantAnimation(this)),
      m_shadow(KeyboardCheatSheetView::cornerRadius, 20, QPoint(0, 10), QColor(0, 0, 0, 77))
{
    setObjectName(QStringLiteral("cheatSheetOverlay"));
    setFocusPolicy(Qt::StrongFocus);
    // The overlay holds the focus while open: a screen reader names the dialog it is in.
    setAccessibleName(tr("Keyboard Shortcuts"));
    m_animation->setDuration(animationMilliseconds);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setProgress(value.toReal()); });
    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
    placeCard();
}

CheatSheetOverlay::~CheatSheetOverlay() = default;

void CheatSheetOverlay::showAnimated()
{
    m_card->adjustSize();
    placeCard();
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    m_progress = 0.0;
    animateTo(1.0, false);
}

void CheatSheetOverlay::hideAnimated()
{
    if (!isVisible())
        return;
    animateTo(0.0, true);
}

void CheatSheetOverlay::animateTo(qreal target, bool hideAtEnd)
{
    m_animation->stop();
    disconnect(m_animation, &QVariantAnimation::finished, this, nullptr);
    m_snapshot = m_card->grab();
    m_card->hide();
    connect(m_animation, &QVariantAnimation::finished, this, [this, hideAtEnd] {
        m_snapshot = QPixmap();
        if (hideAtEnd) {
            hide();
            m_progress = 1.0;
        }
        m_card->show();
        update();
    });
    m_animation->setStartValue(m_progress);
    m_animation->setEndValue(target);
    m_animation->start();
}

void CheatSheetOverlay::setProgress(qreal progress)
{
    m_progress = progress;
    update();
}

bool CheatSheetOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void CheatSheetOverlay::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeCard();
}

void CheatSheetOverlay::placeCard()
{
    // The captions wrap, so the card's height follows from its fixed width.
    const int width = KeyboardCheatSheetView::cardWidth;
    const int height =
        m_card->hasHeightForWidth() ? m_card->heightForWidth(width) : m_card->sizeHint().height();
    QRect geometry(QPoint(0, 0), QSize(width, height));
    geometry.moveCenter(rect().center());
    m_card->setGeometry(geometry);
}

void CheatSheetOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, scrimOpacity * m_progress));

    const QRect cardRect = m_card->geometry();
    painter.save();
    if (!m_snapshot.isNull()) {
        // Grow from 95 % around the card's centre while fading in.
        const qreal scale = startScale + (1.0 - startScale) * m_progress;
        const QPointF centre = QRectF(cardRect).center();
        painter.translate(centre);
        painter.scale(scale, scale);
        painter.translate(-centre);
        painter.setOpacity(qBound(0.0, m_progress, 1.0));
    }
    m_shadow.paint(painter, cardRect);
    if (!m_snapshot.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(cardRect, m_snapshot);
    }
    painter.restore();
}

bool CheatSheetOverlay::onScrim(const QPointF& position) const
{
    return !m_card->geometry().contains(position.toPoint());
}

void CheatSheetOverlay::mousePressEvent(QMouseEvent* event)
{
    m_pressOnScrim = event->button() == Qt::LeftButton && onScrim(event->position());
    event->accept();
}

void CheatSheetOverlay::mouseReleaseEvent(QMouseEvent* event)
{
    const bool tapped =
        m_pressOnScrim && event->button() == Qt::LeftButton && onScrim(event->position());
    m_pressOnScrim = false;
    event->accept();
    if (tapped)
        dismiss();
}

void CheatSheetOverlay::keyPressEvent(QKeyEvent* event)
{
    // Nothing behind the scrim may react to keys while the sheet is up.
    event->accept();
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Question ||
        event->text() == QLatin1String("?"))
        dismiss();
}

void CheatSheetOverlay::dismiss()
{
    if (m_onDismiss)
        m_onDismiss();
}
