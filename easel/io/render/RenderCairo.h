// Between the units that draw with cairo.
#pragma once

#include <cairo.h>

#include <string>

#include "Render.h"

typedef struct _RsvgHandle RsvgHandle;  // librsvg's, declared as librsvg/rsvg.h does

namespace easel {

// The pixels of an ARGB32 surface, un-premultiplied, as an Image. The
// surface may draw in `out.rgba` itself, `out.width` * 4 bytes a row: the
// pixels are then changed in place.
void imageFromSurface(cairo_surface_t* surface, Image& out);

// SVG text read by librsvg at 96 pixels an inch, following no reference to
// other files; nullptr and a message when it cannot be read.
RsvgHandle* loadSvgHandle(const std::string& svg, std::string& error);

}  // namespace easel
