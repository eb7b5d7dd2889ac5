// What SVG material kept from a file may hold, one rule for what the SVG
// reader keeps and for what the writer writes of a document's kept members
// (a document can come from anyone, so the writer is the last gate):
// - no element that runs a script or loads a document that may run one:
//   <script>, <handler>, <listener>, and in foreign content <iframe>,
//   <frame>, <frameset>, <embed>, <object>, <applet>, <base>, <meta>, <link>;
// - no event handler attribute (a name starting with "on", any prefix), nor
//   an animation of one (attributeName="on...");
// - no attribute value or style sheet naming a script URL (javascript:,
//   vbscript:, whatever the case and the spaces or control characters in it);
// - no entity reference (a written file would not define it);
// - no gradient of more stops than a gradient may have (kMaxGradientStops).
// Everything else kept is written as it was kept.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

struct _xmlNode;

namespace easel {

// Why an attribute may not be kept or written ("with event handlers",
// "holding a script"); empty when it may.
std::string refusedSvgAttribute(std::string_view name, std::string_view value);

// Why an element, with everything it holds, may not be kept or written
// ("holding a script", "embedding a document", "with event handlers",
// "using entities", "with a gradient of more than 1000 stops ..."); empty
// when it may.
std::string refusedSvgTree(const _xmlNode* element);

// Whether SVG text (elements, as kept) is well-formed XML whose elements
// pass the rule; prefixes it does not declare do not matter here.
bool allowedSvgText(std::string_view text);

// Leaves out of an art's extra members, their kept SVG of the right types
// (KeptSvg.h), what the rule refuses: attributes one by one; element text,
// a symbol, pattern paint and a text's spans whole. true when it left
// something out.
bool allowKeptSvg(nlohmann::ordered_json& members);

}  // namespace easel
