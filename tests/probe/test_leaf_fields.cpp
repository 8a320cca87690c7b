// The field decode of --decode on real dumps: the table the data file holds
// against the CSVs it is generated from, hand-checked fields, and what the
// processors of a hybrid part differ in.
#include "decode/field_differences.hpp"
#include "decode/field_meaning.hpp"
#include "names/field_table.hpp"
#include "names/processor_db.hpp"
#include "outputs/details_output.hpp"
#include "support/capability_support.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace {

IniFile ShippedDatabase() {
    return OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
}

// "31:0" or "5" as the data file writes a range, from the table's numbers;
// "2+" for every sub-leaf from 2 up.
std::string RangeText(uint32_t low, uint32_t high) {
    if (high == kEverySubleafAbove) {
        return std::to_string(low) + "+";
    }
    return low == high ? std::to_string(low) : std::to_string(high) + ":" + std::to_string(low);
}

// The sub-leaves of a cpuid-fields.csv row as the data file holds them: the
// highest range of a leaf of cpuid-repeating-leaves.csv is open ("0+").
std::map<std::pair<uint32_t, std::string>, std::string> OpenRangesOfCsv() {
    std::set<uint32_t> repeating;
    for (const auto& cells : ReadDataCsv("cpuid-repeating-leaves.csv")) {
        repeating.insert(static_cast<uint32_t>(std::stoul(cells.at(0), nullptr, 16)));
    }
    std::map<uint32_t, std::pair<unsigned long, std::string>> highest;
    for (const auto& cells : ReadDataCsv("cpuid-fields.csv")) {
        uint32_t leaf = static_cast<uint32_t>(std::stoul(cells.at(0), nullptr, 16));
        unsigned long high = std::stoul(cells.at(1));
        if (repeating.count(leaf) != 0 && (highest.count(leaf) == 0 || high >= highest[leaf].first)) {
            highest[leaf] = {high, cells[1]};
        }
    }
    EXPECT_EQ(highest.size(), repeating.size()) << "a repeating leaf without fields";
    std::map<std::pair<uint32_t, std::string>, std::string> opened;
    for (const auto& [leaf, range] : highest) {
        size_t colon = range.second.find(':');
        opened[{leaf, range.second}] = range.second.substr(colon == std::string::npos ? 0 : colon + 1) + "+";
    }
    return opened;
}

using FieldRow = std::tuple<uint32_t, std::string, std::string, std::string, std::string>;

FieldRow RowOf(const FieldLayout& layout) {
    return {layout.leaf, RangeText(layout.firstSubleaf, layout.lastSubleaf), RegisterName(layout.reg),
            RangeText(layout.lowBit, layout.lowBit + layout.bitCount - 1), layout.name};
}

// Every row of cpuid-fields.csv is one field of the data file, with the kind
// and label cpuid-field-labels.csv gives it: run scripts/gen-field-table.py
// after editing either.
TEST(LeafFields, DataFileTableEqualsTheCsvs) {
    FieldTable table = ReadFieldTable(ShippedDatabase());
    std::set<FieldRow> fromFile;
    std::map<std::pair<uint32_t, std::string>, std::pair<std::string, std::string>> kinds;
    for (const FieldLayout& layout : table.fields) {
        fromFile.insert(RowOf(layout));
        kinds[{layout.leaf, layout.name}] = {FieldKindWord(layout.kind), layout.label};
    }
    for (const FieldLayout& layout : table.hypervisorFields.at(0).fields) {
        kinds[{layout.leaf, layout.name}] = {FieldKindWord(layout.kind), layout.label};
    }
    for (const auto& [field, kindAndLabel] : kinds) {
        EXPECT_FALSE(kindAndLabel.first == "flag" && kindAndLabel.second.empty())
            << std::hex << field.first << " " << field.second << ": a flag without a label";
    }
    std::set<FieldRow> fromCsv;
    auto opened = OpenRangesOfCsv();
    for (const auto& cells : ReadDataCsv("cpuid-fields.csv")) {
        ASSERT_EQ(cells.size(), 5u);
        uint32_t leaf = static_cast<uint32_t>(std::stoul(cells[0], nullptr, 16));
        auto open = opened.find({leaf, cells[1]});
        fromCsv.insert({leaf, open != opened.end() ? open->second : cells[1], cells[3], cells[2], cells[4]});
    }
    std::set<FieldRow> fromFileSwapped;
    for (const auto& [leaf, subleaves, reg, bits, name] : fromFile) {
        fromFileSwapped.insert({leaf, subleaves, bits, reg, name});
    }
    EXPECT_EQ(fromFileSwapped, fromCsv);
    for (const auto& cells : ReadDataCsv("cpuid-field-labels.csv")) {
        ASSERT_EQ(cells.size(), 4u);
        auto found = kinds.find({static_cast<uint32_t>(std::stoul(cells[0], nullptr, 16)), cells[1]});
        ASSERT_NE(found, kinds.end()) << cells[0] << " " << cells[1] << " labels no field";
        EXPECT_EQ(found->second, std::make_pair(cells[2], cells[3])) << cells[0] << " " << cells[1];
    }
    ASSERT_EQ(table.hypervisorFields.size(), 1u);
    EXPECT_EQ(table.hypervisorFields[0].fields.size(), ReadDataCsv("kvm-leaves.csv").size());
}

