// easel for Windows is built without lib2geom: the operations that need it
// refuse with a message.
#include "Outlines.h"

namespace easel::geometry {

namespace {
[[noreturn]] void missing() { throw GeometryError("boolean operations and offsets are not in easel for Windows"); }
}  // namespace

Shape boolean(const Shape&, const Shape&, BoolOp) { missing(); }
Shape orient(Shape) { missing(); }
std::vector<Shape> divide(const Shape&, const Shape&) { missing(); }
std::vector<Shape> pieces(const Shape&) { missing(); }
Shape strokeOutline(const Shape&, const StrokeParams&) { missing(); }
Shape offset(const Shape&, double, int, double, double) { missing(); }

}  // namespace easel::geometry
