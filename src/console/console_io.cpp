#include "console/console_io.hpp"

#include "common/plain_text.hpp"
#include "platform/platform.hpp"

#include <iostream>

namespace {

std::istream* gInput = nullptr;
std::ostream* gOutput = nullptr;
std::ostream* gError = nullptr;

std::istream& Input() {
    return gInput ? *gInput : std::cin;
}

std::ostream& Output() {
    return gOutput ? *gOutput : std::cout;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

void SetConsoleStreams(std::istream* input, std::ostream* output) {
    gInput = input;
    gOutput = output;
}

void SetConsoleErrorStream(std::ostream* error) {
    gError = error;
}

void ConError(std::string_view message) {
    std::ostream& error = gError ? *gError : std::cerr;
    std::string shown = TerminalText(error, message);
    error.write(shown.data(), static_cast<std::streamsize>(shown.size()));
    error << kPlainLineEnd;
    error.flush();
}

bool IsTerminal(const std::ostream& stream) {
    if (&stream == &std::cout) {
        return StandardOutputIsTerminal();
    }
    if (&stream == &std::cerr || &stream == &std::clog) {
        return StandardErrorIsTerminal();
    }
    return false;
}

std::string TerminalText(const std::ostream& stream, std::string_view text) {
    return IsTerminal(stream) ? WithoutTerminalControls(text) : std::string(text);
}

std::string OneLineText(const std::ostream& stream, std::string_view text) {
    return TerminalText(stream, WithoutControlBytes(text));
}

std::string MachineText(std::string_view text) {
    return TerminalText(Output(), text);
}

std::ostream& ConsoleOutput() {
    return Output();
}

void ConWrite(std::string_view text) {
    Output().write(text.data(), static_cast<std::streamsize>(text.size()));
}

void ConLine(std::string_view text) {
    WriteConsoleLine(Output(), text);
}

void WriteConsoleLine(std::ostream& out, std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.write("\r\n", 2);
}

void ConFlush() {
    Output().flush();
}

bool ConOutputFailed() {
    return Output().fail();
}

bool ConReadLine(std::string& line) {
    ConFlush();
    line.clear();
    if (ConOutputFailed()) {
        return false;
    }
    std::istream& in = Input();
    int c = in.get();
    if (c == EOF) {
        return false;
    }
    bool cut = false;
    for (; c != EOF && c != '\n'; c = in.get()) {
        if (line.size() < kConsoleLineLimit) {
            line.push_back(static_cast<char>(c));
        } else {
            cut = true;
        }
    }
    // A CR right before the LF belongs to the line end.
    if (c == '\n' && !cut && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

bool ConReadToken(std::string& token) {
    ConFlush();
    token.clear();
    if (ConOutputFailed()) {
        return false;
    }
    std::istream& in = Input();
    int c = in.get();
    while (c != EOF && (IsBlank(static_cast<char>(c)) || IsLineEnd(static_cast<char>(c)))) {
        c = in.get();
    }
    if (c == EOF) {
        return false;
    }
    while (c != EOF && !IsBlank(static_cast<char>(c)) && !IsLineEnd(static_cast<char>(c)) &&
           token.size() < 32) {
        token.push_back(static_cast<char>(c));
        c = in.get();
    }
    // Discard the rest of the line the token stood on.
    while (c != EOF && c != '\n') {
        c = in.get();
    }
    return true;
}
