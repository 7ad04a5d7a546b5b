#pragma once
#include <QString>

class QWidget;

namespace kivo::editor {

class EditorSettings;
class ProcessStarter;
class UiServices;

/// Runs kivo on a saved script and turns the samples a run leaves into a raw image for the
/// viewer. Every failure is told to the user here; callers only decide when to run.
class ScriptRunner {
public:
    ScriptRunner(EditorSettings& settings, UiServices& ui, ProcessStarter& starter, QWidget* parent)
        : settings_(settings), ui_(ui), starter_(starter), parent_(parent) {}

    /// Starts kivo on the script at scriptPath, refused while the document has unsaved
    /// changes; then converts the run's samples when the settings ask for it.
    void run(const QString& scriptPath, bool changed);

    /// The checks before any run: a saved, unchanged script and an interpreter that exists
    /// (looked for again when the one held does not). False after telling the user why not.
    bool readyToRun(const QString& scriptPath, bool changed);

    /// Converts a sample file into a raw image; false (after a message) when it failed.
    bool ConvertOutToRaw(const QString& inputPath, const QString& outputPath);
    /// Shows a raw image in the viewer the settings name.
    void ShowInViewer(const QString& rawPath);
    /// Converts "<script without extension>.out" after a run, and shows it when asked to.
    void postRunConversion(const QString& scriptPath);

    UiServices& ui() { return ui_; }
    const EditorSettings& settings() const { return settings_; }

private:
    EditorSettings& settings_;
    UiServices& ui_;
    ProcessStarter& starter_;
    QWidget* parent_;
};

}  // namespace kivo::editor
