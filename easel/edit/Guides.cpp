// Guides and the grid: adding, moving and deleting guides and setting the
// grid's spacing, each an undo step like any change of the document.
#include "Support.h"

namespace easel::edit {

namespace {

std::vector<float>& axisArg(Ctx& c, Guides& g) {
    return c.args.word("axis", {"vertical", "horizontal"}) == "vertical" ? g.vertical : g.horizontal;
}

float positionArg(Ctx& c, const char* key) {
    return static_cast<float>(c.args.number(key, -kMaxCoordinate, kMaxCoordinate));
}

size_t indexArg(Ctx& c, const std::vector<float>& axis) {
    if (axis.empty()) refuse("there is no " + c.args.text("axis") + " guide");
    return static_cast<size_t>(c.args.integer("index", 0, static_cast<int>(axis.size()) - 1));
}

void store(Ctx& c, const Guides& g) { check(c.doc.setGuides(g), c.undoName); }

}  // namespace

void opAddGuide(Ctx& c) {
    Guides g = c.doc.guides();
    auto& axis = axisArg(c, g);
    if (axis.size() >= kMaxGuides) refuse("at most " + std::to_string(kMaxGuides) + " guides on an axis (the limit)");
    axis.push_back(positionArg(c, "at"));
    store(c, g);
}

void opMoveGuide(Ctx& c) {
    Guides g = c.doc.guides();
    auto& axis = axisArg(c, g);
    axis[indexArg(c, axis)] = positionArg(c, "to");
    store(c, g);
}

void opDeleteGuide(Ctx& c) {
    Guides g = c.doc.guides();
    auto& axis = axisArg(c, g);
    axis.erase(axis.begin() + static_cast<std::ptrdiff_t>(indexArg(c, axis)));
    store(c, g);
}

void opGrid(Ctx& c) {
    Guides g = c.doc.guides();
    g.gridSpacing = static_cast<float>(c.args.number("spacing", 1, 10000));
    store(c, g);
}

}  // namespace easel::edit
