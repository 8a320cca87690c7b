#include "common/utc_time.hpp"

#include <cstdio>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kLongestDuration = 100LL * 366 * kSecondsPerDay;

struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

// The proleptic Gregorian date of a day counted from 1970-01-01, in 400-year
// eras of 146097 days.
CivilDate DateOfDay(int64_t days) {
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    unsigned day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    unsigned month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

int64_t UnitSeconds(char unit) {
    switch (unit) {
    case 's':
        return 1;
    case 'm':
        return 60;
    case 'h':
        return 3600;
    case 'd':
        return kSecondsPerDay;
    default:
        return 0;
    }
}

} // namespace

std::string Rfc3339Utc(int64_t unixSeconds) {
    int64_t days =
        unixSeconds >= 0 ? unixSeconds / kSecondsPerDay : (unixSeconds - kSecondsPerDay + 1) / kSecondsPerDay;
    int64_t secondOfDay = unixSeconds - days * kSecondsPerDay;
    CivilDate date = DateOfDay(days);
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ",
                  static_cast<long long>(date.year), date.month, date.day,
                  static_cast<long long>(secondOfDay / 3600), static_cast<long long>(secondOfDay / 60 % 60),
                  static_cast<long long>(secondOfDay % 60));
    return text;
}

std::optional<int64_t> ParseDurationSeconds(const std::string& text) {
    int64_t total = 0;
    size_t i = 0;
    while (i < text.size()) {
        int64_t number = 0;
        size_t digits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
            number = number * 10 + (text[i] - '0');
            if (number > kLongestDuration) {
                return std::nullopt;
            }
        }
        int64_t unit = i < text.size() ? UnitSeconds(text[i]) : 0;
        if (digits == 0 || unit == 0) {
            return std::nullopt;
        }
        ++i;
        total += number * unit;
        if (total > kLongestDuration) {
            return std::nullopt;
        }
    }
    if (total == 0) {
        return std::nullopt;
    }
    return total;
}
