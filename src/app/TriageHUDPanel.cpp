#include "app/TriageHUDPanel.h"

#include "platform/UserDefaults.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString placeGroup = QStringLiteral("HUDWindow/");
constexpr int rememberDelayMs = 500;
// A place counts as on a screen when at least this much of the window shows there: enough
// to see it and take hold of it.
constexpr int reachableWidth = 120;
constexpr int reachableHeight = 60;

bool reachable(const QRect& place)
{
    const QSize needed(std::min(reachableWidth, place.width()),
                       std::min(reachableHeight, place.height()));
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = place.intersected(screen->availableGeometry());
        if (shown.width() >= needed.width() && shown.height() >= needed.height())
            return true;
    }
    return false;
}

} // namespace

TriageHUDPanel::TriageHUDPanel(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TriageHUDPanel"));
    setWindowTitle(QStringLiteral("Stowbird"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(minimumWidth, minimumHeight);
    resize(defaultWidth, defaultHeight);
    m_defaults = UserDefaults::open();
    m_rememberTimer = new QTimer(this);
    m_rememberTimer->setSingleShot(true);
    m_rememberTimer->setInterval(rememberDelayMs);
    connect(m_rememberTimer, &QTimer::timeout, this, &TriageHUDPanel::rememberPlace);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

// The notice's widgets are made when there is one to show: at launch the window is shown
// before any widget in it needs fonts or a style.
void TriageHUDPanel::makeNotice()
{
    m_notice = new QWidget(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setAutoFillBackground(true);
    QPalette palette = m_notice->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ToolTipText));
    m_notice->setPalette(palette);
    auto* row = new QHBoxLayout(m_notice);
    row->setContentsMargins(12, 8, 12, 8);
    m_noticeText = new QLabel(m_notice);
    m_noticeText->setObjectName(QStringLiteral("noticeText"));
    m_noticeText->setWordWrap(true);
    m_noticeText->setTextFormat(Qt::PlainText);
    m_noticeText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_noticeText, 1);
    auto* dismiss = new QPushButton(tr("Dismiss"), m_notice);
    dismiss->setObjectName(QStringLiteral("noticeDismiss"));
    dismiss->setFocusPolicy(Qt::NoFocus);
    row->addWidget(dismiss);
    connect(dismiss, &QPushButton::clicked, this, [this] { setNotice({}); });
    m_layout->insertWidget(0, m_notice);
    m_notice->hide();
}

void TriageHUDPanel::setNotice(const QString& text)
{
    if (!m_notice) {
        if (text.isEmpty())
            return;
        makeNotice();
    }
    m_noticeText->setText(text);
    m_notice->setVisible(!text.isEmpty());
}

QString TriageHUDPanel::notice() const
{
    return m_noticeText ? m_noticeText->text() : QString();
}

bool TriageHUDPanel::isNoticeShown() const
{
    return m_notice && !m_notice->isHidden();
}

void TriageHUDPanel::setContentView(QWidget* content)
{
    if (m_content == content)
        return;
    if (m_content) {
        m_layout->removeWidget(m_content);
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = content;
    if (content) {
        // The content covers the panel, so its paint is the window's first frame.
        if (!m_painted)
            content->installEventFilter(this);
        content->setParent(this);
        m_layout->addWidget(content);
        content->show();
    }
}

TriageHUDPanel::~TriageHUDPanel() = default;

void TriageHUDPanel::presentCentered()
{
    centreOn(QGuiApplication::primaryScreen());
    show();
    raise();
    activateWindow();
}

void TriageHUDPanel::present()
{
    // Already open: brought forward where it is, wherever the user has just dragged it.
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    const QScreen* screen = screenUnderPointer();
    const QRect place = screen ? m_defaults->value(placeSettingsKey(screen)).toRect() : QRect();
    if (place.isValid()) {
        resize(place.size().expandedTo(minimumSize()));
        if (reachable(QRect(place.topLeft(), size())))
            move(place.topLeft());
        else
            centreOn(screen);
    } else {
        centreOn(screen);
    }
    show();
    raise();
    activateWindow();
}

QString TriageHUDPanel::placeSettingsKey(const QScreen* screen)
{
    const QRect area = screen->geometry();
    QString key = QStringLiteral("%1 %2,%3 %4x%5")
                      .arg(screen->name())
                      .arg(area.x())
                      .arg(area.y())
                      .arg(area.width())
                      .arg(area.height());
    // Slashes would make groups of the key.
    key.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return placeGroup + key;
}

QScreen* TriageHUDPanel::screenUnderPointer() const
{
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    return QGuiApplication::primaryScreen();
}

void TriageHUDPanel::centreOn(const QScreen* screen)
{
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // A window that was never shown has no frame yet: its size stands for the frame's.
    const QSize frame = isVisible() ? frameGeometry().size() : size();
    move(available.x() + (available.width() - frame.width()) / 2,
         available.y() + (available.height() - frame.height()) / 2);
}

void TriageHUDPanel::rememberPlace()
{
    m_rememberTimer->stop();
    const QScreen* on = screen();
    if (!on)
        return;
    m_defaults->setValue(placeSettingsKey(on), QRect(pos(), size()));
}

void TriageHUDPanel::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (isVisible())
        m_rememberTimer->start();
}

void TriageHUDPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        m_rememberTimer->start();
}

void TriageHUDPanel::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    rememberPlace();
}

void TriageHUDPanel::closeEvent(QCloseEvent* event)
{
    // Closing only hides the panel; the owner discards its content.
    event->ignore();
    hide();
    emit closedByUser();
}

void TriageHUDPanel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    notePainted();
}

bool TriageHUDPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched == m_content) {
        watched->removeEventFilter(this);
        notePainted();
    }
    return QWidget::eventFilter(watched, event);
}

void TriageHUDPanel::notePainted()
{
    if (m_painted)
        return;
    m_painted = true;
    emit firstFramePainted();
}
