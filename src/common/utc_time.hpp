// Times of day in UTC as RFC 3339 writes them, and the durations of an
// option ("90s", "30m", "12h", "7d", "1h30m").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// "2025-03-01T12:00:00Z" for the seconds since 1970-01-01T00:00:00Z.
std::string Rfc3339Utc(int64_t unixSeconds);

// The seconds of one or more parts of digits and a unit (s, m, h, d); none
// for anything else, a duration of zero, or more than 100 years.
std::optional<int64_t> ParseDurationSeconds(const std::string& text);
