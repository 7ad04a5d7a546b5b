#include "editor/main_form.h"

#include "editor/about_box.h"
#include "editor/command_table.h"
#include "editor/icons.h"
#include "editor/mdi_child.h"
#include "editor/params_form.h"
#include "editor/raw_generator.h"
#include "editor/raw_image.h"
#include "editor/script_file.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QWindow>

namespace kivo::editor {
namespace {

const QString kTitle = QStringLiteral("KIVO Voraraz Udide");
const QString kTextFilter = QStringLiteral("Text files (*.txt)|*.TXT|All files (*.*)|*.*");
constexpr int kInterpreterWaitMs = 10000;

bool isFile(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// A hint is "short|long": the short part is the tooltip, the long one goes to the status bar.
QAction* makeAction(QObject* owner, const char* name, const QString& caption, const QString& hint,
                    const QKeySequence& shortcut = {}) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

}  // namespace

TMainForm::TMainForm(EditorServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    if (!services_.ui)
        services_.ui = std::make_shared<UiServices>();
    if (!services_.starter)
        services_.starter = makeSystemProcessStarter();
    if (!services_.settings)
        services_.settings = makeUserSettingsStore();

    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kTitle);
    resize(665, 384);

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(mdiArea);

    openDialogFilter = QStringLiteral("All files (*.*)|*.*");

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();

    Dialog = new TDialog(Pending, this);
    connect(Dialog, &TDialog::lineAccepted, this, &TMainForm::insertPendingLine);
    connect(Dialog, &TDialog::helpRequested, this, &TMainForm::openHelpTarget);
    AboutBox = new TAboutBox(this);

    connect(mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (window)
            if (auto* child = qobject_cast<TMDIChild*>(window->widget()))
                child->FormActivate();
    });
    // The settings are read whenever the main window becomes active: first after the start,
    // then on every return from one of the editor's own forms. Message boxes and file dialogs
    // do not count, or a question about the settings would bring itself back forever.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow*) {
        QWidget* active = QApplication::activeWindow();
        if (active == this) {
            if (!activatedOnce_ || returningFromForm_) {
                returningFromForm_ = false;
                FormActivate();
            }
        } else if (qobject_cast<TDialog*>(active) || qobject_cast<TAboutBox*>(active) ||
                   qobject_cast<TfParams*>(active) || qobject_cast<TfrawGenetaror*>(active)) {
            returningFromForm_ = true;
        }
    });

    FormCreate();
    UpdateCommandState();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
    DocumentCount = 0;
    ProgramDir = services_.programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                : services_.programDir;
    if (!ProgramDir.endsWith(QLatin1Char('/')))
        ProgramDir += QLatin1Char('/');
    HelpFile = QStringLiteral("Help.htm");
}

void TMainForm::FormActivate() {
    activatedOnce_ = true;
    LoadSettings();
}

