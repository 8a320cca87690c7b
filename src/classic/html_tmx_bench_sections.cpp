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

void WriteTransmetaIdentitySection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Transmeta Processor Identity");
    WriteValueRow(page, "Family", HexDigit(record.tmxFamily));
    WriteValueRow(page, "Model", HexDigit(record.tmxModel));
    WriteValueRow(page, "Stepping", HexDigit(record.tmxStepping));
    WriteValueRow(page, "Hardware Revision", TransmetaHardwareRevision(record));
    page.Flush();
    if (HasTransmetaLeaf(record, 0x80860002)) {
        WriteValueRow(page, "Software Revision", TransmetaSoftwareRevision(record));
    }
    if (HasTransmetaLeaf(record, 0x80860003)) {
        WriteValueRow(page, "Additional Information",
                      HtmlText(NulText(record.tmxInfoText.data(), record.tmxInfoText.size())));
    }
    WriteValueRow(page, "Clock Frequency", Decimal(record.tmxNominalMhz) + " MHz");
    page.Flush();
    EndReportSection(page);
}

void WriteTransmetaFeaturesSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Transmeta Processor Features");
    WriteFeatureRows(page, record.tmxFeatureNames, record.tmxFeatureStatus);
    EndReportSection(page);
}

void WriteTransmetaStatusSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Transmeta Processor Actual Status");
    WriteValueRow(page, "Frequency", Decimal(record.tmxCurrentMhz) + " MHz");
    WriteValueRow(page, "Voltage", Decimal(record.tmxCurrentVoltage) + " mV");
    WriteValueRow(page, "Performance", Decimal(record.tmxCurrentPerformance) + " percent");
    EndReportSection(page);
}

void WriteBenchmarkSection(TextFile& page, const RunState& run) {
    // A replayed processor was never measured: the scores are this machine's.
    double dhrystone = run.replaying ? 0.0 : run.dhrystoneScore;
    double whetstone = run.replaying ? 0.0 : run.whetstoneScore;
    WriteTitleRow(page, "Benchmark Result");
    WriteValueRow(page, "Dhrystone ALU", ScoreText(dhrystone, " MIPS"));
    WriteValueRow(page, "Whetstone ALU", ScoreText(whetstone, " MWIPS"));
    EndReportSection(page);
}
