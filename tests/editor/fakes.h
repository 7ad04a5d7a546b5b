#pragma once
// Stand-ins for the person at the keyboard, the desktop, the process table and the settings
// store, so the real widgets can be driven without anything modal waiting for input.
#include "editor/main_form.h"
#include "editor/process_starter.h"
#include "editor/settings_store.h"
#include "editor/ui_services.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTest>
#include <QMap>
#include <QQueue>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

namespace kivo::editor::test {

class FakeUi : public UiServices {
public:
    struct Question {
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
    };
    struct FileRequest {
        QString title;
        QString fileName;
        QString filter;
    };

    QStringList notices;
    QList<Question> questions;
    QQueue<QMessageBox::StandardButton> answers;  ///< empty: No (or Cancel if No is not offered)
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QQueue<FileChoice> openChoices;               ///< empty: cancelled
    QQueue<FileChoice> saveChoices;               ///< empty: cancelled
    QList<QUrl> urls;
    std::function<int(QDialog&)> onExec;           ///< unset: the dialog is rejected

    void notice(QWidget*, const QString& text) override { notices << text; }

    QMessageBox::StandardButton ask(QWidget*, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) override {
        questions << Question{caption, text, buttons, icon};
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Cancel;
    }

    FileChoice openFile(QWidget*, const QString& title, const QString& fileName, const QString& filter) override {
        openRequests << FileRequest{title, fileName, filter};
        return openChoices.isEmpty() ? FileChoice{} : openChoices.dequeue();
    }

    FileChoice saveFile(QWidget*, const QString& title, const QString& fileName, const QString& filter) override {
        saveRequests << FileRequest{title, fileName, filter};
        return saveChoices.isEmpty() ? FileChoice{} : saveChoices.dequeue();
    }

    int exec(QDialog& dialog) override { return onExec ? onExec(dialog) : QDialog::Rejected; }

    bool openUrl(const QUrl& url) override {
        urls << url;
        return true;
    }
};

class FakeStarter : public ProcessStarter {
public:
    QList<ProgramCall> consoleRuns;
    QList<int> waits;
    QList<ProgramCall> detached;
    bool succeed = true;

    bool runInOwnConsole(const ProgramCall& call, int waitMs) override {
        consoleRuns << call;
        waits << waitMs;
        return succeed;
    }
    bool startDetached(const ProgramCall& call) override {
        detached << call;
        return succeed;
    }
};

class MemoryStore : public SettingsStore {
public:
    bool exists = false;
    bool canCreate = true;
    QMap<QString, QString> values;
    QStringList writes;  ///< "NAME=value" in order

    bool keyExists() const override { return exists; }
    bool createKey() override {
        exists = exists || canCreate;
        return exists;
    }
    QString readValue(const QString& name) const override { return exists ? values.value(name) : QString(); }
    bool writeValue(const QString& name, const QString& value) override {
        writes << name + QLatin1Char('=') + value;
        values[name] = value;
        return true;
    }
};

/// A main window wired to the fakes.
struct Editor {
    std::shared_ptr<FakeUi> ui = std::make_shared<FakeUi>();
    std::shared_ptr<FakeStarter> starter = std::make_shared<FakeStarter>();
    std::shared_ptr<MemoryStore> store = std::make_shared<MemoryStore>();
    std::unique_ptr<TMainForm> form;

    explicit Editor(const QString& programDir = QStringLiteral("/opt/scriptdesk")) {
        // The key exists but holds no path, so activation asks nothing unless a test wants it.
        store->exists = true;
        form = std::make_unique<TMainForm>(EditorServices{ui, starter, store, programDir});
    }

    /// Shows the window and lets the first activation happen.
    void show() {
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("main window not exposed");
        QCoreApplication::processEvents();
    }

    /// Closes the active document and lets the window go.
    void closeActive() {
        form->FileClose1->trigger();
        settle();
    }

    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

}  // namespace kivo::editor::test
