#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "io/json/DocumentJson.h"
#include "edit/Edit.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

using namespace easel;
using edit::json;

namespace {

struct Fixture {
    std::unique_ptr<Document> doc = newDocument(400, 400);
    edit::Clipboard clipboard;

    // Runs an edit; the test fails with the message when it is refused.
    std::vector<int64_t> ok(const std::string& text) {
        edit::Outcome r = edit::run(*doc, clipboard, json::parse(text));
        EXPECT_EQ(r.error, "") << text;
        if (r.replaced) doc = std::move(r.replaced);
        return r.made;
    }
    std::string refused(const std::string& text) { return edit::run(*doc, clipboard, json::parse(text)).error; }
    int64_t square(float left, float bottom, float size = 10) {
        return ok(R"({"op": "create", "shape": "rectangle", "from": [)" + std::to_string(left) + "," +
                  std::to_string(bottom) + "], \"to\": [" + std::to_string(left + size) + "," +
                  std::to_string(bottom + size) + "]}")
            .at(0);
    }
    Art* art(int64_t id) { return doc->findById(id); }
    AIRealRect bounds(int64_t id) {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(art(id), &r), kNoErr);
        return r;
    }
    std::vector<int64_t> order() {
        std::vector<int64_t> ids;
        for (const Art* a = doc->currentLayer()->firstArt(); a; a = a->next()) ids.push_back(a->id());
        return ids;
    }
};

// The document without what is selected: undo and redo restore contents,
// and the selection each step left.
json contents(const Document& doc) {
    json j = json::parse(writeDocumentJson(doc));
    std::function<void(json&)> strip = [&](json& a) {
        a.erase("selected");
        a.erase("selectedSegments");
        if (a.contains("children"))
            for (json& c : a["children"]) strip(c);
    };
    for (json& l : j["layers"])
        for (json& a : l["art"]) strip(a);
    return j;
}

void expectRect(const AIRealRect& r, float left, float bottom, float right, float top, float tol = 1e-3f) {
    EXPECT_NEAR(r.left, left, tol);
    EXPECT_NEAR(r.bottom, bottom, tol);
    EXPECT_NEAR(r.right, right, tol);
    EXPECT_NEAR(r.top, top, tol);
}

}  // namespace

TEST(EditShapes, EachShapeMakesItsOutlineSelectedOnTheCurrentLayer) {
    struct Case {
        const char* edit;
        size_t segments;
        bool closed;
        AIRealRect bounds;  // left, top, right, bottom
    };
    const Case cases[] = {
        {R"({"shape": "rectangle", "from": [30, 40], "to": [10, 20]})", 4, true, {10, 40, 30, 20}},
        {R"({"shape": "rectangle", "from": [10, 20], "to": [30, 40], "radius": 50})", 8, true, {10, 40, 30, 20}},
        {R"({"shape": "ellipse", "from": [0, 0], "to": [40, 20]})", 4, true, {0, 20, 40, 0}},
        {R"({"shape": "polygon", "center": [100, 100], "radius": 10, "sides": 4})", 4, true, {90, 110, 110, 90}},
        {R"({"shape": "star", "center": [0, 0], "radius": 10, "inner": 4, "points": 5})", 10, true,
         {-9.5106f, 10, 9.5106f, -8.0902f}},
        {R"({"shape": "line", "from": [0, 0], "to": [10, 5]})", 2, false, {0, 5, 10, 0}},
        {R"({"shape": "pen", "anchors": [[0, 0], [10, 0, 5, 0, 10, 5], [10, 10]], "closed": true})", 3, true,
         {0, 10, 10, 0}},
    };
    for (const Case& c : cases) {
        Fixture f;
        json e = json::parse(c.edit);
        e["op"] = "create";
        const auto made = f.ok(e.dump());
        ASSERT_EQ(made.size(), 1u) << c.edit;
        Art* a = f.art(made[0]);
        EXPECT_EQ(a->segmentCount(), c.segments) << c.edit;
        EXPECT_EQ(a->closed(), c.closed) << c.edit;
        EXPECT_TRUE(a->selected());
        expectRect(f.bounds(made[0]), c.bounds.left, c.bounds.bottom, c.bounds.right, c.bounds.top);
        EXPECT_EQ(f.doc->undoText(), "Undo Create");
    }
}

