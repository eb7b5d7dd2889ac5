// Conditional processing: whether an element's requiredExtensions,
// requiredFeatures and systemLanguage hold, as renderers decide it, and the
// one language easel reads files in.
#pragma once

#include "SvgCss.h"

namespace easel::svg {

// The language systemLanguage is matched against: a list naming "en" or a
// subtag of it ("en-US") holds.
constexpr const char* kReaderLanguage = "en";

// Whether the conditions of an element with these attributes hold (true
// when it has none):
// - requiredExtensions: no extension is supported, so any value fails, the
//   empty one too;
// - requiredFeatures: holds when it names only features of static SVG 1.1
//   (the feature strings librsvg accepts), the empty list too;
// - systemLanguage: a comma-separated list of language tags; holds when one
//   is kReaderLanguage or starts with it and "-" (case aside).
bool conditionsHold(const AttrMap& at);

}  // namespace easel::svg
