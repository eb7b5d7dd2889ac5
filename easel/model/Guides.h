// The guides and the grid of a document: straight lines across the page a
// person places to line art up with, and the spacing of the grid the studio
// shows and snaps to. Kept with the document and restored by undo.
#pragma once

#include <cstddef>
#include <vector>

namespace easel {

constexpr float kDefaultGridSpacing = 36;  // half an inch
constexpr size_t kMaxGuides = 1000;        // on each axis

struct Guides {
    std::vector<float> vertical;    // h of each vertical guide, page points
    std::vector<float> horizontal;  // v of each horizontal guide
    float gridSpacing = kDefaultGridSpacing;
    bool operator==(const Guides&) const = default;
};

}  // namespace easel
