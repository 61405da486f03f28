#pragma once

#include <QDateTime>
#include <QString>

// "5 minutes ago", "in 2 hours": a date relative to now, in full units. Now is read in UTC:
// the difference is the same and no time-zone lookup is made.
class RelativeTimeFormatter
{
public:
    static QString format(const QDateTime& date,
                          const QDateTime& now = QDateTime::currentDateTimeUtc());
};
