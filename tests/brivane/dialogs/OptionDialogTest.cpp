// What the option dialogs do with the values: OK writes every item back and
// the next opening shows them, the colour popups act at once, Cancel keeps
// nothing else, Reset restores every tool's defaults, and OK saves the place
// where the next dialog opens.
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "core/HostState.h"

using namespace dialogtest;
using namespace easel;

namespace {

bool HasField(const ExpectedItem& it) { return !it.field.none; }

// A value for the item that differs from `current` and lies in its range:
// spins somewhere inside the range (reals off the whole numbers), check boxes
// flipped, popups another entry.
double OtherValue(const ExpectedItem& it, double current, double max, int entryCount) {
    switch (it.kind) {
    case K::Int: {
        const double span = max - it.min;
        double v = it.min + std::fmod(it.id * 7.0, span + 1);
        if (v == current) v = v + 1 <= max ? v + 1 : v - 1;
        return v;
    }
    case K::Real: return it.min + std::fmod(it.id * 13.0, max - it.min - 1) + 0.25;
    case K::Check: return current != 0 ? 0 : 1;
    case K::Popup: {
        double v = std::fmod(current + 1 + it.id, entryCount);
        if (v == current) v = std::fmod(v + 1, entryCount);
        return v;
    }
    default: return current;
    }
}

}  // namespace

using OptionDialogTest = BrivaneDialogTest;

TEST_F(OptionDialogTest, OkReadsEveryItemBackIntoItsField) {
    for (int tool = 0; tool < brivane::kToolCount; ++tool) {
        SCOPED_TRACE("tool " + std::to_string(tool));
        const adm::DialogRecord before = inspect(tool);
        // " To swatch" in both colour popups enables all four colour spins.
        std::vector<adm::SetAction> sets = {Set(10, 6), Set(11, 6)};
        std::map<int32_t, double> chosen = {{10, 6}, {11, 6}};
        std::vector<ExpectedItem> items;
        for (const ExpectedItem& it : ItemsOf(tool)) {
            if (!HasField(it)) continue;
            items.push_back(it);
            if (it.id == 10 || it.id == 11) continue;
            const adm::ItemRecord* rec = Find(before, it.id);
            ASSERT_NE(rec, nullptr);
            const double v = OtherValue(it, get(it.field), rec->max, static_cast<int>(rec->entries.size()));
            sets.push_back(Set(it.id, v));
            chosen[it.id] = v;
        }
        ASSERT_EQ(script(tool, sets, {"OK"}), kNoErr);
        EXPECT_EQ(g->dialogBoundsSaved, 1);
        for (const ExpectedItem& it : items)
            EXPECT_FLOAT_EQ(static_cast<float>(get(it.field)), static_cast<float>(chosen[it.id])) << "item " << it.id;

        // And the next opening shows them again: an item shown from the wrong
        // field shows another item's value.
        const adm::DialogRecord after = inspect(tool);
        for (const auto& [id, v] : chosen) {
            const adm::ItemRecord* rec = Find(after, id);
            ASSERT_NE(rec, nullptr);
            const double shown = rec->kind == adm::ItemKind::PopupList ? rec->selected : rec->value;
            EXPECT_FLOAT_EQ(static_cast<float>(shown), static_cast<float>(v)) << "item " << id;
        }
    }
}

TEST_F(OptionDialogTest, OkGivesZeroAndEveryOtherWayOutStop) {
    EXPECT_EQ(script(brivane::kDragTool, {}, {"OK"}), kNoErr);
    EXPECT_EQ(script(brivane::kDragTool, {}, {"Cancel"}), kCancelErr);
    EXPECT_EQ(script(brivane::kDragTool, {}, {"Reset"}), kCancelErr) << "Reset keeps the dialog open; the driver cancels";
    EXPECT_EQ(script(brivane::kDragTool, {}, {"Reset", "OK"}), kNoErr);
}

