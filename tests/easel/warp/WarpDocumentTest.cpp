// Envelopes in a document: warped bounds, contents of every kind, the JSON
// round trip, release, undo and refusal of non-finite warps.
#include <cstring>
#include <string>

#include "DocumentJson.h"
#include "WarpTestSupport.h"

namespace easel::test {
namespace {

class WarpDocumentTest : public ::testing::Test {
protected:
    std::unique_ptr<Document> doc = newDocument();

    Art* makePath(const std::vector<AIPathSegment>& segs, bool closed) {
        Art* a = nullptr;
        EXPECT_EQ(doc->newArt(kPathArt, kPlaceAboveAll, nullptr, &a), kNoErr);
        EXPECT_EQ(doc->setSegmentCount(a, segs.size()), kNoErr);
        EXPECT_EQ(doc->setSegments(a, 0, segs.size(), segs.data()), kNoErr);
        EXPECT_EQ(doc->setClosed(a, closed), kNoErr);
        return a;
    }
    Art* square(float left, float bottom, float size) { return makePath(squareSegments(left, bottom, size), true); }

    Art* envelopeOf(std::vector<Art*> contents) {
        Art* env = nullptr;
        EXPECT_EQ(doc->makeEnvelope(contents.data(), contents.size(), nullptr, &env), kNoErr);
        return env;
    }

    AIRealRect boundsOf(const Art* a) {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(a, &r), kNoErr);
        return r;
    }

    static bool sameRect(const AIRealRect& a, const AIRealRect& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
};

TEST_F(WarpDocumentTest, BoundsFollowTheWarpAndZeroBendLeavesThem) {
    Art* a = square(100, 100, 100);
    Art* env = envelopeOf({a});
    const AIRealRect plain = boundsOf(env);
    ASSERT_EQ(doc->setEnvelopeWarp(env, warpOf(4, 0)), kNoErr);
    EXPECT_TRUE(sameRect(boundsOf(env), plain));
    ASSERT_EQ(doc->setEnvelopeWarp(env, warpOf(4, 1)), kNoErr);  // arch: everything lifts
    const AIRealRect arched = boundsOf(env);
    EXPECT_EQ(arched.left, 100.0f);
    EXPECT_EQ(arched.right, 200.0f);
    EXPECT_NEAR(arched.top, 250.0f, 0.1f);
    EXPECT_EQ(arched.bottom, 100.0f);
    // The contents themselves are not changed by the warp.
    EXPECT_TRUE(sameSegments(a->segments(), squareSegments(100, 100, 100)));
    EXPECT_TRUE(sameRect(boundsOf(a), plain));
}

TEST_F(WarpDocumentTest, GroupsCompoundPathsTextAndImagesAreAllDeformed) {
    Art* group = nullptr;
    ASSERT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &group), kNoErr);
    Art* inGroup = nullptr;
    ASSERT_EQ(doc->newArt(kPathArt, kPlaceInsideOnTop, group, &inGroup), kNoErr);
    const std::vector<AIPathSegment> circle = circleSegments(50, 50, 40);
    ASSERT_EQ(doc->setSegmentCount(inGroup, circle.size()), kNoErr);
    ASSERT_EQ(doc->setSegments(inGroup, 0, circle.size(), circle.data()), kNoErr);
    ASSERT_EQ(doc->setClosed(inGroup, true), kNoErr);

