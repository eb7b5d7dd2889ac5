// The ring, spiral and scatter tools driven through the real Brivane bundle
// in easel: the drag fixture plus measurements of the art a drag leaves and
// the host's random sequence, so expected places can be worked out from the
// draws the tools take.
#pragma once

#include "tests/brivane/DragFixture.h"
#include "core/Random.h"

#include <cmath>
#include <vector>

namespace brivane_test {

class RingsFixture : public DragFixture {
protected:
    struct Box {
        float left, bottom, right, top;
        float Width() const { return right - left; }
        float Height() const { return top - bottom; }
        float H() const { return (left + right) / 2; }
        float V() const { return (bottom + top) / 2; }
    };

    Box BoxOf(const Art* art) const {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(art, &r), kNoErr);
        return {r.left, r.bottom, r.right, r.top};
    }
    std::vector<Box> Boxes() const {
        std::vector<Box> out;
        for (Art* a : TopLevelArt()) out.push_back(BoxOf(a));
        return out;
    }
    // The art whose centre is at (h, v), or null.
    Art* ArtCentredAt(float h, float v, float tolerance = 1e-3f) const {
        for (Art* a : TopLevelArt()) {
            const Box b = BoxOf(a);
            if (std::fabs(b.H() - h) < tolerance && std::fabs(b.V() - v) < tolerance) return a;
        }
        return nullptr;
    }
    // The anchor of segment i of a path.
    static AIRealPoint Anchor(const Art* art, std::size_t i) {
        const auto segments = art->segments();
        EXPECT_LT(i, segments.size());
        return i < segments.size() ? segments[i].p : AIRealPoint{0, 0};
    }
    // The draws the host hands out after a reseed with `seed`, in order.
    static std::vector<float> Draws(int seed, std::size_t count) {
        easel::Random random(seed);
        std::vector<float> out;
        for (std::size_t i = 0; i < count; ++i) out.push_back(random.next());
        return out;
    }
    // A 20 x 10 bar with its lower left corner at the origin: centre (10, 5),
    // so a quarter turn shows as 10 x 20.
    Art* Bar() { return Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}}); }
    // The copy centred at (h, v), of the given size and without the tool's
    // tag (ring, spiral and scatter copies carry none), or null.
    Art* ExpectPiece(float h, float v, float w, float ht, float tolerance = 1e-3f) {
        Art* piece = ArtCentredAt(h, v, tolerance);
        EXPECT_NE(piece, nullptr) << "no copy centred at " << h << ", " << v;
        if (piece == nullptr) return nullptr;
        EXPECT_NEAR(BoxOf(piece).Width(), w, tolerance);
        EXPECT_NEAR(BoxOf(piece).Height(), ht, tolerance);
        EXPECT_FALSE(Tagged(piece)) << "copies carry no tag";
        return piece;
    }
    struct Expected {
        float h, v, w, ht;
    };
    // Each expected piece is in the document, and nothing else.
    void ExpectPieces(const std::vector<Expected>& pieces, float tolerance = 1e-3f) {
        EXPECT_EQ(TopLevelArt().size(), pieces.size());
        for (const Expected& e : pieces) ExpectPiece(e.h, e.v, e.w, e.ht, tolerance);
    }
    // A selected path of three corners: a right triangle whose right angle
    // is at (left, bottom), `w` across and `h` up.
    Art* Triangle(float left, float bottom, float w, float h) {
        return Path({{left, bottom}, {left + w, bottom}, {left, bottom + h}});
    }
    // One object on a locked bottom layer, one on an open layer above it (the
    // current one): both can be copied, only the open one can be deleted.
    std::pair<Art*, Art*> ObjectsOnLockedAndOpenLayers() {
        Art* locked = Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
        Layer* top = nullptr;
        EXPECT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
        Art* open = Square(200, 0, 10);
        EXPECT_EQ(doc->setLayerLocked(doc->bottomLayer(), true), kNoErr);
        return {locked, open};
    }
};

} // namespace brivane_test
