#include "decode/microarch_fleet.hpp"

#include <algorithm>
#include <tuple>

void ArchspecFleet::Add(const ArchspecProcessor& machine) {
    vendor_ = count_ == 0 || vendor_ == machine.vendorId ? machine.vendorId : "";
    ++count_;
    for (size_t i = 0; i < book_.size(); ++i) {
        fits_[i] += ArchspecFits(book_, i, machine) ? 1 : 0;
    }
}

std::optional<size_t> ArchspecFleet::NextTarget(const std::optional<size_t>& common) const {
    std::optional<size_t> next;
    std::optional<size_t> root = FindArchspecTarget(book_, kArchspecRoot);
    for (size_t i = 0; i < book_.size() && root; ++i) {
        std::vector<size_t> ancestors = ArchspecAncestors(book_, i);
        auto descends = [&](size_t from) {
            return i == from || std::find(ancestors.begin(), ancestors.end(), from) != ancestors.end();
        };
        bool above = common ? i != *common && descends(*common) : descends(*root);
        if (!above || fits_[i] == 0 || !ArchspecVendorFits(book_[i], vendor_)) {
            continue;
        }
        auto rank = [this](size_t target) {
            return std::make_tuple(fits_[target], ArchspecAncestors(book_, target).size(),
                                   book_[target].features.size());
        };
        if (!next || rank(i) > rank(*next)) {
            next = i;
        }
    }
    return next;
}
