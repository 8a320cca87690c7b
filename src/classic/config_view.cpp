// The names of the leaf 2 descriptor bytes, in register and byte order.
#include "classic/record.hpp"
#include "classic/views.hpp"
#include "console/console_io.hpp"

void ShowConfigurationDescriptors(const ProcessorRecord& record) {
    WriteHeading("Standard processor configuration descriptor :");
    for (const std::string& name : record.configNames) {
        if (!name.empty()) {
            ConLine(" -> " + MachineText(name));
        }
    }
    PauseEnd();
}
