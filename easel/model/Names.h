// Names shared by the document file formats: art types, colour kinds and
// blend modes (the CSS mix-blend-mode names).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace easel {

// "group", "path", "compound", "text", "image", "textpath", "raster", "mesh",
// "symbol", "envelope"; "unknown" for any other type.
const char* artTypeName(int16_t type);
// kUnknownArt when the name is none of the above.
int16_t artTypeFromName(std::string_view name);

// "normal" ... "luminosity" for modes 0..15; "normal" for any other mode.
const char* blendModeName(int32_t mode);
// -1 when the name is not one of the sixteen.
int32_t blendModeFromName(std::string_view name);

// "gray", "cmyk", "rgb", "pattern", "gradient", "spot", "none".
const char* colorKindName(int32_t kind);
// -1 when unknown.
int32_t colorKindFromName(std::string_view name);
// How many of c[] a colour kind uses (grey 1, cmyk 4, rgb 3, spot 1 tint).
size_t colorKindValueCount(int32_t kind);
// Whether the kind refers to a definition (pattern, gradient, spot).
bool colorKindHasRef(int32_t kind);

}  // namespace easel
