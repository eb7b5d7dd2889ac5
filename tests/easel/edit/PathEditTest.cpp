// The path edits: booleans measured against analytic areas, anchors edited
// without changing the drawn curve, compound paths, offsets, refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "edit/Edit.h"
#include "geometry/Outlines.h"
#include "io/json/DocumentJson.h"

using namespace easel;
using edit::json;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Paths {
    std::unique_ptr<Document> doc = newDocument(600, 600);
    edit::Clipboard clipboard;

    std::vector<int64_t> ok(const json& e) {
        edit::Outcome r = edit::run(*doc, clipboard, e);
        EXPECT_EQ(r.error, "") << e.dump();
        return r.made;
    }
    std::string refused(const json& e) { return edit::run(*doc, clipboard, e).error; }
    // An edit on a selection that does not fit it: refused with words naming why, nothing changed.
    struct Refusal {
        std::vector<int64_t> select;
        json edit;
        const char* says;
    };
    void expectRefused(const std::vector<Refusal>& cases) {
        for (const Refusal& c : cases) {
            ok({{"op", "deselect"}});
            if (!c.select.empty()) select(c.select);
            const std::string before = writeDocumentJson(*doc);
            const std::string error = refused(c.edit);
            EXPECT_NE(error.find(c.says), std::string::npos) << c.edit.dump() << ": " << error;
            EXPECT_EQ(writeDocumentJson(*doc), before) << c.edit.dump();
        }
    }
    int64_t circle(double cx, double cy, double r) {
        return ok({{"op", "create"}, {"shape", "ellipse"}, {"from", {cx - r, cy - r}}, {"to", {cx + r, cy + r}}}).at(0);
    }
    int64_t square(double left, double bottom, double size) {
        return ok({{"op", "create"}, {"shape", "rectangle"}, {"from", {left, bottom}}, {"to", {left + size, bottom + size}}}).at(0);
    }
    void select(const std::vector<int64_t>& ids) { ok({{"op", "select"}, {"ids", ids}}); }
    // Selects anchors: {path id, [segment indices]} pairs.
    void points(const std::vector<std::pair<int64_t, std::vector<int>>>& picks) {
        json paths = json::array();
        for (const auto& [id, segs] : picks) paths.push_back(json{{"id", id}, {"segments", segs}});
        ok({{"op", "selectPoints"}, {"paths", paths}});
    }
    Art* art(int64_t id) { return doc->findById(id); }
    geometry::Shape shape(int64_t id) {
        const Art* a = art(id);
        geometry::Shape s;
        if (a->type() == kPathArt) s.push_back({a->segments(), a->closed()});
        for (const Art* m = a->firstChild(); m; m = m->next()) s.push_back({m->segments(), m->closed()});
        return s;
    }
    // The one selected object's filled area.
    double selectedArea() {
        const auto sel = doc->selectedArt();
        EXPECT_FALSE(sel.empty());
        return sel.empty() ? 0 : std::fabs(geometry::area(shape(sel.front()->id())));
    }
};

// Points along the outlines' curves.
std::vector<geometry::Point> samples(const geometry::Shape& s, int per = 32) {
    std::vector<geometry::Point> out;
    for (const auto& o : s)
        for (const auto& c : geometry::cubicsOf(o))
            for (int k = 0; k < per; ++k) {
                const double t = k / double(per), u = 1 - t;
                out.push_back({u * u * u * c.p0.h + 3 * u * u * t * c.p1.h + 3 * u * t * t * c.p2.h + t * t * t * c.p3.h,
                               u * u * u * c.p0.v + 3 * u * u * t * c.p1.v + 3 * u * t * t * c.p2.v + t * t * t * c.p3.v});
            }
    return out;
}

// The largest distance from a point of `a` to the curves of `b` (to the
// chords of 200 samples a segment, within 1e-4 of the curves drawn here).
double farthest(const geometry::Shape& a, const geometry::Shape& b) {
    std::vector<std::vector<geometry::Point>> lines;
    for (const auto& o : b) lines.push_back(samples({o}, 200)), lines.back().push_back(lines.back().front());
    double worst = 0;
    for (const auto& p : samples(a)) {
        double best = 1e300;
        for (const auto& l : lines)
            for (size_t i = 0; i + 1 < l.size(); ++i) {
                const double dh = l[i + 1].h - l[i].h, dv = l[i + 1].v - l[i].v, dd = dh * dh + dv * dv;
                const double t = dd > 0 ? std::clamp(((p.h - l[i].h) * dh + (p.v - l[i].v) * dv) / dd, 0.0, 1.0) : 0;
                best = std::min(best, std::hypot(p.h - l[i].h - t * dh, p.v - l[i].v - t * dv));
            }
        worst = std::max(worst, best);
    }
    return worst;
}

