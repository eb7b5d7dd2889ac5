// Outlines as lib2geom paths and back: cubic segments are carried exactly
// (as doubles), lines and quadratic curves are raised to cubics.
#pragma once

#include <2geom/path.h>
#include <2geom/pathvector.h>

#include "Outlines.h"

namespace easel::geometry {

Geom::Path toPath(const Outline& outline);
Geom::PathVector toPathVector(const Shape& shape);
Outline toOutline(const Geom::Path& path);

}  // namespace easel::geometry