struct FieldCase {
    const char* processor;
    const char* dump;
    size_t cpu;
    uint32_t leaf;
    uint32_t subleaf;
    const char* name;
    uint32_t value;
    const char* meaning;
};

// Values read by hand from each dump's registers.
const FieldCase kFieldCases[] = {
    // 4.0 EBX 0x02C0003F on a P-core, 0x01C0003F on an E-core: ways 31:22.
    {"Raptor Lake P-core L1 data", "GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 4, 0, "cache_nways", 11,
     "12 ways"},
    {"Raptor Lake E-core L1 data", "GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 16, 4, 0, "cache_nways", 7,
     "8 ways"},
    {"Raptor Lake base clock", "GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x16, 0, "cpu_base_mhz",
     3000, "3000 MHz"},
    {"Raptor Lake E-core type", "GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 16, 0x1A, 0, "core_type", 0x20,
     "efficiency (Atom)"},
    {"Raptor Lake core level", "GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x1F, 1, "domain_type", 2,
     "core"},
    {"Raptor Lake second TLB", "GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x18, 1, "tlb_type", 2,
     "instruction"},
    // 0x80000008 EAX 0x00003030 on Granite Ridge: 48 physical, 48 linear bits.
    {"Granite Ridge physical bits", "AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 0, 0x80000008, 0,
     "phys_addr_bits", 48, "48 bits"},
    {"Granite Ridge L2 ways", "AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 0, 0x80000006, 0,
     "l2_assoc", 8, "16 ways"},
    {"Granite Ridge L1 data TLB", "AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 0, 0x80000005, 0,
     "l1_dtlb_4k_assoc", 0xFF, "fully associative"},
    {"Genoa KVM clock source", "AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt", 0, 0x40000001, 0,
     "clocksource", 1, ""},
    {"Crusoe vendor bytes", "GenuineTMx860000543_Crusoe_CPUID.txt", 0, 0, 0, "cpu_vendorid_0", 0x756E6547,
     "\"Genu\""},
};

TEST(LeafFields, HandCheckedFieldsOfRealDumps) {
    IniFile database = ShippedDatabase();
    FieldTable table = ReadFieldTable(database);
    DescriptorNames names = ReadDescriptorNames(database);
    for (const FieldCase& row : kFieldCases) {
        CpuidSnapshot snapshot = LoadTestDump(row.dump);
        bool found = false;
        for (const DecodedField& field : DecodeLeafFields(snapshot, row.cpu, table)) {
            if (field.leaf == row.leaf && field.subleaf == row.subleaf && field.layout != nullptr &&
                field.layout->name == row.name) {
                EXPECT_EQ(field.value, row.value) << row.processor;
                EXPECT_EQ(FieldMeaning(field, names), row.meaning) << row.processor;
                found = true;
            }
        }
        EXPECT_TRUE(found) << row.processor;
    }
}

// A leaf 2 register with bit 31 set holds no descriptors: the Northwood's
// leaf 2 (EAX 0x665B5001, EDX 0x007B7040) with bit 31 of EDX set keeps the
// descriptors of EAX and marks EDX instead of naming its bytes.
TEST(LeafFields, Leaf2RegisterWithBit31HoldsNoDescriptors) {
    IniFile database = ShippedDatabase();
    FieldTable table = ReadFieldTable(database);
    DescriptorNames names = ReadDescriptorNames(database);
    CpuidSnapshot snapshot = LoadTestDump("GenuineIntel0000F24_P4_Northwood_CPUID.txt");
    snapshot.cpus[0].leaves[LeafKey{2, 0}].edx |= 0x80000000u;
    std::map<std::string, std::string> meanings;
    for (const DecodedField& field : DecodeLeaf(snapshot, 0, table, 2, 0)) {
        meanings[field.layout->name] = FieldMeaning(field, names);
    }
    for (const char* name : {"desc12", "desc13", "desc14", "desc15"}) {
        EXPECT_EQ(meanings.count(name), 0u) << name;
    }
    EXPECT_EQ(meanings["edx_invalid"], "register holds no descriptors");
    EXPECT_EQ(meanings["eax_invalid"], "");
    EXPECT_EQ(meanings.count("desc1"), 1u);
    EXPECT_EQ(meanings.count("desc3"), 1u);
}

// Leaves no table describes keep their registers, and are never dropped.
TEST(LeafFields, LeavesWithoutATableStayRaw) {
    CpuidSnapshot snapshot = LoadTestDump("GenuineTMx860000543_Crusoe_CPUID.txt");
    FieldTable table = ReadFieldTable(ShippedDatabase());
    std::set<LeafKey> raw;
    for (const DecodedField& field : DecodeLeafFields(snapshot, 0, table)) {
        if (field.layout == nullptr) {
            raw.insert({field.leaf, field.subleaf});
        }
    }
    for (uint32_t leaf = 0x80860000; leaf <= 0x80860007; ++leaf) {
        EXPECT_EQ(raw.count({leaf, 0}), 1u) << std::hex << leaf;
    }
}

