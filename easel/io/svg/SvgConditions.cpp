#include "SvgConditions.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "SvgGeometry.h"

namespace easel::svg {

namespace {

// The feature strings of static SVG 1.1, sorted.
constexpr std::array<std::string_view, 21> kFeatures{
    "http://www.w3.org/TR/SVG11/feature#BasicFilter",
    "http://www.w3.org/TR/SVG11/feature#BasicGraphicsAttribute",
    "http://www.w3.org/TR/SVG11/feature#BasicPaintAttribute",
    "http://www.w3.org/TR/SVG11/feature#BasicStructure",
    "http://www.w3.org/TR/SVG11/feature#BasicText",
    "http://www.w3.org/TR/SVG11/feature#ConditionalProcessing",
    "http://www.w3.org/TR/SVG11/feature#ContainerAttribute",
    "http://www.w3.org/TR/SVG11/feature#Filter",
    "http://www.w3.org/TR/SVG11/feature#Gradient",
    "http://www.w3.org/TR/SVG11/feature#Image",
    "http://www.w3.org/TR/SVG11/feature#Marker",
    "http://www.w3.org/TR/SVG11/feature#Mask",
    "http://www.w3.org/TR/SVG11/feature#OpacityAttribute",
    "http://www.w3.org/TR/SVG11/feature#Pattern",
    "http://www.w3.org/TR/SVG11/feature#SVG",
    "http://www.w3.org/TR/SVG11/feature#SVG-static",
    "http://www.w3.org/TR/SVG11/feature#Shape",
    "http://www.w3.org/TR/SVG11/feature#Structure",
    "http://www.w3.org/TR/SVG11/feature#Style",
    "http://www.w3.org/TR/SVG11/feature#View",
    "org.w3c.svg.static",
};
static_assert(std::is_sorted(kFeatures.begin(), kFeatures.end()));

bool featuresHold(std::string_view list) {
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && isWsp(list[i])) ++i;
        size_t j = i;
        while (j < list.size() && !isWsp(list[j])) ++j;
        if (j > i && !std::binary_search(kFeatures.begin(), kFeatures.end(), list.substr(i, j - i))) return false;
        i = j;
    }
    return true;
}

bool languageHolds(std::string_view list) {
    const std::string want = kReaderLanguage;
    size_t i = 0;
    while (i <= list.size()) {
        size_t comma = list.find(',', i);
        if (comma == std::string_view::npos) comma = list.size();
        const std::string tag = lower(trim(list.substr(i, comma - i)));
        if (tag == want || (tag.size() > want.size() && tag.compare(0, want.size(), want) == 0 && tag[want.size()] == '-'))
            return true;
        i = comma + 1;
    }
    return false;
}

}  // namespace

bool conditionsHold(const AttrMap& at) {
    if (at.count("requiredExtensions")) return false;
    if (const auto f = at.find("requiredFeatures"); f != at.end() && !featuresHold(f->second)) return false;
    if (const auto l = at.find("systemLanguage"); l != at.end() && !languageHolds(l->second)) return false;
    return true;
}

}  // namespace easel::svg
