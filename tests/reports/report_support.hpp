// Helpers of the report tests: a medium that fills up, whole-file reading,
// CR LF expectations from readable text, and brand-string leaves.
#pragma once

#include "support/cpuid_tables.hpp"
#include "support/text.hpp"

#include <streambuf>
#include <string>
#include <string_view>

// Keeps the first `capacity` bytes written to it, then fails every further
// write as a full disk does (errno ENOSPC).
class FullMediumBuffer : public std::streambuf {
  public:
    explicit FullMediumBuffer(size_t capacity) : capacity_(capacity) {}
    const std::string& Kept() const { return kept_; }

  protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type c) override;

  private:
    size_t capacity_;
    std::string kept_;
};

bool PathExists(const std::string& path);

// Text with every "\n" turned into CR LF, so expectations read like the file.
std::string Crlf(std::string_view text);

// The common rows of a report page, with "\n" line ends for Crlf: a section
// title, a field and its value, a feature with Yes or No, the empty spacer.
std::string TitleRow(std::string_view title);
std::string FieldRow(std::string_view field, std::string_view value);
std::string FlagRow(std::string_view name, bool present);
std::string SpacerRow();

// Puts text (at most 48 bytes, zero-filled) into leaves 0x80000002 to 0x80000004.
void AddBrandLeaves(CpuidTable& table, const std::string& text);

// Puts text (at most 64 bytes, zero-filled) into leaves 0x80860003 to 0x80860006.
void AddTransmetaInfoLeaves(CpuidTable& table, const std::string& text);
