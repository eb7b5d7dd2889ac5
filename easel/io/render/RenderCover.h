// Which top-level art of a picture cannot show: the pixels each path may
// touch, and the pixels opaque paint drawn later decides on its own. A band
// of the picture draws only the art that can change one of its pixels, and
// a rectangle only within the pixels of it still open.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "model/Art.h"

namespace easel {

// A box in picture pixels.
struct PixelBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// What one top-level art may touch and what it paints for good, in floats:
// a large document keeps one for each art while it is drawn. The box is the
// nearest floats to the path's exact box, and `qx`, `qy` take in how far
// they moved, so every box below holds the exact one (and every opaque
// part is inside the exact one's).
struct ArtReach {
    bool known = false;      // else the art is always drawn and covers nothing
    bool empty = false;      // it draws nothing at all
    bool fillDrawn = false;  // it draws a fill, within `fill()`
    bool stroked = false;    // it draws a stroke, within `touched()`
    // Cairo draws it as boxes, each pixel from the boxes alone: drawn
    // through a clip of whole pixels, the pixels inside come out the same.
    bool trimmable = false;
    // An axis-aligned rectangle painted opaque: `rect()` is its box, each
    // side off by up to `qx`, `qy`; its fill (`solidFill`) and the bands of
    // a solid stroke (`band` > 0: half their width; `corner`: how far the
    // long sides run past the corners) are whole in every pixel inside.
    bool solidFill = false;
    float qx = 0, qy = 0, band = 0, corner = 0;
    float reach = 0;  // how far past the fill's box the stroke may go
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    PixelBox rect() const { return {double{x0}, double{y0}, double{x1}, double{y1}}; }
    PixelBox fill() const {
        return {double{x0} - double{qx}, double{y0} - double{qy}, double{x1} + double{qx}, double{y1} + double{qy}};
    }
    // Within `rect()` by the most its sides may be off: whole in a solid fill.
    PixelBox solid() const {
        return {double{x0} + double{qx}, double{y0} + double{qy}, double{x1} - double{qx}, double{y1} - double{qy}};
    }
    PixelBox touched() const {
        const double dx = double{qx} + double{reach}, dy = double{qy} + double{reach};
        return {double{x0} - dx, double{y0} - dy, double{x1} + dx, double{y1} + dy};
    }
};

// How a band draws each top-level art: in full, without its fill, not at
// all (`cull`, one per art in drawing order); the few drawn only within
// some pixels (the rest of what they touch is covered) are listed apart, in
// falling order of art.
enum class Cull : uint8_t { draw, noFill, skip };
struct Trim {
    uint32_t art = 0;
    uint16_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // whole pixels [x0, x1) x [y0, y1)
};
struct BandCulls {
    std::vector<Cull> cull;
    std::vector<Trim> trims;
};

// The reach of each art in drawing order, through `page` (the picture's
// matrix: uniform scale, axes kept). `painted` tells whether a colour
// paints at all (an opaque colour: the art's opacity is apart).
std::vector<ArtReach> artReach(const std::vector<const Art*>& arts, const cairo_matrix_t& page,
                               const std::function<bool(const AIColor&)>& painted);

// For the rows [top, bottom) of a picture `width` pixels wide: how each art
// is drawn there, so that those rows come out as if all of it were drawn.
BandCulls cullBand(const std::vector<ArtReach>& reach, int width, int top, int bottom);

}  // namespace easel
