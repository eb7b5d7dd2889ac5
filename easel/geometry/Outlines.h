// Shapes as outlines of cubic Bezier segments, and what is computed on them:
// boolean operations (through lib2geom), areas, offsets and stroke outlines.
// Coordinates are doubles here; the model's floats are converted at the
// edges. Functions throw GeometryError when a result cannot be computed.
#pragma once

#include <stdexcept>
#include <vector>

#include "host/ASTypes.h"

namespace easel::geometry {

struct GeometryError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Point {
    double h = 0, v = 0;
};

// One cubic segment: anchor, the direction point out of it, the direction
// point into the next anchor, the next anchor.
struct Cubic {
    Point p0, p1, p2, p3;
};

// One subpath as the model holds it: anchors with their direction points.
struct Outline {
    std::vector<AIPathSegment> segments;
    bool closed = true;
};
// A shape: its subpaths (one path, or the members of a compound path).
using Shape = std::vector<Outline>;

// The cubic segments of an outline in order (closed: the closing one too).
std::vector<Cubic> cubicsOf(const Outline& outline);
// Signed area of the closed subpaths (counter-clockwise positive, vertical
// axis up); open ones are taken as closed by a straight line.
double signedArea(const Outline& outline);
double area(const Shape& shape);  // sum of the signed areas
// The same outline run the other way (a closed one keeps its first anchor).
Outline reversed(const Outline& outline);

enum class BoolOp { unite, subtract, intersect, exclude };
// a op b, "subtract" being a minus b. Both are read with the even-odd rule.
// The result's outer outlines run counter-clockwise and its holes clockwise,
// so it fills alike under either rule.
Shape boolean(const Shape& a, const Shape& b, BoolOp op);
// Every subpath of the shape given the orientation of its nesting depth
// (outer counter-clockwise, holes clockwise).
Shape orient(Shape shape);
// The pieces of a cut by the outline of b: a minus b and a intersect b, each
// connected piece a shape of its own.
std::vector<Shape> divide(const Shape& a, const Shape& b);
// The connected pieces of a shape: every outer outline with the holes in it.
std::vector<Shape> pieces(const Shape& shape);

struct StrokeParams {
    double width = 1;
    int cap = kButtCap;
    int join = kMiterJoin;
    double miterLimit = 4;
    double tolerance = 0.01;  // largest distance of the fitted curves from the exact offset
};
// The filled outline of a stroke along the shape's subpaths.
Shape strokeOutline(const Shape& shape, const StrokeParams& stroke);
// The shape grown by `distance` (shrunk when negative) with the given join.
Shape offset(const Shape& shape, double distance, int join, double miterLimit, double tolerance);

}  // namespace easel::geometry
