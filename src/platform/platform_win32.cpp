// Win32 implementation of the platform floor (32- and 64-bit Windows).
#include "platform/platform.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <vector>
#include <windows.h>

void SleepMilliseconds(uint32_t milliseconds) {
    Sleep(milliseconds);
}

TimeOfDay LocalTimeOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return TimeOfDay{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::string ExecutablePath() {
    // GetModuleFileNameA truncates silently when the buffer is too small, so
    // grow the buffer until the whole path fits.
    std::vector<char> buffer(MAX_PATH);
    while (buffer.size() <= 32768) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            return std::string();
        }
        if (length < size) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::string();
}

std::optional<FileIdentity> PlatformFileIdentity(const std::string& path) {
    // Opening for no access at all is enough to ask; backup semantics let a
    // folder be opened too.
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    BOOL answered = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!answered) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(information.nFileIndexHigh) << 32) |
                            information.nFileIndexLow};
}

SavedPriority ReadPriority() {
    SavedPriority saved{};
    saved.priorityClass = static_cast<int32_t>(GetPriorityClass(GetCurrentProcess()));
    saved.threadPriority = GetThreadPriority(GetCurrentThread());
    return saved;
}

void RaiseProcessPriority() {
    (void)SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
}

void RaiseThreadPriority() {
    (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void RestoreThreadPriority(const SavedPriority& saved) {
    // A priority that could not be read is not written back.
    if (saved.threadPriority != THREAD_PRIORITY_ERROR_RETURN) {
        (void)SetThreadPriority(GetCurrentThread(), saved.threadPriority);
    }
}

void RestoreProcessPriority(const SavedPriority& saved) {
    if (saved.priorityClass != 0) {
        (void)SetPriorityClass(GetCurrentProcess(), static_cast<DWORD>(saved.priorityClass));
    }
}

bool StandardOutputIsTerminal() {
    // Only a console answers GetConsoleMode; a pipe or a file does not.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void PrepareConsole() {
    // Text mode would turn each "\r\n" written into "\r\r\n" and hide the CR
    // of piped input; every line end is written and read explicitly instead.
    // Standard error too: its messages carry their own line ends.
    (void)_setmode(_fileno(stdin), _O_BINARY);
    (void)_setmode(_fileno(stdout), _O_BINARY);
    (void)_setmode(_fileno(stderr), _O_BINARY);
}

namespace {

// Writes every byte to the C runtime descriptor; false with errno set (the
// runtime turns the system's error into one) when a write fails.
bool WriteAll(int descriptor, const char* data, size_t size) {
    while (size > 0) {
        unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
        int written = _write(descriptor, data, chunk);
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// The errno of the system errors a file can meet on being created or
// renamed, so every failure is named as the C runtime names write errors.
int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
        return EINVAL;
    default:
        return EIO;
    }
}

// The folder part of path with its trailing separator; empty for a bare name.
std::string FolderOf(const std::string& path) {
    size_t separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// An existing device or pipe under path, opened for writing; -1 for a
// missing or an ordinary file.
int OpenDevice(const std::string& path) {
    int descriptor = _open(path.c_str(), _O_WRONLY | _O_BINARY);
    if (descriptor >= 0 &&
        GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor))) == FILE_TYPE_DISK) {
        _close(descriptor);
        return -1;
    }
    return descriptor;
}

} // namespace

bool PlatformWriteStandardOutput(const char* data, size_t size, std::string& reason) {
    if (WriteAll(_fileno(stdout), data, size)) {
        return true;
    }
    reason = std::strerror(errno);
    return false;
}

bool PlatformFileReadOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

PlatformFileWriter::~PlatformFileWriter() {
    Abandon();
}

// Windows links are not followed: the name is replaced as it stands.
bool PlatformFileWriter::Open(const std::string& path) {
    Abandon();
    failure_.clear();
    target_ = path;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errno = EISDIR;
        return Fail();
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        errno = EACCES;
        return Fail();
    }
    descriptor_ = OpenDevice(path);
    if (descriptor_ >= 0) {
        return true;
    }
    std::string stem = FolderOf(path) + "veldrix-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = stem + std::to_string(attempt) + ".tmp";
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            descriptor_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
            if (descriptor_ < 0) {
                CloseHandle(file);
                (void)DeleteFileA(temporary.c_str());
                return Fail();
            }
            temporary_ = temporary;
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            errno = ErrnoOf(error);
            return Fail();
        }
    }
    errno = EEXIST;
    return Fail();
}

bool PlatformFileWriter::Write(const char* data, size_t size) {
    return (descriptor_ >= 0 && WriteAll(descriptor_, data, size)) || Fail();
}

