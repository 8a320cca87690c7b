// Win32 implementation of the platform floor (32- and 64-bit Windows).
#include "platform/platform.hpp"

#include <cstdio>
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

void PrepareConsole() {
    // Text mode would turn each "\r\n" written into "\r\r\n" and hide the CR
    // of piped input; every line end is written and read explicitly instead.
    // Standard error too: its messages end in LF on every system.
    (void)_setmode(_fileno(stdin), _O_BINARY);
    (void)_setmode(_fileno(stdout), _O_BINARY);
    (void)_setmode(_fileno(stderr), _O_BINARY);
}
