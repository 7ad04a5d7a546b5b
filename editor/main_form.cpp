#include "editor/main_form.h"

#include "editor/about_box.h"
#include "editor/command_table.h"
#include "editor/mdi_child.h"
#include "editor/params_form.h"
#include "editor/raw_generator.h"
#include "editor/run_pane.h"
#include "editor/script_edit.h"
#include "editor/script_labels.h"
#include "editor/window_arrangement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QListWidget>
#include <QMouseEvent>
#include <QTextBlock>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QWindow>
#include <algorithm>

namespace kivo::editor {
namespace {

const QString kTitle = QStringLiteral("KIVO Voraraz Udide");

EditorServices withDefaults(EditorServices services) {
    if (!services.ui)
        services.ui = std::make_shared<UiServices>();
    if (!services.starter)
        services.starter = makeSystemProcessStarter();
    if (!services.settings)
        services.settings = makeUserSettingsStore();
    return services;
}

}  // namespace

TMainForm::TMainForm(EditorServices services, QWidget* parent)
    : QMainWindow(parent),
      services_(withDefaults(std::move(services))),
      settings_(*services_.settings, *services_.ui, dialogs_, this),
      runner_(settings_, *services_.ui, *services_.starter, this) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kTitle);
    resize(665, 384);

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(mdiArea);

    createActions();
    connectActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createRunTools();

    Dialog = new TDialog(Pending, this);
    connect(Dialog, &TDialog::lineAccepted, this, &TMainForm::insertPendingLine);
    connect(Dialog, &TDialog::helpRequested, this, &TMainForm::openHelpTarget);
    AboutBox = new TAboutBox(this);

    // An activated document shows its file name.
    connect(mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (auto* child = window ? qobject_cast<TMDIChild*>(window->widget()) : nullptr)
            setStatusPanel(1, child->FileName);
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
    settings_.ProgramDir = ProgramDir;
    settings_.loadHabits();
    if (!settings_.RunPort.isEmpty())
        PortChoice->setCurrentText(settings_.RunPort);
    UpdateCommandState();
}

TMainForm::~TMainForm() {
    // The documents and docks go after this part of the window: their last signals must not
    // reach it.
    mdiArea->disconnect(this);
    Runs->disconnect(this);
    labelsTimer_.stop();
}

void TMainForm::FormCreate() {
    ProgramDir = services_.programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                : services_.programDir;
    if (!ProgramDir.endsWith(QLatin1Char('/')))
        ProgramDir += QLatin1Char('/');
    HelpFile = QStringLiteral("Help.htm");
}

void TMainForm::FormActivate() {
    activatedOnce_ = true;
    settings_.LoadSettings();
}

