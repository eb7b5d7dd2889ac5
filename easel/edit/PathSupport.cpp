// Art read as outlines and written back.
#include "PathSupport.h"

namespace easel::edit {

namespace {

std::string describe(const Art& art) {
    static const std::pair<int16_t, const char*> names[] = {{kGroupArt, "a group"}, {kTextArt, "text"},
                                                          {kTextPathArt, "text on a path"}, {kPlacedArt, "an image"},
                                                          {kRasterArt, "an image"}, {kSymbolArt, "a symbol"},
                                                          {kMeshArt, "a mesh"}, {kEnvelopeArt, "an envelope"}};
    for (const auto& [t, n] : names)
        if (art.type() == t) return n;
    return "not a path";
}

}  // namespace

geometry::Shape shapeOf(const Art& art, const std::string& why, bool closedOnly) {
    const std::string name = "art " + std::to_string(art.id());
    if (art.type() != kPathArt && art.type() != kCompoundPathArt)
        refuse(name + " is " + describe(art) + ": " + why + " take paths and compound paths");
    geometry::Shape shape;
    auto add = [&](const Art& p) {
        if (closedOnly && !p.closed())
            refuse(name + " is an open path: close it (Join) or outline it (Stroke to Path) first");
        if (p.segmentCount() > 0) shape.push_back({p.segments(), p.closed()});
    };
    if (art.type() == kPathArt) add(art);
    for (const Art* m = art.firstChild(); m; m = m->next()) {
        if (m->type() != kPathArt) refuse(name + " holds art other than paths: " + why + " take paths and compound paths");
        add(*m);
    }
    if (shape.empty()) refuse(name + " has no anchor points");
    return shape;
}

Art* makeShapeArt(Document& doc, const geometry::Shape& shape, const DrawnStyle& look, int16_t order, Art* prep) {
    for (const auto& o : shape)
        if (o.segments.size() > kMaxSegments) refuse("a path may have at most " + std::to_string(kMaxSegments) + " points");
    auto path = [&](const geometry::Outline& o, int16_t ord, Art* ref) {
        Art* a = nullptr;
        check(doc.newArt(kPathArt, ord, ref, &a), "path");
        check(doc.setSegmentCount(a, o.segments.size()), "path");
        check(doc.setSegments(a, 0, o.segments.size(), o.segments.data()), "path");
        check(doc.setClosed(a, o.closed), "path");
        check(doc.setStyle(a, look.style), "path");
        return a;
    };
    Art* out = nullptr;
    if (shape.size() == 1) {
        out = path(shape[0], order, prep);
    } else {
        check(doc.newArt(kCompoundPathArt, order, prep, &out), "compound path");
        check(doc.setStyle(out, look.style), "compound path");
        for (const auto& o : shape) path(o, kPlaceInsideOnTop, out);
    }
    check(doc.setOpacity(out, look.opacity), "path");
    check(doc.setBlendMode(out, look.blend), "path");
    return out;
}

}  // namespace easel::edit