TEST(EditShapes, APencilStrokeBecomesFewCurvesThatStayNearItsPoints) {
    std::vector<AIRealPoint> pts;
    for (int i = 0; i <= 100; ++i) {
        const double t = i * 3.14159265 / 100;
        pts.push_back({static_cast<float>(100 * std::cos(t)), static_cast<float>(100 * std::sin(t))});
    }
    const auto segs = edit::fitPoints(pts, 1);
    ASSERT_GE(segs.size(), 2u);
    EXPECT_LE(segs.size(), 6u);
    EXPECT_FLOAT_EQ(segs.front().p.h, 100);
    EXPECT_NEAR(segs.back().p.h, -100, 1e-3);
    // Every sample lies within the tolerance of the fitted path.
    for (const AIRealPoint& p : pts) {
        double best = 1e9;
        for (size_t i = 0; i + 1 < segs.size(); ++i)
            for (int k = 0; k <= 200; ++k) {
                const double t = k / 200.0, s = 1 - t;
                const auto& a = segs[i];
                const auto& b = segs[i + 1];
                auto bez = [&](double p0, double p1, double p2, double p3) {
                    return s * s * s * p0 + 3 * s * s * t * p1 + 3 * s * t * t * p2 + t * t * t * p3;
                };
                const double h = bez(a.p.h, a.out.h, b.in.h, b.p.h), v = bez(a.p.v, a.out.v, b.in.v, b.p.v);
                best = std::min(best, std::hypot(h - double{p.h}, v - double{p.v}));
            }
        EXPECT_LE(best, 1.05) << p.h << "," << p.v;
    }
}

TEST(EditRefusals, BadInputChangesNothingAndSaysWhy) {
    struct Case {
        const char* edit;
        const char* message;  // a part of the message
    };
    const Case cases[] = {
        {R"({"op": "create", "shape": "rectangle", "from": [0, 0], "to": [0, 10]})", "needs a width and a height"},
        {R"({"op": "create", "shape": "pen", "anchors": [[5, 5], [5, 5]]})", "two different anchor points"},
        {R"({"op": "create", "shape": "pencil", "points": [[1, 1]]})", "two different points"},
        {R"({"op": "create", "shape": "star", "center": [0, 0], "radius": 5, "points": 2})", "\"points\" must be from 3 to 1000"},
        {R"({"op": "create", "shape": "line", "from": [0, 1e12], "to": [0, 0]})", "must be from -1e+07 to 1e+07"},
        {R"({"op": "create", "shape": "blob"})", "\"shape\" must be one of"},
        {R"({"op": "create", "shape": "ellipse", "from": [0, 0], "to": [5, 5], "fill": {"kind": "rgb", "values": [2, 0, 0]}})",
         "\"fill\".values[0] must be from 0 to 1"},
        {R"({"op": "style", "opacity": 0.5})", "nothing is selected"},
        {R"({"op": "select", "ids": [99]})", "no art with id 99"},
        {R"({"op": "move", "by": [1, 1], "speed": 3})", "unknown argument \"speed\""},
        {R"({"op": "explode"})", "unknown edit \"explode\""},
        {R"({"op": "deleteLayer", "layer": "Layer 1"})", "at least one layer"},
        {R"({"op": "paste"})", "clipboard is empty"},
    };
    for (const Case& c : cases) {
        Fixture f;
        const std::string before = writeDocumentJson(*f.doc);
        const std::string message = f.refused(c.edit);
        EXPECT_NE(message.find(c.message), std::string::npos) << c.edit << " -> " << message;
        EXPECT_EQ(writeDocumentJson(*f.doc), before) << c.edit;
        EXPECT_FALSE(f.doc->canUndo()) << c.edit;
    }
}

