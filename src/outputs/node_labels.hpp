// The node labels of Kubernetes Node Feature Discovery: the facts a
// scheduler selects on, each as one label in the features-file syntax its
// "local" source reads ("<name>=<value>" lines, "#" comments), every name and
// value checked against Kubernetes' label syntax before it is written.
#pragma once

#include "decode/capabilities.hpp"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// The namespace of every label; NFD accepts subdomains of its own without
// configuration.
constexpr const char kNodeLabelPrefix[] = "veldrix.feature.node.kubernetes.io/";

struct NodeLabel {
    std::string name; // without the prefix
    std::string value;
};

// Every label of the facts, in a fixed order, values already reduced to the
// label syntax.
std::vector<NodeLabel> DescribeNodeLabels(const CapabilityFacts& facts);

// Whether the OS enables the vector state the Linux flag's instructions
// use (AVX, AVX-512, AMX in XCR0); true for a flag that needs none, none when
// XCR0 is unknown.
std::optional<bool> FlagEnabledByOs(const std::string& linuxFlag, const OsSupport& os);

// The text as a label value: letters, digits, '-', '_' and '.' kept, a run
// of anything else (blanks, quotes, control bytes, non-ASCII) one '-', no
// punctuation first or last, at most 63 characters.
std::string ReduceToLabelValue(const std::string& text);

// Kubernetes' rules: a name of at most 63 characters, letters and digits at
// both ends and letters, digits, '-', '_', '.' between, after a prefix that
// is a DNS subdomain of at most 253 characters and a '/'; a value empty or
// of the name's syntax.
bool IsValidLabelName(const std::string& qualifiedName);
bool IsValidLabelValue(const std::string& value);

// Writes the features file: a comment line, the expiry directive when an
// expiry time (RFC 3339) is given, then one line per valid label. Gives the
// labels that broke the rules; they are not written.
std::vector<NodeLabel> WriteNodeFeatures(const std::vector<NodeLabel>& labels,
                                         const std::optional<std::string>& expiryTime, std::ostream& out);
