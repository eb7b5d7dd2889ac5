// The drag fixture with what the grid tools' tests look at: the art at a
// place, its size, and the tools' indexes.
#pragma once

#include "DragFixture.h"

#include <cmath>

namespace brivane_test {

inline constexpr int kRowsColumns = 0;
inline constexpr int kFramed = 3;
inline constexpr int kCheckerboard = 9;
inline constexpr int kTile = 11;

class GridFixture : public DragFixture {
protected:
    // The top-level art centred at (h, v), or null.
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
    // Width and height of the art's bounds.
    AIRealPoint Size(const Art* art) const {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(art, &r), kNoErr);
        return {r.right - r.left, r.top - r.bottom};
    }
    AIRealRect Bounds(const Art* art) const {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(art, &r), kNoErr);
        return r;
    }
    // The first anchor of a path (where a path's first corner went).
    AIRealPoint FirstAnchor(const Art* art) const {
        const auto segs = art->segments();
        EXPECT_FALSE(segs.empty());
        return segs.empty() ? AIRealPoint{0, 0} : segs.front().p;
    }
    float Grey(const Art* art) const { return art->style().fill.color.c[0]; }
    void ExpectAllResultsZero() {
        for (ASErr r : results) EXPECT_EQ(r, kNoErr);
    }
};

// Expects art at (h, v) of the given size.
#define EXPECT_CELL(atH, atV, width, height)                                        \
    do {                                                                           \
        Art* cell_ = ArtAt(atH, atV);                                              \
        EXPECT_NE(cell_, nullptr) << "no art at " << (atH) << ", " << (atV);       \
        if (cell_ != nullptr) {                                                    \
            EXPECT_NEAR(Size(cell_).h, (width), 1e-3f) << (atH) << ", " << (atV);  \
            EXPECT_NEAR(Size(cell_).v, (height), 1e-3f) << (atH) << ", " << (atV); \
        }                                                                          \
    } while (0)

} // namespace brivane_test
