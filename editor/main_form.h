#pragma once
#include "editor/dialog.h"
#include "editor/editor_settings.h"
#include "editor/process_starter.h"
#include "editor/script_runner.h"
#include "editor/settings_store.h"
#include "editor/ui_services.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QListWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kivo::editor {

class RunPane;
class TAboutBox;
class TMDIChild;
struct CommandItem;

/// What the main window works through; tests replace any of them.
struct EditorServices {
    std::shared_ptr<UiServices> ui;            ///< message boxes, file dialogs, the browser
    std::shared_ptr<ProcessStarter> starter;   ///< the interpreter and the viewer
    std::shared_ptr<SettingsStore> settings;   ///< the per-user settings
    QString programDir;                        ///< overrides the executable's directory
};

/// The main window: the MDI area with the script documents, the menus, the toolbar and the
/// status bar. Documents save themselves; the settings and running kivo have classes of
/// their own.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(EditorServices services = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    QString ProgramDir;             ///< the executable's directory, with a trailing separator
    QString HelpFile;               ///< "Help.htm"
    PendingCommand Pending;         ///< the command the parameter dialog asks values for

    QMdiArea* mdiArea;
    QToolBar* ToolBar;
    QLabel* StatusPanels[2];
    QMenu* FileMenu;
    QMenu* EditMenu;
    QMenu* CommandMenu;
    QMenu* OptionsMenu;
    QMenu* ToolsMenu;
    QMenu* WindowMenu;
    QMenu* HelpMenu;
    QMenu* RunMenu;
    QMenu* RecentMenu;             ///< under File: the files opened or saved last
    QComboBox* PortChoice;         ///< toolbar: the KIVO_PORT of runs in the pane
    RunPane* Runs;                 ///< the run pane
    QDockWidget* LabelsDock;
    QListWidget* LabelList;        ///< the active script's labels; activating one goes there
    TDialog* Dialog;
    TAboutBox* AboutBox;

    QAction* FileNew1;
    QAction* FileOpen1;
    QAction* FileClose1;
    QAction* FileSave1;
    QAction* FileSaveAs1;
    QAction* FileExit1;
    QAction* EditUndo1;
    QAction* EditSelectAll1;
    QAction* EditCut1;
    QAction* EditCopy1;
    QAction* EditPaste1;
    QAction* EditDelete1;
    QAction* WindowCascade1;
    QAction* WindowTileHorizontal1;
    QAction* WindowTileVertical1;
    QAction* WindowMinimizeAll1;
    QAction* WindowArrangeAll1;
    QAction* Execute;
    QAction* aParams;
    QAction* aRawGenerator;
    QAction* HelpAbout1;
    QAction* aHelp;
    QAction* RunHere;              ///< Ctrl+F9: kivo in the run pane
    QAction* StopRun;
    QAction* GoToLabel;            ///< F12 (and Ctrl+click): from a jump to its label

    UiServices& ui() { return *services_.ui; }
    EditorSettings& settings() { return settings_; }
    ScriptRunner& runner() { return runner_; }

    /// Open document windows: those in the MDI area that have not accepted to close.
    int DocumentCount() const;
    /// The active document window, or nullptr.
    TMDIChild* activeChild() const;
    /// Every open document window, in creation order.
    QList<TMDIChild*> documents() const;

    /// Sets the text of status panel 0 or 1.
    void setStatusPanel(int panel, const QString& text);
    QString statusPanel(int panel) const;

    /// Creates a document window for the name, loading the file if it exists.
    TMDIChild* OpenDocument(const QString& name);

    /// Opens the files named on the command line or picked from the recent files; a name of
    /// no file (yet) starts a document that saves under that name.
    void openFromCommandLine(const QStringList& paths);
    /// Shows the line (from 0) of the document and gives it the focus.
    void showLine(TMDIChild* child, int line, int column = 0);

public slots:
    void FormCreate();
    void FormActivate();
    void UpdateCommandState();
    void FileNew1Execute();
    void FileOpen1Execute();
    void FileClose1Execute();
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void FileExit1Execute();
    void HelpAbout1Execute();
    void ExecuteExecute();
    void aParamsExecute();
    void aHelpExecute();
    void aRawGeneratorExecute();
    void RunHereExecute();
    void GoToLabelExecute();
    void refreshLabels();
    /// Every item of the "&KIVO Command" menu: inserts the word or asks for the values.
    void commandItemClick(const kivo::editor::CommandItem& item);
    /// Opens the help page, at the anchor when one is given.
    void openHelp(const QString& anchor);
    /// Opens a help address made of the page path, "#" and an anchor.
    void openHelpTarget(const QString& helpTarget);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createActions();
    void connectActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void insertPendingLine(const QString& line);
    void updateWindowMenu();
    void documentClosed();
    void createRunTools();
    void updateRecentMenu();
    void failedAt(int line);

    EditorServices services_;
    FileDialogMemory dialogs_;
    EditorSettings settings_;
    ScriptRunner runner_;
    QTimer labelsTimer_;
    bool activatedOnce_ = false;
    bool returningFromForm_ = false;
};

}  // namespace kivo::editor
