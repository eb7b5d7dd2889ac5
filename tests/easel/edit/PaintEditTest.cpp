// The paint edits: colours keeping their kind, gradients, stroke style with
// dashes and arrowheads, swatches, the eyedropper and swapping paint.
#include <gtest/gtest.h>

#include "edit/Edit.h"
#include "io/json/DocumentJson.h"
#include "io/svg/SvgExport.h"

using namespace easel;
using edit::json;

namespace {

struct Paint : ::testing::Test {
    std::unique_ptr<Document> doc = newDocument(400, 400);
    edit::Clipboard clipboard;
    int64_t id = 0;

    void SetUp() override { id = ok(R"({"op": "create", "shape": "line", "from": [10, 20], "to": [110, 20]})").at(0); }
    std::vector<int64_t> ok(const std::string& text) {
        edit::Outcome r = edit::run(*doc, clipboard, json::parse(text));
        EXPECT_EQ(r.error, "") << text;
        return r.made;
    }
    std::string refused(const std::string& text) { return edit::run(*doc, clipboard, json::parse(text)).error; }
    const AIPathStyle& style() { return doc->findById(id)->style(); }
    // The art and swatches (gradient paints are only ever added, undo or not).
    json contents() {
        const json j = json::parse(writeDocumentJson(*doc));
        return {j["layers"], j["swatches"]};
    }
    // Runs an edit, checks the undo step's name, undoes it and checks the
    // document is as before, then redoes it.
    void undoable(const std::string& text, const std::string& undoName) {
        const json before = contents();
        ok(text);
        EXPECT_EQ(doc->undoText(), "Undo " + undoName) << text;
        ASSERT_TRUE(doc->undo());
        EXPECT_EQ(contents(), before) << text;
        ASSERT_TRUE(doc->redo());
    }
    // A refused edit names the fault and changes nothing.
    void refusedUnchanged(const std::string& text, const std::string& fault) {
        const std::string before = writeDocumentJson(*doc);
        EXPECT_NE(refused(text).find(fault), std::string::npos) << text << ": " << refused(text);
        EXPECT_EQ(writeDocumentJson(*doc), before) << text;
    }
};

}  // namespace

TEST_F(Paint, AColourKeepsItsKindAndValues) {
    struct Case {
        const char* color;
        int32_t kind;
        float values[4];
    };
    const Case cases[] = {{R"({"kind": "cmyk", "values": [0.1, 0.2, 0.3, 0.4]})", kFourColor, {0.1f, 0.2f, 0.3f, 0.4f}},
                          {R"({"kind": "gray", "values": [0.25]})", kGrayColor, {0.25f, 0, 0, 0}},
                          {R"({"kind": "rgb", "values": [1, 0.5, 0]})", kThreeColor, {1, 0.5f, 0, 0}}};
    for (const Case& c : cases) {
        undoable(std::string(R"({"op": "style", "stroke": )") + c.color + "}", "Stroke");
        EXPECT_EQ(style().stroke.color.kind, c.kind) << c.color;
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(style().stroke.color.c[i], c.values[i]) << c.color;
    }
}

TEST_F(Paint, AGradientStartsFromTheColourAndLiesAcrossTheSelection) {
    ok(R"({"op": "style", "stroke": {"kind": "cmyk", "values": [0, 1, 0, 0]}})");
    undoable(R"({"op": "gradient", "target": "stroke"})", "Gradient");
    const AIColor& c = style().stroke.color;
    ASSERT_EQ(c.kind, kGradientColor);
    const Gradient& g = *doc->gradientPaint(c.ref)->gradient;
    EXPECT_FALSE(g.radial);
    EXPECT_EQ((std::vector<float>{g.coords[0], g.coords[1], g.coords[2], g.coords[3]}), (std::vector<float>{10, 20, 110, 20}));
    ASSERT_EQ(g.stops.size(), 2u);
    EXPECT_EQ(g.stops[0].color.kind, kFourColor);
    EXPECT_FLOAT_EQ(g.stops[0].color.c[1], 1);
    EXPECT_EQ(g.stops[1].color.kind, kThreeColor);

    ok(R"({"op": "gradient", "type": "radial", "center": [50, 60], "radius": 30,
           "stops": [{"offset": 0, "color": {"kind": "gray", "values": [0.5]}, "opacity": 0.5},
                     {"offset": 0.4, "color": {"swatch": "Black"}}, {"offset": 1, "color": {"kind": "rgb", "values": [0, 0, 1]}}]})");
    const Gradient& r = *doc->gradientPaint(style().fill.color.ref)->gradient;
    EXPECT_TRUE(r.radial && style().fillPaint);
    EXPECT_EQ((std::vector<float>{r.coords[0], r.coords[1], r.coords[2]}), (std::vector<float>{50, 60, 30}));
    EXPECT_EQ(r.stops.size(), 3u);
    EXPECT_FLOAT_EQ(r.stops[0].opacity, 0.5f);
    EXPECT_FLOAT_EQ(r.stops[1].offset, 0.4f);
}

