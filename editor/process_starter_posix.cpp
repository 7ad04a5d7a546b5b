#include "editor/process_starter.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <chrono>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace kivo::editor {
namespace {

// $1: the mark to drop when kivo ends, then kivo and its arguments. Errors of the mark go
// nowhere: after a long run the editor has stopped waiting and removed its directory.
constexpr char kKeepOpen[] =
    "mark=\"$1\"; shift; \"$@\"; code=$?; : > \"$mark\" 2>/dev/null; "
    "printf '\\nKoniec pracy kivo (kod wyjscia %d). Nacisnij dowolny klawisz, aby zamknac okno.\\n' \"$code\"; "
    "saved=$(stty -g 2>/dev/null); stty -icanon -echo min 1 2>/dev/null; dd bs=1 count=1 >/dev/null 2>&1; "
    "[ -n \"$saved\" ] && stty \"$saved\" 2>/dev/null; exit 0";

// The terminal command and the option after which it takes the program to run. Debian's
// x-terminal-emulator alternatives all accept "-e program args...", as xterm does.
QStringList terminalCommand() {
    const QString configured = qEnvironmentVariable("SCRIPTDESK_TERMINAL").trimmed();
    if (!configured.isEmpty())
        return QProcess::splitCommand(configured);
    for (const char* name : {"x-terminal-emulator", "xterm"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return {path, QStringLiteral("-e")};
    }
    return {};
}

class PosixProcessStarter final : public ProcessStarter {
public:
    bool runInOwnConsole(const ProgramCall& call, int waitMs) override {
        reapFinished();
        QStringList command = terminalCommand();
        if (command.isEmpty())
            return false;
        // The terminal closes as soon as its program ends, taking a short run's output with
        // it: a shell stays after kivo, says how it ended and waits for a key. It also drops a
        // mark when kivo ends, so that the wait below is for kivo and not for that key.
        QTemporaryDir markDir;
        const QString mark = markDir.isValid() ? markDir.filePath(QStringLiteral("ended")) : QString();
        command << QStringLiteral("/bin/sh") << QStringLiteral("-c") << QString::fromLatin1(kKeepOpen)
                << QStringLiteral("scriptdesk") << mark << call.program << call.arguments;

        std::vector<QByteArray> storage;
        for (const QString& part : command)
            storage.push_back(part.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& part : storage)
            argv.push_back(part.data());
        argv.push_back(nullptr);

        pid_t pid = 0;
        if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            return false;

        // The editor blocks here on purpose, as it always has: the user sees the run first.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            const pid_t done = waitpid(pid, &status, WNOHANG);
            if (done == pid || (done < 0 && errno != EINTR))
                return true;
            if (!mark.isEmpty() && QFileInfo::exists(mark))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        running_.push_back(pid);
        return true;
    }

    bool startDetached(const ProgramCall& call) override {
        return QProcess::startDetached(call.program, call.arguments);
    }

private:
    // Terminals that outlived the wait are collected later so they leave no zombies behind.
    void reapFinished() {
        std::erase_if(running_, [](pid_t pid) {
            int status = 0;
            return waitpid(pid, &status, WNOHANG) != 0;
        });
    }

    std::vector<pid_t> running_;
};

}  // namespace

std::unique_ptr<ProcessStarter> makeSystemProcessStarter() {
    return std::make_unique<PosixProcessStarter>();
}

}  // namespace kivo::editor
