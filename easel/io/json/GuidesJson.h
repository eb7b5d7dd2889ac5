// The guides and grid of a document in its JSON file: the optional member
// "guides": {"vertical": [h, ...], "horizontal": [v, ...], "gridSpacing": s}.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "model/Document.h"

namespace easel {

// Adds "guides" to the document object unless the document has no guide and
// the default grid spacing, so documents without them are written as before.
void writeGuides(const Document& doc, nlohmann::ordered_json& root);
// Reads "guides" when present; false and a message naming the member.
bool readGuides(const nlohmann::ordered_json& root, Document& doc, std::string& error);

}  // namespace easel
