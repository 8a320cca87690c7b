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

// One optional section of the page: written when its flag is set, that is
// once the menu has offered the section.
struct ReportSection {
    bool SectionFlagSet::*flag;
    void (*write)(TextFile& page, const ProcessorRecord& record);
};

// Asks for the name, writes the page (the sections given, in their order,
// offered in the run, then the benchmark section), and returns to the menu. A file that cannot
// be created is named, with the reason, on standard error; a failed write is
// reported by one console line. The program goes on.
void WriteHtmlReport(const ProcessorRecord& record, const RunState& run,
                     const std::vector<ReportSection>& sections);

// Asks for the file name and creates the page under it (name receives it,
// with its ".html"); false when no file was created (one line on standard
// error says why, unless the input ended).
bool AskReportFile(TextFile& page, std::string& name);

void WriteReportHead(TextFile& page);
void WriteReportFoot(TextFile& page);

// Sections, in the order of the menu keys I F C i f 1 2 P H T t S, and the
// benchmark results. Each ends by flushing the file.
void WriteIdentitySection(TextFile& page, const ProcessorRecord& record);
void WriteStdFeaturesSection(TextFile& page, const ProcessorRecord& record);
void WriteConfigDescriptorSection(TextFile& page, const ProcessorRecord& record);
void WriteExtIdentitySection(TextFile& page, const ProcessorRecord& record);
void WriteExtFeaturesSection(TextFile& page, const ProcessorRecord& record);
void WriteL1CacheSection(TextFile& page, const ProcessorRecord& record);
void WriteL2CacheSection(TextFile& page, const ProcessorRecord& record);
void WritePowerManagementSection(TextFile& page, const ProcessorRecord& record);
void WriteAddressSizeSection(TextFile& page, const ProcessorRecord& record);
void WriteTransmetaIdentitySection(TextFile& page, const ProcessorRecord& record);
void WriteTransmetaFeaturesSection(TextFile& page, const ProcessorRecord& record);
void WriteTransmetaStatusSection(TextFile& page, const ProcessorRecord& record);
void WriteBenchmarkSection(TextFile& page, const RunState& run);

// Text from the processor or the data file made safe inside an HTML cell:
// &, <, > and " become entities.
std::string HtmlText(std::string_view text);

// Row forms. Field names and values are written as given: callers pass texts
// from the processor or the data file through HtmlText first.
void WriteTitleRow(TextFile& page, std::string_view title);
void WriteValueRow(TextFile& page, std::string_view field, std::string_view value);
// The cache rows: the value cell closes on the same line after seven blanks;
// the L2 form also leaves the field cell unclosed.
void WriteL1ValueRow(TextFile& page, std::string_view field, std::string_view value);
void WriteL2ValueRow(TextFile& page, std::string_view field, std::string_view value);
void WriteFlagRow(TextFile& page, std::string_view field, bool present);
// A flag row without its closing "</tr>" line.
void WriteOpenFlagRow(TextFile& page, std::string_view field, bool present);
void WriteDescriptorRow(TextFile& page, std::string_view name);
void WriteSpacerRow(TextFile& page);
// The spacer whose cell carries width=12.
void WriteWideSpacerRow(TextFile& page);

// The ordinary spacer row, then the flush that ends a section.
void EndReportSection(TextFile& page);

// One flag row per feature bit whose status is not hidden, named by the data file.
void WriteFeatureRows(TextFile& page, const FeatureNameTable& names, const FeatureStatusTable& status);