TEST_F(Paint, GradientStopsAndEndsAreChecked) {
    const std::string red = R"("color": {"kind": "rgb", "values": [1, 0, 0]})";
    const std::pair<std::string, std::string> cases[] = {
        {R"("stops": [{"offset": 0, )" + red + "}]", "2 to 1000 stops"},
        {R"("stops": [{"offset": 0.6, )" + red + R"(}, {"offset": 0.5, )" + red + "}]", "offsets never decrease"},
        {R"("stops": [{"offset": 0, )" + red + R"(}, {"offset": 1.5, )" + red + "}]", "offset must be from 0 to 1"},
        {R"("stops": [{"offset": 0, "color": "none"}, {"offset": 1, )" + red + "}]", "not \"none\""},
        {R"("stops": [{"offset": 0, )" + red + R"(, "opacity": 2}, {"offset": 1, )" + red + "}]", "opacity must be from 0 to 1"},
        {R"("from": [5, 5], "to": [5, 5])", "two different ends"},
        {R"("type": "radial", "from": [5, 5])", "is for linear gradients"},
        {R"("type": "radial", "radius": 0)", "radius\" must be from"},
    };
    for (const auto& [args, fault] : cases) refusedUnchanged(R"({"op": "gradient", )" + args + "}", fault);
}

TEST_F(Paint, StrokeStyleIsSetAndDashesAreChecked) {
    undoable(R"({"op": "stroke", "dash": [6, 3], "dashOffset": 2})", "Dash");
    EXPECT_EQ(style().stroke.dashCount, 2);
    EXPECT_FLOAT_EQ(style().stroke.dash[1], 3);
    EXPECT_FLOAT_EQ(style().stroke.dashOffset, 2);
    undoable(R"({"op": "stroke", "cap": "round"})", "Cap");
    undoable(R"({"op": "stroke", "join": "bevel", "miterLimit": 8})", "Stroke Style");
    EXPECT_EQ(style().stroke.cap, kRoundCap);
    EXPECT_EQ(style().stroke.join, kBevelJoin);
    ok(R"({"op": "stroke", "dash": []})");
    EXPECT_EQ(style().stroke.dashCount, 0);
    const std::pair<const char*, const char*> cases[] = {
        {R"({"op": "stroke", "dash": [4, -1]})", "must be from 0"},
        {R"({"op": "stroke", "dash": [0, 0]})", "all 0"},
        {R"({"op": "stroke", "dash": [1, 2, 3, 4, 5, 6, 7]})", "at most 6"},
        {R"({"op": "stroke", "cap": "flat"})", "cap"},
        {R"({"op": "stroke", "end": "star"})", "end"},
        {R"({"op": "stroke"})", "give"},
    };
    for (const auto& [text, fault] : cases) refusedUnchanged(text, fault);
}

