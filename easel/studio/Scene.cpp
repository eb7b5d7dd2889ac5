// The drawing the page paints: compact, in page points (vertical axis up).
#include <cmath>
#include <cstdio>
#include <vector>

#include "Document.h"
#include "Names.h"
#include "Studio.h"
#include "SvgColor.h"
#include "Warp.h"

namespace easel::studio {

namespace {

// Two decimals are a hundredth of a point: finer than any screen shows.
void num(std::string& out, float v) {
    char buf[32];
    const double r = std::round(static_cast<double>(v) * 100.0) / 100.0;
    std::snprintf(buf, sizeof buf, "%.2f", r == 0 ? 0.0 : r);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    out += s;
}

void point(std::string& out, const AIRealPoint& p) {
    num(out, p.h);
    out += ' ';
    num(out, p.v);
}

void pathData(const std::vector<AIPathSegment>& segs, bool closed, std::string& d) {
    if (segs.empty()) return;
    d += 'M';
    point(d, segs[0].p);
    const size_t n = segs.size();
    const size_t last = closed ? n : n - 1;
    for (size_t i = 0; i < last; ++i) {
        const AIPathSegment& from = segs[i];
        const AIPathSegment& to = segs[(i + 1) % n];
        const bool straight = from.out.h == from.p.h && from.out.v == from.p.v && to.in.h == to.p.h && to.in.v == to.p.v;
        if (straight) {
            d += 'L';
        } else {
            d += 'C';
            point(d, from.out);
            d += ' ';
            point(d, to.in);
            d += ' ';
        }
        point(d, to.p);
    }
    if (closed) d += 'Z';
}

// Path art as on the page: inside envelopes, bent by their warps (a warp
// that would give non-finite points leaves the stored segments).
void pathData(const Art& a, WarpedGeometry& warps, std::string& d) {
    std::vector<AIPathSegment> shown;
    if (!warps.chainOf(a).identity() && warps.path(a, shown)) {
        pathData(shown, a.closed(), d);
        return;
    }
    pathData(a.segments(), a.closed(), d);
}

json paint(const AIPathStyle& st, const Document& doc, const std::string& d, float opacity, int32_t blend) {
    json j = {{"d", d}};
    if (st.fillPaint)
        if (auto c = displayColor(st.fill.color, &doc)) j["f"] = hexColor(*c);
    if (st.strokePaint)
        if (auto c = displayColor(st.stroke.color, &doc)) {
            j["s"] = hexColor(*c);
            j["w"] = st.stroke.width;
        }
    if (st.evenOdd) j["eo"] = true;
    if (opacity < 1) j["o"] = opacity;
    if (blend != 0) j["b"] = blendModeName(blend);
    return j;
}

// The painted shapes of art, in stacking order, bottom first.
void shapes(const Art& a, const Document& doc, WarpedGeometry& warps, float opacity, json& out) {
    if (a.hidden()) return;
    const float op = opacity * a.opacity();
    if (a.type() == kPathArt) {
        std::string d;
        pathData(a, warps, d);
        if (!d.empty()) out.push_back(paint(a.style(), doc, d, op, a.blendMode()));
        return;
    }
    if (a.type() == kCompoundPathArt) {
        // One shape: the members' outlines filled together with the compound's style.
        std::string d;
        for (const Art* c = a.firstChild(); c; c = c->next())
            if (c->type() == kPathArt) pathData(*c, warps, d);
        if (!d.empty()) out.push_back(paint(a.style(), doc, d, op, a.blendMode()));
        return;
    }
    if (a.isContainer()) {
        for (const Art* c = a.firstChild(); c; c = c->next()) shapes(*c, doc, warps, op, out);
        return;
    }
    if (a.hasObjectMatrix()) {
        // Text, images and the like: their box, so they can be seen and
        // picked; inside envelopes the box's corners as the warps put them.
        std::vector<AIRealPoint> q;
        std::string d;
        if (!warps.chainOf(a).identity() && warps.mesh(a, 1, 1, q) && q.size() == 4) {
            d = "M";
            point(d, q[0]);
            d += 'L';
            point(d, q[1]);
            d += 'L';
            point(d, q[3]);
            d += 'L';
            point(d, q[2]);
            d += 'Z';
        }
        AIRealRect b;
        if (d.empty() && doc.bounds(&a, &b) != kNoErr) return;
        if (!d.empty()) {
            json j = {{"d", d}, {"s", "#888888"}, {"w", 0.5}};
            if (a.object().isText) j["text"] = a.object().text;
            out.push_back(j);
            return;
        }
        d = "M";
        point(d, {b.left, b.top});
        d += 'L';
        point(d, {b.right, b.top});
        d += 'L';
        point(d, {b.right, b.bottom});
        d += 'L';
        point(d, {b.left, b.bottom});
        d += 'Z';
        json j = {{"d", d}, {"s", "#888888"}, {"w", 0.5}};
        if (a.object().isText) j["text"] = a.object().text;
        out.push_back(j);
    }
}

}  // namespace

json sceneJson(const Document& doc) {
    WarpedGeometry warps;
    json layers = json::array();
    for (size_t i = 0; i < doc.layerCount(); ++i) {
        const Layer* l = doc.layerFromBottom(i);
        json objects = json::array();
        if (l->visible())
            for (const Art* a = l->firstArt(); a; a = a->next()) {
                if (a->hidden()) continue;
                json o = {{"id", a->id()}, {"sel", a->selected()}};
                AIRealRect b;
                if (doc.bounds(a, &b) == kNoErr && b.left <= b.right)
                    o["b"] = json::array({b.left, b.bottom, b.right, b.top});
                json items = json::array();
                shapes(*a, doc, warps, 1, items);
                o["p"] = items;
                if (a->locked()) o["locked"] = true;
                objects.push_back(o);
            }
        layers.push_back({{"name", l->name()}, {"locked", l->locked()}, {"art", objects}});
    }
    return {{"width", doc.width()}, {"height", doc.height()}, {"layers", layers}};
}

}  // namespace easel::studio
