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
// beside the screens and never inside them. On a terminal the message is
// shown as TerminalText shows it.
void ConError(std::string_view message);

// True when the stream is this process's standard output or standard error
// and that is a terminal (a console window on Windows). Any other stream, a
// test's string stream among them, is not.
bool IsTerminal(const std::ostream& stream);

// A text from outside the program (a file name, a text of the data file, a
// processor's or a dump's text) as it is to be written to the stream: on a
// terminal without any control character (WithoutTerminalControls), so a
// hostile text cannot move the cursor, clear the screen or retitle the
// window; to a pipe, a file or a test stream with every byte.
std::string TerminalText(const std::ostream& stream, std::string_view text);

// The same for a line of a listing: also to a pipe or a file the C0
// controls and DEL become '?' (WithoutControlBytes), so the text cannot
// break its line apart.
std::string OneLineText(const std::ostream& stream, std::string_view text);

// A text that came from the processor, a dump or the data file (vendor
// identification, brand string, Transmeta information, the dump's name, the
// data file's version), as TerminalText shows it on the console output.
std::string MachineText(std::string_view text);

// The stream the console output goes to (standard output unless routed).
std::ostream& ConsoleOutput();

// Writes text as it stands, without a line end.
void ConWrite(std::string_view text);

// Writes text, then the line end CR LF.
void ConLine(std::string_view text = {});

// Writes text and the console's line end CR LF to out (the console output,
// or a stream that stands for it).
void WriteConsoleLine(std::ostream& out, std::string_view text);

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
