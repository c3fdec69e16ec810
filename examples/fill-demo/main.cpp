// fill-demo: a form on a window, filled in with the mouse or the keyboard (Tab, Shift+Tab,
// Enter), its values saved to and loaded from a field data file, the page printed. Values
// not saved yet are offered for saving before they would be lost.
//
//   fill-demo [FORM.kvt]

#include <Kovet/KVTImage.h>
#include <Kovet/OpenForm.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kovet;

class FillWindow : public QMainWindow {
public:
    FillWindow() {
        setWindowTitle("fill-demo[*]");
        image_->SetDisplayOptions(OptionBit<TKVTDisplayOptions>(kvtAutosize));
        // An editor is announced once the field's value is in it, so the changes it reports
        // after that are the user's; they reach the field when the editor closes. A number
        // field also reports the digits it shows for editing when it takes the focus: sitting
        // in a filled one counts as typing, and quitting then asks once more than it must.
        image_->OnFieldControlCreate = [this](TKVTImage&, TKVTField&, QWidget*&) { setTyped(false); };
        image_->OnFieldChange = [this](TKVTImage&, TKVTField&, QWidget*) { setTyped(true); };
        image_->OnFieldExit = [this](TKVTImage&, TKVTField&) {
            modified_ = image_->SaveFieldStrings() != saved_;
            setTyped(false);
        };
        auto* scroll = new QScrollArea;
        scroll->setWidget(image_);
        setCentralWidget(scroll);
        QMenu* file = menuBar()->addMenu("&File");
        add(file, "&Open form...", QKeySequence::Open, [this] { openForm(askOpen("Forms (*.kvt)")); });
        add(file, "&Load values...", Qt::CTRL | Qt::SHIFT | Qt::Key_O, [this] {
            if (const QString name = askOpen("Field data (*.kvf)"); !name.isEmpty() && valuesMayGo()) {
                image_->LoadFieldData(name.toStdString());
                valuesFile_ = name;
                markSaved();
            }
        });
        add(file, "&Save values...", QKeySequence::Save, [this] { saveValues(); });
        add(file, "Export &PDF...", Qt::CTRL | Qt::SHIFT | Qt::Key_P, [this] {
            if (const QString name = askSave("PDF (*.pdf)", "pdf"); !name.isEmpty())
                image_->ExportPdf(name.toStdString());
        });
        add(file, "&Print...", QKeySequence::Print, [this] {
            QPrinter printer(QPrinter::HighResolution);
            if (QPrintDialog(&printer, this).exec() == QDialog::Accepted) image_->Print(printer);
        });
        add(file, "&Quit", QKeySequence::Quit, [this] { close(); });
    }

    void openForm(const QString& name) {
        if (name.isEmpty()) return;
        // Read apart first, so that a file that is no form leaves the shown one and its values.
        TCustomKVTImage loaded;
        try {
            loaded.LoadFromFile(name.toStdString());
        } catch (const ENotAFormFile&) {
            throw std::runtime_error((QFileInfo(name).fileName() + " is not a form file").toStdString());
        }
        if (!valuesMayGo()) return;
        image_->SetKVT(loaded.KVT());
        valuesFile_.clear();
        markSaved();
        setWindowTitle(name + "[*] - fill-demo");
        // Start in the first field of the fill-in order, so that typing can begin at once.
        TKVTField* first = nullptr;
        for (std::int32_t i = 0; i < image_->FieldCount(); ++i) {
            TKVTField* field = image_->Fields(i);
            if (!field->ReadOnly && field->TabOrder >= 0 && (first == nullptr || field->TabOrder < first->TabOrder))
                first = field;
        }
        image_->OpenField(first);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (valuesMayGo())
            event->accept();
        else
            event->ignore();
    }

private:
    void add(QMenu* menu, const QString& text, const QKeySequence& keys, std::function<void()> run) {
        menu->addAction(text, keys, this, [this, run] { reportingFailure(run); });
    }
    // False when `step` failed; the user has been told why.
    bool reportingFailure(const std::function<void()>& step) {
        try {
            step();
            return true;
        } catch (const std::exception& e) {
            QMessageBox::critical(this, "fill-demo", e.what());
            return false;
        }
    }
    QString askOpen(const QString& filter) { return QFileDialog::getOpenFileName(this, {}, {}, filter); }
    // The dialog adds `suffix` to a name typed without one.
    QString askSave(const QString& filter, const QString& suffix, const QString& proposed = {}) {
        QFileDialog dialog(this, {}, {}, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        if (!proposed.isEmpty()) dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }

    // False when the user gave no file name.
    bool saveValues() {
        const QString name = askSave("Field data (*.kvf)", "kvf", valuesFile_);
        if (name.isEmpty()) return false;
        image_->SaveFieldData(name.toStdString());
        valuesFile_ = name;
        markSaved();
        return true;
    }
    // Whether the values may be let go: nothing is unsaved, the user saved them now, or the
    // user discards them. An open editor stays open, so that Cancel goes back to typing in it.
    bool valuesMayGo() {
        if (!modified_ && !typed_) return true;
        switch (QMessageBox::question(this, "fill-demo", "Save changes to the field values?",
                                      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                      QMessageBox::Save)) {
        case QMessageBox::Save: {
            bool saved = false;
            return reportingFailure([&] { saved = saveValues(); }) && saved;
        }
        case QMessageBox::Discard: return true;
        default: return false;
        }
    }
    // The values as they stand are those of a file.
    void markSaved() {
        saved_ = image_->SaveFieldStrings();
        modified_ = false;
        setTyped(false);
    }
    void setTyped(bool typed) {
        typed_ = typed;
        setWindowModified(modified_ || typed_);
    }

    TKVTImage* image_ = new TKVTImage;
    // The values as last loaded or saved (a new form's are all empty), as a field data file
    // holds them; the fields are modified when they hold others.
    std::vector<std::string> saved_;
    bool modified_ = false;
    // The open editor has been typed into.
    bool typed_ = false;
    QString valuesFile_;
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
