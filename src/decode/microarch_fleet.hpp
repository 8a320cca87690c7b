// archspec's targets over a fleet: the vendor every machine shares, and how
// many machines each target fits, gathered one machine at a time, so that
// the target above the fleet's common one that most machines reach can be
// named with the machines that keep the fleet below it.
#pragma once

#include "decode/microarch_targets.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class ArchspecFleet {
  public:
    explicit ArchspecFleet(const ArchspecBook& book) : book_(book), fits_(book.size(), 0) {}

    void Add(const ArchspecProcessor& machine);

    // The vendor of every machine, or "" when they differ (only generic
    // targets then fit the fleet).
    const std::string& CommonVendor() const { return vendor_; }

    // Of the targets above common (every x86_64 target when there is none)
    // whose vendor fits the fleet, the one most machines fit (of those, the
    // one archspec ranks highest); none when no machine fits any.
    std::optional<size_t> NextTarget(const std::optional<size_t>& common) const;

  private:
    const ArchspecBook& book_;
    std::vector<size_t> fits_; // machines each target fits
    std::string vendor_;
    size_t count_ = 0;
};
