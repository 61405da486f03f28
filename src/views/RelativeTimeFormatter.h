#pragma once

#include <QDateTime>
#include <QString>

// "5 minutes ago", "in 2 hours": a date relative to now, in full units.
class RelativeTimeFormatter
{
public:
    static QString format(const QDateTime& date,
                          const QDateTime& now = QDateTime::currentDateTime());
};