TEST(EditRefusals, EditsThatWouldLeaveTheDrawingAreaAreTakenBackWhole) {
    Fixture f;
    const int64_t a = f.square(0, 0), b = f.square(20, 0);
    f.ok(R"({"op": "select", "ids": [)" + std::to_string(a) + "," + std::to_string(b) + "]}");
    const std::string before = writeDocumentJson(*f.doc);
    EXPECT_NE(f.refused(R"({"op": "scale", "by": [10000, 10000], "origin": [-1000, 0]})").find("drawing area"), std::string::npos);
    EXPECT_NE(f.refused(R"({"op": "scale", "by": [0, 1]})").find("0.001"), std::string::npos);
    EXPECT_EQ(writeDocumentJson(*f.doc), before);
    EXPECT_EQ(f.doc->undoText(), "Undo Create");
}

TEST(EditRefusals, ArtOnALockedOrHiddenLayerCannotBeSelectedOrEdited) {
    Fixture f;
    const int64_t a = f.square(0, 0);
    f.ok(R"({"op": "renameLayer", "layer": "Layer 1", "name": "Ink"})");
    f.ok(R"({"op": "layerLocked", "layer": "Ink", "locked": true})");
    EXPECT_FALSE(f.art(a)->selected());  // locking deselects
    EXPECT_EQ(f.refused(R"({"op": "select", "ids": [)" + std::to_string(a) + "]}"),
              "select: layer \"Ink\" is locked: unlock it to edit its art");
    EXPECT_NE(f.refused(R"({"op": "create", "shape": "line", "from": [0, 0], "to": [1, 1]})").find("layer \"Ink\" is locked"),
              std::string::npos);
    f.ok(R"({"op": "layerLocked", "layer": "Ink", "locked": false})");
    f.ok(R"({"op": "layerVisible", "layer": "Ink", "visible": false})");
    EXPECT_NE(f.refused(R"({"op": "selectAll"})").find("layer \"Ink\" is hidden"), std::string::npos);
}

TEST(EditUndo, EveryEditIsOneNamedStepAndSelectingIsNone) {
    Fixture f;
    const std::string empty = writeDocumentJson(*f.doc);
    struct Case {
        const char* edit;
        const char* undo;  // "" when no step is made
    };
    const Case cases[] = {
        {R"({"op": "create", "shape": "star", "center": [100, 100], "radius": 40})", "Create"},
        {R"({"op": "create", "shape": "ellipse", "from": [200, 200], "to": [260, 240]})", "Create"},
        {R"({"op": "selectAll"})", ""},
        {R"({"op": "style", "fill": {"swatch": "RGB Red"}})", "Fill"},
        {R"({"op": "style", "stroke": "none", "opacity": 0.5})", "Style"},
        {R"({"op": "deselect"})", ""},
        {R"({"op": "select", "ids": [1]})", ""},
        {R"({"op": "move", "by": [10, -5]})", "Move"},
        {R"({"op": "rotate", "angle": 30})", "Rotate"},
        {R"({"op": "scale", "by": [2, 2], "strokes": true})", "Scale"},
        {R"({"op": "select", "ids": [2], "mode": "add"})", ""},
        {R"({"op": "group"})", "Group"},
        {R"({"op": "duplicate", "by": [5, 5]})", "Duplicate"},
        {R"({"op": "arrange", "to": "back"})", "Send to Back"},
        {R"({"op": "copy"})", ""},
        {R"({"op": "paste", "by": [20, 0]})", "Paste"},
        {R"({"op": "ungroup"})", "Ungroup"},
        {R"({"op": "selectPoints", "paths": [{"id": 8, "segments": [0, 1]}]})", ""},
        {R"({"op": "movePoints", "by": [3, 0]})", "Move Points"},
        {R"({"op": "newLayer", "name": "Top"})", "New Layer"},
        {R"({"op": "currentLayer", "layer": "Layer 1"})", ""},
        {R"({"op": "moveLayer", "layer": "Top", "to": 1})", "Move Layer"},
        {R"({"op": "layerLocked", "layer": "Top", "locked": true})", "Lock Layer"},
        {R"({"op": "cut"})", "Cut"},
        {R"({"op": "deleteLayer", "layer": "Top"})", "Delete Layer"},
    };
    std::vector<json> states;
    for (const Case& c : cases) {
        const size_t steps = f.doc->undoStepCount();
        f.ok(c.edit);
        if (*c.undo) {
            EXPECT_EQ(f.doc->undoText(), std::string("Undo ") + c.undo) << c.edit;
            EXPECT_EQ(f.doc->undoStepCount(), steps + 1) << c.edit;
            states.push_back(contents(*f.doc));
        } else {
            EXPECT_EQ(f.doc->undoStepCount(), steps) << c.edit;
        }
    }
    // Undo takes every step back to the empty page; redo brings each back.
    const json last = contents(*f.doc);
    while (f.doc->undo()) {
    }
    EXPECT_EQ(writeDocumentJson(*f.doc), empty);
    f.ok(R"({"op": "deselect"})");  // selecting keeps what Redo restores
    size_t i = 0;
    while (f.doc->redo()) {
        EXPECT_EQ(contents(*f.doc), states.at(i)) << "redo " << i;
        ++i;
    }
    EXPECT_EQ(i, states.size());
    EXPECT_EQ(contents(*f.doc), last);
}

