// Envelopes in a document: warped bounds, contents of every kind, the JSON
// round trip, release, undo and refusal of non-finite warps.
#include <cstring>
#include <string>
#include <tuple>

#include "io/json/DocumentJson.h"
#include "WarpTestSupport.h"

namespace easel::test {
namespace {

class WarpDocumentTest : public ::testing::Test {
protected:
    std::unique_ptr<Document> doc = newDocument();

    Art* makePath(const std::vector<AIPathSegment>& segs, bool closed, Art* container = nullptr) {
        Art* a = nullptr;
        EXPECT_EQ(doc->newArt(kPathArt, container ? kPlaceInsideOnTop : kPlaceAboveAll, container, &a), kNoErr);
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
    Art *group = nullptr, *compound = nullptr, *text = nullptr, *image = nullptr;
    ASSERT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &group), kNoErr);
    Art* inGroup = makePath(circleSegments(50, 50, 40), true, group);
    ASSERT_EQ(doc->newArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &compound), kNoErr);
    Art* hole = makePath(squareSegments(120, 20, 60), false, compound);
    ObjectData words, picture;
    words.isText = true;
    words.text = "Warped";
    words.fontSize = 20;
    picture.href = "photo.png";
    picture.width = 50;
    picture.height = 40;
    for (auto [art, type, data, tx] :
         {std::tuple{&text, kTextArt, &words, 0.0f}, {&image, kPlacedArt, &picture, 150.0f}}) {
        ASSERT_EQ(doc->newArt(type, kPlaceAboveAll, nullptr, art), kNoErr);
        ASSERT_EQ(doc->setObjectData(*art, *data), kNoErr);
        ASSERT_EQ(doc->setObjectMatrix(*art, AIRealMatrix{1, 0, 0, 1, tx, 120}), kNoErr);
    }

    Art* env = envelopeOf({group, compound, text, image});
    // The plain grids of the text and the image, before the warp.
    std::vector<AIRealPoint> plain[2];
    for (int k = 0; k < 2; ++k) ASSERT_TRUE(WarpedGeometry{}.mesh(k ? *image : *text, 4, 3, plain[k]));
    ASSERT_EQ(doc->setEnvelopeWarp(env, warpOf(15, 1)), kNoErr);  // twist: nothing stays in place

    WarpedGeometry g;
    for (Art* p : {inGroup, hole}) {
        std::vector<AIPathSegment> warped;
        ASSERT_TRUE(g.path(*p, warped));
        EXPECT_FALSE(sameSegments(warped, p->segments()));
        EXPECT_GE(warped.size(), p->segmentCount());
    }
    for (int k = 0; k < 2; ++k) {
        std::vector<AIRealPoint> mesh;
        ASSERT_TRUE(g.mesh(k ? *image : *text, 4, 3, mesh));
        ASSERT_EQ(mesh.size(), 20u);
        ASSERT_EQ(plain[k].size(), 20u);
        double moved = 0;
        for (size_t i = 0; i < mesh.size(); ++i) {
            moved = std::max(moved, std::hypot(static_cast<double>(mesh[i].h - plain[k][i].h),
                                               static_cast<double>(mesh[i].v - plain[k][i].v)));
        }
        EXPECT_GT(moved, 5) << (k ? "image" : "text");
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
