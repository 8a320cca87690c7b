#include "outputs/node_labels.hpp"

#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "outputs/capability_output.hpp"

#include <algorithm>
#include <ostream>

namespace {

constexpr size_t kLabelTextLimit = 63;
constexpr size_t kLabelPrefixLimit = 253;

// The vector state an instruction set's registers live in: the OS must
// enable it in XCR0 before a program may use them.
enum class VectorState { None, Avx, Avx512, Amx };

struct SchedulingFlag {
    const char* name; // the Linux flag
    VectorState state;
};

// The Linux flags a workload selects a node on: instruction-set extensions
// a program tests for and uses in user mode, and hardware virtualization
// for nested guests. Flags of system state (apic, msr, pae, ...), of
// mitigations and of the kernel's own bookkeeping are not labels.
const SchedulingFlag kSchedulingFlags[] = {
    {"mmx", VectorState::None},
    {"sse", VectorState::None},
    {"sse2", VectorState::None},
    {"pni", VectorState::None},
    {"ssse3", VectorState::None},
    {"sse4_1", VectorState::None},
    {"sse4_2", VectorState::None},
    {"sse4a", VectorState::None},
    {"misalignsse", VectorState::None},
    {"cx8", VectorState::None},
    {"cx16", VectorState::None},
    {"cmov", VectorState::None},
    {"popcnt", VectorState::None},
    {"abm", VectorState::None},
    {"lahf_lm", VectorState::None},
    {"movbe", VectorState::None},
    {"pclmulqdq", VectorState::None},
    {"aes", VectorState::None},
    {"sha_ni", VectorState::None},
    {"gfni", VectorState::None},
    {"rdrand", VectorState::None},
    {"rdseed", VectorState::None},
    {"rdtscp", VectorState::None},
    {"rdpid", VectorState::None},
    {"bmi1", VectorState::None},
    {"bmi2", VectorState::None},
    {"adx", VectorState::None},
    {"tbm", VectorState::None},
    {"lm", VectorState::None},
    {"nx", VectorState::None},
    {"pdpe1gb", VectorState::None},
    {"fsgsbase", VectorState::None},
    {"erms", VectorState::None},
    {"fsrm", VectorState::None},
    {"clflushopt", VectorState::None},
    {"clwb", VectorState::None},
    {"clzero", VectorState::None},
    {"cldemote", VectorState::None},
    {"movdiri", VectorState::None},
    {"movdir64b", VectorState::None},
    {"enqcmd", VectorState::None},
    {"serialize", VectorState::None},
    {"waitpkg", VectorState::None},
    {"hle", VectorState::None},
    {"rtm", VectorState::None},
    {"pku", VectorState::None},
    {"sgx", VectorState::None},
    {"xsave", VectorState::None},
    {"xsaveopt", VectorState::None},
    {"xsavec", VectorState::None},
    {"xsaves", VectorState::None},
    {"vmx", VectorState::None},
    {"svm", VectorState::None},
    {"3dnow", VectorState::None},
    {"3dnowext", VectorState::None},
    {"3dnowprefetch", VectorState::None},
    {"mmxext", VectorState::None},
    {"avx", VectorState::Avx},
    {"avx2", VectorState::Avx},
    {"fma", VectorState::Avx},
    {"fma4", VectorState::Avx},
    {"xop", VectorState::Avx},
    {"f16c", VectorState::Avx},
    {"vaes", VectorState::Avx},
    {"vpclmulqdq", VectorState::Avx},
    {"avx_vnni", VectorState::Avx},
    {"avx_ifma", VectorState::Avx},
    {"avx_vnni_int8", VectorState::Avx},
    {"avx_ne_convert", VectorState::Avx},
    {"sha512", VectorState::Avx},
    {"sm3", VectorState::Avx},
    {"sm4", VectorState::Avx},
    {"avx512f", VectorState::Avx512},
    {"avx512dq", VectorState::Avx512},
    {"avx512ifma", VectorState::Avx512},
    {"avx512pf", VectorState::Avx512},
    {"avx512er", VectorState::Avx512},
    {"avx512cd", VectorState::Avx512},
    {"avx512bw", VectorState::Avx512},
    {"avx512vl", VectorState::Avx512},
    {"avx512vbmi", VectorState::Avx512},
    {"avx512_vbmi2", VectorState::Avx512},
    {"avx512_vnni", VectorState::Avx512},
    {"avx512_bitalg", VectorState::Avx512},
    {"avx512_vpopcntdq", VectorState::Avx512},
    {"avx512_4vnniw", VectorState::Avx512},
    {"avx512_4fmaps", VectorState::Avx512},
    {"avx512_vp2intersect", VectorState::Avx512},
    {"avx512_bf16", VectorState::Avx512},
    {"avx512_fp16", VectorState::Avx512},
    {"amx_bf16", VectorState::Amx},
    {"amx_tile", VectorState::Amx},
    {"amx_int8", VectorState::Amx},
    {"amx_fp16", VectorState::Amx},
    {"amx_complex", VectorState::Amx},
};

// Whether the OS enables the state; none when it is not known (a dump
// without XCR0 is judged by the processor's bits).
std::optional<bool> StateEnabled(VectorState state, const OsSupport& os) {
    switch (state) {
    case VectorState::Avx:
        return os.avx;
    case VectorState::Avx512:
        return os.avx512;
    case VectorState::Amx:
        return os.amx;
    default:
        return true;
    }
}

bool IsAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsLabelPunctuation(char c) {
    return c == '-' || c == '_' || c == '.';
}

// Letters and digits at both ends, punctuation between, 1..63 characters.
bool IsLabelText(const std::string& text) {
    if (text.empty() || text.size() > kLabelTextLimit || !IsAlphanumeric(text.front()) ||
        !IsAlphanumeric(text.back())) {
        return false;
    }
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return IsAlphanumeric(c) || IsLabelPunctuation(c); });
}