TEST_F(OptionDialogTest, ChoosingAColourModeEnablesTheSpinsItUses) {
    const std::set<int32_t> swatchModes = {6, 11};
    const std::set<int32_t> periodModes = {1, 2, 5, 6, 7, 8, 13};
    FunctionDriver driver([&](adm::Dialog& d) {
        for (int32_t mode = 0; mode < 15; ++mode) {
            ASSERT_EQ(adm::userSet(d, Set(10, mode)), "");
            EXPECT_EQ(g->fillMode, mode) << "the fill mode changes before OK";
            EXPECT_EQ(d.item(12)->enabled, swatchModes.count(mode) == 1) << "fill mode " << mode;
            EXPECT_EQ(d.item(16)->enabled, periodModes.count(mode) == 1) << "fill mode " << mode;
            ASSERT_EQ(adm::userSet(d, Set(11, mode)), "");
            EXPECT_EQ(g->strokeMode, mode);
            EXPECT_EQ(d.item(13)->enabled, swatchModes.count(mode) == 1) << "stroke mode " << mode;
            EXPECT_EQ(d.item(17)->enabled, periodModes.count(mode) == 1) << "stroke mode " << mode;
        }
        ASSERT_EQ(adm::userSet(d, Set(10, " To swatch")), "");
        EXPECT_TRUE(d.item(12)->enabled && d.item(16)->enabled);
        ASSERT_EQ(adm::userSet(d, Set(10, " Random colors")), "");
        EXPECT_FALSE(d.item(12)->enabled || d.item(16)->enabled);
        // The other popups and spins never change the enabling.
        EXPECT_EQ(adm::userSet(d, Set(12, 3)), "item 12 of dialog 'Drag tool options' is disabled");
    });
    EXPECT_EQ(run(brivane::kDragTool, driver), kCancelErr);
    EXPECT_TRUE(driver.ran);
}

TEST_F(OptionDialogTest, ADialogOpensWithTheSpinsItsColourModesUse) {
    g->fillMode = 11;   // " Alternate swatch": swatch, no period
    g->strokeMode = 8;  // " To inverted": period, no swatch
    const adm::DialogRecord r = inspect(brivane::kSpiraledTool);
    EXPECT_TRUE(Find(r, 12)->enabled);
    EXPECT_FALSE(Find(r, 16)->enabled);
    EXPECT_FALSE(Find(r, 13)->enabled);
    EXPECT_TRUE(Find(r, 17)->enabled);

    g->fillMode = 0;
    g->strokeMode = 0;
    const adm::DialogRecord off = inspect(brivane::kSpiraledTool);
    for (int32_t id : {12, 13, 16, 17}) EXPECT_FALSE(Find(off, id)->enabled) << "item " << id;
}

TEST_F(OptionDialogTest, CancelKeepsTheColourModesAndNothingElse) {
    EXPECT_EQ(script(brivane::kDragTool,
                     {Set(10, " To white"), Set(11, " To black"), Set(38, 99), Set(43, 1), Set(9, 5), Set(6, 3)},
                     {"Cancel"}),
              kCancelErr);
    EXPECT_EQ(g->fillMode, 1);
    EXPECT_EQ(g->strokeMode, 2);
    EXPECT_EQ(g->dragCopies, 10);
    EXPECT_EQ(g->dragLocked, 0);
    EXPECT_EQ(g->slowdown, 0);
    EXPECT_EQ(g->placement, 0);
    EXPECT_EQ(g->dialogBoundsSaved, 0);
    EXPECT_EQ(Find(inspect(brivane::kTileTool), 10)->selected, 1) << "every dialog shows the new fill mode";
}

