// archspec's choice of a microarchitecture target for a processor, by
// archspec's own rules: a target fits when it descends from x86_64, belongs
// to the processor's vendor (or to none, "generic") and every feature it
// names is among the processor's Linux flags. Of the fitting targets the
// best generic one (most ancestors, then most features) is found first, and
// the answer is the best of the fitting targets that descend from it, or
// that generic target itself when none does. The targets come from the data
// file and are handed in.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

// One compiler's flags for a target over a range of its versions,
// "LOW:HIGH" with either side open (archspec's notation).
struct CompilerFlagRange {
    std::string compiler; // "gcc", "clang"
    std::string versions;
    std::string flags; // "-march=znver4 -mtune=znver4"
};

struct ArchspecTarget {
    std::string name;
    std::string vendor; // vendor identification, or "generic"
    std::vector<std::string> parents;
    std::vector<std::string> features; // Linux flag names
    std::vector<CompilerFlagRange> compilers;
};

// Parents before children, in archspec's own order (which breaks its ties).
using ArchspecBook = std::vector<ArchspecTarget>;

constexpr const char kArchspecGeneric[] = "generic";
constexpr const char kArchspecRoot[] = "x86_64";

// What the archspec choice needs of a processor.
struct ArchspecProcessor {
    std::string vendorId;
    std::set<std::string> flags; // its Linux flag names
};

// The index of the target of that name, or none.
std::optional<size_t> FindArchspecTarget(const ArchspecBook& book, const std::string& name);

// Every ancestor of the target once, nearest first (as archspec lists them).
std::vector<size_t> ArchspecAncestors(const ArchspecBook& book, size_t target);

// The target's features the processor lacks, in the target's order.
std::vector<std::string> ArchspecMissing(const ArchspecBook& book, size_t target,
                                         const ArchspecProcessor& processor);

// True when the target's vendor is "generic" or the processor's.
bool ArchspecVendorFits(const ArchspecTarget& target, const std::string& vendorId);

// True when the target descends from (or is) x86_64, its vendor fits and
// nothing of it is missing.
bool ArchspecFits(const ArchspecBook& book, size_t target, const ArchspecProcessor& processor);

// archspec's choice; none when no target fits (a processor without 64-bit
// mode, or a book without x86_64).
std::optional<size_t> ChooseArchspecTarget(const ArchspecBook& book, const ArchspecProcessor& processor);

// A target above the choice and what the processor lacks of it.
struct NearestTarget {
    size_t target = 0;
    std::vector<std::string> lacks;
};

// Of the vendor's own targets (not generic ones) that descend from the
// choice, the one the processor lacks the fewest features of (ties: the one
// archspec would rank higher); none when the vendor has no such target.
std::optional<NearestTarget> NearestArchspecTarget(const ArchspecBook& book, size_t chosen,
                                                   const ArchspecProcessor& processor);

// What a named target needs that the processor lacks: another vendor, and
// the features it lacks (with "lm" first when the target is a 64-bit one and
// the processor has no 64-bit mode).
struct ArchspecShortfall {
    std::optional<std::string> vendor; // the target's vendor, when it is not the processor's
    std::vector<std::string> missing;
    bool None() const { return !vendor && missing.empty(); }
};

ArchspecShortfall ArchspecShortfallOf(const ArchspecBook& book, size_t target,
                                      const ArchspecProcessor& processor);
