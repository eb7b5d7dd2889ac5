// Transform by values: the selection's bounds placed and sized by numbers a
// person types (the studio's transform panel), as one step.
#include <cmath>
#include <sstream>

#include "Support.h"

namespace easel::edit {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMinExtent = 1e-3;  // narrower bounds have no width to set

struct Reference {
    const char* name;
    double h, v;  // the point's place in the bounds: 0 left / bottom, 1 right / top
};
constexpr Reference kReferences[] = {{"topLeft", 0, 1},    {"top", 0.5, 1},    {"topRight", 1, 1},
                                     {"left", 0, 0.5},     {"center", 0.5, 0.5}, {"right", 1, 0.5},
                                     {"bottomLeft", 0, 0}, {"bottom", 0.5, 0}, {"bottomRight", 1, 0}};

const Reference& referenceArg(const Args& args) {
    const std::string name = args.word("reference", {"topLeft", "top", "topRight", "left", "center", "right",
                                                     "bottomLeft", "bottom", "bottomRight"}, "center");
    for (const Reference& r : kReferences)
        if (name == r.name) return r;
    return kReferences[4];
}

// The factor that takes the bounds' extent to the size asked for; 1 when
// none is asked.
double factor(const Args& args, const char* key, double extent) {
    if (!args.has(key)) return 1;
    const double size = args.number(key, 0, 2 * kMaxCoordinate);
    const bool flat = extent < kMinExtent;
    if (flat && size == 0) return 1;
    if (flat) refuse(std::string("the selection has no ") + key + " to change (it is a straight line)");
    if (size < kMinExtent) refuse(std::string("\"") + key + "\" must be more than 0: a shape cannot be flattened");
    const double f = size / extent;
    if (f > 1e4 || f < 1e-4) {
        std::ostringstream s;
        s << "\"" << key << "\" " << size << " would scale the selection by " << f << " (at most 10000 times, at least 1/10000)";
        refuse(s.str());
    }
    return f;
}

}  // namespace

// {"reference": WORD, "x", "y", "width", "height", "angle", "strokes"}: the
// reference point of the selection's bounds moves to (x, y), the bounds take
// the width and height about it, then the selection turns by angle about it.
void opTransform(Ctx& c) {
    bool given = false;
    for (const char* k : {"x", "y", "width", "height", "angle"}) given = given || c.args.has(k);
    if (!given) refuse("give any of \"x\", \"y\", \"width\", \"height\", \"angle\"");
    const Reference& ref = referenceArg(c.args);
    const auto art = targets(c.doc);
    const AIRealRect b = boundsOf(c.doc, art);
    if (isEmptyRect(b)) refuse("the selection has no bounds to transform (empty groups)");
    const double left = b.left, bottom = b.bottom, w = double{b.right} - left, h = double{b.top} - bottom;
    const double rh = left + ref.h * w, rv = bottom + ref.v * h;
    const double sx = factor(c.args, "width", w), sy = factor(c.args, "height", h);
    const double x = c.args.number("x", -kMaxCoordinate, kMaxCoordinate, rh);
    const double y = c.args.number("y", -kMaxCoordinate, kMaxCoordinate, rv);
    const double rad = c.args.number("angle", -3600, 3600, 0) * kPi / 180;
    const float cs = static_cast<float>(std::cos(rad)), sn = static_cast<float>(std::sin(rad));
    const AIRealMatrix toOrigin{1, 0, 0, 1, static_cast<float>(-rh), static_cast<float>(-rv)};
    const AIRealMatrix scale{static_cast<float>(sx), 0, 0, static_cast<float>(sy), 0, 0};
    const AIRealMatrix turn{cs, sn, -sn, cs, 0, 0};
    const AIRealMatrix place{1, 0, 0, 1, static_cast<float>(x), static_cast<float>(y)};
    const AIRealMatrix m = concatMatrix(concatMatrix(concatMatrix(toOrigin, scale), turn), place);
    transformAll(c, art, m, static_cast<float>(std::sqrt(sx * sy)), c.args.flag("strokes", false));
}

}  // namespace easel::edit
