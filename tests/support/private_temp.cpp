// Gives every test process a temporary folder of its own. GoogleTest's
// TempDir() is one shared folder (/tmp/) by default, and the test file names
// are derived from the test names, so two suites running at the same time
// (a sanitizer build beside the plain one, two checkouts) would write into
// each other's files. TEST_TMPDIR is set before any test asks for TempDir().
#ifndef _WIN32

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

class PrivateTempFolder {
  public:
    PrivateTempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::filesystem::path root = base && *base ? base : "/tmp";
        folder_ = root / ("veldrix-tests-" + std::to_string(getpid()));
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
        if (!error) {
            setenv("TEST_TMPDIR", folder_.c_str(), 1);
        }
    }
    ~PrivateTempFolder() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

  private:
    std::filesystem::path folder_;
};

const PrivateTempFolder kPrivateTempFolder;

} // namespace

#endif
