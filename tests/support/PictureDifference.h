// How far apart two pictures are: the mean absolute difference of their
// premultiplied RGBA, 0 (the same) to 1. Pictures of different sizes, or
// empty ones (nothing rendered), differ wholly.
#pragma once

#include <cmath>

#include "io/render/Render.h"

namespace easel::test {

inline double pictureDifference(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size() || a.rgba.empty()) return 1;
    double sum = 0;
    for (size_t i = 0; i + 3 < a.rgba.size(); i += 4) {
        const double aa = a.rgba[i + 3] / 255.0, ba = b.rgba[i + 3] / 255.0;
        for (size_t c = 0; c < 3; ++c) sum += std::abs(a.rgba[i + c] * aa - b.rgba[i + c] * ba);
        sum += std::abs(a.rgba[i + 3] - b.rgba[i + 3]);
    }
    return sum / (255.0 * static_cast<double>(a.rgba.size()));
}

}  // namespace easel::test
