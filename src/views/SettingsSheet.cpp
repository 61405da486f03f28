#include "views/SettingsSheet.h"

#include "views/SettingsView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

SettingsSheet::SettingsSheet(ConfigurationService& configService,
                             LaunchAtLoginService& launchAtLogin, UpdateService& updates,
                             TelemetryService& telemetry, const GlobalShortcutService& shortcut,
                             std::function<void()> onClose, QWidget* parent)
    : QWidget(parent), m_view(new SettingsView(configService, launchAtLogin, updates, telemetry,
                                               shortcut, std::move(onClose))),
      m_frame(new QScrollArea(this)), m_shadow(10, 20, QPoint(0, 10), QColor(0, 0, 0, 77))
{
    setObjectName(QStringLiteral("settingsSheet"));
    m_frame->setFrameShape(QFrame::NoFrame);
    m_frame->setWidgetResizable(false);
    m_frame->setAlignment(Qt::AlignCenter);
    m_frame->setAutoFillBackground(false);
    m_frame->viewport()->setAutoFillBackground(false);
    m_frame->setWidget(m_view);
    // The view takes the focus when the sheet opens: to a screen reader it is the dialog.
    m_view->setAccessibleName(tr("Stowbird Preferences"));
    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
    placeView();
}

bool SettingsSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void SettingsSheet::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeView();
}

void SettingsSheet::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    raise();
    m_view->setFocus(Qt::OtherFocusReason);
}

void SettingsSheet::placeView()
{
    // Full size when the window allows it, with a margin when there is room for one;
    // otherwise the view scrolls inside the window.
    const QSize full = m_view->size();
    QSize room = size();
    if (room.width() >= full.width() + 2 * margin)
        room.setWidth(room.width() - 2 * margin);
    if (room.height() >= full.height() + 2 * margin)
        room.setHeight(room.height() - 2 * margin);
    QRect frame(QPoint(0, 0), full.boundedTo(room));
    frame.moveCenter(rect().center());
    m_frame->setGeometry(frame);
    const bool fits = frame.size() == full;
    m_frame->setVerticalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    m_frame->setHorizontalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    update();
}

void SettingsSheet::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, scrimOpacity));
    m_shadow.paint(painter, m_frame->geometry());
}

void SettingsSheet::mousePressEvent(QMouseEvent* event)
{
    // The window behind a sheet takes no clicks.
    event->accept();
}