TEST(EditArrange, StackingOrderMovesOnlyTheSelection) {
    struct Case {
        const char* to;
        std::vector<int> selected;  // indices into a, b, c, d (bottom first)
        std::vector<int> order;
    };
    const Case cases[] = {
        {"forward", {1}, {0, 2, 1, 3}}, {"backward", {2}, {0, 2, 1, 3}}, {"front", {0, 1}, {2, 3, 0, 1}},
        {"back", {2, 3}, {2, 3, 0, 1}}, {"forward", {2, 3}, {0, 1, 2, 3}}, {"forward", {1, 2}, {0, 3, 1, 2}},
    };
    for (const Case& c : cases) {
        Fixture f;
        std::vector<int64_t> ids;
        for (int i = 0; i < 4; ++i) ids.push_back(f.square(static_cast<float>(i * 20), 0));
        json sel = json::array();
        for (int i : c.selected) sel.push_back(ids[static_cast<size_t>(i)]);
        f.ok(json{{"op", "select"}, {"ids", sel}}.dump());
        f.ok(json{{"op", "arrange"}, {"to", c.to}}.dump());
        std::vector<int64_t> want;
        for (int i : c.order) want.push_back(ids[static_cast<size_t>(i)]);
        EXPECT_EQ(f.order(), want) << c.to;
    }
}

TEST(EditStructure, GroupTakesTheTopMostPlaceAndUngroupGivesTheMembersBack) {
    Fixture f;
    const int64_t a = f.square(0, 0), b = f.square(20, 0), c = f.square(40, 0);
    f.ok(R"({"op": "select", "ids": [)" + std::to_string(a) + "," + std::to_string(c) + "]}");
    const int64_t g = f.ok(R"({"op": "group"})").at(0);
    EXPECT_EQ(f.order(), (std::vector<int64_t>{b, g}));
    EXPECT_EQ(f.art(a)->parent(), f.art(g));
    // Fill goes to the members; the group itself stays unpainted.
    f.ok(R"({"op": "style", "fill": {"kind": "gray", "values": [0.25]}})");
    EXPECT_FALSE(f.art(g)->style().fillPaint);
    EXPECT_FLOAT_EQ(f.art(c)->style().fill.color.c[0], 0.25f);
    f.ok(R"({"op": "ungroup"})");
    EXPECT_EQ(f.order(), (std::vector<int64_t>{b, a, c}));
    EXPECT_TRUE(f.art(a)->selected() && f.art(c)->selected());
    EXPECT_NE(f.refused(R"({"op": "ungroup"})").find("no group"), std::string::npos);
}

