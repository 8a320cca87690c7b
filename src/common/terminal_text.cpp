#include "common/terminal_text.hpp"

namespace {

bool IsControlByte(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

} // namespace

std::string SanitizeForTerminal(std::string_view text) {
    std::string safe(text);
    for (char& c : safe) {
        if (IsControlByte(static_cast<unsigned char>(c))) {
            c = '?';
        }
    }
    return safe;
}