    Art* compound = nullptr;
    ASSERT_EQ(doc->newArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &compound), kNoErr);
    Art* hole = nullptr;
    ASSERT_EQ(doc->newArt(kPathArt, kPlaceInsideOnTop, compound, &hole), kNoErr);
    const std::vector<AIPathSegment> sq = squareSegments(120, 20, 60);
    ASSERT_EQ(doc->setSegmentCount(hole, sq.size()), kNoErr);
    ASSERT_EQ(doc->setSegments(hole, 0, sq.size(), sq.data()), kNoErr);

    Art* text = nullptr;
    ASSERT_EQ(doc->newArt(kTextArt, kPlaceAboveAll, nullptr, &text), kNoErr);
    ObjectData words;
    words.isText = true;
    words.text = "Warped";
    words.fontSize = 20;
    ASSERT_EQ(doc->setObjectData(text, words), kNoErr);
    ASSERT_EQ(doc->setObjectMatrix(text, AIRealMatrix{1, 0, 0, 1, 0, 120}), kNoErr);

    Art* image = nullptr;
    ASSERT_EQ(doc->newArt(kPlacedArt, kPlaceAboveAll, nullptr, &image), kNoErr);
    ObjectData picture;
    picture.href = "photo.png";
    picture.width = 50;
    picture.height = 40;
    ASSERT_EQ(doc->setObjectData(image, picture), kNoErr);
    ASSERT_EQ(doc->setObjectMatrix(image, AIRealMatrix{1, 0, 0, 1, 150, 120}), kNoErr);

    Art* env = envelopeOf({group, compound, text, image});
    ASSERT_EQ(doc->setEnvelopeWarp(env, warpOf(15, 1)), kNoErr);  // twist: nothing stays in place

    WarpedGeometry g;
    for (Art* p : {inGroup, hole}) {
        std::vector<AIPathSegment> warped;
        ASSERT_TRUE(g.path(*p, warped));
        EXPECT_FALSE(sameSegments(warped, p->segments()));
        EXPECT_GE(warped.size(), p->segmentCount());
    }
    for (Art* o : {text, image}) {
        std::vector<AIRealPoint> mesh;
        ASSERT_TRUE(g.mesh(*o, 4, 3, mesh));
        ASSERT_EQ(mesh.size(), 20u);
        // The plain grid, to compare with.
        const AIRealRect b = o->object().localBox();
        const AIRealMatrix& m = o->objectMatrix();
        double moved = 0;
        for (int j = 0; j <= 3; ++j) {
            for (int i = 0; i <= 4; ++i) {
                const AIRealPoint local{b.left + (b.right - b.left) * static_cast<float>(i) / 4,
                                        b.bottom + (b.top - b.bottom) * static_cast<float>(j) / 3};
                const AIRealPoint plain = transformPoint(m, local);
                const AIRealPoint& w = mesh[static_cast<size_t>(j * 5 + i)];
                moved = std::max(moved, std::hypot(static_cast<double>(w.h - plain.h), static_cast<double>(w.v - plain.v)));
            }
        }
        EXPECT_GT(moved, 5);
    }
    // A glyph outline handed in by a renderer is warped like the text.
    const std::vector<AIPathSegment> glyph = squareSegments(2, 120, 10);
    std::vector<AIPathSegment> warpedGlyph;
    ASSERT_TRUE(g.contour(*text, glyph.data(), glyph.size(), true, warpedGlyph));
    EXPECT_FALSE(sameSegments(warpedGlyph, glyph));
    // Outside any envelope nothing moves.
    Art* loose = square(400, 400, 10);
    std::vector<AIPathSegment> same;
    ASSERT_TRUE(g.path(*loose, same));
    EXPECT_TRUE(sameSegments(same, loose->segments()));
}

TEST_F(WarpDocumentTest, NestedEnvelopesApplyTheInnerWarpFirst) {
    Art* a = square(0, 0, 100);
    Art* inner = envelopeOf({a});
    ASSERT_EQ(doc->setEnvelopeWarp(inner, warpOf(5, 1)), kNoErr);
    const AIRealRect innerBounds = boundsOf(inner);
    Art* outer = envelopeOf({inner});
    // The outer envelope without a warp measures what the inner one shows.
    EXPECT_TRUE(sameRect(boundsOf(outer), innerBounds));
    ASSERT_EQ(doc->setEnvelopeWarp(outer, warpOf(11, 1)), kNoErr);
    WarpedGeometry g;
    EXPECT_EQ(g.chainOf(*a).identity(), false);
    const WarpPoint p{50, 100};
    const WarpPoint expected = g.field(*outer).map(g.field(*inner).map(p));
    const WarpPoint got = g.chainOf(*a).map(p);
    EXPECT_EQ(got.h, expected.h);
    EXPECT_EQ(got.v, expected.v);
    EXPECT_FALSE(sameRect(boundsOf(outer), innerBounds));
}

