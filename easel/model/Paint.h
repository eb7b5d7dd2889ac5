// Gradients as paint. A gradient (kind, geometry in its own space, spread and
// stops) is shared by every paint that uses it; a gradient paint places it
// on the page with a matrix. A colour of the gradient kind names a gradient
// paint of its document by `ref`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/ASTypes.h"

namespace easel {

// The most stops a gradient may have. Gradients in drawings use a handful;
// each stop costs every renderer work per pixel, so the readers refuse more.
constexpr size_t kMaxGradientStops = 1000;

struct GradientStop {
    float offset = 0;   // 0..1, never below the previous stop's
    AIColor color{};    // gray, cmyk or rgb
    float opacity = 1;  // 0..1
};

enum GradientSpread : int32_t { kSpreadPad = 0, kSpreadReflect = 1, kSpreadRepeat = 2 };

struct Gradient {
    bool radial = false;
    // Linear: x1 y1 x2 y2 (the line the stops run along). Radial: cx cy r
    // (the end circle) fx fy fr (the focal circle the stops start from).
    float coords[6] = {0, 0, 1, 0, 0, 0};
    int32_t spread = kSpreadPad;
    std::vector<GradientStop> stops;
};

struct GradientPaint {
    std::shared_ptr<const Gradient> gradient;
    AIRealMatrix matrix{1, 0, 0, 1, 0, 0};  // the gradient's space to the page
};

}  // namespace easel
