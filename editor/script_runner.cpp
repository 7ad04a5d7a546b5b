#include "editor/script_runner.h"

#include "editor/editor_settings.h"
#include "editor/process_starter.h"
#include "editor/raw_image.h"
#include "editor/ui_services.h"

#include <QFileInfo>

namespace kivo::editor {
namespace {

constexpr int kInterpreterWaitMs = 10000;

bool isFile(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

}  // namespace

bool ScriptRunner::readyToRun(const QString& scriptPath, bool changed) {
    if (!isFile(settings_.InterpreterPath))
        settings_.LoadSettings();
    // kivo reads the script from disk, so only a saved, unchanged document can run.
    if (!isFile(scriptPath) || changed) {
        ui_.notice(parent_, QStringLiteral("Musisz wpierw zapisac plik."));
        return false;
    }
    if (!isFile(settings_.InterpreterPath)) {
        ui_.notice(parent_, QStringLiteral("Nie prawidlowa siezka do pliku Kivo.exe."));
        return false;
    }
    return true;
}

void ScriptRunner::run(const QString& scriptPath, bool changed) {
    if (!readyToRun(scriptPath, changed))
        return;
    if (!starter_.runInOwnConsole({settings_.InterpreterPath, {scriptPath}}, kInterpreterWaitMs))
        ui_.notice(parent_, QStringLiteral("Blad w wywolaniu programu KIVO."));
    if (settings_.GenerateRaw)
        postRunConversion(scriptPath);
}

bool ScriptRunner::ConvertOutToRaw(const QString& inputPath, const QString& outputPath) {
    switch (convertOutToRaw(inputPath, outputPath)) {
    case RawConversion::Done:
        return true;
    case RawConversion::InputMissing:
        ui_.notice(parent_, QStringLiteral("Podany plik [%1] nie istnieje.").arg(inputPath));
        return false;
    case RawConversion::OutputFailed:
        ui_.notice(parent_, QStringLiteral("Nie podales pliku wyjsciowego"));
        return false;
    }
    return false;
}

void ScriptRunner::ShowInViewer(const QString& rawPath) {
    if (!isFile(settings_.ViewerPath)) {
        ui_.notice(parent_, QStringLiteral("Nie prawidlowa siezka do pliku tracelens.exe."));
        return;
    }
    if (!starter_.startDetached({settings_.ViewerPath, {QStringLiteral("fir3x3"), rawPath}}))
        ui_.notice(parent_, QStringLiteral("Blad w wywolaniu programu tracelens."));
}

void ScriptRunner::postRunConversion(const QString& scriptPath) {
    const qsizetype dot = scriptPath.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? QString() : scriptPath.left(dot);
    if (!isFile(base + QStringLiteral(".out")))
        return;
    ConvertOutToRaw(base + QStringLiteral(".out"), base + QStringLiteral(".raw"));
    if (settings_.ViewRaw && isFile(base + QStringLiteral(".raw")))
        ShowInViewer(base + QStringLiteral(".raw"));
}

}  // namespace kivo::editor
