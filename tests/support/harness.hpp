// Shared test fixtures: string streams for the console, the processor the
// tests' world holds (a CPUID table), no data file unless a test reads one,
// a fixed clock, and a probe into a local record.
#pragma once

#include "classic/clock.hpp"
#include "classic/menu_program.hpp"
#include "classic/record.hpp"
#include "console/console_io.hpp"
#include "names/processor_db.hpp"
#include "support/cpuid_tables.hpp"

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

// No database (OpenDatabase finds no file) and the given CPUID table as the
// world's processor.
void ResetWorld(const CpuidTable& table = {});

// The world's processor as the program reads it.
const CpuidSnapshot& WorldSnapshot();

// The world's clock: a fixed 465206000 ticks (930.412 MHz, normalised to 933).
uint32_t WorldClockTicks();

// The machine the menu program runs on in tests: the world's processor and clock.
MachineSources WorldMachine();

// Probes the world's processor into the record, names from the database, the
// progress lines on the console when verbose.
void ProbeWorld(ProcessorRecord& record, const IniFile& database, bool verbose = false);

// A fresh record probed from the world's processor, names from the database.
ProcessorRecord ProbedRecord(const IniFile& database = {});

// Joins lines, each followed by CR LF.
std::string Lines(std::initializer_list<std::string> lines);
