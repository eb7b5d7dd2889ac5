// The drag fixture with what the run tools' tests look at: the art at a
// place, its size and first corner, the snapshot's order, and the tools'
// indexes.
#pragma once

#include "DragFixture.h"

#include <algorithm>
#include <cmath>

namespace brivane_test {

inline constexpr int kSoftCenter = 2;
inline constexpr int kScaledown = 6;
inline constexpr int kBouncealong = 7;
inline constexpr int kPaint = 10;

inline constexpr int32_t kShift = 0x20;
inline constexpr int32_t kAlt = 0x40;

class RunsFixture : public DragFixture {
protected:
    // The top-level art centred at (h, v), or null; two there is a failure.
    Art* ArtAt(float h, float v, float tolerance = 1e-3f) {
        Art* found = nullptr;
        for (Art* a : TopLevelArt()) {
            const AIRealPoint c = Centre(a);
            if (std::fabs(c.h - h) < tolerance && std::fabs(c.v - v) < tolerance) {
                EXPECT_EQ(found, nullptr) << "two pieces of art at " << h << ", " << v;
                found = a;
            }
        }
        return found;
    }
    // How many top-level pieces are centred at (h, v).
    int CountAt(float h, float v) {
        int n = 0;
        for (Art* a : TopLevelArt()) {
            const AIRealPoint c = Centre(a);
            if (std::fabs(c.h - h) < 1e-3f && std::fabs(c.v - v) < 1e-3f) ++n;
        }
        return n;
    }
    AIRealPoint Size(const Art* art) const {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(art, &r), kNoErr);
        return {r.right - r.left, r.top - r.bottom};
    }
    // Where the path's first corner went.
    static AIRealPoint FirstAnchor(const Art* art) {
        const auto segs = art->segments();
        return segs.empty() ? AIRealPoint{0, 0} : segs.front().p;
    }
    // The snapshot as the first drag event of a drag sees it (entries in
    // list order; null for the emptied members of compound paths).
    std::vector<AIArtHandle> Snapshot() {
        std::vector<AIArtHandle> out;
        const BrivaneGlobals& g = G();
        for (int32_t i = 0; i < g.selectedCount; ++i) out.push_back((*g.selectedArt)[i]);
        return out;
    }
    void ExpectPiece(float h, float v, float width, float height) {
        Art* piece = ArtAt(h, v);
        ASSERT_NE(piece, nullptr) << "no art there";
        EXPECT_NEAR(Size(piece).h, width, 1e-3f);
        EXPECT_NEAR(Size(piece).v, height, 1e-3f);
    }
    void ExpectNoErrors() {
        for (ASErr r : results) EXPECT_EQ(r, kNoErr);
    }
};

// Expects one piece of art centred at (h, v) of the given size.
#define EXPECT_PIECE(ph_, pv_, width_, height_)                                        \
    do {                                                                               \
        SCOPED_TRACE(::testing::Message() << "piece at " << (ph_) << ", " << (pv_));  \
        ExpectPiece(static_cast<float>(ph_), static_cast<float>(pv_), static_cast<float>(width_), \
                    static_cast<float>(height_));                                      \
    } while (0)

} // namespace brivane_test
