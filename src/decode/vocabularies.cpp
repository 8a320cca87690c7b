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

VocabularyFacts DecodeVocabularies(const CpuidSnapshot& snapshot, const std::string& vendorId,
                                   const std::optional<LinuxFlagBook>& linuxBook,
                                   const std::optional<ArchspecBook>& archspecBook) {
    VocabularyFacts facts;
    if (!linuxBook) {
        return facts;
    }
    facts.linuxFlags = DecodeLinuxFlags(snapshot, *linuxBook);
    if (archspecBook) {
        ArchspecProcessor processor{vendorId, {facts.linuxFlags->begin(), facts.linuxFlags->end()}};
        facts.archspec = DescribeArchspecTarget(*archspecBook, processor);
    }
    return facts;
}
