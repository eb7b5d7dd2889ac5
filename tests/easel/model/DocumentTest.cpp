#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "model/Document.h"
#include "ModelTestSupport.h"

namespace easel {
namespace {

using test::childIds;
using test::corner;
using test::idsOf;
using test::makePath;
using test::makeSquare;
using test::rotation;
using test::scaling;
using test::smooth;
using test::translation;

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class DocumentTest : public ::testing::Test {
protected:
    std::unique_ptr<Document> doc = newDocument();
    Layer* bottom() { return doc->bottomLayer(); }
    // A second layer above the first one.
    Layer* addTopLayer() {
        Layer* l = nullptr;
        EXPECT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &l), kNoErr);
        return l;
    }
    AIRealRect boundsOf(const Art* a) {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(a, &r), kNoErr);
        return r;
    }
};

TEST_F(DocumentTest, NewDocumentHasOneLayerAndTheStandardSwatches) {
    EXPECT_EQ(doc->width(), 612);
    EXPECT_EQ(doc->height(), 792);
    ASSERT_EQ(doc->layerCount(), 1u);
    EXPECT_EQ(bottom()->name(), "Layer 1");
    ASSERT_GE(doc->swatchCount(), 24u);
    EXPECT_EQ(doc->swatch(0)->name, "[None]");
    EXPECT_EQ(doc->swatch(0)->color.kind, kNoneColor);
    EXPECT_EQ(doc->swatch(1)->name, "[Registration]");
    EXPECT_EQ(doc->swatch(2)->color.kind, kThreeColor);
    EXPECT_EQ(doc->swatch(2)->color.c[0], 1);  // white
    EXPECT_EQ(doc->swatch(3)->color.c[0], 0);  // black
    bool kinds[6] = {};
    for (size_t i = 4; i < doc->swatchCount(); ++i) kinds[doc->swatch(i)->color.kind] = true;
    EXPECT_TRUE(kinds[kGrayColor] && kinds[kFourColor] && kinds[kThreeColor]);
    EXPECT_FALSE(doc->canUndo());
}

TEST_F(DocumentTest, IdsAreStableAndIncreasing) {
    Art* a = makeSquare(*doc, 0, 0, 10);
    Art* b = makeSquare(*doc, 0, 0, 10);
    EXPECT_EQ(b->id(), a->id() + 1);
    EXPECT_EQ(doc->findById(a->id()), a);
    EXPECT_EQ(doc->findById(9999), nullptr);
}

// ---- bounds ----

TEST_F(DocumentTest, CircleBoundsAreItsExtremaNotItsDirectionPoints) {
    Art* oval = nullptr;
    ASSERT_EQ(doc->newOval(200, 100, 100, 200, false, &oval), kNoErr);
    AIRealRect r = boundsOf(oval);
    EXPECT_NEAR(r.left, 100, 1e-4);
    EXPECT_NEAR(r.right, 200, 1e-4);
    EXPECT_NEAR(r.top, 200, 1e-4);
    EXPECT_NEAR(r.bottom, 100, 1e-4);
    // Turned 45 degrees about its centre a circle keeps its bounds; the hull
    // of its direction points would grow.
    AIRealMatrix m = concatMatrix(translation(-150, -150), rotation(kPi / 4));
    m = concatMatrix(m, translation(150, 150));
    ASSERT_EQ(doc->transformArt(oval, m, 1, kTransformObjects), kNoErr);
    r = boundsOf(oval);
    EXPECT_NEAR(r.left, 100, 0.05);
    EXPECT_NEAR(r.right, 200, 0.05);
    EXPECT_NEAR(r.top, 200, 0.05);
    EXPECT_NEAR(r.bottom, 100, 0.05);
}

