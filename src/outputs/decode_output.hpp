// The outputs of --decode: every field of the first processor, what the
// others differ in, and their ids; as aligned text or as one JSON document
// (schema veldrix-decode/1). Lines end with kPlainLineEnd.
#pragma once

#include "decode/cache_descriptors.hpp"
#include "decode/field_differences.hpp"
#include "outputs/capability_output.hpp"

#include <iosfwd>

constexpr const char kDecodeJsonSchema[] = "veldrix-decode/1";

// What both writers are handed.
struct DecodeReport {
    const SnapshotFields& fields;
    const TopologyFacts& topology;
    const DescriptorNames& descriptorNames;
    const CapabilitySource& source;
};

void WriteDecodeText(const DecodeReport& report, std::ostream& out);
void WriteDecodeJson(const DecodeReport& report, std::ostream& out);

// "cpus 16-31 (package 0, efficiency cores)", "cpu 0 (package 0)".
std::string SpanLabel(uint32_t firstCpu, uint32_t lastCpu, const std::optional<CpuPlace>& place);