// The efficiency cores of a Raptor Lake differ from processor 0 in their
// caches and core type; the other performance cores in nothing.
TEST(LeafFields, HybridPartDiffersPerKindOfCore) {
    CpuidSnapshot snapshot = LoadTestDump("GenuineIntel00B0671_RaptorLake_01_CPUID.txt");
    TopologyFacts topology = DecodeTopology(snapshot, false);
    FieldTable table = ReadFieldTable(ShippedDatabase());
    SnapshotFields fields = DecodeSnapshotFields(snapshot, table, topology);
    ASSERT_EQ(fields.spans.size(), 2u);
    EXPECT_EQ(std::make_pair(fields.spans[0].firstCpu, fields.spans[0].lastCpu), std::make_pair(1u, 15u));
    EXPECT_TRUE(fields.spans[0].changes.empty());
    EXPECT_EQ(std::make_pair(fields.spans[1].firstCpu, fields.spans[1].lastCpu), std::make_pair(16u, 31u));
    std::set<std::string> changed;
    for (const FieldChange& change : fields.spans[1].changes) {
        if (change.other && change.other->layout != nullptr) {
            changed.insert(change.other->layout->name);
        }
    }
    for (const char* name : {"cache_nways", "cache_nsets", "core_type", "cpu_max_mhz"}) {
        EXPECT_EQ(changed.count(name), 1u) << name;
    }
    EXPECT_EQ(changed.count("x2apic_id"), 0u);
    EXPECT_EQ(fields.ids.rows.size(), 32u);
}

// Every recorded sub-leaf of a leaf whose sub-leaves repeat one layout is
// read with that layout: over every dump, no processor differs from the
// first in a raw register of such a leaf (0xB.2 EDX on a 2-thread KVM guest
// is its x2APIC id), and an id repeated in every sub-leaf is one column.
TEST(LeafFields, RepeatedSubleavesDecodeWithTheirLayout) {
    FieldTable table = ReadFieldTable(ShippedDatabase());
    std::set<uint32_t> repeating;
    for (const auto& cells : ReadDataCsv("cpuid-repeating-leaves.csv")) {
        repeating.insert(static_cast<uint32_t>(std::stoul(cells.at(0), nullptr, 16)));
    }
    for (const std::string& dump : TestDumpNames()) {
        CpuidSnapshot snapshot = LoadTestDump(dump);
        SnapshotFields fields = DecodeSnapshotFields(snapshot, table, DecodeTopology(snapshot, false));
        for (const DecodedField& field : fields.first) {
            EXPECT_FALSE(field.layout == nullptr && repeating.count(field.leaf) != 0)
                << dump << " " << LeafPlaceText(field.leaf, field.subleaf) << " is raw";
        }
        for (const ProcessorSpan& span : fields.spans) {
            for (const FieldChange& change : span.changes) {
                const DecodedField& place = change.first ? *change.first : *change.other;
                EXPECT_FALSE(place.layout == nullptr && repeating.count(place.leaf) != 0)
                    << dump << " cpu " << span.firstCpu << " differs in raw "
                    << LeafPlaceText(place.leaf, place.subleaf);
            }
        }
        std::set<std::pair<uint32_t, const FieldLayout*>> columns;
        for (const IdColumn& column : fields.ids.columns) {
            EXPECT_TRUE(columns.insert({column.leaf, column.layout}).second)
                << dump << " " << column.layout->name;
        }
    }
}

// --list and --json read only the field sections the details need: over
// every dump, those sections give the same details as the whole table.
TEST(LeafFields, DetailsNeedOnlyTheirFieldLeaves) {
    IniFile database = ShippedDatabase();
    FieldTable whole = ReadFieldTable(database);
    FieldTable part = ReadFieldTable(database, DetailFieldLeaves());
    EXPECT_LT(part.fields.size(), whole.fields.size() / 2);
    DescriptorNames names = ReadDescriptorNames(database);
    for (const std::string& dump : TestDumpNames()) {
        CpuidSnapshot snapshot = LoadTestDump(dump);
        CapabilityFacts facts = DecodeCapabilities(snapshot, {}, names, false);
        std::ostringstream fromWhole;
        std::ostringstream fromPart;
        for (const FieldTable* table : {&whole, &part}) {
            ProcessorDetails details =
                DecodeProcessorDetails(snapshot, *table, names, facts.topology, facts.os);
            std::ostringstream& out = table == &whole ? fromWhole : fromPart;
            WriteDetailsList(details, out);
            out << HypervisorFeaturesJson(details);
        }
        EXPECT_EQ(fromPart.str(), fromWhole.str()) << dump;
    }
}

} // namespace
