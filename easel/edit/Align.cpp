// Align and distribute: the selected objects moved by their bounds (what the
// studio's selection box shows, strokes not included), each object (a group
// as a whole) by one translation, relative to the selection's bounds or to
// the page.
#include <algorithm>

#include "Support.h"

namespace easel::edit {

namespace {

struct Item {
    Art* art;
    AIRealRect b;
};

// The objects that have bounds; `need` of them at least.
std::vector<Item> items(Ctx& c, size_t need, const char* what) {
    std::vector<Item> out;
    for (Art* a : targets(c.doc)) {
        AIRealRect b;
        if (c.doc.bounds(a, &b) == kNoErr && !isEmptyRect(b)) out.push_back({a, b});
    }
    if (out.size() < need)
        refuse(std::string(what) + " needs " + std::to_string(need) + " objects or more, found " +
               std::to_string(out.size()) + (need > 1 ? " (or choose the page)" : ""));
    return out;
}

bool toPage(Ctx& c) { return c.args.word("relative", {"selection", "page"}, "selection") == "page"; }

void moveBy(Ctx& c, Item& it, double dh, double dv) {
    if (dh == 0 && dv == 0) return;
    check(c.doc.transformArt(it.art, AIRealMatrix{1, 0, 0, 1, static_cast<float>(dh), static_cast<float>(dv)}, 1,
                             kTransformObjects),
          c.undoName);
}

// The low and high edge of a box along an axis.
double low(const AIRealRect& b, bool horizontal) { return horizontal ? b.left : b.bottom; }
double high(const AIRealRect& b, bool horizontal) { return horizontal ? b.right : b.top; }

}  // namespace

void opAlign(Ctx& c) {
    const std::string to = c.args.word("to", {"left", "center", "right", "top", "middle", "bottom"});
    static const std::pair<const char*, const char*> names[] = {{"left", "Align Left"}, {"center", "Align Center"},
        {"right", "Align Right"}, {"top", "Align Top"}, {"middle", "Align Middle"}, {"bottom", "Align Bottom"}};
    for (const auto& [k, n] : names)
        if (to == k) c.undoName = n;
    const bool page = toPage(c);
    auto list = items(c, page ? 1 : 2, "aligning to the selection");
    AIRealRect box{0, c.doc.height(), c.doc.width(), 0};
    if (!page) {
        box = kEmptyRect;
        for (const Item& it : list) box = unionRect(box, it.b);
    }
    const bool horizontal = to == "left" || to == "center" || to == "right";
    const double lo = low(box, horizontal), hi = high(box, horizontal);
    for (Item& it : list) {
        const double a = low(it.b, horizontal), b = high(it.b, horizontal);
        double d = 0;
        if (to == "left" || to == "bottom") d = lo - a;
        else if (to == "right" || to == "top") d = hi - b;
        else d = (lo + hi) / 2 - (a + b) / 2;
        moveBy(c, it, horizontal ? d : 0, horizontal ? 0 : d);
    }
    requireInRange(c.doc, targets(c.doc));
}

// Centres: the first and last objects (by centre) stay, the others' centres
// are spread evenly between theirs. Spacing: the gaps between neighbours
// become equal. To the page, the first and last objects are first put
// against the page's edges.
void opDistribute(Ctx& c) {
    const bool horizontal = c.args.word("axis", {"horizontal", "vertical"}) == "horizontal";
    const bool spacing = c.args.word("by", {"centers", "spacing"}) == "spacing";
    c.undoName = std::string("Distribute ") + (horizontal ? "Horizontal " : "Vertical ") + (spacing ? "Spacing" : "Centers");
    const bool page = toPage(c);
    auto list = items(c, page ? 2 : 3, "distributing in the selection");
    auto centre = [&](const Item& it) { return (low(it.b, horizontal) + high(it.b, horizontal)) / 2; };
    std::stable_sort(list.begin(), list.end(), [&](const Item& a, const Item& b) { return centre(a) < centre(b); });
    const size_t n = list.size();
    // The span the objects keep to: from the first's low edge to the last's high edge.
    double lo = low(list.front().b, horizontal), hi = high(list.back().b, horizontal);
    if (page) {
        lo = 0;
        hi = horizontal ? c.doc.width() : c.doc.height();
    }
    auto extent = [&](const Item& it) { return high(it.b, horizontal) - low(it.b, horizontal); };
    std::vector<double> lows(n);  // each object's new low edge
    if (spacing) {
        double total = 0;
        for (const Item& it : list) total += extent(it);
        const double gap = (hi - lo - total) / static_cast<double>(n - 1);
        double at = lo;
        for (size_t i = 0; i < n; ++i) {
            lows[i] = at;
            at += extent(list[i]) + gap;
        }
    } else {
        const double first = lo + extent(list.front()) / 2, last = hi - extent(list.back()) / 2;
        for (size_t i = 0; i < n; ++i)
            lows[i] = first + (last - first) * static_cast<double>(i) / static_cast<double>(n - 1) - extent(list[i]) / 2;
    }
    for (size_t i = 0; i < n; ++i) {
        const double d = lows[i] - low(list[i].b, horizontal);
        moveBy(c, list[i], horizontal ? d : 0, horizontal ? 0 : d);
    }
    requireInRange(c.doc, targets(c.doc));
}

}  // namespace easel::edit
