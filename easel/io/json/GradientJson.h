// The gradient paints of a document in its JSON file: "gradients" (the
// shared definitions) and "gradientPaints" (each placed by a matrix; the
// "ref" of a colour of kind "gradient" is an index into it).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "model/Document.h"

namespace easel {

// Adds both lists to the document object when the document holds any paint.
void writeGradientPaints(const Document& doc, nlohmann::ordered_json& root);
// Reads both lists when present; false and a message naming the place.
bool readGradientPaints(const nlohmann::ordered_json& root, Document& doc, std::string& error);

}  // namespace easel
