// What the document file's reader and writer agree on.
#pragma once

#include <cstdint>

#include "host/AISuites.h"

namespace easel {

constexpr int kDocumentJsonVersion = 1;

// Art types that always carry "fill" and "stroke".
inline bool documentJsonHasStyle(int16_t t) {
    return t == kPathArt || t == kCompoundPathArt || t == kTextArt || t == kTextPathArt;
}
// Art types with "width" and "height".
inline bool documentJsonHasSize(int16_t t) {
    return t == kPlacedArt || t == kRasterArt || t == kSymbolArt || t == kMeshArt;
}
// Art types with "text" and "fontSize".
inline bool documentJsonIsText(int16_t t) { return t == kTextArt || t == kTextPathArt; }
// Art types with "href".
inline bool documentJsonHasHref(int16_t t) { return t == kPlacedArt || t == kRasterArt; }

}  // namespace easel
