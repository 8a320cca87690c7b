#include "outputs/html_page.hpp"
#include "common/text_format.hpp"
#include "decode/coded_values.hpp"
#include "outputs/details_output.hpp"

#include <algorithm>
#include <set>

namespace {

// clang-format off
const char kStyle[] = R"css(body{font-family:sans-serif;margin:1.5em;color:#111;max-width:80em}
h1{font-size:1.6em}h2{font-size:1.25em;border-bottom:1px solid #999;margin-top:1.6em}
table{border-collapse:collapse;margin:.5em 0}th,td{border:1px solid #bbb;padding:.15em .5em;text-align:left;vertical-align:top}
th{background:#eee}caption{text-align:left;font-weight:bold}
ul.features{list-style:none;padding:0;columns:16em}ul.features li{margin:.1em 0}
li.absent{color:#888}li.absent::after{content:" (absent)"}
.cpuid-name{color:#555;font-size:.9em}
figure{margin:0;overflow-x:auto}
svg text{font-family:"DejaVu Sans Mono",monospace;font-size:11px;fill:#000}
svg text.small{font-size:10px}svg text.heading{font-weight:bold}
svg rect{stroke:#333;stroke-width:1}
svg .package{fill:#fafafa}svg .virtual{stroke-dasharray:6 3}svg .domain{fill:#f0f0f0}
svg .core-box{fill:#e4e4e4}svg .kind-p{fill:#bcd4f6}svg .kind-e{fill:#c6ebc6}svg .kind-lp{fill:#f8deb0}
svg .thread{fill:#fff}svg .cache{fill:#fff3c4}
details pre{font-size:.85em}
@media print{body{margin:0;max-width:none;font-size:10pt}figure{overflow:visible}
svg{max-width:100%;height:auto}h2{break-after:avoid}table,figure{break-inside:avoid}}
@page{size:auto;margin:12mm})css";

// clang-format on

// Each purpose and the Linux flags that serve it; a flag of no purpose is
// listed under "Other".
struct Purpose {
    const char* heading;
    std::vector<const char*> flags;
};

const std::vector<Purpose>& Purposes() {
    static const std::vector<Purpose> purposes = {
        {"Vector", {"mmx",           "mmxext",        "3dnow",
                    "3dnowext",      "sse",           "sse2",
                    "pni",           "ssse3",         "sse4_1",
                    "sse4_2",        "sse4a",         "misalignsse",
                    "avx",           "avx2",          "fma",
                    "fma4",          "xop",           "f16c",
                    "avx_vnni",      "avx512f",       "avx512dq",
                    "avx512cd",      "avx512bw",      "avx512vl",
                    "avx512ifma",    "avx512vbmi",    "avx512_vbmi2",
                    "avx512_vnni",   "avx512_bitalg", "avx512_vpopcntdq",
                    "avx512_bf16",   "avx512_fp16",   "avx512_vp2intersect",
                    "avx512pf",      "avx512er",      "avx512_4vnniw",
                    "avx512_4fmaps", "amx_tile",      "amx_bf16",
                    "amx_int8"}},
        {"Crypto",
         {"aes", "pclmulqdq", "vaes", "vpclmulqdq", "sha_ni", "gfni", "rdrand", "rdseed", "rng", "ace",
          "ace2", "phe", "pmm"}},
        {"Virtualisation",
         {"vmx",         "svm",       "hypervisor",      "npt",         "lbrv",          "svm_lock",
          "nrip_save",   "tsc_scale", "vmcb_clean",      "flushbyasid", "decodeassists", "pausefilter",
          "pfthreshold", "avic",      "v_vmsave_vmload", "vgif",        "x2avic",        "v_spec_ctrl",
          "vnmi",        "sev",       "sev_es",          "sev_snp"}},
        {"Security", {"nx",         "smep",      "smap",     "pku",       "ospke",
                      "umip",       "ibrs",      "ibpb",     "stibp",     "ibrs_enhanced",
                      "ssbd",       "virt_ssbd", "md_clear", "flush_l1d", "arch_capabilities",
                      "user_shstk", "ibt",       "sgx",      "sgx_lc",    "sme",
                      "tme",        "smx",       "lass"}},
        {"Memory", {"pae",           "pse",       "pse36",   "pge",     "pat",        "mtrr", "pdpe1gb",
                    "la57",          "pcid",      "invpcid", "clflush", "clflushopt", "clwb", "wbnoinvd",
                    "movdiri",       "movdir64b", "erms",    "fsrm",    "cx8",        "cx16", "lm",
                    "3dnowprefetch", "cldemote",  "clzero",  "lam"}},
        {"Power", {"acpi",        "tm",   "tm2", "est", "monitor", "mwaitx",     "waitpkg",        "dtherm",
                   "ida",         "arat", "pln", "pts", "hwp",     "hwp_notify", "hwp_act_window", "hwp_epp",
                   "hwp_pkg_req", "hfi",  "cpb", "epb", "cppc",    "hw_pstate",  "acc_power",      "rapl"}},
    };
    return purposes;
}

std::string Cell(const std::string& text, const char* cssClass = nullptr) {
    std::string open = cssClass != nullptr ? "<td class=\"" + std::string(cssClass) + "\">" : "<td>";
    return open + HtmlText(text) + "</td>";
}

std::string Row(const std::vector<std::string>& cells) {
    std::string row = "<tr>";
    for (const std::string& cell : cells) {
        row += Cell(cell);
    }
    return row + "</tr>\n";
}

std::string HeaderRow(const std::vector<std::string>& headers) {
    std::string row = "<thead><tr>";
    for (const std::string& header : headers) {
        row += "<th scope=\"col\">" + HtmlText(header) + "</th>";
    }
    return row + "</tr></thead>\n";
}

std::string Table(const std::string& caption, const std::vector<std::string>& headers,
                  const std::string& rows) {
    return "<table>\n<caption>" + HtmlText(caption) + "</caption>\n" + HeaderRow(headers) + "<tbody>\n" +
           rows + "</tbody>\n</table>\n";
}

std::string Known(const std::optional<std::string>& text) {
    return text ? *text : "unknown";
}

template <typename Number> std::string Known(const std::optional<Number>& value) {
    return value ? Decimal(static_cast<uint64_t>(*value)) : "unknown";
}

std::string YesNo(const std::optional<bool>& value) {
    return value ? (*value ? "yes" : "no") : "unknown";
}

std::string FactRow(const std::string& name, const std::string& value) {
    return "<tr><th scope=\"row\">" + HtmlText(name) + "</th>" + Cell(value) + "</tr>\n";
}

std::string SignatureText(const SnapshotIdentity& id) {
    if (!id.hasSignature) {
        return "not reported";
    }
    const SignatureFields& sig = id.signature;
    return "0x" + DwordToHex(sig.signature) + " (family " + Decimal(sig.family) + ", model " +
           Decimal(sig.model) + ", stepping " + Decimal(sig.stepping) + ")";
}

std::string HypervisorText(const CapabilityFacts& facts) {
    if (!facts.hypervisor.present) {
        return "none";
    }
    std::string vendor = facts.hypervisor.vendorId.value_or("");
    return facts.names.hypervisor ? *facts.names.hypervisor + " (" + vendor + ")" : vendor;
}

std::string IdentitySection(const HtmlPageInput& input) {
    const CapabilityFacts& facts = input.facts;
    const GenerationFacts& generation = facts.vocabularies.generation;
    std::string rows =
        FactRow("Name", Known(facts.names.processor)) + FactRow("Brand", Known(facts.identity.brand)) +
        FactRow("Vendor",
                facts.identity.vendorId + (facts.names.vendor ? " (" + *facts.names.vendor + ")" : "")) +
        FactRow("Microarchitecture", Known(generation.microarchitecture)) +
        FactRow("Process node", Known(generation.processNode)) +
        FactRow("Signature", SignatureText(facts.identity)) + FactRow("Hypervisor", HypervisorText(facts)) +
        FactRow("archspec target",
                facts.vocabularies.archspec ? facts.vocabularies.archspec->target : "unknown") +
        FactRow("Read from", input.source.hardware ? "this machine" : "the dump " + input.source.path) +
        FactRow("Data file", input.source.databaseVersion);
    return "<section>\n<h2 id=\"identity\">Identity</h2>\n<table>\n<tbody>\n" + rows +
           "</tbody>\n</table>\n</section>\n";
}

std::string LevelsSection(const LevelReport& report) {
    std::string rows;
    for (int i = 0; i < kLevelCount; ++i) {
        const LevelVerdict& verdict = report.levels[static_cast<size_t>(i)];
        std::string missing;
        for (const std::string& name : verdict.missing) {
            missing += (missing.empty() ? "" : " ") + name;
        }
        rows += Row({LevelName(i + 1), verdict.cpu ? "yes" : "no", YesNo(verdict.os),
                     verdict.Met() ? "yes" : "no", missing.empty() ? "none" : missing});
    }
    return "<section>\n<h2 id=\"levels\">x86-64 levels</h2>\n" +
           Table("Highest level met: " + (report.level > 0 ? LevelName(report.level) : std::string("none")),
                 {"Level", "Processor", "OS support", "Usable", "Missing"}, rows) +
           "</section>\n";
}

// The CPUID names of a Linux flag's bits, where they differ from it.
std::string CpuidNames(const LinuxFlagRule& rule, const FeatureNameBook& book) {
    std::string names;
    for (const FeatureBit& bit : rule.sources) {
        std::string name = FeatureBitName(book, bit);
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (lower != rule.name) {
            names += (names.empty() ? "" : ", ") + name;
        }
    }
    return names;
}

std::string FeatureItem(const LinuxFlagRule& rule, bool present, const FeatureNameBook& book) {
    std::string cpuid = CpuidNames(rule, book);
    std::string item = std::string("<li") + (present ? ">" : " class=\"absent\">") + HtmlText(rule.name);
    if (!cpuid.empty()) {
        item += " <span class=\"cpuid-name\">(CPUID " + HtmlText(cpuid) + ")</span>";
    }
    return item + "</li>\n";
}

std::string FeatureGroupHtml(const std::string& heading, const std::vector<const LinuxFlagRule*>& rules,
                             const std::set<std::string>& present, const FeatureNameBook& book) {
    size_t count = 0;
    std::string items;
    for (const LinuxFlagRule* rule : rules) {
        bool has = present.count(rule->name) != 0;
        count += has ? 1 : 0;
        items += FeatureItem(*rule, has, book);
    }
    return "<h3>" + HtmlText(heading) + " (" + Decimal(count) + " of " + Decimal(rules.size()) +
           ")</h3>\n<ul class=\"features\">\n" + items + "</ul>\n";
}

std::string FeaturesSection(const HtmlPageInput& input) {
    std::string body;
    if (!input.linuxBook || !input.facts.vocabularies.linuxFlags) {
        body = "<p>The data file holds no Linux flag rules; the CPUID names of the set bits:</p>\n<ul "
               "class=\"features\">\n";
        for (const std::string& name : input.facts.features.named) {
            body += "<li>" + HtmlText(name) + "</li>\n";
        }
        body += "</ul>\n";
    } else {
        const std::vector<std::string>& flags = *input.facts.vocabularies.linuxFlags;
        std::set<std::string> present(flags.begin(), flags.end());
        std::set<std::string> placed;
        for (const Purpose& purpose : Purposes()) {
            std::vector<const LinuxFlagRule*> rules;
            for (const char* flag : purpose.flags) {
                auto rule =
                    std::find_if(input.linuxBook->begin(), input.linuxBook->end(),
                                 [&](const LinuxFlagRule& candidate) { return candidate.name == flag; });
                if (rule != input.linuxBook->end()) {
                    rules.push_back(&*rule);
                    placed.insert(rule->name);
                }
            }
            body += FeatureGroupHtml(purpose.heading, rules, present, input.featureBook);
        }
        std::vector<const LinuxFlagRule*> others;
        for (const LinuxFlagRule& rule : *input.linuxBook) {
            if (placed.count(rule.name) == 0) {
                others.push_back(&rule);
            }
        }
        body += FeatureGroupHtml("Other", others, present, input.featureBook);
    }
    return "<section>\n<h2 id=\"features\">Features by purpose</h2>\n<p>Linux names, with the CPUID names "
           "where they "
           "differ; absent features are grey and marked.</p>\n" +
           body + "</section>\n";
}

std::string CoreTypeText(const std::optional<CoreType>& type, bool lowPower) {
    if (!type) {
        return "all";
    }
    return std::string(CoreTypeName(*type)) + (lowPower ? " (low power)" : "");
}

std::string CacheSizeText(const CacheFacts& cache) {
    if (!cache.sizeKb) {
        return "too large to count";
    }
    return Decimal(*cache.sizeKb) + " KB" +
           (cache.sizeBelowKb ? " to " + Decimal(*cache.sizeBelowKb) + " KB" : "");
}

std::string WaysText(const std::optional<uint64_t>& ways, bool fully) {
    return fully ? "full" : Known(ways);
}

std::string CachesSection(const CapabilityFacts& facts) {
    std::string caches;
    for (const CacheFacts& cache : facts.caches) {
        caches += Row({"L" + Decimal(cache.level), CacheTypeName(cache.type), CacheSizeText(cache),
                       WaysText(cache.ways, cache.fullyAssociative), Known(cache.lineBytes),
                       Known(cache.sets), Known(cache.sharedBy), YesNo(cache.inclusive),
                       CoreTypeText(cache.coreType, cache.lowPower)});
    }
    std::string tlbs;
    for (const TlbFacts& tlb : facts.details.tlbs) {
        tlbs += Row({tlb.source, "L" + Decimal(tlb.level), tlb.type, TlbPagesText(tlb), Known(tlb.entries),
                     WaysText(tlb.ways, tlb.fullyAssociative), CoreTypeText(tlb.coreType, false)});
    }
    std::string xsave;
    if (facts.details.xsave) {
        for (const XsaveComponent& component : facts.details.xsave->components) {
            xsave += Row({Decimal(component.id), component.name, Known(component.size),
                          component.supervisor ? "supervisor" : Known(component.offset),
                          YesNo(component.enabled)});
        }
    }
    return "<section>\n<h2 id=\"caches\">Caches, TLBs and XSAVE</h2>\n" +
           Table(
               "Caches",
               {"Level", "Type", "Size", "Ways", "Line bytes", "Sets", "Shared by", "Inclusive", "Core type"},
               caches.empty() ? Row({"none described", "", "", "", "", "", "", "", ""}) : caches) +
           Table("TLBs", {"Leaf", "Level", "Type", "Pages", "Entries", "Ways", "Core type"},
                 tlbs.empty() ? Row({"none described", "", "", "", "", "", ""}) : tlbs) +
           Table("XSAVE components", {"Component", "Name", "Bytes", "Offset", "Enabled"},
                 xsave.empty() ? Row({"no XSAVE leaf", "", "", "", ""}) : xsave) +
           "</section>\n";
}

std::string LeafLine(const LeafKey& key, const CpuidRegs& regs) {
    return DwordToHex(key.first) + "." + Decimal(key.second) + ": eax=" + DwordToHex(regs.eax) +
           " ebx=" + DwordToHex(regs.ebx) + " ecx=" + DwordToHex(regs.ecx) + " edx=" + DwordToHex(regs.edx) +
           "\n";
}

// Processor 0's leaves whole, then each other processor's leaves that differ
// from them, so a page of thousands of alike processors stays small.
std::string RawSection(const CpuidSnapshot& snapshot) {
    std::string body;
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        const ProcessorLeaves& first = snapshot.cpus.front();
        std::string lines;
        for (const auto& [key, regs] : cpu.leaves) {
            auto same = first.leaves.find(key);
            bool differs = same == first.leaves.end() || same->second.eax != regs.eax ||
                           same->second.ebx != regs.ebx || same->second.ecx != regs.ecx ||
                           same->second.edx != regs.edx;
            if (&cpu == &first || differs) {
                lines += LeafLine(key, regs);
            }
        }
        std::string heading = "Logical processor " + Decimal(cpu.index) +
                              (cpu.osCpu ? " (system number " + Decimal(*cpu.osCpu) + ")" : "") +
                              (&cpu == &first ? "" : ", where it differs from processor 0");
        body += "<h3>" + HtmlText(heading) + "</h3>\n<pre>" +
                (lines.empty() ? std::string("no difference\n") : HtmlText(lines)) + "</pre>\n";
    }
    return "<section>\n<h2 id=\"raw\">Every leaf, raw</h2>\n<details>\n<summary>" +
           HtmlText(Decimal(snapshot.cpus.size()) +
                    " logical processors: leaf.sub-leaf and the four registers") +
           "</summary>\n" + body + "</details>\n</section>\n";
}

} // namespace

std::string HtmlPageText(const HtmlPageInput& input) {
    const CapabilityFacts& facts = input.facts;
    std::string name = facts.names.processor.value_or(facts.identity.brand.value_or(facts.identity.vendorId));
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           HtmlText("VELDRIX: " + name) + "</title>\n<style>\n" + kStyle +
           "\n</style>\n</head>\n<body>\n<main>\n<h1>" + HtmlText(name) + "</h1>\n" + IdentitySection(input) +
           "<section>\n<h2 id=\"topology\">Topology</h2>\n<figure>\n" + TopologySvg(input) +
           "<figcaption>Packages, dies or L3 domains, cores with their threads, and each cache as a bar "
           "across the "
           "cores that share it.</figcaption>\n</figure>\n</section>\n" +
           LevelsSection(facts.levels) + FeaturesSection(input) + CachesSection(facts) +
           RawSection(input.snapshot) + "</main>\n</body>\n</html>\n";
}
