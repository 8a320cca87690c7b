#include "reports/report_support.hpp"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

uint32_t PackDword(const std::string& text, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        unsigned char c = at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
        value |= uint32_t{c} << (8 * i);
    }
    return value;
}

void AddTextLeaves(CpuidTable& table, uint32_t firstLeaf, int leafCount, const std::string& text) {
    for (int n = 0; n < leafCount; ++n) {
        size_t at = static_cast<size_t>(16 * n);
        table[firstLeaf + static_cast<uint32_t>(n)] = CpuidRegs{
            PackDword(text, at), PackDword(text, at + 4), PackDword(text, at + 8), PackDword(text, at + 12)};
    }
}

} // namespace

std::streamsize FullMediumBuffer::xsputn(const char* text, std::streamsize count) {
    size_t room = capacity_ - kept_.size();
    size_t taken = std::min(room, static_cast<size_t>(count));
    kept_.append(text, taken);
    if (taken < static_cast<size_t>(count)) {
        errno = ENOSPC;
    }
    return static_cast<std::streamsize>(taken);
}

FullMediumBuffer::int_type FullMediumBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    char one = traits_type::to_char_type(c);
    return xsputn(&one, 1) == 1 ? c : traits_type::eof();
}

bool PathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string Crlf(std::string_view text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

void AddBrandLeaves(CpuidTable& table, const std::string& text) {
    AddTextLeaves(table, 0x80000002u, 3, text);
}

void AddTransmetaInfoLeaves(CpuidTable& table, const std::string& text) {
    AddTextLeaves(table, 0x80860003u, 4, text);
}

std::string TitleRow(std::string_view title) {
    return "     <tr>\n       <td colspan=3 class=title>" + std::string(title) + "</td>\n     </tr>\n";
}

std::string FieldRow(std::string_view field, std::string_view value) {
    return "     <tr>\n       <td></td>\n       <td class=field>" + std::string(field) +
           "</td>\n       <td class=value>" + std::string(value) + "</td>\n     </tr>\n";
}

std::string FlagRow(std::string_view name, bool present) {
    return "     <tr>\n       <td></td>\n       <td class=field>" + std::string(name) + "</td>\n" +
           (present ? "       <td class=valyes>Yes</td>\n" : "       <td class=valno>No</td>\n") +
           "     </tr>\n";
}

std::string SpacerRow() {
    return "     <tr>\n       <td colspan=3><br></td>\n     </tr>\n";
}
