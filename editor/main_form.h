#pragma once
#include "editor/dialog.h"
#include "editor/process_starter.h"
#include "editor/settings_store.h"
#include "editor/ui_services.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kivo::editor {

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

/// The main window: the MDI area with the script documents, the menus, the toolbar, the
/// status bar and the settings.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(EditorServices services = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Fields kept beside the controls.
    int DocumentCount = 0;          ///< open document windows
    QString ProgramDir;             ///< the executable's directory, with a trailing separator
    QString HelpFile;               ///< "Help.htm"
    QString InterpreterPath;        ///< setting KIVO_PATH
    bool GenerateRaw = false;       ///< setting GENERUJ_RAW
    QString ViewerPath;             ///< setting TRACELENS
    bool ViewRaw = false;           ///< setting VIEW
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

    /// The services in use.
    UiServices& ui() { return *services_.ui; }
    ProcessStarter& starter() { return *services_.starter; }
    SettingsStore& settings() { return *services_.settings; }

    /// The active document window, or nullptr.
    TMDIChild* activeChild() const;
    /// Every open document window, in creation order.
    QList<TMDIChild*> documents() const;

    /// Sets the text of status panel 0 or 1.
    void setStatusPanel(int panel, const QString& text);
    QString statusPanel(int panel) const;

    /// Creates a document window for the name, loading the file if it exists.
    TMDIChild* OpenDocument(const QString& name);
    /// Writes the document (asking for a name when it has none or asAgain is set); false when
    /// nothing was written.
    bool saveDocument(TMDIChild& child, bool asAgain);
    /// Bookkeeping once a document window has accepted to close.
    void documentClosed(TMDIChild& child);

    /// Opens the help page, at the anchor when one is given.
    void openHelp(const QString& anchor);
    /// Opens a help address made of the page path, "#" and an anchor.
    void openHelpTarget(const QString& helpTarget);

    /// Converts a sample file into a raw image; false (after a message) when it failed.
    bool ConvertOutToRaw(const QString& inputPath, const QString& outputPath);
    /// Shows a raw image in the viewer from ViewerPath.
    void ShowInViewer(const QString& rawPath);
    /// Converts "<script without extension>.out" after a run, and shows it when asked to.
    void postRunConversion(const QString& scriptPath);

    /// Filter and file name of the open-file dialog, kept between uses as the dialog does.
    QString openDialogFilter;
    QString openDialogFileName;
    /// The file name the save dialog proposes: the last one chosen in either dialog.
    QString saveDialogFileName;

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
    void LoadSettings();
    void StoreSetting(const QString& name, const QString& value);
    void aParamsExecute();
    void aHelpExecute();
    void aRawGeneratorExecute();
    void tileHorizontally();
    void tileVertically();
    void tile(Qt::Orientation direction);
    void minimizeAll();
    void arrangeAll();

    // The "&KIVO Command" items.
    void config1Click();
    void writeblock1Click();
    void writebyte1Click();
    void readblock1Click();
    void readbyte1Click();
    void baseadr1Click();
    void ver1Click();
    void eppmode1Click();
    void reset1Click();
    void waitbit01Click();
    void waitbit11Click();
    void gobit11Click();
    void gobit01Click();
    void go1Click();
    void go2Click();
    void go3Click();
    void fileconv1Click();
    void filecomp1Click();
    void fileappend1Click();
    void fileselect1Click();
    void file2txt1Click();
    void file2raw1Click();
    void filestatistic1Click();
    void filehistogram1Click();
    void i2cwrite1Click();
    void i2cread1Click();
    void labaseadr1Click();
    void laawidth1Click();
    void lahighadr1Click();
    void latvalue1Click();
    void latcare1Click();
    void lacevalue1Click();
    void lacecare1Click();
    void lacectr1Click();
    void lastart1Click();
    void laread1Click();
    void sleep1Click();
    void run1Click();
    void exit1Click();
    void waitforkey1Click();
    void print1Click();
    void comment1Click();
    void goto1Click();
    void label2Click();
    void loop1Click();
    void stat1Click();
    void stat2Click();
    void stat3Click();
    void stat4Click();
    void stat5Click();
    void stat6Click();
    void stat7Click();
    void stat8Click();
    void stat9Click();
    void stat10Click();
    void stat11Click();
    void stat12Click();
    void statm1Click();
    void statm2Click();
    void vhdlsim1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void commandItemClick(const char* handler);
    void insertPendingLine(const QString& line);
    void updateWindowMenu();

    EditorServices services_;
    bool activatedOnce_ = false;
    bool returningFromForm_ = false;
};

}  // namespace kivo::editor
