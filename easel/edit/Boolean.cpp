// Boolean operations on the selected paths and compound paths, and the
// outlines made from them: stroke to path and offset. The result takes the
// place and the look of the bottom-most selected object; division's pieces
// all take the look of the object they were cut from.
#include <algorithm>

#include "PathSupport.h"

namespace easel::edit {

namespace {

using geometry::BoolOp;
using geometry::Shape;

struct Operand {
    Art* art;
    Shape shape;
};

// The selected objects as shapes, bottom first; at least `need` of them.
std::vector<Operand> operands(Ctx& c, size_t need, const char* what) {
    std::vector<Operand> out;
    for (Art* a : targets(c.doc)) out.push_back({a, shapeOf(*a, what, true)});
    if (out.size() < need)
        refuse("select at least " + std::to_string(need) + " paths or compound paths (" + std::to_string(out.size()) +
               " selected)");
    return out;
}

// Replaces the operands by the shapes, where the bottom one was.
void replace(Ctx& c, const std::vector<Operand>& ops, const std::vector<std::pair<Shape, const Art*>>& results) {
    Art* bottom = ops.front().art;
    c.doc.deselectAll();
    std::vector<Art*> made;
    for (const auto& [shape, from] : results) made.push_back(makeShapeArt(c.doc, shape, drawnStyle(*from), kPlaceBelow, bottom));
    for (const Operand& o : ops) check(c.doc.disposeArt(o.art), c.undoName);
    for (Art* a : made) {
        check(c.doc.setSelected(a, true), c.undoName);
        c.out.made.push_back(a->id());
    }
}

void booleanOp(Ctx& c, BoolOp op) {
    const auto ops = operands(c, 2, "boolean operations");
    Shape result;
    if (op == BoolOp::subtract) {
        // The bottom shape less everything above it.
        Shape cut;
        for (size_t i = 1; i < ops.size(); ++i) cut = computed([&] { return geometry::boolean(cut, ops[i].shape, BoolOp::unite); });
        result = computed([&] { return geometry::boolean(ops[0].shape, cut, BoolOp::subtract); });
    } else {
        result = ops[0].shape;
        for (size_t i = 1; i < ops.size(); ++i) result = computed([&] { return geometry::boolean(result, ops[i].shape, op); });
    }
    if (result.empty()) refuse("the result would be empty (the shapes do not overlap as the operation needs)");
    replace(c, ops, {{result, ops.front().art}});
}

}  // namespace

void opUnion(Ctx& c) { booleanOp(c, BoolOp::unite); }
void opDifference(Ctx& c) { booleanOp(c, BoolOp::subtract); }
void opIntersection(Ctx& c) { booleanOp(c, BoolOp::intersect); }
void opExclusion(Ctx& c) { booleanOp(c, BoolOp::exclude); }

void opDivision(Ctx& c) {
    // The top object cuts every object below it into pieces.
    const auto ops = operands(c, 2, "boolean operations");
    const Shape& knife = ops.back().shape;
    std::vector<std::pair<Shape, const Art*>> results;
    for (size_t i = 0; i + 1 < ops.size(); ++i)
        for (Shape& piece : computed([&] { return geometry::divide(ops[i].shape, knife); }))
            results.emplace_back(std::move(piece), ops[i].art);
    if (results.empty()) refuse("the result would be empty");
    replace(c, ops, results);
}

void opStrokeToPath(Ctx& c) {
    const auto art = targets(c.doc);
    std::vector<Operand> ops;
    for (Art* a : art) {
        Shape s = shapeOf(*a, "Stroke to Path", false);
        if (!drawnStyle(*a).style.strokePaint || drawnStyle(*a).style.stroke.width <= 0)
            refuse("art " + std::to_string(a->id()) + " has no stroke to outline");
        ops.push_back({a, std::move(s)});
    }
    c.doc.deselectAll();
    for (const Operand& o : ops) {
        const DrawnStyle look = drawnStyle(*o.art);
        const AIStrokeStyle& st = look.style.stroke;
        geometry::StrokeParams p{st.width, st.cap, st.join, st.miterLimit, 0.01};
        const Shape outline = computed([&] { return geometry::strokeOutline(o.shape, p); });
        if (outline.empty()) refuse("art " + std::to_string(o.art->id()) + ": its stroke outlines nothing");
        // The outline is filled with the stroke's paint and has no stroke.
        DrawnStyle filled = look;
        filled.style.fillPaint = true;
        filled.style.fill.color = st.color;
        filled.style.strokePaint = false;
        filled.style.evenOdd = false;
        Art* made = makeShapeArt(c.doc, outline, filled, kPlaceAbove, o.art);
        check(c.doc.disposeArt(o.art), "strokeToPath");
        check(c.doc.setSelected(made, true), "strokeToPath");
        c.out.made.push_back(made->id());
    }
}

void opOffset(Ctx& c) {
    const double distance = c.args.number("distance", -1000, 1000);
    if (distance == 0) refuse("\"distance\" must not be 0");
    const std::string joinName = c.args.word("join", {"miter", "round", "bevel"}, "miter");
    const int join = joinName == "round" ? kRoundJoin : joinName == "bevel" ? kBevelJoin : kMiterJoin;
    const double miterLimit = c.args.number("miterLimit", 1, 100, 4);
    const auto ops = operands(c, 1, "offsets");
    c.doc.deselectAll();
    for (const Operand& o : ops) {
        const Shape grown = computed([&] { return geometry::offset(o.shape, distance, join, miterLimit, 0.01); });
        if (grown.empty()) refuse("art " + std::to_string(o.art->id()) + " would vanish: inset by less");
        Art* made = makeShapeArt(c.doc, grown, drawnStyle(*o.art), kPlaceAbove, o.art);
        check(c.doc.disposeArt(o.art), "offset");
        check(c.doc.setSelected(made, true), "offset");
        c.out.made.push_back(made->id());
    }
    requireInRange(c.doc, c.doc.selectedArt());
}

}  // namespace easel::edit
