#include "StatusWindow.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kovet::designer {

StatusWindow::StatusWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool), text_(new QLabel("Please Wait..")), bar_(new QProgressBar) {
    setObjectName("dlgStatus");
    setWindowTitle("Status");
    setFixedSize(250, 105);
    text_->setObjectName("pnlStatus");
    text_->setAlignment(Qt::AlignCenter);
    text_->setStyleSheet("font-weight: bold; color: navy;");
    bar_->setObjectName("pbStatus");
    bar_->setRange(0, 100);
    bar_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
}

void StatusWindow::ShowStatus(const QString& message) {
    bar_->hide();
    text_->setText(message);
    show();
    paintNow();
}

void StatusWindow::ShowProgress(const QString& message, int percent) {
    bar_->show();
    bar_->setValue(percent);
    text_->setText(message);
    paintNow();
}

void StatusWindow::paintNow() {
    if (!isVisible()) return;
    repaint();
    // The command that reports its progress keeps the event loop waiting.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kovet::designer
