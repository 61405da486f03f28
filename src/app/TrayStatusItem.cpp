#include "app/TrayStatusItem.h"

#include "platform/TrayHostWatcher.h"
#include "services/LoggerService.h"
#include "views/TrayBadgeIcon.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <algorithm>
#include <climits>

TrayStatusItem::TrayStatusItem(QMenu* menu, LoggerService& logger, QObject* parent)
    : QObject(parent), m_menu(menu), m_logger(logger)
{
}

void TrayStatusItem::watchForTray()
{
    // The icon is created only once a tray host is known to run. Qt decides at the first
    // tray icon it makes whether StatusNotifierItem can be used and keeps that answer for the
    // whole process, so asking before a host runs would rule it out.
    m_hostWatcher = new TrayHostWatcher(TrayHostWatcher::Sources{}, this);
    connect(m_hostWatcher, &TrayHostWatcher::trayHostAppeared, this, &TrayStatusItem::showIcon);
    if (m_hostWatcher->isAvailable())
        showIcon();
}

bool TrayStatusItem::isHostAvailable() const
{
    return m_hostWatcher && m_hostWatcher->isAvailable();
}

void TrayStatusItem::showIcon()
{
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        m_icon->setContextMenu(m_menu);
        // A click shows the window or puts it away again; a double click (a click, then
        // the double click) leaves it shown.
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger)
                        emit clicked();
                    else if (reason == QSystemTrayIcon::DoubleClick)
                        emit doubleClicked();
                });
        m_shownCount = -1;
        emit iconCreated();
        applyToIcon();
        m_logger.info(QStringLiteral("Tray found; showing the tray icon."));
    } else {
        m_logger.info(QStringLiteral("Tray appeared again; placing the icon."));
    }
    // Hiding and showing again hands the icon to the tray host that is there now.
    m_icon->hide();
    m_icon->show();
}

void TrayStatusItem::show(const Status& status)
{
    const int count = int(std::min<qsizetype>(status.waiting, INT_MAX));
    const QString inboxZero = tr("Stowbird: Downloads Inbox Zero");
    m_toolTip = count > 0          ? tr("Stowbird: %n waiting", nullptr, count)
                : status.scanning  ? tr("Stowbird: Looking through Downloads…")
                : status.finishing ? tr("Stowbird: Finishing…")
                                   : inboxZero;
    // What stops Stowbird comes with what to do, in place of a claim that all is done.
    if (!status.problems.isEmpty())
        m_toolTip = m_toolTip == inboxZero ? tr("Stowbird: %1").arg(status.problems)
                                           : m_toolTip + u'\n' + status.problems;
    m_waiting = status.waiting;
    applyToIcon();
}

void TrayStatusItem::applyToIcon()
{
    if (!m_icon)
        return;
    m_icon->setToolTip(m_toolTip);
    // The icon only changes with its badge text; skip redrawing the same picture.
    const int count = int(std::min<qsizetype>(m_waiting, INT_MAX));
    const int shown = count > 99 ? 100 : count;
    if (shown == m_shownCount)
        return;
    m_shownCount = shown;
    m_icon->setIcon(TrayBadgeIcon::icon(count));
}
