// The edits of structure: groups, stacking order and layers.
#include <algorithm>
#include <set>

#include "Support.h"

namespace easel::edit {

void opGroup(Ctx& c) {
    const auto art = targets(c.doc);
    // The group takes the top-most object's place; members keep their order.
    Art* group = nullptr;
    check(c.doc.newArt(kGroupArt, kPlaceAbove, art.back(), &group), "group");
    for (Art* a : art) check(c.doc.reorderArt(a, kPlaceInsideOnTop, group), "group");
    check(c.doc.setSelected(group, true), "group");
    c.out.made.push_back(group->id());
}

void opUngroup(Ctx& c) {
    bool any = false;
    for (Art* g : targets(c.doc)) {
        if (g->type() != kGroupArt) continue;
        any = true;
        // Members go out above the group in their order; the empty group goes.
        while (Art* m = g->lastChild()) check(c.doc.reorderArt(m, kPlaceAbove, g), "ungroup");
        check(c.doc.disposeArt(g), "ungroup");
    }
    if (!any) refuse("no group is selected");
}

void opArrange(Ctx& c) {
    const std::string to = c.args.word("to", {"forward", "backward", "front", "back"});
    static const std::pair<const char*, const char*> names[] = {
        {"forward", "Bring Forward"}, {"backward", "Send Backward"}, {"front", "Bring to Front"}, {"back", "Send to Back"}};
    for (const auto& [k, n] : names)
        if (to == k) c.undoName = n;
    auto art = targets(c.doc);
    const std::set<Art*> chosen(art.begin(), art.end());
    auto topOf = [](Art* a) { return a->parent() ? a->parent()->lastChild() : a->layer()->lastArt(); };
    auto bottomOf = [](Art* a) { return a->parent() ? a->parent()->firstChild() : a->layer()->firstArt(); };
    // Moves are made in the order that keeps the selected objects' order
    // among themselves: to the front bottom-most first, forward top-most first.
    if (to == "forward" || to == "back") std::reverse(art.begin(), art.end());
    for (Art* a : art) {
        Art* next = a->next();
        Art* prior = a->prior();
        if (to == "front" && topOf(a) != a) check(c.doc.reorderArt(a, kPlaceAbove, topOf(a)), "arrange");
        if (to == "back" && bottomOf(a) != a) check(c.doc.reorderArt(a, kPlaceBelow, bottomOf(a)), "arrange");
        if (to == "forward" && next && !chosen.count(next)) check(c.doc.reorderArt(a, kPlaceAbove, next), "arrange");
        if (to == "backward" && prior && !chosen.count(prior)) check(c.doc.reorderArt(a, kPlaceBelow, prior), "arrange");
    }
}

// ---- layers ----

namespace {

// Deselects the art of a layer that can no longer be edited.
void deselectLayer(Document& doc, Layer* l) {
    for (Art* a = l->firstArt(); a; a = a->next()) doc.setSelected(a, false);
}

std::string nameArg(Ctx& c, bool required) {
    const std::string name = required ? c.args.text("name") : c.args.text("name", std::string());
    if (required && name.empty()) refuse("a layer needs a name");
    if (name.size() > 255) refuse("a layer name has at most 255 bytes");
    return name;
}

}  // namespace

void opNewLayer(Ctx& c) {
    Layer* l = nullptr;
    check(c.doc.insertLayer(c.doc.currentLayer(), kPlaceAbove, &l, nameArg(c, false)), "newLayer");
}

void opDeleteLayer(Ctx& c) {
    Layer* l = layerArg(c.doc, c.args);
    if (c.doc.layerCount() < 2) refuse("a document keeps at least one layer");
    deselectLayer(c.doc, l);
    check(c.doc.removeLayer(l), "deleteLayer");
}

void opRenameLayer(Ctx& c) {
    Layer* l = layerArg(c.doc, c.args);
    check(c.doc.setLayerName(l, nameArg(c, true)), "renameLayer");
}

void opLayerVisible(Ctx& c) {
    Layer* l = layerArg(c.doc, c.args);
    const bool v = c.args.flag("visible", true);
    if (!c.args.has("visible")) refuse("missing \"visible\"");
    c.undoName = v ? "Show Layer" : "Hide Layer";
    if (!v) deselectLayer(c.doc, l);
    check(c.doc.setLayerVisible(l, v), "layerVisible");
}

void opLayerLocked(Ctx& c) {
    Layer* l = layerArg(c.doc, c.args);
    if (!c.args.has("locked")) refuse("missing \"locked\"");
    const bool locked = c.args.flag("locked", true);
    c.undoName = locked ? "Lock Layer" : "Unlock Layer";
    if (locked) deselectLayer(c.doc, l);
    check(c.doc.setLayerLocked(l, locked), "layerLocked");
}

void opMoveLayer(Ctx& c) {
    Layer* l = layerArg(c.doc, c.args);
    const int n = static_cast<int>(c.doc.layerCount());
    const int fromTop = c.args.integer("to", 0, n - 1);
    check(c.doc.moveLayer(l, static_cast<size_t>(n - 1 - fromTop)), "moveLayer");
}

void opCurrentLayer(Ctx& c) { c.doc.setCurrentLayer(layerArg(c.doc, c.args)); }

void opToLayer(Ctx& c) {
    Layer* l = layerArg(c.doc, c.args);
    requireEditable(l);
    for (Art* a : targets(c.doc)) {
        if (a->layer() == l && !a->parent()) continue;
        if (l->lastArt())
            check(c.doc.reorderArt(a, kPlaceAbove, l->lastArt()), "toLayer");
        else {
            // An empty layer: the art goes in as the current layer's first.
            Layer* was = c.doc.currentLayer();
            c.doc.setCurrentLayer(l);
            const ASErr e = c.doc.reorderArt(a, kPlaceInsideOnTop, nullptr);
            c.doc.setCurrentLayer(was);
            check(e, "toLayer");
        }
    }
}

}  // namespace easel::edit
