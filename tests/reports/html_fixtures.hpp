// Synthetic processors for the report tests, built from the register layouts
// of the standard, extended and Transmeta leaves (not taken from any dump).
#pragma once

#include "support/cpuid_tables.hpp"

#include <string>

// A small data file naming a few features and descriptors of the processors below.
extern const char kReportTestDatabase[];

// A family 5 Intel processor with leaves 0 and 1 only; time-stamp counter present.
CpuidTable OnlyLeavesZeroAndOne();

// A Transmeta processor answering every leaf the report reads: standard 0 to
// 3, extended up to 0x80000008 and Transmeta up to 0x80860007.
CpuidTable EverySectionTransmeta();

// An AMD processor up to extended leaf 0x80000007, for runs without a data file.
CpuidTable AmdUpToPowerLeaf();

// The page head and foot every report starts and ends with, CR LF included.
std::string ExpectedReportHead();
std::string ExpectedReportFoot();
