#include "app/decode_command.hpp"

#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "names/field_table.hpp"
#include "names/processor_db.hpp"
#include "outputs/decode_output.hpp"

#include <ostream>

int RunDecode(const CommandRequest& request) {
    bool json = false;
    for (const std::string& operand : request.operands) {
        if (operand != "--json" || json) {
            return UsageError(request, "unexpected argument " + WithoutControlBytes(operand));
        }
        json = true;
    }
    CpuidSnapshot snapshot;
    if (std::optional<int> status = ReadProcessorsFrom(request.dumpPath, request.err, snapshot)) {
        return *status;
    }
    IniFile database = OpenDatabase();
    CapabilitySource source{!request.dumpPath, request.dumpPath.value_or(""), ReadDatabaseVersion(database)};
    FieldTable table = ReadFieldTable(database);
    DescriptorNames names = ReadDescriptorNames(database);
    TopologyFacts topology = DecodeTopology(snapshot, source.hardware && !snapshot.singleProcessorFallback);
    SnapshotFields fields = DecodeSnapshotFields(snapshot, table, topology);
    DecodeReport report{fields, topology, names, source};
    if (json) {
        WriteDecodeJson(report, request.out);
    } else {
        WriteDecodeText(report, request.out);
    }
    request.out.flush();
    return 0;
}
