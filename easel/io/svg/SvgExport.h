// Writing a document as SVG for browsers, librsvg and other editors.
//
// Layers become top-level groups whose transform flips the vertical axis, so
// every coordinate is written exactly as the model holds it. Colours are
// drawn with their display value (grey and four-colour converted); the exact
// value, ids, selection, tags and the rest of what SVG has no place for go
// into data-easel-* attributes, so reading the file back (readSvg) gives the
// same document.
//
// Art inside envelopes is drawn as the warp leaves it: paths and compound
// paths with their warped segments (the stored ones in data-easel-d), text
// and symbols through the warp's local affine at their centre (their own
// transform in data-easel-transform; text on a path follows its warped path),
// placed and raster images in triangles, each fitted to the warp at its
// corners, drawn from an unwarped definition of the image.
#pragma once

#include <string>

#include "model/Document.h"

namespace easel {

std::string writeSvg(const Document& doc);

}  // namespace easel
