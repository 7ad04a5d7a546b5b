#include "editor/process_starter.h"

namespace kivo::editor {

QString quotedCommandLine(const ProgramCall& call) {
    QStringList parts{QLatin1Char('"') + call.program + QLatin1Char('"')};
    for (const QString& argument : call.arguments)
        parts << QLatin1Char('"') + argument + QLatin1Char('"');
    return parts.join(QLatin1Char(' '));
}

}  // namespace kivo::editor
