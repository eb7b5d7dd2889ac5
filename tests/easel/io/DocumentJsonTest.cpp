#include <gtest/gtest.h>

#include <string>

#include "model/Document.h"
#include "io/json/DocumentJson.h"

namespace easel {
namespace {

std::string minimal(const std::string& art) {
    return R"({"format": "easel-document", "version": 1, "seed": 1, "page": {"width": 612, "height": 792},
               "layers": [{"name": "Layer 1", "visible": true, "locked": false, "art": [)" +
           art + "]}]}";
}

const char* kSquare =
    R"({"id": 7, "type": "path", "selected": true, "closed": true,
        "segments": [[0, 0, 0, 0, 0, 0, 1], [10, 0, 10, 0, 10, 0, 1], [10, 10, 10, 10, 10, 10, 1]],
        "fill": {"paint": true, "color": {"kind": "cmyk", "values": [0.1, 0.2, 0.3, 0.4]}},
        "stroke": {"paint": true, "color": {"kind": "gray", "values": [1]}, "width": 2.5},
        "opacity": 0.5, "blend": "color-dodge", "tags": {"brivane": "brivane", "weight": 1.5}})";

class DocumentJsonTest : public ::testing::Test {
protected:
    std::unique_ptr<Document> read(const std::string& text) {
        std::unique_ptr<Document> doc;
        std::string error;
        EXPECT_TRUE(readDocumentJson(text, doc, error)) << error;
        return doc;
    }
    std::string errorOf(const std::string& text) {
        std::unique_ptr<Document> doc;
        std::string error;
        EXPECT_FALSE(readDocumentJson(text, doc, error));
        EXPECT_EQ(doc, nullptr);
        return error;
    }
};

TEST_F(DocumentJsonTest, ReadsTheDocumentContract) {
    auto doc = read(minimal(kSquare));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->layerCount(), 1u);
    const Art* a = doc->bottomLayer()->firstArt();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->id(), 7);
    EXPECT_EQ(a->type(), kPathArt);
    EXPECT_TRUE(a->selected());
    EXPECT_TRUE(a->closed());
    ASSERT_EQ(a->segmentCount(), 3u);
    EXPECT_EQ(a->segment(2).p.v, 10);
    EXPECT_TRUE(a->segment(2).corner);
    EXPECT_EQ(a->segmentSelection(1), kSegmentPointSelected);
    EXPECT_EQ(a->style().fill.color.kind, kFourColor);
    EXPECT_EQ(a->style().fill.color.c[3], 0.4f);
    EXPECT_EQ(a->style().stroke.width, 2.5f);
    EXPECT_EQ(a->opacity(), 0.5f);
    EXPECT_EQ(a->blendMode(), 6);
    ASSERT_NE(a->findTag("weight"), nullptr);
    EXPECT_TRUE(a->findTag("weight")->isReal);
    EXPECT_EQ(a->findTag("brivane")->text, "brivane");
    // Without a swatch list the document gets the default one.
    EXPECT_GE(doc->swatchCount(), 24u);
    // Loading is not a step of its own.
    EXPECT_FALSE(doc->canUndo());
    // New art continues after the highest stored id.
    Art* n = nullptr;
    ASSERT_EQ(doc->newArt(kPathArt, kPlaceAboveAll, nullptr, &n), kNoErr);
    EXPECT_EQ(n->id(), 8);
}

