#include "editor/editor_settings.h"

#include "editor/params_form.h"
#include "editor/settings_store.h"
#include "editor/ui_services.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QLineEdit>

namespace kivo::editor {
namespace {

const QString kBadInterpreter = QStringLiteral("Nie prawidlowa siezka do pliku Kivo.exe.");
const QString kNoKey = QStringLiteral("Nie można utworzyc odpowiedniego klucza w rejestrze.");

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

QString discoverInterpreter(const QString& programDir) {
    const QString name = QStringLiteral("kivo");
    if (!programDir.isEmpty()) {
        const QDir here(programDir);
        const QString found = QStandardPaths::findExecutable(
            name, {here.absolutePath(), here.absoluteFilePath(QStringLiteral("../bin")),
                   here.absoluteFilePath(QStringLiteral("../../bin"))});
        if (!found.isEmpty())
            return QDir::cleanPath(found);
    }
    return QStandardPaths::findExecutable(name);
}

void EditorSettings::LoadSettings() {
    const bool keyExisted = store_.keyExists();
    if (keyExisted)
        InterpreterPath = store_.readValue(QString::fromLatin1(kInterpreterPathValue));
    if (QFileInfo(InterpreterPath).isFile())
        return;
    if (const QString found = discoverInterpreter(ProgramDir); !found.isEmpty()) {
        InterpreterPath = found;
        StoreSetting(QString::fromLatin1(kInterpreterPathValue), InterpreterPath);
        if (!keyExisted)
            storeHabits();
        return;
    }
    if (keyExisted)
        return;
    // Asked only while the key is missing: once it exists, Params is the way to mend the path.
    if (ui_.ask(parent_, QStringLiteral("Komunikat"), QStringLiteral("Wskaz sciezke do pliku Kivo.exe."),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) != QMessageBox::Yes)
        return;
    if (!store_.createKey()) {
        ui_.notice(parent_, kNoKey);
        return;
    }
    const UiServices::FileChoice choice =
        ui_.openFile(parent_, QStringLiteral("Open"), dialogs_.openFileName, dialogs_.openFilter);
    if (!choice.path.isEmpty())
        dialogs_.openFileName = choice.path;
    if (choice.path.isEmpty() || !QFileInfo(choice.path).isFile()) {
        ui_.notice(parent_, kBadInterpreter);
        return;
    }
    InterpreterPath = choice.path;
    store_.writeValue(QString::fromLatin1(kInterpreterPathValue), InterpreterPath);
    storeHabits();
}

void EditorSettings::loadHabits() {
    if (!store_.keyExists())
        return;
    RecentFiles.clear();
    for (int i = 1; i <= kRecentCount; ++i) {
        const QString path = store_.readValue(QStringLiteral("RECENT%1").arg(i));
        if (!path.isEmpty())
            RecentFiles << path;
    }
    RunPort = store_.readValue(QStringLiteral("RUN_PORT"));
}

void EditorSettings::rememberFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!RecentFiles.isEmpty() && RecentFiles.first() == absolute)
        return;
    RecentFiles.removeAll(absolute);
    RecentFiles.prepend(absolute);
    while (RecentFiles.size() > kRecentCount)
        RecentFiles.removeLast();
    storeHabits();
}

void EditorSettings::storeHabits() {
    if (!store_.keyExists())
        return;
    // The list only ever grows up to its length, so no older entry is left to clear.
    for (qsizetype i = 0; i < RecentFiles.size(); ++i)
        store_.writeValue(QStringLiteral("RECENT%1").arg(i + 1), RecentFiles[i]);
    if (!RunPort.isEmpty())
        store_.writeValue(QStringLiteral("RUN_PORT"), RunPort);
}

void EditorSettings::rememberPort(const QString& port) {
    if (port == RunPort)
        return;
    RunPort = port;
    if (store_.keyExists())
        store_.writeValue(QStringLiteral("RUN_PORT"), port);
}

void EditorSettings::StoreSetting(const QString& name, const QString& value) {
    if (!store_.keyExists() && !store_.createKey()) {
        ui_.notice(parent_, kNoKey);
        return;
    }
    store_.writeValue(name, value);
}

void EditorSettings::editInParams() {
    TfParams params(ui_, parent_);
    params.eKivoPath->setText(InterpreterPath);
    if (ui_.exec(params) != QDialog::Accepted)
        return;
    if (params.eKivoPath->text() != InterpreterPath) {
        InterpreterPath = params.eKivoPath->text();
        StoreSetting(QString::fromLatin1(kInterpreterPathValue), InterpreterPath);
    }
    if (params.generateRaw() != GenerateRaw) {
        GenerateRaw = params.generateRaw();
        StoreSetting(QString::fromLatin1(kGenerateRawValue), flag(GenerateRaw));
    }
    if (params.viewerPath() != ViewerPath) {
        ViewerPath = params.viewerPath();
        StoreSetting(QString::fromLatin1(kViewerPathValue), ViewerPath);
    }
    if (params.viewRaw() != ViewRaw) {
        ViewRaw = params.viewRaw();
        StoreSetting(QString::fromLatin1(kViewRawValue), flag(ViewRaw));
    }
}

}  // namespace kivo::editor