void TMainForm::connectActions() {
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
    connect(EditDelete1, &QAction::triggered, this, [this] { if (auto* c = activeChild()) c->deleteForward(); });
    connect(WindowCascade1, &QAction::triggered, mdiArea, &QMdiArea::cascadeSubWindows);
    connect(WindowTileHorizontal1, &QAction::triggered, this, [this] { tileDocuments(*mdiArea, Qt::Vertical); });
    connect(WindowTileVertical1, &QAction::triggered, this, [this] { tileDocuments(*mdiArea, Qt::Horizontal); });
    connect(WindowMinimizeAll1, &QAction::triggered, this, [this] { minimiseAll(*mdiArea); });
    connect(WindowArrangeAll1, &QAction::triggered, this, [this] { arrangeMinimised(*mdiArea); });
    connect(Execute, &QAction::triggered, this, &TMainForm::ExecuteExecute);
    connect(aParams, &QAction::triggered, this, &TMainForm::aParamsExecute);
    connect(aRawGenerator, &QAction::triggered, this, &TMainForm::aRawGeneratorExecute);
    connect(HelpAbout1, &QAction::triggered, this, &TMainForm::HelpAbout1Execute);
    connect(aHelp, &QAction::triggered, this, &TMainForm::aHelpExecute);
    connect(RunHere, &QAction::triggered, this, &TMainForm::RunHereExecute);
    connect(GoToLabel, &QAction::triggered, this, &TMainForm::GoToLabelExecute);
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

int TMainForm::DocumentCount() const { return static_cast<int>(documents().size()); }

TMDIChild* TMainForm::activeChild() const {
    // currentSubWindow stays valid while the parameter dialog has the focus.
    QMdiSubWindow* window = mdiArea->currentSubWindow();
    return window ? qobject_cast<TMDIChild*>(window->widget()) : nullptr;
}

QList<TMDIChild*> TMainForm::documents() const {
    QList<TMDIChild*> result;
    for (QMdiSubWindow* window : mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = qobject_cast<TMDIChild*>(window->widget()); child && !child->hasClosed())
            result << child;
    return result;
}

void TMainForm::UpdateCommandState() {
    const bool any = DocumentCount() != 0;
    for (QMenu* menu : {CommandMenu, EditMenu, WindowMenu})
        menu->menuAction()->setEnabled(any);
    for (QAction* action : {FileSave1, FileSaveAs1, FileClose1, Execute, GoToLabel})
        action->setEnabled(any);
    RunHere->setEnabled(any && !Runs->isRunning());
}

TMDIChild* TMainForm::OpenDocument(const QString& name) {
    auto* child = new TMDIChild(ui(), dialogs_);
    child->setWindowTitle(name);
    QMdiSubWindow* window = mdiArea->addSubWindow(child);
    window->resize(355, 249);
    connect(child, &TMDIChild::edited, this, [this, child] {
        setStatusPanel(0, QStringLiteral("Modified"));
        setStatusPanel(1, child->FileName);
    });
    connect(child, &TMDIChild::saved, this, [this, child] {
        setStatusPanel(0, {});
        setStatusPanel(1, child->FileName);
    });
    connect(child, &TMDIChild::helpRequested, this, &TMainForm::openHelp);
    if (auto* edit = qobject_cast<ScriptEdit*>(child->Memo))
        connect(edit, &ScriptEdit::lineMessage, this, [this](const QString& message) {
            if (message.isEmpty())
                statusBar()->clearMessage();
            else
                statusBar()->showMessage(message);
        });
    connect(child, &TMDIChild::closed, this, &TMainForm::documentClosed);
    connect(child, &TMDIChild::saved, this, [this, child] { settings_.rememberFile(child->FileName); });
    connect(child, &TMDIChild::edited, &labelsTimer_, qOverload<>(&QTimer::start));
    child->Memo->viewport()->installEventFilter(this);
    if (QFileInfo(name).isFile()) {
        child->loadFile(name);
        setStatusPanel(1, name);
        settings_.rememberFile(name);
    }
    child->show();
    UpdateCommandState();
    return child;
}

void TMainForm::FileNew1Execute() { OpenDocument(QStringLiteral("Noname%1").arg(DocumentCount() + 1)); }

void TMainForm::FileOpen1Execute() {
    dialogs_.openFilter = QString::fromLatin1(kScriptFilter);
    dialogs_.openFileName.clear();
    const UiServices::FileChoice choice =
        ui().openFile(this, QStringLiteral("Open"), dialogs_.openFileName, dialogs_.openFilter);
    if (choice.path.isEmpty())
        return;
    dialogs_.openFileName = choice.path;
    OpenDocument(choice.path);
    dialogs_.saveFileName = choice.path;
    UpdateCommandState();
}

void TMainForm::FileClose1Execute() {
    if (QMdiSubWindow* window = mdiArea->currentSubWindow())
        window->close();
}

void TMainForm::FileSave1Execute() {
    TMDIChild* child = activeChild();
    if (child && child->Changed)
        child->save();
}

void TMainForm::FileSaveAs1Execute() {
    if (TMDIChild* child = activeChild())
        child->saveAs();
}

void TMainForm::documentClosed() {
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

void TMainForm::commandItemClick(const CommandItem& item) {
    if (item.fieldCount == 0) {
        if (TMDIChild* child = activeChild())
            child->InsertLine(QString::fromLatin1(item.keyword));
        return;
    }
    Pending.FieldCount = item.fieldCount;
    Pending.Keyword = QString::fromLatin1(item.keyword);
    Pending.HelpTarget = ProgramDir + HelpFile + QLatin1Char('#') + helpAnchor(item);
    Pending.GroupCaption = QString::fromLatin1(item.groupCaption);
    for (int i = 0; i < item.fieldCount; ++i)
        Pending.FieldLabels[i] = QString::fromLatin1(item.fieldLabels[i]);
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

void TMainForm::ExecuteExecute() {
    if (TMDIChild* child = activeChild())
        runner_.run(child->FileName, child->Changed);
}

void TMainForm::aParamsExecute() { settings_.editInParams(); }

void TMainForm::aHelpExecute() {
    const QString page = ProgramDir + HelpFile;
    if (!QFileInfo(page).isFile()) {
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

void TMainForm::openFromCommandLine(const QStringList& paths) {
    for (const QString& path : paths) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        TMDIChild* child = OpenDocument(absolute);
        if (child->FileName.isEmpty())
            child->FileName = absolute;
    }
}

void TMainForm::RunHereExecute() {
    TMDIChild* child = activeChild();
    if (!child || Runs->isRunning() || !runner_.readyToRun(child->FileName, child->Changed))
        return;
    const QString port = PortChoice->currentText().trimmed();
    settings_.rememberPort(port);
    Runs->start(settings_.InterpreterPath, child->FileName, port);
}

void TMainForm::failedAt(int line) {
    const QString script = QFileInfo(Runs->scriptPath()).canonicalFilePath();
    for (TMDIChild* child : documents()) {
        if (QFileInfo(child->FileName).canonicalFilePath() == script) {
            showLine(child, line - 1);
            return;
        }
    }
}

void TMainForm::showLine(TMDIChild* child, int line, int column) {
    for (QMdiSubWindow* window : mdiArea->subWindowList())
        if (window->widget() == child)
            mdiArea->setActiveSubWindow(window);
    QTextBlock block = child->Memo->document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::min(column, block.length() - 1));
    child->Memo->setTextCursor(cursor);
    child->Memo->centerCursor();
    child->Memo->setFocus();
}

void TMainForm::GoToLabelExecute() {
    TMDIChild* child = activeChild();
    if (!child)
        return;
    const int line = child->Memo->textCursor().blockNumber();
    if (const auto label = jumpDestination(child->scriptText(), line))
        showLine(child, label->line, label->column);
    else
        setStatusPanel(0, QStringLiteral("No jump to a defined label here"));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+click on a jump follows it, as F12 does.
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && mouse->modifiers().testFlag(Qt::ControlModifier)) {
            for (TMDIChild* child : documents()) {
                if (child->Memo->viewport() == watched) {
                    child->Memo->setTextCursor(child->Memo->cursorForPosition(mouse->position().toPoint()));
                    GoToLabelExecute();
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::refreshLabels() {
    LabelList->clear();
    TMDIChild* child = activeChild();
    if (!child)
        return;
    for (const ScriptLabel& label : scriptLabels(child->scriptText())) {
        auto* item = new QListWidgetItem(QStringLiteral("%1\t%2").arg(label.name).arg(label.line + 1), LabelList);
        item->setData(Qt::UserRole, label.line);
        item->setData(Qt::UserRole + 1, label.column);
    }
}

void TMainForm::createRunTools() {
    Runs = new RunPane(this);
    addDockWidget(Qt::BottomDockWidgetArea, Runs);
    Runs->hide();
    connect(StopRun, &QAction::triggered, Runs, &RunPane::stop);
    connect(Runs, &RunPane::failedAt, this, &TMainForm::failedAt);
    connect(Runs, &RunPane::runningChanged, this, [this](bool running) {
        StopRun->setEnabled(running);
        UpdateCommandState();
    });

    LabelsDock = new QDockWidget(QStringLiteral("Labels"), this);
    LabelsDock->setObjectName(QStringLiteral("LabelsDock"));
    LabelList = new QListWidget(LabelsDock);
    LabelList->setObjectName(QStringLiteral("LabelList"));
    LabelsDock->setWidget(LabelList);
    addDockWidget(Qt::RightDockWidgetArea, LabelsDock);
    connect(LabelList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (TMDIChild* child = activeChild())
            showLine(child, item->data(Qt::UserRole).toInt(), item->data(Qt::UserRole + 1).toInt());
    });
    // Listing the labels reads the whole script: once typing pauses, not at every key.
    labelsTimer_.setSingleShot(true);
    labelsTimer_.setInterval(300);
    connect(&labelsTimer_, &QTimer::timeout, this, &TMainForm::refreshLabels);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::refreshLabels);

    // A pane closed by its title bar's button comes back from the Run menu.
    RunMenu->addSeparator();
    Runs->toggleViewAction()->setText(QStringLiteral("Run &pane"));
    LabelsDock->toggleViewAction()->setText(QStringLiteral("&Labels"));
    RunMenu->addActions({Runs->toggleViewAction(), LabelsDock->toggleViewAction()});
}

void TMainForm::updateRecentMenu() {
    RecentMenu->clear();
    const QStringList& files = settings_.RecentFiles;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* entry = RecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(entry, &QAction::triggered, this, [this, path] { openFromCommandLine({path}); });
    }
}

void TMainForm::aRawGeneratorExecute() {
    TfrawGenetaror generator(runner_, this);
    ui().exec(generator);
}

}  // namespace kivo::editor
