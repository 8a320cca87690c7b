#include "classic/menu_sections.hpp"

#include "classic/html_report.hpp"
#include "classic/views.hpp"

const MenuSection kMenuSections[12] = {
    {'I', "  [I] Processor Identity", false, [](const ProcessorRecord& r) { return HasStandardLeaf(r, 1); },
     &SectionFlagSet::identity, ShowProcessorIdentity, WriteIdentitySection},
    {'F', "  [F] Std. Features", false, [](const ProcessorRecord& r) { return HasStandardLeaf(r, 1); },
     &SectionFlagSet::stdFeatures, ShowStandardFeatures, WriteStdFeaturesSection},
    {'C', "  [C] Std. Processor Configuration Descriptor", false,
     [](const ProcessorRecord& r) { return HasStandardLeaf(r, 2); }, &SectionFlagSet::stdConfig,
     ShowConfigurationDescriptors, WriteConfigDescriptorSection},
    {'i', "  [i] Ext. Processor Identity", true,
     [](const ProcessorRecord& r) { return HasExtendedLeaf(r, 0x80000001); }, &SectionFlagSet::extIdentity,
     ShowExtendedIdentity, WriteExtIdentitySection},
    {'f', "  [f] Ext. Features", false,
     [](const ProcessorRecord& r) { return HasExtendedLeaf(r, 0x80000001); }, &SectionFlagSet::extFeatures,
     ShowExtendedFeatures, WriteExtFeaturesSection},
    {'1', "  [1] Ext. L1 Cache Configuration", false,
     [](const ProcessorRecord& r) { return HasExtendedLeaf(r, 0x80000005); }, &SectionFlagSet::l1Cache,
     ShowL1Cache, WriteL1CacheSection},
    {'2', "  [2] Ext. L2 Cache Configuration", false,
     [](const ProcessorRecord& r) { return HasExtendedLeaf(r, 0x80000006); }, &SectionFlagSet::l2Cache,
     ShowL2Cache, WriteL2CacheSection},
    {'P', "  [P] Enhanced Power Management", false,
     [](const ProcessorRecord& r) { return HasExtendedLeaf(r, 0x80000007); },
     &SectionFlagSet::powerManagement, ShowPowerManagement, WritePowerManagementSection},
    {'H', "  [H] Physical Address and Linear Address Size", false,
     [](const ProcessorRecord& r) { return HasExtendedLeaf(r, 0x80000008); }, &SectionFlagSet::addressWidths,
     ShowAddressSizes, WriteAddressSizeSection},
    {'T', "  [T] Transmeta Processor Identity", true,
     [](const ProcessorRecord& r) { return HasTransmetaLeaf(r, 0x80860001); },
     &SectionFlagSet::transmetaIdentity, ShowTransmetaIdentity, WriteTransmetaIdentitySection},
    {'t', "  [t] Transmeta Processor Features", false,
     [](const ProcessorRecord& r) { return HasTransmetaLeaf(r, 0x80860001); },
     &SectionFlagSet::transmetaFeatures, ShowTransmetaFeatures, WriteTransmetaFeaturesSection},
    {'S', "  [S] Transmeta Current Status", false,
     [](const ProcessorRecord& r) { return HasTransmetaLeaf(r, 0x80860007); },
     &SectionFlagSet::transmetaStatus, ShowTransmetaStatus, WriteTransmetaStatusSection},
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
