// Between the units that draw with cairo.
#pragma once

#include <cairo.h>

#include "Render.h"

namespace easel {

// The pixels of an ARGB32 surface, un-premultiplied, as an Image.
void imageFromSurface(cairo_surface_t* surface, Image& out);

}  // namespace easel
