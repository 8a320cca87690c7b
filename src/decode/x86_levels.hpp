// The x86-64 micro-architecture levels v1..v4 of the psABI: which the
// processor's CPUID bits meet, which the OS state allows, and what is missing.
#pragma once

#include "cpuid/snapshot.hpp"
#include "decode/feature_words.hpp"
#include "decode/os_support.hpp"

#include <array>
#include <optional>
#include <string>
#include <vector>

constexpr int kLevelCount = 4;

struct LevelVerdict {
    bool cpu = false;                 // every required bit of this and the lower levels is set
    std::optional<bool> os;           // the OS enables the level's vector state; none when unknown
    std::vector<std::string> missing; // names of the required bits that are clear
    // Met: the processor has it and the OS does not refuse it.
    bool Met() const { return cpu && os.value_or(true); }
};

struct LevelReport {
    int level = 0; // highest level met with every lower one, 0 when none
    std::array<LevelVerdict, kLevelCount> levels;
};

LevelReport JudgeLevels(const CpuidSnapshot& snapshot, const FeatureNameBook& book, const OsSupport& os);

// The level number (1..4) for "x86-64-v3" or "v3", or 0 for anything else.
int ParseLevelName(const std::string& text);

// "x86-64-vN", the name every output gives level N.
std::string LevelName(int level);
