#include "classic/probe.hpp"

#include "classic/features.hpp"
#include "classic/record_identity.hpp"
#include "classic/transmeta.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "cpuid/registers.hpp"
#include "decode/identity.hpp"
#include "names/processor_db.hpp"

#include <ostream>
#include <string>

namespace {

// Tells the steps of the probe; silent without a stream.
class Narration {
  public:
    explicit Narration(std::ostream* out) : out_(out) {}

    // A start line is shown at once so the user sees it while the step runs.
    void Start(const std::string& text) const {
        if (out_) {
            *out_ << text << std::flush;
        }
    }
    void End(const std::string& value) const { Whole("[done]  ==>  " + value); }
    void Whole(const std::string& text) const {
        if (out_) {
            WriteConsoleLine(*out_, text);
        }
    }
    // A text from the processor or a dump, as the console shows it.
    std::string Machine(const std::string& text) const { return out_ ? TerminalText(*out_, text) : text; }

  private:
    std::ostream* out_;
};

std::string DashList(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return DwordToHex(a) + "-" + DwordToHex(b) + "-" + DwordToHex(c) + "-" + DwordToHex(d);
}

std::string DashList(const std::array<uint32_t, 4>& regs) {
    return DashList(regs[0], regs[1], regs[2], regs[3]);
}

std::array<uint32_t, 4> AsArray(const CpuidRegs& regs) {
    return {regs.eax, regs.ebx, regs.ecx, regs.edx};
}

void PresetFeatureStatus(ProcessorRecord& record) {
    record.stdFeatureStatus.fill(StatusHidden);
    record.extFeatureStatus.fill(StatusHidden);
    record.powerMgmtStatus.fill(StatusHidden);
}

// Leaf 0: registers, the standard max leaf and the vendor identification.
void ReadVendorLeaf(ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    record.stdRegs[0] = snapshot.Answer(0, 0);
    record.maxStandardLeaf = record.stdRegs[0].eax;
    record.vendorId = VendorIdText(record.stdRegs[0]);
}

// Leaves 1 to 3, as far as the standard max leaf allows.
void ReadStandardLeaves(ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    for (uint32_t leaf = 1; leaf <= 3 && HasStandardLeaf(record, leaf); ++leaf) {
        record.stdRegs[leaf] = snapshot.Answer(0, leaf);
    }
    if (HasStandardLeaf(record, 1)) {
        SplitStandardSignature(record, record.stdRegs[1]);
    }
    if (HasStandardLeaf(record, 2)) {
        record.configRegs = AsArray(record.stdRegs[2]);
    }
    if (HasStandardLeaf(record, 3)) {
        record.serialLow = record.stdRegs[3].ecx;
        record.serialMid = record.stdRegs[3].edx;
    }
}

// Leaf 0x80000000 and the extended leaves up to 0x80000008 it reports.
void ReadExtendedLeaves(ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    record.extPresent = false;
    record.extRegs[0] = snapshot.Answer(0, kExtendedBase);
    record.maxExtendedLeaf = record.extRegs[0].eax;
    if (!HasExtendedLeaf(record, 0x80000001)) {
        return;
    }
    // The three brand string leaves are read together once the first is reported.
    bool brandReported = HasExtendedLeaf(record, 0x80000002);
    for (uint32_t index = 1; index < kExtendedLeafCount; ++index) {
        bool brandLeaf = index >= 2 && index <= 4;
        if (HasExtendedLeaf(record, kExtendedBase + index) || (brandLeaf && brandReported)) {
            record.extRegs[index] = snapshot.Answer(0, kExtendedBase + index);
        }
    }
    record.addressSizes = record.extRegs[8].eax;
    record.powerMgmtFlags = record.extRegs[7].edx;
    record.l2Regs = AsArray(record.extRegs[6]);
    record.l1Regs = AsArray(record.extRegs[5]);
    if (brandReported) {
        record.brandString = BrandStringBytes(snapshot);
    }
    SplitExtendedSignature(record, record.extRegs[1].eax);
    record.extFeatureFlags = record.extRegs[1].edx;
    record.extPresent = true;
}

void ProbeExtendedSections(ProcessorRecord& record, const IniFile& database, const Narration& say) {
    say.Whole(" -> Retrieving Extended Level CPUID...[done]  ==>  " + DwordToHex(record.extSignature));
    say.Start(" -> Retrieving Extended Level Features...");
    DecodeFeatureRegister(database, record.extFeatureFlags, record.extFeatureStatus, "ExtendedFeatures",
                          record.extFeatureNames);
    say.End(DwordToHex(record.extFeatureFlags));
    if (HasExtendedLeaf(record, 0x80000005)) {
        say.Start(" -> Retrieving Level 1 Cache...");
        DecodeL1Fields(record);
        say.End(DashList(record.l1Regs));
    }
    if (HasExtendedLeaf(record, 0x80000006)) {
        say.Start(" -> Retrieving Level 2 Cache...");
        DecodeL2Fields(record);
        say.End(DashList(record.l2Regs));
    }
    if (HasExtendedLeaf(record, 0x80000007)) {
        say.Start(" -> Retrieving Enhanced Power Management...");
        DecodeFeatureRegister(database, record.powerMgmtFlags, record.powerMgmtStatus,
                              "EnhancedPowerManagement", record.powerMgmtNames);
        say.End(DwordToHex(record.powerMgmtFlags));
    }
    if (HasExtendedLeaf(record, 0x80000008)) {
        say.Start(" -> Retrieving Physical Linear Address...");
        DecodeAddressSizes(record);
        say.End(DwordToHex(record.addressSizes));
    }
}

void ProbeTransmetaSections(ProcessorRecord& record, const ProbeSources& sources, const Narration& say) {
    ReadTransmetaLeaves(record, sources.snapshot);
    if (!HasTransmetaLeaf(record, 0x80860001)) {
        return;
    }
    record.tmxVendorId = VendorIdText(record.tmxRegs[0]);
    DecodeFeatureRegister(sources.database, record.tmxFeatureFlags, record.tmxFeatureStatus,
                          "TransmetaFeatures", record.tmxFeatureNames);
    say.Whole(" -> Max. Transmeta Level : " + DwordToHex(record.maxTransmetaLeaf));
    say.Whole(" -> Retrieving Transmeta Level CPUID...[done]  ==>  " + DwordToHex(record.tmxRegs[1].ebx));
    if (HasTransmetaLeaf(record, 0x80860002)) {
        say.Whole(" -> Retrieving Transmeta Software Version...[done]  ==>  " +
                  DwordToHex(record.tmxRegs[2].ebx) + "-" + DwordToHex(record.tmxRegs[2].ecx));
    }
    if (HasTransmetaLeaf(record, 0x80860007)) {
        say.Whole(" -> Retrieving Current CPU Status...[done]  ==>  " + DashList(AsArray(record.tmxRegs[7])));
    }
}

// Without a clock to count (a replayed dump, or a processor without a
// time-stamp counter, where RDTSC would fault) both values stay 0.
void ProbeClock(ProcessorRecord& record, const TickCounter& clockTicks, const Narration& say) {
    say.Start(" -> Calculating processor speed...");
    if (!clockTicks || !BitSet(record.stdFeatureFlags, kBitTimeStampCounter)) {
        say.Whole("[skipped]");
        return;
    }
    record.measuredMhz = MeasureClock(clockTicks, record.normalizedMhz);
    say.End(FixedReal(record.measuredMhz, 8, 3) + " MHz" + "  [ ~" + Decimal(record.normalizedMhz) + " MHz]");
}

} // namespace

