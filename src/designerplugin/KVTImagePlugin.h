#pragma once

// The form widget in Qt Designer's widget box (group "Kovet") and in Qt Creator's form editor:
// placed on a window, it shows the form its `formFile` names and offers its properties.

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace kovet {

class TKVTImagePlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit TKVTImagePlugin(QObject* parent = nullptr) : QObject(parent) {}

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    QString domXml() const override;
};

} // namespace kovet
