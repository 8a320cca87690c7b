// The console writer and reader every screen goes through. Lines end with
// CR LF here and nowhere else; tests swap the streams for string streams.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

// Route console input and output through other streams; nullptr restores the
// process's standard input or output.
void SetConsoleStreams(std::istream* input, std::ostream* output);

// Routes the error messages of ConError elsewhere; nullptr restores the
// process's standard error.
void SetConsoleErrorStream(std::ostream* error);

// Writes one message and the line end of the machine-friendly outputs (LF,
// CR LF on Windows, like every other error line) to standard error, flushed,
// beside the screens and never inside them.
void ConError(std::string_view message);

// A text that came from the processor or a dump (vendor identification,
// brand string, Transmeta information, hypervisor identification), made safe
// to show: when standard output is a terminal its control bytes become '?',
// so a hostile dump cannot move the cursor, clear the screen or retitle the
// window. Output to a pipe, a file or a test stream keeps every byte.
std::string MachineText(std::string_view text);

// Writes text as it stands, without a line end.
void ConWrite(std::string_view text);

// Writes text, then the line end CR LF.
void ConLine(std::string_view text = {});

void ConFlush();

// True once a write to the console output has failed: nothing written from
// then on can arrive.
bool ConOutputFailed();

// Longest input line kept. No answer is near this long, and a file name cut
// here is still longer than any system accepts, so cutting never turns one
// name into another; it only keeps endless input from exhausting memory.
constexpr size_t kConsoleLineLimit = 65536;

// Reads one input line without its line end (LF, or CR LF), keeping at most
// kConsoleLineLimit characters; the rest of a longer line is read and thrown
// away. False when the input has ended and no text was left, and when the
// output has failed: nobody can see what is asked, so the program winds down
// as it does at the end of input.
bool ConReadLine(std::string& line);

// Skips blanks and line ends, then takes up to 32 characters up to the next
// blank or line end; the rest of that input line is discarded. False when
// the input ends before any such character, or the output has failed.
bool ConReadToken(std::string& token);
