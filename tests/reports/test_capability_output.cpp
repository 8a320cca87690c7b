// The --list and --json writers: every real dump's document is strict JSON
// with every schema key, hostile registers still give well-formed output,
// and --list never carries a control byte.
#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "outputs/capability_output.hpp"
#include "support/capability_support.hpp"
#include "support/json_check.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

#ifndef _WIN32
// Loads the document with Python's strict parser and checks every key of
// the veldrix/1 schema; prints what is wrong and exits 1.
const char kSchemaCheck[] = R"(import json, sys
def check(path):
  d = json.load(open(path, encoding='utf-8'))
  need = {'': ['schema','program','source','processor','hypervisor','x86_64','os_support','features',
               'unnamed_bits','avx10','caches','topology','cpus',
               'addresses','tlbs','clock','xsave','amx','pmu','speculation'],
    'addresses': ['physical_bits','linear_bits','guest_physical_bits'],
    'clock': ['measured_mhz','crystal_hz','tsc_numerator','tsc_denominator','tsc_hz','base_mhz','max_mhz',
              'bus_mhz'],
    'program': ['version','database_version'], 'source': ['kind','path'],
    'processor': ['vendor_id','vendor','brand','name','signature','family','model','stepping',
                  'base_family','base_model','extended_family','extended_model'],
    'hypervisor': ['present','vendor_id','name','features'], 'x86_64': ['level','levels'],
    'os_support': ['xcr0','sse','avx','avx512','amx'],
    'topology': ['logical_processors','packages','cores','threads_per_core','core_types']}
  bad = [(k, key) for k, keys in need.items() for key in keys if key not in (d[k] if k else d)]
  bad += [('levels', v) for v in ('v1','v2','v3','v4')
          if set(d['x86_64']['levels'].get(v, {})) != {'cpu','os','missing'}]
  cache_keys = {'level','type','size_kb','ways','fully_associative','line_bytes','sets','shared_by',
                'inclusive','core_type'}
  cpu_keys = {'index','os_cpu','apic_id','x2apic_id','core_type'}
  bad += [('caches', c) for c in d['caches'] if not cache_keys <= set(c)]
  bad += [('cpus', c) for c in d['cpus'] if not cpu_keys <= set(c)]
  tlb_keys = {'source','level','type','pages','entries','ways','fully_associative','descriptor','core_type'}
  bad += [('tlbs', t) for t in d['tlbs'] if set(t) != tlb_keys]
  if d['xsave'] is not None:
    bad += [('xsave', k) for k in ('supported_xcr0','supported_xss','xcr0','enabled_size','largest_size',
                                   'compacted_size','components') if k not in d['xsave']]
    bad += [('xsave', c) for c in d['xsave']['components']
            if set(c) != {'id','name','size','offset','supervisor','enabled','aligned_64'}]
  if d['amx'] is not None:
    bad += [('amx', k) for k in ('max_palette','palettes','tmul_maxk','tmul_maxn') if k not in d['amx']]
  if d['pmu'] is not None:
    bad += [('pmu', k) for k in ('source','version','general_counters','general_bits','fixed_counters',
                                 'fixed_bits','events','events_unavailable','northbridge_counters',
                                 'memory_controller_counters','branch_record_stack') if k not in d['pmu']]
  bad += [('speculation', k) for k, v in d['speculation'].items() if v not in (True, False, None)]
  if len(d['cpus']) != d['topology']['logical_processors'] and not d['topology']['stated_by_leaves']:
    bad.append(('cpus', len(d['cpus'])))
  if d['schema'] != 'veldrix/1': bad.append(('schema', d['schema']))
  return bad
bad = [(p, check(p)) for p in sys.argv[1:] if check(p)]
print(bad); sys.exit(1 if bad else 0)
)";
#endif

std::string JsonOf(const CapabilityFacts& facts, const CapabilitySource& source) {
    std::ostringstream out;
    WriteCapabilityJson(facts, source, out);
    return out.str();
}

