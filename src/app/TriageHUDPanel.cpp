#include "app/TriageHUDPanel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TriageHUDPanel::TriageHUDPanel(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TriageHUDPanel"));
    setWindowTitle(QStringLiteral("Stowbird"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(minimumWidth, minimumHeight);
    resize(defaultWidth, defaultHeight);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

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
    auto* dismiss = new QPushButton(QStringLiteral("Dismiss"), m_notice);
    dismiss->setObjectName(QStringLiteral("noticeDismiss"));
    dismiss->setFocusPolicy(Qt::NoFocus);
    row->addWidget(dismiss);
    connect(dismiss, &QPushButton::clicked, this, [this] { setNotice({}); });
    m_layout->addWidget(m_notice);
    m_notice->hide();
}

void TriageHUDPanel::setNotice(const QString& text)
{
    m_noticeText->setText(text);
    m_notice->setVisible(!text.isEmpty());
}

QString TriageHUDPanel::notice() const
{
    return m_noticeText->text();
}

bool TriageHUDPanel::isNoticeShown() const
{
    return !m_notice->isHidden();
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

void TriageHUDPanel::presentCentered()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        // Frame size includes decorations once the window has been shown.
        const QSize frame = isVisible() ? frameGeometry().size() : size();
        move(available.x() + (available.width() - frame.width()) / 2,
             available.y() + (available.height() - frame.height()) / 2);
    }
    show();
    raise();
    activateWindow();
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
