// The main window's controls as designed: its actions, menus, toolbar and status bar. What
// they do is in main_form.cpp.
#include "editor/command_table.h"
#include "editor/icons.h"
#include "editor/main_form.h"
#include "editor/run_pane.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <optional>

namespace kivo::editor {

void TMainForm::createActions() {
    // A hint is "short|long": the short part is the tooltip, the long one goes to the status bar.
    struct ActionSpec {
        QAction* TMainForm::*action;
        const char* name;
        const char* caption;
        const char* hint;
        const char* shortcut;
        std::optional<ToolImage> image;
    };
    static const ActionSpec kActions[] = {
        {&TMainForm::FileNew1, "FileNew1", "&New", "New|Create a new file", "Ctrl+N", ToolImage::New},
        {&TMainForm::FileOpen1, "FileOpen1", "&Open", "Open|Open a file", "Ctrl+O", ToolImage::Open},
        {&TMainForm::FileClose1, "FileClose1", "&Close", "Close|Close current file", "", {}},
        {&TMainForm::FileSave1, "FileSave1", "&Save", "Save|Save current file", "Ctrl+S", ToolImage::Save},
        {&TMainForm::FileSaveAs1, "FileSaveAs1", "Save &As...", "Save As|Save current file with different name", "",
         {}},
        {&TMainForm::FileExit1, "FileExit1", "E&xit", "Exit|Exit application", "", {}},
        {&TMainForm::EditUndo1, "EditUndo1", "&Undo", "Undo|Reverts the last action", "Ctrl+Z", {}},
        {&TMainForm::EditSelectAll1, "EditSelectAll1", "Select &All", "Select All|Selects the entire document",
         "Ctrl+A", {}},
        {&TMainForm::EditCut1, "EditCut1", "Cu&t", "Cut|Cuts the selection and puts it on the Clipboard", "Ctrl+X",
         ToolImage::Cut},
        {&TMainForm::EditCopy1, "EditCopy1", "&Copy", "Copy|Copies the selection and puts it on the Clipboard",
         "Ctrl+C", ToolImage::Copy},
        {&TMainForm::EditPaste1, "EditPaste1", "&Paste", "Paste|Inserts Clipboard contents", "Ctrl+V",
         ToolImage::Paste},
        {&TMainForm::EditDelete1, "EditDelete1", "&Delete", "Delete|Erases the selection", "Del", {}},
        {&TMainForm::WindowCascade1, "WindowCascade1", "&Cascade", "Cascade", "", ToolImage::Cascade},
        {&TMainForm::WindowTileHorizontal1, "WindowTileHorizontal1", "Tile &Horizontally", "Tile Horizontally", "",
         ToolImage::TileHorizontal},
        {&TMainForm::WindowTileVertical1, "WindowTileVertical1", "Tile &Vertically", "Tile Vertically", "",
         ToolImage::TileVertical},
        {&TMainForm::WindowMinimizeAll1, "WindowMinimizeAll1", "&Minimize All", "Minimize All", "", {}},
        {&TMainForm::WindowArrangeAll1, "WindowArrangeAll1", "&Arrange All", "Arrange All", "", {}},
        {&TMainForm::Execute, "Execute", "Execute", "Execute", "F9", ToolImage::Execute},
        {&TMainForm::aParams, "aParams", "&Params", "", "", {}},
        {&TMainForm::aRawGenerator, "aRawGenerator", "&RAW generator", "", "", {}},
        {&TMainForm::HelpAbout1, "HelpAbout1", "&About...", "", "", {}},
        {&TMainForm::aHelp, "aHelp", "Help", "", "", {}},
        {&TMainForm::RunHere, "RunHere", "Run &here", "Run here|Run the script here, its output in the run pane",
         "Ctrl+F9", ToolImage::RunHere},
        {&TMainForm::StopRun, "StopRun", "&Stop", "Stop|Stop the run in the run pane", "Ctrl+F2", ToolImage::Stop},
        {&TMainForm::GoToLabel, "GoToLabel", "Go to &label", "Go to label|Go from a jump to its label", "F12", {}},
    };
    for (const ActionSpec& spec : kActions) {
        auto* action = new QAction(QString::fromLatin1(spec.caption), this);
        action->setObjectName(QString::fromLatin1(spec.name));
        const QString hint = QString::fromLatin1(spec.hint);
        const qsizetype bar = hint.indexOf(QLatin1Char('|'));
        action->setToolTip(bar < 0 ? hint : hint.left(bar));
        action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
        action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
        if (spec.image)
            action->setIcon(toolIcon(*spec.image));
        this->*spec.action = action;
    }
    // F9 must work wherever the focus is in the main window, and it has no menu item.
    addAction(Execute);
    StopRun->setEnabled(false);
}

void TMainForm::createMenus() {
    FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("File1"));
    FileMenu->addActions({FileNew1, FileOpen1, FileClose1, FileSave1, FileSaveAs1});
    FileMenu->addSeparator();
    RecentMenu = FileMenu->addMenu(QStringLiteral("Recent &Files"));
    RecentMenu->setObjectName(QStringLiteral("RecentFiles1"));
    connect(RecentMenu, &QMenu::aboutToShow, this, &TMainForm::updateRecentMenu);
    FileMenu->addSeparator();
    FileMenu->addAction(FileExit1);

    EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    EditMenu->setObjectName(QStringLiteral("Edit1"));
    EditMenu->menuAction()->setStatusTip(QStringLiteral("Edit commands"));
    EditMenu->addActions({EditUndo1, EditSelectAll1});
    EditMenu->addSeparator();
    EditMenu->addActions({EditCut1, EditCopy1, EditPaste1, EditDelete1});
    EditMenu->addSeparator();
    EditMenu->addAction(GoToLabel);

    CommandMenu = menuBar()->addMenu(QStringLiteral("&KIVO Command"));
    CommandMenu->setObjectName(QStringLiteral("KIVOCommand1"));
    for (const kivo::editor::CommandMenu& group : commandMenus()) {
        QMenu* submenu = CommandMenu->addMenu(QString::fromLatin1(group.caption));
        for (const CommandItem& item : group.items) {
            if (item.separatorBefore)
                submenu->addSeparator();
            QAction* action = submenu->addAction(QString::fromLatin1(item.caption));
            action->setObjectName(QString::fromLatin1(item.name));
            connect(action, &QAction::triggered, this, [this, &item] { commandItemClick(item); });
        }
    }

    OptionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    OptionsMenu->setObjectName(QStringLiteral("Options1"));
    OptionsMenu->addAction(aParams);

    RunMenu = menuBar()->addMenu(QStringLiteral("&Run"));
    RunMenu->setObjectName(QStringLiteral("Run1"));
    RunMenu->addActions({RunHere, StopRun});

    // The raw image tools stay out of sight; their handlers remain reachable.
    ToolsMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
    ToolsMenu->setObjectName(QStringLiteral("Tools1"));
    ToolsMenu->addAction(aRawGenerator);
    ToolsMenu->menuAction()->setVisible(false);

    WindowMenu = menuBar()->addMenu(QStringLiteral("&Window"));
    WindowMenu->setObjectName(QStringLiteral("Window1"));
    WindowMenu->menuAction()->setStatusTip(QStringLiteral("Window related commands"));
    connect(WindowMenu, &QMenu::aboutToShow, this, &TMainForm::updateWindowMenu);
    updateWindowMenu();

    HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    HelpMenu->setObjectName(QStringLiteral("Help1"));
    HelpMenu->menuAction()->setStatusTip(QStringLiteral("Help topics"));
    HelpMenu->addActions({HelpAbout1, aHelp});
}

void TMainForm::updateWindowMenu() {
    WindowMenu->clear();
    WindowMenu->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1,
                            WindowMinimizeAll1, WindowArrangeAll1});
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    WindowMenu->addSeparator();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        const QString prefix = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
        QAction* entry = WindowMenu->addAction(prefix + window->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(window == mdiArea->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, window] { mdiArea->setActiveSubWindow(window); });
    }
}

void TMainForm::createToolBar() {
    ToolBar = addToolBar(QStringLiteral("ToolBar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar->setMovable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->addActions({FileNew1, FileOpen1, FileSave1});
    ToolBar->addSeparator();
    ToolBar->addActions({EditCut1, EditCopy1, EditPaste1});
    ToolBar->addSeparator();
    ToolBar->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1});
    ToolBar->addSeparator();
    ToolBar->addAction(Execute);
    ToolBar->addActions({RunHere, StopRun});
    PortChoice = new QComboBox(ToolBar);
    PortChoice->setObjectName(QStringLiteral("PortChoice"));
    PortChoice->setEditable(true);  // a board with fault flags, another device
    PortChoice->setToolTip(QStringLiteral("Port of runs in the run pane (KIVO_PORT)"));
    PortChoice->setMinimumContentsLength(16);
    PortChoice->addItems(runPortChoices());
    ToolBar->addWidget(PortChoice);
}

void TMainForm::createStatusBar() {
    for (int i = 0; i < 2; ++i) {
        StatusPanels[i] = new QLabel(this);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setFrameShape(QFrame::Panel);
        StatusPanels[i]->setFrameShadow(QFrame::Sunken);
    }
    StatusPanels[0]->setFixedWidth(250);
    statusBar()->addWidget(StatusPanels[0]);
    statusBar()->addWidget(StatusPanels[1], 1);
}

}  // namespace kivo::editor
