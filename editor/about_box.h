#pragma once
#include <QDialog>

class QPushButton;

namespace kivo::editor {

/// The About box: product name, version and the short name, one OK button.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);

    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace kivo::editor
