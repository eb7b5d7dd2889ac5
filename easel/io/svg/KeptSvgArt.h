// The kept SVG members of an art's extra (KeptSvg.h), typed: read once for
// each extra text and shared by everything that draws or writes the art
// (the SVG writer, the studio's picture), instead of each parsing the text.
#pragma once

#include <array>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace easel {

class Art;

// SVG attributes: names and string values, in the order they were kept.
using KeptSvgAttributes = std::vector<std::pair<std::string, std::string>>;

// The string attributes of a JSON object (none when it is not one).
KeptSvgAttributes keptSvgAttributes(const nlohmann::ordered_json& object);
// The value of attribute `name`, null when there is none.
const std::string* findKeptSvgAttribute(const KeptSvgAttributes& attributes, std::string_view name);

// Pattern paint kept for the fill or the stroke (svgPaint.fill, .stroke).
struct KeptSvgPattern {
    std::string color;    // "on <colour>": the colour the art showed with it
    std::string pattern;  // the pattern's id
    std::optional<KeptSvgAttributes> tile;           // in user space (userSpaceOnUse)
    std::optional<std::array<double, 6>> transform;  // pattern space to the space it was read in
    std::string definitions;                         // SVG text of the pattern and what it uses
};

// A text's spans (svgText).
struct KeptSvgText {
    std::string text;  // the string the spans hold
    std::optional<std::string> markup;
    std::optional<KeptSvgAttributes> attributes;
    std::optional<std::array<double, 2>> origin;
};

// The kept members an art's extra holds, each of its type; absent when the
// extra has none (or one of the wrong type).
struct KeptSvgMembers {
    std::optional<KeptSvgAttributes> attributes;  // svg: attributes written on the art's element
    std::optional<std::string> element;           // svgElement: "a" for a link, "switch"
    std::optional<std::string> symbol;            // svgSymbol: the symbol's SVG text
    struct Elements {
        std::optional<std::string> before, after, inside;
    };
    std::optional<Elements> elements;  // svgKept: elements kept around the art
    struct Effects {
        std::optional<KeptSvgAttributes> attributes;  // clip-path, mask, filter, markers
        std::optional<std::string> definitions;
    };
    std::optional<Effects> effects;  // svgEffects
    bool paint = false;              // svgPaint is there
    std::optional<KeptSvgPattern> fill, stroke;
    std::optional<KeptSvgText> text;  // svgText
    bool strokeTransformed = false;   // svgStroke: "transformed"
};

// An art's kept SVG, read from its extra.
struct KeptSvgArt {
    // As the art keeps it (members of the wrong type left out): what the
    // studio draws.
    KeptSvgMembers stored;
    // As the SVG writer writes it: what the rule of SvgAllow.h refuses left
    // out as well.
    KeptSvgMembers written;
    // The extra without what was left out (JSON text, "" when nothing is
    // left), for data-easel-extra; none when nothing was left out and the
    // extra is written as it is.
    std::optional<std::string> writtenExtra;
};

// The art's kept SVG, read when its extra is first asked for and shared
// while that extra lives (copies of an art share it); a new extra is read
// anew. Safe to call from several threads.
std::shared_ptr<const KeptSvgArt> keptSvgOf(const Art& a);

// Reads an extra's text (what keptSvgOf caches).
KeptSvgArt readKeptSvgArt(const std::string& extra);

}  // namespace easel
