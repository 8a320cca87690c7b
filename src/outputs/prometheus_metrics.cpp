#include "outputs/prometheus_metrics.hpp"

#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "decode/coded_values.hpp"
#include "outputs/capability_output.hpp"
#include "outputs/node_labels.hpp"

#include <ostream>

namespace {

// The exposition format ends its lines with LF on every system.
constexpr char kMetricLineEnd = '\n';

void Describe(std::ostream& out, const char* name, const char* help) {
    out << "# HELP " << name << " " << help << kMetricLineEnd;
    out << "# TYPE " << name << " gauge" << kMetricLineEnd;
}

void Sample(std::ostream& out, const char* name, const std::string& labels, uint64_t value) {
    out << name;
    if (!labels.empty()) {
        out << "{" << labels << "}";
    }
    out << " " << Decimal(value) << kMetricLineEnd;
}

std::string Label(const char* name, const std::string& value) {
    return std::string(name) + "=\"" + PrometheusLabelValue(value) + "\"";
}

void WriteInfo(const CapabilityFacts& facts, std::ostream& out) {
    const SignatureFields& signature = facts.identity.signature;
    std::string archspec = facts.vocabularies.archspec ? facts.vocabularies.archspec->target : "";
    std::string labels =
        Label("vendor", facts.identity.vendorId) + "," +
        Label("family", facts.identity.hasSignature ? Decimal(signature.family) : "") + "," +
        Label("model", facts.identity.hasSignature ? Decimal(signature.model) : "") + "," +
        Label("stepping", facts.identity.hasSignature ? Decimal(signature.stepping) : "") + "," +
        Label("name", facts.identity.brand.value_or(facts.names.processor.value_or(""))) + "," +
        Label("microarchitecture", facts.vocabularies.generation.microarchitecture.value_or("")) + "," +
        Label("archspec", archspec) + "," +
        Label("level", Decimal(static_cast<uint64_t>(facts.levels.level)));
    Describe(out, "veldrix_cpu_info", "The processor's identity in its labels; always 1.");
    Sample(out, "veldrix_cpu_info", labels, 1);
    Describe(out, "veldrix_x86_64_level",
             "The highest x86-64 psABI level the processor and the OS meet (0: none).");
    Sample(out, "veldrix_x86_64_level", "", static_cast<uint64_t>(facts.levels.level));
}

void WriteFeatures(const CapabilityFacts& facts, std::ostream& out) {
    if (!facts.vocabularies.linuxFlags) {
        return;
    }
    Describe(out, "veldrix_cpu_feature",
             "A feature the processor reports, by its Linux flag name; enabled is false when the OS "
             "does not enable its vector state.");
    for (const std::string& flag : *facts.vocabularies.linuxFlags) {
        bool enabled = FlagEnabledByOs(flag, facts.os).value_or(true);
        Sample(out, "veldrix_cpu_feature",
               Label("name", flag) + "," + Label("enabled", enabled ? "true" : "false"), 1);
    }
}

void WriteTopology(const TopologyFacts& topology, std::ostream& out) {
    if (topology.cores) {
        Describe(out, "veldrix_cpu_cores", "The cores of every package.");
        Sample(out, "veldrix_cpu_cores", "", *topology.cores);
    }
    if (topology.threadsPerCore) {
        Describe(out, "veldrix_cpu_threads_per_core",
                 "The logical processors of each core (not on hybrid parts).");
        Sample(out, "veldrix_cpu_threads_per_core", "", *topology.threadsPerCore);
    }
}

std::string CoreKind(const CacheFacts& cache) {
    if (!cache.coreType) {
        return "all";
    }
    return std::string(CoreTypeName(*cache.coreType)) + (cache.lowPower ? "_low_power" : "");
}

void WriteCaches(const std::vector<CacheFacts>& caches, std::ostream& out) {
    bool described = false;
    for (const CacheFacts& cache : caches) {
        if (!cache.sizeKb || *cache.sizeKb > UINT64_MAX / 1024) {
            continue;
        }
        if (!described) {
            Describe(out, "veldrix_cache_bytes", "The size of one cache of each kind of core.");
            described = true;
        }
        std::string labels = Label("level", Decimal(cache.level)) + "," +
                             Label("type", CacheTypeName(cache.type)) + "," + Label("cores", CoreKind(cache));
        Sample(out, "veldrix_cache_bytes", labels, *cache.sizeKb * 1024);
    }
}

void WriteVulnerabilities(const std::optional<KernelView>& kernel, std::ostream& out) {
    if (!kernel || kernel->vulnerabilities.empty()) {
        return;
    }
    Describe(out, "veldrix_cpu_vulnerability", "What the Linux kernel says of each processor vulnerability.");
    for (const Vulnerability& entry : kernel->vulnerabilities) {
        Sample(out, "veldrix_cpu_vulnerability",
               Label("name", entry.name) + "," + Label("state", entry.state.value_or("unreadable")), 1);
    }
}

} // namespace

std::string PrometheusLabelValue(const std::string& text) {
    std::string value;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            value += '\\';
            value += c;
        } else if (c == '\n') {
            value += "\\n";
        } else if (byte < 0x20 || byte >= 0x7F) {
            value += '?';
        } else {
            value += c;
        }
    }
    return value;
}

void WritePrometheusMetrics(const CapabilityFacts& facts, std::ostream& out) {
    WriteInfo(facts, out);
    WriteFeatures(facts, out);
    WriteTopology(facts.topology, out);
    WriteCaches(facts.caches, out);
    WriteVulnerabilities(facts.vocabularies.kernel, out);
}
