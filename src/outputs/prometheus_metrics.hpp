// The processor as Prometheus metrics in the text exposition format, the
// file node_exporter's textfile collector reads: "# HELP" and "# TYPE" of
// each gauge, then its samples, label values escaped as the format wants.
#pragma once

#include "decode/capabilities.hpp"

#include <iosfwd>
#include <string>

// The text as a label value between double quotes: backslash, quote and
// line feed escaped, control bytes and non-ASCII bytes (the format wants
// UTF-8, and a processor's text may be anything) written as '?'.
std::string PrometheusLabelValue(const std::string& text);

void WritePrometheusMetrics(const CapabilityFacts& facts, std::ostream& out);
