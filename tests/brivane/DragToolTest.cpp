// The Drag tool's layout through the real host: rows, locking, copies,
// random creation, compound paths, colour rules, pattern tiles and warps.
#include "DragFixture.h"

#include <cmath>
#include <set>

namespace brivane_test {
namespace {


class DragTool : public DragFixture {
protected:
    // Centres of the top-level art, left to right, bottom to top.
    std::vector<AIRealPoint> Centres() {
        std::vector<AIRealPoint> out;
        for (Art* a : TopLevelArt()) out.push_back(Centre(a));
        std::sort(out.begin(), out.end(), [](auto p, auto q) { return p.h != q.h ? p.h < q.h : p.v < q.v; });
        return out;
    }
};

TEST_F(DragTool, DefaultOptionsLeaveOneRunOfTenAfterMouseUp) {
    Art* object = Square(0, 0, 10);
    Drag(kDrag, {{0, 0}, {20, 10}, {45, 18}, {90, 0}});
    const auto centres = Centres();
    ASSERT_EQ(centres.size(), 10u);
    for (int k = 0; k < 10; ++k) {
        EXPECT_FLOAT_EQ(centres[static_cast<std::size_t>(k)].h, 5.0f + 10.0f * static_cast<float>(k));
        EXPECT_FLOAT_EQ(centres[static_cast<std::size_t>(k)].v, 5.0f);
    }
    EXPECT_TRUE(doc->isLive(object));
    for (Art* a : TopLevelArt()) EXPECT_TRUE(Tagged(a));
    for (ASErr r : results) EXPECT_EQ(r, kNoErr);
    EXPECT_EQ(G().selectedArt, nullptr) << "mouse up gives the snapshot back";
}

TEST_F(DragTool, CursorOnTheStartPointDrawsNothing) {
    Square(0, 0, 10);
    Drag(kDrag, {{3, 3}, {3, 3}});
    EXPECT_EQ(TopLevelArt().size(), 1u);
    EXPECT_FALSE(Tagged(TopLevelArt()[0]));
}

TEST_F(DragTool, LockedMakesAThirtyDegreeDragHorizontal) {
    G().dragLocked = 1;
    Square(0, 0, 10);
    const float dy = 90.0f * std::tan(30.0f * 3.14159265f / 180.0f);
    Drag(kDrag, {{0, 0}, {90, dy}});
    const auto centres = Centres();
    ASSERT_EQ(centres.size(), 10u);
    EXPECT_FLOAT_EQ(centres.back().h, 95.0f);
    for (auto c : centres) EXPECT_FLOAT_EQ(c.v, 5.0f);
}

TEST_F(DragTool, LockedTurnsExactDiagonalsVertical) {
    G().dragLocked = 1;
    G().dragCopies = 2;
    Square(0, 0, 10);
    // pi/4 (down-left from the cursor back to the start is -3pi/4) and 3pi/4.
    for (Event end : {Event{30, 30}, Event{-30, 30}, Event{30, -30}}) {
        Drag(kDrag, {{0, 0}, end});
        EXPECT_NE(ArtAt(5, 5 + end.v), nullptr) << end.h << ", " << end.v;
        EXPECT_EQ(ArtAt(5 + end.h, 5 + end.v), nullptr);
        doc->undo();
    }
}

TEST_F(DragTool, TwoCopiesPutOneDuplicateAtTheFullDragVector) {
    G().dragCopies = 2;
    Square(0, 0, 10);
    Drag(kDrag, {{0, 0}, {10, 10}, {37, -12}});
    const auto centres = Centres();
    ASSERT_EQ(centres.size(), 2u);
    EXPECT_FLOAT_EQ(centres[0].h, 5.0f);
    EXPECT_FLOAT_EQ(centres[0].v, 5.0f);
    EXPECT_FLOAT_EQ(centres[1].h, 42.0f);
    EXPECT_FLOAT_EQ(centres[1].v, -7.0f);
}

// Copies of two stacked objects keep their stacking: the front object's copy
// goes above the back object's, as the originals lie.
TEST_F(DragTool, CopiesOfSeveralObjectsKeepTheirStacking) {
    G().dragCopies = 2;
    Art* back = Square(0, 0, 10);
    Art* front = Square(5, 5, 10);
    Drag(kDrag, {{0, 0}, {10, 10}, {40, 0}});
    const auto art = TopLevelArt();  // bottom first
    ASSERT_EQ(art.size(), 4u);
    EXPECT_EQ(art[0], back);
    EXPECT_EQ(art[1], front);
    EXPECT_FLOAT_EQ(Bounds(art[2]).left, 40.0f) << "the back object's copy";
    EXPECT_FLOAT_EQ(Bounds(art[3]).left, 45.0f) << "the front object's copy, above it";
}

TEST_F(DragTool, RotationTurnsMemberZeroAndTheDuplicatesCarryIt) {
    G().dragRotation = 90.0f;
    G().dragSelected = 0;
    G().dragCopies = 3;
    Art* object = Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}}); // 20 wide, 10 high
    Drag(kDrag, {{0, 0}, {60, 0}});
    for (Art* a : TopLevelArt()) {
        AIRealRect r{};
        ASSERT_EQ(doc->bounds(a, &r), kNoErr);
        EXPECT_NEAR(r.right - r.left, 10.0f, 1e-4f);
        EXPECT_NEAR(r.top - r.bottom, 20.0f, 1e-4f);
    }
    EXPECT_NEAR(Centre(object).h, 10.0f, 1e-4f) << "turned about its own centre";
}