void TMainForm::createActions() {
    FileNew1 = makeAction(this, "FileNew1", QStringLiteral("&New"), QStringLiteral("New|Create a new file"),
                          QKeySequence(Qt::CTRL | Qt::Key_N));
    FileOpen1 = makeAction(this, "FileOpen1", QStringLiteral("&Open"), QStringLiteral("Open|Open a file"),
                           QKeySequence(Qt::CTRL | Qt::Key_O));
    FileClose1 = makeAction(this, "FileClose1", QStringLiteral("&Close"), QStringLiteral("Close|Close current file"));
    FileSave1 = makeAction(this, "FileSave1", QStringLiteral("&Save"), QStringLiteral("Save|Save current file"),
                           QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSaveAs1 = makeAction(this, "FileSaveAs1", QStringLiteral("Save &As..."),
                             QStringLiteral("Save As|Save current file with different name"));
    FileExit1 = makeAction(this, "FileExit1", QStringLiteral("E&xit"), QStringLiteral("Exit|Exit application"));
    EditUndo1 = makeAction(this, "EditUndo1", QStringLiteral("&Undo"), QStringLiteral("Undo|Reverts the last action"),
                           QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditSelectAll1 = makeAction(this, "EditSelectAll1", QStringLiteral("Select &All"),
                                QStringLiteral("Select All|Selects the entire document"),
                                QKeySequence(Qt::CTRL | Qt::Key_A));
    EditCut1 = makeAction(this, "EditCut1", QStringLiteral("Cu&t"),
                          QStringLiteral("Cut|Cuts the selection and puts it on the Clipboard"),
                          QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCopy1 = makeAction(this, "EditCopy1", QStringLiteral("&Copy"),
                           QStringLiteral("Copy|Copies the selection and puts it on the Clipboard"),
                           QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = makeAction(this, "EditPaste1", QStringLiteral("&Paste"), QStringLiteral("Paste|Inserts Clipboard contents"),
                            QKeySequence(Qt::CTRL | Qt::Key_V));
    EditDelete1 = makeAction(this, "EditDelete1", QStringLiteral("&Delete"), QStringLiteral("Delete|Erases the selection"),
                             QKeySequence(Qt::Key_Delete));
    WindowCascade1 = makeAction(this, "WindowCascade1", QStringLiteral("&Cascade"), QStringLiteral("Cascade"));
    WindowTileHorizontal1 = makeAction(this, "WindowTileHorizontal1", QStringLiteral("Tile &Horizontally"),
                                       QStringLiteral("Tile Horizontally"));
    WindowTileVertical1 = makeAction(this, "WindowTileVertical1", QStringLiteral("Tile &Vertically"),
                                     QStringLiteral("Tile Vertically"));
    WindowMinimizeAll1 = makeAction(this, "WindowMinimizeAll1", QStringLiteral("&Minimize All"),
                                    QStringLiteral("Minimize All"));
    WindowArrangeAll1 = makeAction(this, "WindowArrangeAll1", QStringLiteral("&Arrange All"),
                                   QStringLiteral("Arrange All"));
    Execute = makeAction(this, "Execute", QStringLiteral("Execute"), QStringLiteral("Execute"),
                         QKeySequence(Qt::Key_F9));
    aParams = makeAction(this, "aParams", QStringLiteral("&Params"), {});
    aRawGenerator = makeAction(this, "aRawGenerator", QStringLiteral("&RAW generator"), {});
    HelpAbout1 = makeAction(this, "HelpAbout1", QStringLiteral("&About..."), {});
    aHelp = makeAction(this, "aHelp", QStringLiteral("Help"), {});

    FileNew1->setIcon(toolIcon(ToolImage::New));
    FileOpen1->setIcon(toolIcon(ToolImage::Open));
    FileSave1->setIcon(toolIcon(ToolImage::Save));
    EditCut1->setIcon(toolIcon(ToolImage::Cut));
    EditCopy1->setIcon(toolIcon(ToolImage::Copy));
    EditPaste1->setIcon(toolIcon(ToolImage::Paste));
    WindowCascade1->setIcon(toolIcon(ToolImage::Cascade));
    WindowTileHorizontal1->setIcon(toolIcon(ToolImage::TileHorizontal));
    WindowTileVertical1->setIcon(toolIcon(ToolImage::TileVertical));
    Execute->setIcon(toolIcon(ToolImage::Execute));
    // F9 must work wherever the focus is in the main window, and it has no menu item.
    addAction(Execute);

    connect(FileNew1, &QAction::triggered, this, &TMainForm::FileNew1Execute);
    connect(FileOpen1, &QAction::triggered, this, &TMainForm::FileOpen1Execute);
    connect(FileClose1, &QAction::triggered, this, &TMainForm::FileClose1Execute);
    connect(FileSave1, &QAction::triggered, this, &TMainForm::FileSave1Execute);
    connect(FileSaveAs1, &QAction::triggered, this, &TMainForm::FileSaveAs1Execute);
    connect(FileExit1, &QAction::triggered, this, &TMainForm::FileExit1Execute);
    connect(EditUndo1, &QAction::triggered, this, [this] { if (auto* c = activeChild()) c->Memo->undo(); });
    connect(EditSelectAll1, &QAction::triggered, this, [this] { if (auto* c = activeChild()) c->Memo->selectAll(); });
    connect(EditCut1, &QAction::triggered, this, [this] { if (auto* c = activeChild()) c->Memo->cut(); });
    connect(EditCopy1, &QAction::triggered, this, [this] { if (auto* c = activeChild()) c->Memo->copy(); });
    connect(EditPaste1, &QAction::triggered, this, [this] { if (auto* c = activeChild()) c->Memo->paste(); });
    connect(EditDelete1, &QAction::triggered, this, [this] {
        // The Del key is this action's shortcut, so without a selection it deletes forward.
        if (auto* c = activeChild()) {
            QTextCursor cursor = c->Memo->textCursor();
            if (cursor.hasSelection())
                cursor.removeSelectedText();
            else
                cursor.deleteChar();
            c->Memo->setTextCursor(cursor);
        }
    });
    connect(WindowCascade1, &QAction::triggered, mdiArea, &QMdiArea::cascadeSubWindows);
    connect(WindowTileHorizontal1, &QAction::triggered, this, &TMainForm::tileHorizontally);
    connect(WindowTileVertical1, &QAction::triggered, this, &TMainForm::tileVertically);
    connect(WindowMinimizeAll1, &QAction::triggered, this, &TMainForm::minimizeAll);
    connect(WindowArrangeAll1, &QAction::triggered, this, &TMainForm::arrangeAll);
    connect(Execute, &QAction::triggered, this, &TMainForm::ExecuteExecute);
    connect(aParams, &QAction::triggered, this, &TMainForm::aParamsExecute);
    connect(aRawGenerator, &QAction::triggered, this, &TMainForm::aRawGeneratorExecute);
    connect(HelpAbout1, &QAction::triggered, this, &TMainForm::HelpAbout1Execute);
    connect(aHelp, &QAction::triggered, this, &TMainForm::aHelpExecute);
}

void TMainForm::createMenus() {
    FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("File1"));
    FileMenu->addActions({FileNew1, FileOpen1, FileClose1, FileSave1, FileSaveAs1});
    FileMenu->addSeparator();
    FileMenu->addAction(FileExit1);

    EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    EditMenu->setObjectName(QStringLiteral("Edit1"));
    EditMenu->menuAction()->setStatusTip(QStringLiteral("Edit commands"));
    EditMenu->addActions({EditUndo1, EditSelectAll1});
    EditMenu->addSeparator();
    EditMenu->addActions({EditCut1, EditCopy1, EditPaste1, EditDelete1});

    CommandMenu = menuBar()->addMenu(QStringLiteral("&KIVO Command"));
    CommandMenu->setObjectName(QStringLiteral("KIVOCommand1"));
    for (const kivo::editor::CommandMenu& group : commandMenus()) {
        QMenu* submenu = CommandMenu->addMenu(QString::fromLatin1(group.caption));
        for (const CommandItem& item : group.items) {
            if (item.separatorBefore)
                submenu->addSeparator();
            QAction* action = submenu->addAction(QString::fromLatin1(item.caption));
            QString name = QString::fromLatin1(item.handler);
            name.chop(5);  // the action is named like its handler without "Click"
            action->setObjectName(name);
            const char* handler = item.handler;
            connect(action, &QAction::triggered, this,
                    [this, handler] { QMetaObject::invokeMethod(this, handler); });
        }
    }

    OptionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    OptionsMenu->setObjectName(QStringLiteral("Options1"));
    OptionsMenu->addAction(aParams);

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

bool TMainForm::event(QEvent* event) {
    // Long hints go to the first panel instead of covering the whole status bar.
    if (event->type() == QEvent::StatusTip) {
        StatusPanels[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::setStatusPanel(int panel, const QString& text) { StatusPanels[panel]->setText(text); }

QString TMainForm::statusPanel(int panel) const { return StatusPanels[panel]->text(); }

TMDIChild* TMainForm::activeChild() const {
    // currentSubWindow stays valid while the parameter dialog has the focus.
    QMdiSubWindow* window = mdiArea->currentSubWindow();
    return window ? qobject_cast<TMDIChild*>(window->widget()) : nullptr;
}

QList<TMDIChild*> TMainForm::documents() const {
    QList<TMDIChild*> result;
    for (QMdiSubWindow* window : mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = qobject_cast<TMDIChild*>(window->widget()))
            result << child;
    return result;
}

void TMainForm::UpdateCommandState() {
    const bool any = DocumentCount != 0;
    for (QMenu* menu : {CommandMenu, EditMenu, WindowMenu})
        menu->menuAction()->setEnabled(any);
    for (QAction* action : {FileSave1, FileSaveAs1, FileClose1, Execute})
        action->setEnabled(any);
}

TMDIChild* TMainForm::OpenDocument(const QString& name) {
    auto* child = new TMDIChild(*this);
    child->setWindowTitle(name);
    QMdiSubWindow* window = mdiArea->addSubWindow(child);
    window->resize(355, 249);
    ++DocumentCount;
    child->Changed = true;
    if (QFileInfo(name).isFile()) {
        child->FileName = name;
        const ScriptFile::LoadResult loaded = ScriptFile::load(name);
        if (!loaded.ok)
            ui().notice(this, loaded.error);
        child->loadText(loaded.text);
        child->setMemoModified(true);
        setStatusPanel(1, name);
    }
    child->show();
    UpdateCommandState();
    return child;
}

void TMainForm::FileNew1Execute() { OpenDocument(QStringLiteral("Noname%1").arg(DocumentCount + 1)); }

void TMainForm::FileOpen1Execute() {
    openDialogFilter = kTextFilter;
    openDialogFileName.clear();
    const UiServices::FileChoice choice = ui().openFile(this, QStringLiteral("Open"), openDialogFileName, openDialogFilter);
    if (choice.path.isEmpty())
        return;
    openDialogFileName = choice.path;
    OpenDocument(choice.path);
    saveDialogFileName = choice.path;
    UpdateCommandState();
}

void TMainForm::FileClose1Execute() {
    if (QMdiSubWindow* window = mdiArea->currentSubWindow())
        window->close();
}

bool TMainForm::saveDocument(TMDIChild& child, bool asAgain) {
    QString path = child.FileName;
    if (asAgain || path.isEmpty()) {
        const UiServices::FileChoice choice = ui().saveFile(
            this, asAgain ? QStringLiteral("Save As") : QStringLiteral("Save"), saveDialogFileName, kTextFilter);
        if (choice.path.isEmpty())
            return false;
        saveDialogFileName = choice.path;
        path = choice.path;
        // Any dot counts, even one in a directory name: then the name is taken as given.
        if (choice.filterIndex == 0 && !path.contains(QLatin1Char('.')))
            path += QStringLiteral(".txt");
    }
    const ScriptFile::SaveResult saved = ScriptFile::save(path, child.scriptText());
    if (!saved.ok) {
        ui().notice(this, saved.error);
        return false;
    }
    child.FileName = path;
    child.setWindowTitle(path);
    setStatusPanel(0, {});
    setStatusPanel(1, path);
    child.Changed = false;
    return true;
}

void TMainForm::FileSave1Execute() {
    TMDIChild* child = activeChild();
    if (child && child->Changed)
        saveDocument(*child, false);
}

void TMainForm::FileSaveAs1Execute() {
    if (TMDIChild* child = activeChild())
        saveDocument(*child, true);
}

void TMainForm::documentClosed(TMDIChild&) {
    --DocumentCount;
    UpdateCommandState();
    setStatusPanel(1, {});
}

void TMainForm::FileExit1Execute() { close(); }

void TMainForm::closeEvent(QCloseEvent* event) {
    // A document whose owner answers Cancel (or whose save fails) keeps the program open.
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    Dialog->hide();
    event->accept();
}

void TMainForm::HelpAbout1Execute() { ui().exec(*AboutBox); }

void TMainForm::tileHorizontally() { tile(Qt::Vertical); }

void TMainForm::tileVertically() { tile(Qt::Horizontal); }

void TMainForm::tile(Qt::Orientation direction) {
    // The windows that are not minimised share the workspace: stacked one above the other
    // (each as wide as the workspace) or side by side (each as high as it).
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mdiArea->subWindowList())
        if (!window->isMinimized())
            windows << window;
    if (windows.isEmpty())
        return;
    const QRect area = mdiArea->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (direction == Qt::Vertical)
            windows[i]->setGeometry(0, i * (area.height() / n), area.width(), area.height() / n);
        else
            windows[i]->setGeometry(i * (area.width() / n), 0, area.width() / n, area.height());
    }
}

void TMainForm::minimizeAll() {
    for (QMdiSubWindow* window : mdiArea->subWindowList())
        window->showMinimized();
    arrangeAll();
}

void TMainForm::arrangeAll() {
    // Minimised windows line up along the bottom edge of the workspace, left to right.
    const QRect area = mdiArea->viewport()->rect();
    int x = 0;
    int y = area.bottom();
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height() + 1);
        x += size.width();
    }
}

void TMainForm::commandItemClick(const char* handler) {
    const CommandItem* item = commandByHandler(QString::fromLatin1(handler));
    if (!item)
        return;
    if (item->fieldCount == 0) {
        if (TMDIChild* child = activeChild())
            child->InsertLine(QString::fromLatin1(item->keyword));
        return;
    }
    Pending.FieldCount = item->fieldCount;
    Pending.Keyword = QString::fromLatin1(item->keyword);
    Pending.HelpTarget = ProgramDir + HelpFile + QLatin1Char('#') + helpAnchor(*item);
    Pending.GroupCaption = QString::fromLatin1(item->groupCaption);
    for (int i = 0; i < item->fieldCount; ++i)
        Pending.FieldLabels[i] = QString::fromLatin1(item->fieldLabels[i]);
    if (Dialog->isVisible()) {
        Dialog->raise();
        Dialog->activateWindow();
        return;
    }
    Dialog->adjustSize();
    Dialog->show();
    const QRect frame = Dialog->frameGeometry();
    Dialog->move(geometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
}

void TMainForm::insertPendingLine(const QString& line) {
    if (TMDIChild* child = activeChild())
        child->InsertLine(line);
}

void TMainForm::config1Click() { commandItemClick(__func__); }
void TMainForm::writeblock1Click() { commandItemClick(__func__); }
void TMainForm::writebyte1Click() { commandItemClick(__func__); }
void TMainForm::readblock1Click() { commandItemClick(__func__); }
void TMainForm::readbyte1Click() { commandItemClick(__func__); }
void TMainForm::baseadr1Click() { commandItemClick(__func__); }
void TMainForm::ver1Click() { commandItemClick(__func__); }
void TMainForm::eppmode1Click() { commandItemClick(__func__); }
void TMainForm::reset1Click() { commandItemClick(__func__); }
void TMainForm::waitbit01Click() { commandItemClick(__func__); }
void TMainForm::waitbit11Click() { commandItemClick(__func__); }
void TMainForm::gobit11Click() { commandItemClick(__func__); }
void TMainForm::gobit01Click() { commandItemClick(__func__); }
void TMainForm::go1Click() { commandItemClick(__func__); }
void TMainForm::go2Click() { commandItemClick(__func__); }
void TMainForm::go3Click() { commandItemClick(__func__); }
void TMainForm::fileconv1Click() { commandItemClick(__func__); }
void TMainForm::filecomp1Click() { commandItemClick(__func__); }
void TMainForm::fileappend1Click() { commandItemClick(__func__); }
void TMainForm::fileselect1Click() { commandItemClick(__func__); }
void TMainForm::file2txt1Click() { commandItemClick(__func__); }
void TMainForm::file2raw1Click() { commandItemClick(__func__); }
void TMainForm::filestatistic1Click() { commandItemClick(__func__); }
void TMainForm::filehistogram1Click() { commandItemClick(__func__); }
void TMainForm::i2cwrite1Click() { commandItemClick(__func__); }
void TMainForm::i2cread1Click() { commandItemClick(__func__); }
void TMainForm::labaseadr1Click() { commandItemClick(__func__); }
void TMainForm::laawidth1Click() { commandItemClick(__func__); }
void TMainForm::lahighadr1Click() { commandItemClick(__func__); }
void TMainForm::latvalue1Click() { commandItemClick(__func__); }
void TMainForm::latcare1Click() { commandItemClick(__func__); }
void TMainForm::lacevalue1Click() { commandItemClick(__func__); }
void TMainForm::lacecare1Click() { commandItemClick(__func__); }
void TMainForm::lacectr1Click() { commandItemClick(__func__); }
void TMainForm::lastart1Click() { commandItemClick(__func__); }
void TMainForm::laread1Click() { commandItemClick(__func__); }
void TMainForm::sleep1Click() { commandItemClick(__func__); }
void TMainForm::run1Click() { commandItemClick(__func__); }
void TMainForm::exit1Click() { commandItemClick(__func__); }
void TMainForm::waitforkey1Click() { commandItemClick(__func__); }
void TMainForm::print1Click() { commandItemClick(__func__); }
void TMainForm::comment1Click() { commandItemClick(__func__); }
void TMainForm::goto1Click() { commandItemClick(__func__); }
void TMainForm::label2Click() { commandItemClick(__func__); }
void TMainForm::loop1Click() { commandItemClick(__func__); }
void TMainForm::stat1Click() { commandItemClick(__func__); }
void TMainForm::stat2Click() { commandItemClick(__func__); }
void TMainForm::stat3Click() { commandItemClick(__func__); }
void TMainForm::stat4Click() { commandItemClick(__func__); }
void TMainForm::stat5Click() { commandItemClick(__func__); }
void TMainForm::stat6Click() { commandItemClick(__func__); }
void TMainForm::stat7Click() { commandItemClick(__func__); }
void TMainForm::stat8Click() { commandItemClick(__func__); }
void TMainForm::stat9Click() { commandItemClick(__func__); }
void TMainForm::stat10Click() { commandItemClick(__func__); }
void TMainForm::stat11Click() { commandItemClick(__func__); }
void TMainForm::stat12Click() { commandItemClick(__func__); }
void TMainForm::statm1Click() { commandItemClick(__func__); }
void TMainForm::statm2Click() { commandItemClick(__func__); }
void TMainForm::vhdlsim1Click() { commandItemClick(__func__); }

void TMainForm::ExecuteExecute() {
    TMDIChild* child = activeChild();
    if (!child)
        return;
    if (!isFile(InterpreterPath))
        LoadSettings();
    // kivo reads the script from disk, so only a saved, unchanged document can run.
    if (!isFile(child->FileName) || child->Changed) {
        ui().notice(this, QStringLiteral("Musisz wpierw zapisac plik."));
        return;
    }
    if (!isFile(InterpreterPath)) {
        ui().notice(this, QStringLiteral("Nie prawidlowa siezka do pliku Kivo.exe."));
        return;
    }
    const ProgramCall call{InterpreterPath, {child->FileName}};
    if (!starter().runInOwnConsole(call, kInterpreterWaitMs))
        ui().notice(this, QStringLiteral("Blad w wywolaniu programu KIVO."));
    if (GenerateRaw)
        postRunConversion(child->FileName);
}

void TMainForm::LoadSettings() {
    if (settings().keyExists()) {
        InterpreterPath = settings().readValue(QString::fromLatin1(kInterpreterPathValue));
        return;
    }
    // Asked only while the key is missing: once it exists, Params is the way to mend the path.
    if (ui().ask(this, QStringLiteral("Komunikat"), QStringLiteral("Wskaz sciezke do pliku Kivo.exe."),
                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) != QMessageBox::Yes)
        return;
    if (!settings().createKey()) {
        ui().notice(this, QStringLiteral("Nie można utworzyc odpowiedniego klucza w rejestrze."));
        return;
    }
    const UiServices::FileChoice choice = ui().openFile(this, QStringLiteral("Open"), openDialogFileName, openDialogFilter);
    if (!choice.path.isEmpty())
        openDialogFileName = choice.path;
    if (!isFile(choice.path)) {
        ui().notice(this, QStringLiteral("Nie prawidlowa siezka do pliku Kivo.exe."));
        return;
    }
    InterpreterPath = choice.path;
    settings().writeValue(QString::fromLatin1(kInterpreterPathValue), InterpreterPath);
}

void TMainForm::StoreSetting(const QString& name, const QString& value) {
    if (!settings().keyExists() && !settings().createKey()) {
        ui().notice(this, QStringLiteral("Nie można utworzyc odpowiedniego klucza w rejestrze."));
        return;
    }
    settings().writeValue(name, value);
}

void TMainForm::aParamsExecute() {
    TfParams params(ui(), this);
    params.eKivoPath->setText(InterpreterPath);
    if (ui().exec(params) != QDialog::Accepted)
        return;
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
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

void TMainForm::aHelpExecute() {
    const QString page = ProgramDir + HelpFile;
    if (!isFile(page)) {
        ui().notice(this, QStringLiteral("Nie prawidlowa siezka do pliku Help.htm. Plik musi znajdowac "
                                         "sie w katalogu zrodlowym alpkacji."));
        return;
    }
    openHelp({});
}

void TMainForm::openHelp(const QString& anchor) {
    QUrl url = QUrl::fromLocalFile(ProgramDir + HelpFile);
    if (!anchor.isEmpty())
        url.setFragment(anchor, QUrl::DecodedMode);
    ui().openUrl(url);
}

void TMainForm::openHelpTarget(const QString& helpTarget) {
    // Anchors never hold "#", so the last one separates the page from the anchor.
    const qsizetype hash = helpTarget.lastIndexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(hash < 0 ? helpTarget : helpTarget.left(hash));
    if (hash >= 0)
        url.setFragment(helpTarget.mid(hash + 1), QUrl::DecodedMode);
    ui().openUrl(url);
}

void TMainForm::aRawGeneratorExecute() {
    TfrawGenetaror generator(*this);
    ui().exec(generator);
}

bool TMainForm::ConvertOutToRaw(const QString& inputPath, const QString& outputPath) {
    switch (convertOutToRaw(inputPath, outputPath)) {
    case RawConversion::Done:
        return true;
    case RawConversion::InputMissing:
        ui().notice(this, QStringLiteral("Podany plik [%1] nie istnieje.").arg(inputPath));
        return false;
    case RawConversion::OutputFailed:
        ui().notice(this, QStringLiteral("Nie podales pliku wyjsciowego"));
        return false;
    }
    return false;
}

void TMainForm::ShowInViewer(const QString& rawPath) {
    if (!isFile(ViewerPath)) {
        ui().notice(this, QStringLiteral("Nie prawidlowa siezka do pliku tracelens.exe."));
        return;
    }
    if (!starter().startDetached({ViewerPath, {QStringLiteral("fir3x3"), rawPath}}))
        ui().notice(this, QStringLiteral("Blad w wywolaniu programu tracelens."));
}

void TMainForm::postRunConversion(const QString& scriptPath) {
    const qsizetype dot = scriptPath.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? QString() : scriptPath.left(dot);
    if (!isFile(base + QStringLiteral(".out")))
        return;
    ConvertOutToRaw(base + QStringLiteral(".out"), base + QStringLiteral(".raw"));
    if (ViewRaw && isFile(base + QStringLiteral(".raw")))
        ShowInViewer(base + QStringLiteral(".raw"));
}

}  // namespace kivo::editor
