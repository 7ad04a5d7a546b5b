#include <io.h>
#include <windows.h>

#include <string>

#include "interpreter/platform.h"

namespace kivo::interpreter::platform {

// QProcess and the like end a console program here only by terminating it.
void watchStopRequest() {}

bool stopRequested() { return false; }

void sleepMs(std::uint32_t milliseconds) { Sleep(milliseconds); }

bool runCommandLine(std::string_view commandLine) {
    // CreateProcessA may write into the command line: it gets its own copy. The system splits
    // it and searches for the program (own directory, current directory, system, PATH).
    std::string line(commandLine);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    Sleep(10);
    for (;;) {
        const DWORD result = WaitForSingleObject(process.hProcess, INFINITE);
        if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) break;  // a failed wait ends the waiting
        Sleep(10);
    }
    CloseHandle(process.hProcess);
    return true;
}

bool fileStamp(std::FILE* file, FileStamp& stamp) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return false;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.modifiedNs =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                  info.ftLastWriteTime.dwLowDateTime) *
        100;
    stamp.identity = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

bool deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace kivo::interpreter::platform
