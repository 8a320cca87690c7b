// The floor of the program: the only place that touches the processor and the
// operating system. Everything above it is portable and can be driven by tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// True when the EFLAGS ID bit (bit 21) can be toggled, that is when the
// processor has the CPUID instruction. Always false on a non-x86 build.
bool PlatformHasCpuid();

// Executes CPUID with EAX = leaf and ECX = subleaf; regs receives EAX, EBX,
// ECX, EDX in that order.
void PlatformCpuidSubleaf(uint32_t leaf, uint32_t subleaf, uint32_t regs[4]);

// XCR0 through XGETBV. Only to be called when leaf 1 ECX bit 27 (OSXSAVE) is
// set: the instruction faults otherwise. Zero on a non-x86 build.
uint64_t PlatformReadXcr0();

// The operating system's numbers of the logical processors this thread may
// run on, in ascending order (on Windows, group * 64 + number in the group).
// Empty when the system does not tell.
std::vector<uint32_t> PlatformAllowedProcessors();

// Pins the calling thread to each allowed processor in turn and calls visit
// with its number while pinned; a processor that refuses the pinning is left
// out. The thread's original affinity is restored afterwards on every path,
// an exception from visit included. False, with visit never called, when
// pinning is impossible altogether.
bool PlatformForEachProcessor(const std::function<void(uint32_t osCpu)>& visit);

// The 64-bit time-stamp counter (RDTSC).
uint64_t ReadTimeStampCounter();

void SleepMilliseconds(uint32_t milliseconds);

struct TimeOfDay {
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t millisecond;
};

// The local time of day with millisecond resolution.
TimeOfDay LocalTimeOfDay();

// The full path of the running executable, or empty when it cannot be told.
std::string ExecutablePath();

// What tells two names of one file from two files: the device and the file's
// number on it (on Windows the volume's serial number and the file's index).
struct FileIdentity {
    uint64_t device;
    uint64_t file;
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : file < other.file;
    }
};

// The identity of the file path names, links followed; none when it cannot
// be looked at.
std::optional<FileIdentity> PlatformFileIdentity(const std::string& path);

// True when path names an existing file that no one may write (no write
// permission bit; on Windows the read-only attribute), whoever runs the program.
bool PlatformFileReadOnly(const std::string& path);

// Scheduling priority of the process and of the calling thread, as the
// platform counts them. Saved before a timed measurement, restored after it.
struct SavedPriority {
    int32_t priorityClass;  // process class (Windows) or nice value (POSIX)
    int32_t threadPriority; // thread priority
    int32_t threadPolicy;   // POSIX scheduling policy; unused on Windows
};

SavedPriority ReadPriority();
// Raise to the strongest priority the system grants; a refusal is ignored.
void RaiseProcessPriority();
void RaiseThreadPriority();
void RestoreThreadPriority(const SavedPriority& saved);
void RestoreProcessPriority(const SavedPriority& saved);

// True when standard output is a terminal (a console window on Windows),
// false for a pipe or a file.
bool StandardOutputIsTerminal();

// The same for standard error.
bool StandardErrorIsTerminal();

// Puts standard input and output into byte-exact mode (no newline
// translation) and ignores the signals a failed write would otherwise end the
// program with (a reader that went away, a file-size limit): such a write
// then fails with its reason like any other.
void PrepareConsole();

// Writes every byte of data to standard output, unbuffered. False when a
// write fails, with the system's reason in reason.
bool PlatformWriteStandardOutput(const char* data, size_t size, std::string& reason);

// A file written in place of another and put under its name only once whole.
// Open creates a new temporary file in the folder of the file it is to
// replace, exclusively and never through a link; Commit pushes it to the
// disk and renames it over that file in one step, so a reader, a crash or a
// second writer of the same name finds either the old file or the whole new
// one. A name that is a symbolic link stands for the file the link points at
// (the link stays, pointing at the new file). A name of a device or a pipe
// is written directly; an existing file the user may not write is refused.
class PlatformFileWriter {
  public:
    PlatformFileWriter() = default;
    PlatformFileWriter(const PlatformFileWriter&) = delete;
    PlatformFileWriter& operator=(const PlatformFileWriter&) = delete;
    // Abandons a file that was not committed.
    ~PlatformFileWriter();

    bool Open(const std::string& path);
    bool Write(const char* data, size_t size);
    // Syncs, closes and renames; on failure the temporary file is removed.
    bool Commit();
    // Closes and removes the temporary file: the file of that name stays as
    // it was.
    void Abandon();

    // The system's reason for the last failure.
    const std::string& FailureText() const { return failure_; }

  private:
    bool Fail();

    int descriptor_ = -1;
    std::string temporary_; // empty when the file is written directly
    std::string target_;
    std::string failure_;
};
