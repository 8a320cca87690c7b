#include "app/fleet_vocabulary.hpp"

#include "decode/feature_words.hpp"
#include "names/capability_names.hpp"
#include "names/reference_books.hpp"

#include <algorithm>

namespace {

const char kNamesSwitch[] = "--names";

} // namespace

NameBooks ReadNameBooks(const IniFile& database) {
    return NameBooks{ReadFeatureNameBook(database), ReadLinuxFlagBook(database), ReadArchspecBook(database)};
}

bool TakeNamesSwitch(std::vector<std::string>& operands, Vocabulary& vocabulary, std::string& reason) {
    auto at = std::find(operands.begin(), operands.end(), kNamesSwitch);
    if (at == operands.end()) {
        return true;
    }
    std::string word = at + 1 == operands.end() ? "" : *(at + 1);
    if (word != "linux" && word != "cpuid") {
        reason = "--names needs linux or cpuid";
        return false;
    }
    vocabulary = word == "linux" ? Vocabulary::Linux : Vocabulary::Cpuid;
    operands.erase(at, at + 2);
    return true;
}

FleetMachine ReadFleetMachine(const CpuidSnapshot& snapshot, const NameBooks& books, bool fromHardware) {
    FleetMachine machine;
    machine.cpuid = ReadMachineFeatures(snapshot, books.cpuid, fromHardware);
    if (books.linuxFlags) {
        machine.linuxFlags = LinuxFlagMask(snapshot, *books.linuxFlags);
    }
    machine.vendorId = snapshot.cpus.empty() ? "" : VendorIdText(snapshot.Answer(0, 0));
    return machine;
}

MachineFeatures FeaturesIn(const FleetMachine& machine, Vocabulary vocabulary) {
    if (vocabulary == Vocabulary::Cpuid) {
        return machine.cpuid;
    }
    return MachineFeatures{machine.linuxFlags, machine.cpuid.level};
}

MaskNamer NamerOf(const NameBooks& books, Vocabulary vocabulary) {
    if (vocabulary == Vocabulary::Linux && books.linuxFlags) {
        return [&books](const FeatureMask& mask) { return NameLinuxFlagMask(mask, *books.linuxFlags); };
    }
    return [&books](const FeatureMask& mask) { return NameFeatureMask(mask, books.cpuid); };
}

ArchspecProcessor ArchspecProcessorOf(const NameBooks& books, const std::string& vendorId,
                                      const FeatureMask& linuxFlags) {
    ArchspecProcessor processor{vendorId, {}};
    if (books.linuxFlags) {
        for (const FeatureGroup& group : NameLinuxFlagMask(linuxFlags, *books.linuxFlags)) {
            processor.flags.insert(group.bits.named.begin(), group.bits.named.end());
        }
    }
    return processor;
}