TEST_F(WarpDocumentTest, TheJsonFileKeepsTheWarpAndTheOriginalContents) {
    Art* a = square(100, 100, 100);
    Art* b = makePath(circleSegments(300, 150, 40), true);
    Art* env = envelopeOf({a, b});
    ASSERT_EQ(doc->setEnvelopeWarp(env, warpOf(9, -0.75f, 0.25f, -0.5f, true)), kNoErr);
    const AIRealRect warpedBounds = boundsOf(env);
    const std::string text = writeDocumentJson(*doc);

    std::unique_ptr<Document> back;
    std::string error;
    ASSERT_TRUE(readDocumentJson(text, back, error)) << error;
    Art* env2 = back->findById(env->id());
    ASSERT_NE(env2, nullptr);
    ASSERT_EQ(env2->type(), kEnvelopeArt);
    EXPECT_EQ(env2->warp().style, 9);
    EXPECT_EQ(env2->warp().bend, -0.75f);
    EXPECT_EQ(env2->warp().horizontal, 0.25f);
    EXPECT_EQ(env2->warp().vertical, -0.5f);
    EXPECT_TRUE(env2->warp().rotate90);
    Art* a2 = back->findById(a->id());
    Art* b2 = back->findById(b->id());
    ASSERT_NE(a2, nullptr);
    ASSERT_NE(b2, nullptr);
    EXPECT_EQ(a2->parent(), env2);
    EXPECT_TRUE(sameSegments(a2->segments(), a->segments()));
    EXPECT_TRUE(sameSegments(b2->segments(), b->segments()));
    AIRealRect r{};
    ASSERT_EQ(back->bounds(env2, &r), kNoErr);
    EXPECT_TRUE(sameRect(r, warpedBounds));
    EXPECT_EQ(writeDocumentJson(*back), text);

    // Changing the warp of the read document, then removing it.
    ASSERT_EQ(back->setEnvelopeWarp(env2, warpOf(2, 0.5f)), kNoErr);
    ASSERT_EQ(back->bounds(env2, &r), kNoErr);
    EXPECT_FALSE(sameRect(r, warpedBounds));
    ASSERT_EQ(back->releaseEnvelope(env2), kNoErr);
    EXPECT_TRUE(sameSegments(a2->segments(), squareSegments(100, 100, 100)));
    EXPECT_TRUE(sameSegments(b2->segments(), circleSegments(300, 150, 40)));
}

TEST_F(WarpDocumentTest, UndoAndRedoOfAWarp) {
    Art* a = square(0, 0, 100);
    Art* env = envelopeOf({a});
    doc->commitUndoContext();
    const AIRealRect plain = boundsOf(env);
    ASSERT_EQ(doc->setEnvelopeWarp(env, warpOf(1, 1)), kNoErr);
    doc->commitUndoContext();
    const AIRealRect arced = boundsOf(env);
    EXPECT_FALSE(sameRect(arced, plain));
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(env->warp().style, 0);
    EXPECT_TRUE(sameRect(boundsOf(env), plain));
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(env->warp().style, 1);
    EXPECT_TRUE(sameRect(boundsOf(env), arced));
    // Within one context: undoChanges takes the warp back.
    ASSERT_EQ(doc->setEnvelopeWarp(env, warpOf(14, -1)), kNoErr);
    ASSERT_EQ(doc->undoChanges(), kNoErr);
    EXPECT_EQ(env->warp().style, 1);
    EXPECT_TRUE(sameRect(boundsOf(env), arced));
}

TEST_F(WarpDocumentTest, AWarpWhoseResultIsNotFiniteIsRefusedAndNothingChanges) {
    Art* a = makePath(rectSegments(-3e38f, -3e38f, 3e38f, 3e38f), true);
    Art* env = envelopeOf({a});
    doc->commitUndoContext();
    EXPECT_EQ(doc->setEnvelopeWarp(env, warpOf(13, 1)), kBadParameterErr);
    EXPECT_EQ(env->warp().style, 0);
    EXPECT_FALSE(doc->contextChanged());
    AIRealRect r = boundsOf(env);
    EXPECT_TRUE(std::isfinite(r.left) && std::isfinite(r.right));
    // A shrinking warp of the same art fits.
    EXPECT_EQ(doc->setEnvelopeWarp(env, warpOf(12, -1)), kNoErr);
}

TEST_F(WarpDocumentTest, AnInnerWarpThatOverflowsTheOuterEnvelopeIsRefused) {
    Art* b = makePath(rectSegments(-2e38f, -2e38f, 2e38f, 2e38f), true);
    Art* inner = envelopeOf({b});
    Art* outer = envelopeOf({inner});
    ASSERT_EQ(doc->setEnvelopeWarp(outer, warpOf(13, 1)), kNoErr);
    EXPECT_EQ(doc->setEnvelopeWarp(inner, warpOf(13, 1)), kBadParameterErr);
    EXPECT_EQ(inner->warp().style, 0);
    // On its own the same warp fits.
    Art* single = envelopeOf({makePath(rectSegments(-2e38f, -2e38f, 2e38f, 2e38f), true)});
    EXPECT_EQ(doc->setEnvelopeWarp(single, warpOf(13, 1)), kNoErr);
}

}  // namespace
}  // namespace easel::test
