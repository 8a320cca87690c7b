#include "decode/vocabularies.hpp"

std::optional<ArchspecFacts> DescribeArchspecTarget(const ArchspecBook& book,
                                                    const ArchspecProcessor& processor) {
    std::optional<size_t> chosen = ChooseArchspecTarget(book, processor);
    if (!chosen) {
        return std::nullopt;
    }
    ArchspecFacts facts;
    facts.target = book[*chosen].name;
    facts.compilers = book[*chosen].compilers;
    if (std::optional<NearestTarget> nearest = NearestArchspecTarget(book, *chosen, processor)) {
        facts.nearest = book[nearest->target].name;
        facts.nearestLacks = nearest->lacks;
    }
    return facts;
}

namespace {

// Under a hypervisor, what the identified microarchitecture's target has
// that the processor does not report: a hypervisor hides features, silicon
// of that design has them all.
void AddIdentifiedTarget(const ArchspecBook& book, const ArchspecProcessor& processor,
                         const VocabularyProcessor& identity, ArchspecFacts& facts) {
    std::optional<size_t> identified = identity.generation.archspecTarget
                                           ? FindArchspecTarget(book, *identity.generation.archspecTarget)
                                           : std::nullopt;
    if (!identified) {
        return;
    }
    facts.identified = book[*identified].name;
    if (identity.hypervisor) {
        facts.hiddenByHypervisor = ArchspecMissing(book, *identified, processor);
    }
}

} // namespace

VocabularyFacts DecodeVocabularies(const CpuidSnapshot& snapshot, const VocabularyProcessor& identity,
                                   const std::optional<LinuxFlagBook>& linuxBook,
                                   const std::optional<ArchspecBook>& archspecBook) {
    VocabularyFacts facts;
    facts.generation = identity.generation;
    if (!linuxBook) {
        return facts;
    }
    facts.linuxFlags = DecodeLinuxFlags(snapshot, *linuxBook);
    if (archspecBook) {
        ArchspecProcessor processor{identity.vendorId, {facts.linuxFlags->begin(), facts.linuxFlags->end()}};
        facts.archspec = DescribeArchspecTarget(*archspecBook, processor);
        if (facts.archspec) {
            AddIdentifiedTarget(*archspecBook, processor, identity, *facts.archspec);
        }
    }
    return facts;
}
