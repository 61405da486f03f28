#include "views/RelativeTimeFormatter.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <iterator>

QString RelativeTimeFormatter::format(const QDateTime& date, const QDateTime& now)
{
    const qint64 seconds = date.secsTo(now); // positive: in the past
    const qint64 magnitude = std::llabs(seconds);
    struct Unit
    {
        qint64 seconds;
        const char* past;
        const char* future;
    };
    static constexpr Unit units[] = {
        {365LL * 24 * 3600, QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "%n years ago"),
         QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "in %n years")},
        {30LL * 24 * 3600, QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "%n months ago"),
         QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "in %n months")},
        {7LL * 24 * 3600, QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "%n weeks ago"),
         QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "in %n weeks")},
        {24LL * 3600, QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "%n days ago"),
         QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "in %n days")},
        {3600, QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "%n hours ago"),
         QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "in %n hours")},
        {60, QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "%n minutes ago"),
         QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "in %n minutes")},
        {1, QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "%n seconds ago"),
         QT_TRANSLATE_N_NOOP("RelativeTimeFormatter", "in %n seconds")},
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
    // The counts are small (a year is 365 days), well within an int.
    return QCoreApplication::translate(
        "RelativeTimeFormatter", seconds >= 0 ? chosen->past : chosen->future, nullptr, int(count));
}

qint64 RelativeTimeFormatter::msUntilChange(const QDateTime& date, const QDateTime& now)
{
    // The units of format, largest first, in seconds.
    static constexpr qint64 unitSeconds[] = {
        365LL * 24 * 3600, 30LL * 24 * 3600, 7LL * 24 * 3600, 24LL * 3600, 3600, 60, 1};
    const qint64 elapsedMs = date.msecsTo(now);
    // A moment ahead of the clock (a file dated in the future) counts down: looked at
    // again every second until it has passed.
    if (elapsedMs < 0)
        return std::min<qint64>(1000, -elapsedMs);
    const qint64 magnitude = elapsedMs / 1000;
    const qint64* unit = std::find_if(std::begin(unitSeconds), std::end(unitSeconds) - 1,
                                      [magnitude](qint64 seconds) { return magnitude >= seconds; });
    // The count goes up at the next multiple of the unit, unless a larger unit takes over
    // first (four weeks become a month at 30 days, before the fifth week).
    qint64 next = (magnitude / *unit + 1) * *unit;
    for (const qint64* larger = std::begin(unitSeconds); larger != unit; ++larger) {
        if (*larger > magnitude)
            next = std::min(next, *larger);
    }
    return std::clamp<qint64>(next * 1000 - elapsedMs, 1, maximumWaitMs);
}
