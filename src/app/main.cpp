// Program entry: hands the arguments to the front end.
#include "app/program.hpp"
#include "console/standard_output.hpp"
#include "platform/platform.hpp"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    PrepareConsole();
    UseCheckedStandardOutput();
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunVeldrix(args);
}
