#include "probe/cpuid.hpp"

#include "platform/platform.hpp"

#include <memory>
#include <utility>

namespace {

CpuidRegs HardwareCpuid(uint32_t leaf) {
    uint32_t regs[4] = {0, 0, 0, 0};
    PlatformCpuid(leaf, regs);
    return CpuidRegs{regs[0], regs[1], regs[2], regs[3]};
}

CpuidBackend HardwareBackend() {
    return CpuidBackend{PlatformHasCpuid, HardwareCpuid};
}

CpuidBackend& Backend() {
    static CpuidBackend backend = HardwareBackend();
    return backend;
}

} // namespace

void SetCpuidBackend(CpuidBackend backend) {
    Backend() = std::move(backend);
}

void UseHardwareCpuid() {
    Backend() = HardwareBackend();
}

void UseCpuidTable(CpuidTable table) {
    auto shared = std::make_shared<const CpuidTable>(std::move(table));
    SetCpuidBackend(CpuidBackend{[shared] { return shared->count(0) != 0; },
                                 [shared](uint32_t leaf) {
                                     auto found = shared->find(leaf);
                                     return found == shared->end() ? CpuidRegs{0, 0, 0, 0} : found->second;
                                 }});
}

bool HasCpuid() {
    return Backend().hasCpuid();
}

CpuidRegs ExecuteCpuid(uint32_t leaf) {
    return Backend().execute(leaf);
}
