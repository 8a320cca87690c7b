#include "decode/capabilities.hpp"

#include "cpuid/registers.hpp"
#include "decode/cache_descriptors.hpp"

CapabilityFacts DecodeCapabilities(const CpuidSnapshot& snapshot, const FeatureNameBook& book,
                                   const DescriptorNames& descriptorNames, bool fromHardware) {
    CapabilityFacts facts;
    facts.fromHardware = fromHardware;
    facts.identity = ReadSnapshotIdentity(snapshot);
    facts.hypervisor = ReadHypervisor(snapshot);
    facts.os = JudgeOsSupport(snapshot, fromHardware);
    facts.levels = JudgeLevels(snapshot, book, facts.os);
    facts.featureGroups = DecodeFeatureGroups(snapshot, book);
    facts.features = JoinFeatureGroups(facts.featureGroups);
    facts.avx10 = ReadAvx10(snapshot);
    facts.topology = DecodeTopology(snapshot, fromHardware && !snapshot.singleProcessorFallback);
    facts.caches = DecodeCaches(snapshot, facts.topology, descriptorNames);
    facts.cacheDescriptors = ReadCacheDescriptors(snapshot, 0);
    facts.longMode = FeatureBitSet(snapshot, FeatureBit{{kExtendedBase + 1, 0, kEdx}, kBitLongMode});
    return facts;
}
