// The four feature lists: one row per named bit of a feature register.
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "probe/record.hpp"
#include "views/views.hpp"

namespace {

// F and f stop after this bit so that a full list fits on a 25-line screen.
constexpr int kPauseAfterBit = 14;

// Cyrix uses extended bit 24 for its own MMX extensions.
constexpr int kCyrixMmxBit = 24;
const char kCyrixVendorId[] = "CyrixInstead";

struct FeatureList {
    const char* heading;
    const FeatureNameTable& names;
    const FeatureStatusTable& statuses;
    int32_t width;
    bool pauseAfterBit14;
    bool cyrixBit24;
};

std::string RowName(const FeatureList& list, int bit) {
    if (list.cyrixBit24 && bit == kCyrixMmxBit && gRecord.vendorId == kCyrixVendorId) {
        return "Cyrix MMX+ Technology";
    }
    return list.names[bit];
}

void WriteFeatureRow(const FeatureList& list, int bit) {
    uint8_t status = list.statuses[bit];
    if (status == StatusHidden) {
        return;
    }
    ConWrite(" -> " + PadRight(RowName(list, bit), list.width) + " : ");
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

void ShowStandardFeatures() {
    const ProcessorRecord& r = gRecord;
    WriteFeatureList({"Standard processor features supported :", r.stdFeatureNames, r.stdFeatureStatus,
                      r.StandardFeaturesWidth, true, false});
}

void ShowExtendedFeatures() {
    const ProcessorRecord& r = gRecord;
    if (!r.extPresent) {
        return;
    }
    WriteFeatureList({"Extended processor features supported :", r.extFeatureNames, r.extFeatureStatus,
                      r.ExtendedFeaturesWidth, true, true});
}

void ShowPowerManagement() {
    const ProcessorRecord& r = gRecord;
    WriteFeatureList({"Enhanced Power Management supported :", r.powerMgmtNames, r.powerMgmtStatus,
                      r.PowerManagementWidth, false, false});
}

void ShowTransmetaFeatures() {
    const ProcessorRecord& r = gRecord;
    WriteFeatureList(
        {"Transmeta processor features supported :", r.tmxFeatureNames, r.tmxFeatureStatus, 0, false, false});
}