bool HasCpuidLeaves(const CpuidSnapshot& snapshot) {
    return snapshot.Has(0, 0);
}

void ProbeProcessor(ProcessorRecord& record, const ProbeSources& sources) {
    const IniFile& database = sources.database;
    Narration say(sources.narration);
    PresetFeatureStatus(record);

    say.Start(" -> Retrieving VendorID...");
    ReadVendorLeaf(record, sources.snapshot);
    say.End(say.Machine(record.vendorId));
    say.Whole(" -> Max. Standard Level : " + DwordToHex(record.maxStandardLeaf));

    say.Start(" -> Retrieving Standard Level CPUID...");
    ReadStandardLeaves(record, sources.snapshot);
    ReadExtendedLeaves(record, sources.snapshot);
    say.End(DwordToHex(record.signature));

    DecodeIdentityNames(record, database);
    say.Whole(" -> Brand ID : " + ByteToHex(record.brandId));

    if (HasStandardLeaf(record, 1)) {
        say.Start(" -> Retrieving Standard Level Features...");
        DecodeFeatureRegister(database, record.stdFeatureFlags, record.stdFeatureStatus, "StandardFeatures",
                              record.stdFeatureNames);
        say.End(DwordToHex(record.stdFeatureFlags));
    }
    if (HasStandardLeaf(record, 2)) {
        say.Start(" -> Retrieving Standard Configuration...");
        DecodeConfigurationDescriptors(record, database);
        say.End(DashList(record.configRegs));
    }
    if (HasStandardLeaf(record, 3)) {
        say.Start(" -> Retrieving Processor Serial Number...");
        FormatSerialNumber(record);
        say.End(record.serialText);
    }
    say.Whole(" -> Max. Extended Level : " + DwordToHex(record.maxExtendedLeaf));

    if (record.extPresent) {
        ProbeExtendedSections(record, database, say);
        ProbeTransmetaSections(record, sources, say);
    }

    ProbeClock(record, sources.clockTicks, say);
}