TEST_F(DocumentTest, BoundsFollowPendingTransforms) {
    Art* s = makePath(*doc, {smooth(0, 0, 0, 0, 0, 100), smooth(100, 0, 100, -100, 100, 0)});
    const float e = 100.0f / (2.0f * std::sqrt(3.0f));
    ASSERT_EQ(doc->transformArt(s, scaling(2, 3), 1, kTransformObjects), kNoErr);
    ASSERT_EQ(doc->transformArt(s, translation(10, 20), 1, kTransformObjects), kNoErr);
    const AIRealRect r = boundsOf(s);
    EXPECT_NEAR(r.left, 10, 1e-4);
    EXPECT_NEAR(r.right, 210, 1e-4);
    EXPECT_NEAR(r.top, 20 + 3 * e, 1e-3);
    EXPECT_NEAR(r.bottom, 20 - 3 * e, 1e-3);
    // Points read back with the transform applied.
    const AIPathSegment last = s->segment(1);
    EXPECT_FLOAT_EQ(last.p.h, 210);
    EXPECT_FLOAT_EQ(last.p.v, 20);
    EXPECT_FLOAT_EQ(last.in.v, -280);
}

TEST_F(DocumentTest, GroupBoundsAreTheUnionAndStrokesDoNotCount) {
    Art* g = nullptr;
    ASSERT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &g), kNoErr);
    AIRealRect r{};
    ASSERT_EQ(doc->bounds(g, &r), kNoErr);
    EXPECT_TRUE(isEmptyRect(r));
    Art* a = makeSquare(*doc, 0, 0, 10);
    Art* b = makeSquare(*doc, 50, -20, 10);
    AIPathStyle thick = a->style();
    thick.stroke.width = 40;
    ASSERT_EQ(doc->setStyle(a, thick), kNoErr);
    ASSERT_EQ(doc->reorderArt(a, kPlaceInsideOnTop, g), kNoErr);
    ASSERT_EQ(doc->reorderArt(b, kPlaceInsideOnTop, g), kNoErr);
    r = boundsOf(g);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 60);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.bottom, -20);
}

// ---- structure ----

TEST_F(DocumentTest, DuplicateCopiesChildrenStyleTagsButNotSelection) {
    Art* g = nullptr;
    ASSERT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &g), kNoErr);
    Art* a = makeSquare(*doc, 0, 0, 10);
    ASSERT_EQ(doc->reorderArt(a, kPlaceInsideOnTop, g), kNoErr);
    ASSERT_EQ(doc->setTagString(a, "brivane", "brivane"), kNoErr);
    ASSERT_EQ(doc->setOpacity(a, 0.25f), kNoErr);
    ASSERT_EQ(doc->setSelected(g, true), kNoErr);
    Art* copy = nullptr;
    ASSERT_EQ(doc->duplicateArt(g, kPlaceAboveAll, nullptr, &copy), kNoErr);
    ASSERT_NE(copy->firstChild(), nullptr);
    const Art* c = copy->firstChild();
    EXPECT_NE(c, a);
    EXPECT_EQ(c->parent(), copy);
    ASSERT_NE(c->findTag("brivane"), nullptr);
    EXPECT_EQ(c->findTag("brivane")->text, "brivane");
    EXPECT_EQ(c->opacity(), 0.25f);
    EXPECT_FALSE(copy->selected());
    EXPECT_FALSE(c->selected());
}

TEST_F(DocumentTest, ReorderAndSiblingWalking) {
    Art* a = makeSquare(*doc, 0, 0, 1);
    Art* b = makeSquare(*doc, 0, 0, 2);
    Art* c = makeSquare(*doc, 0, 0, 3);
    ASSERT_EQ(doc->reorderArt(a, kPlaceAbove, c), kNoErr);
    EXPECT_EQ(idsOf(bottom()), (std::vector<int64_t>{b->id(), c->id(), a->id()}));
    EXPECT_EQ(bottom()->firstArt(), b);
    EXPECT_EQ(bottom()->lastArt(), a);
    EXPECT_EQ(b->prior(), nullptr);
    EXPECT_EQ(b->next(), c);
    EXPECT_EQ(c->prior(), b);
    EXPECT_EQ(a->next(), nullptr);
    ASSERT_EQ(doc->reorderArt(a, kPlaceBelowAll, nullptr), kNoErr);
    EXPECT_EQ(idsOf(bottom()), (std::vector<int64_t>{a->id(), b->id(), c->id()}));
    // Into a group, at its bottom and top.
    Art* g = nullptr;
    ASSERT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &g), kNoErr);
    ASSERT_EQ(doc->reorderArt(b, kPlaceInsideOnTop, g), kNoErr);
    ASSERT_EQ(doc->reorderArt(c, kPlaceInsideOnBottom, g), kNoErr);
    EXPECT_EQ(childIds(g), (std::vector<int64_t>{c->id(), b->id()}));
    EXPECT_EQ(g->firstChild(), c);
    EXPECT_EQ(g->lastChild(), b);
    EXPECT_EQ(b->parent(), g);
    EXPECT_EQ(b->layer(), bottom());
    EXPECT_EQ(g->parent(), nullptr);
    // A group cannot go inside itself.
    EXPECT_EQ(doc->reorderArt(g, kPlaceInsideOnTop, g), kBadParameterErr);
    EXPECT_EQ(doc->reorderArt(g, kPlaceAbove, b), kBadParameterErr);
}

