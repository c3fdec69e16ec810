// The options dialog's values through the core: the defaults record read and stored, new
// objects following it at once, and the Word scale kept in its range.
#include "DesignerFixture.h"

#include "designer/core/EditCommands.h"
#include "designer/core/OptionEdits.h"

#include <cmath>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;

namespace {

class OptionEdits : public DesignerTest {
protected:
    OptionEdits() { core->Start(); }

    float WordScaleStored(double typed) {
        TOptionValues values = ReadOptions(core->Defaults());
        values.WordScale = typed;
        StoreOptions(core->Defaults(), values);
        return DefaultsRec::WordScale.get(core->Defaults().Record);
    }
};

} // namespace

TEST_F(OptionEdits, NewObjectsFollowTheStoredDefaultsAtOnce) {
    TOptionValues values = ReadOptions(core->Defaults());
    EXPECT_EQ(values.Objects.Frame.Thickness, 1);
    EXPECT_EQ(values.FrameWidth, 100);
    EXPECT_EQ(values.Objects.Field.Font.Name, "Courier New");
    values.Objects.Frame.Thickness = 4;
    values.FrameWidth = 250;
    values.Objects.Text.Font.Name = "DejaVu Serif";
    values.Objects.Text.Text = "Hello";
    values.RulerUnits = 2;
    values.PrintExactDPI = true;
    StoreOptions(core->Defaults(), values);

    const ConstBytes frame = core->Form().KVTFile().FindByID(AddObject(*core, kvtFrameType, 10, 10));
    EXPECT_EQ(FrameRec::Thickness.get(frame), 4);
    EXPECT_EQ(ObjectRec::Width.get(frame), 250);
    const ConstBytes text = core->Form().KVTFile().FindByID(AddObject(*core, kvtTextType, 10, 200));
    EXPECT_EQ(FontRec::FontName.get(text), "DejaVu Serif");
    EXPECT_EQ(TextRec::Text.get(text), "Hello");

    const TOptionValues again = ReadOptions(core->Defaults());
    EXPECT_EQ(again.RulerUnits, 2);
    EXPECT_TRUE(again.PrintExactDPI);
    EXPECT_EQ(again.Objects.Frame.Thickness, 4);
}

TEST_F(OptionEdits, TheWordScaleIsKeptBetweenFiveHundredthsAndOne) {
    EXPECT_FLOAT_EQ(ReadOptions(core->Defaults()).WordScale, 0.33f);
    EXPECT_FLOAT_EQ(WordScaleStored(2), 1.0f);
    EXPECT_FLOAT_EQ(WordScaleStored(0.01), 0.05f);
    EXPECT_FLOAT_EQ(WordScaleStored(0.5), 0.5f);
    EXPECT_FLOAT_EQ(WordScaleStored(-3), 0.05f);
    EXPECT_FLOAT_EQ(WordScaleStored(std::nan("")), 0.05f);
}
