#include "app/TriageHUDPanel.h"

#include <QCloseEvent>
#include <QGuiApplication>
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