TEST_F(DocumentTest, DisposedArtLeavesTheDocument) {
    Art* a = makeSquare(*doc, 0, 0, 1);
    Art* b = makeSquare(*doc, 0, 0, 2);
    Art* c = makeSquare(*doc, 0, 0, 3);
    ASSERT_EQ(doc->disposeArt(b), kNoErr);
    EXPECT_FALSE(doc->isLive(b));
    EXPECT_EQ(a->next(), c);
    EXPECT_EQ(c->prior(), a);
    EXPECT_EQ(doc->disposeArt(b), kBadParameterErr);
    EXPECT_EQ(doc->findById(b->id()), nullptr);
    int stackValue = 0;
    EXPECT_FALSE(doc->isLive(reinterpret_cast<Art*>(&stackValue)));
    EXPECT_FALSE(doc->isLive(nullptr));
}

TEST_F(DocumentTest, InsertLayerAboveAllAndBelowAll) {
    Layer* top = nullptr;
    Layer* low = nullptr;
    ASSERT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
    ASSERT_EQ(doc->insertLayer(nullptr, kPlaceBelowAll, &low), kNoErr);
    ASSERT_EQ(doc->layerCount(), 3u);
    EXPECT_EQ(doc->layerFromTop(0), top);
    EXPECT_EQ(doc->layerFromTop(2), low);
    EXPECT_EQ(top->name(), "Layer 2");
    EXPECT_EQ(low->name(), "Layer 3");
    EXPECT_EQ(doc->currentLayer(), low);
}

// ---- values ----

