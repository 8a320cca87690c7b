#include "classic/menu_sections.hpp"

#include "classic/html_report.hpp"
#include "classic/views.hpp"

const MenuSection kMenuSections[12] = {
    {'I', "  [I] Processor Identity", false,
     [](const ProcessorRecord& record) { return HasStandardLeaf(record, 1); }, &SectionFlagSet::identity,
     [](const ProcessorRecord& record, const RunState&) { ShowProcessorIdentity(record); },
     WriteIdentitySection},
    {'F', "  [F] Std. Features", false,
     [](const ProcessorRecord& record) { return HasStandardLeaf(record, 1); }, &SectionFlagSet::stdFeatures,
     [](const ProcessorRecord& record, const RunState& run) { ShowStandardFeatures(record, run.textWidths); },
     WriteStdFeaturesSection},
    {'C', "  [C] Std. Processor Configuration Descriptor", false,
     [](const ProcessorRecord& record) { return HasStandardLeaf(record, 2); }, &SectionFlagSet::stdConfig,
     [](const ProcessorRecord& record, const RunState&) { ShowConfigurationDescriptors(record); },
     WriteConfigDescriptorSection},
    {'i', "  [i] Ext. Processor Identity", true,
     [](const ProcessorRecord& record) { return HasExtendedLeaf(record, 0x80000001); },
     &SectionFlagSet::extIdentity,
     [](const ProcessorRecord& record, const RunState&) { ShowExtendedIdentity(record); },
     WriteExtIdentitySection},
    {'f', "  [f] Ext. Features", false,
     [](const ProcessorRecord& record) { return HasExtendedLeaf(record, 0x80000001); },
     &SectionFlagSet::extFeatures,
     [](const ProcessorRecord& record, const RunState& run) { ShowExtendedFeatures(record, run.textWidths); },
     WriteExtFeaturesSection},
    {'1', "  [1] Ext. L1 Cache Configuration", false,
     [](const ProcessorRecord& record) { return HasExtendedLeaf(record, 0x80000005); },
     &SectionFlagSet::l1Cache, [](const ProcessorRecord& record, const RunState&) { ShowL1Cache(record); },
     WriteL1CacheSection},
    {'2', "  [2] Ext. L2 Cache Configuration", false,
     [](const ProcessorRecord& record) { return HasExtendedLeaf(record, 0x80000006); },
     &SectionFlagSet::l2Cache, [](const ProcessorRecord& record, const RunState&) { ShowL2Cache(record); },
     WriteL2CacheSection},
    {'P', "  [P] Enhanced Power Management", false,
     [](const ProcessorRecord& record) { return HasExtendedLeaf(record, 0x80000007); },
     &SectionFlagSet::powerManagement,
     [](const ProcessorRecord& record, const RunState& run) { ShowPowerManagement(record, run.textWidths); },
     WritePowerManagementSection},
    {'H', "  [H] Physical Address and Linear Address Size", false,
     [](const ProcessorRecord& record) { return HasExtendedLeaf(record, 0x80000008); },
     &SectionFlagSet::addressWidths,
     [](const ProcessorRecord& record, const RunState&) { ShowAddressSizes(record); },
     WriteAddressSizeSection},
    {'T', "  [T] Transmeta Processor Identity", true,
     [](const ProcessorRecord& record) { return HasTransmetaLeaf(record, 0x80860001); },
     &SectionFlagSet::transmetaIdentity,
     [](const ProcessorRecord& record, const RunState&) { ShowTransmetaIdentity(record); },
     WriteTransmetaIdentitySection},
    {'t', "  [t] Transmeta Processor Features", false,
     [](const ProcessorRecord& record) { return HasTransmetaLeaf(record, 0x80860001); },
     &SectionFlagSet::transmetaFeatures,
     [](const ProcessorRecord& record, const RunState&) { ShowTransmetaFeatures(record); },
     WriteTransmetaFeaturesSection},
    {'S', "  [S] Transmeta Current Status", false,
     [](const ProcessorRecord& record) { return HasTransmetaLeaf(record, 0x80860007); },
     &SectionFlagSet::transmetaStatus,
     [](const ProcessorRecord& record, const RunState&) { ShowTransmetaStatus(record); },
     WriteTransmetaStatusSection},
};

const MenuSection* FindMenuSection(char key) {
    for (const MenuSection& section : kMenuSections) {
        if (section.key == key) {
            return &section;
        }
    }
    return nullptr;
}

std::vector<ReportSection> MenuReportSections() {
    std::vector<ReportSection> sections;
    for (const MenuSection& section : kMenuSections) {
        sections.push_back(ReportSection{section.flag, section.writeReport});
    }
    return sections;
}
