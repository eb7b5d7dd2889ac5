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

// What one top-level art may touch and what it paints for good.
struct ArtReach {
    bool known = false;      // else the art is always drawn and covers nothing
    bool empty = false;      // it draws nothing at all
    bool fillDrawn = false;  // it draws a fill, within `fill`
    bool stroked = false;    // it draws a stroke, within `touched`
    // Cairo draws it as boxes, each pixel from the boxes alone: drawn
    // through a clip of whole pixels, the pixels inside come out the same.
    bool trimmable = false;
    // An axis-aligned rectangle painted opaque: `rect` is its box, each
    // side off by up to `qx`, `qy`; its fill (`solidFill`) and the bands of
    // a solid stroke (`band` > 0: half their width; `corner`: how far the
    // long sides run past the corners) are whole in every pixel inside.
    bool solidFill = false;
    double qx = 0, qy = 0, band = 0, corner = 0;
    PixelBox touched{}, fill{}, rect{};
};

// How a band draws one top-level art: in full, without its fill, not at
// all; and when `x0 < x1`, only within those pixels (the rest of what it
// touches is covered).
enum class Cull : uint8_t { draw, noFill, skip };
struct BandArt {
    Cull cull = Cull::draw;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// The reach of each art in drawing order, through `page` (the picture's
// matrix: uniform scale, axes kept). `painted` tells whether a colour
// paints at all (an opaque colour: the art's opacity is apart).
std::vector<ArtReach> artReach(const std::vector<const Art*>& arts, const cairo_matrix_t& page,
                               const std::function<bool(const AIColor&)>& painted);

// For the rows [top, bottom) of a picture `width` pixels wide: how each art
// is drawn there, so that those rows come out as if all of it were drawn.
std::vector<BandArt> cullBand(const std::vector<ArtReach>& reach, int width, int top, int bottom);

}  // namespace easel
