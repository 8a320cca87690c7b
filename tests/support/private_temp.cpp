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
        folder_ = root / ("veldrix-tests-" + std::to_string(ProcessId()));
        std::filesystem::create_directories(folder_, error);
        if (!error) {
            SetVariable(kTempVariable, folder_.string());
        }
    }
    ~PrivateTempFolder() {
        std::error_code error;
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_, error);
        }
    }

  private:
    std::filesystem::path folder_;
};

const PrivateTempFolder kPrivateTempFolder;

} // namespace
