// The report sections of the Transmeta leaves (0x80860000 and up) and the
// benchmark results.
#include "classic/html_report.hpp"
#include "classic/record.hpp"
#include "classic/run_state.hpp"
#include "classic/transmeta.hpp"
#include "common/text_format.hpp"

namespace {

// A score in millions, or "Not Tested Yet" when no run has measured one.
std::string ScoreText(double score, const char* unit) {
    if (!(score > 0.0)) {
        return "Not Tested Yet";
    }
    return FixedReal(score / 1000000.0, 11, 4) + unit;
}

} // namespace

void WriteTransmetaIdentitySection(const ProcessorRecord& r) {
    WriteTitleRow("Transmeta Processor Identity");
    WriteValueRow("Family", HexDigit(r.tmxFamily));
    WriteValueRow("Model", HexDigit(r.tmxModel));
    WriteValueRow("Stepping", HexDigit(r.tmxStepping));
    WriteValueRow("Hardware Revision", TransmetaHardwareRevision(r));
    reportFile.Flush();
    if (HasTransmetaLeaf(r, 0x80860002)) {
        WriteValueRow("Software Revision", TransmetaSoftwareRevision(r));
    }
    if (HasTransmetaLeaf(r, 0x80860003)) {
        WriteValueRow("Additional Information",
                      HtmlText(NulText(r.tmxInfoText.data(), r.tmxInfoText.size())));
    }
    WriteValueRow("Clock Frequency", Decimal(r.tmxNominalMhz) + " MHz");
    reportFile.Flush();
    EndReportSection();
}

void WriteTransmetaFeaturesSection(const ProcessorRecord& r) {
    WriteTitleRow("Transmeta Processor Features");
    WriteFeatureRows(r.tmxFeatureNames, r.tmxFeatureStatus);
    EndReportSection();
}

void WriteTransmetaStatusSection(const ProcessorRecord& r) {
    WriteTitleRow("Transmeta Processor Actual Status");
    WriteValueRow("Frequency", Decimal(r.tmxCurrentMhz) + " MHz");
    WriteValueRow("Voltage", Decimal(r.tmxCurrentVoltage) + " mV");
    WriteValueRow("Performance", Decimal(r.tmxCurrentPerformance) + " percent");
    EndReportSection();
}

void WriteBenchmarkSection(const RunState& run) {
    // A replayed processor was never measured: the scores are this machine's.
    double dhrystone = run.replaying ? 0.0 : run.dhrystoneScore;
    double whetstone = run.replaying ? 0.0 : run.whetstoneScore;
    WriteTitleRow("Benchmark Result");
    WriteValueRow("Dhrystone ALU", ScoreText(dhrystone, " MIPS"));
    WriteValueRow("Whetstone ALU", ScoreText(whetstone, " MWIPS"));
    EndReportSection();
}