TEST_F(DocumentTest, NonFiniteValuesAreNeverStored) {
    Art* a = makeSquare(*doc, 0, 0, 10);
    const std::vector<AIPathSegment> before = a->segments();
    AIPathSegment bad = corner(kNaN, 0);
    EXPECT_EQ(doc->setSegments(a, 1, 1, &bad), kBadParameterErr);
    bad = corner(0, 0);
    bad.out.v = kInf;
    EXPECT_EQ(doc->setSegments(a, 1, 1, &bad), kBadParameterErr);
    EXPECT_EQ(a->segments()[1].p.h, before[1].p.h);
    EXPECT_EQ(doc->transformArt(a, AIRealMatrix{1, 0, 0, 1, kNaN, 0}, 1, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(doc->transformArt(a, translation(1, 1), kInf, kScaleLines), kBadParameterErr);
    // Finite matrix, but the points would overflow a float.
    EXPECT_EQ(doc->transformArt(a, scaling(1e38f, 1e38f), 1, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(a->segment(2).p.h, 10);
    EXPECT_EQ(doc->setOpacity(a, kNaN), kBadParameterErr);
    EXPECT_EQ(a->opacity(), 1);
    AIPathStyle s = a->style();
    s.stroke.width = kInf;
    EXPECT_EQ(doc->setStyle(a, s), kBadParameterErr);
    s = a->style();
    s.fill.color.c[0] = kNaN;
    EXPECT_EQ(doc->setStyle(a, s), kBadParameterErr);
    EXPECT_EQ(doc->setTagReal(a, "r", kNaN), kBadParameterErr);
    Art* r = nullptr;
    EXPECT_EQ(doc->newRect(kNaN, 0, 0, 10, false, &r), kBadParameterErr);
    EXPECT_EQ(doc->setBlendMode(a, 16), kBadParameterErr);
    EXPECT_EQ(doc->setBlendMode(a, 15), kNoErr);
}

TEST_F(DocumentTest, SegmentCountLimit) {
    Art* a = makeSquare(*doc, 0, 0, 10);
    EXPECT_EQ(doc->setSegmentCount(a, kMaxSegments + 1), kTooManyPointsErr);
    EXPECT_EQ(kTooManyPointsErr, AS_FOURCC('N', 'E', 'S', 'S'));
    EXPECT_EQ(a->segmentCount(), 4u);
    EXPECT_EQ(doc->setSegmentCount(a, 6), kNoErr);
    // New segments repeat the last point.
    EXPECT_EQ(a->segment(5).p.h, 0);
    EXPECT_EQ(a->segment(5).p.v, 10);
}

TEST_F(DocumentTest, TransformMovesPointsAndScalesLineWidths) {
    Art* a = makeSquare(*doc, 0, 0, 10);
    ASSERT_EQ(doc->transformArt(a, translation(5, 0), 3, kTransformObjects | kScaleLines), kNoErr);
    EXPECT_EQ(a->segment(0).p.h, 5);
    EXPECT_EQ(a->style().stroke.width, 3);
    // Without kScaleLines the width stays; without kTransformObjects the points do.
    ASSERT_EQ(doc->transformArt(a, translation(5, 0), 3, kTransformObjects), kNoErr);
    EXPECT_EQ(a->style().stroke.width, 3);
    EXPECT_EQ(a->segment(0).p.h, 10);
    ASSERT_EQ(doc->transformArt(a, translation(5, 0), 2, kScaleLines), kNoErr);
    EXPECT_EQ(a->segment(0).p.h, 10);
    EXPECT_EQ(a->style().stroke.width, 6);
}

TEST_F(DocumentTest, TransformStepsApplyInOrder) {
    Art* a = makePath(*doc, {corner(1, 0)});
    Art* b = makePath(*doc, {corner(1, 0)});
    ASSERT_EQ(doc->transformArt(a, translation(10, 0), 1, kTransformObjects), kNoErr);
    ASSERT_EQ(doc->transformArt(a, rotation(kPi / 2), 1, kTransformObjects), kNoErr);
    ASSERT_EQ(doc->transformArt(b, rotation(kPi / 2), 1, kTransformObjects), kNoErr);
    ASSERT_EQ(doc->transformArt(b, translation(10, 0), 1, kTransformObjects), kNoErr);
    EXPECT_NEAR(a->segment(0).p.h, 0, 1e-5);
    EXPECT_NEAR(a->segment(0).p.v, 11, 1e-5);
    EXPECT_NEAR(b->segment(0).p.h, 10, 1e-5);
    EXPECT_NEAR(b->segment(0).p.v, 1, 1e-5);
}

TEST_F(DocumentTest, CopiesShareGeometryUntilOneChangesItsPoints) {
    Art* src = makeSquare(*doc, 0, 0, 10);
    Art* c1 = nullptr;
    Art* c2 = nullptr;
    ASSERT_EQ(doc->duplicateArt(src, kPlaceAboveAll, nullptr, &c1), kNoErr);
    ASSERT_EQ(doc->duplicateArt(src, kPlaceAboveAll, nullptr, &c2), kNoErr);
    EXPECT_EQ(c1->sharedGeometry(), src->sharedGeometry());
    // Transforming a copy keeps the shared points; only its matrix changes.
    ASSERT_EQ(doc->transformArt(c1, translation(100, 0), 1, kTransformObjects), kNoErr);
    EXPECT_EQ(c1->sharedGeometry(), src->sharedGeometry());
    EXPECT_EQ(c1->segment(0).p.h, 100);
    EXPECT_EQ(src->segment(0).p.h, 0);
    // Writing points gives the copy its own geometry, the others keep theirs.
    AIPathSegment moved = corner(-5, -5);
    ASSERT_EQ(doc->setSegments(c2, 0, 1, &moved), kNoErr);
    EXPECT_NE(c2->sharedGeometry(), src->sharedGeometry());
    EXPECT_EQ(c2->segment(0).p.h, -5);
    EXPECT_EQ(src->segment(0).p.h, 0);
    EXPECT_EQ(c1->segment(0).p.h, 100);
    EXPECT_EQ(c2->segment(1).p.h, 10);
}

// Copies hold one style block: a change to one of them (a new style, a
// scaled stroke) is its own, and a style is kept bit for bit (-0 stays -0).
TEST_F(DocumentTest, CopiesShareAStyleUntilOneChangesIt) {
    Art* src = makeSquare(*doc, 0, 0, 10);
    ASSERT_EQ(doc->setSegmentSelection(src, 1, kSegmentPointSelected), kNoErr);
    Art* c1 = nullptr;
    Art* c2 = nullptr;
    ASSERT_EQ(doc->duplicateArt(src, kPlaceAboveAll, nullptr, &c1), kNoErr);
    ASSERT_EQ(doc->duplicateArt(src, kPlaceAboveAll, nullptr, &c2), kNoErr);
    EXPECT_TRUE(src->hasPartialSegmentSelection());
    EXPECT_FALSE(c1->hasPartialSegmentSelection());
    EXPECT_EQ(c1->segmentSelection(1), 0);

    AIPathStyle red = src->style();
    red.fill.color = rgbColor(1, 0, 0);
    ASSERT_EQ(doc->setStyle(c1, red), kNoErr);
    ASSERT_EQ(doc->transformArt(c2, scaling(2, 2), 2, kScaleLines), kNoErr);
    EXPECT_TRUE(sameStyle(src->style(), defaultPathStyle()));
    EXPECT_TRUE(sameColor(c1->style().fill.color, rgbColor(1, 0, 0)));
    EXPECT_EQ(c1->style().stroke.width, 1);
    EXPECT_EQ(c2->style().stroke.width, 2);
    EXPECT_TRUE(sameColor(c2->style().fill.color, rgbColor(1, 1, 1)));

    AIPathStyle minus = src->style(), plus = src->style();
    minus.stroke.width = -0.0f;
    plus.stroke.width = 0.0f;
    ASSERT_EQ(doc->setStyle(src, minus), kNoErr);
    ASSERT_EQ(doc->setStyle(c1, plus), kNoErr);
    EXPECT_TRUE(std::signbit(src->style().stroke.width));
    EXPECT_FALSE(std::signbit(c1->style().stroke.width));
}

// ---- selection ----

TEST_F(DocumentTest, SelectingAGroupSelectsItsMembersAndMatchingKeepsDocumentOrder) {
    Art* g = nullptr;
    ASSERT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &g), kNoErr);
    Art* p1 = makeSquare(*doc, 0, 0, 1);
    Art* p2 = makeSquare(*doc, 0, 0, 2);
    Art* loose = makeSquare(*doc, 0, 0, 3);
    ASSERT_EQ(doc->reorderArt(p1, kPlaceInsideOnTop, g), kNoErr);
    ASSERT_EQ(doc->reorderArt(p2, kPlaceInsideOnTop, g), kNoErr);
    ASSERT_EQ(doc->setSelected(g, true), kNoErr);
    EXPECT_TRUE(p1->selected());
    EXPECT_TRUE(p2->selected());
    EXPECT_FALSE(loose->selected());
    const MatchSpec paths{kPathArt, kArtSelected, kArtSelected};
    EXPECT_EQ(doc->matchingArt(&paths, 1), (std::vector<Art*>{p1, p2}));
    EXPECT_EQ(doc->selectedArt(), (std::vector<Art*>{g, p1, p2}));
    doc->selectAll();
    EXPECT_EQ(doc->matchingArt(&paths, 1), (std::vector<Art*>{p1, p2, loose}));
    doc->deselectAll();
    EXPECT_TRUE(doc->selectedArt().empty());
    EXPECT_TRUE(doc->selectById(loose->id()));
    EXPECT_FALSE(doc->selectById(12345));
    EXPECT_EQ(doc->selectedArt(), (std::vector<Art*>{loose}));
}

TEST_F(DocumentTest, SegmentSelection) {
    Art* a = makeSquare(*doc, 0, 0, 10);
    EXPECT_EQ(a->segmentSelection(0), kSegmentNotSelected);
    ASSERT_EQ(doc->setSegmentSelection(a, 2, kSegmentPointSelected), kNoErr);
    EXPECT_TRUE(a->selected());
    EXPECT_TRUE(a->hasPartialSegmentSelection());
    EXPECT_EQ(a->segmentSelection(2), kSegmentPointSelected);
    EXPECT_EQ(a->segmentSelection(1), kSegmentNotSelected);
    ASSERT_EQ(doc->setSegmentSelection(a, 2, 0), kNoErr);
    EXPECT_FALSE(a->selected());
    ASSERT_EQ(doc->setSelected(a, true), kNoErr);
    EXPECT_EQ(a->segmentSelection(3), kSegmentPointSelected);
    EXPECT_FALSE(a->hasPartialSegmentSelection());
    EXPECT_EQ(doc->setSegmentSelection(a, 4, 1), kBadParameterErr);
}

// ---- envelopes ----

TEST_F(DocumentTest, EnvelopeWrapsItsContentsAndConsumesTheEnvelopeObject) {
    Art* below = makeSquare(*doc, -50, -50, 5);
    Art* a = makeSquare(*doc, 0, 0, 10);
    Art* b = makeSquare(*doc, 20, 0, 10);
    Art* shape = makeSquare(*doc, 0, 0, 100);
    Art* env = nullptr;
    Art* list[] = {b, a};
    ASSERT_EQ(doc->makeEnvelope(list, 2, shape, &env), kNoErr);
    EXPECT_EQ(env->type(), kEnvelopeArt);
    EXPECT_FALSE(doc->isLive(shape));
    EXPECT_EQ(childIds(env), (std::vector<int64_t>{a->id(), b->id()}));
    EXPECT_EQ(idsOf(bottom()), (std::vector<int64_t>{below->id(), env->id()}));
    AIRealRect r = boundsOf(env);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(env->warp().style, 0);
    ASSERT_EQ(doc->setEnvelopeWarp(env, EnvelopeWarp{5, 0.5f, -0.25f, 0.125f, true}), kNoErr);
    EXPECT_EQ(env->warp().style, 5);
    EXPECT_EQ(env->warp().bend, 0.5f);
    EXPECT_TRUE(env->warp().rotate90);
    EXPECT_EQ(doc->setEnvelopeWarp(env, EnvelopeWarp{16, 0, 0, 0, false}), kBadParameterErr);
    EXPECT_EQ(doc->setEnvelopeWarp(a, EnvelopeWarp{1, 0, 0, 0, false}), kBadParameterErr);
    ASSERT_EQ(doc->releaseEnvelope(env), kNoErr);
    EXPECT_FALSE(doc->isLive(env));
    EXPECT_EQ(idsOf(bottom()), (std::vector<int64_t>{below->id(), a->id(), b->id()}));
}

TEST_F(DocumentTest, RectangleAndOvalRunCounterClockwiseUnlessReversed) {
    Art* r = nullptr;
    ASSERT_EQ(doc->newRect(10, 0, 0, 20, false, &r), kNoErr);
    ASSERT_EQ(r->segmentCount(), 4u);
    EXPECT_TRUE(r->closed());
    // Signed area of the anchor polygon: positive = counter-clockwise.
    auto area = [](const Art* a) {
        float s = 0;
        const size_t n = a->segmentCount();
        for (size_t i = 0; i < n; ++i) {
            const AIRealPoint p = a->segment(i).p, q = a->segment((i + 1) % n).p;
            s += p.h * q.v - q.h * p.v;
        }
        return s / 2;
    };
    EXPECT_EQ(area(r), 200);
    Art* rr = nullptr;
    ASSERT_EQ(doc->newRect(10, 0, 0, 20, true, &rr), kNoErr);
    EXPECT_EQ(area(rr), -200);
    Art* o = nullptr;
    ASSERT_EQ(doc->newOval(10, 0, 0, 20, true, &o), kNoErr);
    EXPECT_LT(area(o), 0);
    EXPECT_EQ(doc->bottomLayer()->lastArt(), o);
    EXPECT_TRUE(o->style().fillPaint);
}

}  // namespace
}  // namespace easel