// Lower-case DNS labels of letters, digits and '-', joined by dots.
bool IsDnsSubdomain(const std::string& text) {
    if (text.empty() || text.size() > kLabelPrefixLimit) {
        return false;
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t dot = text.find('.', start);
        std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        bool lowerDigitOrDash = std::all_of(part.begin(), part.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
        });
        if (part.empty() || !lowerDigitOrDash || part.front() == '-' || part.back() == '-') {
            return false;
        }
        if (dot == std::string::npos) {
            return true;
        }
        start = dot + 1;
    }
    return false;
}

void AddLabel(std::vector<NodeLabel>& labels, const std::string& name, const std::string& value) {
    labels.push_back({name, ReduceToLabelValue(value)});
}

void AddCount(std::vector<NodeLabel>& labels, const std::string& name, const std::optional<uint64_t>& count) {
    if (count) {
        AddLabel(labels, name, Decimal(*count));
    }
}

void AddIdentity(const CapabilityFacts& facts, std::vector<NodeLabel>& labels) {
    AddLabel(labels, "x86_64_level", Decimal(static_cast<uint64_t>(facts.levels.level)));
    if (facts.vocabularies.archspec) {
        AddLabel(labels, "archspec", facts.vocabularies.archspec->target);
    }
    AddLabel(labels, "vendor", facts.identity.vendorId);
    if (facts.identity.hasSignature) {
        AddLabel(labels, "family", Decimal(facts.identity.signature.family));
        AddLabel(labels, "model", Decimal(facts.identity.signature.model));
        AddLabel(labels, "stepping", Decimal(facts.identity.signature.stepping));
    }
    if (facts.vocabularies.generation.microarchitecture) {
        AddLabel(labels, "microarchitecture", *facts.vocabularies.generation.microarchitecture);
    }
    std::string hypervisor = "none";
    if (facts.hypervisor.present) {
        hypervisor = facts.names.hypervisor.value_or(facts.hypervisor.vendorId.value_or("unknown"));
    }
    AddLabel(labels, "hypervisor", hypervisor);
}

void AddVectorUnits(const CapabilityFacts& facts, std::vector<NodeLabel>& labels) {
    if (facts.avx10) {
        AddLabel(labels, "avx10_version", Decimal(facts.avx10->version));
        if (!facts.avx10->vectorBits.empty()) {
            int widest = *std::max_element(facts.avx10->vectorBits.begin(), facts.avx10->vectorBits.end());
            AddLabel(labels, "avx10_vector_bits", Decimal(static_cast<uint64_t>(widest)));
        }
    }
    if (!facts.details.amx) {
        return;
    }
    AddLabel(labels, "amx_max_palette", Decimal(facts.details.amx->maxPalette));
    for (const AmxPalette& palette : facts.details.amx->palettes) {
        std::string stem = "amx_palette" + Decimal(palette.palette) + "_";
        AddLabel(labels, stem + "tiles", Decimal(palette.tiles));
        AddLabel(labels, stem + "rows", Decimal(palette.rows));
        AddLabel(labels, stem + "bytes_per_row", Decimal(palette.bytesPerRow));
        AddLabel(labels, stem + "bytes_per_tile", Decimal(palette.bytesPerTile));
    }
}

