// ui-demo: a window laid out in Qt Designer with the form widget on it. The widget shows the
// form the .ui file names (a resource of this program); the program fills a field in and
// prints the page.

#include "ui_InvoiceWindow.h"

#include <Kovet/KVTImage.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    Ui::InvoiceWindow ui;
    ui.setupUi(&window);
    if (kovet::TKVTField* number = ui.KVTImage1->FieldByName("InvoiceNo")) number->SetAsString("INV-1001");
    QObject::connect(ui.printButton, &QPushButton::clicked, &window, [&] {
        QPrinter printer;
        ui.KVTImage1->SetupPrinter(printer);
        QPrintDialog dialog(&printer, &window);
        if (dialog.exec() == QDialog::Accepted) ui.KVTImage1->Print(printer);
    });
    window.show();
    return QApplication::exec();
}
