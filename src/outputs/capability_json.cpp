#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "common/version.hpp"
#include "outputs/capability_output.hpp"
#include "outputs/details_output.hpp"
#include "outputs/vocabulary_output.hpp"

#include <ostream>

namespace {

const char kNull[] = "null";

std::string Number(uint64_t value) {
    return Decimal(value);
}

std::string HexDword(uint32_t value) {
    return JsonString("0x" + DwordToHex(value));
}

std::string HexQword(const std::optional<uint64_t>& value) {
    if (!value) {
        return kNull;
    }
    return JsonString("0x" + QwordToHex(*value));
}

std::string ProgramObject(const CapabilitySource& source) {
    return JsonObject()
        .Add("version", JsonString(kVeldrixVersion))
        .Add("database_version", JsonString(source.databaseVersion))
        .Text();
}

std::string SourceObject(const CapabilitySource& source) {
    return JsonObject()
        .Add("kind", JsonString(source.hardware ? "hardware" : "dump"))
        .Add("path", source.hardware ? kNull : JsonString(source.path))
        .Text();
}

// A signature field, or null when leaf 1 is not reported.
std::string SignatureNumber(const SnapshotIdentity& id, uint32_t value) {
    return id.hasSignature ? Number(value) : kNull;
}

std::string ProcessorObject(const CapabilityFacts& facts) {
    const SnapshotIdentity& id = facts.identity;
    const SignatureFields& sig = id.signature;
    return JsonObject()
        .Add("vendor_id", JsonString(id.vendorId))
        .Add("vendor", JsonStringOrNull(facts.names.vendor))
        .Add("brand", JsonStringOrNull(id.brand))
        .Add("name", JsonStringOrNull(facts.names.processor))
        .Add("name_may_be_invented", JsonBool(facts.hypervisor.present))
        .Add("signature", id.hasSignature ? HexDword(sig.signature) : kNull)
        .Add("family", SignatureNumber(id, sig.family))
        .Add("model", SignatureNumber(id, sig.model))
        .Add("stepping", SignatureNumber(id, sig.stepping))
        .Add("base_family", SignatureNumber(id, sig.baseFamily))
        .Add("base_model", SignatureNumber(id, sig.baseModel))
        .Add("extended_family", SignatureNumber(id, sig.extendedFamily))
        .Add("extended_model", SignatureNumber(id, sig.extendedModel))
        .Add("microarchitecture", JsonStringOrNull(facts.vocabularies.generation.microarchitecture))
        .Add("process_node", JsonStringOrNull(facts.vocabularies.generation.processNode))
        .Text();
}

std::string HypervisorObject(const CapabilityFacts& facts) {
    const HypervisorFacts& hv = facts.hypervisor;
    return JsonObject()
        .Add("present", JsonBool(hv.present))
        .Add("vendor_id", JsonStringOrNull(hv.vendorId))
        .Add("name", JsonStringOrNull(facts.names.hypervisor))
        .Add("vendor_id_40000100", JsonStringOrNull(hv.nextVendorId))
        .Add("name_40000100", JsonStringOrNull(facts.names.nextHypervisor))
        .Add("features", HypervisorFeaturesJson(facts.details))
        .Text();
}

std::string LevelsObject(const LevelReport& report) {
    JsonObject levels;
    for (int i = 0; i < kLevelCount; ++i) {
        const LevelVerdict& verdict = report.levels[static_cast<size_t>(i)];
        levels.Add("v" + Number(static_cast<uint64_t>(i + 1)),
                   JsonObject()
                       .Add("cpu", JsonBool(verdict.cpu))
                       .Add("os", JsonBoolOrNull(verdict.os))
                       .Add("missing", JsonStringArray(verdict.missing))
                       .Text());
    }
    return JsonObject()
        .Add("level", Number(static_cast<uint64_t>(report.level)))
        .Add("levels", levels.Text())
        .Text();
}

std::string OsSupportObject(const OsSupport& os) {
    return JsonObject()
        .Add("xcr0", HexQword(os.xcr0))
        .Add("sse", JsonBoolOrNull(os.sse))
        .Add("avx", JsonBoolOrNull(os.avx))
        .Add("avx512", JsonBoolOrNull(os.avx512))
        .Add("amx", JsonBoolOrNull(os.amx))
        .Text();
}

std::string Avx10Object(const std::optional<Avx10Facts>& avx10) {
    if (!avx10) {
        return kNull;
    }
    std::string widths =
        JsonArrayOf(avx10->vectorBits, [](int bits) { return Number(static_cast<uint64_t>(bits)); });
    return JsonObject().Add("version", Number(avx10->version)).Add("vector_bits", widths).Text();
}

template <typename Number> std::string NumberOrNull(const std::optional<Number>& value) {
    return value ? Decimal(static_cast<uint64_t>(*value)) : kNull;
}

std::string CoreTypeOrNull(const std::optional<CoreType>& type) {
    return type ? JsonString(CoreTypeName(*type)) : kNull;
}

std::string CacheObject(const CacheFacts& cache) {
    return JsonObject()
        .Add("level", Number(cache.level))
        .Add("type", JsonString(CacheTypeName(cache.type)))
        .Add("size_kb", NumberOrNull(cache.sizeKb))
        .Add("size_kb_below", NumberOrNull(cache.sizeBelowKb))
        .Add("ways", NumberOrNull(cache.ways))
        .Add("fully_associative", JsonBool(cache.fullyAssociative))
        .Add("line_bytes", NumberOrNull(cache.lineBytes))
        .Add("sets", NumberOrNull(cache.sets))
        .Add("shared_by", NumberOrNull(cache.sharedBy))
        .Add("inclusive", JsonBoolOrNull(cache.inclusive))
        .Add("core_type", CoreTypeOrNull(cache.coreType))
        .Add("low_power", JsonBool(cache.lowPower))
        .Text();
}

std::string CoreTypesObject(const std::optional<CoreTypeCounts>& counts) {
    if (!counts) {
        return kNull;
    }
    return JsonObject()
        .Add("performance", Number(counts->performance))
        .Add("efficiency", Number(counts->efficiency))
        .Add("efficiency_low_power", Number(counts->efficiencyLowPower))
        .Text();
}

std::string TopologyObject(const TopologyFacts& topology) {
    return JsonObject()
        .Add("logical_processors", Number(topology.logicalProcessors))
        .Add("packages", NumberOrNull(topology.packages))
        .Add("cores", NumberOrNull(topology.cores))
        .Add("threads_per_core", NumberOrNull(topology.threadsPerCore))
        .Add("core_types", CoreTypesObject(topology.coreTypes))
        .Add("stated_by_leaves", JsonBool(topology.statedByLeaves))
        .Text();
}

std::string CpuObject(const CpuPlace& cpu) {
    return JsonObject()
        .Add("index", Number(cpu.index))
        .Add("os_cpu", NumberOrNull(cpu.osCpu))
        .Add("apic_id", NumberOrNull(cpu.apicId))
        .Add("x2apic_id", NumberOrNull(cpu.x2apicId))
        .Add("package", NumberOrNull(cpu.package))
        .Add("core", NumberOrNull(cpu.core))
        .Add("thread", NumberOrNull(cpu.thread))
        .Add("core_type", CoreTypeOrNull(cpu.coreType))
        .Add("low_power", JsonBool(cpu.lowPower))
        .Text();
}

} // namespace