TEST_F(OptionDialogTest, ResetInOneDialogRestoresTheDefaultsOfEveryTool) {
    // Start-up defaults of every option field, as the block holds them now.
    const auto first = offsetof(BrivaneGlobals, layerPerEvent);
    const auto end = offsetof(BrivaneGlobals, selectedArt);
    std::vector<unsigned char> defaults(end - first);
    std::memcpy(defaults.data(), reinterpret_cast<const unsigned char*>(g) + first, defaults.size());

    ASSERT_EQ(script(brivane::kRowsColumnsTool, {Set(20, 33), Set(33, " Apply 7"), Set(36, 1)}, {"OK"}), kNoErr);
    ASSERT_EQ(script(brivane::kWindmillTool, {Set(118, " Apply 5"), Set(124, 50.5)}, {"OK"}), kNoErr);
    ASSERT_EQ(script(brivane::kBackgroundTool, {Set(290, 100), Set(299, 0.0)}, {"OK"}), kNoErr);
    ASSERT_EQ(script(brivane::kPaintTool, {Set(250, 50), Set(10, " To swatch"), Set(12, 5), Set(9, 7)}, {"OK"}),
              kNoErr);
    ASSERT_EQ(g->rcColumns, 33);
    ASSERT_EQ(g->windmillApply, 5);
    const ASRect bounds = g->dialogBounds;

    FunctionDriver driver([&](adm::Dialog& d) {
        ASSERT_EQ(adm::userSet(d, Set(38, 99)), "");
        ASSERT_TRUE(d.item(12)->enabled);
        ASSERT_EQ(adm::pressItem(d, "Reset"), "");
        EXPECT_FALSE(d.ended) << "Reset keeps the dialog open";
        // The open dialog shows the defaults, and the enabling follows them.
        EXPECT_EQ(d.item(38)->value, 10);
        EXPECT_EQ(d.item(9)->value, 0);
        EXPECT_EQ(d.item(10)->list->indexOf(d.item(10)->list->active), 0);
        EXPECT_FALSE(d.item(12)->enabled);
        EXPECT_FALSE(d.item(16)->enabled);
        EXPECT_EQ(d.item(42)->value, 1);
        ASSERT_EQ(adm::pressItem(d, "Cancel"), "");
    });
    EXPECT_EQ(run(brivane::kDragTool, driver), kCancelErr);

    // Cancel does not bring the old values back, in any tool.
    EXPECT_EQ(std::memcmp(defaults.data(), reinterpret_cast<const unsigned char*>(g) + first, defaults.size()), 0);
    EXPECT_EQ(g->rcColumns, 10);
    EXPECT_EQ(g->windmillApply, 0);
    EXPECT_EQ(g->backCopies, 70);
    EXPECT_EQ(g->fillSwatch, 2);
    EXPECT_EQ(Find(inspect(brivane::kRowsColumnsTool), 20)->value, 10);
    // The saved position is not an option.
    EXPECT_EQ(g->dialogBoundsSaved, 1);
    EXPECT_EQ(std::memcmp(&g->dialogBounds, &bounds, sizeof bounds), 0);
}

TEST_F(OptionDialogTest, AfterOkEveryDialogOpensWhereTheLastOneWasClosed) {
    const adm::DialogRecord unsaved = inspect(brivane::kDragTool);
    EXPECT_EQ(g->dialogBoundsSaved, 0);

    FunctionDriver moveAndOk([](adm::Dialog& d) {
        d.bounds = ASRect{400, 300, 750, 785};  // the user drags the window
        ASSERT_EQ(adm::pressItem(d, "OK"), "");
    });
    EXPECT_EQ(run(brivane::kDragTool, moveAndOk), kNoErr);
    EXPECT_EQ(g->dialogBoundsSaved, 1);
    EXPECT_EQ(g->dialogBounds.left, 400);
    EXPECT_EQ(g->dialogBounds.top, 300);

    for (int tool : {int(brivane::kWindmillTool), int(brivane::kDragTool), int(brivane::kTileTool)}) {
        const adm::DialogRecord r = inspect(tool);
        EXPECT_EQ(r.bounds.left, 400) << "tool " << tool;
        EXPECT_EQ(r.bounds.top, 300) << "tool " << tool;
        EXPECT_EQ(r.bounds.right, 750) << "tool " << tool;
        EXPECT_EQ(r.bounds.bottom, 785) << "tool " << tool;
    }

    // Moving a dialog and cancelling it saves nothing.
    FunctionDriver moveAndCancel([](adm::Dialog& d) {
        d.bounds = ASRect{10, 20, 360, 505};
        ASSERT_EQ(adm::pressItem(d, "Cancel"), "");
    });
    EXPECT_EQ(run(brivane::kScaledownTool, moveAndCancel), kCancelErr);
    EXPECT_EQ(inspect(brivane::kPaintTool).bounds.left, 400);
    EXPECT_NE(unsaved.bounds.left, 400);
}

