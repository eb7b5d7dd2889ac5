// Clipping masks: gathering objects into a clip group whose top-most path
// clips the others, and releasing clip groups back into plain groups.
#include "Support.h"

namespace easel::edit {

namespace {

// Paints nothing: the clipping path only bounds what the group shows. A
// compound path is drawn with its members' style, so they change too.
void unpaint(Ctx& c, Art* clip) {
    std::vector<Art*> all{clip};
    for (Art* m = clip->firstChild(); m; m = m->next()) all.push_back(m);
    for (Art* a : all) {
        AIPathStyle s = a->style();
        s.fillPaint = false;
        s.strokePaint = false;
        check(c.doc.setStyle(a, s), "clip");
    }
}

}  // namespace

void opClip(Ctx& c) {
    const auto art = targets(c.doc);
    if (art.size() < 2)
        refuse("select at least 2 objects to make a clipping mask: the top-most one clips the ones below it");
    for (Art* a : art)
        if (a->parent() != art.front()->parent() || a->layer() != art.front()->layer())
            refuse("the objects to clip must be in one layer or one group: art " + std::to_string(a->id()) +
                   " is not beside art " + std::to_string(art.front()->id()));
    if (const Art* p = art.front()->parent(); p && p->type() == kCompoundPathArt)
        refuse("the members of compound path " + std::to_string(p->id()) +
               " cannot be clipped one by one: select the compound path");
    Art* clip = art.back();
    if (clip->type() != kPathArt && clip->type() != kCompoundPathArt)
        refuse("the top-most selected object (art " + std::to_string(clip->id()) +
               ") must be a path or compound path to clip the others; bring one to the front");
    // The clip group takes the top-most object's place; members keep their order.
    Art* group = nullptr;
    check(c.doc.newArt(kGroupArt, kPlaceAbove, clip, &group), "clip");
    for (Art* a : art) check(c.doc.reorderArt(a, kPlaceInsideOnTop, group), "clip");
    check(c.doc.setClipped(group, true), "clip");
    unpaint(c, clip);
    c.doc.deselectAll();
    check(c.doc.setSelected(group, true), "clip");
    c.out.made.push_back(group->id());
}

void opReleaseClip(Ctx& c) {
    bool any = false;
    for (Art* g : targets(c.doc)) {
        if (g->type() != kGroupArt || !g->clipped()) continue;
        any = true;
        check(c.doc.setClipped(g, false), "releaseClip");
    }
    if (!any) refuse("no clip group is selected: select a group made by Make Clipping Mask");
}

}  // namespace easel::edit
