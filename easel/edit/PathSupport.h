// What the path edits share: art read as outlines, outlines written as
// path or compound path art. Internal to easel/edit.
#pragma once

#include <vector>

#include "geometry/Outlines.h"
#include "Support.h"

namespace easel::edit {

// A path or compound path as outlines in page coordinates. Other art is
// refused naming it and `why`; open paths too when `closedOnly`.
geometry::Shape shapeOf(const Art& art, const std::string& why, bool closedOnly);
// New art holding the shape (a path, or a compound path of its outlines),
// placed by order relative to prep, drawn as `look` is.
Art* makeShapeArt(Document& doc, const geometry::Shape& shape, const DrawnStyle& look, int16_t order, Art* prep);
// Runs a geometry computation, turning its failure into a refusal.
template <class F>
auto computed(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const geometry::GeometryError& e) {
        refuse(e.what());
    }
}

}  // namespace easel::edit
