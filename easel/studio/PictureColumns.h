// The picture's object records as columns of typed arrays, and the bytes
// the page is sent (docs/formats.md, Studio, describes the layout).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace easel::studio {

// Text that reads back as the same float.
std::string exactNumber(float v);

// The new object records as columns, and their shapes'.
struct PictureColumns {
    std::vector<double> ids;
    std::vector<float> bounds, mats, opacity;
    std::vector<uint8_t> flags, blend;
    std::vector<uint32_t> counts, geom, style;
};

// Columns whose entries are all alike are emptied and given as one value in
// the header member this returns ("" when none is): the copies of an
// arrangement mostly differ only in their place.
std::string packUniform(std::vector<double>& ids, std::vector<uint8_t>& flags, std::vector<uint32_t>& counts,
                        std::vector<float>& mats, std::vector<uint32_t>& geom, std::vector<uint32_t>& style,
                        std::vector<float>& opacity, std::vector<uint8_t>& blend);

// Layout: the header's length (4 bytes, little-endian), the header, then
// each array aligned to 8 bytes: runs (int32 pairs), ids (float64),
// bounds (float32 x 4, for the objects not flagged 8), flags (uint8), shape counts (uint32), matrices
// (float32 x 6, or x 2 when all share their linear part), geometry ids
// (uint32), style ids (uint32), opacities (float32), blend modes (uint8);
// a column the header gives as one value is left out.
std::string pictureBytes(const std::string& head, const std::vector<int32_t>& runs, const PictureColumns& c);

}  // namespace easel::studio