bool PlatformFileWriter::Commit() {
    if (descriptor_ < 0) {
        return false;
    }
    bool written = temporary_.empty() || _commit(descriptor_) == 0;
    written = _close(descriptor_) == 0 && written;
    descriptor_ = -1;
    if (!written) {
        return Fail();
    }
    if (!temporary_.empty() && MoveFileExA(temporary_.c_str(), target_.c_str(),
                                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        errno = ErrnoOf(GetLastError());
        return Fail();
    }
    temporary_.clear();
    return true;
}

void PlatformFileWriter::Abandon() {
    if (descriptor_ >= 0) {
        (void)_close(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty()) {
        (void)DeleteFileA(temporary_.c_str());
        temporary_.clear();
    }
}

bool PlatformFileWriter::Fail() {
    failure_ = std::strerror(errno);
    Abandon();
    return false;
}

namespace {

// The processor-group calls exist from Windows 7 on; older systems have one
// group of at most 64 processors and only the thread affinity mask.
using GroupCountFn = WORD(WINAPI*)();
using ProcessorCountFn = DWORD(WINAPI*)(WORD);
using GetGroupAffinityFn = BOOL(WINAPI*)(HANDLE, PGROUP_AFFINITY);
using SetGroupAffinityFn = BOOL(WINAPI*)(HANDLE, const GROUP_AFFINITY*, PGROUP_AFFINITY);

struct GroupCalls {
    GroupCountFn groupCount = nullptr;
    ProcessorCountFn processorCount = nullptr;
    GetGroupAffinityFn getAffinity = nullptr;
    SetGroupAffinityFn setAffinity = nullptr;

    bool Complete() const { return groupCount && processorCount && getAffinity && setAffinity; }
};

template <typename Fn> Fn LoadCall(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

GroupCalls LoadGroupCalls() {
    GroupCalls calls;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr) {
        calls.groupCount = LoadCall<GroupCountFn>(kernel, "GetActiveProcessorGroupCount");
        calls.processorCount = LoadCall<ProcessorCountFn>(kernel, "GetActiveProcessorCount");
        calls.getAffinity = LoadCall<GetGroupAffinityFn>(kernel, "GetThreadGroupAffinity");
        calls.setAffinity = LoadCall<SetGroupAffinityFn>(kernel, "SetThreadGroupAffinity");
    }
    return calls;
}

constexpr uint32_t kGroupWidth = 64;

// Every active processor of every group, numbered group * 64 + number.
std::vector<uint32_t> GroupProcessors(const GroupCalls& calls) {
    std::vector<uint32_t> cpus;
    WORD groups = calls.groupCount();
    for (WORD group = 0; group < groups; ++group) {
        DWORD count = calls.processorCount(group);
        for (DWORD number = 0; number < count && number < kGroupWidth; ++number) {
            cpus.push_back(group * kGroupWidth + number);
        }
    }
    return cpus;
}

// The processors of the process affinity mask (systems without groups).
std::vector<uint32_t> MaskProcessors() {
    std::vector<uint32_t> cpus;
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) {
        return cpus;
    }
    for (uint32_t cpu = 0; cpu < 8 * sizeof(DWORD_PTR); ++cpu) {
        if ((process >> cpu) & 1) {
            cpus.push_back(cpu);
        }
    }
    return cpus;
}

// Puts the thread's saved group affinity back when it goes out of scope.
class GroupAffinityRestorer {
  public:
    GroupAffinityRestorer(const GroupCalls& calls, const GROUP_AFFINITY& saved)
        : calls_(calls), saved_(saved) {}
    ~GroupAffinityRestorer() { (void)calls_.setAffinity(GetCurrentThread(), &saved_, nullptr); }
    GroupAffinityRestorer(const GroupAffinityRestorer&) = delete;
    GroupAffinityRestorer& operator=(const GroupAffinityRestorer&) = delete;

  private:
    const GroupCalls& calls_;
    GROUP_AFFINITY saved_;
};

// Puts the thread's saved affinity mask back when it goes out of scope.
class MaskRestorer {
  public:
    MaskRestorer() = default;
    ~MaskRestorer() {
        if (saved_ != 0) {
            (void)SetThreadAffinityMask(GetCurrentThread(), saved_);
        }
    }
    MaskRestorer(const MaskRestorer&) = delete;
    MaskRestorer& operator=(const MaskRestorer&) = delete;
    // Keeps the mask a first successful pinning gave back.
    void Remember(DWORD_PTR previous) {
        if (saved_ == 0) {
            saved_ = previous;
        }
    }

  private:
    DWORD_PTR saved_ = 0;
};

bool VisitGroups(const GroupCalls& calls, const std::function<void(uint32_t)>& visit) {
    GROUP_AFFINITY saved{};
    if (!calls.getAffinity(GetCurrentThread(), &saved)) {
        return false;
    }
    GroupAffinityRestorer restorer(calls, saved);
    bool pinnedAny = false;
    for (uint32_t cpu : GroupProcessors(calls)) {
        GROUP_AFFINITY single{};
        single.Group = static_cast<WORD>(cpu / kGroupWidth);
        single.Mask = static_cast<KAFFINITY>(1) << (cpu % kGroupWidth);
        if (!calls.setAffinity(GetCurrentThread(), &single, nullptr)) {
            continue;
        }
        pinnedAny = true;
        visit(cpu);
    }
    return pinnedAny;
}

bool VisitMask(const std::function<void(uint32_t)>& visit) {
    MaskRestorer restorer;
    bool pinnedAny = false;
    for (uint32_t cpu : MaskProcessors()) {
        DWORD_PTR previous = SetThreadAffinityMask(GetCurrentThread(), static_cast<DWORD_PTR>(1) << cpu);
        if (previous == 0) {
            continue;
        }
        restorer.Remember(previous);
        pinnedAny = true;
        visit(cpu);
    }
    return pinnedAny;
}

} // namespace

std::vector<uint32_t> PlatformAllowedProcessors() {
    GroupCalls calls = LoadGroupCalls();
    return calls.Complete() ? GroupProcessors(calls) : MaskProcessors();
}

bool PlatformForEachProcessor(const std::function<void(uint32_t osCpu)>& visit) {
    GroupCalls calls = LoadGroupCalls();
    return calls.Complete() ? VisitGroups(calls, visit) : VisitMask(visit);
}
