// "veldrix --dump" and "veldrix -r DUMP --dump" as a user runs them.
#include "platform/platform.hpp"
#include "support/harness.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

size_t ProcessorHeaders(const std::string& output) {
    return CountOf(output, "\nCPU ") + CountOf(output, "\nCPU:\n");
}

// How each written layout begins: cpuid -f reads nothing but headers and
// leaf lines, while the snapshot layout names itself.
struct WrittenLayout {
    const char* option;
    const char* start;
};

const WrittenLayout kLayouts[] = {
    {"--dump", "CPU "},
    {"--snapshot", "# VELDRIX 1.30 CPUID dump\nCPU"},
};

TEST(DumpCommandE2e, ThisMachineListsEveryAllowedCpu) {
    for (const WrittenLayout& layout : kLayouts) {
        SCOPED_TRACE(layout.option);
        BinaryRun run = RunBinary({layout.option}, "");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output.rfind(layout.start, 0), 0u);
        EXPECT_EQ(run.output.find('\r'), std::string::npos);
        EXPECT_EQ(ProcessorHeaders("\n" + run.output), PlatformAllowedProcessors().size());
        EXPECT_EQ(run.output.find("~ VELDRIX"), std::string::npos) << "no banner before a dump";
    }
}

struct ConversionCase {
    const char* file;
    size_t processors;
};

const ConversionCase kConversions[] = {
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 1},
    {"GenuineIntel0090672_AlderLake_02_CPUID.txt", 12},
    {"qemu-virtual-cpu-version.test", 1},
    {"GenuineTMx860000543_Crusoe_CPUID.txt", 1},
};

TEST(DumpCommandE2e, ConvertedDumpsConvertAgainUnchanged) {
    for (const ConversionCase& c : kConversions) {
        for (const WrittenLayout& layout : kLayouts) {
            SCOPED_TRACE(std::string(c.file) + " " + layout.option);
            BinaryRun first =
                RunBinary({"-r", VELDRIX_DUMPS_DIR "/" + std::string(c.file), layout.option}, "");
            EXPECT_EQ(first.status, 0);
            EXPECT_EQ(first.output.rfind(layout.start, 0), 0u);
            EXPECT_EQ(ProcessorHeaders("\n" + first.output), c.processors);
            BinaryRun second =
                RunBinary({"-r", WriteTempFile("converted.txt", first.output), layout.option}, "");
            EXPECT_EQ(second.status, 0);
            EXPECT_EQ(second.output, first.output);
        }
    }
}

TEST(DumpCommandE2e, UnreadableDumpEndsWithStatus2AndNothingWritten) {
    BinaryRun missing = RunBinary({"-r", MakeTempDir("missing") + "/none.txt", "--dump"}, "");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.output, "");
    BinaryRun empty = RunBinary({"-r", WriteTempFile("noleaf.txt", "nothing\n"), "--dump"}, "");
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.output, "");
}

} // namespace
