#pragma once

// TdlgStatus: the progress window of long commands, "Please Wait.." until a message replaces
// it, with a bar that shows only while a percentage is given.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace kovet::designer {

class StatusWindow : public QDialog {
public:
    explicit StatusWindow(QWidget* parent = nullptr);

    void ShowStatus(const QString& message);
    // Does not show a hidden window.
    void ShowProgress(const QString& message, int percent);

private:
    void paintNow();

    QLabel* text_;
    QProgressBar* bar_;
};

} // namespace kovet::designer
