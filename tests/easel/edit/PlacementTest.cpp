// Exact placement: transform by values, align, distribute, guides and grid.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "edit/Edit.h"
#include "io/json/DocumentJson.h"

using namespace easel;
using edit::json;

namespace {

struct Placement : ::testing::Test {
    std::unique_ptr<Document> doc = newDocument(400, 300);
    edit::Clipboard clipboard;

    edit::Outcome run(const json& e) { return edit::run(*doc, clipboard, e); }
    void ok(const json& e) { EXPECT_EQ(run(e).error, "") << e.dump(); }
    int64_t rect(float l, float b, float r, float t) {
        const auto made = run({{"op", "create"}, {"shape", "rectangle"}, {"from", {l, b}}, {"to", {r, t}}}).made;
        return made.at(0);
    }
    void select(std::vector<int64_t> ids) { ok({{"op", "select"}, {"ids", ids}}); }
    AIRealRect box(int64_t id) {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(doc->findById(id), &r), kNoErr);
        return r;
    }
    // left, bottom, right, top
    void expectBox(int64_t id, std::array<float, 4> want) {
        const AIRealRect r = box(id);
        EXPECT_NEAR(r.left, want[0], 1e-3) << "art " << id;
        EXPECT_NEAR(r.bottom, want[1], 1e-3) << "art " << id;
        EXPECT_NEAR(r.right, want[2], 1e-3) << "art " << id;
        EXPECT_NEAR(r.top, want[3], 1e-3) << "art " << id;
    }
};

TEST_F(Placement, TransformPlacesTheReferencePointAndSizesTheBoundsAboutIt) {
    struct Case {
        json args;
        std::array<float, 4> box;
    };
    // The rectangle 100..140 x 50..70 (w 40, h 20) each time.
    const Case cases[] = {
        {{{"x", 10}, {"y", 20}}, {-10, 10, 30, 30}},                                    // centre by default
        {{{"reference", "bottomLeft"}, {"x", 10}, {"y", 20}}, {10, 20, 50, 40}},
        {{{"reference", "topRight"}, {"width", 80}}, {60, 50, 140, 70}},                // grows leftward
        {{{"reference", "top"}, {"width", 20}, {"height", 60}}, {110, 10, 130, 70}},
        {{{"reference", "left"}, {"x", 0}, {"height", 10}}, {0, 55, 40, 65}},
        {{{"angle", 90}}, {110, 40, 130, 80}},                                          // about the centre
        {{{"reference", "bottomLeft"}, {"angle", 90}}, {80, 50, 100, 90}},
    };
    for (const Case& c : cases) {
        doc = newDocument(400, 300);
        const int64_t id = rect(100, 50, 140, 70);
        json e = c.args;
        e["op"] = "transform";
        ok(e);
        expectBox(id, c.box);
        EXPECT_EQ(doc->undoText(), "Undo Transform");
    }
}

TEST_F(Placement, TransformMovesSeveralObjectsAsOneAndScalesStrokesOnlyWhenAsked) {
    const int64_t a = rect(0, 0, 10, 10), b = rect(30, 20, 40, 30);
    select({a, b});
    ok({{"op", "transform"}, {"reference", "bottomLeft"}, {"x", 100}, {"y", 100}, {"width", 80}});
    expectBox(a, {100, 100, 120, 110});
    expectBox(b, {160, 120, 180, 130});
    EXPECT_FLOAT_EQ(doc->findById(a)->style().stroke.width, 1);
    ok({{"op", "transform"}, {"width", 40}, {"height", 15}, {"strokes", true}});
    EXPECT_FLOAT_EQ(doc->findById(a)->style().stroke.width, 0.5f);
}

