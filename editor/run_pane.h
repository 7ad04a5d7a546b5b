#pragma once
#include <QDockWidget>
#include <QProcess>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace kivo::editor {

/// The ports a run in the pane can use, as KIVO_PORT values: the virtual boards, simulation,
/// then the real ports this system has.
QStringList runPortChoices();

/// The run pane: kivo runs on a saved script with its output shown here instead of in a
/// terminal. It answers kivo's key waits through a button, stops a run on request, and tells
/// which script line a failed run stopped at.
class RunPane : public QDockWidget {
    Q_OBJECT
public:
    explicit RunPane(QWidget* parent = nullptr);
    ~RunPane() override;

    QLabel* State;             ///< what the run is doing, and how it ended
    QPlainTextEdit* Output;    ///< kivo's output, standard error included
    QProgressBar* Progress;    ///< kivo's progress line on long work, while it is drawn
    QWidget* KeyPrompt;        ///< shown while kivo waits for a key
    QPushButton* SendKey;
    QPushButton* StopButton;

    /// Runs kivo on the script, in the script's directory, with KIVO_PORT set to port (left as
    /// the editor's environment has it when port is empty). False when a run is still going.
    bool start(const QString& kivoPath, const QString& scriptPath, const QString& port);
    bool isRunning() const;
    /// Asks kivo to stop (it closes its trace as at any end); kills it when it does not end soon.
    void stop();
    /// Answers a key wait.
    void sendKey();

    QString scriptPath() const { return scriptPath_; }

    /// How long a stopped kivo has to end before it is killed.
    static constexpr int kStopGraceMs = 3000;

signals:
    void runningChanged(bool running);
    /// kivo stopped on an error at this script line (from 1); it still waits for its key.
    void failedAt(int line);
    void runEnded(int exitCode);

private:
    void readOutput();
    void readErrors();
    void finished(int exitCode, QProcess::ExitStatus status);
    void append(const QString& text);
    /// One drawing of kivo's progress line; blanks are its erasure.
    void showProgress(const QString& line);

    QProcess* process_ = nullptr;
    QString scriptPath_;
    QByteArray errorBuffer_;
    QByteArray pendingCr_;
    QString outputTail_;
    int failedLine_ = 0;
    bool stopping_ = false;
    bool running_ = false;
};

}  // namespace kivo::editor
