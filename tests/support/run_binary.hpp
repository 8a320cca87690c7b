// Runs the real veldrix binary with arguments and piped standard input.
#pragma once

#include <string>
#include <vector>

struct BinaryRun {
    std::string output; // everything written to standard output
    int status;         // exit status, or -1 when the program did not exit normally
    std::string errors; // everything written to standard error
};

// Runs the binary in workDir (the current directory when empty), feeding input
// on standard input; gives up after timeoutSeconds. When the environment
// variable VELDRIX_TEST_BINARY is set, its value (a shell command naming its files by absolute
// path, such as "$PWD/scripts/wine-run.sh $PWD/build-win64/veldrix.exe" expanded in the source
// folder) is run instead of the default binary, so the same scenarios check another build.
// End-to-end tests run only from the Linux test binary: on Windows this
// reports a test failure instead of running anything.
BinaryRun RunBinary(const std::vector<std::string>& args, const std::string& input,
                    const std::string& workDir = "", const std::string& binary = VELDRIX_BINARY,
                    int timeoutSeconds = 60);

// True when VELDRIX_TEST_BINARY runs a Windows program: a command naming an
// .exe, run under wine.
bool ProgramIsWindows();

// The line end of the program under test's machine-friendly outputs (--list,
// --json, --check, ...): CR LF for a Windows program, this build's own otherwise.
std::string ProgramLineEnd();

// Runs the binary with its standard output a pipe whose reader has already gone,
// so every console write fails; gives the exit status as RunBinary does.
int RunBinaryIntoClosedPipe(const std::vector<std::string>& args, const std::string& input,
                            int timeoutSeconds = 60);

// The shell command that starts the program under test (VELDRIX_TEST_BINARY's
// when set) with args, each quoted, for a test that runs it inside a shell
// command of its own: RunBinary({"-c", "ulimit -f 4; exec " +
// ProgramCommandLine({"--dump"}) + " > /dev/full"}, "", dir, "/bin/sh").
std::string ProgramCommandLine(const std::vector<std::string>& args);

// A fresh empty folder under the test's temporary folder.
std::string MakeTempDir(const std::string& name);

// Copies a file for a test to use as its own: the copy is writable by the
// owner whatever the source's permissions are (a checkout may be read-only),
// so the test sees what it writes and the folder can be removed afterwards,
// which Windows refuses for read-only files.
void CopyAsOwnFile(const std::string& from, const std::string& to);
