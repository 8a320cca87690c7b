// Gives every test process a temporary folder of its own. GoogleTest's
// TempDir() is one shared folder by default (/tmp/, or the Windows TEMP
// folder, which wine shares between runs), and the test file names are
// derived from the test names, so two suites running at the same time or one
// after the other (a sanitizer build beside the plain one, the 64- and 32-bit
// Windows builds) would meet each other's files. The variable GoogleTest
// reads is set before any test asks for TempDir(), and the folder goes when
// the process ends.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
const char kTempVariable[] = "TEMP";
int ProcessId() {
    return _getpid();
}
void SetVariable(const char* name, const std::string& value) {
    _putenv_s(name, value.c_str());
}
#else
const char kTempVariable[] = "TEST_TMPDIR";
int ProcessId() {
    return getpid();
}
void SetVariable(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 1);
}
#endif

class PrivateTempFolder {
  public:
    PrivateTempFolder() {
        std::error_code error;
        std::filesystem::path root = std::filesystem::temp_directory_path(error);
        if (error) {
            return;
        }
        // Process ids come round again (wine hands out the same few in every
        // run), and a folder an earlier run could not remove may still be
        // there: the folder taken is one this process created itself.
        std::string name = "veldrix-tests-" + std::to_string(ProcessId());
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            std::filesystem::path candidate =
                root / (attempt == 0 ? name : name + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(candidate, error)) {
                folder_ = candidate;
                SetVariable(kTempVariable, folder_.string());
                return;
            }
        }
    }
    ~PrivateTempFolder() {
        std::error_code error;
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_, error);
        }
    }

  private:
    static constexpr int kAttempts = 1000;
    std::filesystem::path folder_;
};

const PrivateTempFolder kPrivateTempFolder;

} // namespace
