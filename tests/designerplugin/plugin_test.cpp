// The form widget as Qt Designer and .ui files meet it: its properties, the plug-in that
// puts it in Designer's widget box, and a .ui file holding it loaded at run time.

#include "display/KVTImage.h"
#include "document/KVTRec.h"
#include "widgets/Application.h"

#include <QBuffer>
#include <QPluginLoader>
#include <QUiLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

using namespace kovet;

namespace {

const QString kInvoice = KOVET_SOURCE_DIR "/examples/invoice.kvt";

} // namespace

TEST(KVTImageProperties, SetTheWidgetAsItsOwnSettersDo) {
    TKVTImage image;
    image.setProperty("formFile", kInvoice);
    EXPECT_NE(image.FieldByName("InvoiceNo"), nullptr);
    EXPECT_EQ(image.property("formFile").toString(), kInvoice);

    image.setProperty("printOptions",
                      QVariant::fromValue(TKVTImage::PrintFlags(TKVTImage::PrintForm | TKVTImage::PrintColor)));
    EXPECT_EQ(image.PrintOptions(), OptionBit<TKVTPrintOptions>(kvtForm) | OptionBit<TKVTPrintOptions>(kvtColor));
    image.setProperty("displayOptions", QVariant::fromValue(TKVTImage::DisplayFlags(TKVTImage::DisplayCenter)));
    EXPECT_EQ(image.DisplayOptions(), OptionBit<TKVTDisplayOptions>(kvtCenter));
    image.setProperty("backgroundColor", QColor(255, 0, 0));
    EXPECT_EQ(image.BGColor(), 0x0000FFu);
    EXPECT_EQ(image.property("dashColor").value<QColor>(), QColor(192, 192, 192));
    image.setProperty("paperSize", QVariant::fromValue(TKVTImage::A4));
    image.setProperty("orientation", QVariant::fromValue(TKVTImage::Landscape));
    image.setProperty("printTitle", "Invoice");
    EXPECT_EQ(image.PaperSize, kvtA4);
    EXPECT_EQ(image.Orientation, kvtLandScape);
    EXPECT_EQ(image.PrintTitle, "Invoice");

    // A file that is no form leaves an empty form, without throwing into the window's set-up.
    image.setProperty("formFile", KOVET_SOURCE_DIR "/README.md");
    EXPECT_EQ(image.FieldCount(), 0);
    EXPECT_EQ(image.KVT().KVTFile().Count(), 1);
}

TEST(DesignerPlugin, OffersTheWidgetInTheKovetGroup) {
    QPluginLoader loader(KOVET_DESIGNER_PLUGIN);
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
    EXPECT_EQ(plugin->name(), "kovet::TKVTImage");
    EXPECT_EQ(plugin->group(), "Kovet");
    EXPECT_EQ(plugin->includeFile(), "Kovet/KVTImage.h");
    EXPECT_FALSE(plugin->isContainer());
    EXPECT_TRUE(plugin->domXml().contains(R"(class="kovet::TKVTImage")"));
    QWidget parent;
    QWidget* widget = plugin->createWidget(&parent);
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), "kovet::TKVTImage");
    EXPECT_TRUE(widget->setProperty("formFile", kInvoice));
}

TEST(DesignerPlugin, AUiFileHoldingTheWidgetShowsItsForm) {
    const QByteArray ui = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>InvoiceWindow</class>
 <widget class="QWidget" name="InvoiceWindow">
  <property name="geometry"><rect><x>0</x><y>0</y><width>420</width><height>540</height></rect></property>
  <layout class="QVBoxLayout" name="layout">
   <item>
    <widget class="kovet::TKVTImage" name="KVTImage1">
     <property name="formFile"><string>)" +
                          kInvoice.toUtf8() + R"(</string></property>
     <property name="displayOptions"><set>DisplayScale|DisplayCenter</set></property>
     <property name="printTitle"><string>Invoice</string></property>
    </widget>
   </item>
  </layout>
 </widget>
</ui>
)";
    QUiLoader loader;
    loader.addPluginPath(KOVET_DESIGNER_PLUGIN_DIR);
    ASSERT_TRUE(loader.availableWidgets().contains("kovet::TKVTImage"));
    QBuffer file;
    file.setData(ui);
    file.open(QIODevice::ReadOnly);
    std::unique_ptr<QWidget> window(loader.load(&file));
    ASSERT_NE(window, nullptr) << loader.errorString().toStdString();
    QWidget* widget = window->findChild<QWidget*>("KVTImage1");
    ASSERT_NE(widget, nullptr);
    ASSERT_STREQ(widget->metaObject()->className(), "kovet::TKVTImage");
    // The plug-in's copy of the widget, the same code as this program's.
    auto* image = static_cast<TKVTImage*>(widget);
    EXPECT_NE(image->FieldByName("InvoiceNo"), nullptr);
    EXPECT_EQ(image->PrintTitle, "Invoice");
    EXPECT_EQ(image->DisplayOptions(),
              OptionBit<TKVTDisplayOptions>(kvtScale) | OptionBit<TKVTDisplayOptions>(kvtCenter));

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage shown = widget->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shown.height(); y += 4)
        for (int x = 0; x < shown.width(); x += 4)
            dark += qGray(shown.pixel(x, y)) < 128;
    EXPECT_GT(dark, 50) << "the form's texts and rules are drawn";
}
