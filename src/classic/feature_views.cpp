// The four feature lists: one row per named bit of a feature register.
#include "classic/record.hpp"
#include "classic/shared_rows.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "names/processor_db.hpp"

namespace {

// F and f stop after this bit so that a full list fits on a 25-line screen.
constexpr int kPauseAfterBit = 14;

struct FeatureList {
    const char* heading;
    const FeatureNameTable& names;
    const FeatureStatusTable& statuses;
    int32_t width;
    bool pauseAfterBit14;
    const ProcessorRecord* extendedOf; // the extended list names bits through ExtendedFeatureName
};

std::string RowName(const FeatureList& list, int bit) {
    if (list.extendedOf != nullptr) {
        return ExtendedFeatureName(*list.extendedOf, bit);
    }
    return list.names[bit];
}

void WriteFeatureRow(const FeatureList& list, int bit) {
    uint8_t status = list.statuses[bit];
    if (status == StatusHidden) {
        return;
    }
    ConWrite(" -> " + PadRight(MachineText(RowName(list, bit)), list.width) + " : ");
    ConFlush();
    ConLine(status == StatusPresent ? "Yes" : "No");
}

// Heading, the rows of bits 0 to 31, then the end prompt.
void WriteFeatureList(const FeatureList& list) {
    WriteHeading(list.heading);
    for (int bit = 0; bit < 32; ++bit) {
        WriteFeatureRow(list, bit);
        if (list.pauseAfterBit14 && bit == kPauseAfterBit) {
            PauseMore();
        }
    }
    PauseEnd();
}

} // namespace

void ShowStandardFeatures(const ProcessorRecord& record, const TextWidths& widths) {
    WriteFeatureList({"Standard processor features supported :", record.stdFeatureNames,
                      record.stdFeatureStatus, widths.standardFeatures, true, nullptr});
}

void ShowExtendedFeatures(const ProcessorRecord& record, const TextWidths& widths) {
    if (!record.extPresent) {
        return;
    }
    WriteFeatureList({"Extended processor features supported :", record.extFeatureNames,
                      record.extFeatureStatus, widths.extendedFeatures, true, &record});
}

void ShowPowerManagement(const ProcessorRecord& record, const TextWidths& widths) {
    WriteFeatureList({"Enhanced Power Management supported :", record.powerMgmtNames, record.powerMgmtStatus,
                      widths.powerManagement, false, nullptr});
}

void ShowTransmetaFeatures(const ProcessorRecord& record) {
    WriteFeatureList({"Transmeta processor features supported :", record.tmxFeatureNames,
                      record.tmxFeatureStatus, 0, false, nullptr});
}
