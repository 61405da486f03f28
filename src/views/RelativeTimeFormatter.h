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
    // Milliseconds from now until format's text for date next changes: the next whole
    // second under a minute, the next whole minute under an hour, and so on; never more
    // than maximumWaitMs, so that a timer set from it stays in range.
    static qint64 msUntilChange(const QDateTime& date,
                                const QDateTime& now = QDateTime::currentDateTimeUtc());
    static constexpr qint64 maximumWaitMs = 3600 * 1000;
};
