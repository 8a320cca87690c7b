// The --list sections and veldrix/1 keys of the deeper leaves: addresses,
// tlbs, clock, xsave, amx, pmu, speculation and the hypervisor's features.
#pragma once

#include "common/json_text.hpp"
#include "decode/processor_details.hpp"

#include <iosfwd>

// The sections Addresses, TLBs, Clock, XSAVE, AMX, PMU and Speculation.
void WriteDetailsList(const ProcessorDetails& details, std::ostream& out);

// The keys addresses, tlbs, clock, xsave, amx, pmu and speculation.
void AddDetailsJson(const ProcessorDetails& details, JsonObject& document);

// The hypervisor's named feature bits: "clocksource nop_io_delay ...", or
// "unknown" where no feature leaf is known; in JSON an array, or null.
std::string HypervisorFeaturesText(const ProcessorDetails& details);
std::string HypervisorFeaturesJson(const ProcessorDetails& details);

// "4K/2M", the pages a TLB holds.
std::string TlbPagesText(const TlbFacts& tlb);
