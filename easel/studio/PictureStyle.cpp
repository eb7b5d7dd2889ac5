#include "PictureStyle.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "edit/Edit.h"
#include "model/Document.h"
#include "Studio.h"
#include "io/svg/KeptSvgArt.h"
#include "io/svg/SvgColor.h"
#include "io/svg/SvgShared.h"
#include "io/svg/TextLayout.h"

namespace easel::studio {

// Two decimals are a hundredth of a point: finer than any screen shows.
// Written from integers: this runs for every point of every picture.
void pictureNumber(std::string& out, float v, int decimals) {
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

namespace {

void quoted(std::string& out, const std::string& text) {
    out += json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

// Only characters a CSS font family list or keyword needs: what a file says
// is passed to the canvas, never anything that could end the value early.
std::string cssSafe(const std::string& v) {
    std::string s;
    for (char c : v)
        if (c != ';' && c != '{' && c != '}' && c != '\\' && static_cast<unsigned char>(c) >= ' ') s += c;
    return s;
}

bool isNumber(const std::string& v) {
    double d = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
    return ec == std::errc() && end == v.data() + v.size() && std::isfinite(d);
}

}  // namespace

const TextLook& PictureStyles::textLook(const Art& text) {
    const std::string& extra = text.extra();
    auto it = looks_.find(&extra);
    if (it != looks_.end()) return it->second;
    std::string family = kUnnamedTextFamily, weight = "normal", style = "normal", anchor = "start", spacing;
    const auto kept = keptSvgOf(text);
    if (const auto& svg = kept->stored.attributes) {
        auto get = [&](const char* k) {
            const std::string* v = findKeptSvgAttribute(*svg, k);
            return v ? cssSafe(*v) : "";
        };
        if (auto v = get("font-family"); !v.empty()) family = v;
        if (auto v = get("font-weight"); !v.empty()) weight = v;
        if (auto v = get("font-style"); !v.empty()) style = v;
        // Right to left, start and end trade places.
        const std::string a = get("text-anchor");
        const bool rtl = get("direction") == "rtl";
        if (a == "middle") anchor = "center";
        else if ((a == "end") != rtl) anchor = "end";
        spacing = get("letter-spacing");
        if (spacing == "normal") spacing.clear();
        if (isNumber(spacing)) spacing += "px";  // user units, as the file meant them
    }
    TextLook look{style + ' ' + weight, family, anchor, spacing, {}, {}, 0, 0};
    if (const auto& spans = kept->stored.text; spans && spans->origin) {
        look.spans = spans->markup.value_or("");
        look.spansText = spans->text;
        look.originX = (*spans->origin)[0];
        look.originY = (*spans->origin)[1];
    }
    return looks_.emplace(&extra, std::move(look)).first->second;
}

// Caps, joins, the mitre limit and dashes when they are not the model's
// defaults: "lc", "lj", "ml", "d" (lengths), "do" (offset).
static void strokeLook(std::string& key, const AIStrokeStyle& k) {
    if (k.cap == kRoundCap) key += ",\"lc\":\"round\"";
    if (k.cap == kProjectingCap) key += ",\"lc\":\"square\"";
    if (k.join == kRoundJoin) key += ",\"lj\":\"round\"";
    if (k.join == kBevelJoin) key += ",\"lj\":\"bevel\"";
    if (k.join == kMiterJoin && k.miterLimit != 4) {
        key += ",\"ml\":";
        pictureNumber(key, k.miterLimit, 3);
    }
    if (k.dashCount > 0 && k.dashCount <= kMaxDashComponents) {
        key += ",\"d\":[";
        for (int i = 0; i < k.dashCount; ++i) {
            if (i) key += ',';
            pictureNumber(key, k.dash[i], 3);
        }
        key += ']';
        if (k.dashOffset != 0) {
            key += ",\"do\":";
            pictureNumber(key, k.dashOffset, 3);
        }
    }
}

// A gradient as the page draws it: "g" linear or radial, "c" its coordinates,
// "m" its space on the page, "sp" the spread, "st" stops as [offset, colour, opacity].
void PictureStyles::gradient(std::string& key, const char* name, const AIColor& c) {
    const GradientPaint* p = doc_.gradientPaint(c.ref);
    if (!p || !p->gradient || p->gradient->stops.empty()) return;
    const AIRealMatrix& m = p->matrix;
    const double det = static_cast<double>(m.a) * static_cast<double>(m.d) - static_cast<double>(m.b) * static_cast<double>(m.c);
    if (!(std::fabs(det) > 1e-12) || !std::isfinite(det)) return;  // flattened: drawn as the mean colour
    const Gradient& g = *p->gradient;
    key += ",\"";
    key += name;
    key += g.radial ? "\":{\"g\":\"radial\",\"c\":[" : "\":{\"g\":\"linear\",\"c\":[";
    const int n = g.radial ? 6 : 4;
    for (int i = 0; i < n; ++i) {
        if (i) key += ',';
        pictureNumber(key, g.coords[i], 3);
    }
    key += "],\"m\":[";
    for (float v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) {
        pictureNumber(key, v, 3);
        key += ',';
    }
    key.back() = ']';
    key += ",\"sp\":";
    key += g.spread == kSpreadReflect ? "\"reflect\"" : g.spread == kSpreadRepeat ? "\"repeat\"" : "\"pad\"";
    key += ",\"st\":[";
    for (const GradientStop& s : g.stops) {
        if (key.back() != '[') key += ',';
        key += '[';
        pictureNumber(key, s.offset, 3);
        const Rgb8 rgb = s.color.kind == kGradientColor ? Rgb8{128, 128, 128}
                                                        : displayColor(s.color, &doc_).value_or(Rgb8{0, 0, 0});
        key += ",\"" + hexColor(rgb) + "\",";
        pictureNumber(key, s.opacity, 3);
        key += ']';
    }
    key += "]}";
}

std::string PictureStyles::textLines(const Art& text) {
    const ObjectData& o = text.object();
    const TextFont font = textFontOf(text);
    std::string out;
    if (font.lineSpacing != kDefaultLineSpacing) {
        out += "\"lh\":";
        pictureNumber(out, static_cast<float>(font.lineSpacing), 3);
    }
    if (font.area()) {
        out += out.empty() ? "\"bx\":[" : ",\"bx\":[";
        pictureNumber(out, static_cast<float>(font.boxWidth), 3);
        out += ',';
        pictureNumber(out, static_cast<float>(font.boxHeight), 3);
        out += ']';
    }
    if (text.type() != kTextArt || !hasTextLines(o.text, font)) return out;
    out += out.empty() ? "\"ln\":[" : ",\"ln\":[";
    for (const TextLine& l : layoutText(o.text, static_cast<double>(o.fontSize), font)) {
        if (out.back() != '[') out += ',';
        out += '[';
        quoted(out, o.text.substr(l.begin, l.end - l.begin));
        out += ',';
        pictureNumber(out, static_cast<float>(l.x), 3);
        out += ',';
        pictureNumber(out, static_cast<float>(l.y), 3);
        out += ']';
    }
    return out + ']';
}

std::string arrowsKey(const Art& a) {
    const auto& g = a.sharedGeometry();
    if (a.extra().find("easel-arrow-") == std::string::npos || !a.hasPath() || !g || g->segments.size() < 2) return "";
    const auto& sg = g->segments;
    const size_t n = sg.size();
    auto differs = [](AIRealPoint x, AIRealPoint y) { return x.h != y.h || x.v != y.v; };
    // The control point before and after an anchor along the path.
    auto after = [&](size_t i) {
        const size_t j = (i + 1) % n;
        return differs(sg[i].out, sg[i].p) ? sg[i].out : differs(sg[j].in, sg[i].p) ? sg[j].in : sg[j].p;
    };
    auto before = [&](size_t i) {
        const size_t j = (i + n - 1) % n;
        return differs(sg[i].in, sg[i].p) ? sg[i].in : differs(sg[j].out, sg[i].p) ? sg[j].out : sg[j].p;
    };
    std::string key;
    for (const bool start : {true, false}) {
        const std::string name = edit::arrowOf(a, start);
        if (name.empty()) continue;
        const size_t i = start || a.closed() ? 0 : n - 1;
        const AIRealPoint p = sg[i].p, q = start ? after(i) : before(i);
        key += key.empty() ? "[\"" : ",[\"";
        key += name + "\"";
        for (const float v : {p.h, p.v, p.h - q.h, p.v - q.v}) {
            key += ',';
            pictureNumber(key, v, 3);
        }
        key += ']';
    }
    return key.empty() ? "" : "\"ar\":[" + key + "]";
}

std::string PictureStyles::styleKey(const AIPathStyle* st, const std::string* text, const TextLook* look,
                                    float fontSize, const std::string* lines) {
    std::string key = "{";
    if (!st) {
        key += "\"s\":\"#888888\",\"w\":0.5";
    } else {
        if (st->fillPaint)
            if (auto c = displayColor(st->fill.color, &doc_)) {
                key += "\"f\":\"" + hexColor(*c) + '"';
                if (st->fill.color.kind == kGradientColor) gradient(key, "fg", st->fill.color);
            }
        if (st->strokePaint)
            if (auto c = displayColor(st->stroke.color, &doc_)) {
                if (key.size() > 1) key += ',';
                key += "\"s\":\"" + hexColor(*c) + "\",\"w\":";
                pictureNumber(key, st->stroke.width, 3);
                strokeLook(key, st->stroke);
                if (st->stroke.color.kind == kGradientColor) gradient(key, "sg", st->stroke.color);
            }
        if (st->evenOdd) key += key.size() > 1 ? ",\"eo\":true" : "\"eo\":true";
    }
    if (text && look) {
        if (key.size() > 1) key += ',';
        key += "\"t\":{\"s\":";
        quoted(key, *text);
        std::string font = look->weight + ' ';
        pictureNumber(font, fontSize, 3);
        font += "px " + look->family;
        key += ",\"font\":";
        quoted(key, font);
        key += ",\"a\":\"" + look->anchor + '"';
        if (!look->spacing.empty()) {
            key += ",\"ls\":";
            quoted(key, look->spacing);
        }
        if (lines && !lines->empty()) key += ',' + *lines;
        // Spans are drawn while the text is still the one they hold (as the SVG export writes them).
        if (!look->spans.empty() && look->spansText == *text) {
            key += ",\"sp\":";
            quoted(key, look->spans);
            key += ",\"o\":[";
            pictureNumber(key, static_cast<float>(look->originX), 3);
            key += ',';
            pictureNumber(key, static_cast<float>(look->originY), 3);
            key += ']';
        }
        key += '}';
    }
    key += '}';
    return key;
}

}  // namespace easel::studio
