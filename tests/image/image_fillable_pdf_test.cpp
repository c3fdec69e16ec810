// The widget's page as a fillable PDF form: what its fields hold, and the values taken back.

#include "ImageTestSupport.h"

#include "display/KVTImage.h"
#include "display/PdfFormData.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace kovet;
using namespace kovet::test;

TEST(ImageFillablePdf, FieldsHoldTheWidgetsValuesAndGiveThemBack) {
    TKVT form;
    AddFields(form, {{"Ship", lfoComboBox, {96, 96, 296, 116}, 1},
                     {"Rate", lfoPercent, {96, 144, 196, 164}, 2},
                     {"Lines", lfoMemo, {96, 192, 396, 252}, 3},
                     {"Air", lfoCheckbox, {96, 288, 116, 308}, 4, false, 1},
                     {"Sea", lfoCheckbox, {96, 312, 116, 332}, 5, false, 1}});
    TKVTImage image;
    image.SetKVT(form);
    image.FieldByName("Ship")->SetLines({"Air", "Sea", "Rail"});
    image.FieldByName("Ship")->SetStringValue("Sea");
    image.FieldByName("Rate")->SetValue(0.125);
    image.FieldByName("Lines")->SetLines({"one", "two"});
    image.FieldByName("Sea")->SetChecked(true);
    const std::vector<std::uint8_t> pdf = image.ExportFillablePdfBytes();

    std::map<std::string, TPdfFieldValue> values;
    for (const TPdfFieldValue& value : ReadPdfFormValues(pdf.data(), pdf.size()))
        values[value.Name] = value;
    ASSERT_EQ(values.size(), 4u) << "the two check boxes of group 1 are one radio group";
    EXPECT_EQ(values["Ship"].Kind, TPdfFieldKind::Choice);
    EXPECT_EQ(values["Ship"].Value, "Sea");
    EXPECT_EQ(values["Ship"].Options, (std::vector<std::string>{"Air", "Sea", "Rail"}));
    EXPECT_EQ(values["Rate"].Value, "12.50") << "a percent in percent, as it is edited";
    EXPECT_EQ(values["Lines"].Value, "one\ntwo");
    EXPECT_EQ(values["Group1"].Kind, TPdfFieldKind::RadioGroup);
    EXPECT_EQ(values["Group1"].Value, "Sea");

    image.Reload();
    image.FieldByName("Air")->SetChecked(true);
    EXPECT_TRUE(image.LoadPdfFormData(pdf).empty());
    EXPECT_EQ(image.FieldByName("Ship")->AsString(), "Sea");
    EXPECT_DOUBLE_EQ(image.FieldByName("Rate")->Value(), 0.125);
    EXPECT_EQ(image.FieldByName("Lines")->Lines(), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(image.FieldByName("Sea")->Checked());
    EXPECT_FALSE(image.FieldByName("Air")->Checked()) << "the group's other button";

    TKVT other;
    AddFields(other, {{"Elsewhere"}});
    image.SetKVT(other);
    EXPECT_THROW(image.LoadPdfFormData(pdf), Exception) << "no field of the form is named";
    EXPECT_THROW(image.LoadPdfFormData(image.ExportPdfBytes()), Exception) << "a PDF without a form";
}
