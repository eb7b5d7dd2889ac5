// What every option dialog shows when it opens: name, resource, caption,
// size, every control with its kind, text, range and entries, and
// the first spin edit focused with its text selected.
#include <set>
#include <string>

#include "DialogTestSupport.h"

using namespace dialogtest;
using namespace easel;

namespace {

std::vector<std::string> Texts(const adm::ItemRecord& item) {
    std::vector<std::string> texts;
    for (const auto& e : item.entries) texts.push_back(e.text);
    return texts;
}

constexpr int32_t kFirstSpin[brivane::kToolCount] = {20, 38, 50, 70, 90, 110, 140, 180, 200, 230, 250, 270, 290};

}  // namespace

using DialogLayoutTest = BrivaneDialogTest;

TEST_F(DialogLayoutTest, EveryDialogHasItsNameResourceCaptionAndSize) {
    for (int tool = 0; tool < brivane::kToolCount; ++tool) {
        SCOPED_TRACE("tool " + std::to_string(tool));
        const adm::DialogRecord r = inspect(tool);
        EXPECT_EQ(r.name, "Tool dialog " + std::to_string(tool));
        EXPECT_EQ(r.resourceId, 16101 + 2 * tool);
        EXPECT_EQ(r.caption, kCaptions[tool]);
        EXPECT_EQ(r.bounds.right - r.bounds.left, 350);
        EXPECT_EQ(r.bounds.bottom - r.bounds.top, 485);
        std::size_t controls = 0;
        for (const auto& it : r.items) controls += it.kind != adm::ItemKind::StaticText ? 1 : 0;
        EXPECT_EQ(controls, ItemsOf(tool).size()) << "no control more, no control fewer";
        std::set<int32_t> ids;
        for (const auto& it : r.items) EXPECT_TRUE(ids.insert(it.id).second) << "item " << it.id << " twice";
    }
}

TEST_F(DialogLayoutTest, EveryControlHasItsKindTextAndRange) {
    const auto swatches = static_cast<double>(doc->swatchCount());
    ASSERT_GT(swatches, 2.0);
    for (int tool = 0; tool < brivane::kToolCount; ++tool) {
        const adm::DialogRecord r = inspect(tool);
        for (const ExpectedItem& want : ItemsOf(tool)) {
            SCOPED_TRACE("tool " + std::to_string(tool) + " item " + std::to_string(want.id));
            const adm::ItemRecord* it = Find(r, want.id);
            ASSERT_NE(it, nullptr);
            EXPECT_EQ(it->kind, KindOf(want.kind));
            EXPECT_GT(it->rect.right, it->rect.left);
            EXPECT_GT(it->rect.bottom, it->rect.top);
            if (want.text != nullptr) {
                EXPECT_EQ(it->text, want.text);
            }
            if (want.kind == K::Int || want.kind == K::Real) {
                const bool swatchSpin = want.id == 12 || want.id == 13;
                EXPECT_EQ(it->min, want.min);
                EXPECT_EQ(it->max, swatchSpin ? swatches : want.max);
                EXPECT_EQ(it->precision, want.kind == K::Real ? 2 : 0);
            }
        }
    }
}

TEST_F(DialogLayoutTest, SharedPopupsHaveTheirEntriesInEveryDialog) {
    const std::vector<std::string> fill = {
        " Fill color - Ignore", " To white",          " To black",         " Random colors",
        " Random swatches",     " To white / midpoint", " To swatch",      " To half color",
        " To inverted",         " Alternate white",   " Alternate black",  " Alternate swatch",
        " Alternate inverted",  " To half color inverted", " 10% reduction"};
    std::vector<std::string> stroke = fill;
    stroke[0] = " Stroke color - Ignore";
    std::vector<std::string> placement = {" Place above", " Place beneath", " Alternate 1", " Alternate 2",
                                          " Random 1"};
    for (int k = 1; k <= 12; ++k) placement.push_back(" Alternate " + std::to_string(k) + "/path");

    for (int tool = 0; tool < brivane::kToolCount; ++tool) {
        SCOPED_TRACE("tool " + std::to_string(tool));
        const adm::DialogRecord r = inspect(tool);
        ASSERT_NE(Find(r, 10), nullptr);
        EXPECT_EQ(Texts(*Find(r, 10)), fill);
        EXPECT_EQ(Texts(*Find(r, 11)), stroke);
        EXPECT_EQ(Texts(*Find(r, 15)),
                  (std::vector<std::string>{" Pattern / tile - Ignore", " Use document center", " Use end point",
                                            " Use start point", " Use original path"}));
        EXPECT_EQ(Texts(*Find(r, 18)), (std::vector<std::string>{" Scaling line width - ignore",
                                                                 " Standard scaling of stroke width",
                                                                 " Alternate scaling"}));
        EXPECT_EQ(Texts(*Find(r, 6)), placement);
    }
}

