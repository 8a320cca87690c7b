// The names of the leaf 2 descriptor bytes, in register and byte order.
#include "console/console_io.hpp"
#include "probe/record.hpp"
#include "views/views.hpp"

void ShowConfigurationDescriptors(const ProcessorRecord& r) {
    WriteHeading("Standard processor configuration descriptor :");
    for (const std::string& name : r.configNames) {
        if (!name.empty()) {
            ConLine(" -> " + MachineText(name));
        }
    }
    PauseEnd();
}
