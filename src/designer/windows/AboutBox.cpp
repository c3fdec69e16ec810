#include "AboutBox.h"

#include "Icons.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kovet::designer {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgAbout");
    setWindowTitle("About Kovet");
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel;
    icon->setPixmap(DesignerIcon("document-edit").pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* text = new QLabel(QString("<h3>Kovet Form Designer</h3>"
                                    "<p>Version %1</p>"
                                    "<p>Lays out printable business forms: texts, frames, lines, ellipses, "
                                    "logos and fill-in fields on one page, saved as .kvt forms that programs "
                                    "show, fill in and print with the Kovet widget.</p>"
                                    "<p>Built with Qt %2.</p>")
                                .arg(QCoreApplication::applicationVersion(), qVersion()));
    text->setObjectName("lblAbout");
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedWidth(360);
}

} // namespace kovet::designer
