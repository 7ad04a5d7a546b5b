#include "editor/run_pane.h"

#include "editor/windows1250.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcessEnvironment>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kivo::editor {
namespace {

// kivo flushes its output before every key wait, and each of its key waits ends its message
// with these words; a script printing them itself only brings up a button that is not needed.
const QString kKeyWaitEnd = QStringLiteral("dowolny klawisz\n");

}  // namespace

QStringList runPortChoices() {
    QStringList ports{QStringLiteral("virtual:xsv300"), QStringLiteral("virtual:xsv800"),
                      QStringLiteral("virtual:xsb"),    QStringLiteral("virtual:zem"),
                      QStringLiteral("virtual:none"),   QStringLiteral("sim")};
#ifdef _WIN32
    ports << QStringLiteral("dll") << QStringLiteral("direct");
#else
    const QStringList devices = QDir(QStringLiteral("/dev")).entryList({QStringLiteral("parport*")}, QDir::System);
    for (const QString& device : devices)
        ports << QStringLiteral("ppdev:/dev/") + device;
    if (devices.isEmpty())
        ports << QStringLiteral("ppdev:/dev/parport0");
    ports << QStringLiteral("direct");
#endif
    return ports;
}

RunPane::RunPane(QWidget* parent) : QDockWidget(QStringLiteral("Run"), parent) {
    setObjectName(QStringLiteral("RunPane"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* top = new QHBoxLayout;
    State = new QLabel(QStringLiteral("No run yet"), body);
    State->setObjectName(QStringLiteral("RunState"));
    StopButton = new QPushButton(QStringLiteral("Stop"), body);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->setEnabled(false);
    top->addWidget(State, 1);
    top->addWidget(StopButton);
    layout->addLayout(top);

    Output = new QPlainTextEdit(body);
    Output->setObjectName(QStringLiteral("RunOutput"));
    Output->setReadOnly(true);
    Output->setLineWrapMode(QPlainTextEdit::NoWrap);
    Output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));  // kivo aligns with tabs
    Output->document()->setMaximumBlockCount(20000);  // a looping script must not eat the memory
    layout->addWidget(Output, 1);

    Progress = new QProgressBar(body);
    Progress->setObjectName(QStringLiteral("RunProgress"));
    Progress->setRange(0, 100);
    Progress->hide();
    layout->addWidget(Progress);

    KeyPrompt = new QWidget(body);
    KeyPrompt->setObjectName(QStringLiteral("KeyPrompt"));
    auto* prompt = new QHBoxLayout(KeyPrompt);
    prompt->setContentsMargins(0, 0, 0, 0);
    prompt->addWidget(new QLabel(QStringLiteral("kivo waits for a key"), KeyPrompt), 1);
    SendKey = new QPushButton(QStringLiteral("Send key"), KeyPrompt);
    SendKey->setObjectName(QStringLiteral("SendKey"));
    prompt->addWidget(SendKey);
    KeyPrompt->hide();
    layout->addWidget(KeyPrompt);
    setWidget(body);

    connect(SendKey, &QPushButton::clicked, this, &RunPane::sendKey);
    connect(StopButton, &QPushButton::clicked, this, &RunPane::stop);
}

RunPane::~RunPane() {
    // The editor closing is a stop too: kivo gets its chance to close the trace.
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->disconnect(this);
        process_->terminate();
        if (!process_->waitForFinished(kStopGraceMs)) {
            process_->kill();
            process_->waitForFinished(1000);
        }
    }
}

bool RunPane::isRunning() const { return running_; }

bool RunPane::start(const QString& kivoPath, const QString& scriptPath, const QString& port) {
    if (isRunning())
        return false;
    if (process_)
        process_->deleteLater();
    process_ = new QProcess(this);
    scriptPath_ = scriptPath;
    errorBuffer_.clear();
    pendingCr_.clear();
    outputTail_.clear();
    failedLine_ = 0;
    stopping_ = false;
    running_ = true;
    Output->clear();
    KeyPrompt->hide();
    Progress->hide();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!port.isEmpty())
        environment.insert(QStringLiteral("KIVO_PORT"), port);
    environment.insert(QStringLiteral("KIVO_ERROR_LINE"), QStringLiteral("1"));
    // Long work draws its progress line on standard error, which the pane turns into a bar.
    environment.insert(QStringLiteral("KIVO_PROGRESS"), QStringLiteral("1"));
    // kivo writes its messages in UTF-8 when the locale asks for it; the pane reads the code
    // page every script and data file is in.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process_->setProcessEnvironment(environment);
    process_->setWorkingDirectory(QFileInfo(scriptPath).absolutePath());
    connect(process_, &QProcess::readyReadStandardOutput, this, &RunPane::readOutput);
    connect(process_, &QProcess::readyReadStandardError, this, &RunPane::readErrors);
    connect(process_, &QProcess::finished, this, &RunPane::finished);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finished(-1, QProcess::CrashExit);
    });
    State->setText(QStringLiteral("Running %1 on %2").arg(QFileInfo(scriptPath).fileName(),
                                                          port.isEmpty() ? QStringLiteral("the default port") : port));
    StopButton->setEnabled(true);
    show();
    raise();
    emit runningChanged(true);
    process_->start(kivoPath, {scriptPath});
    return true;
}

