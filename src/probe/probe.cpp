#include "probe/probe.hpp"

#include "common/text_format.hpp"
#include "console/console_io.hpp"
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
void StartLine(const std::string& text) {
    if (gRecord.verbose) {
        ConWrite(text);
        ConFlush();
    }
}

void EndLine(const std::string& value) {
    if (gRecord.verbose) {
        ConLine("[done]  ==>  " + value);
    }
}

void WholeLine(const std::string& text) {
    if (gRecord.verbose) {
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

CpuidRegs ReadExtendedLeaf(uint32_t index) {
    CpuidRegs regs = ExecuteCpuid(kExtendedBase + index);
    gRecord.extRegs[index] = regs;
    return regs;
}

std::array<uint32_t, 4> AsArray(const CpuidRegs& regs) {
    return {regs.eax, regs.ebx, regs.ecx, regs.edx};
}

void ReadBrandLeaf(uint32_t index) {
    CpuidRegs regs = ReadExtendedLeaf(index);
    RegistersToBytes(regs, gRecord.brandString.data() + 16 * (index - 2));
}

void PresetFeatureStatus() {
    gRecord.stdFeatureStatus.fill(StatusHidden);
    gRecord.extFeatureStatus.fill(StatusHidden);
    gRecord.powerMgmtStatus.fill(StatusHidden);
}

void ProbeExtendedSections() {
    ProcessorRecord& r = gRecord;
    WholeLine(" -> Retrieving Extended Level CPUID...[done]  ==>  " + DwordToHex(r.extSignature));
    StartLine(" -> Retrieving Extended Level Features...");
    DecodeFeatureRegister(r.extFeatureFlags, r.extFeatureStatus, "ExtendedFeatures", r.extFeatureNames);
    EndLine(DwordToHex(r.extFeatureFlags));
    if (r.maxExtLevel > kExtendedBase + 4) {
        StartLine(" -> Retrieving Level 1 Cache...");
        DecodeL1Fields();
        EndLine(DashList(r.l1Regs));
    }
    if (r.maxExtLevel > kExtendedBase + 5) {
        StartLine(" -> Retrieving Level 2 Cache...");
        DecodeL2Fields();
        EndLine(DashList(r.l2Regs));
    }
    if (r.maxExtLevel > kExtendedBase + 6) {
        StartLine(" -> Retrieving Enhanced Power Management...");
        DecodeFeatureRegister(r.powerMgmtFlags, r.powerMgmtStatus, "EnhancedPowerManagement",
                              r.powerMgmtNames);
        EndLine(DwordToHex(r.powerMgmtFlags));
    }
    if (r.maxExtLevel > kExtendedBase + 7) {
        StartLine(" -> Retrieving Physical Linear Address...");
        DecodeAddressSizes();
        EndLine(DwordToHex(r.addressSizes));
    }
}

void ProbeTransmetaSections() {
    ProcessorRecord& r = gRecord;
    ReadTransmetaLeaves();
    if (r.maxTransmetaLevel <= kTransmetaBase) {
        return;
    }
    uint8_t vendor[12];
    TransmetaVendorText(vendor);
    r.tmxVendorId = VendorText(vendor);
    DecodeFeatureRegister(r.tmxFeatureFlags, r.tmxFeatureStatus, "TransmetaFeatures", r.tmxFeatureNames);
    WholeLine(" -> Max. Transmeta Level : " + DwordToHex(r.maxTransmetaLevel));
    WholeLine(" -> Retrieving Transmeta Level CPUID...[done]  ==>  " + DwordToHex(r.tmxRegs[1].ebx));
    if (r.maxTransmetaLevel > kTransmetaBase + 1) {
        WholeLine(" -> Retrieving Transmeta Software Version...[done]  ==>  " + DwordToHex(r.tmxRegs[2].ebx) +
                  "-" + DwordToHex(r.tmxRegs[2].ecx));
    }
    if (r.maxTransmetaLevel > kTransmetaBase + 6) {
        WholeLine(" -> Retrieving Current CPU Status...[done]  ==>  " + DashList(AsArray(r.tmxRegs[7])));
    }
}

// Without a clock to count (a replayed dump, or a processor without a
// time-stamp counter, where RDTSC would fault) both values stay 0.
void ProbeClock() {
    ProcessorRecord& r = gRecord;
    StartLine(" -> Calculating processor speed...");
    bool hasCounter = ((r.stdFeatureFlags >> kBitTimeStampCounter) & 1u) != 0;
    if (!ClockMeasurable() || !hasCounter) {
        if (r.verbose) {
            ConLine("[skipped]");
        }
        return;
    }
    r.measuredMhz = MeasureClock();
    EndLine(FixedReal(r.measuredMhz, 8, 3) + " MHz" + "  [ ~" + Decimal(r.normalizedMhz) + " MHz]");
}

} // namespace

void ReadVendorLeaf(uint8_t buffer[12]) {
    CpuidRegs regs = ExecuteCpuid(0);
    gRecord.stdRegs[0] = regs;
    gRecord.maxStdLevel = regs.eax;
    DwordToBytes(regs.ebx, buffer);
    DwordToBytes(regs.edx, buffer + 4);
    DwordToBytes(regs.ecx, buffer + 8);
}

void ReadStandardLeaves() {
    ProcessorRecord& r = gRecord;
    if (r.maxStdLevel < 1) {
        return;
    }
    r.stdRegs[1] = ExecuteCpuid(1);
    SplitStandardSignature(r.stdRegs[1]);
    if (r.maxStdLevel < 2) {
        return;
    }
    r.stdRegs[2] = ExecuteCpuid(2);
    r.configRegs = AsArray(r.stdRegs[2]);
    if (r.maxStdLevel < 3) {
        return;
    }
    r.stdRegs[3] = ExecuteCpuid(3);
    r.serialLow = r.stdRegs[3].ecx;
    r.serialMid = r.stdRegs[3].edx;
}

void ReadExtendedLeaves() {
    ProcessorRecord& r = gRecord;
    r.extPresent = false;
    r.maxExtLevel = ReadExtendedLeaf(0).eax;
    uint32_t m = r.maxExtLevel;
    if (m <= kExtendedBase) {
        return;
    }
    if (m > kExtendedBase + 7) {
        r.addressSizes = ReadExtendedLeaf(8).eax;
    }
    if (m > kExtendedBase + 6) {
        r.powerMgmtFlags = ReadExtendedLeaf(7).edx;
    }
    if (m > kExtendedBase + 5) {
        r.l2Regs = AsArray(ReadExtendedLeaf(6));
    }
    if (m > kExtendedBase + 4) {
        r.l1Regs = AsArray(ReadExtendedLeaf(5));
    }
    if (m > kExtendedBase + 1) {
        for (uint32_t index = 4; index >= 2; --index) {
            ReadBrandLeaf(index);
        }
    }
    CpuidRegs leaf = ReadExtendedLeaf(1);
    SplitExtendedSignature(leaf.eax);
    r.extFeatureFlags = leaf.edx;
    r.extPresent = true;
}

void ProbeProcessor() {
    ProcessorRecord& r = gRecord;
    PresetFeatureStatus();

    StartLine(" -> Retrieving VendorID...");
    uint8_t vendor[12];
    ReadVendorLeaf(vendor);
    r.vendorId = VendorText(vendor);
    EndLine(MachineText(r.vendorId));
    WholeLine(" -> Max. Standard Level : " + DwordToHex(r.maxStdLevel));

    StartLine(" -> Retrieving Standard Level CPUID...");
    ReadStandardLeaves();
    ReadExtendedLeaves();
    EndLine(DwordToHex(r.signature));

    DecodeIdentityNames();
    WholeLine(" -> Brand ID : " + ByteToHex(r.brandId));

    if (r.maxStdLevel > 0) {
        StartLine(" -> Retrieving Standard Level Features...");
        DecodeFeatureRegister(r.stdFeatureFlags, r.stdFeatureStatus, "StandardFeatures", r.stdFeatureNames);
        EndLine(DwordToHex(r.stdFeatureFlags));
    }
    if (r.maxStdLevel > 1) {
        StartLine(" -> Retrieving Standard Configuration...");
        DecodeConfigurationDescriptors();
        EndLine(DashList(r.configRegs));
    }
    if (r.maxStdLevel > 2) {
        StartLine(" -> Retrieving Processor Serial Number...");
        FormatSerialNumber();
        EndLine(r.serialText);
    }
    WholeLine(" -> Max. Extended Level : " + DwordToHex(r.maxExtLevel));

    if (r.extPresent) {
        ProbeExtendedSections();
        ProbeTransmetaSections();
    }

    ProbeClock();
    CloseDatabase();
    r.quitRequested = false;
}
