// Compound paths: combining paths into one, breaking one apart, and the
// fill rule that decides which of its areas are inside.
#include "PathSupport.h"

namespace easel::edit {

namespace {

// The selected paths and compound paths; anything else is refused.
std::vector<Art*> pathTargets(Ctx& c, const char* what) {
    auto art = targets(c.doc);
    for (Art* a : art) shapeOf(*a, what, false);
    return art;
}

}  // namespace

void opCombine(Ctx& c) {
    const auto art = pathTargets(c, "Combine");
    if (art.size() < 2) refuse("select at least 2 paths or compound paths to combine");
    // The compound takes the top-most object's place and is drawn with the
    // bottom-most one's style (its first member's).
    Art* compound = nullptr;
    check(c.doc.newArt(kCompoundPathArt, kPlaceAbove, art.back(), &compound), "combine");
    const DrawnStyle look = drawnStyle(*art.front());
    check(c.doc.setStyle(compound, look.style), "combine");
    for (Art* a : art) {
        if (a->type() == kPathArt) {
            check(c.doc.reorderArt(a, kPlaceInsideOnTop, compound), "combine");
            continue;
        }
        while (Art* m = a->firstChild()) check(c.doc.reorderArt(m, kPlaceInsideOnTop, compound), "combine");
        check(c.doc.disposeArt(a), "combine");
    }
    check(c.doc.setOpacity(compound, look.opacity), "combine");
    check(c.doc.setBlendMode(compound, look.blend), "combine");
    for (Art* m = compound->firstChild(); m; m = m->next()) {
        check(c.doc.setOpacity(m, 1), "combine");
        check(c.doc.setBlendMode(m, 0), "combine");
    }
    c.doc.deselectAll();
    check(c.doc.setSelected(compound, true), "combine");
    c.out.made.push_back(compound->id());
}

void opBreakApart(Ctx& c) {
    std::vector<Art*> compounds;
    for (Art* a : pathTargets(c, "Break Apart"))
        if (a->type() == kCompoundPathArt && a->firstChild()) compounds.push_back(a);
    if (compounds.empty()) refuse("no compound path is selected: only a compound path breaks apart");
    c.doc.deselectAll();
    for (Art* compound : compounds) {
        // Every member goes out where the compound was, drawn as it was drawn.
        const DrawnStyle look = drawnStyle(*compound);
        std::vector<Art*> members;
        while (Art* m = compound->lastChild()) {
            check(c.doc.reorderArt(m, kPlaceAbove, compound), "breakApart");
            members.push_back(m);
        }
        for (Art* m : members) {
            check(c.doc.setStyle(m, look.style), "breakApart");
            check(c.doc.setOpacity(m, look.opacity), "breakApart");
            check(c.doc.setBlendMode(m, look.blend), "breakApart");
            check(c.doc.setSelected(m, true), "breakApart");
        }
        for (auto it = members.rbegin(); it != members.rend(); ++it) c.out.made.push_back((*it)->id());
        check(c.doc.disposeArt(compound), "breakApart");
    }
}

void opFillRule(Ctx& c) {
    const bool evenOdd = c.args.word("rule", {"evenOdd", "nonZero"}) == "evenOdd";
    for (Art* a : pathTargets(c, "fill rules")) {
        std::vector<Art*> all{a};
        for (Art* m = a->firstChild(); m; m = m->next()) all.push_back(m);
        for (Art* t : all) {
            AIPathStyle s = t->style();
            s.evenOdd = evenOdd;
            check(c.doc.setStyle(t, s), "fillRule");
        }
    }
}

}  // namespace easel::edit
