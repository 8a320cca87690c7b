#include "common/text_format.hpp"
#include "outputs/capability_output.hpp"
#include "outputs/details_output.hpp"

namespace {

const char kNull[] = "null";

template <typename Number> std::string NumberOrNull(const std::optional<Number>& value) {
    return value ? Decimal(static_cast<uint64_t>(*value)) : kNull;
}

std::string Qword(uint64_t value) {
    return JsonString("0x" + QwordToHex(value));
}

std::string AddressesObject(const AddressSizes& addresses) {
    return JsonObject()
        .Add("physical_bits", NumberOrNull(addresses.physicalBits))
        .Add("linear_bits", NumberOrNull(addresses.linearBits))
        .Add("guest_physical_bits", NumberOrNull(addresses.guestPhysicalBits))
        .Text();
}

std::string TlbObject(const TlbFacts& tlb) {
    return JsonObject()
        .Add("source", JsonString(tlb.source))
        .Add("level", Decimal(tlb.level))
        .Add("type", JsonString(tlb.type))
        .Add("pages", JsonStringArray(tlb.pages))
        .Add("entries", NumberOrNull(tlb.entries))
        .Add("ways", NumberOrNull(tlb.ways))
        .Add("fully_associative", JsonBool(tlb.fullyAssociative))
        .Add("descriptor",
             tlb.descriptor ? JsonString("0x" + ByteToHex(static_cast<uint8_t>(*tlb.descriptor))) : kNull)
        .Add("core_type", tlb.coreType ? JsonString(CoreTypeName(*tlb.coreType)) : kNull)
        .Text();
}

std::string ClockObject(const ClockFacts& clock) {
    return JsonObject()
        .Add("measured_mhz", clock.measuredMhz ? FixedReal(*clock.measuredMhz, 0, 2) : kNull)
        .Add("crystal_hz", NumberOrNull(clock.crystalHz))
        .Add("tsc_numerator", NumberOrNull(clock.tscNumerator))
        .Add("tsc_denominator", NumberOrNull(clock.tscDenominator))
        .Add("tsc_hz", NumberOrNull(clock.tscHz))
        .Add("base_mhz", NumberOrNull(clock.baseMhz))
        .Add("max_mhz", NumberOrNull(clock.maxMhz))
        .Add("bus_mhz", NumberOrNull(clock.busMhz))
        .Text();
}

std::string ComponentObject(const XsaveComponent& component) {
    return JsonObject()
        .Add("id", Decimal(component.id))
        .Add("name", component.name.empty() ? kNull : JsonString(component.name))
        .Add("size", NumberOrNull(component.size))
        .Add("offset", NumberOrNull(component.offset))
        .Add("supervisor", JsonBool(component.supervisor))
        .Add("enabled", JsonBoolOrNull(component.enabled))
        .Add("aligned_64", JsonBool(component.aligned64))
        .Text();
}

std::string XsaveObject(const std::optional<XsaveFacts>& xsave) {
    if (!xsave) {
        return kNull;
    }
    return JsonObject()
        .Add("supported_xcr0", Qword(xsave->supportedXcr0))
        .Add("supported_xss", Qword(xsave->supportedXss))
        .Add("xcr0", xsave->xcr0 ? Qword(*xsave->xcr0) : kNull)
        .Add("enabled_size", NumberOrNull(xsave->enabledSize))
        .Add("largest_size", NumberOrNull(xsave->largestSize))
        .Add("compacted_size", NumberOrNull(xsave->compactedSize))
        .Add("components", JsonArrayOf(xsave->components, ComponentObject))
        .Text();
}

std::string PaletteObject(const AmxPalette& palette) {
    return JsonObject()
        .Add("palette", Decimal(palette.palette))
        .Add("total_bytes", Decimal(palette.totalBytes))
        .Add("bytes_per_tile", Decimal(palette.bytesPerTile))
        .Add("bytes_per_row", Decimal(palette.bytesPerRow))
        .Add("tiles", Decimal(palette.tiles))
        .Add("rows", Decimal(palette.rows))
        .Text();
}

std::string AmxObject(const std::optional<AmxFacts>& amx) {
    if (!amx) {
        return kNull;
    }
    return JsonObject()
        .Add("max_palette", Decimal(amx->maxPalette))
        .Add("palettes", JsonArrayOf(amx->palettes, PaletteObject))
        .Add("tmul_maxk", NumberOrNull(amx->tmulMaxK))
        .Add("tmul_maxn", NumberOrNull(amx->tmulMaxN))
        .Text();
}

std::string PmuObject(const std::optional<PmuFacts>& pmu) {
    if (!pmu) {
        return kNull;
    }
    return JsonObject()
        .Add("source", JsonString(pmu->source))
        .Add("version", NumberOrNull(pmu->version))
        .Add("general_counters", NumberOrNull(pmu->generalCounters))
        .Add("general_bits", NumberOrNull(pmu->generalBits))
        .Add("fixed_counters", NumberOrNull(pmu->fixedCounters))
        .Add("fixed_bits", NumberOrNull(pmu->fixedBits))
        .Add("events", JsonStringArray(pmu->events))
        .Add("events_unavailable", JsonStringArray(pmu->unavailableEvents))
        .Add("northbridge_counters", NumberOrNull(pmu->northbridgeCounters))
        .Add("memory_controller_counters", NumberOrNull(pmu->memoryControllerCounters))
        .Add("branch_record_stack", NumberOrNull(pmu->branchRecordStack))
        .Text();
}

std::string SpeculationObject(const std::vector<SpeculationBit>& bits) {
    JsonObject object;
    for (const SpeculationBit& bit : bits) {
        object.Add(bit.name, JsonBoolOrNull(bit.present));
    }
    return object.Text();
}

} // namespace

std::string HypervisorFeaturesJson(const ProcessorDetails& details) {
    return details.hypervisorFeatures ? JsonStringArray(*details.hypervisorFeatures) : kNull;
}

void AddDetailsJson(const ProcessorDetails& details, JsonObject& document) {
    document.Add("addresses", AddressesObject(details.addresses))
        .Add("tlbs", JsonArrayOf(details.tlbs, TlbObject))
        .Add("clock", ClockObject(details.clock))
        .Add("xsave", XsaveObject(details.xsave))
        .Add("amx", AmxObject(details.amx))
        .Add("pmu", PmuObject(details.pmu))
        .Add("speculation", SpeculationObject(details.speculation));
}
