// Colours in SVG files: the display colour a model colour is drawn with, the
// exact text form kept beside it, and the CSS colour syntax read on import.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/ASTypes.h"

namespace easel {

class Document;

struct Rgb8 {
    unsigned r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
};

// The colour drawn for a model colour, components clamped to 0..1: grey and
// four-colour converted, a spot colour as its swatch at the tint, pattern
// colours as mid grey, gradients as the mean of their stops (mid grey when
// the document does not hold the paint).
// nullopt for the none kind. `doc` resolves spot colours (may be null).
std::optional<Rgb8> displayColor(const AIColor& c, const Document* doc);
std::string hexColor(const Rgb8& c);  // "#rrggbb"

// Exact text of a colour: "gray 0.5", "cmyk 0 0.5 1 0", "rgb 1 0 0",
// "spot 3 0.5", "pattern 2", "gradient 1", "none". Numbers are the shortest
// decimals that read back as the same floats.
std::string colorText(const AIColor& c);
std::optional<AIColor> parseColorText(std::string_view text);

// A CSS colour: #rgb, #rgba, #rrggbb, #rrggbbaa, rgb(), rgba(), hsl(),
// hsla() (numbers or percentages), the named colours and "transparent".
// Alpha goes to `alpha` (1 when not given). nullopt when not a colour.
// "none", "currentColor" and url() are the caller's business.
struct CssColor {
    Rgb8 rgb;
    float r = 0, g = 0, b = 0;  // 0..1 as written (before 8-bit rounding)
    float alpha = 1;
};
std::optional<CssColor> parseCssColor(std::string_view text);

// Shortest decimal that reads back as the same float / double.
std::string formatNumber(float v);
std::string formatNumber(double v);
// formatNumber(v) appended to `out`.
void appendNumber(std::string& out, float v);

}  // namespace easel
