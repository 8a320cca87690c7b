#include "probe/probe.hpp"

#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "console/menu_sections.hpp"
#include "database/processor_db.hpp"
#include "probe/clock.hpp"
#include "probe/cpuid.hpp"
#include "probe/features.hpp"
#include "probe/identity.hpp"
#include "probe/leaves.hpp"
#include "probe/record.hpp"
#include "probe/transmeta.hpp"

#include <string>

namespace {

// A start line is shown at once so the user sees it while the step runs.
void StartLine(const ProcessorRecord& r, const std::string& text) {
    if (r.verbose) {
        ConWrite(text);
        ConFlush();
    }
}

void EndLine(const ProcessorRecord& r, const std::string& value) {
    if (r.verbose) {
        ConLine("[done]  ==>  " + value);
    }
}

void WholeLine(const ProcessorRecord& r, const std::string& text) {
    if (r.verbose) {
        ConLine(text);
    }
}

std::string DashList(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return DwordToHex(a) + "-" + DwordToHex(b) + "-" + DwordToHex(c) + "-" + DwordToHex(d);
}

std::string DashList(const std::array<uint32_t, 4>& regs) {
    return DashList(regs[0], regs[1], regs[2], regs[3]);
}

std::string VendorText(const uint8_t buffer[12]) {
    return NulText(buffer, 12);
}

CpuidRegs ReadExtendedLeaf(ProcessorRecord& r, uint32_t index) {
    CpuidRegs regs = ExecuteCpuid(kExtendedBase + index);
    r.extRegs[index] = regs;
    return regs;
}

std::array<uint32_t, 4> AsArray(const CpuidRegs& regs) {
    return {regs.eax, regs.ebx, regs.ecx, regs.edx};
}

void ReadBrandLeaf(ProcessorRecord& r, uint32_t index) {
    CpuidRegs regs = ReadExtendedLeaf(r, index);
    RegistersToBytes(regs, r.brandString.data() + 16 * (index - 2));
}

void PresetFeatureStatus(ProcessorRecord& r) {
    r.stdFeatureStatus.fill(StatusHidden);
    r.extFeatureStatus.fill(StatusHidden);
    r.powerMgmtStatus.fill(StatusHidden);
}

void ProbeExtendedSections(ProcessorRecord& r, const IniFile& database) {
    WholeLine(r, " -> Retrieving Extended Level CPUID...[done]  ==>  " + DwordToHex(r.extSignature));
    StartLine(r, " -> Retrieving Extended Level Features...");
    DecodeFeatureRegister(database, r.extFeatureFlags, r.extFeatureStatus, "ExtendedFeatures",
                          r.extFeatureNames);
    EndLine(r, DwordToHex(r.extFeatureFlags));
    if (SectionOffered(r, '1')) {
        StartLine(r, " -> Retrieving Level 1 Cache...");
        DecodeL1Fields(r);
        EndLine(r, DashList(r.l1Regs));
    }
    if (SectionOffered(r, '2')) {
        StartLine(r, " -> Retrieving Level 2 Cache...");
        DecodeL2Fields(r);
        EndLine(r, DashList(r.l2Regs));
    }
    if (SectionOffered(r, 'P')) {
        StartLine(r, " -> Retrieving Enhanced Power Management...");
        DecodeFeatureRegister(database, r.powerMgmtFlags, r.powerMgmtStatus, "EnhancedPowerManagement",
                              r.powerMgmtNames);
        EndLine(r, DwordToHex(r.powerMgmtFlags));
    }
    if (SectionOffered(r, 'H')) {
        StartLine(r, " -> Retrieving Physical Linear Address...");
        DecodeAddressSizes(r);
        EndLine(r, DwordToHex(r.addressSizes));
    }
}

void ProbeTransmetaSections(ProcessorRecord& r, const IniFile& database) {
    ReadTransmetaLeaves(r);
    if (!SectionOffered(r, 'T')) {
        return;
    }
    uint8_t vendor[12];
    TransmetaVendorText(r, vendor);
    r.tmxVendorId = VendorText(vendor);
    DecodeFeatureRegister(database, r.tmxFeatureFlags, r.tmxFeatureStatus, "TransmetaFeatures",
                          r.tmxFeatureNames);
    WholeLine(r, " -> Max. Transmeta Level : " + DwordToHex(r.maxTransmetaLevel));
    WholeLine(r, " -> Retrieving Transmeta Level CPUID...[done]  ==>  " + DwordToHex(r.tmxRegs[1].ebx));
    if (HasTransmetaLeaf(r, 0x80860002)) {
        WholeLine(r, " -> Retrieving Transmeta Software Version...[done]  ==>  " +
                         DwordToHex(r.tmxRegs[2].ebx) + "-" + DwordToHex(r.tmxRegs[2].ecx));
    }
    if (SectionOffered(r, 'S')) {
        WholeLine(r, " -> Retrieving Current CPU Status...[done]  ==>  " + DashList(AsArray(r.tmxRegs[7])));
    }
}

// Without a clock to count (a replayed dump, or a processor without a
// time-stamp counter, where RDTSC would fault) both values stay 0.
void ProbeClock(ProcessorRecord& r) {
    StartLine(r, " -> Calculating processor speed...");
    bool hasCounter = ((r.stdFeatureFlags >> kBitTimeStampCounter) & 1u) != 0;
    if (!ClockMeasurable() || !hasCounter) {
        if (r.verbose) {
            ConLine("[skipped]");
        }
        return;
    }
    r.measuredMhz = MeasureClock(r.normalizedMhz);
    EndLine(r, FixedReal(r.measuredMhz, 8, 3) + " MHz" + "  [ ~" + Decimal(r.normalizedMhz) + " MHz]");
}

} // namespace

