// Single report sections written from a prepared record, for the rules the
// whole-page tests do not reach.
#include "classic/html_report.hpp"
#include "reports/report_support.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

// Writes one section from the record as the setup leaves it; returns the text.
std::string SectionText(const std::function<void(ProcessorRecord&)>& setup,
                        void (*writeSection)(TextFile&, const ProcessorRecord&)) {
    ResetWorld();
    ProcessorRecord record;
    record.stdFeatureStatus.fill(StatusHidden);
    record.extFeatureStatus.fill(StatusHidden);
    record.powerMgmtStatus.fill(StatusHidden);
    record.tmxFeatureStatus.fill(StatusHidden);
    setup(record);
    std::stringbuf page;
    RouteTextFilesTo(&page);
    TextFile section;
    EXPECT_TRUE(section.Create("section"));
    writeSection(section, record);
    EXPECT_TRUE(section.Close());
    RouteTextFilesTo(nullptr);
    return page.str();
}

struct SectionCase {
    const char* rule;
    std::function<void(ProcessorRecord&)> setup;
    void (*writeSection)(TextFile&, const ProcessorRecord&);
    std::string present; // a piece the section must hold
    const char* absent;  // a piece it must not hold, or nullptr
};

const SectionCase kSectionCases[] = {
    {"Cyrix names bit 24 itself",
     [](ProcessorRecord& r) {
         r.vendorId = "CyrixInstead";
         r.extFeatureNames[24] = "AMD MMX Extensions";
         r.extFeatureStatus[24] = StatusPresent;
     },
     WriteExtFeaturesSection,
     "<td class=field>Cyrix MMX+ Technology</td>\r\n       <td class=valyes>Yes</td>", "AMD MMX Extensions"},
    {"other vendors take bit 24 from the data file",
     [](ProcessorRecord& r) {
         r.vendorId = "AuthenticAMD";
         r.extFeatureNames[24] = "AMD MMX Extensions";
         r.extFeatureStatus[24] = StatusAbsent;
     },
     WriteExtFeaturesSection, "<td class=field>AMD MMX Extensions</td>\r\n       <td class=valno>No</td>",
     "Cyrix"},
    {"power bit 3 never in the report",
     [](ProcessorRecord& r) {
         r.powerMgmtNames[3] = "TTP";
         r.powerMgmtStatus[3] = StatusPresent;
     },
     WritePowerManagementSection, "Enhanced Power Management</td>", "TTP"},
    {"one logical processor leaves out the Hyper Threading row",
     [](ProcessorRecord& r) {
         r.stdFeatureStatus[28] = StatusPresent;
         r.logicalCount = 1;
     },
     WriteIdentitySection, "<td class=field>Stepping</td>", "Hyper Threading"},
    {"Hyper Threading row needs the bit present",
     [](ProcessorRecord& r) {
         r.stdFeatureStatus[28] = StatusAbsent;
         r.logicalCount = 2;
     },
     WriteIdentitySection, "<td class=field>Stepping</td>", "Hyper Threading"},
    {"brand ID 0 and speed 0 leave their rows out", [](ProcessorRecord&) {}, WriteIdentitySection,
     "<td class=field>Stepping</td>", "BRAND ID"},
    {"speed in an 8-character field",
     [](ProcessorRecord& r) {
         r.measuredMhz = 733.1234;
         r.normalizedMhz = 733;
     },
     WriteIdentitySection, "<td class=value> 733.123 MHz   [Normalized to 733 MHz]</td>", nullptr},
    {"family 15 is F", [](ProcessorRecord& r) { r.family = 15; }, WriteIdentitySection,
     "<td class=field>Family</td>\r\n       <td class=value>F</td>", nullptr},
    {"extended family byte 0x1F shows its low digit", [](ProcessorRecord& r) { r.extFamily = 0x1F; },
     WriteExtIdentitySection, "<td class=field>Family</td>\r\n       <td class=value>F</td>", nullptr},
    {"no brand string below leaf 0x80000004",
     [](ProcessorRecord& r) {
         r.maxExtendedLeaf = 0x80000003;
         r.brandString.fill('X');
     },
     WriteExtIdentitySection, "<td class=field>Stepping</td>", "Long Name"},
    {"brand string without a zero byte is shown whole",
     [](ProcessorRecord& r) {
         r.maxExtendedLeaf = 0x80000004;
         r.brandString.fill('X');
     },
     WriteIdentitySection, "<td class=value>XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX</td>", nullptr},
    {"Transmeta level 0x80860001 has no software revision",
     [](ProcessorRecord& r) { r.maxTransmetaLeaf = 0x80860001; }, WriteTransmetaIdentitySection,
     "<td class=field>Clock Frequency</td>", "Software Revision"},
    {"Transmeta level 0x80860002 has no information text",
     [](ProcessorRecord& r) { r.maxTransmetaLeaf = 0x80860002; }, WriteTransmetaIdentitySection,
     "<td class=field>Software Revision</td>", "Additional Information"},
    {"information text without a zero byte is shown whole",
     [](ProcessorRecord& r) {
         r.maxTransmetaLeaf = 0x80860007;
         r.tmxInfoText.fill('i');
     },
     WriteTransmetaIdentitySection, "<td class=value>" + std::string(64, 'i') + "</td>", nullptr},
    {"Transmeta information text is escaped",
     [](ProcessorRecord& r) {
         r.maxTransmetaLeaf = 0x80860007;
         const char text[] = "<i>\"LongRun\" & more</i>";
         std::copy(text, text + sizeof text - 1, r.tmxInfoText.begin());
     },
     WriteTransmetaIdentitySection, "<td class=value>&lt;i&gt;&quot;LongRun&quot; &amp; more&lt;/i&gt;</td>",
     "<i>"},
    {"voltage in millivolts", [](ProcessorRecord& r) { r.tmxCurrentVoltage = 950; },
     WriteTransmetaStatusSection, "<td class=field>Voltage</td>\r\n       <td class=value>950 mV</td>",
     nullptr},
    {"descriptor names are escaped", [](ProcessorRecord& r) { r.configNames[5] = "L2 <256 KB> & \"more\""; },
     WriteConfigDescriptorSection, "<td colspan=2 class=field>L2 &lt;256 KB&gt; &amp; &quot;more&quot;</td>",
     nullptr},
    {"L1 associativity 0 and 1 are way counts",
     [](ProcessorRecord& r) {
         r.l1Regs = {0x00080110, 0, 0, 0};
         r.l1Fields[0] = 0;
         r.l1Fields[1] = 8;
         r.l1Fields[2] = 1;
         r.l1Fields[3] = 16;
     },
     WriteL1CacheSection, "<td class=value>1 ways, 16 entries       </td>", "direct mapped"},
};

TEST(HtmlReportSections, RowsFollowTheRecord) {
    for (const SectionCase& c : kSectionCases) {
        std::string text = SectionText(c.setup, c.writeSection);
        EXPECT_NE(text.find(c.present), std::string::npos) << c.rule << "\n" << text;
        if (c.absent != nullptr) {
            EXPECT_EQ(text.find(c.absent), std::string::npos) << c.rule << "\n" << text;
        }
    }
}

TEST(HtmlReportSections, EmptyL2LeafGivesTitleAndSpacerOnly) {
    std::string text = SectionText(
        [](ProcessorRecord& r) {
            r.l2Regs = {0, 0, 0, 0x12345678};
        },
        WriteL2CacheSection);
    EXPECT_EQ(text, Crlf(R"(     <tr>
       <td colspan=3 class=title>L2 Cache and TLB Configuration</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
)"));
}

} // namespace