void RunPane::append(const QString& text) {
    QScrollBar* bar = Output->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor end(Output->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}

void RunPane::readOutput() {
    // Windows text mode writes CR LF; a CR at the end of a chunk waits for what follows it.
    QByteArray bytes = pendingCr_ + process_->readAllStandardOutput();
    pendingCr_.clear();
    if (bytes.endsWith('\r') && process_->state() != QProcess::NotRunning) {
        bytes.chop(1);
        pendingCr_ = "\r";
    }
    bytes.replace("\r\n", "\n");
    const QString text = fromWindows1250(bytes);
    append(text);
    outputTail_ = (outputTail_ + text).right(kKeyWaitEnd.size());
    if (outputTail_.compare(kKeyWaitEnd, Qt::CaseInsensitive) == 0 && process_->state() == QProcess::Running) {
        KeyPrompt->show();
        SendKey->setFocus();
    }
}

void RunPane::readErrors() {
    errorBuffer_ += process_->readAllStandardError();
    static const QRegularExpression kErrorLine(QStringLiteral("^kivo-error-line: (\\d+)\\r?$"));
    // A CR that does not end a line starts a drawing of the progress line, which runs to the
    // next such CR (a new drawing or the erasure) or a line end.
    auto loneCr = [this](qsizetype from) {
        for (qsizetype at = errorBuffer_.indexOf('\r', from); at >= 0; at = errorBuffer_.indexOf('\r', at + 1))
            if (at + 1 >= errorBuffer_.size() || errorBuffer_[at + 1] != '\n')
                return at;
        return qsizetype{-1};
    };
    for (;;) {
        const qsizetype newline = errorBuffer_.indexOf('\n');
        const qsizetype cr = loneCr(0);
        if (cr == 0) {
            qsizetype end = loneCr(1);
            const qsizetype lineEnd = errorBuffer_.indexOf('\n', 1);
            if (lineEnd >= 0 && (end < 0 || lineEnd < end))
                end = lineEnd;
            if (end < 0 && errorBuffer_.size() == 1) {
                errorBuffer_.clear();  // the CR that ends an erasure
                break;
            }
            // The drawing may still be coming: shown as far as it is, kept until it is whole.
            showProgress(fromWindows1250(errorBuffer_.mid(1, end < 0 ? -1 : end - 1)));
            if (end < 0)
                break;
            errorBuffer_.remove(0, end);
            continue;
        }
        if (cr > 0 && (newline < 0 || cr < newline)) {
            append(fromWindows1250(errorBuffer_.left(cr)));
            errorBuffer_.remove(0, cr);
            continue;
        }
        if (newline < 0)
            break;
        const QString line = fromWindows1250(errorBuffer_.left(newline + 1));
        errorBuffer_.remove(0, newline + 1);
        const QRegularExpressionMatch match = kErrorLine.match(line.chopped(1));
        if (match.hasMatch()) {
            failedLine_ = match.captured(1).toInt();
            emit failedAt(failedLine_);
        } else
            append(line);
    }
}

void RunPane::showProgress(const QString& line) {
    const QString text = line.trimmed();
    if (text.isEmpty()) {
        Progress->hide();
        return;
    }
    static const QRegularExpression kPercent(QStringLiteral("\\s(\\d{1,3})%"));
    const QRegularExpressionMatch percent = kPercent.match(text);
    if (percent.hasMatch()) {
        Progress->setRange(0, 100);
        Progress->setValue(percent.captured(1).toInt());
    } else {
        Progress->setRange(0, 0);  // no total known: a busy bar
    }
    Progress->setFormat(text);
    Progress->show();
}

void RunPane::sendKey() {
    KeyPrompt->hide();
    outputTail_.clear();
    if (process_ && process_->state() == QProcess::Running)
        process_->write("\n");
}

void RunPane::stop() {
    if (!running_ || stopping_)
        return;
    stopping_ = true;
    State->setText(QStringLiteral("Stopping..."));
    process_->terminate();
    QPointer<QProcess> process = process_;
    QTimer::singleShot(kStopGraceMs, this, [process] {
        if (process && process->state() != QProcess::NotRunning)
            process->kill();
    });
}

void RunPane::finished(int exitCode, QProcess::ExitStatus status) {
    if (!running_)
        return;
    running_ = false;
    readOutput();
    if (errorBuffer_.startsWith('\r'))
        errorBuffer_.clear();  // a progress drawing cut off by the end of the run
    if (!errorBuffer_.isEmpty()) {
        errorBuffer_ += '\n';
        readErrors();
    }
    KeyPrompt->hide();
    Progress->hide();
    StopButton->setEnabled(false);
    if (process_->error() == QProcess::FailedToStart)
        State->setText(QStringLiteral("kivo could not be started: %1").arg(process_->errorString()));
    else if (stopping_)
        State->setText(QStringLiteral("Stopped"));
    else if (status == QProcess::CrashExit)
        State->setText(QStringLiteral("kivo ended abnormally"));
    else if (failedLine_ > 0)
        State->setText(QStringLiteral("Ended with exit code %1, stopped at line %2").arg(exitCode).arg(failedLine_));
    else
        State->setText(QStringLiteral("Ended with exit code %1").arg(exitCode));
    emit runningChanged(false);
    emit runEnded(exitCode);
}

}  // namespace kivo::editor