void WriteCapabilityJson(const CapabilityFacts& facts, const CapabilitySource& source, std::ostream& out) {
    JsonObject document;
    document.Add("schema", JsonString(kJsonSchema))
        .Add("program", ProgramObject(source))
        .Add("source", SourceObject(source))
        .Add("processor", ProcessorObject(facts))
        .Add("hypervisor", HypervisorObject(facts))
        .Add("x86_64", LevelsObject(facts.levels))
        .Add("os_support", OsSupportObject(facts.os))
        .Add("features", JsonStringArray(facts.features.named))
        .Add("unnamed_bits", JsonStringArray(facts.features.unnamed))
        .Add("linux_flags", LinuxFlagsJson(facts.vocabularies))
        .Add("archspec", ArchspecJson(facts.vocabularies))
        .Add("microcode", MicrocodeJson(facts.vocabularies))
        .Add("vulnerabilities", VulnerabilitiesJson(facts.vocabularies))
        .Add("kernel_hidden", KernelHiddenJson(facts.vocabularies))
        .Add("kernel_only", KernelOnlyJson(facts.vocabularies))
        .Add("avx10", Avx10Object(facts.avx10))
        .Add("caches", JsonArrayOf(facts.caches, CacheObject))
        .Add("topology", TopologyObject(facts.topology))
        .Add("cpus", JsonArrayOf(facts.topology.cpus, CpuObject));
    AddDetailsJson(facts.details, document);
    out << document.Lines("", kPlainLineEnd) << kPlainLineEnd;
}

std::string CapabilityProgramJson(const CapabilitySource& source) {
    return ProgramObject(source);
}

std::string CapabilitySourceJson(const CapabilitySource& source) {
    return SourceObject(source);
}

std::string CapabilityProcessorJson(const CapabilityFacts& facts) {
    return ProcessorObject(facts);
}
