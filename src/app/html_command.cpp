#include "app/html_command.hpp"

#include "app/command_line.hpp"
#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "names/capability_names.hpp"
#include "names/processor_db.hpp"
#include "names/reference_books.hpp"
#include "outputs/html_page.hpp"
#include "platform/platform.hpp"

#include <ostream>

namespace {

// Why the page may not go to path: it names the program, its data file or
// the dump being read; nullptr when it may.
const char* OwnFileAt(const std::string& path, const std::optional<std::string>& dumpPath) {
    std::optional<FileIdentity> target = PlatformFileIdentity(path);
    if (!target) {
        return nullptr;
    }
    struct ProtectedFile {
        std::string path;
        const char* reason;
    };
    const ProtectedFile ownFiles[] = {
        {DatabasePath(), "it is the program's data file"},
        {ExecutablePath(), "it is the program itself"},
        {dumpPath.value_or(""), "it is the dump being read"},
    };
    for (const ProtectedFile& own : ownFiles) {
        std::optional<FileIdentity> identity =
            own.path.empty() ? std::nullopt : PlatformFileIdentity(own.path);
        if (identity && !(*identity < *target) && !(*target < *identity)) {
            return own.reason;
        }
    }
    return nullptr;
}

int CannotWrite(const CommandRequest& request, const std::string& path, const std::string& reason) {
    request.err << "veldrix: cannot write " << OneLineText(request.err, path) << ": "
                << OneLineText(request.err, reason) << kPlainLineEnd;
    return kUnreadableDumpStatus;
}

} // namespace

int RunHtml(const CommandRequest& request) {
    if (request.operands.size() != 1 || request.operands[0].empty()) {
        return UsageError(request, "--html needs the name of the page to write");
    }
    const std::string& path = request.operands[0];
    if (const char* reason = OwnFileAt(path, request.dumpPath)) {
        return CannotWrite(request, path, reason);
    }
    if (PlatformFileReadOnly(path)) {
        return CannotWrite(request, path, "the file is read-only");
    }
    CpuidSnapshot snapshot;
    if (std::optional<int> status = ReadProcessorsFrom(request.dumpPath, request.err, snapshot)) {
        return *status;
    }
    IniFile database = OpenDatabase();
    CapabilitySource source{!request.dumpPath, request.dumpPath.value_or(""), ReadDatabaseVersion(database)};
    CapabilityFacts facts = DescribeSnapshot(database, snapshot, source.hardware);
    NoteDamagedReferences(database, request.err);
    std::optional<LinuxFlagBook> linuxBook = ReadLinuxFlagBook(database);
    FeatureNameBook featureBook = ReadFeatureNameBook(database);
    std::string page = HtmlPageText(HtmlPageInput{facts, source, snapshot, linuxBook, featureBook});
    PlatformFileWriter file;
    if (!file.Open(path) || !file.Write(page.data(), page.size()) || !file.Commit()) {
        return CannotWrite(request, path, file.FailureText());
    }
    return 0;
}
