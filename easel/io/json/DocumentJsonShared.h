// What the document file's reader and writer agree on.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

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

// The shortest decimal that reads back as the same float (whole numbers as integers).
inline nlohmann::ordered_json documentJsonNumber(float v) {
    if (v == 0) return 0;
    if (std::abs(v) < 9.0e15f && std::floor(v) == v) return static_cast<int64_t>(v);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    *res.ptr = '\0';
    return std::strtod(buf, nullptr);
}

}  // namespace easel