TEST_F(DocumentJsonTest, RoundTripIsIdentical) {
    auto doc = read(minimal(std::string(kSquare) + R"(,
        {"id": 3, "type": "group", "selected": false, "clipped": true, "opacity": 1, "blend": "normal", "children": [
          {"id": 4, "type": "text", "selected": false, "text": "Hello", "fontSize": 18,
           "matrix": [1, 0, 0, 1, 50, 60], "fill": {"paint": true, "color": {"kind": "rgb", "values": [1, 0, 0]}},
           "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "opacity": 1, "blend": "normal"},
          {"id": 5, "type": "image", "selected": false, "href": "a.png", "width": 20, "height": 10,
           "matrix": [2, 0, 0, 2, 0, 0], "opacity": 1, "blend": "multiply"},
          {"id": 6, "type": "symbol", "selected": false, "symbol": "Star", "width": 5, "height": 5,
           "matrix": [1, 0, 0, 1, 0, 0], "opacity": 1, "blend": "normal", "future": {"keep": [1, "two"]}}]},
        {"id": 9, "type": "envelope", "selected": false,
         "warp": {"style": 3, "bend": 0.5, "horizontal": -0.25, "vertical": 0, "rotate90": true},
         "opacity": 1, "blend": "luminosity", "children": [
          {"id": 10, "type": "path", "selected": true, "closed": false,
           "segments": [[0, 0, -1, -1, 1, 1, 0], [5, 5, 4, 4, 6, 6, 0], [9, 0, 9, 0, 9, 0, 1]],
           "selectedSegments": [0, [2, 6]], "opacity": 1, "blend": "normal"}]})"));
    ASSERT_TRUE(doc);
    const std::string first = writeDocumentJson(*doc);
    auto again = read(first);
    ASSERT_TRUE(again);
    EXPECT_EQ(writeDocumentJson(*again), first);
    // Unknown attributes are kept; text, image, symbol and envelope data too.
    EXPECT_NE(first.find("\"future\""), std::string::npos);
    const Art* env = again->findById(9);
    ASSERT_NE(env, nullptr);
    EXPECT_EQ(env->warp().style, 3);
    EXPECT_TRUE(env->warp().rotate90);
    const Art* path = again->findById(10);
    EXPECT_EQ(path->segmentSelection(0), kSegmentPointSelected);
    EXPECT_EQ(path->segmentSelection(1), kSegmentNotSelected);
    EXPECT_EQ(path->segmentSelection(2), kSegmentInSelected | kSegmentOutSelected);
    EXPECT_EQ(again->findById(4)->object().text, "Hello");
    EXPECT_EQ(again->findById(4)->objectMatrix().tx, 50);
    EXPECT_EQ(again->findById(5)->object().href, "a.png");
    EXPECT_EQ(again->findById(6)->object().symbol, "Star");
    EXPECT_TRUE(again->findById(3)->clipped());
    EXPECT_FALSE(again->findById(9)->clipped());
}

TEST_F(DocumentJsonTest, NewDocumentRoundTripsAndKeepsSwatches) {
    auto doc = newDocument(300, 200);
    doc->setSeed(42);
    Art* r = nullptr;
    ASSERT_EQ(doc->newRect(10, 0, 0, 10, false, &r), kNoErr);
    ASSERT_EQ(doc->setOpacity(r, 0.1f), kNoErr);
    const std::string text = writeDocumentJson(*doc);
    auto back = read(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->seed(), 42);
    EXPECT_EQ(back->width(), 300);
    ASSERT_EQ(back->swatchCount(), doc->swatchCount());
    for (size_t i = 0; i < doc->swatchCount(); ++i) {
        EXPECT_EQ(back->swatch(i)->name, doc->swatch(i)->name);
        EXPECT_TRUE(sameColor(back->swatch(i)->color, doc->swatch(i)->color)) << i;
    }
    // Floats are written as the shortest text that reads back exactly.
    EXPECT_NE(text.find("\"opacity\": 0.1,"), std::string::npos);
    EXPECT_EQ(writeDocumentJson(*back), text);
}

TEST_F(DocumentJsonTest, EveryColourKind) {
    auto doc = read(R"({"format": "easel-document", "version": 1, "page": {"width": 10, "height": 10},
        "swatches": [
          {"name": "g", "color": {"kind": "gray", "values": [0.5]}},
          {"name": "c", "color": {"kind": "cmyk", "values": [1, 0.5, 0.25, 2]}},
          {"name": "r", "color": {"kind": "rgb", "values": [0.25, 0.5, -1]}},
          {"name": "p", "color": {"kind": "pattern", "ref": 2}},
          {"name": "d", "color": {"kind": "gradient", "ref": 3}},
          {"name": "s", "color": {"kind": "spot", "ref": 4, "values": [0.75]}},
          {"name": "n", "color": {"kind": "none"}}],
        "layers": []})");
    ASSERT_TRUE(doc);
    // Per swatch: its kind, one component with its value (kept unclamped) and its reference.
    const struct { ASInt32 kind; int component; float value; int ref; } want[] = {
        {kGrayColor, 0, 0.5f, 0}, {kFourColor, 3, 2.0f, 0}, {kThreeColor, 2, -1.0f, 0}, {kPatternColor, 0, 0.0f, 2},
        {kGradientColor, 0, 0.0f, 3}, {kCustomColor, 0, 0.75f, 4}, {kNoneColor, 0, 0.0f, 0}};
    ASSERT_EQ(doc->swatchCount(), 7u);
    auto back = read(writeDocumentJson(*doc));
    ASSERT_TRUE(back);
    for (size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(doc->swatch(i)->name);
        const AIColor& c = doc->swatch(i)->color;
        EXPECT_EQ(c.kind, want[i].kind);
        EXPECT_EQ(c.c[want[i].component], want[i].value);
        EXPECT_EQ(c.ref, want[i].ref);
        EXPECT_TRUE(sameColor(back->swatch(i)->color, c));
    }
}

TEST_F(DocumentJsonTest, WritingAppliesPendingMatrices) {
    auto doc = newDocument();
    Art* r = nullptr;
    ASSERT_EQ(doc->newRect(10, 0, 0, 10, false, &r), kNoErr);
    Art* copy = nullptr;
    ASSERT_EQ(doc->duplicateArt(r, kPlaceAboveAll, nullptr, &copy), kNoErr);
    ASSERT_EQ(doc->transformArt(copy, AIRealMatrix{2, 0, 0, 2, 100, 0}, 1, kTransformObjects), kNoErr);
    auto back = read(writeDocumentJson(*doc));
    ASSERT_TRUE(back);
    const Art* c = back->findById(copy->id());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->segment(2).p.h, 120);
    EXPECT_EQ(c->segment(2).p.v, 0);
    EXPECT_EQ(c->segment(0).p.v, 20);
}