TEST_F(Paint, ArrowheadsAreSvgMarkersInTheStrokesColour) {
    ok(R"({"op": "style", "stroke": {"kind": "rgb", "values": [1, 0, 0]}})");
    undoable(R"({"op": "stroke", "start": "circle", "end": "triangle"})", "Arrowheads");
    Art* a = doc->findById(id);
    EXPECT_EQ(edit::arrowOf(*a, true), "circle");
    EXPECT_EQ(edit::arrowOf(*a, false), "triangle");
    std::string svg = writeSvg(*doc);
    EXPECT_NE(svg.find(R"x(marker-end="url(#easel-arrow-triangle-end-ff0000)")x"), std::string::npos) << svg;
    EXPECT_NE(svg.find(R"(<marker id="easel-arrow-triangle-end-ff0000")"), std::string::npos) << svg;
    // The heads follow a new stroke colour, and survive the document file.
    ok(R"({"op": "style", "stroke": {"kind": "gray", "values": [1]}})");
    svg = writeSvg(*doc);
    EXPECT_NE(svg.find("easel-arrow-circle-start-000000"), std::string::npos);
    EXPECT_EQ(svg.find("ff0000"), std::string::npos);
    std::unique_ptr<Document> back;
    std::string error;
    ASSERT_TRUE(readDocumentJson(writeDocumentJson(*doc), back, error)) << error;
    EXPECT_EQ(edit::arrowOf(*back->findById(id), false), "triangle");
    ok(R"({"op": "stroke", "start": "none", "end": "none"})");
    EXPECT_EQ(doc->findById(id)->extra(), "");
}

TEST_F(Paint, SwatchesAreAddedRenamedAndRemovedAsUndoSteps) {
    const size_t n = doc->swatchCount();
    undoable(R"({"op": "swatch", "action": "add", "name": "Brick", "color": {"kind": "cmyk", "values": [0, 0.7, 0.8, 0.2]}})",
             "Add Swatch");
    ASSERT_EQ(doc->swatchCount(), n + 1);
    EXPECT_EQ(doc->swatch(n)->color.kind, kFourColor);
    undoable(R"({"op": "swatch", "action": "rename", "name": "Brick", "to": "Clay"})", "Rename Swatch");
    EXPECT_EQ(doc->swatch(n)->name, "Clay");
    ok(R"({"op": "style", "fill": {"swatch": "Clay"}})");
    undoable(R"({"op": "swatch", "action": "remove", "name": "Clay"})", "Delete Swatch");
    EXPECT_EQ(doc->swatchCount(), n);
    const std::pair<const char*, const char*> cases[] = {
        {R"({"op": "swatch", "action": "add", "name": "White", "color": {"kind": "gray", "values": [0]}})", "already"},
        {R"({"op": "swatch", "action": "add", "name": "Nothing", "color": "none"})", "not \"none\""},
        {R"({"op": "swatch", "action": "remove", "name": "[None]"})", "stays"},
        {R"({"op": "swatch", "action": "remove", "name": "Clay"})", "no swatch named"},
        {R"({"op": "swatch", "action": "rename", "name": "White", "to": "Black"})", "already"},
    };
    for (const auto& [text, fault] : cases) refusedUnchanged(text, fault);
}

TEST_F(Paint, TheEyedropperAndSwapMovePaintAndWidth) {
    const int64_t source = ok(R"({"op": "create", "shape": "rectangle", "from": [0, 0], "to": [5, 5], "strokeWidth": 7,
                                  "fill": {"kind": "gray", "values": [0.3]}, "stroke": "none"})").at(0);
    ok(R"({"op": "stroke", "dash": [2, 2]})");
    ok(R"({"op": "select", "ids": [)" + std::to_string(id) + "]}");
    undoable(R"({"op": "eyedropper", "from": )" + std::to_string(source) + "}", "Eyedropper");
    EXPECT_TRUE(style().fillPaint);
    EXPECT_FLOAT_EQ(style().fill.color.c[0], 0.3f);
    EXPECT_FALSE(style().strokePaint);
    EXPECT_FLOAT_EQ(style().stroke.width, 7);
    EXPECT_EQ(style().stroke.dashCount, 2);
    undoable(R"({"op": "swapPaint"})", "Swap Fill and Stroke");
    EXPECT_FALSE(style().fillPaint);
    EXPECT_TRUE(style().strokePaint);
    EXPECT_EQ(style().stroke.color.kind, kGrayColor);
    refusedUnchanged(R"({"op": "eyedropper", "from": 999})", "no art with id 999");
}
