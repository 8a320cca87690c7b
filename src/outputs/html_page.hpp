// The --html page: one self-contained HTML5 document (inline CSS and SVG, no
// script, nothing fetched) with the topology drawing, the identity, the
// x86-64 levels, the features by purpose, the cache, TLB and XSAVE tables
// and every raw leaf. Lines end with LF.
#pragma once

#include "cpuid/snapshot.hpp"
#include "decode/capabilities.hpp"
#include "decode/linux_flags.hpp"
#include "outputs/capability_output.hpp"

#include <optional>
#include <string>

// What the page is made from: the decoded facts, where they were read, the
// snapshot they were decoded from, and the books that pair each Linux flag
// with its CPUID bit names (either may be missing).
struct HtmlPageInput {
    const CapabilityFacts& facts;
    const CapabilitySource& source;
    const CpuidSnapshot& snapshot;
    const std::optional<LinuxFlagBook>& linuxBook;
    const FeatureNameBook& featureBook;
};

std::string HtmlPageText(const HtmlPageInput& input);

// Text made safe for HTML content and attribute values: & < > " ' written
// as references, control bytes (but line ends and tabs) and bytes that are not UTF-8 as U+FFFD.
std::string HtmlText(const std::string& text);

// The topology drawing: an <svg> element with <title> and <desc>, each
// drawn core a <g class="core"> whose data-cores and data-threads say how
// many cores and threads it stands for.
std::string TopologySvg(const HtmlPageInput& input);
