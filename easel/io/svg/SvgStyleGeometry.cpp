#include "SvgStyleGeometry.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "SvgGeometry.h"

namespace easel::svg {

namespace {

struct Sized {
    std::string_view tag;
    std::array<std::string_view, 6> properties;
};

// The elements each geometry property sizes.
constexpr std::array<Sized, 7> kSized{{
    {"rect", {"x", "y", "width", "height", "rx", "ry"}},
    {"circle", {"cx", "cy", "r"}},
    {"ellipse", {"cx", "cy", "rx", "ry"}},
    {"image", {"x", "y", "width", "height"}},
    {"use", {"x", "y", "width", "height"}},
    {"svg", {"x", "y", "width", "height"}},
    {"foreignObject", {"x", "y", "width", "height"}},
}};

}  // namespace

void takeGeometryFromStyle(const std::string& tag, AttrMap& at) {
    const auto style = at.find("style");
    if (style == at.end()) return;
    const auto sized = std::find_if(kSized.begin(), kSized.end(), [&](const Sized& s) { return s.tag == tag; });
    if (sized == kSized.end()) return;
    std::string rest;
    bool moved = false;
    for (const auto& [k, v] : parseDeclarations(style->second)) {
        const auto& p = sized->properties;
        if (std::find(p.begin(), p.end(), k) != p.end() && lower(trim(v)) != "auto") {
            at[k] = v;
            moved = true;
        } else {
            rest += k + ":" + v + ";";
        }
    }
    if (moved) style->second = rest;
}

}  // namespace easel::svg
