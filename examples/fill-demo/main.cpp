// fill-demo: a form on a window, filled in with the mouse or the keyboard (Tab, Shift+Tab,
// Enter), its values saved to and loaded from a field data file, the page printed.
//
//   fill-demo [FORM.kvt]

#include <Kovet/KVTImage.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>

#include <exception>
#include <functional>

using namespace kovet;

class FillWindow : public QMainWindow {
public:
    FillWindow() {
        image_->SetDisplayOptions(OptionBit<TKVTDisplayOptions>(kvtAutosize));
        auto* scroll = new QScrollArea;
        scroll->setWidget(image_);
        setCentralWidget(scroll);
        QMenu* file = menuBar()->addMenu("&File");
        add(file, "&Open form...", QKeySequence::Open, [this] { openForm(ask("Forms (*.kvt)", false)); });
        add(file, "&Load values...", Qt::CTRL | Qt::SHIFT | Qt::Key_O, [this] {
            if (const QString name = ask("Field data (*.kvf)", false); !name.isEmpty())
                image_->LoadFieldData(name.toStdString());
        });
        add(file, "&Save values...", QKeySequence::Save, [this] {
            if (const QString name = ask("Field data (*.kvf)", true); !name.isEmpty())
                image_->SaveFieldData(name.toStdString());
        });
        add(file, "Export &PDF...", Qt::CTRL | Qt::SHIFT | Qt::Key_P, [this] {
            if (const QString name = ask("PDF (*.pdf)", true); !name.isEmpty()) {
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(name);
                image_->Print(printer);
            }
        });
        add(file, "&Print...", QKeySequence::Print, [this] {
            QPrinter printer(QPrinter::HighResolution);
            if (QPrintDialog(&printer, this).exec() == QDialog::Accepted) image_->Print(printer);
        });
        add(file, "&Quit", QKeySequence::Quit, [this] { close(); });
    }

    void openForm(const QString& name) {
        if (name.isEmpty()) return;
        image_->LoadFromFile(name.toStdString());
        setWindowTitle(name + " - fill-demo");
        // Start in the first field of the fill-in order, so that typing can begin at once.
        TKVTField* first = nullptr;
        for (std::int32_t i = 0; i < image_->FieldCount(); ++i) {
            TKVTField* field = image_->Fields(i);
            if (!field->ReadOnly && field->TabOrder >= 0 && (first == nullptr || field->TabOrder < first->TabOrder))
                first = field;
        }
        image_->OpenField(first);
    }

private:
    void add(QMenu* menu, const QString& text, const QKeySequence& keys, std::function<void()> run) {
        menu->addAction(text, keys, this, [this, run] {
            try {
                run();
            } catch (const std::exception& e) {
                QMessageBox::critical(this, "fill-demo", e.what());
            }
        });
    }
    QString ask(const QString& filter, bool save) {
        return save ? QFileDialog::getSaveFileName(this, {}, {}, filter)
                    : QFileDialog::getOpenFileName(this, {}, {}, filter);
    }

    TKVTImage* image_ = new TKVTImage;
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    FillWindow window;
    window.resize(900, 1000);
    window.show();
    try {
        if (argc > 1) window.openForm(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception& e) {
        QMessageBox::critical(&window, "fill-demo", e.what());
    }
    return application.exec();
}
