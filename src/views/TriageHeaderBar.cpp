#include "views/TriageHeaderBar.h"

#include "models/TriageKeyTable.h"
#include "views/BusyIndicator.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QToolButton* headerButton(const QString& symbol, const QString& tooltip, const QString& name,
                          QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(SymbolIcons::icon(symbol, Theme::secondary(parent->palette())));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tooltip);
    // Icon-only: screen readers need the words ("Keyboard Shortcuts"), and the key.
    button->setAccessibleName(tooltip.section(QStringLiteral(" ("), 0, 0));
    button->setAccessibleDescription(tooltip);
    return button;
}

} // namespace

TriageHeaderBar::TriageHeaderBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("header"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(8);
    m_trayIcon = new QLabel(this);
    m_trayIcon->setObjectName(QStringLiteral("trayIcon"));
    layout->addWidget(m_trayIcon);
    layout->addWidget(
        Theme::label(QStringLiteral("Stowbird"), 13, QFont::Bold, Theme::primary(palette()), this));
    layout->addWidget(
        Theme::label(QStringLiteral("•"), 13, QFont::Normal, Theme::secondary(palette()), this));
    m_countLabel = Theme::label({}, 13, QFont::Normal, Theme::secondary(palette()), this);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    layout->addWidget(m_countLabel);
    m_spinner = new BusyIndicator(this);
    m_spinner->setObjectName(QStringLiteral("progressIndicator"));
    layout->addSpacing(6);
    layout->addWidget(m_spinner);
    layout->addStretch(1);

    using Action = TriageKeyTable::Action;
    auto* help = headerButton(
        QStringLiteral("questionmark.circle"),
        tr("Keyboard Shortcuts (%1)").arg(TriageKeyTable::entry(Action::toggleCheatSheet).keyName),
        QStringLiteral("cheatSheetButton"), this);
    connect(help, &QToolButton::clicked, this, &TriageHeaderBar::cheatSheetClicked);
    auto* settings = headerButton(QStringLiteral("gearshape"), tr("Configure Destination Slots"),
                                  QStringLiteral("settingsButton"), this);
    connect(settings, &QToolButton::clicked, this, &TriageHeaderBar::settingsClicked);
    auto* close =
        headerButton(QStringLiteral("xmark.circle.fill"),
                     tr("Close (%1)").arg(TriageKeyTable::entry(Action::closeWindow).keyName),
                     QStringLiteral("closeButton"), this);
    connect(close, &QToolButton::clicked, this, &TriageHeaderBar::closeClicked);
    layout->addWidget(help);
    layout->addWidget(settings);
    layout->addWidget(close);
}

void TriageHeaderBar::setWaiting(bool waiting)
{
    if (m_shownWaiting == int(waiting))
        return;
    m_shownWaiting = int(waiting);
    m_trayIcon->setPixmap(
        SymbolIcons::icon(waiting ? QStringLiteral("tray.full") : QStringLiteral("tray"))
            .pixmap(16, 16));
}

void TriageHeaderBar::setCountText(const QString& text)
{
    m_countLabel->setText(text);
}

void TriageHeaderBar::setBusy(bool busy)
{
    m_spinner->setVisible(busy);
}