TEST_F(DragTool, CreateRandomSkipsMembersButKeepsTheirPlaces) {
    G().dragCreate = 1;
    G().dragRotation = 90.0f;
    G().dragSelected = 0;
    bool sawSkippedFirst = false, sawMadeFirst = false;
    for (int seed = 1; seed <= 12; ++seed) {
        doc = newDocument(400, 300);
        hostState().document = doc.get();
        hostState().random.reseed(seed);
        Art* object = Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
        Drag(kDrag, {{0, 0}, {90, 0}});
        const auto art = TopLevelArt();
        EXPECT_LE(art.size(), 10u);
        const bool madeFirst = Tagged(object);
        (madeFirst ? sawMadeFirst : sawSkippedFirst) = true;
        for (Art* a : art) {
            AIRealRect r{};
            ASSERT_EQ(doc->bounds(a, &r), kNoErr);
            // Rotated only when member 0 was made; duplicates copy the object as it is.
            EXPECT_NEAR(r.right - r.left, madeFirst ? 10.0f : 20.0f, 1e-4f) << "seed " << seed;
            const float k = (Centre(a).h - 10.0f) / 10.0f;
            EXPECT_NEAR(k, std::round(k), 1e-4f) << "on the row's lattice";
        }
    }
    EXPECT_TRUE(sawSkippedFirst);
    EXPECT_TRUE(sawMadeFirst);
}

TEST_F(DragTool, CompoundPathsAreHandledChildByChildAndLeftUntagged) {
    Art* compound = nullptr;
    ASSERT_EQ(doc->newArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &compound), kNoErr);
    for (float left : {0.0f, 20.0f}) {
        Art* child = nullptr;
        ASSERT_EQ(doc->newArt(kPathArt, kPlaceInsideOnTop, compound, &child), kNoErr);
        AIPathSegment segs[4] = {{{left, 0}, {left, 0}, {left, 0}, 1},
                                 {{left + 10, 0}, {left + 10, 0}, {left + 10, 0}, 1},
                                 {{left + 10, 10}, {left + 10, 10}, {left + 10, 10}, 1},
                                 {{left, 10}, {left, 10}, {left, 10}, 1}};
        ASSERT_EQ(doc->setSegmentCount(child, 4), kNoErr);
        ASSERT_EQ(doc->setSegments(child, 0, 4, segs), kNoErr);
        AIPathStyle style{};
        style.fillPaint = 1;
        style.fill.color = {kGrayColor, {0.2f, 0, 0, 0}, 0};
        ASSERT_EQ(doc->setStyle(child, style), kNoErr);
    }
    ASSERT_EQ(doc->setSelected(compound, true), kNoErr);
    G().dragCopies = 3;
    G().fillMode = 2; // " To black"
    Drag(kDrag, {{0, 0}, {0, 40}});
    const auto art = TopLevelArt();
    ASSERT_EQ(art.size(), 3u);
    for (Art* a : art) {
        ASSERT_EQ(a->type(), kCompoundPathArt);
        EXPECT_FALSE(Tagged(a));
        int children = 0;
        for (Art* c = a->firstChild(); c != nullptr; c = c->next(), ++children) EXPECT_TRUE(Tagged(c));
        EXPECT_EQ(children, 2);
    }
    // Copy 2 of 3 (period 2) is black, child by child.
    Art* last = nullptr;
    for (Art* a : art)
        if (Centre(a).v > 40.0f) last = a;
    ASSERT_NE(last, nullptr);
    for (Art* c = last->firstChild(); c != nullptr; c = c->next()) EXPECT_FLOAT_EQ(c->style().fill.color.c[0], 1.0f);
    EXPECT_FLOAT_EQ(compound->firstChild()->style().fill.color.c[0], 0.2f);
}