// A circle of radius r drawn with four cubics is this much larger in area.
double circleArea(double r) { return kPi * r * r * 1.00028; }

}  // namespace

TEST(PathBooleans, ResultsHaveTheAreasOfTheAnalyticShapes) {
    const double r = 50, d = 50;  // two circles whose centres are one radius apart
    const double lens = 2 * r * r * std::acos(d / (2 * r)) - d / 2 * std::sqrt(4 * r * r - d * d);
    const double circle = circleArea(r);
    struct Case {
        const char* op;
        double area;
        const char* undo;
    };
    const Case cases[] = {{"union", 2 * circle - lens, "Undo Union"},
                          {"intersection", lens, "Undo Intersection"},
                          {"difference", circle - lens, "Undo Difference"},
                          {"exclusion", 2 * circle - 2 * lens, "Undo Exclusion"}};
    for (const Case& c : cases) {
        Paths f;
        const int64_t a = f.circle(200, 200, r), b = f.circle(200 + d, 200, r);
        f.ok({{"op", "style"}, {"fill", {{"kind", "rgb"}, {"values", {1, 0, 0}}}}});  // b is selected: top red
        f.select({a, b});
        const std::string before = writeDocumentJson(*f.doc);
        const auto made = f.ok({{"op", c.op}});
        ASSERT_EQ(made.size(), 1u) << c.op;
        EXPECT_NEAR(f.selectedArea(), c.area, c.area * 1e-3) << c.op;
        EXPECT_FALSE(f.doc->isLive(f.art(a)));
        // The bottom circle's look: white, not the top one's red.
        EXPECT_EQ(drawnStyle(*f.art(made[0])).style.fill.color.c[1], 1.0f) << c.op;
        EXPECT_EQ(f.doc->undoText(), c.undo);
        f.doc->undo();
        EXPECT_EQ(writeDocumentJson(*f.doc), before) << c.op;
    }
    // A square less a circle inside it: a compound path with a hole.
    Paths f;
    const int64_t sq = f.square(100, 100, 200), c = f.circle(200, 200, r);
    f.select({sq, c});
    const auto made = f.ok({{"op", "difference"}});
    EXPECT_EQ(f.art(made[0])->type(), kCompoundPathArt);
    EXPECT_NEAR(f.selectedArea(), 200 * 200 - circleArea(r), 1);
    // Division: the square cut into the ring and the disc, areas kept.
    f.doc->undo();
    f.select({sq, c});
    const auto pieces = f.ok({{"op", "division"}});
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_NEAR(std::fabs(geometry::area(f.shape(pieces[0]))) + std::fabs(geometry::area(f.shape(pieces[1]))), 200.0 * 200, 1);
}

TEST(PathCompound, CombineThenBreakApartGivesThePathsBack) {
    Paths f;
    const int64_t a = f.square(0, 0, 100), b = f.circle(50, 50, 20);
    const auto before = f.shape(a), inner = f.shape(b);
    f.select({a, b});
    const auto made = f.ok({{"op", "combine"}});
    Art* compound = f.art(made.at(0));
    ASSERT_EQ(compound->type(), kCompoundPathArt);
    f.ok({{"op", "fillRule"}, {"rule", "evenOdd"}});
    EXPECT_TRUE(drawnStyle(*compound).style.evenOdd);
    const auto parts = f.ok({{"op", "breakApart"}});
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(f.art(parts[0])->segments().size(), before[0].segments.size());
    EXPECT_LT(farthest(f.shape(parts[0]), before), 1e-3);
    EXPECT_LT(farthest(f.shape(parts[1]), inner), 1e-3);
    EXPECT_EQ(f.doc->undoText(), "Undo Break Apart");
}