void ReadVendorLeaf(ProcessorRecord& r, uint8_t buffer[12]) {
    CpuidRegs regs = ExecuteCpuid(0);
    r.stdRegs[0] = regs;
    r.maxStdLevel = regs.eax;
    DwordToBytes(regs.ebx, buffer);
    DwordToBytes(regs.edx, buffer + 4);
    DwordToBytes(regs.ecx, buffer + 8);
}

void ReadStandardLeaves(ProcessorRecord& r) {
    if (!HasStandardLeaf(r, 1)) {
        return;
    }
    r.stdRegs[1] = ExecuteCpuid(1);
    SplitStandardSignature(r, r.stdRegs[1]);
    if (!HasStandardLeaf(r, 2)) {
        return;
    }
    r.stdRegs[2] = ExecuteCpuid(2);
    r.configRegs = AsArray(r.stdRegs[2]);
    if (!HasStandardLeaf(r, 3)) {
        return;
    }
    r.stdRegs[3] = ExecuteCpuid(3);
    r.serialLow = r.stdRegs[3].ecx;
    r.serialMid = r.stdRegs[3].edx;
}

void ReadExtendedLeaves(ProcessorRecord& r) {
    r.extPresent = false;
    r.maxExtLevel = ReadExtendedLeaf(r, 0).eax;
    if (!HasExtendedLeaf(r, 0x80000001)) {
        return;
    }
    if (HasExtendedLeaf(r, 0x80000008)) {
        r.addressSizes = ReadExtendedLeaf(r, 8).eax;
    }
    if (HasExtendedLeaf(r, 0x80000007)) {
        r.powerMgmtFlags = ReadExtendedLeaf(r, 7).edx;
    }
    if (HasExtendedLeaf(r, 0x80000006)) {
        r.l2Regs = AsArray(ReadExtendedLeaf(r, 6));
    }
    if (HasExtendedLeaf(r, 0x80000005)) {
        r.l1Regs = AsArray(ReadExtendedLeaf(r, 5));
    }
    if (HasExtendedLeaf(r, 0x80000002)) {
        for (uint32_t index = 4; index >= 2; --index) {
            ReadBrandLeaf(r, index);
        }
    }
    CpuidRegs leaf = ReadExtendedLeaf(r, 1);
    SplitExtendedSignature(r, leaf.eax);
    r.extFeatureFlags = leaf.edx;
    r.extPresent = true;
}

void ProbeProcessor(ProcessorRecord& r, const IniFile& database) {
    PresetFeatureStatus(r);

    StartLine(r, " -> Retrieving VendorID...");
    uint8_t vendor[12];
    ReadVendorLeaf(r, vendor);
    r.vendorId = VendorText(vendor);
    EndLine(r, MachineText(r.vendorId));
    WholeLine(r, " -> Max. Standard Level : " + DwordToHex(r.maxStdLevel));

    StartLine(r, " -> Retrieving Standard Level CPUID...");
    ReadStandardLeaves(r);
    ReadExtendedLeaves(r);
    EndLine(r, DwordToHex(r.signature));

    DecodeIdentityNames(r, database);
    WholeLine(r, " -> Brand ID : " + ByteToHex(r.brandId));

    if (SectionOffered(r, 'F')) {
        StartLine(r, " -> Retrieving Standard Level Features...");
        DecodeFeatureRegister(database, r.stdFeatureFlags, r.stdFeatureStatus, "StandardFeatures",
                              r.stdFeatureNames);
        EndLine(r, DwordToHex(r.stdFeatureFlags));
    }
    if (SectionOffered(r, 'C')) {
        StartLine(r, " -> Retrieving Standard Configuration...");
        DecodeConfigurationDescriptors(r, database);
        EndLine(r, DashList(r.configRegs));
    }
    if (HasStandardLeaf(r, 3)) {
        StartLine(r, " -> Retrieving Processor Serial Number...");
        FormatSerialNumber(r);
        EndLine(r, r.serialText);
    }
    WholeLine(r, " -> Max. Extended Level : " + DwordToHex(r.maxExtLevel));

    if (r.extPresent) {
        ProbeExtendedSections(r, database);
        ProbeTransmetaSections(r, database);
    }

    ProbeClock(r);
    r.quitRequested = false;
}
