#pragma once

// TdlgAbout: what the program is and which version.

#include <QDialog>

namespace kovet::designer {

class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace kovet::designer
