#include "platform/UtcTimestamp.h"

#include <ctime>

namespace {

void putDigits(char* out, std::int64_t value, int digits) noexcept
{
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
}

} // namespace

void UtcTimestamp::format(std::int64_t seconds, char* out) noexcept
{
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from a day count (proleptic Gregorian calendar), after Howard Hinnant's
    // days_from_civil inverse; no table and no library call, so it is signal-safe.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 0)
        year = 0;
    if (year > 9999)
        year = 9999;

    putDigits(out, year, 4);
    out[4] = '-';
    putDigits(out + 5, month, 2);
    out[7] = '-';
    putDigits(out + 8, day, 2);
    out[10] = 'T';
    putDigits(out + 11, rest / 3600, 2);
    out[13] = ':';
    putDigits(out + 14, rest / 60 % 60, 2);
    out[16] = ':';
    putDigits(out + 17, rest % 60, 2);
    out[19] = 'Z';
    out[20] = '\0';
}

void UtcTimestamp::formatNow(char* out) noexcept
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    format(std::int64_t(now.tv_sec), out);
}

QString UtcTimestamp::now()
{
    char text[length + 1];
    formatNow(text);
    return QString::fromLatin1(text, length);
}