TEST_F(Placement, BadTransformValuesAreRefusedAndChangeNothing) {
    const int64_t id = rect(100, 50, 140, 70);
    const std::string before = writeDocumentJson(*doc);
    const size_t steps = doc->undoStepCount();
    const std::pair<json, const char*> cases[] = {
        {{{"op", "transform"}}, "give any of"},
        {{{"op", "transform"}, {"width", 0}}, "\"width\" must be more than 0"},
        {{{"op", "transform"}, {"height", -5}}, "\"height\" must be from 0"},
        {{{"op", "transform"}, {"x", "abc"}}, "\"x\" must be a number"},
        {{{"op", "transform"}, {"x", 2e7}}, "\"x\" must be from -1e+07 to 1e+07"},
        {{{"op", "transform"}, {"x", 1}, {"reference", "middle"}}, "\"reference\" must be"},
        {{{"op", "transform"}, {"width", 4e5}, {"reference", "left"}, {"x", 9.9e6}}, "leave the drawing area"},
        {{{"op", "transform"}, {"width", 1e-6}}, "more than 0"},
    };
    for (const auto& [e, message] : cases) {
        const std::string error = run(e).error;
        EXPECT_NE(error.find(message), std::string::npos) << e.dump() << " gave: " << error;
        EXPECT_EQ(writeDocumentJson(*doc), before) << e.dump();
        EXPECT_EQ(doc->undoStepCount(), steps) << e.dump();
    }
    // A horizontal line has no height to set; its width it has.
    const auto line = run({{"op", "create"}, {"shape", "line"}, {"from", {0, 10}}, {"to", {50, 10}}}).made.at(0);
    EXPECT_NE(run({{"op", "transform"}, {"height", 5}}).error.find("no height"), std::string::npos);
    ok({{"op", "transform"}, {"reference", "left"}, {"width", 100}});
    expectBox(line, {0, 10, 100, 10});
    ok({{"op", "deselect"}});
    EXPECT_NE(run({{"op", "transform"}, {"x", 1}}).error.find("nothing is selected"), std::string::npos);
    expectBox(id, {100, 50, 140, 70});
}

TEST_F(Placement, AlignMovesEachObjectOrGroupToTheSelectionOrThePage) {
    struct Case {
        const char* to;
        const char* relative;
        const char* undo;
        std::array<float, 4> a, b, c;  // boxes after (b, c grouped)
    };
    // a 10..30 x 10..20, b 50..60 x 40..80, c 100..140 x 0..10; b and c are a group.
    const Case cases[] = {
        {"left", "selection", "Align Left", {10, 10, 30, 20}, {10, 40, 20, 80}, {60, 0, 100, 10}},
        {"right", "selection", "Align Right", {120, 10, 140, 20}, {50, 40, 60, 80}, {100, 0, 140, 10}},
        {"center", "selection", "Align Center", {65, 10, 85, 20}, {30, 40, 40, 80}, {80, 0, 120, 10}},
        {"top", "selection", "Align Top", {10, 70, 30, 80}, {50, 40, 60, 80}, {100, 0, 140, 10}},
        {"middle", "page", "Align Middle", {10, 145, 30, 155}, {50, 150, 60, 190}, {100, 110, 140, 120}},
        {"bottom", "page", "Align Bottom", {10, 0, 30, 10}, {50, 40, 60, 80}, {100, 0, 140, 10}},
    };
    for (const Case& k : cases) {
        doc = newDocument(400, 300);
        const int64_t a = rect(10, 10, 30, 20), b = rect(50, 40, 60, 80), c = rect(100, 0, 140, 10);
        select({b, c});
        const int64_t group = run({{"op", "group"}}).made.at(0);
        select({a, group});
        ok({{"op", "align"}, {"to", k.to}, {"relative", k.relative}});
        EXPECT_EQ(doc->undoText(), std::string("Undo ") + k.undo);
        expectBox(a, k.a);
        expectBox(b, k.b);
        expectBox(c, k.c);
    }
    select({rect(0, 0, 5, 5)});
    EXPECT_NE(run({{"op", "align"}, {"to", "left"}}).error.find("needs 2 objects"), std::string::npos);
    EXPECT_NE(run({{"op", "align"}, {"to", "west"}}).error.find("\"to\" must be"), std::string::npos);
}

