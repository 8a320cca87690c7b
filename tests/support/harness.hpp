// Shared test fixtures: string streams for the console, recorded CPUID
// tables, no data file unless a test reads one, and a probe into a local record.
#pragma once

#include "console/console_io.hpp"
#include "database/processor_db.hpp"
#include "probe/clock.hpp"
#include "probe/cpuid.hpp"
#include "probe/record.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

// Console input, output and error messages swapped for strings while it lives.
class ConsoleCapture {
  public:
    explicit ConsoleCapture(const std::string& input = "") : input_(input) {
        SetConsoleStreams(&input_, &output_);
        SetConsoleErrorStream(&errors_);
    }
    ~ConsoleCapture() {
        SetConsoleStreams(nullptr, nullptr);
        SetConsoleErrorStream(nullptr);
    }
    std::string Output() const { return output_.str(); }
    std::string Errors() const { return errors_.str(); }
    void Clear() { output_.str(""); }

  private:
    std::istringstream input_;
    std::ostringstream output_;
    std::ostringstream errors_;
};

// Writes text into a fresh file under the test's temporary folder and returns its path.
std::string WriteTempFile(const std::string& name, const std::string& text);

// Reads a database made of the given INI text.
IniFile OpenDatabaseText(const std::string& iniText);

// No database (OpenDatabase finds no file), the given CPUID table, a fixed clock of
// 465206000 ticks (930.412 MHz, normalised to 933).
void ResetWorld(const CpuidTable& table = {});

// A fresh record probed from the CPUID table in use, names from the database.
ProcessorRecord ProbedRecord(const IniFile& database = {});

// Joins lines, each followed by CR LF.
std::string Lines(std::initializer_list<std::string> lines);
