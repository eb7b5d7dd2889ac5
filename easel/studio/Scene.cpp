// The drawing the page paints: compact, in page points (vertical axis up).
#include <charconv>
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
// Written from integers: this runs for every point of every picture.
void num(std::string& out, float v, int decimals = 2) {
    const long long unit = decimals == 2 ? 100 : 1000;
    const double r = std::round(static_cast<double>(v) * static_cast<double>(unit));
    if (!(std::fabs(r) < 9e15)) {  // far off any page: plain notation
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.0f", r / static_cast<double>(unit));
        out += buf;
        return;
    }
    long long n = static_cast<long long>(r);
    if (n < 0) {
        out += '-';
        n = -n;
    }
    char buf[24];
    auto end = std::to_chars(buf, buf + sizeof buf, n / unit).ptr;
    out.append(buf, end);
    long long frac = n % unit;
    if (frac == 0) return;
    char digits[3] = {'0', '0', '0'};
    for (int i = decimals - 1; i >= 0; --i, frac /= 10) digits[i] = static_cast<char>('0' + frac % 10);
    int len = decimals;
    while (digits[len - 1] == '0') --len;
    out += '.';
    out.append(digits, static_cast<size_t>(len));
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
        if (straight && closed && i + 1 == n) break;  // Z draws the closing line
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

// The text of a JSON string (names and texts may hold any bytes).
void quoted(std::string& out, const std::string& text) {
    out += json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

// One painted shape: {"d": path data, "f": fill, "s": stroke, "w": width,
// "eo": even-odd, "o": opacity, "b": blend mode, "text": the text it stands for}.
void paint(std::string& out, const AIPathStyle* st, const Document& doc, const std::string& d, float opacity,
           int32_t blend, const std::string* text = nullptr) {
    if (out.back() != '[') out += ',';
    out += "{\"d\":\"";
    out += d;
    out += '"';
    if (!st) {
        out += ",\"s\":\"#888888\",\"w\":0.5";
    } else {
        if (st->fillPaint)
            if (auto c = displayColor(st->fill.color, &doc)) out += ",\"f\":\"" + hexColor(*c) + '"';
        if (st->strokePaint)
            if (auto c = displayColor(st->stroke.color, &doc)) {
                out += ",\"s\":\"" + hexColor(*c) + "\",\"w\":";
                num(out, st->stroke.width, 3);
            }
        if (st->evenOdd) out += ",\"eo\":true";
    }
    if (opacity < 1) {
        out += ",\"o\":";
        num(out, opacity, 3);
    }
    if (blend != 0) out += ",\"b\":\"" + std::string(blendModeName(blend)) + '"';
    if (text) {
        out += ",\"text\":";
        quoted(out, *text);
    }
    out += '}';
}

// The painted shapes of art, in stacking order, bottom first.
void shapes(const Art& a, const Document& doc, WarpedGeometry& warps, float opacity, std::string& out) {
    if (a.hidden()) return;
    const float op = opacity * a.opacity();
    if (a.type() == kPathArt) {
        std::string d;
        pathData(a, warps, d);
        if (!d.empty()) paint(out, &a.style(), doc, d, op, a.blendMode());
        return;
    }
    if (a.type() == kCompoundPathArt) {
        // One shape: the members' outlines painted together with the
        // compound's drawn style.
        std::string d;
        for (const Art* c = a.firstChild(); c; c = c->next())
            if (c->type() == kPathArt) pathData(*c, warps, d);
        const DrawnStyle drawn = drawnStyle(a);
        if (!d.empty()) paint(out, &drawn.style, doc, d, opacity * drawn.opacity, drawn.blend);
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
            paint(out, nullptr, doc, d, 1, 0, a.object().isText ? &a.object().text : nullptr);
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
        paint(out, nullptr, doc, d, 1, 0, a.object().isText ? &a.object().text : nullptr);
    }
}

}  // namespace

std::string sceneText(const Document& doc) {
    WarpedGeometry warps;
    std::string out = "{\"width\":";
    num(out, doc.width(), 3);
    out += ",\"height\":";
    num(out, doc.height(), 3);
    out += ",\"layers\":[";
    for (size_t i = 0; i < doc.layerCount(); ++i) {
        const Layer* l = doc.layerFromBottom(i);
        if (i) out += ',';
        out += "{\"name\":";
        quoted(out, l->name());
        out += l->locked() ? ",\"locked\":true" : ",\"locked\":false";
        out += ",\"art\":[";
        bool first = true;
        if (l->visible())
            for (const Art* a = l->firstArt(); a; a = a->next()) {
                if (a->hidden()) continue;
                if (!first) out += ',';
                first = false;
                out += "{\"id\":" + std::to_string(a->id());
                if (a->selected()) out += ",\"sel\":true";
                AIRealRect b;
                if (doc.bounds(a, &b) == kNoErr && b.left <= b.right) {
                    out += ",\"b\":[";
                    for (float v : {b.left, b.bottom, b.right, b.top}) {
                        num(out, v);
                        out += ',';
                    }
                    out.back() = ']';
                }
                out += ",\"p\":[";
                shapes(*a, doc, warps, 1, out);
                out += ']';
                if (a->locked()) out += ",\"locked\":true";
                out += '}';
            }
        out += "]}";
    }
    out += "]}";
    return out;
}

}  // namespace easel::studio