TEST_F(Placement, DistributeSpreadsCentresOrGapsEvenly) {
    struct Case {
        const char* axis;
        const char* by;
        const char* relative;
        float a, b, c;  // each object's low edge along the axis afterwards
    };
    // Along each axis: a 0..10, b 15..35, c 90..100 (and the same vertically).
    const Case cases[] = {
        {"horizontal", "centers", "selection", 0, 40, 90},   // centres 5, 50, 95
        {"horizontal", "spacing", "selection", 0, 40, 90},   // gaps of 30
        {"vertical", "spacing", "selection", 0, 40, 90},
        {"horizontal", "spacing", "page", 0, 190, 390},      // page 400 wide: gaps of 180
        {"vertical", "centers", "page", 0, 140, 290},        // page 300 high: centres 5, 150, 295
    };
    for (const Case& k : cases) {
        doc = newDocument(400, 300);
        const int64_t c = rect(90, 90, 100, 100), a = rect(0, 0, 10, 10), b = rect(15, 15, 35, 35);
        select({a, b, c});
        ok({{"op", "distribute"}, {"axis", k.axis}, {"by", k.by}, {"relative", k.relative}});
        const bool h = std::string(k.axis) == "horizontal";
        // The other axis keeps where each object was (its low edge 0, 15, 90).
        for (auto [id, want, kept] : {std::tuple{a, k.a, 0.f}, std::tuple{b, k.b, 15.f}, std::tuple{c, k.c, 90.f}}) {
            const AIRealRect r = box(id);
            EXPECT_NEAR(h ? r.left : r.bottom, want, 1e-3) << k.axis << " " << k.by << " " << k.relative << " art " << id;
            EXPECT_NEAR(h ? r.bottom : r.left, kept, 1e-3) << "art " << id;
        }
        EXPECT_EQ(doc->undoText(), std::string("Undo Distribute ") + (h ? "Horizontal " : "Vertical ") +
                                       (std::string(k.by) == "spacing" ? "Spacing" : "Centers"));
    }
    select({rect(0, 0, 5, 5), rect(10, 0, 15, 5)});
    EXPECT_NE(run({{"op", "distribute"}, {"axis", "horizontal"}, {"by", "centers"}}).error.find("needs 3 objects"),
              std::string::npos);
}

TEST_F(Placement, GuidesAndGridAreUndoableEditsKeptInTheFile) {
    ok({{"op", "addGuide"}, {"axis", "vertical"}, {"at", 72}});
    ok({{"op", "addGuide"}, {"axis", "horizontal"}, {"at", 100.5}});
    ok({{"op", "addGuide"}, {"axis", "vertical"}, {"at", 200}});
    ok({{"op", "moveGuide"}, {"axis", "vertical"}, {"index", 0}, {"to", 36}});
    EXPECT_EQ(doc->undoText(), "Undo Move Guide");
    ok({{"op", "deleteGuide"}, {"axis", "vertical"}, {"index", 1}});
    ok({{"op", "grid"}, {"spacing", 12}});
    EXPECT_EQ(doc->guides(), (Guides{{36}, {100.5f}, 12}));

    // Written and read back; a document without guides is written without the member.
    const std::string text = writeDocumentJson(*doc);
    EXPECT_EQ(json::parse(text)["guides"], json::parse(R"({"vertical": [36], "horizontal": [100.5], "gridSpacing": 12})"));
    std::unique_ptr<Document> back;
    std::string error;
    ASSERT_TRUE(readDocumentJson(text, back, error)) << error;
    EXPECT_EQ(back->guides(), doc->guides());
    EXPECT_FALSE(json::parse(writeDocumentJson(*newDocument())).contains("guides"));

    ASSERT_TRUE(doc->undo());  // the grid
    ASSERT_TRUE(doc->undo());  // the delete
    EXPECT_EQ(doc->guides(), (Guides{{36, 200}, {100.5f}, kDefaultGridSpacing}));
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(doc->guides().vertical, std::vector<float>{36});

    EXPECT_NE(run({{"op", "moveGuide"}, {"axis", "vertical"}, {"index", 3}, {"to", 1}}).error.find("\"index\" must be from 0 to 0"),
              std::string::npos);
    EXPECT_NE(run({{"op", "deleteGuide"}, {"axis", "diagonal"}, {"index", 0}}).error.find("\"axis\" must be"), std::string::npos);
    EXPECT_NE(run({{"op", "grid"}, {"spacing", 0}}).error.find("\"spacing\" must be from 1"), std::string::npos);
    for (const char* bad : {R"({"vertical": ["a"]})", R"({"horizontal": [1e9]})", R"({"gridSpacing": 0})", R"({"snap": 1})", "[]"}) {
        const std::string file = R"({"format": "easel-document", "version": 1, "page": {"width": 10, "height": 10},
            "layers": [], "guides": )" + std::string(bad) + "}";
        EXPECT_FALSE(readDocumentJson(file, back, error)) << bad;
        EXPECT_NE(error.find("guides"), std::string::npos) << error;
    }
}

}  // namespace
