// The HTML system report of key R: the file dialogue, the page frame, the
// row forms every section is built from, and the thirteen section writers.
#pragma once

#include "classic/record_types.hpp"
#include "classic/text_file.hpp"

#include <string>
#include <string_view>
#include <vector>

struct ProcessorRecord;
struct RunState;

// The report being written, open only while WriteHtmlReport runs.
extern TextFile reportFile;

// The name of the last report file, with its ".html".
extern std::string reportFileName;

// One optional section of the page: written when its flag is set, that is
// once the menu has offered the section.
struct ReportSection {
    bool SectionFlagSet::*flag;
    void (*write)(const ProcessorRecord& record);
};

// Asks for the name, writes the page (the sections given, in their order,
// offered in the run, then the benchmark section), and returns to the menu. A file that cannot
// be created is named, with the reason, on standard error; a failed write is
// reported by one console line. The program goes on.
void WriteHtmlReport(const ProcessorRecord& record, const RunState& run,
                     const std::vector<ReportSection>& sections);

// Asks for the file name and creates the file; false when no file was
// created (one line on standard error says why, unless the input ended).
bool AskReportFile();

void WriteReportHead();
void WriteReportFoot();

// Sections, in the order of the menu keys I F C i f 1 2 P H T t S, and the
// benchmark results. Each ends by flushing the file.
void WriteIdentitySection(const ProcessorRecord& record);
void WriteStdFeaturesSection(const ProcessorRecord& record);
void WriteConfigDescriptorSection(const ProcessorRecord& record);
void WriteExtIdentitySection(const ProcessorRecord& record);
void WriteExtFeaturesSection(const ProcessorRecord& record);
void WriteL1CacheSection(const ProcessorRecord& record);
void WriteL2CacheSection(const ProcessorRecord& record);
void WritePowerManagementSection(const ProcessorRecord& record);
void WriteAddressSizeSection(const ProcessorRecord& record);
void WriteTransmetaIdentitySection(const ProcessorRecord& record);
void WriteTransmetaFeaturesSection(const ProcessorRecord& record);
void WriteTransmetaStatusSection(const ProcessorRecord& record);
void WriteBenchmarkSection(const RunState& run);

// Text from the processor or the data file made safe inside an HTML cell:
// &, <, > and " become entities.
std::string HtmlText(std::string_view text);

// Row forms. Field names and values are written as given: callers pass texts
// from the processor or the data file through HtmlText first.
void WriteTitleRow(std::string_view title);
void WriteValueRow(std::string_view field, std::string_view value);
// The cache rows: the value cell closes on the same line after seven blanks;
// the L2 form also leaves the field cell unclosed.
void WriteL1ValueRow(std::string_view field, std::string_view value);
void WriteL2ValueRow(std::string_view field, std::string_view value);
void WriteFlagRow(std::string_view field, bool present);
// A flag row without its closing "</tr>" line.
void WriteOpenFlagRow(std::string_view field, bool present);
void WriteDescriptorRow(std::string_view name);
void WriteSpacerRow();
// The spacer whose cell carries width=12.
void WriteWideSpacerRow();

// The ordinary spacer row, then the flush that ends a section.
void EndReportSection();

// One flag row per feature bit whose status is not hidden, named by the data file.
void WriteFeatureRows(const FeatureNameTable& names, const FeatureStatusTable& status);
