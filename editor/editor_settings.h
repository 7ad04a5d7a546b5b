#pragma once
#include <QString>
#include <QStringList>

class QWidget;

namespace kivo::editor {

class SettingsStore;
class UiServices;
struct FileDialogMemory;

/// The editor's settings as the program holds them, and the way they reach the per-user store.
/// Only the interpreter's path is ever read back; the raw image settings start off at every
/// start and are only written.
/// Where kivo is found without asking: beside the editor (an installation, or a build tree's
/// bin/), in the bin/ of the build tree the editor runs from, then on PATH. Empty when nowhere.
QString discoverInterpreter(const QString& programDir);

class EditorSettings {
public:
    EditorSettings(SettingsStore& store, UiServices& ui, FileDialogMemory& dialogs, QWidget* parent)
        : store_(store), ui_(ui), dialogs_(dialogs), parent_(parent) {}

    QString InterpreterPath;   ///< KIVO_PATH
    QStringList RecentFiles;   ///< RECENT1.., the most recent first
    QString RunPort;           ///< RUN_PORT: the port of the last run in the run pane
    QString ProgramDir;        ///< where the editor's executable is: kivo is looked for there

    static constexpr int kRecentCount = 8;
    bool GenerateRaw = false;  ///< GENERUJ_RAW
    QString ViewerPath;        ///< TRACELENS
    bool ViewRaw = false;      ///< VIEW

    /// Reads the interpreter's path. When it names no file, kivo is looked for (see
    /// discoverInterpreter) and a find is kept; only when none is found and the key is missing
    /// does it ask for the interpreter and create the key.
    void LoadSettings();

    /// Reads the recent files and the run pane's port.
    void loadHabits();
    /// Puts a file at the top of the recent files.
    void rememberFile(const QString& path);
    void rememberPort(const QString& port);

    /// Writes one value, creating the key when missing.
    void StoreSetting(const QString& name, const QString& value);

    /// The Params dialog: whatever the user changed there is taken over and written.
    void editInParams();

private:
    // Habits are written only once the key exists, so that they never stand in for the
    // first start's question; the key's first writer brings them in.
    void storeHabits();

    SettingsStore& store_;
    UiServices& ui_;
    FileDialogMemory& dialogs_;
    QWidget* parent_;
};

}  // namespace kivo::editor