// Art nests no deeper than the model allows, however it gets there, and
// art at the deepest nesting is written and read back as JSON and as SVG.
TEST(EditStructure, NestingStopsAtTheLimitAndTheDeepestArtIsReadBack) {
    Fixture f;
    const int64_t a = f.square(0, 0);
    f.ok(R"({"op": "select", "ids": [)" + std::to_string(a) + "]}");
    for (int i = 0; i < kMaxArtNesting; ++i) f.ok(R"({"op": "group"})");
    const std::string deepest = writeDocumentJson(*f.doc);
    EXPECT_NE(f.refused(R"({"op": "group"})").find("group: art may nest at most 64 levels"), std::string::npos);
    EXPECT_EQ(writeDocumentJson(*f.doc), deepest);  // refused whole
    auto nesting = [](const Art* x) {
        int n = 0;
        for (; x->parent(); x = x->parent()) ++n;
        return n;
    };
    Art* inner = f.art(a)->parent();
    ASSERT_EQ(nesting(f.art(a)), kMaxArtNesting);
    // The model refuses every other way deeper: new art, a move, a copy.
    Art* g = nullptr;
    ASSERT_EQ(f.doc->newArt(kGroupArt, kPlaceInsideOnTop, inner, &g), kNoErr);  // at the limit
    EXPECT_EQ(f.doc->newArt(kPathArt, kPlaceInsideOnTop, g, nullptr), kTooDeepErr);
    ASSERT_EQ(f.doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &g), kNoErr);
    ASSERT_EQ(f.doc->newArt(kPathArt, kPlaceInsideOnTop, g, nullptr), kNoErr);
    EXPECT_EQ(f.doc->reorderArt(g, kPlaceInsideOnTop, inner), kTooDeepErr);
    EXPECT_EQ(f.doc->duplicateArt(g, kPlaceInsideOnTop, inner, nullptr), kTooDeepErr);

    std::unique_ptr<Document> back;
    std::string error;
    ASSERT_TRUE(readDocumentJson(deepest, back, error)) << error;
    EXPECT_EQ(writeDocumentJson(*back), deepest);
    std::unique_ptr<Document> fromSvg;
    SvgReport report;
    ASSERT_TRUE(readSvg(writeSvg(*back), fromSvg, report, error)) << error;
    const Art* leaf = fromSvg->topLayer()->firstArt();
    while (leaf->firstChild()) leaf = leaf->firstChild();
    EXPECT_EQ(nesting(leaf), kMaxArtNesting);
}

TEST(EditStructure, PasteMakesNewArtLikeTheCopiedAndToLayerMovesIt) {
    Fixture f;
    const int64_t a = f.square(0, 0);
    f.ok(R"({"op": "style", "opacity": 0.25})");
    f.ok(R"({"op": "copy"})");
    f.ok(R"({"op": "newLayer", "name": "Upper"})");
    const int64_t p = f.ok(R"({"op": "paste", "by": [100, 0]})").at(0);
    EXPECT_NE(p, a);
    EXPECT_EQ(f.art(p)->layer()->name(), "Upper");
    EXPECT_FLOAT_EQ(f.art(p)->opacity(), 0.25f);
    expectRect(f.bounds(p), 100, 0, 110, 10);
    EXPECT_FALSE(f.art(a)->selected());
    f.ok(R"({"op": "toLayer", "layer": "Layer 1"})");
    EXPECT_EQ(f.art(p)->layer()->name(), "Layer 1");
    EXPECT_EQ(f.doc->layerFromBottom(0)->lastArt()->id(), p);
    EXPECT_EQ(f.refused(R"({"op": "toLayer", "layer": "Nowhere"})"), "toLayer: no layer named \"Nowhere\"");
}

