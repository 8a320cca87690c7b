// Text from another machine made harmless for a terminal.
#pragma once

#include <string>
#include <string_view>

// The text with every control byte (0x00-0x1F and 0x7F) replaced by '?'.
// Escape and other control sequences inside a text a terminal is to show
// could otherwise move the cursor, clear the screen or set the window title.
std::string SanitizeForTerminal(std::string_view text);
