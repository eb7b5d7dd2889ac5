// Checks the document makes of the colours it is given.
#pragma once

#include <cmath>

#include "host/ASTypes.h"

namespace easel {

// Every component of the colour is a finite number.
inline bool finiteColor(const AIColor& c) {
    return std::isfinite(c.c[0]) && std::isfinite(c.c[1]) && std::isfinite(c.c[2]) && std::isfinite(c.c[3]);
}

}  // namespace easel
