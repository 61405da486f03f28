#include "views/StatusAnnouncer.h"

#include <QAccessible>

StatusAnnouncer::StatusAnnouncer(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("statusAnnouncer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Shown (a hidden object is not read) but out of the way in a corner, drawing nothing.
    setGeometry(0, 0, 1, 1);
}

void StatusAnnouncer::announce(const QString& text, Urgency urgency)
{
    if (text.isEmpty())
        return;
    m_text = text;
    m_urgency = urgency;
    ++m_count;
    // The name carries the text; "showing" again is the cue readers act on.
    setAccessibleName(text);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
