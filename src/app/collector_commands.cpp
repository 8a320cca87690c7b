#include "app/collector_commands.hpp"

#include "app/command_line.hpp"
#include "common/plain_text.hpp"
#include "common/utc_time.hpp"
#include "console/console_io.hpp"
#include "outputs/node_labels.hpp"
#include "outputs/prometheus_metrics.hpp"
#include "platform/platform.hpp"

#include <chrono>
#include <ostream>
#include <sstream>

namespace {

// What follows a collector option: the folder to write into and, where the
// option takes one, how long the facts stay valid.
struct CollectorOptions {
    std::optional<std::string> folder;
    std::optional<int64_t> expirySeconds;
};

// Reads "--output DIR" and (when allowed) "--expiry DURATION"; the usage
// status when an operand is anything else.
std::optional<int> ReadCollectorOptions(const CommandRequest& request, bool takesExpiry,
                                        CollectorOptions& options) {
    const std::vector<std::string>& operands = request.operands;
    for (size_t i = 0; i < operands.size(); i += 2) {
        const std::string& option = operands[i];
        bool known = option == "--output" || (takesExpiry && option == "--expiry");
        if (!known) {
            return UsageError(request, "unexpected argument " + WithoutControlBytes(option));
        }
        if (i + 1 >= operands.size()) {
            return UsageError(request, option + " needs a value");
        }
        if (option == "--output") {
            options.folder = operands[i + 1];
            continue;
        }
        options.expirySeconds = ParseDurationSeconds(operands[i + 1]);
        if (!options.expirySeconds) {
            return UsageError(request, "--expiry needs a duration such as 90s, 30m, 12h or 7d");
        }
    }
    return std::nullopt;
}

// Writes the text as FOLDER/name through a temporary dotfile renamed over
// it once whole, so a collector reading the folder never sees half a file.
int WriteIntoFolder(const CommandRequest& request, const std::string& folder, const char* name,
                    const std::string& text) {
    std::string path = folder + "/" + name;
    PlatformFileWriter writer;
    if (!writer.Open(path) || !writer.Write(text.data(), text.size()) || !writer.Commit()) {
        request.err << "veldrix: cannot write " << OneLineText(request.err, path) << ": "
                    << writer.FailureText() << kPlainLineEnd;
        return kUnreadableDumpStatus;
    }
    return 0;
}

// The text on standard output, or into the folder when one was named.
int DeliverText(const CommandRequest& request, const CollectorOptions& options, const char* fileName,
                const std::string& text) {
    if (options.folder) {
        return WriteIntoFolder(request, *options.folder, fileName, text);
    }
    request.out << text;
    request.out.flush();
    return 0;
}

int64_t SecondsSinceEpoch() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The options after the command and the facts of the machine or the dump;
// none when both were read, else the exit status.
std::optional<int> PrepareCollector(const CommandRequest& request, bool takesExpiry,
                                    CollectorOptions& options, CapabilityFacts& facts) {
    if (std::optional<int> status = ReadCollectorOptions(request, takesExpiry, options)) {
        return status;
    }
    CapabilitySource source;
    if (!GatherFactsFrom(request.dumpPath, request.err, facts, source)) {
        return kUnreadableDumpStatus;
    }
    return std::nullopt;
}

} // namespace

int RunNfd(const CommandRequest& request) {
    CollectorOptions options;
    CapabilityFacts facts;
    if (std::optional<int> status = PrepareCollector(request, true, options, facts)) {
        return *status;
    }
    std::optional<std::string> expiry;
    if (options.expirySeconds) {
        expiry = Rfc3339Utc(SecondsSinceEpoch() + *options.expirySeconds);
    }
    std::ostringstream text;
    std::vector<NodeLabel> rejected = WriteNodeFeatures(DescribeNodeLabels(facts), expiry, text);
    for (const NodeLabel& label : rejected) {
        request.err << "veldrix: label breaks the Kubernetes label rules: "
                    << OneLineText(request.err, label.name + "=" + label.value) << kPlainLineEnd;
    }
    if (!rejected.empty()) {
        return kInvalidOutputStatus;
    }
    return DeliverText(request, options, "veldrix", text.str());
}

int RunPrometheus(const CommandRequest& request) {
    CollectorOptions options;
    CapabilityFacts facts;
    if (std::optional<int> status = PrepareCollector(request, false, options, facts)) {
        return *status;
    }
    std::ostringstream text;
    WritePrometheusMetrics(facts, text);
    return DeliverText(request, options, "veldrix.prom", text.str());
}
