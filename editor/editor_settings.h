#pragma once
#include <QString>

class QWidget;

namespace kivo::editor {

class SettingsStore;
class UiServices;
struct FileDialogMemory;

/// The editor's settings as the program holds them, and the way they reach the per-user store.
/// Only the interpreter's path is ever read back; the raw image settings start off at every
/// start and are only written.
class EditorSettings {
public:
    EditorSettings(SettingsStore& store, UiServices& ui, FileDialogMemory& dialogs, QWidget* parent)
        : store_(store), ui_(ui), dialogs_(dialogs), parent_(parent) {}

    QString InterpreterPath;   ///< KIVO_PATH
    bool GenerateRaw = false;  ///< GENERUJ_RAW
    QString ViewerPath;        ///< TRACELENS
    bool ViewRaw = false;      ///< VIEW

    /// Reads the interpreter's path; while the key is missing, asks for the interpreter and
    /// creates the key.
    void LoadSettings();

    /// Writes one value, creating the key when missing.
    void StoreSetting(const QString& name, const QString& value);

    /// The Params dialog: whatever the user changed there is taken over and written.
    void editInParams();

private:
    SettingsStore& store_;
    UiServices& ui_;
    FileDialogMemory& dialogs_;
    QWidget* parent_;
};

}  // namespace kivo::editor
