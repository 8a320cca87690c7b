// A strict check of the JSON the program writes.
#pragma once

#include <string_view>

// True when text is exactly one JSON value (RFC 8259) with optional blanks
// around it: objects, arrays, strings with valid escapes and no raw control
// bytes, numbers, true, false and null. Nesting deeper than 64 is refused.
bool IsWellFormedJson(std::string_view text);
