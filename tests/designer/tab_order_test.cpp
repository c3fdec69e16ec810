// The fields' fill-in order: listed by TabOrder, rearranged by hand, written back as 0, 1, 2...
// on OK in one step, left alone on Cancel.
#include "DesignerFixture.h"
#include "FormObjects.h"

#include "designer/core/TabOrder.h"

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;
using Names = std::vector<std::string>;

namespace {

class TabOrdering : public DesignerTest {
protected:
    TabOrdering() {
        core->Start();
        core->OnEdited = [this](const TUndoStep& step) { labels.push_back(step.Label); };
    }
    Names Listed() {
        Names names;
        for (std::int32_t i = 0; i < order.Count(); ++i)
            names.push_back(order.Name(i));
        return names;
    }
    // The edit, with `user` acting in the dialog before closing it with OK or not.
    void Edit(const std::function<void()>& user, bool ok) {
        EditTabOrder(*core, order, [&] {
            user();
            return ok;
        });
    }

    TTabOrder order;
    std::vector<std::string> labels;
};

} // namespace

TEST_F(TabOrdering, FieldsAreListedByTabOrderAndRenumberedOnOkAsOneStep) {
    const std::int32_t a = AddField(*core, "A", 9), b = AddField(*core, "B", 5);
    core->Form().KVTFile().Texts.AddEmpty();
    const std::int32_t c = AddField(*core, "C", 5);
    Edit([&] { EXPECT_EQ(Listed(), (Names{"B", "C", "A"})) << "equal TabOrders in drawing order"; }, true);
    EXPECT_EQ(TabOrderOf(*core, b), 0);
    EXPECT_EQ(TabOrderOf(*core, c), 1);
    EXPECT_EQ(TabOrderOf(*core, a), 2);
    EXPECT_EQ(labels, Names{"Tab Order"});
    EXPECT_EQ(order.Count(), 0) << "the entries go after the dialog";
}

TEST_F(TabOrdering, LinesMoveWithinTheListOnly) {
    for (const char* name : {"A", "B", "C", "D"})
        AddField(*core, name, 0);
    order.Load(core->Form().KVTFile());
    EXPECT_EQ(order.MoveToBottom(1), 3);
    EXPECT_EQ(order.MoveDown(0), 1);
    EXPECT_EQ(Listed(), (Names{"C", "A", "D", "B"}));
    for (const auto move : {&TTabOrder::MoveToTop, &TTabOrder::MoveUp})
        EXPECT_EQ((order.*move)(0), 0);
    for (const auto move : {&TTabOrder::MoveDown, &TTabOrder::MoveToBottom})
        EXPECT_EQ((order.*move)(3), 3);
    for (const auto move : {&TTabOrder::MoveToTop, &TTabOrder::MoveUp, &TTabOrder::MoveDown, &TTabOrder::MoveToBottom})
        EXPECT_EQ((order.*move)(-1), -1) << "no line chosen";
    EXPECT_EQ(Listed(), (Names{"C", "A", "D", "B"}));
}

TEST_F(TabOrdering, CancelAndAFormWithoutFieldsLeaveTheBytes) {
    core->Form().KVTFile().Texts.AddEmpty();
    Edit([&] { EXPECT_EQ(order.Count(), 0); }, true);
    AddField(*core, "A", 4);
    AddField(*core, "B", 7);
    const std::vector<std::uint8_t> before = core->Form().KVTData();
    Edit([&] { order.MoveToBottom(0); }, false);
    EXPECT_EQ(core->Form().KVTData(), before);
    EXPECT_TRUE(labels.empty());
    EXPECT_EQ(order.Count(), 0);
}

TEST_F(TabOrdering, OnlyFieldsAreRenumberedEvenWhenIDsShareTheirLow16Bits) {
    const Bytes text = core->Form().KVTFile().Texts.AddEmpty();
    const Bytes field = core->Form().KVTFile().Fields.AddEmpty();
    FieldRec::TabOrder.set(field, 5);
    ItemHeader::ID.set(text, 2);
    ItemHeader::ID.set(field, 0x10002);
    const std::vector<std::uint8_t> textBefore(text.begin(), text.end());
    Edit([] {}, true);
    EXPECT_EQ(TabOrderOf(*core, 0x10002), 0);
    const ConstBytes textAfter = core->Form().KVTFile().FindByID(2);
    EXPECT_TRUE(std::equal(textAfter.begin(), textAfter.end(), textBefore.begin(), textBefore.end()));
}