TEST_F(DocumentJsonTest, HiddenAndLockedLayersAreRestored) {
    auto doc = read(R"({"format": "easel-document", "version": 1, "page": {"width": 10, "height": 10},
        "layers": [{"name": "Back", "visible": false, "locked": true, "art": [
                      {"id": 1, "type": "path", "segments": [[0, 0, 0, 0, 0, 0, 1]]}]},
                   {"name": "Front", "art": []}]})");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->layerCount(), 2u);
    EXPECT_EQ(doc->bottomLayer()->name(), "Back");
    EXPECT_FALSE(doc->bottomLayer()->visible());
    EXPECT_TRUE(doc->bottomLayer()->locked());
    EXPECT_NE(doc->bottomLayer()->firstArt(), nullptr);
    EXPECT_EQ(doc->topLayer()->name(), "Front");
}

struct Malformed {
    const char* name;
    std::string text;
    std::string message;
};

class MalformedDocumentTest : public DocumentJsonTest, public ::testing::WithParamInterface<Malformed> {};

TEST_P(MalformedDocumentTest, IsRefusedWithAMessageNamingThePlace) {
    const std::string error = errorOf(GetParam().text);
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << "got: " << error;
}

std::string path(const std::string& extra) {
    return R"({"id": 1, "type": "path", "segments": [[0, 0, 0, 0, 0, 0, 1]])" + extra + "}";
}

