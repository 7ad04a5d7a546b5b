#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// What differs between Windows and POSIX, behind one small interface; the *_posix.cpp and
// *_win32.cpp files implement it.
namespace kivo::interpreter::platform {

/// Reads one key press from the console without echo and without Enter. When standard input
/// is not a terminal one byte is read; at end of input it returns at once.
void waitKey();

/// True when the console expects UTF-8 (the locale's character set, or the console code page).
bool consoleIsUtf8();

/// From now on a polite stop request (SIGTERM) is noted instead of ending the process at
/// once, so that the run can end between two lines with its trace closed. Key waits, pauses,
/// bit waits and the endless calibration wave end early once it came. A second request, or a
/// run still going a few seconds after the first, ends the process at once as before. Nothing
/// on systems without such a request.
void watchStopRequest();
/// True once a stop request came.
bool stopRequested();

/// True when standard error is a terminal (on Windows a console window).
bool errorIsTerminal();
/// Shows `text` as the progress line on the terminal of standard error, in place of the one
/// shown. `first`: none is shown, and the line starts where the cursor stands, so that a line
/// of output that is not finished stays as it is.
void showTerminalLine(std::string_view text, bool first);
/// Removes the progress line; the cursor goes back where the line started.
void eraseTerminalLine();

/// Suspends the interpreter for `milliseconds` (less when a stop request comes).
void sleepMs(std::uint32_t milliseconds);

/// Starts `commandLine` (the first word names the program, searched the way the system
/// searches for programs; no shell), in the current console and directory, and waits until it
/// ends. False when the program cannot be started; its exit code is not looked at.
bool runCommandLine(std::string_view commandLine);

/// What identifies the contents of an open file: it changes when the file is written.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t identity = 0;
    bool operator==(const FileStamp&) const = default;
};
/// The stamp of the open file `file`; false when it cannot be had.
bool fileStamp(std::FILE* file, FileStamp& stamp);

/// Deletes a file; false when it could not be deleted.
bool deleteFile(const std::string& path);

}  // namespace kivo::interpreter::platform
