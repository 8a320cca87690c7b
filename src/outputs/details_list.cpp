#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "outputs/capability_output.hpp"
#include "outputs/details_output.hpp"

#include <ostream>

namespace {

constexpr int kLabelWidth = 24;
const char kUnknown[] = "unknown";

void Heading(std::ostream& out, const char* title) {
    out << title << kPlainLineEnd;
}

// The same layout as every --list fact: the value in the column after the
// label, or one blank after a label too long for it.
void Fact(std::ostream& out, const std::string& label, const std::string& value) {
    std::string head = "  " + label + ":";
    head = head.size() < kLabelWidth ? PadRight(head, kLabelWidth) : head + " ";
    out << head << OneLineText(out, value) << kPlainLineEnd;
}

template <typename Number> std::string NumberOr(const std::optional<Number>& value, const char* unit = "") {
    return value ? Decimal(static_cast<uint64_t>(*value)) + unit : kUnknown;
}

std::string Words(const std::vector<std::string>& words) {
    return words.empty() ? "none" : JoinedWords(words);
}

void WriteAddresses(const AddressSizes& addresses, std::ostream& out) {
    Heading(out, "Addresses");
    Fact(out, "physical_bits", NumberOr(addresses.physicalBits));
    Fact(out, "linear_bits", NumberOr(addresses.linearBits));
    Fact(out, "guest_physical_bits", NumberOr(addresses.guestPhysicalBits));
}

std::string TlbLabel(const TlbFacts& tlb) {
    std::string label = "L" + Decimal(tlb.level) + " " + tlb.type;
    return tlb.coreType ? label + " (" + CoreTypeName(*tlb.coreType) + ")" : label;
}

std::string TlbText(const TlbFacts& tlb) {
    std::string text = TlbPagesText(tlb) + " pages, " + NumberOr(tlb.entries) + " entries, ";
    text += tlb.fullyAssociative ? "fully associative"
            : tlb.ways           ? Decimal(*tlb.ways) + "-way"
                                 : "ways unknown";
    text += "; leaf " + tlb.source;
    return tlb.descriptor ? text + " descriptor 0x" + ByteToHex(static_cast<uint8_t>(*tlb.descriptor)) : text;
}

void WriteTlbs(const std::vector<TlbFacts>& tlbs, std::ostream& out) {
    Heading(out, "TLBs");
    if (tlbs.empty()) {
        Fact(out, "tlbs", kUnknown);
    }
    for (const TlbFacts& tlb : tlbs) {
        Fact(out, TlbLabel(tlb), TlbText(tlb));
    }
}

void WriteClock(const ClockFacts& clock, std::ostream& out) {
    Heading(out, "Clock");
    Fact(out, "measured_mhz",
         clock.measuredMhz ? FixedReal(*clock.measuredMhz, 0, 2) : "not measured (--measure)");
    Fact(out, "crystal_hz", NumberOr(clock.crystalHz));
    Fact(out, "tsc_ratio",
         clock.tscNumerator ? Decimal(*clock.tscNumerator) + "/" + Decimal(*clock.tscDenominator) : kUnknown);
    Fact(out, "tsc_hz", NumberOr(clock.tscHz));
    Fact(out, "base_mhz", NumberOr(clock.baseMhz));
    Fact(out, "max_mhz", NumberOr(clock.maxMhz));
    Fact(out, "bus_mhz", NumberOr(clock.busMhz));
}

std::string ComponentText(const XsaveComponent& component) {
    std::string text = NumberOr(component.size, " bytes");
    text += component.offset ? " at " + Decimal(*component.offset) : "";
    text += component.supervisor ? ", supervisor (XSS)" : ", user (XCR0)";
    if (component.enabled) {
        text += *component.enabled ? ", enabled" : ", not enabled";
    }
    return component.aligned64 ? text + ", 64-byte aligned when compacted" : text;
}

void WriteXsave(const std::optional<XsaveFacts>& xsave, std::ostream& out) {
    Heading(out, "XSAVE");
    if (!xsave) {
        Fact(out, "xsave", "no");
        return;
    }
    Fact(out, "supported_xcr0", "0x" + QwordToHex(xsave->supportedXcr0));
    Fact(out, "supported_xss", "0x" + QwordToHex(xsave->supportedXss));
    Fact(out, "xcr0", xsave->xcr0 ? "0x" + QwordToHex(*xsave->xcr0) : kUnknown);
    Fact(out, "enabled_size", NumberOr(xsave->enabledSize, " bytes"));
    Fact(out, "largest_size", NumberOr(xsave->largestSize, " bytes"));
    Fact(out, "compacted_size", NumberOr(xsave->compactedSize, " bytes"));
    for (const XsaveComponent& component : xsave->components) {
        Fact(out, "component " + Decimal(component.id) + " " + component.name, ComponentText(component));
    }
}

void WriteAmx(const std::optional<AmxFacts>& amx, std::ostream& out) {
    Heading(out, "AMX");
    if (!amx) {
        Fact(out, "amx", "no");
        return;
    }
    Fact(out, "max_palette", Decimal(amx->maxPalette));
    for (const AmxPalette& p : amx->palettes) {
        Fact(out, "palette " + Decimal(p.palette),
             Decimal(p.totalBytes) + " bytes, " + Decimal(p.tiles) + " tiles of " + Decimal(p.bytesPerTile) +
                 " bytes, " + Decimal(p.rows) + " rows of " + Decimal(p.bytesPerRow) + " bytes");
    }
    Fact(out, "tmul_maxk", NumberOr(amx->tmulMaxK));
    Fact(out, "tmul_maxn", NumberOr(amx->tmulMaxN));
}

std::string CountersText(const std::optional<uint32_t>& count, const std::optional<uint32_t>& bits) {
    return NumberOr(count) + (bits ? " of " + Decimal(*bits) + " bits" : "");
}

void WritePmu(const std::optional<PmuFacts>& pmu, std::ostream& out) {
    Heading(out, "PMU");
    if (!pmu) {
        Fact(out, "pmu", kUnknown);
        return;
    }
    Fact(out, "source", "leaf " + pmu->source);
    Fact(out, "version", NumberOr(pmu->version));
    Fact(out, "general_counters", CountersText(pmu->generalCounters, pmu->generalBits));
    Fact(out, "fixed_counters", CountersText(pmu->fixedCounters, pmu->fixedBits));
    Fact(out, "events", Words(pmu->events));
    Fact(out, "events_unavailable", Words(pmu->unavailableEvents));
    Fact(out, "northbridge_counters", NumberOr(pmu->northbridgeCounters));
    Fact(out, "memory_controller_counters", NumberOr(pmu->memoryControllerCounters));
    Fact(out, "branch_record_stack", NumberOr(pmu->branchRecordStack));
}

void WriteSpeculation(const std::vector<SpeculationBit>& bits, std::ostream& out) {
    Heading(out, "Speculation");
    std::vector<std::string> present;
    std::vector<std::string> absent;
    std::vector<std::string> unreported;
    for (const SpeculationBit& bit : bits) {
        (!bit.present ? unreported : *bit.present ? present : absent).push_back(bit.name);
    }
    Fact(out, "present", Words(present));
    Fact(out, "absent", Words(absent));
    Fact(out, "leaf_not_reported", Words(unreported));
}

} // namespace

std::string TlbPagesText(const TlbFacts& tlb) {
    std::string text;
    for (const std::string& page : tlb.pages) {
        text += (text.empty() ? "" : "/") + page;
    }
    return text.empty() ? "no" : text;
}

std::string HypervisorFeaturesText(const ProcessorDetails& details) {
    return details.hypervisorFeatures ? Words(*details.hypervisorFeatures) : kUnknown;
}

void WriteDetailsList(const ProcessorDetails& details, std::ostream& out) {
    WriteAddresses(details.addresses, out);
    WriteTlbs(details.tlbs, out);
    WriteClock(details.clock, out);
    WriteXsave(details.xsave, out);
    WriteAmx(details.amx, out);
    WritePmu(details.pmu, out);
    WriteSpeculation(details.speculation, out);
}
