// Writing a document as SVG for browsers, librsvg and other editors.
//
// Layers become top-level groups whose transform flips the vertical axis, so
// every coordinate is written exactly as the model holds it. Colours are
// drawn with their display value (grey and four-colour converted); the exact
// value, ids, selection, tags and the rest of what SVG has no place for go
// into data-easel-* attributes, so reading the file back (readSvg) gives the
// same document.
#pragma once

#include <string>

#include "Document.h"

namespace easel {

std::string writeSvg(const Document& doc);

}  // namespace easel
