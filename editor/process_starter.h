#pragma once
#include <QString>
#include <QStringList>
#include <memory>

namespace kivo::editor {

/// A program and its arguments, as the editor means to start it.
struct ProgramCall {
    QString program;
    QStringList arguments;
};

/// The interpreter's command line: every part in double quotes, one blank between them.
QString quotedCommandLine(const ProgramCall& call);

/// Starts the programs the editor runs. The real one lives in the platform layer; tests put
/// a recording one in its place.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;

    /// Starts a console program in a console window of its own and waits for it up to
    /// waitMs milliseconds; false when it could not be started. A program still running
    /// after the wait runs on by itself.
    virtual bool runInOwnConsole(const ProgramCall& call, int waitMs) = 0;

    /// Starts a program without waiting for it; false when it could not be started.
    virtual bool startDetached(const ProgramCall& call) = 0;
};

/// The starter of this platform: a new console on Windows; a terminal emulator window
/// elsewhere ($SCRIPTDESK_TERMINAL, else x-terminal-emulator, else xterm).
std::unique_ptr<ProcessStarter> makeSystemProcessStarter();

}  // namespace kivo::editor