// Art a person selects makes its layer current, the frontmost's when the
// selection spans layers; emptying the selection keeps the current layer.
TEST(EditLayers, SelectingArtMakesItsLayerCurrent) {
    Fixture f;
    const int64_t low = f.square(0, 0);
    f.ok(R"({"op": "newLayer", "name": "Upper"})");
    const int64_t high = f.square(20, 0);
    f.ok(R"({"op": "newLayer", "name": "Sketch"})");
    f.ok(R"({"op": "layerVisible", "layer": "Sketch", "visible": false})");
    const std::string lo = std::to_string(low), hi = std::to_string(high);
    const struct {
        std::string edit;
        const char* current;
    } steps[] = {
        {R"({"op": "select", "ids": [)" + lo + "]}", "Layer 1"},
        {R"({"op": "deselect"})", "Layer 1"},
        {R"({"op": "select", "ids": [)" + hi + "," + lo + "]}", "Upper"},
        {R"({"op": "select", "mode": "toggle", "ids": [)" + hi + "]}", "Layer 1"},
        {R"({"op": "selectPoints", "paths": [{"id": )" + hi + R"(, "segments": [0]}]})", "Upper"},
    };
    EXPECT_EQ(f.doc->currentLayer()->name(), "Sketch");
    for (const auto& step : steps) {
        f.ok(step.edit);
        EXPECT_EQ(f.doc->currentLayer()->name(), step.current) << step.edit;
    }
}

TEST(EditPoints, OnlyTheSelectedAnchorsMoveAndASmoothPointKeepsItsHandlesInLine) {
    Fixture f;
    const int64_t a = f.square(0, 0);
    EXPECT_NE(f.refused(R"({"op": "selectPoints", "paths": [{"id": )" + std::to_string(a) + R"(, "segments": [0.5]}]})")
                  .find("segments[0] must be a whole number"),
              std::string::npos);
    f.ok(R"({"op": "selectPoints", "paths": [{"id": )" + std::to_string(a) + R"(, "segments": [0, 2]}]})");
    EXPECT_TRUE(f.art(a)->hasPartialSegmentSelection());
    const auto before = f.art(a)->segments();
    f.ok(R"({"op": "movePoints", "by": [5, 1]})");
    const auto after = f.art(a)->segments();
    for (size_t i = 0; i < 4; ++i) {
        const float dh = (i == 0 || i == 2) ? 5.f : 0.f;
        EXPECT_FLOAT_EQ(after[i].p.h, before[i].p.h + dh) << i;
    }
    const int64_t e = f.ok(R"({"op": "create", "shape": "ellipse", "from": [0, 0], "to": [20, 20]})").at(0);
    // Segment 0 is the left point (0, 10) with handles straight up and down.
    f.ok(R"({"op": "moveHandle", "id": )" + std::to_string(e) + R"(, "segment": 0, "handle": "in", "to": [3, 14]})");
    const AIPathSegment s = f.art(e)->segment(0);
    EXPECT_FLOAT_EQ(s.in.h, 3);
    EXPECT_NEAR(s.out.h, -3 * 5.5228f / 5, 1e-3);  // the other handle turns, keeping its length
    EXPECT_NEAR(s.out.v, 10 - 4 * 5.5228f / 5, 1e-3);
    EXPECT_EQ(f.doc->undoText(), "Undo Move Handle");
}

TEST(EditDocument, ANewDocumentHasThePageSizeAndTheDefaultSwatches) {
    Fixture f;
    f.square(0, 0);
    f.ok(R"({"op": "new", "size": "A4", "orientation": "landscape"})");
    EXPECT_FLOAT_EQ(f.doc->width(), 841.89f);
    EXPECT_FLOAT_EQ(f.doc->height(), 595.28f);
    EXPECT_EQ(f.doc->layerFromTop(0)->firstArt(), nullptr);
    EXPECT_GE(f.doc->swatchCount(), 24u);
    EXPECT_NE(f.refused(R"({"op": "new", "width": 0, "height": 10})").find("from 1 to 16384"), std::string::npos);
}