void AddTopology(const CapabilityFacts& facts, std::vector<NodeLabel>& labels) {
    const TopologyFacts& topology = facts.topology;
    AddCount(labels, "packages", topology.packages);
    AddCount(labels, "cores", topology.cores);
    AddCount(labels, "threads_per_core", topology.threadsPerCore);
    if (topology.coreTypes) {
        AddLabel(labels, "cores_performance", Decimal(topology.coreTypes->performance));
        AddLabel(labels, "cores_efficiency", Decimal(topology.coreTypes->efficiency));
        AddLabel(labels, "cores_efficiency_low_power", Decimal(topology.coreTypes->efficiencyLowPower));
    }
    std::optional<uint64_t> largestL3;
    for (const CacheFacts& cache : facts.caches) {
        if (cache.level == 3 && cache.sizeKb) {
            largestL3 = std::max(largestL3.value_or(0), *cache.sizeKb);
        }
    }
    AddCount(labels, "l3_cache_kb", largestL3);
}

void AddFlags(const CapabilityFacts& facts, std::vector<NodeLabel>& labels) {
    if (!facts.vocabularies.linuxFlags) {
        return;
    }
    const std::vector<std::string>& flags = *facts.vocabularies.linuxFlags;
    for (const SchedulingFlag& flag : kSchedulingFlags) {
        if (std::find(flags.begin(), flags.end(), flag.name) == flags.end()) {
            continue;
        }
        bool enabled = FlagEnabledByOs(flag.name, facts.os).value_or(true);
        AddLabel(labels, std::string("flag.") + flag.name, enabled ? "true" : "not-enabled-by-os");
    }
}

} // namespace

std::optional<bool> FlagEnabledByOs(const std::string& linuxFlag, const OsSupport& os) {
    for (const SchedulingFlag& flag : kSchedulingFlags) {
        if (linuxFlag == flag.name) {
            return StateEnabled(flag.state, os);
        }
    }
    return true;
}

std::string ReduceToLabelValue(const std::string& text) {
    std::string value;
    bool pendingDash = false;
    for (char c : text) {
        if (IsAlphanumeric(c) || IsLabelPunctuation(c)) {
            if (pendingDash && !value.empty()) {
                value += '-';
            }
            pendingDash = false;
            value += c;
        } else {
            pendingDash = true;
        }
    }
    value.resize(std::min(value.size(), kLabelTextLimit));
    size_t first = 0;
    while (first < value.size() && !IsAlphanumeric(value[first])) {
        ++first;
    }
    size_t last = value.size();
    while (last > first && !IsAlphanumeric(value[last - 1])) {
        --last;
    }
    return value.substr(first, last - first);
}

bool IsValidLabelName(const std::string& qualifiedName) {
    size_t slash = qualifiedName.find('/');
    if (slash == std::string::npos) {
        return IsLabelText(qualifiedName);
    }
    return IsDnsSubdomain(qualifiedName.substr(0, slash)) && IsLabelText(qualifiedName.substr(slash + 1));
}

bool IsValidLabelValue(const std::string& value) {
    return value.empty() || IsLabelText(value);
}

std::vector<NodeLabel> DescribeNodeLabels(const CapabilityFacts& facts) {
    std::vector<NodeLabel> labels;
    AddIdentity(facts, labels);
    AddVectorUnits(facts, labels);
    AddTopology(facts, labels);
    AddFlags(facts, labels);
    return labels;
}

std::vector<NodeLabel> WriteNodeFeatures(const std::vector<NodeLabel>& labels,
                                         const std::optional<std::string>& expiryTime, std::ostream& out) {
    out << "# Node Feature Discovery labels of this processor, written by veldrix" << kPlainLineEnd;
    if (expiryTime) {
        out << "# +expiry-time=" << *expiryTime << kPlainLineEnd;
    }
    std::vector<NodeLabel> rejected;
    for (const NodeLabel& label : labels) {
        std::string name = kNodeLabelPrefix + label.name;
        if (!IsValidLabelName(name) || !IsValidLabelValue(label.value)) {
            rejected.push_back(label);
            continue;
        }
        out << name << "=" << label.value << kPlainLineEnd;
    }
    return rejected;
}