TEST(PathClip, ClipReleaseUndoAndRefusals) {
    Paths f;
    const int64_t a = f.square(0, 0, 100), b = f.circle(50, 50, 30);
    f.ok({{"op", "group"}});  // b stays selected: a group of its own
    const int64_t inGroup = f.doc->selectedArt().front()->id();
    const int64_t c = f.square(200, 200, 50);
    const int64_t d = f.circle(400, 100, 20), e = f.square(450, 80, 40);
    f.select({d, e});
    f.ok({{"op", "combine"}});
    Art* text = nullptr;
    f.doc->newArt(kTextArt, kPlaceAboveAll, nullptr, &text);
    f.expectRefused({
        {{}, {{"op", "clip"}}, "nothing is selected"},
        {{d, e}, {{"op", "clip"}}, "cannot be clipped one by one"},
        {{c}, {{"op", "clip"}}, "at least 2"},
        {{c, text->id()}, {{"op", "clip"}}, "must be a path or compound path"},
        {{b, c}, {{"op", "clip"}}, "in one layer or one group"},
        {{c}, {{"op", "releaseClip"}}, "no clip group"},
        {{inGroup}, {{"op", "releaseClip"}}, "no clip group"},
    });
    // The top-most object clips the others: it paints nothing, bounds the group.
    f.select({a, c});
    const std::string plain = writeDocumentJson(*f.doc);
    AIRealRect cBounds{}, gBounds{};
    f.doc->bounds(f.art(c), &cBounds);
    Art* group = f.art(f.ok({{"op", "clip"}}).at(0));
    EXPECT_EQ(f.doc->undoText(), "Undo Make Clipping Mask");
    ASSERT_TRUE(group->clipped());
    EXPECT_EQ(clippingPath(*group), f.art(c));
    EXPECT_EQ(group->firstChild(), f.art(a));
    EXPECT_FALSE(f.art(c)->style().fillPaint || f.art(c)->style().strokePaint);
    f.doc->bounds(group, &gBounds);
    EXPECT_EQ(gBounds.left, cBounds.left);
    EXPECT_EQ(gBounds.top, cBounds.top);
    // Copies keep the clip; undo takes the whole step back, redo makes it again.
    EXPECT_TRUE(f.art(f.ok({{"op", "duplicate"}}).at(0))->clipped());
    f.ok({{"op", "copy"}});
    EXPECT_TRUE(f.art(f.ok({{"op", "paste"}}).at(0))->clipped());
    f.doc->undo();
    f.doc->undo();
    f.doc->undo();
    EXPECT_EQ(writeDocumentJson(*f.doc), plain);
    f.doc->redo();
    ASSERT_TRUE(group->clipped());
    f.select({group->id()});
    f.ok({{"op", "releaseClip"}});
    EXPECT_EQ(f.doc->undoText(), "Undo Release Clipping Mask");
    EXPECT_FALSE(group->clipped());
    EXPECT_EQ(clippingPath(*group), nullptr);
    f.doc->undo();
    EXPECT_TRUE(group->clipped());
    // A locked layer refuses.
    f.select({group->id()});
    f.doc->setLayerLocked(f.doc->currentLayer(), true);
    EXPECT_NE(f.refused({{"op", "releaseClip"}}).find("is locked"), std::string::npos);
}

TEST(PathAnchors, AddedAndDeletedAnchorsKeepTheDrawnCurve) {
    Paths f;
    const int64_t id = f.circle(300, 300, 100);
    const auto original = f.shape(id);
    // An anchor on every segment (from the last, so indices hold).
    for (int seg = 3; seg >= 0; --seg) f.ok({{"op", "addAnchor"}, {"id", id}, {"segment", seg}, {"t", 0.3}});
    EXPECT_EQ(f.art(id)->segmentCount(), 8u);
    EXPECT_LT(farthest(f.shape(id), original), 1e-3);
    EXPECT_LT(farthest(original, f.shape(id)), 1e-3);
    // Deleting them refits each joined segment to the two it replaces.
    f.points({{id, {1, 3, 5, 7}}});
    f.ok({{"op", "deleteAnchors"}});
    EXPECT_EQ(f.art(id)->segmentCount(), 4u);
    EXPECT_LT(farthest(f.shape(id), original), 0.05);
    // Converting the anchors to corners straightens the segments; smooth brings curves back.
    f.points({{id, {0, 1, 2, 3}}});
    f.ok({{"op", "convertAnchors"}, {"to", "corner"}});
    EXPECT_NEAR(std::fabs(geometry::area(f.shape(id))), 2 * 100 * 100, 1);
    f.ok({{"op", "convertAnchors"}, {"to", "smooth"}});
    EXPECT_GT(std::fabs(geometry::area(f.shape(id))), 2 * 100 * 100 + 100);
}

TEST(PathAnchors, SplitJoinReverseAndSimplify) {
    Paths f;
    const int64_t id = f.square(0, 0, 100);
    const auto original = f.shape(id);
    f.points({{id, {2}}});
    f.ok({{"op", "splitPath"}});
    EXPECT_FALSE(f.art(id)->closed());
    EXPECT_EQ(f.art(id)->segmentCount(), 5u);  // opened at the anchor, which is both ends
    f.points({{id, {0, 4}}});
    f.ok({{"op", "join"}});
    EXPECT_TRUE(f.art(id)->closed());
    EXPECT_EQ(f.art(id)->segmentCount(), 4u);
    EXPECT_LT(farthest(f.shape(id), original), 1e-4);
    // Two open paths joined end to end make one.
    const auto l1 = f.ok({{"op", "create"}, {"shape", "line"}, {"from", {0, 200}}, {"to", {50, 200}}}).at(0);
    const auto l2 = f.ok({{"op", "create"}, {"shape", "line"}, {"from", {100, 250}}, {"to", {50, 250}}}).at(0);
    f.points({{l1, {1}}, {l2, {1}}});
    f.ok({{"op", "join"}});
    EXPECT_FALSE(f.doc->isLive(f.art(l2)));
    const auto joined = f.art(l1)->segments();
    ASSERT_EQ(joined.size(), 4u);
    EXPECT_EQ(joined[3].p.h, 100);
    // Reversing runs the other way round: the signed area changes sign.
    const double area = geometry::area(f.shape(id));
    f.select({id});
    f.ok({{"op", "reverse"}});
    EXPECT_DOUBLE_EQ(geometry::area(f.shape(id)), -area);
    // A densely drawn arc simplifies to few anchors near it.
    json pts = json::array();
    for (int i = 0; i <= 60; ++i) pts.push_back({300 + 100 * std::cos(i * kPi / 60), 300 + 100 * std::sin(i * kPi / 60)});
    const auto arc = f.ok({{"op", "create"}, {"shape", "pencil"}, {"points", pts}, {"tolerance", 0.1}}).at(0);
    const auto dense = f.shape(arc);
    f.ok({{"op", "simplify"}, {"tolerance", 1}});
    EXPECT_LT(f.art(arc)->segmentCount(), dense[0].segments.size());
    EXPECT_LT(farthest(f.shape(arc), dense), 1.5);
}

