#include "editor/ui_services.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QRegularExpression>

namespace kivo::editor {

void UiServices::notice(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("Komunikat"), text, QMessageBox::Ok);
}

QMessageBox::StandardButton UiServices::ask(QWidget* parent, const QString& caption,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList qtFileFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        caption.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)\\s*$")));
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            // "*.*" would hide files without an extension, such as the interpreter itself on
            // POSIX systems; patterns are matched case-sensitively there, so offer both cases.
            if (pattern == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            for (const QString& variant : {pattern.toLower(), pattern.toUpper()})
                if (!patterns.contains(variant))
                    patterns << variant;
        }
        result << QStringLiteral("%1 (%2)").arg(caption, patterns.join(QLatin1Char(' ')));
    }
    return result;
}

namespace {

UiServices::FileChoice runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                     const QString& title, const QString& fileName,
                                     const QString& filter) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const QStringList filters = qtFileFilters(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const int index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return {dialog.selectedFiles().constFirst(), index < 0 ? 0 : index};
}

}  // namespace

UiServices::FileChoice UiServices::openFile(QWidget* parent, const QString& title,
                                            const QString& fileName, const QString& filter) {
    return runFileDialog(parent, QFileDialog::AcceptOpen, title, fileName, filter);
}

UiServices::FileChoice UiServices::saveFile(QWidget* parent, const QString& title,
                                            const QString& fileName, const QString& filter) {
    return runFileDialog(parent, QFileDialog::AcceptSave, title, fileName, filter);
}

int UiServices::exec(QDialog& dialog) { return dialog.exec(); }

bool UiServices::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace kivo::editor
