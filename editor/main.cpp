#include "editor/main_form.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KIVO Voraraz Udide"));
    kivo::editor::TMainForm mainForm;
    mainForm.show();
    mainForm.openFromCommandLine(QApplication::arguments().mid(1));
    return QApplication::exec();
}