TEST(PathOutlines, OffsetsAndStrokesHaveTheirExactSizes) {
    // A circle grown or shrunk stays a circle of radius r + d.
    for (const double d : {10.0, -10.0, 25.0}) {
        Paths f;
        const int64_t id = f.circle(300, 300, 100);
        const auto made = f.ok({{"op", "offset"}, {"distance", d}, {"join", "round"}});
        for (const auto& p : samples(f.shape(made.at(0))))
            EXPECT_NEAR(std::hypot(p.h - 300, p.v - 300), 100 + d, 0.05) << d;
        EXPECT_FALSE(f.doc->isLive(f.art(id)));
    }
    // A square grown with each join: area of the outset square, corners as the join makes them.
    const std::pair<const char*, double> joins[] = {{"miter", 140.0 * 140}, {"bevel", 140.0 * 140 - 4 * 200}, {"round", 100.0 * 100 + 4 * 100 * 20 + kPi * 400}};
    for (const auto& [join, expected] : joins) {
        Paths f;
        f.square(100, 100, 100);
        f.ok({{"op", "offset"}, {"distance", 20}, {"join", join}});
        EXPECT_NEAR(f.selectedArea(), expected, 2) << join;
    }
    // A stroke of width 10 along a line of length 100: a rectangle, longer by its caps.
    for (const auto& [cap, expected] : {std::pair{kButtCap, 1000.0}, {kRoundCap, 1000 + kPi * 25}, {kProjectingCap, 1100.0}}) {
        Paths f;
        const int64_t id = f.ok({{"op", "create"}, {"shape", "line"}, {"from", {100, 100}}, {"to", {200, 100}}, {"strokeWidth", 10}}).at(0);
        AIPathStyle s = f.art(id)->style();
        s.stroke.cap = cap;
        f.doc->setStyle(f.art(id), s);
        f.ok({{"op", "strokeToPath"}});
        EXPECT_NEAR(f.selectedArea(), expected, 0.5) << cap;
        const auto look = drawnStyle(*f.doc->selectedArt().front()).style;
        EXPECT_TRUE(look.fillPaint);
        EXPECT_FALSE(look.strokePaint);
    }
}

TEST(PathEdits, RefusalsNameTheReasonAndChangeNothing) {
    Paths f;
    const int64_t a = f.circle(100, 100, 40), b = f.circle(300, 300, 40);
    const int64_t line = f.ok({{"op", "create"}, {"shape", "line"}, {"from", {0, 0}}, {"to", {50, 50}}}).at(0);
    Art* text = nullptr;
    f.doc->newArt(kTextArt, kPlaceAboveAll, nullptr, &text);
    f.expectRefused({
        {{}, {{"op", "union"}}, "nothing is selected"},
        {{a}, {{"op", "union"}}, "at least 2"},
        {{a, line}, {{"op", "union"}}, "is an open path"},
        {{a, text->id()}, {{"op", "difference"}}, "is text"},
        {{a, b}, {{"op", "intersection"}}, "would be empty"},
        {{a}, {{"op", "breakApart"}}, "no compound path"},
        {{a}, {{"op", "deleteAnchors"}}, "no anchor point is selected"},
        {{a}, {{"op", "join"}}, "exactly 2 end points"},
        {{line}, {{"op", "strokeToPath"}, {"x", 1}}, "unknown argument"},
        {{a}, {{"op", "offset"}, {"distance", 0}}, "must not be 0"},
    });
    // A locked layer is named.
    f.select({a, b});
    f.doc->setLayerLocked(f.doc->currentLayer(), true);
    EXPECT_NE(f.refused({{"op", "union"}}).find("is locked"), std::string::npos);
}
