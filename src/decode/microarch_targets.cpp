#include "decode/microarch_targets.hpp"

#include <algorithm>
#include <utility>

namespace {

// archspec's ranking: more ancestors first, then more features.
std::pair<size_t, size_t> Rank(const ArchspecBook& book, size_t target) {
    return {ArchspecAncestors(book, target).size(), book[target].features.size()};
}

bool DescendsFrom(const ArchspecBook& book, size_t target, size_t ancestor) {
    std::vector<size_t> ancestors = ArchspecAncestors(book, target);
    return std::find(ancestors.begin(), ancestors.end(), ancestor) != ancestors.end();
}

// The best of the candidates by Rank; the first met wins a tie, as
// Python's max() does over archspec's table.
std::optional<size_t> Best(const ArchspecBook& book, const std::vector<size_t>& candidates) {
    std::optional<size_t> best;
    for (size_t candidate : candidates) {
        if (!best || Rank(book, candidate) > Rank(book, *best)) {
            best = candidate;
        }
    }
    return best;
}

bool Generic(const ArchspecTarget& target) {
    return target.vendor == kArchspecGeneric;
}

} // namespace

std::optional<size_t> FindArchspecTarget(const ArchspecBook& book, const std::string& name) {
    for (size_t i = 0; i < book.size(); ++i) {
        if (book[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<size_t> ArchspecAncestors(const ArchspecBook& book, size_t target) {
    std::vector<size_t> ancestors;
    std::vector<size_t> parents;
    for (const std::string& parent : book[target].parents) {
        std::optional<size_t> found = FindArchspecTarget(book, parent);
        // A parent listed after its child would be a loop; the book is
        // written parents first.
        if (found && *found < target) {
            parents.push_back(*found);
        }
    }
    ancestors = parents;
    for (size_t parent : parents) {
        for (size_t above : ArchspecAncestors(book, parent)) {
            if (std::find(ancestors.begin(), ancestors.end(), above) == ancestors.end()) {
                ancestors.push_back(above);
            }
        }
    }
    return ancestors;
}

std::vector<std::string> ArchspecMissing(const ArchspecBook& book, size_t target,
                                         const ArchspecProcessor& processor) {
    std::vector<std::string> missing;
    for (const std::string& feature : book[target].features) {
        if (processor.flags.count(feature) == 0 &&
            std::find(missing.begin(), missing.end(), feature) == missing.end()) {
            missing.push_back(feature);
        }
    }
    return missing;
}

bool ArchspecVendorFits(const ArchspecTarget& target, const std::string& vendorId) {
    return Generic(target) || target.vendor == vendorId;
}

bool ArchspecFits(const ArchspecBook& book, size_t target, const ArchspecProcessor& processor) {
    std::optional<size_t> root = FindArchspecTarget(book, kArchspecRoot);
    return root && (target == *root || DescendsFrom(book, target, *root)) &&
           ArchspecVendorFits(book[target], processor.vendorId) &&
           ArchspecMissing(book, target, processor).empty();
}

std::optional<size_t> ChooseArchspecTarget(const ArchspecBook& book, const ArchspecProcessor& processor) {
    // archspec's root needs 64-bit mode, which no feature list names.
    if (processor.flags.count("lm") == 0) {
        return std::nullopt;
    }
    std::vector<size_t> generic;
    std::vector<size_t> fitting;
    for (size_t i = 0; i < book.size(); ++i) {
        if (ArchspecFits(book, i, processor)) {
            (Generic(book[i]) ? generic : fitting).push_back(i);
        }
    }
    std::optional<size_t> bestGeneric = Best(book, generic);
    if (!bestGeneric) {
        return std::nullopt;
    }
    std::vector<size_t> above;
    for (size_t candidate : fitting) {
        if (DescendsFrom(book, candidate, *bestGeneric)) {
            above.push_back(candidate);
        }
    }
    return above.empty() ? bestGeneric : Best(book, above);
}

std::optional<NearestTarget> NearestArchspecTarget(const ArchspecBook& book, size_t chosen,
                                                   const ArchspecProcessor& processor) {
    std::optional<NearestTarget> nearest;
    for (size_t i = 0; i < book.size(); ++i) {
        if (Generic(book[i]) || book[i].vendor != processor.vendorId || !DescendsFrom(book, i, chosen)) {
            continue;
        }
        std::vector<std::string> lacks = ArchspecMissing(book, i, processor);
        bool better = !nearest || lacks.size() < nearest->lacks.size() ||
                      (lacks.size() == nearest->lacks.size() && Rank(book, i) > Rank(book, nearest->target));
        if (better) {
            nearest = NearestTarget{i, lacks};
        }
    }
    return nearest;
}

ArchspecShortfall ArchspecShortfallOf(const ArchspecBook& book, size_t target,
                                      const ArchspecProcessor& processor) {
    ArchspecShortfall shortfall;
    if (!ArchspecVendorFits(book[target], processor.vendorId)) {
        shortfall.vendor = book[target].vendor;
    }
    std::optional<size_t> root = FindArchspecTarget(book, kArchspecRoot);
    bool wide = root && (target == *root || DescendsFrom(book, target, *root));
    if (wide && processor.flags.count("lm") == 0) {
        shortfall.missing.push_back("lm");
    }
    for (const std::string& feature : ArchspecMissing(book, target, processor)) {
        shortfall.missing.push_back(feature);
    }
    return shortfall;
}
