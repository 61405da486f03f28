#include "views/RelativeTimeFormatter.h"

#include <cstdlib>

QString RelativeTimeFormatter::format(const QDateTime& date, const QDateTime& now)
{
    const qint64 seconds = date.secsTo(now); // positive: in the past
    const qint64 magnitude = std::llabs(seconds);
    struct Unit
    {
        qint64 seconds;
        const char* singular;
        const char* plural;
    };
    static constexpr Unit units[] = {
        {365LL * 24 * 3600, "year", "years"},
        {30LL * 24 * 3600, "month", "months"},
        {7LL * 24 * 3600, "week", "weeks"},
        {24LL * 3600, "day", "days"},
        {3600, "hour", "hours"},
        {60, "minute", "minutes"},
        {1, "second", "seconds"},
    };
    qint64 count = 0;
    const Unit* chosen = &units[std::size(units) - 1];
    for (const Unit& unit : units) {
        if (magnitude >= unit.seconds) {
            chosen = &unit;
            count = magnitude / unit.seconds;
            break;
        }
    }
    const QString amount = QStringLiteral("%1 %2").arg(count).arg(
        QLatin1String(count == 1 ? chosen->singular : chosen->plural));
    return seconds >= 0 ? amount + QStringLiteral(" ago") : QStringLiteral("in ") + amount;
}
