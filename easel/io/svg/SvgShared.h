// Pieces the SVG reader and writer share.
#pragma once

#include <string>
#include <string_view>

#include "host/ASTypes.h"

namespace easel {

// How far from collinear (sine of the angle) an anchor's direction points
// may be for the anchor to count as smooth when a file does not say.
constexpr double kSmoothTolerance = 1e-6;

// The key of an art's extra attributes that keeps the SVG text of the
// <symbol> a symbol instance draws.
constexpr const char* kSymbolDefinitionKey = "svgSymbol";
// The key of an art's extra attributes that keeps the clip path, mask and
// filter acting on it: {"attributes": {"clip-path": "url(#c)", ...},
// "definitions": "<clipPath id=\"c\">...</clipPath>..."}, drawn in the
// art's effect space.
constexpr const char* kEffectsKey = "svgEffects";
// The key of elements kept where the art stands that easel does not draw
// (metadata, editor settings, other namespaces): {"before": "<metadata>...",
// "after": "...", "inside": "..."} (inside: an empty group's content).
constexpr const char* kKeptKey = "svgKept";
// The key of pattern paint kept for fill and stroke: {"fill": {"color":
// "on rgb 0.5 0.5 0.5", "pattern": "p", "tile": {...}, "transform": [...],
// "definitions": "<pattern id=\"p\">...</pattern>"}, "stroke": ...}; written
// while the art's colour is still the one recorded, in its effect space.
constexpr const char* kPaintKey = "svgPaint";
// The key of a text's inner markup (spans): {"text": "...", "markup":
// "Hello <tspan ...>world</tspan>", "attributes": {"x": "20", ...},
// "origin": [x, y]}; written while the text's string is still "text".
constexpr const char* kTextKey = "svgText";
// The key of the name of the SVG element a group was read from when it is
// not <g>: "a" (a link, its target among the group's kept attributes).
constexpr const char* kElementKey = "svgElement";

// The key that marks path art whose stroke is drawn in its effect space,
// transformed with the path as under a non-uniform scale: "transformed".
// The art's stroke width is the width on the page (the space's mean scale
// times the width in it).
constexpr const char* kStrokeKey = "svgStroke";

// Whether an anchor's direction points lie on one line through it, on
// opposite sides: the shape of a smooth anchor. Used for files that do not
// say which anchors are corners.
bool looksSmooth(const AIPathSegment& s);

// The inverse of an effect space, which the written SVG needs to put the
// clip path, mask or filter around the art: false when the space flattens
// the art (no inverse) or its inverse is out of float range.
bool invertEffectSpace(const AIRealMatrix& m, double inverse[6]);

// Escapes &, <, > (and in attributes ", tab and line breaks).
std::string xmlEscape(std::string_view s, bool attribute);
// xmlEscape(s, attribute) appended to `out`.
void appendXmlEscaped(std::string& out, std::string_view s, bool attribute);
// The text with characters XML cannot carry (control characters other than
// tab and line feed, carriage returns, malformed UTF-8) replaced by U+FFFD.
std::string xmlText(std::string_view s);
// An XML name usable as an id and in "#id" references.
bool isXmlName(std::string_view s);
// Whether SVG text kept from a file can be written into one: well-formed,
// namespaces included, inside a root declaring SVG, xlink, inkscape and
// `declarations` (" xmlns:p=\"...\"..."), and allowed (SvgAllow.h: no
// scripts, handlers or entities). The reader keeps only what passes,
// so that the writer, checking the same, writes all it kept.
bool writableSvgText(std::string_view text, const std::string& declarations = "");

}  // namespace easel
