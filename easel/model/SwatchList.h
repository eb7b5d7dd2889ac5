// Edits of a document's swatch list a person makes (the studio's swatch
// panel, the `swatch` edit), recorded for undo like every other change. The
// readers and new documents fill the list with Document::addSwatch.
#pragma once

#include <cstddef>
#include <string>

#include "Document.h"

namespace easel {

// kBadParameterErr for a colour that is not finite or an index past the list.
ASErr appendSwatch(Document& doc, const std::string& name, const AIColor& color);
ASErr removeSwatch(Document& doc, size_t n);
ASErr renameSwatch(Document& doc, size_t n, const std::string& name);

}  // namespace easel
