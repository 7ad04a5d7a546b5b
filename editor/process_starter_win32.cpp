#include "editor/process_starter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

namespace kivo::editor {
namespace {

class Win32ProcessStarter final : public ProcessStarter {
public:
    bool runInOwnConsole(const ProgramCall& call, int waitMs) override {
        // The console closes as soon as its program ends, taking a short run's output with it:
        // cmd stays after kivo, says how it ended and waits for a key. It also drops a mark
        // when kivo ends, so that the wait below is for kivo and not for that key. Delayed
        // expansion (!rc!) reads the exit code after kivo ran, not when the line was parsed.
        QTemporaryDir markDir;
        const QString mark = QDir::toNativeSeparators(markDir.filePath(QStringLiteral("ended")));
        QString shell = qEnvironmentVariable("ComSpec");
        if (shell.isEmpty())
            shell = QStringLiteral("cmd.exe");
        const QString script =
            quotedCommandLine(call) +
            QStringLiteral(" & set \"rc=!errorlevel!\" & type nul > \"%1\" 2>nul & echo. & echo Koniec pracy kivo "
                           "(kod wyjscia !rc!). Nacisnij dowolny klawisz, aby zamknac okno. & pause >nul")
                .arg(mark);
        // CreateProcessW may write into the command line buffer, so it must be writable.
        std::wstring commandLine =
            (QLatin1Char('"') + shell + QStringLiteral("\" /v:on /s /c \"") + script + QLatin1Char('"')).toStdWString();
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWDEFAULT;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                            CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                            &startup, &process))
            return false;
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs);
        bool ended = false;
        while (GetTickCount64() < deadline) {
            if (WaitForSingleObject(process.hProcess, 20) != WAIT_TIMEOUT) {
                ended = true;
                break;
            }
            if (QFileInfo::exists(mark))
                break;
        }
        if (ended)
            WaitForSingleObject(process.hThread, static_cast<DWORD>(waitMs));
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return true;
    }

    bool startDetached(const ProgramCall& call) override {
        // The viewer expects its parameters after a leading blank, plain words as they are and
        // anything else (file paths) in double quotes.
        QString parameters;
        for (const QString& argument : call.arguments) {
            const bool plainWord = !argument.isEmpty() &&
                std::all_of(argument.begin(), argument.end(), [](QChar ch) { return ch.isLetterOrNumber(); });
            if (plainWord)
                parameters += QStringLiteral(" %1").arg(argument);
            else
                parameters += QStringLiteral(" \"%1\"").arg(argument);
        }
        const std::wstring program = call.program.toStdWString();
        const std::wstring params = parameters.toStdWString();
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", program.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL));
        return result > 32;
    }
};

}  // namespace

std::unique_ptr<ProcessStarter> makeSystemProcessStarter() {
    return std::make_unique<Win32ProcessStarter>();
}

}  // namespace kivo::editor