TEST_F(DragTool, StartPointPatternAddsThreeMirroredPieces) {
    G().dragCopies = 2;
    G().patternCentre = 3; // " Use start point"
    // A right triangle centred at (10, 5), right angle at the lower left.
    Path({{8, 3}, {12, 3}, {8, 7}});
    Drag(kDrag, {{0, 0}, {0, 100}});
    ASSERT_EQ(TopLevelArt().size(), 8u) << "two members, each with three mirror pieces";
    struct Piece {
        float h, v;          // centre
        AIRealPoint corner;  // where the right angle went
    };
    const Piece pieces[] = {{10, 5, {8, 3}}, {-10, 5, {-8, 3}}, {-10, -5, {-8, -3}}, {10, -5, {8, -3}}};
    for (const Piece& p : pieces) {
        Art* art = ArtAt(p.h, p.v);
        ASSERT_NE(art, nullptr) << p.h << ", " << p.v;
        EXPECT_EQ(Tagged(art), true);
        bool found = false;
        for (const AIPathSegment& s : art->segments())
            found = found || (std::fabs(s.p.h - p.corner.h) < 1e-4f && std::fabs(s.p.v - p.corner.v) < 1e-4f);
        EXPECT_TRUE(found) << "right angle of the piece at " << p.h << ", " << p.v;
    }
}

TEST_F(DragTool, WarpWrapsEveryMemberInAnEnvelope) {
    G().dragWarp = 1;
    G().dragCopies = 4;
    Square(0, 0, 10);
    Drag(kDrag, {{0, 0}, {30, 0}});
    const auto art = TopLevelArt();
    ASSERT_EQ(art.size(), 4u);
    std::set<int32_t> styles;
    for (Art* a : art) {
        EXPECT_EQ(a->type(), kEnvelopeArt);
        EXPECT_GE(a->warp().style, 0);
        EXPECT_LE(a->warp().style, 15);
        styles.insert(a->warp().style);
    }
    EXPECT_GT(styles.size(), 1u) << "warps are drawn per member";
}

TEST_F(DragTool, PressureSetsTheOpacityOverRandomOpacity) {
    hostState().hasPressure = true;
    G().usePressure = 1;
    G().randomOpacity = 1;
    G().dragCopies = 3;
    Square(0, 0, 10);
    Drag(kDrag, {{0, 0}, {Event{20, 0, 0, 51}}});
    for (Art* a : TopLevelArt()) EXPECT_FLOAT_EQ(a->opacity(), 51.0f * 0.003921569f);
}

TEST_F(DragTool, BeneathPlacementPutsOddCopiesBelowEverything) {
    G().placement = 3; // " Alternate 2"
    G().dragCopies = 4;
    Square(0, 0, 10);
    Drag(kDrag, {{0, 0}, {30, 0}});
    const auto art = TopLevelArt(); // bottom first
    ASSERT_EQ(art.size(), 4u);
    EXPECT_FLOAT_EQ(Centre(art[0]).h + Centre(art[1]).h, 15.0f + 35.0f) << "copies 1 and 3 at the bottom";
    EXPECT_FLOAT_EQ(Centre(art[3]).h, 25.0f) << "copy 2 above all";
}

} // namespace
} // namespace brivane_test
