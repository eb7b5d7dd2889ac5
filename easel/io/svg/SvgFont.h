// The CSS `font` shorthand: style, variant, weight and stretch (any order,
// each at most once, "normal" for any), the size with an optional
// "/ line-height", then the family list.
#pragma once

#include <string_view>

#include "SvgCss.h"

namespace easel::svg {

// The longhands the shorthand sets: font-style, font-variant, font-weight,
// font-stretch (the ones not given as "normal"), font-size, font-family and
// line-height (when given). false, `out` untouched, when the value is not a
// font shorthand (a system font such as "caption", a missing size or family).
bool expandFontShorthand(std::string_view value, Declarations& out);

}  // namespace easel::svg