std::string ListOf(const CapabilityFacts& facts) {
    std::ostringstream out;
    WriteCapabilityList(facts, CapabilitySource{}, out);
    return out.str();
}

std::string WriteTemp(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Python checks the schema keys of the documents written to these paths
// (each path preceded by a blank). The Windows test binary cannot start
// Python, so there the documents are only checked to be strict JSON.
void ExpectEverySchemaKey(const std::string& paths) {
#ifdef _WIN32
    (void)paths;
#else
    std::string script = WriteTemp("veldrix_schema_check.py", kSchemaCheck);
    EXPECT_EQ(std::system(("python3 " + script + paths).c_str()), 0);
#endif
}

TEST(CapabilityJson, EveryRealDumpIsStrictJsonWithEverySchemaKey) {
    std::string documents;
    for (const std::string& name : TestDumpNames()) {
        SCOPED_TRACE(name);
        CapabilitySource source{false, kTestDumpsDir + "/" + name, "test"};
        std::string json = JsonOf(DecodeWithDataFile(LoadTestDump(name)), source);
        EXPECT_TRUE(IsWellFormedJson(json));
        documents += " " + WriteTemp("veldrix_" + name + ".json", json);
    }
    ExpectEverySchemaKey(documents);
}

// Every leaf answering all ones, a sub-leaf and hypervisor maximum of
// 0xFFFFFFFF, and texts full of control bytes: long lists, no crash, and
// still strict JSON and one fact per line.
TEST(CapabilityJson, HostileRegistersGiveLongListsAndWellFormedOutput) {
    const CpuidRegs ones{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    std::vector<LeafRow> rows;
    for (uint32_t leaf : {0x0u, 0x1u, 0x6u, 0x7u, 0xDu, 0x19u, 0x24u, 0x40000000u, 0x40000100u, 0x80000000u,
                          0x80000001u, 0x80000002u, 0x80000003u, 0x80000004u, 0x80000007u, 0x80000008u,
                          0x8000000Au, 0x8000001Fu, 0x80000021u}) {
        for (uint32_t subleaf = 0; subleaf < 3; ++subleaf) {
            rows.push_back({leaf, subleaf, ones});
        }
    }
    rows.push_back({0, 0, {0xFFFFFFFF, 0x1B0A0D07, 0x075B1B00, 0x7F0A0D22}});
    rows.push_back({0x80000000, 0, {0x8000FFFF, 0, 0, 0}});
    CapabilityFacts facts = DecodeWithDataFile(SnapshotOf(rows));
    EXPECT_EQ(facts.features.named.size() + facts.features.unnamed.size(), 20u * 32u);
    EXPECT_EQ(facts.levels.level, 4);
    std::string json = JsonOf(facts, CapabilitySource{false, "dump\twith \"quotes\"\x01", "v"});
    EXPECT_TRUE(IsWellFormedJson(json));
    std::string list = ListOf(facts);
    EXPECT_TRUE(EveryLineEndsWith(list, kPlainLineEnd));
    for (char c : WithLfLines(list, kPlainLineEnd)) {
        unsigned char byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte == '\n' || (byte >= 0x20 && byte != 0x7F)) << "control byte " << int(byte);
    }
}

TEST(CapabilityJson, SnapshotWithoutProcessorsStillHasEveryKey) {
    CapabilityFacts facts = DecodeCapabilities(CpuidSnapshot{}, FeatureNameBook{}, DescriptorNames{}, true);
    std::string json = JsonOf(facts, CapabilitySource{});
    EXPECT_TRUE(IsWellFormedJson(json));
    ExpectEverySchemaKey(" " + WriteTemp("veldrix_empty.json", json));
}

struct EscapeCase {
    const char* name;
    std::string text;
    std::string literal;
};

const EscapeCase kEscapes[] = {
    {"plain", "AMD EPYC", "\"AMD EPYC\""},
    {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
    {"line ends and tab", "\r\n\t", "\"\\r\\n\\t\""},
    {"escape and delete", std::string("\x1B[2J\x7F", 5), "\"\\u001B[2J\\u007F\""},
    {"NUL", std::string("a\0b", 3), "\"a\\u0000b\""},
    {"byte above 0x7F", "\xA9\xFF", "\"\\u00A9\\u00FF\""},
};

TEST(JsonText, StringsAreEscapedToPlainAscii) {
    for (const EscapeCase& row : kEscapes) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(JsonString(row.text), row.literal);
        EXPECT_TRUE(IsWellFormedJson(row.literal));
    }
}

struct CheckCase {
    const char* text;
    bool wellFormed;
};

const CheckCase kChecks[] = {
    {"{\"a\": [1, -2.5e3, true, false, null, \"x\"]}", true},
    {"  [ ]  ", true},
    {"{}", true},
    {"\"\\u00e9\"", true},
    {"", false},
    {"{\"a\": 1,}", false},
    {"[1 2]", false},
    {"{a: 1}", false},
    {"[01]", false},
    {"\"tab\there\"", false},
    {"\"\\x41\"", false},
    {"[1] [2]", false},
    {"{\"a\": tru}", false},
    {"[\"unterminated]", false},
    {"-", false},
    {"1.", false},
};

TEST(JsonText, CheckerAcceptsOnlyStrictJson) {
    for (const CheckCase& row : kChecks) {
        EXPECT_EQ(IsWellFormedJson(row.text), row.wellFormed) << row.text;
    }
    EXPECT_FALSE(IsWellFormedJson(std::string(100, '[') + std::string(100, ']'))) << "too deep";
    EXPECT_TRUE(IsWellFormedJson(std::string(60, '[') + std::string(60, ']')));
}

} // namespace

