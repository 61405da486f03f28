#include "views/TriageEmptyPage.h"

#include "models/TriageKeyTable.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TriageEmptyPage::TriageEmptyPage(const QString& downloadsFolder, QWidget* parent)
    : QWidget(parent), m_folder(downloadsFolder)
{
    setObjectName(QStringLiteral("emptyState"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 32, 32, 32);
    layout->setSpacing(16);
    layout->addStretch(1);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("inboxZeroIcon"));
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setFixedHeight(56);
    layout->addWidget(m_icon);
    m_title = Theme::label({}, 18, QFont::Bold, Theme::primary(palette()), this);
    m_title->setObjectName(QStringLiteral("emptyTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_title);
    m_message = Theme::label(tr("All completed downloads have been organized. Stowbird is "
                                "actively monitoring %1 for new files.")
                                 .arg(m_folder),
                             13, QFont::Normal, Theme::secondary(palette()), this);
    m_message->setObjectName(QStringLiteral("emptyMessage"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setFixedWidth(420);
    m_message->setMinimumHeight(m_message->heightForWidth(420));
    layout->addWidget(m_message, 0, Qt::AlignHCenter);
    m_reviewButton = new QPushButton(this);
    m_reviewButton->setObjectName(QStringLiteral("reviewSkippedButton"));
    m_reviewButton->setFocusPolicy(Qt::NoFocus);
    // Reachable by keyboard: Return on the empty state presses it (the window's key map
    // reads every key, so the button itself never needs the focus).
    const QString returnKey = TriageKeyTable::entry(TriageKeyTable::Action::reviewSkipped).keyName;
    m_reviewButton->setToolTip(
        tr("Bring the skipped files back into the queue (%1)").arg(returnKey));
    m_reviewButton->setAccessibleDescription(
        tr("Brings the skipped files back into the queue (%1)").arg(returnKey));
    m_reviewButton->setDefault(true);
    connect(m_reviewButton, &QPushButton::clicked, this, &TriageEmptyPage::reviewSkippedClicked);
    layout->addSpacing(8);
    layout->addWidget(m_reviewButton, 0, Qt::AlignHCenter);
    layout->addStretch(1);
}

void TriageEmptyPage::showState(State state, int otherInboxes,
                                const std::optional<QString>& progress, qsizetype skipped)
{
    showHeading(state);
    const QString watched = watchedText(otherInboxes);
    m_message->setText(state == State::Looking
                           ? tr("Stowbird is listing %1; the first file shows here "
                                "as soon as it is found.")
                                 .arg(watched)
                       : state == State::Finishing
                           ? (progress ? *progress
                                       : tr("Stowbird is finishing the last file action; the "
                                            "item comes back here if it fails."))
                           : tr("All completed downloads have been organized. Stowbird is "
                                "actively monitoring %1 for new files.")
                                 .arg(watched));
    m_reviewButton->setVisible(skipped > 0 && state != State::Looking);
    m_reviewButton->setText(tr("Review %n Skipped Files", nullptr, int(skipped)));
}

void TriageEmptyPage::showHeading(State state)
{
    // Redrawn only when it changes: the icon is rendered from a symbol.
    if (m_shownState == int(state))
        return;
    m_shownState = int(state);
    const bool done = state == State::InboxZero;
    m_icon->setPixmap(SymbolIcons::pixmap(
        done ? QStringLiteral("checkmark.circle") : QStringLiteral("tray"), 56,
        done ? Theme::green() : Theme::secondary(palette()), devicePixelRatioF()));
    m_title->setText(state == State::Looking     ? tr("Looking through Downloads…")
                     : state == State::Finishing ? tr("Finishing…")
                                                 : tr("Downloads Inbox Zero"));
}

QString TriageEmptyPage::watchedText(int otherInboxes) const
{
    // The other inboxes are counted rather than named: the message stays short.
    if (otherInboxes == 0)
        return m_folder;
    if (otherInboxes == 1)
        return tr("%1 and one other folder").arg(m_folder);
    return tr("%1 and %n other folders", nullptr, otherInboxes).arg(m_folder);
}
