// The section views through the real binary, driven by piped keys.
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

// Piped Enters are not echoed, so a view's heading follows the menu prompt.
const std::string kMenuPrompt = "And your choise is.. [type \"?\" for help] ";

bool Offered(const std::string& out, char key) {
    return out.find(std::string("  [") + key + "] ") != std::string::npos;
}

} // namespace

// This machine's processor decides which sections the menu offers; every
// offered view must open with its heading and hand back to the menu. Blank
// lines are spare Enters: the menu ignores them, so a view that is not
// offered or stops less often than expected cannot eat the next key.
TEST(ViewsEndToEnd, EveryOfferedViewOnThisProcessor) {
    struct View {
        char key;
        const char* heading;
        bool paged;
    };
    const View views[] = {
        {'I', "\r\nProcessor Identity :\r\n -> Vendor    : ", false},
        {'F', "\r\nStandard processor features supported :\r\n", true},
        {'C', "\r\nStandard processor configuration descriptor :\r\n", false},
        {'i', "\r\nExtended Processor Identity :\r\n -> Family    : ", false},
        {'f', "\r\nExtended processor features supported :\r\n", true},
        {'1', "\r\nL1 cache and TLB configuration : \r\n", false},
        {'2', "\r\nL2 cache and TLB configuration : \r\n", false},
        {'P', "\r\nEnhanced Power Management supported :\r\n", false},
        {'H', "\r\nPhysical Address And Linear Address Size : \r\n -> Physical ", false},
    };
    std::string input;
    for (const View& view : views) {
        input += std::string(1, view.key) + "\n\n\n\n";
    }
    BinaryRun run = RunBinary({}, input + "Q\n");
    EXPECT_EQ(run.status, 0);
    const std::string& out = run.output;
    size_t offered = 0;
    size_t last = 0;
    for (const View& view : views) {
        if (!Offered(out, view.key)) {
            EXPECT_EQ(out.find(kMenuPrompt + view.heading), std::string::npos)
                << view.key << " is not offered";
            continue;
        }
        ++offered;
        size_t at = out.find(kMenuPrompt + view.heading);
        ASSERT_NE(at, std::string::npos) << "key " << view.key << "\n" << out;
        EXPECT_GT(at, last) << "key " << view.key << " out of order";
        last = at;
        size_t end = out.find("\r\n\r\n ---- End ----\r\nVELDRIX Menu\r\n", at);
        ASSERT_NE(end, std::string::npos) << "key " << view.key;
        size_t more = out.find(" ---- More ----", at);
        EXPECT_EQ(more != std::string::npos && more < end, view.paged) << "key " << view.key;
    }
    EXPECT_GE(offered, 2u) << "any processor with CPUID offers I and F";
    EXPECT_EQ(CountOf(out, " ---- End ----\r\nVELDRIX Menu\r\n"), offered);
    EXPECT_EQ(CountOf(out, "\r\nVELDRIX Menu\r\n"), offered + 1);
    EXPECT_NE(out.find("\r\n~ Thank you for using VELDRIX.\r\n"), std::string::npos);
}

// A key typed at the end prompt is thrown away: the "Q" typed there does not
// quit, and the next view still runs.
TEST(ViewsEndToEnd, KeyTypedAtTheEndPromptIsThrownAway) {
    BinaryRun run = RunBinary({}, "I\nQ\nF\nQ\nQ\nQ\n");
    EXPECT_EQ(run.status, 0);
    const std::string& out = run.output;
    size_t identity = out.find("\r\nProcessor Identity :\r\n");
    size_t features = out.find("\r\nStandard processor features supported :\r\n");
    size_t thanks = out.find("\r\n~ Thank you for using VELDRIX.\r\n");
    ASSERT_NE(identity, std::string::npos) << out;
    ASSERT_NE(features, std::string::npos) << out;
    ASSERT_NE(thanks, std::string::npos) << out;
    EXPECT_LT(identity, features);
    EXPECT_LT(features, thanks);
    EXPECT_EQ(CountOf(out, "\r\nVELDRIX Menu\r\n"), 3u);
}

// A Pentium III Coppermine replayed from its dump: no extended leaves, no
// clock (a replay does not measure this machine), serial number on.
TEST(ViewsEndToEnd, PentiumIIICoppermineReplayed) {
    const std::string dump = VELDRIX_DUMPS_DIR "/GenuineIntel0000683_P3_Coppermine_CPUID.txt";
    ASSERT_TRUE(std::ifstream(dump).good()) << "dump not found: " << dump;
    BinaryRun run = RunBinary({"-r", dump}, "I\n\nF\nmore\nend\nC\n\nQ\n");
    EXPECT_EQ(run.status, 0);
    const std::string& out = run.output;
    const std::string menuBack = "\r\n ---- End ----\r\nVELDRIX Menu\r\n";

    const std::string identityHead = kMenuPrompt +
                                     "\r\nProcessor Identity :\r\n -> Vendor    : GenuineIntel\r\n"
                                     " -> Type      : Original OEM Processor\r\n"
                                     " -> Family    : 6\r\n -> Model     : 8 [";
    size_t identity = out.find(identityHead);
    ASSERT_NE(identity, std::string::npos) << out;
    const std::string identityTail =
        "]\r\n -> Stepping  : 3\r\n"
        " -> Brand ID  : Intel Pentium III Processor [Coppermine]\r\n"
        " -> Local APIC Physical ID                   : 00\r\n"
        " -> Processor Serial Number [PSN] is         : 0000-0683-0000-E4CA-6107-FB5A\r\n" +
        menuBack;
    size_t tail = out.find(identityTail, identity);
    ASSERT_NE(tail, std::string::npos) << out.substr(identity, 800);
    EXPECT_EQ(out.find("\r\n", identity + identityHead.size()), tail + 1)
        << "the model name stays on its line";

    size_t features = out.find(kMenuPrompt + "\r\nStandard processor features supported :\r\n");
    ASSERT_NE(features, std::string::npos) << out;
    size_t more = out.find(" ---- More ---- -> Conditional Move Instructions [CMOV] ", features);
    size_t end = out.find(menuBack, features);
    ASSERT_NE(more, std::string::npos) << out.substr(features, 3000);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(more, end);
    // The heading's empty line and the heading, bits 0 to 14, the empty line before the prompt.
    EXPECT_EQ(std::count(out.begin() + features, out.begin() + more, '\n'), 18);
    EXPECT_EQ(out.substr(more - 4, 4), "\r\n\r\n");

    EXPECT_NE(out.find(kMenuPrompt +
                       "\r\nStandard processor configuration descriptor :\r\n"
                       " -> Data TLB: 4 KB pages, 4-way, 64 entries\r\n"
                       " -> Code TLB: 4 MB pages, fully associative, 2 entries\r\n"
                       " -> Code TLB: 4 KB pages, 4-way, 32 entries\r\n"
                       " -> L1 data cache: 16 KB, 4-way, 32-byte lines\r\n"
                       " -> Data TLB: 4 MB pages, 4-way, 8 entries\r\n"
                       " -> L1 code cache: 16 KB, 4-way, 32-byte lines\r\n"
                       " -> L2 cache: 256 KB, 8-way, 32-byte lines\r\n" +
                       menuBack),
              std::string::npos)
        << out;
    EXPECT_EQ(CountOf(out, "\r\nVELDRIX Menu\r\n"), 4u);
    EXPECT_NE(out.find("\r\n~ Thank you for using VELDRIX.\r\n"), std::string::npos);
}