namespace {

struct ProcessorRunsCase {
    const char* dump;
    const char* section; // the Processors section of --list, LF line ends
};

// Processors that follow each other in one package with one kind of core
// share a line; the counts are the hand-checked ones of these parts.
const ProcessorRunsCase kProcessorRuns[] = {
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt",
     "  cpus 0-15:            package 0, 8 cores, performance\n"
     "  cpus 16-31:           package 0, 16 cores, efficiency\n"},
    // Two performance cores apart, the low-power efficiency cores last.
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt",
     "  cpus 0-1:             package 0, 1 core, performance\n"
     "  cpus 2-9:             package 0, 8 cores, efficiency\n"
     "  cpus 10-11:           package 0, 1 core, performance\n"
     "  cpus 12-13:           package 0, 2 cores, efficiency (low power)\n"},
    {"AuthenticAMD0A60F12_K19_Raphael_10_CPUID.txt", "  cpus 0-7:             package 0, 4 cores\n"},
    // A single-threaded processor is one core of its package, even where the
    // package cannot be told.
    {"GenuineIntel0000633_P2_Klamath_CPUID.txt", "  cpu 0:                package unknown, 1 core\n"},
    // Single-threaded processors without APIC ids: a package each.
    {"GenuineIntel0000683_P3_Coppermine_CPUID.txt", "  cpu 0:                package 0, 1 core\n"
                                                    "  cpu 1:                package 1, 1 core\n"},
};

TEST(CapabilityList, ProcessorsAreListedByRunsOfAlikeProcessors) {
    for (const ProcessorRunsCase& row : kProcessorRuns) {
        SCOPED_TRACE(row.dump);
        std::string list = WithLfLines(ListOf(DecodeWithDataFile(LoadTestDump(row.dump))), kPlainLineEnd);
        size_t section = list.find("\nProcessors\n");
        ASSERT_NE(section, std::string::npos) << list;
        EXPECT_EQ(list.substr(section + 12), row.section);
    }
}

} // namespace
