#include "KVTImagePlugin.h"

#include "display/KVTImage.h"

#include <QIcon>

namespace kovet {

QString TKVTImagePlugin::name() const {
    return "kovet::TKVTImage";
}

QString TKVTImagePlugin::group() const {
    return "Kovet";
}

QString TKVTImagePlugin::toolTip() const {
    return "A printable form that users fill in";
}

QString TKVTImagePlugin::whatsThis() const {
    return "Shows a Kovet form (a .kvt file or resource named by formFile), lets the user fill its fields in, "
           "gives the program the fields by name and prints the filled page.";
}

QString TKVTImagePlugin::includeFile() const {
    return "Kovet/KVTImage.h";
}

QIcon TKVTImagePlugin::icon() const {
    return QIcon::fromTheme("x-office-document");
}

QWidget* TKVTImagePlugin::createWidget(QWidget* parent) {
    return new TKVTImage(parent);
}

QString TKVTImagePlugin::domXml() const {
    return R"(<ui language="c++">
  <widget class="kovet::TKVTImage" name="KVTImage1">
    <property name="geometry"><rect><x>0</x><y>0</y><width>408</width><height>528</height></rect></property>
  </widget>
</ui>
)";
}

} // namespace kovet
