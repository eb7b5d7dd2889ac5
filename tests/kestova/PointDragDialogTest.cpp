// The option dialog as the host's dialog manager runs it: its items, the
// values it shows, OK, Cancel, the spin ranges and foreign tool handles.
#include "KestovaHost.h"

#include <map>

namespace kestova_test {
namespace {

using easel::adm::ItemKind;
using easel::adm::ItemRecord;

class PointDragDialog : public ::testing::Test {
protected:
    std::map<int32_t, ItemRecord> Items() {
        std::map<int32_t, ItemRecord> items;
        for (const auto& item : host.inspect().items) items[item.id] = item;
        return items;
    }
    KestovaHost host{documentJson(pathJson(1, 1))};
};

TEST_F(PointDragDialog, OpensAsToolDialogZeroWithItsCaptionAndSize) {
    const auto record = host.inspect();
    EXPECT_EQ(record.name, "Tool Dialog 0");
    EXPECT_EQ(record.resourceId, 16101);
    EXPECT_EQ(record.caption, "Points Drag Tool Options");
    EXPECT_EQ(record.bounds.right - record.bounds.left, 260);
    EXPECT_EQ(record.bounds.bottom - record.bounds.top, 540);
    EXPECT_EQ(record.items.size(), 33u); // popup, 4 labels, 4 spins, 22 check boxes, 2 buttons
}

TEST_F(PointDragDialog, TheModePopupListsElevenEntriesWithTheirIndexAsId) {
    const char* const names[] = {
        " Direction points drag (start, cursor)",          " Direction points drag (cursor)",
        " Anchor points drag (cursor)",                    " Anchor points add (cursor)",
        " Direction points add (cursor)",                  " Direction points factor (cursor)",
        " Anchor points drag (cursor, corner)",            " Anchor points drag (cursor, document center)",
        " Direction points drag (cursor, corner)",         " Direction points drag (cursor, document center)",
        " Direction points drag (cursor, start)",
    };
    const ItemRecord popup = Items()[12];
    ASSERT_EQ(popup.entries.size(), 11u);
    for (size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(popup.entries[i].text, names[i]);
        EXPECT_EQ(popup.entries[i].id, static_cast<int32_t>(i));
    }
    EXPECT_EQ(popup.selected, 0);
}

TEST_F(PointDragDialog, SpinsHaveTheirRangesAndTwoDecimals) {
    const auto items = Items();
    for (int32_t id : {18, 19, 20}) {
        EXPECT_EQ(items.at(id).min, 0) << id;
        EXPECT_EQ(items.at(id).max, 100) << id;
        EXPECT_EQ(items.at(id).precision, 2) << id;
        EXPECT_EQ(items.at(id).value, 100) << id;
    }
    EXPECT_EQ(items.at(21).min, 0);
    EXPECT_EQ(items.at(21).max, 20000);
    EXPECT_EQ(items.at(21).precision, 2);
    EXPECT_EQ(items.at(21).value, 1000);
}

TEST_F(PointDragDialog, CheckBoxesShowTheStartUpDefaults) {
    const auto items = Items();
    for (int32_t id : {8, 9, 10, 11}) EXPECT_EQ(items.at(id).value, 1) << id;
    for (int32_t id : {3, 4, 5, 6, 7, 17, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34})
        EXPECT_EQ(items.at(id).value, 0) << id;
}

TEST_F(PointDragDialog, OkStoresEveryValueAndTheDialogShowsThemNextTime) {
    ASSERT_EQ(host.options({{12, 7}, {18, 12.5}, {21, 40}, {8, 0}, {34, 1}, {28, 1}}, {"OK"}), kNoErr);
    const auto items = Items();
    EXPECT_EQ(items.at(12).selected, 7);
    EXPECT_EQ(items.at(18).value, 12.5);
    EXPECT_EQ(items.at(21).value, 40);
    EXPECT_EQ(items.at(8).value, 0);
    EXPECT_EQ(items.at(34).value, 1);
    EXPECT_EQ(items.at(28).value, 1);
    EXPECT_EQ(items.at(9).value, 1);
}

TEST_F(PointDragDialog, CancelStoresNothingAndReturnsStop) {
    ASSERT_EQ(host.options({{12, 4}}, {"OK"}), kNoErr);
    EXPECT_EQ(host.options({{12, 9}, {19, 3}, {7, 1}}, {"Cancel"}), kCancelErr);
    const auto items = Items();
    EXPECT_EQ(items.at(12).selected, 4);
    EXPECT_EQ(items.at(19).value, 100);
    EXPECT_EQ(items.at(7).value, 0);
}

TEST_F(PointDragDialog, SpinValuesAreHeldWithinTheirRanges) {
    ASSERT_EQ(host.options({{21, 30000}, {18, -5}, {20, 250}}, {"OK"}), kNoErr);
    EXPECT_EQ(host.shown(21), 20000);
    EXPECT_EQ(host.shown(18), 0);
    EXPECT_EQ(host.shown(20), 100);
}

TEST_F(PointDragDialog, TheChosenModeDrivesTheNextDrag) {
    ASSERT_EQ(host.options({{12, 2}}, {"OK"}), kNoErr);
    host.drag({{{200, 300}}, {{250, 60}}});
    EXPECT_TRUE(SegmentIs(host.segment(1, 0), {250, 60}, {90, 125}, {110, 115}));
}

TEST_F(PointDragDialog, AnotherToolsHandleOpensNoDialog) {
    easel::adm::InspectDriver driver;
    easel::adm::dialogManager().setNextDriver(&driver);
    int other = 0;
    easel::Loader* loader = easel::Loader::active();
    ASSERT_NE(loader, nullptr);
    const ASErr r = loader->sendTool(host.plugin(), kSelectorAIEditToolOptions, reinterpret_cast<AIToolHandle>(&other),
                                     {0, 0}, 0, 0);
    easel::adm::dialogManager().setNextDriver(nullptr);
    EXPECT_EQ(r, kNoErr);
    EXPECT_FALSE(driver.record().has_value());
}

} // namespace
} // namespace kestova_test
