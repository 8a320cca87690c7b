// The --html page: every dump's page parses strictly and draws the cores and
// threads --json counts; a page that cannot be written leaves no file; every
// foreign text is escaped.
#include "outputs/html_page.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

TEST(HtmlPage, EveryDumpsPageParsesStrictlyAndDrawsTheJsonCounts) {
    std::string dir = MakeTempDir("pages");
    std::string command = "python3 " + std::string(VELDRIX_SOURCE_DIR) + "/scripts/check-html-page.py";
    int pages = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(VELDRIX_DUMPS_DIR)) {
        std::string dump = entry.path().string();
        std::string page = dir + "/" + entry.path().filename().string() + ".html";
        BinaryRun written = RunBinary({"-r", dump, "--html", page}, "");
        ASSERT_EQ(written.status, 0) << dump << ": " << written.errors;
        BinaryRun json = RunBinary({"-r", dump, "--json"}, "");
        std::ofstream(page + ".json") << json.output;
        command += " '" + page + "' '" + page + ".json'";
        ++pages;
    }
    EXPECT_GT(pages, 30);
    BinaryRun check = RunBinary({"-c", command}, "", "", "/bin/sh");
    EXPECT_EQ(check.status, 0) << check.output << check.errors;
}

struct RefusedPage {
    const char* name;
    std::string page; // relative to the scratch folder; "DUMP" is the dump read
    bool readOnly;
    const char* reason;
};

TEST(HtmlPage, APageThatCannotBeWrittenIsRefusedWithNoFileLeft) {
    const RefusedPage rows[] = {
        {"missing folder", "no/such/folder/page.html", false, "No such file or directory"},
        {"read-only file", "locked.html", true, "the file is read-only"},
        {"the dump itself", "DUMP", false, "it is the dump being read"},
    };
    for (const RefusedPage& row : rows) {
        std::string dir = MakeTempDir("refused");
        std::string dump = dir + "/dump.txt";
        CopyAsOwnFile(std::string(VELDRIX_DUMPS_DIR) + "/GenuineIntel0000683_P3_Coppermine_CPUID.txt", dump);
        std::string page = row.page == "DUMP" ? dump : dir + "/" + row.page;
        if (row.readOnly) {
            std::ofstream(page) << "earlier";
            chmod(page.c_str(), 0444);
        }
        std::string before = fs::exists(page) ? ReadWholeFile(page) : "";
        BinaryRun run = RunBinary({"-r", dump, "--html", page}, "");
        EXPECT_EQ(run.status, 2) << row.name;
        EXPECT_NE(run.errors.find(std::string("cannot write ") + page + ": " + row.reason), std::string::npos)
            << row.name << ": " << run.errors;
        EXPECT_EQ(fs::exists(page) ? ReadWholeFile(page) : "", before) << row.name;
        size_t files = 0;
        for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
             ++it) {
            files += it->is_regular_file() ? 1 : 0;
        }
        EXPECT_EQ(files, row.readOnly ? 2u : 1u) << row.name << ": a temporary file was left";
        chmod(page.c_str(), 0644);
    }
}

struct EscapedText {
    const char* name;
    std::string text;
    std::string html;
};

TEST(HtmlPage, ForeignTextIsEscaped) {
    const EscapedText rows[] = {
        {"markup in a brand string", "<b>Intel & \"AMD\" 'x'</b>",
         "&lt;b&gt;Intel &amp; &quot;AMD&quot; &#39;x&#39;&lt;/b&gt;"},
        {"control bytes", std::string("a\x01\x1b[0m\x7f"), "a\xEF\xBF\xBD\xEF\xBF\xBD[0m\xEF\xBF\xBD"},
        {"a byte that is not UTF-8", "KVM\xff\xc3", "KVM\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"UTF-8 kept", "Zhaoxin \xE5\x85\x86\xE8\x8A\xAF", "Zhaoxin \xE5\x85\x86\xE8\x8A\xAF"},
    };
    for (const EscapedText& row : rows) {
        EXPECT_EQ(HtmlText(row.text), row.html) << row.name;
    }
}

} // namespace