TEST_F(OptionDialogTest, WithoutSwatchesTheSwatchSpinsAllowOnlyZero) {
    doc->clearSwatches();
    const adm::DialogRecord r = inspect(brivane::kDragTool);
    for (int32_t id : {12, 13}) {
        EXPECT_EQ(Find(r, id)->min, 0) << "item " << id;
        EXPECT_EQ(Find(r, id)->max, 0) << "item " << id;
        EXPECT_EQ(Find(r, id)->value, 0) << "item " << id;
    }
    // An enabled swatch spin stores what it shows; a disabled one keeps its
    // swatch number for documents that have swatches.
    EXPECT_EQ(script(brivane::kDragTool, {Set(10, " To swatch"), Set(12, 5)}, {"OK"}), kNoErr);
    EXPECT_EQ(g->fillSwatch, 0);
    EXPECT_EQ(g->strokeSwatch, 2);
}

TEST_F(OptionDialogTest, OkKeepsAPeriodTypedBeforeTheModeDisabledItsSpin) {
    EXPECT_EQ(script(brivane::kDragTool,
                     {Set(10, " To white"), Set(16, 7), Set(11, " To black"), Set(17, 9), Set(10, " Random colors"),
                      Set(11, " Stroke color - Ignore")},
                     {"OK"}),
              kNoErr);
    EXPECT_EQ(g->fillMode, 3);
    EXPECT_EQ(g->strokeMode, 0);
    EXPECT_EQ(g->fillPeriod, 7);
    EXPECT_EQ(g->strokePeriod, 9);
}

TEST_F(OptionDialogTest, WithoutADocumentTheDialogStillOpens) {
    hostState().document = nullptr;
    const adm::DialogRecord r = inspect(brivane::kBouncealongTool);
    EXPECT_EQ(Find(r, 12)->max, 0);
    EXPECT_EQ(Find(r, 180)->value, 10);
    hostState().document = doc.get();
}

TEST_F(OptionDialogTest, BackgroundOkLeavesTheDeleteFlagItHasNoControlFor) {
    g->backDelete = 0;  // as a drag with "Trail" leaves it
    const adm::DialogRecord r = inspect(brivane::kBackgroundTool);
    EXPECT_EQ(Find(r, 300), nullptr);
    EXPECT_EQ(script(brivane::kBackgroundTool, {Set(290, 80)}, {"OK"}), kNoErr);
    EXPECT_EQ(g->backCopies, 80);
    EXPECT_EQ(g->backDelete, 0);
    EXPECT_EQ(script(brivane::kTileTool, {}, {"Reset", "Cancel"}), kCancelErr);
    EXPECT_EQ(g->backDelete, 1);
}

TEST_F(OptionDialogTest, APopupIndexNoEntryHasShowsTheFirstEntry) {
    g->rcTurn = 9;
    g->fillMode = 40;
    const adm::DialogRecord r = inspect(brivane::kRowsColumnsTool);
    EXPECT_EQ(Find(r, 35)->selected, 0);
    EXPECT_EQ(Find(r, 10)->selected, 0);
    EXPECT_EQ(g->fillMode, 0) << "the colour popup writes the mode it shows";
    EXPECT_EQ(script(brivane::kRowsColumnsTool, {}, {"OK"}), kNoErr);
    EXPECT_EQ(g->rcTurn, 0);
}

TEST_F(OptionDialogTest, OptionsSurviveUnloadingTheLibrary) {
    ASSERT_EQ(script(brivane::kCheckerboardTool, {Set(230, 12), Set(235, -45.5)}, {"OK"}), kNoErr);
    ASSERT_EQ(loader->unload(*plugin), kNoErr);
    std::string error;
    ASSERT_EQ(loader->reload(*plugin, error), kNoErr) << error;
    const adm::DialogRecord r = inspect(brivane::kCheckerboardTool);
    EXPECT_EQ(Find(r, 230)->value, 12);
    EXPECT_EQ(Find(r, 235)->value, -45.5);
}
