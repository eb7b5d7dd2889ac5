// The paint of the selection as the page's colour picker, gradient editor
// and stroke panel edit it: colours by kind and values, gradients with their
// ends on the page, the stroke's caps, joins, dashes and arrowheads.
#pragma once

#include <nlohmann/json.hpp>

namespace easel {
class Document;
}

namespace easel::studio {

// Adds to `style` (the state's "selectionStyle"): "fillPaint", "strokePaint"
// (COLOR as the edits take it, "none", {"gradient": {...}} or "mixed" when
// the selected objects differ), "cap", "join", "miterLimit", "dash",
// "dashOffset", "start", "end" of the first selected painted object.
void addSelectionPaint(const Document& doc, nlohmann::ordered_json& style);

}  // namespace easel::studio