std::string deep(int levels) {
    std::string s;
    for (int i = 0; i < levels; ++i) s += R"({"type": "group", "children": [)";
    for (int i = 0; i < levels; ++i) s += "]}";
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, MalformedDocumentTest,
    ::testing::Values(
        Malformed{"NotJson", "{\"format\": ", "not valid JSON"},
        Malformed{"NotAnObject", "[1, 2]", "expected a JSON object"},
        Malformed{"WrongFormat", R"({"format": "svg", "version": 1})", "format: expected \"easel-document\""},
        Malformed{"WrongVersion",
                  R"({"format": "easel-document", "version": 2, "page": {"width": 1, "height": 1}, "layers": []})",
                  "version: unsupported version 2"},
        Malformed{"LayerSvgNotAnObject",
                  R"({"format": "easel-document", "version": 1, "page": {"width": 1, "height": 1}, "layers": [{"svg": 1}]})",
                  "layers[0].svg: expected an object"},
        Malformed{"MissingLayers", R"({"format": "easel-document", "version": 1, "page": {"width": 1, "height": 1}})",
                  "missing \"layers\""},
        Malformed{"NegativePage",
                  R"({"format": "easel-document", "version": 1, "page": {"width": -1, "height": 1}, "layers": []})",
                  "page.width: must be positive"},
        Malformed{"ShortSegment",
                  minimal(std::string(R"({"type": "group"}, {"type": "group"}, {"type": "group"},)") +
                          R"({"type": "path", "segments": [[0,0,0,0,0,0,1], [1,1,1,1,1,1,1], [2, 2, 2]]})"),
                  "layers[0].art[3].segments[2]: expected 7 numbers"},
        Malformed{"StringInSegment", minimal(R"({"type": "path", "segments": [[0, 0, 0, "x", 0, 0, 1]]})"),
                  "layers[0].art[0].segments[0]: expected 7 numbers"},
        Malformed{"Infinity", minimal(R"({"type": "path", "segments": [[0, 0, 0, 1e999, 0, 0, 1]]})"),
                  "not valid JSON: [json.exception.out_of_range.406] number overflow"},
        Malformed{"HugeNumber", minimal(path(R"(, "opacity": 1e300)")), "layers[0].art[0].opacity: number out of range"},
        Malformed{"ClippedPath", minimal(path(R"(, "clipped": true)")), "layers[0].art[0].clipped: only a group can be clipped"},
        Malformed{"SelectedNotBool", minimal(path(R"(, "selected": "yes")")),
                  "layers[0].art[0].selected: expected true or false"},
        Malformed{"UnknownType", minimal(R"({"type": "blob"})"), "layers[0].art[0].type: unknown art type \"blob\""},
        Malformed{"MissingType", minimal(R"({"id": 3})"), "layers[0].art[0]: missing \"type\""},
        Malformed{"UnknownColourKind",
                  minimal(path(R"(, "fill": {"paint": true, "color": {"kind": "lab", "values": [1]}})")),
                  "layers[0].art[0].fill.color.kind: unknown colour kind \"lab\""},
        Malformed{"ShortColour",
                  minimal(path(R"(, "stroke": {"paint": true, "color": {"kind": "rgb", "values": [1, 0]}})")),
                  "layers[0].art[0].stroke.color.values: expected 3 numbers"},
        Malformed{"UnknownBlend", minimal(path(R"(, "blend": "plus")")), "layers[0].art[0].blend: unknown blend mode"},
        Malformed{"ChildrenOfAPath", minimal(path(R"(, "children": [])")),
                  "layers[0].art[0].children: only groups, compound paths and envelopes have children"},
        Malformed{"BadChild", minimal(R"({"type": "group", "children": [{"type": "path"}, 5]})"),
                  "layers[0].art[0].children[1]: expected an art object"},
        Malformed{"DuplicateId", minimal(path("") + "," + path("")), "layers[0].art[1].id: duplicate id 1"},
        Malformed{"BadSelectedSegment", minimal(path(R"(, "selected": true, "selectedSegments": [4])")),
                  "layers[0].art[0].selectedSegments[0]: expected an integer from 0 to 0"},
        Malformed{"TooManySegments",
                  minimal([] {
                      std::string s = R"({"type": "path", "segments": [)";
                      for (int i = 0; i < 32001; ++i) s += std::string(i ? "," : "") + "[0,0,0,0,0,0,0]";
                      return s + "]}";
                  }()),
                  "layers[0].art[0].segments: more than 32000 segments"},
        Malformed{"DeepArt", minimal(deep(70)), "nested deeper than 64 levels"},
        Malformed{"DeepText", std::string(100000, '['), "nested deeper than 512 levels"},
        Malformed{"HugeFontSize", minimal(R"({"type": "text", "text": "A", "fontSize": 3e38})"),
                  "layers[0].art[0].fontSize: font size past 10000 points (the limit)"},
        Malformed{"DeepKeptMember", minimal(path(R"(, "svg": )" + std::string(300, '[') + std::string(300, ']'))),
                  "layers[0].art[0]: members easel keeps unread nested deeper than 256 levels (the limit)"},
        Malformed{"TooManyStops",
                  [] {
                      std::string stops;
                      for (int i = 0; i < 1001; ++i)
                          stops += std::string(i ? "," : "") + R"({"offset": 0, "color": {"kind": "gray", "values": [0]}})";
                      std::string d = minimal("");
                      return d.insert(d.find(R"("layers")"), R"("gradients": [{"type": "linear", "coords": [0, 0, 1, 0], "stops": [)" +
                                                                  stops + "]}], ");
                  }(),
                  "gradients[0].stops: more than 1000 stops (the limit of a gradient)"},
        Malformed{"BadWarpStyle", minimal(R"({"type": "envelope", "warp": {"style": 40}})"),
                  "layers[0].art[0].warp.style: expected an integer from 0 to 15"},
        // Kept SVG material of the wrong type.
        Malformed{"KeptTextNotAString", minimal(path(R"(, "svgText": {"text": 5})")),
                  "layers[0].art[0].svgText.text must be a string, found 5"},
        Malformed{"KeptPaintColourANumber", minimal(path(R"(, "svgPaint": {"fill": {"color": 5}})")),
                  "layers[0].art[0].svgPaint.fill.color must be a string, found 5"},
        Malformed{"KeptSpanOrigin", minimal(path(R"(, "svgText": {"origin": [0, "1"]})")),
                  "layers[0].art[0].svgText.origin[1] must be a number, found \"1\""},
        Malformed{"KeptAttributeNotAString", minimal(path(R"(, "svg": {"id": true})")),
                  "layers[0].art[0].svg.id must be a string, found true"},
        Malformed{"KeptElementsNotAnObject", minimal(path(R"(, "svgKept": "<title/>")")),
                  "layers[0].art[0].svgKept must be an object"},
        Malformed{"DocumentElementsNotText",
                  R"({"format": "easel-document", "version": 1, "page": {"width": 1, "height": 1},
                      "svg": {"elements": ["<metadata/>"]}, "layers": []})",
                  "svg.elements must be a string, found [\"<metadata/>\"]"},
        Malformed{"LayerAttributesNotStrings",
                  R"({"format": "easel-document", "version": 1, "page": {"width": 1, "height": 1},
                      "layers": [{"svg": {"attributes": {"class": 1}}}]})",
                  "layers[0].svg.attributes.class must be a string, found 1"}),
    [](const ::testing::TestParamInfo<Malformed>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace easel
