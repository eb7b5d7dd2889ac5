// Geometry given as style: x, y, width, height, rx, ry, cx, cy and r may be
// written as properties (style="width:0") of the shapes they size, and then
// win over the attributes of the same name, as renderers draw them.
#pragma once

#include <string>

#include "SvgCss.h"

namespace easel::svg {

// Moves the geometry declarations of `at`'s style attribute that apply to an
// element named `tag` into its attributes (overriding them) and drops them
// from the style, so the rest of the reader sees plain attributes.
void takeGeometryFromStyle(const std::string& tag, AttrMap& at);

}  // namespace easel::svg