TEST_F(DialogLayoutTest, ToolPopupsHaveTheirEntries) {
    const adm::DialogRecord rc = inspect(brivane::kRowsColumnsTool);
    const auto checker = Texts(*Find(rc, 32));
    ASSERT_EQ(checker.size(), 10u);
    EXPECT_EQ(checker.front(), " Ignore checkerboard");
    EXPECT_EQ(checker[9], " Check 9");
    EXPECT_EQ(Texts(*Find(rc, 35)),
              (std::vector<std::string>{" Ignore turn", " Turn 1", " Turn 2", " Turn 3", " Turn 4"}));
    for (auto [id, first] : {std::pair{33, " Default horizontal apply"}, std::pair{34, " Default vertical apply"}}) {
        const auto apply = Texts(*Find(rc, id));
        ASSERT_EQ(apply.size(), 43u);
        EXPECT_EQ(apply[0], first);
        EXPECT_EQ(apply[1], " Apply 1");
        EXPECT_EQ(apply[42], " Apply 42");
    }

    EXPECT_EQ(Texts(*Find(inspect(brivane::kSoftCenterTool), 56)),
              (std::vector<std::string>{" Initial gap in points", " Initial gap in centimetres",
                                        " Initial gap in inches"}));
    EXPECT_EQ(Texts(*Find(inspect(brivane::kFramedTool), 79)),
              (std::vector<std::string>{" Edge - Default", " Edge - Turn 1", " Edge - Turn 2", " Edge - Flip",
                                        " Edge - Randomized"}));

    const adm::DialogRecord windmill = inspect(brivane::kWindmillTool);
    EXPECT_EQ(Texts(*Find(windmill, 117)),
              (std::vector<std::string>{" Measurements in points", " Measurements in centimetres",
                                        " Measurements in inches"}));
    const auto windmillApply = Texts(*Find(windmill, 118));
    ASSERT_EQ(windmillApply.size(), 56u);
    EXPECT_EQ(windmillApply[0], " Default apply");
    EXPECT_EQ(windmillApply[55], " Apply 55");

    const auto scaledown = Texts(*Find(inspect(brivane::kScaledownTool), 153));
    ASSERT_EQ(scaledown.size(), 32u);
    EXPECT_EQ(scaledown[0], " Default apply");
    EXPECT_EQ(scaledown[16], " Apply 16");
    EXPECT_EQ(scaledown[17], " Apply 17 (scale swap)");
    EXPECT_EQ(scaledown[18], " Apply 18 (scale swap)");
    EXPECT_EQ(scaledown[19], " Apply 19");
    EXPECT_EQ(scaledown[31], " Apply 31");
}

TEST_F(DialogLayoutTest, EveryPopupEntryIdIsItsIndex) {
    for (int tool = 0; tool < brivane::kToolCount; ++tool) {
        for (const auto& it : inspect(tool).items) {
            if (it.kind != adm::ItemKind::PopupList) continue;
            ASSERT_FALSE(it.entries.empty()) << "popup " << it.id << " of tool " << tool;
            for (std::size_t n = 0; n < it.entries.size(); ++n)
                EXPECT_EQ(it.entries[n].id, static_cast<int32_t>(n)) << "popup " << it.id << " of tool " << tool;
        }
    }
}

TEST_F(DialogLayoutTest, TheFirstSpinIsFocusedWithItsTextSelected) {
    for (int tool = 0; tool < brivane::kToolCount; ++tool) {
        SCOPED_TRACE("tool " + std::to_string(tool));
        std::vector<int32_t> focused;
        bool selected = false;
        FunctionDriver driver([&](adm::Dialog& d) {
            for (const auto& it : d.items)
                if (it->active) {
                    focused.push_back(it->id);
                    selected = it->textSelected;
                }
        });
        EXPECT_EQ(run(tool, driver), kCancelErr);
        EXPECT_EQ(focused, std::vector<int32_t>{kFirstSpin[tool]});
        EXPECT_TRUE(selected);
    }
}

TEST_F(DialogLayoutTest, AToolThatIsNotBrivanesOpensNothing) {
    FunctionDriver driver([](adm::Dialog&) {});
    adm::dialogManager().setNextDriver(&driver);
    int notATool = 0;
    const ASErr err = loader->sendTool(*plugin, kSelectorAIEditToolOptions, reinterpret_cast<AIToolHandle>(&notATool),
                                       AIRealPoint{0, 0}, 0, 0);
    adm::dialogManager().setNextDriver(nullptr);
    EXPECT_EQ(err, kNoErr);
    EXPECT_FALSE(driver.ran);
}
