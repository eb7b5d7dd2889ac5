// Paint servers read from SVG elements: linear and radial gradients with
// their href chains followed, stops with colour and opacity, spread, units
// and transform.
#pragma once

#include <libxml/tree.h>

#include <optional>
#include <string>
#include <vector>

#include "SvgCss.h"
#include "SvgGeometry.h"

namespace easel::svg {

// What the paint reader needs from the document: attributes (entities
// expanded), declared properties (style sheet and style attribute) and
// elements by id.
class ElementReader {
public:
    virtual ~ElementReader() = default;
    virtual AttrMap attributes(xmlNodePtr n) = 0;
    virtual Props declared(xmlNodePtr n, const AttrMap& at) = 0;
    // Every declaration of the style sheet's matching rules and the style
    // attribute, in cascade order, known properties or not.
    virtual Declarations declarations(xmlNodePtr n, const AttrMap& at) = 0;
    // The SVG element "#id" (or url(#id)) names; nullptr when there is none.
    virtual xmlNodePtr byReference(const std::string& ref) = 0;
};

// The local name of an SVG element ("" for anything else).
std::string svgTag(xmlNodePtr n);
// The element an href (or xlink:href) attribute names, "" when none.
std::string hrefOf(const AttrMap& at);

struct GradientSpec {
    struct Stop {
        double offset = 0;         // 0..1, never below the previous stop's
        double r = 0, g = 0, b = 0;  // 0..1
        double opacity = 1;        // stop-opacity times the colour's alpha
        std::string exact;         // data-easel-color: the model colour this system wrote
    };
    bool radial = false;
    bool userSpace = false;  // gradientUnits="userSpaceOnUse"
    int spread = 0;          // 0 pad, 1 reflect, 2 repeat
    Mat transform;           // gradientTransform
    // Linear: x1 y1 x2 y2; radial: cx cy r fx fy fr. Given or defaulted.
    double coords[6] = {};
    // Which coordinates are percentages of the viewport (user space only).
    bool percent[6] = {};
    std::vector<Stop> stops;
};

// Reads a <linearGradient> or <radialGradient>, following href for what it
// does not give itself. nullopt when the element is not a gradient. Stops
// past kMaxGradientStops are not read: a gradient with more has one more.
std::optional<GradientSpec> readGradient(ElementReader& reader, xmlNodePtr element, const Note& note);

// The paint a "fill" or "stroke" value names: a url() reference (with its
// fallback) or a colour.
struct PaintValue {
    std::string reference;  // "#id" of url(#id), "" when none
    std::string fallback;   // what follows the url(), or the whole value
};
PaintValue splitPaint(const std::string& value);

}  // namespace easel::svg
