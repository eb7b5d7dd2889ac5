#include "SvgImport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/entities.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

#include "Names.h"
#include "SvgColor.h"
#include "SvgShared.h"

namespace easel {

namespace {

using Json = nlohmann::ordered_json;
using AttrMap = std::map<std::string, std::string>;
using Props = std::map<std::string, std::string>;

constexpr const char* kSvgNs = "http://www.w3.org/2000/svg";
constexpr const char* kXlinkNs = "http://www.w3.org/1999/xlink";
constexpr const char* kXmlNs = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kInkscapeNs = "http://www.inkscape.org/namespaces/inkscape";
constexpr double kPxToPt = 0.75;
constexpr double kKappa = 0.5522847498307936;  // circle quadrant as a cubic

// ---------------------------------------------------------------------------
// Matrices in double: x' = a x + c y + e, y' = b x + d y + f.

struct Mat {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// The matrix that applies `second` first, then `first` (first · second).
Mat mul(const Mat& m, const Mat& n) {
    return Mat{m.a * n.a + m.c * n.b, m.b * n.a + m.d * n.b, m.a * n.c + m.c * n.d,
               m.b * n.c + m.d * n.d, m.a * n.e + m.c * n.f + m.e, m.b * n.e + m.d * n.f + m.f};
}
Mat translate(double x, double y) { return Mat{1, 0, 0, 1, x, y}; }
Mat scale(double x, double y) { return Mat{x, 0, 0, y, 0, 0}; }

struct Pt {
    double x = 0, y = 0;
};
Pt apply(const Mat& m, Pt p) { return Pt{m.a * p.x + m.c * p.y + m.e, m.b * p.x + m.d * p.y + m.f}; }

// ---------------------------------------------------------------------------
// Text scanning

bool isWsp(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isWsp(s.front())) s.remove_prefix(1);
    while (!s.empty() && isWsp(s.back())) s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A cursor over number lists as path data, points and transforms write them.
struct Scanner {
    std::string_view s;
    size_t i = 0;
    bool rangeError = false;

    void skipWsp() {
        while (i < s.size() && isWsp(s[i])) ++i;
    }
    void skipSep() {
        skipWsp();
        if (i < s.size() && s[i] == ',') {
            ++i;
            skipWsp();
        }
    }
    bool atEnd() {
        skipWsp();
        return i >= s.size();
    }
    // Numbers are read as floats, the precision the model keeps, so that
    // numbers written from floats read back exactly.
    bool number(double& v) {
        skipWsp();
        const size_t start = i;
        size_t j = i;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t digits = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++digits;
        if (j < s.size() && s[j] == '.') {
            ++j;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++digits;
        }
        if (digits == 0) return false;
        if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
            size_t k = j + 1;
            if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
            if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
                while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
                j = k;
            }
        }
        std::string_view tok = s.substr(start, j - start);
        if (tok.front() == '+') tok.remove_prefix(1);
        float f = 0;
        auto res = std::from_chars(tok.data(), tok.data() + tok.size(), f);
        if (res.ec == std::errc::result_out_of_range) {
            // Tiny numbers are zero; huge ones are refused.
            double d = 0;
            std::from_chars(tok.data(), tok.data() + tok.size(), d);
            if (std::abs(d) < 1) {
                f = 0;
            } else {
                rangeError = true;
                return false;
            }
        } else if (res.ec != std::errc() || res.ptr != tok.data() + tok.size()) {
            return false;
        }
        v = static_cast<double>(f);
        i = j;
        return true;
    }
    bool flag(bool& v) {
        skipWsp();
        if (i < s.size() && (s[i] == '0' || s[i] == '1')) {
            v = s[i] == '1';
            ++i;
            return true;
        }
        return false;
    }
};

bool parseFloat(std::string_view s, double& v) {
    Scanner sc{trim(s)};
    return sc.number(v) && sc.atEnd();
}

// ---------------------------------------------------------------------------
// Path data

struct Seg {
    Pt p, in, out;
};
struct Subpath {
    std::vector<Seg> segs;
    bool closed = false;
};

struct PathBuilder {
    std::vector<Subpath> subs;
    Pt cur, start;
    size_t points = 0;

    bool open() const { return !subs.empty() && !subs.back().closed && !subs.back().segs.empty(); }
    void moveTo(Pt p) {
        subs.push_back({});
        subs.back().segs.push_back(Seg{p, p, p});
        cur = start = p;
        ++points;
    }
    void ensureOpen() {
        if (!open()) moveTo(cur);
    }
    void lineTo(Pt p) {
        ensureOpen();
        subs.back().segs.push_back(Seg{p, p, p});
        cur = p;
        ++points;
    }
    void cubicTo(Pt c1, Pt c2, Pt p) {
        ensureOpen();
        subs.back().segs.back().out = c1;
        subs.back().segs.push_back(Seg{p, c2, p});
        cur = p;
        ++points;
    }
    void close() {
        if (!open()) return;
        Subpath& sp = subs.back();
        // A last anchor on the first one is the same anchor: the closing
        // side is the curve drawn to it.
        if (sp.segs.size() > 1 && sp.segs.back().p.x == sp.segs.front().p.x &&
            sp.segs.back().p.y == sp.segs.front().p.y) {
            sp.segs.front().in = sp.segs.back().in;
            sp.segs.pop_back();
            --points;
        }
        sp.closed = true;
        cur = start;
    }
};

void arcTo(PathBuilder& pb, double rx, double ry, double angle, bool large, bool sweep, Pt p) {
    const Pt p0 = pb.cur;
    if (p0.x == p.x && p0.y == p.y) return;
    rx = std::abs(rx);
    ry = std::abs(ry);
    if (rx == 0 || ry == 0) {
        pb.lineTo(p);
        return;
    }
    const double phi = angle * M_PI / 180.0;
    const double cs = std::cos(phi), sn = std::sin(phi);
    const double dx = (p0.x - p.x) / 2, dy = (p0.y - p.y) / 2;
    const double x1 = cs * dx + sn * dy, y1 = -sn * dx + cs * dy;
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double coef = den > 0 ? std::sqrt(std::max(0.0, num / den)) : 0;
    if (large == sweep) coef = -coef;
    const double cx1 = coef * rx * y1 / ry, cy1 = -coef * ry * x1 / rx;
    const double cx = cs * cx1 - sn * cy1 + (p0.x + p.x) / 2, cy = sn * cx1 + cs * cy1 + (p0.y + p.y) / 2;
    auto ang = [](double ux, double uy, double vx, double vy) {
        return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
    };
    const double t1 = ang(1, 0, (x1 - cx1) / rx, (y1 - cy1) / ry);
    double dt = ang((x1 - cx1) / rx, (y1 - cy1) / ry, (-x1 - cx1) / rx, (-y1 - cy1) / ry);
    if (!sweep && dt > 0) dt -= 2 * M_PI;
    if (sweep && dt < 0) dt += 2 * M_PI;
    if (!std::isfinite(dt) || !std::isfinite(cx) || !std::isfinite(cy)) {
        pb.lineTo(p);
        return;
    }
    const int n = std::max(1, static_cast<int>(std::ceil(std::abs(dt) / (M_PI / 2) - 1e-9)));
    const double step = dt / n;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    auto onEllipse = [&](double t) {
        return Pt{cx + rx * std::cos(t) * cs - ry * std::sin(t) * sn, cy + rx * std::cos(t) * sn + ry * std::sin(t) * cs};
    };
    auto deriv = [&](double t) {
        return Pt{-rx * std::sin(t) * cs - ry * std::cos(t) * sn, -rx * std::sin(t) * sn + ry * std::cos(t) * cs};
    };
    double t = t1;
    for (int i = 0; i < n; ++i) {
        const double t2 = t + step;
        const Pt a = onEllipse(t), b = i == n - 1 ? p : onEllipse(t2);
        const Pt da = deriv(t), db = deriv(t2);
        pb.cubicTo(Pt{a.x + k * da.x, a.y + k * da.y}, Pt{b.x - k * db.x, b.y - k * db.y}, b);
        t = t2;
    }
}

// Parses path data; on an error keeps what came before it (as browsers
// draw it) and says where the error is in `problem`.
void parsePathData(std::string_view d, PathBuilder& pb, std::string& problem, size_t pointLimit) {
    Scanner sc{d};
    char cmd = 0;
    Pt lastCtrl;
    char prev = 0;
    while (!sc.atEnd()) {
        if (pb.points > pointLimit) return;
        const char c = sc.s[sc.i];
        if (std::isalpha(static_cast<unsigned char>(c))) {
            cmd = c;
            ++sc.i;
        } else if (cmd == 0 || cmd == 'z' || cmd == 'Z') {
            problem = "path data error at character " + std::to_string(sc.i + 1);
            return;
        }
        const bool rel = std::islower(static_cast<unsigned char>(cmd)) != 0;
        const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(cmd)));
        const Pt o = rel ? pb.cur : Pt{0, 0};
        double v[7] = {};
        auto numbers = [&](int n) {
            for (int k = 0; k < n; ++k) {
                if (k > 0) sc.skipSep();
                if (!sc.number(v[k])) return false;
            }
            sc.skipSep();
            return true;
        };
        bool ok = true;
        switch (up) {
            case 'M':
                if ((ok = numbers(2))) {
                    pb.moveTo(Pt{o.x + v[0], o.y + v[1]});
                    cmd = rel ? 'l' : 'L';
                }
                break;
            case 'L':
                if ((ok = numbers(2))) pb.lineTo(Pt{o.x + v[0], o.y + v[1]});
                break;
            case 'H':
                if ((ok = numbers(1))) pb.lineTo(Pt{o.x + v[0], pb.cur.y});
                break;
            case 'V':
                if ((ok = numbers(1))) pb.lineTo(Pt{pb.cur.x, o.y + v[0]});
                break;
            case 'C':
                if ((ok = numbers(6))) {
                    lastCtrl = Pt{o.x + v[2], o.y + v[3]};
                    pb.cubicTo(Pt{o.x + v[0], o.y + v[1]}, lastCtrl, Pt{o.x + v[4], o.y + v[5]});
                }
                break;
            case 'S':
                if ((ok = numbers(4))) {
                    const Pt c1 = (prev == 'C' || prev == 'S') ? Pt{2 * pb.cur.x - lastCtrl.x, 2 * pb.cur.y - lastCtrl.y}
                                                               : pb.cur;
                    lastCtrl = Pt{o.x + v[0], o.y + v[1]};
                    pb.cubicTo(c1, lastCtrl, Pt{o.x + v[2], o.y + v[3]});
                }
                break;
            case 'Q':
            case 'T':
                if ((ok = numbers(up == 'Q' ? 4 : 2))) {
                    Pt q, p;
                    if (up == 'Q') {
                        q = Pt{o.x + v[0], o.y + v[1]};
                        p = Pt{o.x + v[2], o.y + v[3]};
                    } else {
                        q = (prev == 'Q' || prev == 'T') ? Pt{2 * pb.cur.x - lastCtrl.x, 2 * pb.cur.y - lastCtrl.y}
                                                         : pb.cur;
                        p = Pt{o.x + v[0], o.y + v[1]};
                    }
                    const Pt p0 = pb.cur;
                    lastCtrl = q;
                    pb.cubicTo(Pt{p0.x + 2.0 / 3 * (q.x - p0.x), p0.y + 2.0 / 3 * (q.y - p0.y)},
                               Pt{p.x + 2.0 / 3 * (q.x - p.x), p.y + 2.0 / 3 * (q.y - p.y)}, p);
                }
                break;
            case 'A': {
                bool large = false, sweep = false;
                ok = sc.number(v[0]);
                if (ok) sc.skipSep(), ok = sc.number(v[1]);
                if (ok) sc.skipSep(), ok = sc.number(v[2]);
                if (ok) sc.skipSep(), ok = sc.flag(large);
                if (ok) sc.skipSep(), ok = sc.flag(sweep);
                if (ok) sc.skipSep(), ok = sc.number(v[3]);
                if (ok) sc.skipSep(), ok = sc.number(v[4]);
                if (ok) {
                    sc.skipSep();
                    arcTo(pb, v[0], v[1], v[2], large, sweep, Pt{o.x + v[3], o.y + v[4]});
                }
                break;
            }
            case 'Z':
                pb.close();
                sc.skipSep();
                break;
            default:
                problem = std::string("unknown path command '") + c + "'";
                return;
        }
        if (!ok) {
            problem = sc.rangeError ? "path data has a number out of range"
                                    : "path data error at character " + std::to_string(sc.i + 1);
            return;
        }
        prev = up;
    }
}

// ---------------------------------------------------------------------------
// Transforms

bool parseTransform(std::string_view s, Mat& out) {
    Scanner sc{s};
    Mat m;
    while (!sc.atEnd()) {
        size_t j = sc.i;
        while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j]))) ++j;
        const std::string name(s.substr(sc.i, j - sc.i));
        sc.i = j;
        sc.skipWsp();
        if (sc.i >= s.size() || s[sc.i] != '(') return false;
        ++sc.i;
        double v[6] = {};
        int n = 0;
        while (!sc.atEnd() && s[sc.i] != ')') {
            if (n == 6 || !sc.number(v[n])) return false;
            ++n;
            sc.skipSep();
        }
        if (sc.i >= s.size()) return false;
        ++sc.i;
        Mat t;
        if (name == "matrix" && n == 6) {
            t = Mat{v[0], v[1], v[2], v[3], v[4], v[5]};
        } else if (name == "translate" && (n == 1 || n == 2)) {
            t = translate(v[0], n == 2 ? v[1] : 0);
        } else if (name == "scale" && (n == 1 || n == 2)) {
            t = scale(v[0], n == 2 ? v[1] : v[0]);
        } else if (name == "rotate" && (n == 1 || n == 3)) {
            const double r = v[0] * M_PI / 180;
            const Mat rot{std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
            t = n == 3 ? mul(translate(v[1], v[2]), mul(rot, translate(-v[1], -v[2]))) : rot;
        } else if (name == "skewX" && n == 1) {
            t = Mat{1, 0, std::tan(v[0] * M_PI / 180), 1, 0, 0};
        } else if (name == "skewY" && n == 1) {
            t = Mat{1, std::tan(v[0] * M_PI / 180), 0, 1, 0, 0};
        } else {
            return false;
        }
        m = mul(m, t);
        sc.skipSep();
    }
    out = m;
    return true;
}

// ---------------------------------------------------------------------------
// CSS: declarations and simple rules.

std::vector<std::pair<std::string, std::string>> parseDeclarations(std::string_view s) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t i = 0;
    while (i < s.size()) {
        size_t semi = s.find(';', i);
        if (semi == std::string_view::npos) semi = s.size();
        const std::string_view decl = s.substr(i, semi - i);
        i = semi + 1;
        const size_t colon = decl.find(':');
        if (colon == std::string_view::npos) continue;
        std::string name = lower(trim(decl.substr(0, colon)));
        std::string_view value = trim(decl.substr(colon + 1));
        const size_t imp = value.find("!important");
        if (imp != std::string_view::npos) value = trim(value.substr(0, imp));
        if (!name.empty()) out.emplace_back(std::move(name), std::string(value));
    }
    return out;
}

struct Selector {
    std::string tag;  // "" or "*": any
    std::string id;
    std::vector<std::string> classes;
    int specificity = 0;
};

struct Rule {
    Selector sel;
    std::vector<std::pair<std::string, std::string>> decls;
    size_t order = 0;
};

bool parseSelector(std::string_view text, Selector& sel) {
    text = trim(text);
    if (text.empty()) return false;
    size_t i = 0;
    auto ident = [&]() {
        const size_t j0 = i;
        while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '-' ||
                                   text[i] == '_' || static_cast<unsigned char>(text[i]) >= 0x80))
            ++i;
        return std::string(text.substr(j0, i - j0));
    };
    if (text[0] == '*') {
        ++i;
    } else if (std::isalpha(static_cast<unsigned char>(text[0]))) {
        sel.tag = ident();
        sel.specificity += 1;
    }
    while (i < text.size()) {
        const char c = text[i++];
        const std::string name = ident();
        if (name.empty()) return false;
        if (c == '.') {
            sel.classes.push_back(name);
            sel.specificity += 100;
        } else if (c == '#') {
            sel.id = name;
            sel.specificity += 10000;
        } else {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Properties

const std::set<std::string>& inheritedProperties() {
    static const std::set<std::string> s{"fill", "fill-opacity", "fill-rule", "stroke", "stroke-width",
                                         "stroke-opacity", "stroke-linecap", "stroke-linejoin",
                                         "stroke-miterlimit", "stroke-dasharray", "stroke-dashoffset", "color",
                                         "font-size", "font-family", "font-weight", "font-style", "text-anchor",
                                         "visibility", "letter-spacing", "word-spacing", "font-variant",
                                         "font-stretch", "clip-rule", "paint-order", "marker", "marker-start",
                                         "marker-mid", "marker-end"};
    return s;
}
const std::set<std::string>& ownProperties() {
    static const std::set<std::string> s{"opacity", "mix-blend-mode", "display", "clip-path", "mask", "filter"};
    return s;
}
// Properties that change nothing the model draws; read without a word.
// Editors' own vendor-prefixed properties (an editor's font bookkeeping, for
// example) are editor state and count as quiet too.
bool isEditorProperty(const std::string& k) { return k.rfind("-inkscape-", 0) == 0; }
const std::set<std::string>& quietProperties() {
    static const std::set<std::string> s{
        "overflow", "enable-background", "shape-rendering", "color-rendering", "image-rendering",
        "text-rendering", "color-interpolation", "color-interpolation-filters", "line-height", "isolation",
        "solid-color", "solid-opacity", "font-variant-ligatures", "font-variant-caps", "font-variant-numeric",
        "font-variant-east-asian", "font-feature-settings", "text-indent", "text-align", "text-decoration",
        "text-decoration-line", "text-decoration-style", "text-decoration-color", "text-transform",
        "text-orientation", "writing-mode", "direction", "block-progression", "baseline-shift",
        "dominant-baseline", "white-space", "shape-padding", "shape-inside", "inline-size", "vector-effect",
        "font-variation-settings", "stop-color", "stop-opacity",
        "flood-color", "flood-opacity", "lighting-color", "marker", "font", "clip", "cursor", "pointer-events",
        "unicode-bidi", "alignment-baseline", "kerning", "glyph-orientation-vertical",
        "glyph-orientation-horizontal", "mask-type", "font-size-adjust", "color-profile"};
    return s;
}

struct Length {
    double value = 0;
    std::string unit;
};

bool parseLength(std::string_view s, Length& l) {
    s = trim(s);
    Scanner sc{s};
    if (!sc.number(l.value)) return false;
    l.unit = lower(trim(s.substr(sc.i)));
    static const std::set<std::string> units{"", "px", "pt", "pc", "mm", "cm", "in", "em", "ex", "%"};
    return units.count(l.unit) > 0;
}

// A length in user units; `percentOf` is what 100% means.
double userLength(const Length& l, double percentOf, double fontSize) {
    if (l.unit == "pt") return l.value * 4.0 / 3.0;
    if (l.unit == "pc") return l.value * 16.0;
    if (l.unit == "mm") return l.value * 96.0 / 25.4;
    if (l.unit == "cm") return l.value * 96.0 / 2.54;
    if (l.unit == "in") return l.value * 96.0;
    if (l.unit == "em") return l.value * fontSize;
    if (l.unit == "ex") return l.value * fontSize / 2;
    if (l.unit == "%") return l.value * percentOf / 100.0;
    return l.value;
}

// ---------------------------------------------------------------------------
// The importer

struct Failure {
    std::string message;
};

class Importer {
public:
    Importer(xmlDocPtr xdoc, const SvgLimits& limits, SvgReport& report) : x_(xdoc), lim_(limits), report_(report) {}
    bool run(std::unique_ptr<Document>& out, std::string& error);

private:
    struct Ctx {
        Mat ctm;  // user space to model
        const Props* inherited = nullptr;
        Layer* layer = nullptr;
        Art* parent = nullptr;
        int depth = 0;
        double vpw = 100, vph = 100;  // viewport, for percentages
    };

    // Reading the XML tree.
    std::string nodeText(xmlNodePtr first);
    AttrMap attributes(xmlNodePtr n);
    std::string name(xmlNodePtr n) const { return reinterpret_cast<const char*>(n->name); }
    bool isSvg(xmlNodePtr n) const {
        return n->type == XML_ELEMENT_NODE &&
               (!n->ns || std::strcmp(reinterpret_cast<const char*>(n->ns->href), kSvgNs) == 0);
    }
    void indexIds(xmlNodePtr root);
    void readStyleSheets(xmlNodePtr root);
    void readStyleSheet(const std::string& css);

    // Properties.
    Props ownProps(xmlNodePtr n, const AttrMap& at);
    Props inherit(const Props& parent, const Props& own) const;
    double fontSize(const Props& p) const;
    double lengthProp(const Props& p, const std::string& key, double dflt, double percentOf) const;
    bool paint(const Props& p, const std::string& key, const AttrMap& at, bool& on, AIColor& color, float& alpha);
    AIPathStyle styleFor(const Props& p, const AttrMap& at, const Mat& ctm, const Ctx& ctx, float& fillAlpha,
                         float& strokeAlpha);

    // Building art.
    void note(const std::string& what) { ++notes_[what]; }
    Art* newArt(int16_t type, const Ctx& ctx);
    void finish(Art* a, const AttrMap& at, const Props& own, const Props& props, float alpha);
    // The element's opacity (times alpha) and blend mode.
    void opacityAndBlend(Art* a, const Props& own, float alpha);
    void walkChildren(xmlNodePtr n, const Ctx& ctx);
    void element(xmlNodePtr n, const Ctx& ctx, const AttrMap* useAttrs = nullptr);
    void group(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx,
               const Mat& ctm, bool firstOnly);
    void shape(xmlNodePtr n, const std::string& tag, const AttrMap& at, const Props& own, const Props& props,
               const Ctx& ctx, const Mat& ctm);
    void text(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx, const Mat& ctm);
    void image(const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx, const Mat& ctm);
    // An image drawn in warped pieces: the unwarped image is its definition.
    void warpedImage(xmlNodePtr n, const Props& own, const Ctx& ctx, const Mat& ctm);
    // Whether new art goes inside an envelope, where the unwarped geometry
    // kept in data-easel-d and data-easel-transform is read instead of the
    // warped one drawn.
    static bool underEnvelope(const Ctx& ctx) {
        for (const Art* p = ctx.parent; p; p = p->parent()) {
            if (p->type() == kEnvelopeArt) return true;
        }
        return false;
    }
    void use(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx, const Mat& ctm);
    // corners: "0110..." corner flags; ends: the open path's first in and
    // last out direction points, in model coordinates (both as written by
    // this system, may be empty).
    bool toSegments(const Subpath& sp, const Mat& m, std::vector<AIPathSegment>& out, const std::string& corners,
                    const std::string& ends);
    void setSegments(Art* a, const std::vector<AIPathSegment>& segs, bool closed, const AttrMap& at);
    std::optional<Mat> objectMatrix(const Mat& ctm, double x, double yTop) const;
    Mat viewBoxTransform(const AttrMap& at, double w, double h, bool& hasViewBox) const;
    Layer* newLayer(const std::string& name);

    xmlDocPtr x_;
    const SvgLimits& lim_;
    SvgReport& report_;
    std::unique_ptr<Document> doc_;
    std::map<std::string, int> notes_;
    std::vector<std::string> noteOrder_;
    std::unordered_map<std::string, xmlNodePtr> ids_;
    std::vector<Rule> rules_;
    std::set<int64_t> usedIds_;
    std::set<xmlNodePtr> useStack_;
    size_t objects_ = 0;
    size_t points_ = 0;
    size_t entityChars_ = 0;
    struct LayerFlags {
        Layer* layer;
        bool visible;
        bool locked;
    };
    std::vector<LayerFlags> layerFlags_;
    struct Pending {
        Art* art;
        bool locked, hidden;
    };
    std::vector<Pending> pending_;
    double pageHeight_ = 0;
};

std::string Importer::nodeText(xmlNodePtr first) {
    std::string s;
    for (xmlNodePtr c = first; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            if (c->content) s += reinterpret_cast<const char*>(c->content);
        } else if (c->type == XML_ENTITY_REF_NODE) {
            // Internal entities of plain text are expanded, up to a budget;
            // nothing else is.
            xmlEntityPtr e = xmlGetDocEntity(x_, c->name);
            const char* content = e && e->etype == XML_INTERNAL_GENERAL_ENTITY && e->content
                                      ? reinterpret_cast<const char*>(e->content)
                                      : nullptr;
            if (!content || std::strchr(content, '&') || std::strchr(content, '<')) {
                note("entity &" + name(c) + "; not expanded");
                continue;
            }
            const size_t n = std::strlen(content);
            entityChars_ += n;
            if (entityChars_ > lim_.maxEntityText)
                throw Failure{"entities expand to more than " + std::to_string(lim_.maxEntityText) +
                              " characters (the limit)"};
            s += content;
        }
    }
    return s;
}

AttrMap Importer::attributes(xmlNodePtr n) {
    AttrMap at;
    for (xmlAttrPtr a = n->properties; a; a = a->next) {
        std::string key = reinterpret_cast<const char*>(a->name);
        if (a->ns && a->ns->href) {
            const char* href = reinterpret_cast<const char*>(a->ns->href);
            if (std::strcmp(href, kXlinkNs) == 0) key = "xlink:" + key;
            else if (std::strcmp(href, kXmlNs) == 0) key = "xml:" + key;
            else if (std::strcmp(href, kInkscapeNs) == 0) key = "inkscape:" + key;
            else if (a->ns->prefix) key = std::string(reinterpret_cast<const char*>(a->ns->prefix)) + ":" + key;
        }
        at[key] = nodeText(a->children);
    }
    return at;
}

void Importer::indexIds(xmlNodePtr root) {
    std::vector<xmlNodePtr> stack{root};
    size_t visited = 0;
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        if (++visited > 4 * lim_.maxObjects)
            throw Failure{"more than " + std::to_string(4 * lim_.maxObjects) + " elements (the limit)"};
        if (n->type != XML_ELEMENT_NODE) continue;
        if (xmlChar* id = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>("id"))) {
            ids_.emplace(reinterpret_cast<const char*>(id), n);
            xmlFree(id);
        }
        for (xmlNodePtr c = n->last; c; c = c->prev) stack.push_back(c);
    }
}

void Importer::readStyleSheet(const std::string& cssText) {
    std::string css;
    // Comments out.
    for (size_t i = 0; i < cssText.size();) {
        if (cssText.compare(i, 2, "/*") == 0) {
            const size_t e = cssText.find("*/", i + 2);
            i = e == std::string::npos ? cssText.size() : e + 2;
        } else {
            css += cssText[i++];
        }
    }
    size_t i = 0;
    while (i < css.size()) {
        const size_t open = css.find('{', i);
        if (open == std::string::npos) break;
        std::string_view prelude = trim(std::string_view(css).substr(i, open - i));
        // The block, with nested blocks (at-rules) skipped whole.
        int depth = 0;
        size_t close = open;
        for (; close < css.size(); ++close) {
            if (css[close] == '{') ++depth;
            else if (css[close] == '}' && --depth == 0) break;
        }
        const std::string_view body = std::string_view(css).substr(open + 1, std::min(close, css.size()) - open - 1);
        i = close + 1;
        if (!prelude.empty() && prelude.front() == '@') {
            note("CSS rule " + std::string(prelude.substr(0, prelude.find(' '))) + " not supported");
            continue;
        }
        const auto decls = parseDeclarations(body);
        size_t start = 0;
        while (start <= prelude.size()) {
            size_t comma = prelude.find(',', start);
            if (comma == std::string_view::npos) comma = prelude.size();
            Rule r;
            if (parseSelector(prelude.substr(start, comma - start), r.sel)) {
                r.decls = decls;
                r.order = rules_.size();
                rules_.push_back(std::move(r));
            } else {
                note("CSS selector \"" + std::string(trim(prelude.substr(start, comma - start))) +
                     "\" not supported");
            }
            start = comma + 1;
        }
    }
    std::stable_sort(rules_.begin(), rules_.end(), [](const Rule& a, const Rule& b) {
        return a.sel.specificity != b.sel.specificity ? a.sel.specificity < b.sel.specificity : a.order < b.order;
    });
}

void Importer::readStyleSheets(xmlNodePtr root) {
    std::vector<xmlNodePtr> stack{root};
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        if (n->type != XML_ELEMENT_NODE) continue;
        if (isSvg(n) && name(n) == "style") {
            xmlChar* type = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>("type"));
            const bool css = !type || std::strcmp(reinterpret_cast<const char*>(type), "text/css") == 0;
            if (type) xmlFree(type);
            if (css) readStyleSheet(nodeText(n->children));
            else note("style sheet of a type other than text/css not read");
            continue;
        }
        for (xmlNodePtr c = n->last; c; c = c->prev) stack.push_back(c);
    }
}

Props Importer::ownProps(xmlNodePtr n, const AttrMap& at) {
    Props p;
    auto take = [&](const std::string& k, const std::string& v) {
        if (inheritedProperties().count(k) || ownProperties().count(k)) {
            p[k] = v;
        } else if (!quietProperties().count(k) && !isEditorProperty(k)) {
            note("property \"" + k + "\" not supported");
        }
    };
    for (const auto& [k, v] : at) {
        if (inheritedProperties().count(k) || ownProperties().count(k)) p[k] = v;
    }
    if (!rules_.empty() && n) {
        const std::string tag = name(n);
        std::vector<std::string> classes;
        auto cls = at.find("class");
        if (cls != at.end()) {
            std::string_view s = cls->second;
            size_t i = 0;
            while (i < s.size()) {
                while (i < s.size() && isWsp(s[i])) ++i;
                size_t j = i;
                while (j < s.size() && !isWsp(s[j])) ++j;
                if (j > i) classes.emplace_back(s.substr(i, j - i));
                i = j;
            }
        }
        auto idIt = at.find("id");
        for (const Rule& r : rules_) {
            const Selector& s = r.sel;
            if (!s.tag.empty() && s.tag != tag) continue;
            if (!s.id.empty() && (idIt == at.end() || idIt->second != s.id)) continue;
            bool all = true;
            for (const std::string& c : s.classes) all = all && std::find(classes.begin(), classes.end(), c) != classes.end();
            if (!all) continue;
            for (const auto& [k, v] : r.decls) take(k, v);
        }
    }
    auto style = at.find("style");
    if (style != at.end()) {
        for (const auto& [k, v] : parseDeclarations(style->second)) take(k, v);
    }
    return p;
}

Props Importer::inherit(const Props& parent, const Props& own) const {
    Props p = parent;
    for (const auto& [k, v] : own) {
        if (!inheritedProperties().count(k)) continue;
        if (trim(v) == "inherit") continue;
        p[k] = std::string(trim(v));
    }
    return p;
}

double Importer::fontSize(const Props& p) const {
    auto it = p.find("font-size");
    if (it == p.end()) return 16;
    Length l;
    if (!parseLength(it->second, l) || l.value <= 0) return 16;
    return userLength(l, 16, 16);
}

double Importer::lengthProp(const Props& p, const std::string& key, double dflt, double percentOf) const {
    auto it = p.find(key);
    if (it == p.end()) return dflt;
    Length l;
    if (!parseLength(it->second, l)) return dflt;
    return userLength(l, percentOf, fontSize(p));
}

Mat Importer::viewBoxTransform(const AttrMap& at, double w, double h, bool& hasViewBox) const {
    hasViewBox = false;
    auto it = at.find("viewBox");
    if (it == at.end()) return Mat{};
    Scanner sc{it->second};
    double v[4];
    for (double& x : v) {
        if (!sc.number(x)) return Mat{};
        sc.skipSep();
    }
    if (v[2] <= 0 || v[3] <= 0) return Mat{};
    hasViewBox = true;
    double sx = w / v[2], sy = h / v[3];
    std::string par = "xMidYMid meet";
    auto p = at.find("preserveAspectRatio");
    if (p != at.end()) par = std::string(trim(p->second));
    if (par.rfind("defer", 0) == 0) par = std::string(trim(std::string_view(par).substr(5)));
    const std::string align = par.substr(0, par.find(' '));
    if (align != "none") {
        const bool slice = par.find("slice") != std::string::npos;
        const double s = slice ? std::max(sx, sy) : std::min(sx, sy);
        sx = sy = s;
    }
    double tx = -v[0] * sx, ty = -v[1] * sy;
    if (align != "none") {
        const double extraW = w - v[2] * sx, extraH = h - v[3] * sy;
        if (align.find("xMid") != std::string::npos) tx += extraW / 2;
        if (align.find("xMax") != std::string::npos) tx += extraW;
        if (align.find("YMid") != std::string::npos) ty += extraH / 2;
        if (align.find("YMax") != std::string::npos) ty += extraH;
    }
    return Mat{sx, 0, 0, sy, tx, ty};
}

bool Importer::paint(const Props& p, const std::string& key, const AttrMap& at, bool& on, AIColor& color,
                     float& alpha) {
    alpha = 1;
    auto it = p.find(key);
    std::string v = it == p.end() ? (key == "fill" ? "black" : "none") : it->second;
    std::string lv = lower(trim(v));
    if (lv.rfind("url(", 0) == 0) {
        const size_t close = lv.find(')');
        std::string ref(trim(std::string_view(v).substr(4, close == std::string::npos ? 0 : close - 4)));
        if (!ref.empty() && (ref.front() == '"' || ref.front() == '\'')) ref = ref.substr(1, ref.size() - 2);
        const std::string fallback = close == std::string::npos ? "" : std::string(trim(std::string_view(v).substr(close + 1)));
        auto target = !ref.empty() && ref[0] == '#' ? ids_.find(ref.substr(1)) : ids_.end();
        if (target != ids_.end() && (name(target->second) == "linearGradient" || name(target->second) == "radialGradient")) {
            // The average of the stops (following href chains for them).
            xmlNodePtr g = target->second;
            double r = 0, gr = 0, b = 0, a = 0;
            int n = 0;
            for (int hops = 0; g && hops < 8 && n == 0; ++hops) {
                for (xmlNodePtr s = g->children; s; s = s->next) {
                    if (!isSvg(s) || name(s) != "stop") continue;
                    const AttrMap sa = attributes(s);
                    Props sp = ownProps(s, sa);
                    auto sc = sa.find("stop-color");
                    std::string cs = sc != sa.end() ? sc->second : "black";
                    auto st = sa.find("style");
                    if (st != sa.end()) {
                        for (const auto& [k, val] : parseDeclarations(st->second)) {
                            if (k == "stop-color") cs = val;
                            if (k == "stop-opacity") sp["stop-opacity"] = val;
                        }
                    }
                    auto so = sa.find("stop-opacity");
                    double op = 1;
                    if (so != sa.end()) parseFloat(so->second, op);
                    if (sp.count("stop-opacity")) parseFloat(sp["stop-opacity"], op);
                    if (auto c = parseCssColor(cs)) {
                        r += static_cast<double>(c->r);
                        gr += static_cast<double>(c->g);
                        b += static_cast<double>(c->b);
                        a += static_cast<double>(c->alpha) * std::clamp(op, 0.0, 1.0);
                        ++n;
                    }
                }
                if (n == 0) {
                    auto h = attributes(g);
                    auto href = h.count("href") ? h["href"] : h["xlink:href"];
                    auto next = href.size() > 1 && href[0] == '#' ? ids_.find(href.substr(1)) : ids_.end();
                    g = next == ids_.end() ? nullptr : next->second;
                }
            }
            note("gradients are drawn as the average colour of their stops");
            if (n == 0) {
                on = false;
                color = noneColor();
                return true;
            }
            on = true;
            color = rgbColor(static_cast<float>(r / n), static_cast<float>(gr / n), static_cast<float>(b / n));
            alpha = static_cast<float>(a / n);
            return true;
        }
        if (target != ids_.end()) note("paint server <" + name(target->second) + "> drawn as its fallback colour");
        else note("paint reference " + ref + " not found");
        lv = lower(fallback.empty() ? "none" : fallback);
        v = fallback;
    }
    if (lv == "none") {
        on = false;
        color = noneColor();
    } else if (lv == "currentcolor") {
        auto c = p.find("color");
        auto cc = parseCssColor(c == p.end() ? "black" : c->second);
        if (!cc) cc = parseCssColor("black");
        on = true;
        color = rgbColor(cc->r, cc->g, cc->b);
        alpha = cc->alpha;
    } else if (auto cc = parseCssColor(v)) {
        on = true;
        color = rgbColor(cc->r, cc->g, cc->b);
        alpha = cc->alpha;
    } else {
        note("colour \"" + v + "\" not understood; drawn as " + (key == "fill" ? "black" : "none"));
        on = key == "fill";
        color = on ? rgbColor(0, 0, 0) : noneColor();
    }
    // The exact colour this system wrote beside the displayed one, when the
    // file has not been edited since.
    auto exact = at.find("data-easel-" + key);
    if (exact != at.end()) {
        const std::string& e = exact->second;
        const bool exactOn = e.rfind("on ", 0) == 0;
        if (exactOn || e.rfind("off ", 0) == 0) {
            if (auto c = parseColorText(std::string_view(e).substr(exactOn ? 3 : 4))) {
                const auto shown = exactOn ? displayColor(*c, doc_.get()) : std::nullopt;
                const auto now = on ? displayColor(color, doc_.get()) : std::nullopt;
                if (shown == now && alpha == 1) {
                    on = exactOn;
                    color = *c;
                }
            }
        }
    }
    return true;
}

AIPathStyle Importer::styleFor(const Props& p, const AttrMap& at, const Mat& ctm, const Ctx& ctx, float& fillAlpha,
                               float& strokeAlpha) {
    AIPathStyle s = unpaintedStyle();
    bool on = false;
    paint(p, "fill", at, on, s.fill.color, fillAlpha);
    s.fillPaint = on;
    paint(p, "stroke", at, on, s.stroke.color, strokeAlpha);
    s.strokePaint = on;
    auto get = [&](const char* k) -> std::string {
        auto it = p.find(k);
        return it == p.end() ? std::string() : lower(trim(it->second));
    };
    auto opacity = [&](const char* k) {
        double v = 1;
        const std::string t = get(k);
        if (!t.empty()) {
            Length l;
            if (parseLength(t, l)) v = l.unit == "%" ? l.value / 100 : l.value;
        }
        return static_cast<float>(std::clamp(v, 0.0, 1.0));
    };
    fillAlpha *= opacity("fill-opacity");
    strokeAlpha *= opacity("stroke-opacity");
    s.evenOdd = get("fill-rule") == "evenodd";
    // Lengths scale with the transform (by the square root of its
    // determinant; a non-uniform scale is approximated).
    const double det = std::abs(ctm.a * ctm.d - ctm.b * ctm.c);
    const double k = std::sqrt(det);
    const double diag = std::sqrt((ctx.vpw * ctx.vpw + ctx.vph * ctx.vph) / 2);
    auto scaled = [&](double v) { return k == 1 ? v : v * k; };
    s.stroke.width = static_cast<float>(scaled(std::max(0.0, lengthProp(p, "stroke-width", 1, diag))));
    const std::string cap = get("stroke-linecap");
    s.stroke.cap = cap == "round" ? kRoundCap : cap == "square" ? kProjectingCap : kButtCap;
    const std::string join = get("stroke-linejoin");
    s.stroke.join = join == "round" ? kRoundJoin : join == "bevel" ? kBevelJoin : kMiterJoin;
    if (join == "arcs" || join == "miter-clip") note("stroke-linejoin " + join + " drawn as miter");
    double ml = 4;
    if (!get("stroke-miterlimit").empty() && parseFloat(get("stroke-miterlimit"), ml) && ml >= 1)
        s.stroke.miterLimit = static_cast<float>(ml);
    const std::string dash = get("stroke-dasharray");
    if (!dash.empty() && dash != "none") {
        std::vector<double> d;
        std::string_view rest = dash;
        bool ok = true;
        while (!trim(rest).empty()) {
            rest = trim(rest);
            size_t j = 0;
            while (j < rest.size() && !isWsp(rest[j]) && rest[j] != ',') ++j;
            Length l;
            if (!parseLength(rest.substr(0, j), l)) {
                ok = false;
                break;
            }
            d.push_back(userLength(l, diag, fontSize(p)));
            rest = rest.substr(j);
            if (!rest.empty() && rest[0] == ',') rest.remove_prefix(1);
        }
        // An odd list repeats with on and off swapped, in SVG as in the model.
        if (!ok) {
            note("stroke-dasharray \"" + dash + "\" not understood; stroke drawn solid");
        } else if (d.size() > kMaxDashComponents) {
            note("dash pattern of more than " + std::to_string(kMaxDashComponents) + " lengths cut to " +
                 std::to_string(kMaxDashComponents));
            d.resize(kMaxDashComponents);
        }
        if (ok) {
            s.stroke.dashCount = static_cast<int32_t>(d.size());
            for (size_t i = 0; i < d.size(); ++i) s.stroke.dash[i] = static_cast<float>(scaled(d[i]));
            s.stroke.dashOffset = static_cast<float>(scaled(lengthProp(p, "stroke-dashoffset", 0, diag)));
        }
    }
    auto ddo = at.find("data-easel-dashoffset");
    double v = 0;
    if (s.stroke.dashCount == 0 && ddo != at.end() && parseFloat(ddo->second, v))
        s.stroke.dashOffset = static_cast<float>(v);
    auto over = at.find("data-easel-overprint");
    if (over != at.end()) {
        s.fill.overprint = over->second.find("fill") != std::string::npos;
        s.stroke.overprint = over->second.find("stroke") != std::string::npos;
    }
    if (!std::isfinite(s.stroke.width)) s.stroke.width = 1;
    for (int i = 0; i < s.stroke.dashCount; ++i) {
        if (!std::isfinite(s.stroke.dash[i])) s.stroke.dashCount = 0;
    }
    if (!std::isfinite(s.stroke.dashOffset)) s.stroke.dashOffset = 0;
    return s;
}

Art* Importer::newArt(int16_t type, const Ctx& ctx) {
    if (++objects_ > lim_.maxObjects)
        throw Failure{"more than " + std::to_string(lim_.maxObjects) + " objects (the limit)"};
    Art* a = nullptr;
    ASErr e = kNoErr;
    if (ctx.parent) {
        e = doc_->newArt(type, kPlaceInsideOnTop, ctx.parent, &a);
    } else {
        doc_->setCurrentLayer(ctx.layer);
        e = doc_->newArt(type, kPlaceAbove, nullptr, &a);
    }
    if (e != kNoErr || !a) throw Failure{"cannot place art in the document (error " + std::to_string(e) + ")"};
    return a;
}

void Importer::opacityAndBlend(Art* a, const Props& own, float alpha) {
    // Opacity: the element's, times the paint's when only one is drawn.
    double op = 1;
    auto o = own.find("opacity");
    if (o != own.end()) {
        Length l;
        if (parseLength(o->second, l)) op = std::clamp(l.unit == "%" ? l.value / 100 : l.value, 0.0, 1.0);
    }
    float opacity = static_cast<float>(op);
    if (alpha != 1) opacity = static_cast<float>(op * static_cast<double>(alpha));
    doc_->setOpacity(a, opacity);
    auto bm = own.find("mix-blend-mode");
    if (bm != own.end()) {
        const int32_t mode = blendModeFromName(lower(trim(bm->second)));
        if (mode >= 0) doc_->setBlendMode(a, mode);
        else if (lower(trim(bm->second)) != "plus-lighter") note("mix-blend-mode \"" + bm->second + "\" not supported");
    }
}

void Importer::finish(Art* a, const AttrMap& at, const Props& own, const Props& props, float alpha) {
    auto get = [&](const char* k) -> const std::string* {
        auto it = at.find(k);
        return it == at.end() ? nullptr : &it->second;
    };
    if (const std::string* id = get("data-easel-id")) {
        int64_t v = 0;
        auto res = std::from_chars(id->data(), id->data() + id->size(), v);
        if (res.ec == std::errc() && res.ptr == id->data() + id->size() && v > 0 && v <= (INT64_C(1) << 53) &&
            usedIds_.insert(v).second) {
            doc_->setArtId(a, v);
        } else {
            note("art id \"" + *id + "\" not usable (malformed or repeated); a new one given");
        }
    }
    opacityAndBlend(a, own, alpha);
    for (const char* unsupported : {"clip-path", "mask", "filter"}) {
        auto it = own.find(unsupported);
        if (it != own.end() && lower(trim(it->second)) != "none")
            note(std::string(unsupported) + " not supported; drawn without it");
    }
    for (const char* marker : {"marker", "marker-start", "marker-mid", "marker-end"}) {
        auto it = props.find(marker);
        if (a->hasPath() && it != props.end() && lower(trim(it->second)) != "none")
            note("markers not supported; path drawn without them");
    }
    if (const std::string* tags = get("data-easel-tags")) {
        Json t = Json::parse(*tags, nullptr, false);
        if (t.is_object()) {
            for (auto& [k, v] : t.items()) {
                if (k.empty()) continue;
                if (v.is_string()) doc_->setTagString(a, k, v.get<std::string>());
                else if (v.is_number()) doc_->setTagReal(a, k, v.get<float>());
            }
        } else {
            note("data-easel-tags is not a JSON object; tags not read");
        }
    }
    if (const std::string* extra = get("data-easel-extra")) {
        Json e = Json::parse(*extra, nullptr, false);
        if (e.is_object()) doc_->setExtra(a, e.dump());
        else note("data-easel-extra is not a JSON object; not read");
    }
    if (const std::string* sel = get("data-easel-selected"); sel && *sel == "true") {
        doc_->setSelected(a, true);
        const std::string* parts = get("data-easel-selection");
        if (parts && a->hasPath()) {
            std::vector<int16_t> bits(a->segmentCount(), 0);
            std::string_view s = *parts;
            bool ok = true;
            while (!trim(s).empty() && ok) {
                s = trim(s);
                size_t j = 0;
                while (j < s.size() && !isWsp(s[j])) ++j;
                const std::string_view item = s.substr(0, j);
                s = s.substr(j);
                size_t idx = 0;
                int b = kSegmentPointSelected;
                const size_t colon = item.find(':');
                auto r1 = std::from_chars(item.data(), item.data() + std::min(colon, item.size()), idx);
                ok = r1.ec == std::errc() && idx < bits.size();
                if (ok && colon != std::string_view::npos) {
                    auto r2 = std::from_chars(item.data() + colon + 1, item.data() + item.size(), b);
                    ok = r2.ec == std::errc() && b >= 0 && b <= 7;
                }
                if (ok) bits[idx] = static_cast<int16_t>(b);
            }
            if (ok) {
                for (size_t i = 0; i < bits.size(); ++i) doc_->setSegmentSelection(a, i, bits[i]);
            } else {
                note("data-easel-selection not understood; the whole path selected");
            }
        }
    }
    bool hidden = false;
    auto d = own.find("display");
    if (d != own.end() && lower(trim(d->second)) == "none") hidden = true;
    if (!a->isContainer()) {
        auto vis = props.find("visibility");
        if (vis != props.end() && (lower(vis->second) == "hidden" || lower(vis->second) == "collapse")) hidden = true;
    }
    const std::string* locked = get("data-easel-locked");
    pending_.push_back(Pending{a, locked && *locked == "true", hidden});
}

bool Importer::toSegments(const Subpath& sp, const Mat& m, std::vector<AIPathSegment>& out, const std::string& corners,
                          const std::string& ends) {
    out.clear();
    out.reserve(sp.segs.size());
    auto f = [&](Pt p, AIRealPoint& r) {
        const Pt q = apply(m, p);
        r.h = static_cast<float>(q.x);
        r.v = static_cast<float>(q.y);
        return std::isfinite(r.h) && std::isfinite(r.v);
    };
    for (const Seg& s : sp.segs) {
        AIPathSegment a{};
        if (!f(s.p, a.p) || !f(s.in, a.in) || !f(s.out, a.out)) return false;
        out.push_back(a);
    }
    if (!ends.empty() && !out.empty() && !sp.closed) {
        Scanner sc{ends};
        double v[4];
        bool ok = true;
        for (double& x : v) ok = ok && sc.number(x), sc.skipSep();
        if (ok) {
            out.front().in = AIRealPoint{static_cast<float>(v[0]), static_cast<float>(v[1])};
            out.back().out = AIRealPoint{static_cast<float>(v[2]), static_cast<float>(v[3])};
        }
    }
    for (AIPathSegment& a : out) a.corner = !looksSmooth(a);
    if (!corners.empty()) {
        if (corners.size() == out.size() && corners.find_first_not_of("01") == std::string::npos) {
            for (size_t i = 0; i < out.size(); ++i) out[i].corner = corners[i] == '1';
        } else {
            note("data-easel-corners does not match the path; corners guessed from the shape");
        }
    }
    return true;
}

void Importer::setSegments(Art* a, const std::vector<AIPathSegment>& segs, bool closed, const AttrMap&) {
    if (segs.size() > lim_.maxPathPoints)
        throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) + " points (the limit of a path)"};
    points_ += segs.size();
    if (points_ > lim_.maxTotalPoints)
        throw Failure{"more than " + std::to_string(lim_.maxTotalPoints) + " points in the document (the limit)"};
    doc_->setSegmentCount(a, segs.size());
    if (!segs.empty()) doc_->setSegments(a, 0, segs.size(), segs.data());
    doc_->setClosed(a, closed);
}

Layer* Importer::newLayer(const std::string& layerName) {
    Layer* l = nullptr;
    doc_->insertLayer(nullptr, kPlaceAboveAll, &l, layerName);
    if (!l) throw Failure{"cannot add a layer"};
    layerFlags_.push_back({l, true, false});
    return l;
}

void Importer::walkChildren(xmlNodePtr n, const Ctx& ctx) {
    for (xmlNodePtr c = n->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) element(c, ctx);
    }
}

std::optional<Mat> Importer::objectMatrix(const Mat& ctm, double x, double yBottom) const {
    // Local (u, t), vertical axis up, is SVG (x + u, yBottom - t).
    const Mat m = mul(ctm, Mat{1, 0, 0, -1, x, yBottom});
    for (double v : {m.a, m.b, m.c, m.d, m.e, m.f}) {
        if (!std::isfinite(static_cast<float>(v))) return std::nullopt;
    }
    return m;
}

AIRealMatrix toReal(const Mat& m) {
    return AIRealMatrix{static_cast<float>(m.a), static_cast<float>(m.b), static_cast<float>(m.c),
                        static_cast<float>(m.d), static_cast<float>(m.e), static_cast<float>(m.f)};
}

void Importer::element(xmlNodePtr n, const Ctx& ctx, const AttrMap* useAttrs) {
    if (!isSvg(n)) {
        const std::string prefix = n->ns && n->ns->prefix ? std::string(reinterpret_cast<const char*>(n->ns->prefix)) + ":" : "";
        note("skipped <" + prefix + name(n) + "> (not an SVG element)");
        return;
    }
    const std::string tag = name(n);
    static const std::set<std::string> definitions{"defs", "symbol", "clipPath", "mask", "linearGradient",
                                                   "radialGradient", "pattern", "filter", "marker", "style",
                                                   "font", "font-face", "glyph", "missing-glyph", "cursor",
                                                   "color-profile", "view"};
    if (definitions.count(tag)) return;  // drawn only where referenced
    static const std::set<std::string> notDrawn{"title", "desc", "metadata"};
    if (notDrawn.count(tag)) {
        note("skipped <" + tag + "> (not drawn)");
        return;
    }
    if (ctx.depth >= lim_.maxDepth)
        throw Failure{"elements nested deeper than " + std::to_string(lim_.maxDepth) + " levels (the limit)"};

    AttrMap at = attributes(n);
    if (useAttrs) {
        // A <use> copy of this element: the use's presentation is the parent's.
        at.erase("data-easel-id");
    }
    const Props own = ownProps(n, at);
    const Props props = inherit(ctx.inherited ? *ctx.inherited : Props{}, own);
    Mat ctm = ctx.ctm;
    auto tr = at.find("transform");
    if (auto kept = at.find("data-easel-transform"); kept != at.end() && underEnvelope(ctx)) tr = kept;
    if (tr != at.end()) {
        Mat t;
        if (parseTransform(tr->second, t)) ctm = mul(ctm, t);
        else note("transform \"" + tr->second + "\" not understood; element drawn untransformed");
    }
    if (tag == "g" && at.count("data-easel-type") && at.at("data-easel-type") == "warped-image") {
        warpedImage(n, own, ctx, ctm);
    } else if (tag == "g" || tag == "a") {
        group(n, at, own, props, ctx, ctm, false);
    } else if (tag == "switch") {
        group(n, at, own, props, ctx, ctm, true);
    } else if (tag == "svg") {
        // A nested viewport: a group with the viewport's placement.
        Length l;
        auto len = [&](const char* k, double pct, double dflt) {
            auto it = at.find(k);
            return it != at.end() && parseLength(it->second, l) ? userLength(l, pct, fontSize(props)) : dflt;
        };
        const double w = len("width", ctx.vpw, ctx.vpw), h = len("height", ctx.vph, ctx.vph);
        const double x = len("x", ctx.vpw, 0), y = len("y", ctx.vph, 0);
        bool hasVb = false;
        const Mat vb = viewBoxTransform(at, w, h, hasVb);
        Ctx inner = ctx;
        inner.vpw = w;
        inner.vph = h;
        if (hasVb) note("nested <svg> drawn without clipping to its viewport");
        group(n, at, own, props, inner, mul(ctm, mul(translate(x, y), vb)), false);
    } else if (tag == "rect" && at.count("data-easel-type") && at.at("data-easel-type") == "mesh") {
        image(at, own, props, ctx, ctm);
    } else if (tag == "path" || tag == "rect" || tag == "circle" || tag == "ellipse" || tag == "line" ||
               tag == "polyline" || tag == "polygon") {
        shape(n, tag, at, own, props, ctx, ctm);
    } else if (tag == "text") {
        text(n, at, own, props, ctx, ctm);
    } else if (tag == "image") {
        image(at, own, props, ctx, ctm);
    } else if (tag == "use") {
        use(n, at, own, props, ctx, ctm);
    } else {
        note("skipped <" + tag + "> (" + (tag == "script" || tag == "foreignObject" ? "not allowed" : "not supported") + ")");
    }
}

void Importer::group(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx,
                     const Mat& ctm, bool firstOnly) {
    auto type = at.find("data-easel-type");
    int16_t t = kGroupArt;
    if (type != at.end() && (type->second == "envelope" || type->second == "compound"))
        t = artTypeFromName(type->second);
    Art* g = newArt(t, ctx);
    // A group holds no style of its own unless it sets fill or stroke itself.
    if (own.count("fill") || own.count("stroke")) {
        float fa = 1, sa = 1;
        doc_->setStyle(g, styleFor(props, at, ctm, ctx, fa, sa));
    }
    if (t == kEnvelopeArt) {
        auto w = at.find("data-easel-warp");
        if (w != at.end()) {
            Scanner sc{w->second};
            double v[5] = {};
            bool ok = true;
            for (double& x : v) {
                ok = ok && sc.number(x);
                sc.skipSep();
            }
            if (ok && v[0] >= 0 && v[0] <= 15 && std::floor(v[0]) == v[0]) {
                doc_->setEnvelopeWarp(g, EnvelopeWarp{static_cast<int32_t>(v[0]), static_cast<float>(v[1]),
                                                      static_cast<float>(v[2]), static_cast<float>(v[3]), v[4] != 0});
            } else {
                note("data-easel-warp not understood; envelope read without a warp");
            }
        }
    }
    Ctx inner = ctx;
    inner.ctm = ctm;
    inner.inherited = &props;
    inner.parent = g;
    inner.depth = ctx.depth + 1;
    if (firstOnly) {
        for (xmlNodePtr c = n->children; c; c = c->next) {
            if (c->type != XML_ELEMENT_NODE) continue;
            element(c, inner);
            break;
        }
    } else {
        walkChildren(n, inner);
    }
    finish(g, at, own, props, 1);
}

void Importer::shape(xmlNodePtr, const std::string& tag, const AttrMap& at, const Props& own, const Props& props,
                     const Ctx& ctx, const Mat& ctm) {
    PathBuilder pb;
    const double fs = fontSize(props);
    auto len = [&](const char* k, double pct) {
        auto it = at.find(k);
        Length l;
        if (it == at.end()) return 0.0;
        if (!parseLength(it->second, l)) {
            note("<" + tag + "> attribute " + k + " \"" + it->second + "\" not understood");
            return 0.0;
        }
        return userLength(l, pct, fs);
    };
    const double diag = std::sqrt((ctx.vpw * ctx.vpw + ctx.vph * ctx.vph) / 2);
    if (tag == "path") {
        auto d = at.find("d");
        if (auto exact = at.find("data-easel-d"); exact != at.end() && underEnvelope(ctx)) d = exact;
        std::string problem;
        if (d != at.end()) parsePathData(d->second, pb, problem, lim_.maxPathPoints);
        if (pb.points > lim_.maxPathPoints)
            throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) + " points (the limit of a path)"};
        if (!problem.empty()) note(problem + "; the path drawn up to it");
    } else if (tag == "rect") {
        const double x = len("x", ctx.vpw), y = len("y", ctx.vph), w = len("width", ctx.vpw), h = len("height", ctx.vph);
        if (!(w > 0 && h > 0)) {
            note("skipped <rect> of zero or negative size (not drawn)");
            return;
        }
        double rx = at.count("rx") ? len("rx", ctx.vpw) : -1, ry = at.count("ry") ? len("ry", ctx.vph) : -1;
        if (rx < 0) rx = ry;
        if (ry < 0) ry = rx;
        rx = std::clamp(rx, 0.0, w / 2);
        ry = std::clamp(ry, 0.0, h / 2);
        if (rx <= 0 || ry <= 0) {
            pb.moveTo({x, y});
            pb.lineTo({x + w, y});
            pb.lineTo({x + w, y + h});
            pb.lineTo({x, y + h});
        } else {
            const double kx = rx * kKappa, ky = ry * kKappa;
            pb.moveTo({x + rx, y});
            pb.lineTo({x + w - rx, y});
            pb.cubicTo({x + w - rx + kx, y}, {x + w, y + ry - ky}, {x + w, y + ry});
            pb.lineTo({x + w, y + h - ry});
            pb.cubicTo({x + w, y + h - ry + ky}, {x + w - rx + kx, y + h}, {x + w - rx, y + h});
            pb.lineTo({x + rx, y + h});
            pb.cubicTo({x + rx - kx, y + h}, {x, y + h - ry + ky}, {x, y + h - ry});
            pb.lineTo({x, y + ry});
            pb.cubicTo({x, y + ry - ky}, {x + rx - kx, y}, {x + rx, y});
        }
        pb.close();
    } else if (tag == "circle" || tag == "ellipse") {
        const double cx = len("cx", ctx.vpw), cy = len("cy", ctx.vph);
        double rx = 0, ry = 0;
        if (tag == "circle") {
            rx = ry = len("r", diag);
        } else {
            rx = at.count("rx") ? len("rx", ctx.vpw) : -1;
            ry = at.count("ry") ? len("ry", ctx.vph) : -1;
            if (rx < 0) rx = ry;
            if (ry < 0) ry = rx;
        }
        if (!(rx > 0 && ry > 0)) {
            note("skipped <" + tag + "> of zero or negative radius (not drawn)");
            return;
        }
        const double kx = rx * kKappa, ky = ry * kKappa;
        pb.moveTo({cx + rx, cy});
        pb.cubicTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
        pb.cubicTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
        pb.cubicTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
        pb.cubicTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
        pb.close();
    } else if (tag == "line") {
        pb.moveTo({len("x1", ctx.vpw), len("y1", ctx.vph)});
        pb.lineTo({len("x2", ctx.vpw), len("y2", ctx.vph)});
    } else {  // polyline, polygon
        auto pts = at.find("points");
        Scanner sc{pts == at.end() ? std::string_view() : std::string_view(pts->second)};
        bool first = true;
        while (!sc.atEnd()) {
            double x = 0, y = 0;
            if (!sc.number(x)) break;
            sc.skipSep();
            if (!sc.number(y)) break;
            sc.skipSep();
            if (first) pb.moveTo({x, y});
            else pb.lineTo({x, y});
            first = false;
            if (pb.points > lim_.maxPathPoints)
                throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) +
                              " points (the limit of a path)"};
        }
        if (!sc.atEnd()) note("<" + tag + "> points list malformed; drawn up to the error");
        if (tag == "polygon") pb.close();
    }

    float fa = 1, sa = 1;
    AIPathStyle style = styleFor(props, at, ctm, ctx, fa, sa);
    float alpha = 1;
    if (style.fillPaint && style.strokePaint) {
        alpha = fa;
        if (fa != sa) note("different fill and stroke opacities drawn with the fill's");
    } else if (style.fillPaint) {
        alpha = fa;
    } else if (style.strokePaint) {
        alpha = sa;
    }

    std::vector<std::vector<AIPathSegment>> segs(pb.subs.size());
    auto corners = at.find("data-easel-corners");
    for (size_t i = 0; i < pb.subs.size(); ++i) {
        auto ends = at.find("data-easel-ends");
        if (!toSegments(pb.subs[i], ctm, segs[i],
                        pb.subs.size() == 1 && corners != at.end() ? corners->second : std::string(),
                        pb.subs.size() == 1 && ends != at.end() ? ends->second : std::string())) {
            note("skipped <" + tag + "> with coordinates out of range");
            return;
        }
    }
    auto type = at.find("data-easel-type");
    const bool compound = pb.subs.size() > 1 || (type != at.end() && type->second == "compound");
    if (!compound) {
        Art* a = newArt(kPathArt, ctx);
        if (segs.empty()) {
            auto closed = at.find("data-easel-closed");
            setSegments(a, {}, closed != at.end() && closed->second == "true", at);
        } else {
            setSegments(a, segs[0], pb.subs[0].closed, at);
        }
        doc_->setStyle(a, style);
        finish(a, at, own, props, alpha);
        return;
    }
    Art* c = newArt(kCompoundPathArt, ctx);
    // The path shows the style the compound is drawn with; a compound whose
    // own style differs keeps it in data-easel-own.
    AIPathStyle cstyle = style;
    Props cown = own;
    float calpha = alpha;
    if (auto ownIt = at.find("data-easel-own"); ownIt != at.end()) {
        const Json oj = Json::parse(ownIt->second, nullptr, false);
        if (oj.is_object()) {
            AttrMap oa;
            for (auto& [k, v] : oj.items())
                if (v.is_string()) oa[k] = v.get<std::string>();
            const Props o = ownProps(nullptr, oa);
            for (const auto& [k, v] : o) cown[k] = v;
            float ofa = 1, osa = 1;
            cstyle = styleFor(inherit(props, o), oa, ctm, ctx, ofa, osa);
            calpha = 1;
        } else {
            note("data-easel-own is not a JSON object; the compound takes the style it is drawn with");
        }
    }
    doc_->setStyle(c, cstyle);
    // Members written by this system carry their own attributes.
    std::vector<AttrMap> parts(pb.subs.size());
    auto partsIt = at.find("data-easel-parts");
    if (partsIt != at.end()) {
        Json pj = Json::parse(partsIt->second, nullptr, false);
        if (pj.is_array() && pj.size() == parts.size()) {
            for (size_t i = 0; i < parts.size(); ++i) {
                if (!pj[i].is_object()) continue;
                for (auto& [k, v] : pj[i].items()) {
                    if (v.is_string()) parts[i][k] = v.get<std::string>();
                }
            }
        } else {
            note("data-easel-parts does not match the path; compound members read from the path alone");
        }
    }
    Ctx inner = ctx;
    inner.parent = c;
    inner.depth = ctx.depth + 1;
    for (size_t i = 0; i < pb.subs.size(); ++i) {
        Art* a = newArt(kPathArt, inner);
        const AttrMap& pa = parts[i];
        auto pc = pa.find("data-easel-corners");
        auto pe = pa.find("data-easel-ends");
        if (pc != pa.end() || pe != pa.end())
            toSegments(pb.subs[i], ctm, segs[i], pc != pa.end() ? pc->second : std::string(),
                       pe != pa.end() ? pe->second : std::string());
        setSegments(a, segs[i], pb.subs[i].closed, pa);
        if (pa.empty()) {
            doc_->setStyle(a, style);
            pending_.push_back(Pending{a, false, false});
        } else {
            const Props pown = ownProps(nullptr, pa);
            const Props pprops = inherit(props, pown);
            float pfa = 1, psa = 1;
            // A member written without a fill (the first) has the style the path shows.
            doc_->setStyle(a, pa.count("fill") ? styleFor(pprops, pa, ctm, ctx, pfa, psa) : style);
            finish(a, pa, pown, pprops, 1);
        }
    }
    finish(c, at, cown, props, calpha);
}

void Importer::text(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx,
                    const Mat& ctm) {
    // The characters of the text and its spans, on one line.
    std::string content;
    xmlNodePtr pathRef = nullptr;
    AttrMap pathAttrs;
    std::function<void(xmlNodePtr, int)> collect = [&](xmlNodePtr e, int depth) {
        for (xmlNodePtr c = e->children; c; c = c->next) {
            if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE || c->type == XML_ENTITY_REF_NODE) {
                xmlNodePtr saved = c->next;
                c->next = nullptr;
                content += nodeText(c);
                c->next = saved;
            } else if (c->type == XML_ELEMENT_NODE && isSvg(c) && depth < 8) {
                const std::string tag = name(c);
                if (tag == "tspan" || tag == "a") {
                    const AttrMap ta = attributes(c);
                    if (ta.count("x") || ta.count("y") || ta.count("dx") || ta.count("dy"))
                        note("text spans placed on their own merged into one line");
                    collect(c, depth + 1);
                } else if (tag == "textPath" && !pathRef) {
                    pathAttrs = attributes(c);
                    std::string href = pathAttrs.count("href") ? pathAttrs["href"] : pathAttrs["xlink:href"];
                    auto it = href.size() > 1 && href[0] == '#' ? ids_.find(href.substr(1)) : ids_.end();
                    if (it != ids_.end() && name(it->second) == "path") pathRef = it->second;
                    else note("text path reference not found; text set on a line");
                    collect(c, depth + 1);
                } else {
                    note("skipped <" + tag + "> inside text");
                }
            }
        }
    };
    collect(n, 0);
    auto space = at.find("xml:space");
    if (space == at.end() || space->second != "preserve") {
        std::string collapsed;
        for (char ch : content) {
            if (ch == '\n' || ch == '\r') continue;
            if (ch == '\t') ch = ' ';
            if (ch == ' ' && (collapsed.empty() || collapsed.back() == ' ')) continue;
            collapsed += ch;
        }
        while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
        content = collapsed;
    }
    auto exact = at.find("data-easel-text");
    if (exact != at.end()) {
        Json j = Json::parse(exact->second, nullptr, false);
        if (j.is_string() && xmlText(j.get<std::string>()) == content) content = j.get<std::string>();
    }
    ObjectData o;
    o.isText = true;
    o.text = content;
    const double det = std::abs(ctm.a * ctm.d - ctm.b * ctm.c);
    o.fontSize = static_cast<float>(fontSize(props));
    float fa = 1, sa = 1;
    // Text is drawn through its matrix, stroke included.
    const AIPathStyle style = styleFor(props, at, Mat{}, ctx, fa, sa);
    Art* a = nullptr;
    if (pathRef) {
        PathBuilder pb;
        std::string problem;
        auto ed = at.find("data-easel-d");
        Mat m = ctm;
        if (ed != at.end()) {
            // The exact path this system wrote, in model coordinates.
            parsePathData(ed->second, pb, problem, lim_.maxPathPoints);
            m = Mat{};
        } else {
            const AttrMap pa = attributes(pathRef);
            auto d = pa.find("d");
            if (d != pa.end()) parsePathData(d->second, pb, problem, lim_.maxPathPoints);
        }
        if (pb.points > lim_.maxPathPoints)
            throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) + " points (the limit of a path)"};
        if (!problem.empty()) note(problem + "; the path drawn up to it");
        if (pb.subs.size() > 1) note("text path of several subpaths set on the first");
        std::vector<AIPathSegment> segs;
        auto corners = at.find("data-easel-corners");
        if (!pb.subs.empty() &&
            !toSegments(pb.subs[0], m, segs, corners != at.end() ? corners->second : std::string(),
                        at.count("data-easel-ends") ? at.at("data-easel-ends") : std::string())) {
            note("skipped <text> with coordinates out of range");
            return;
        }
        a = newArt(kTextPathArt, ctx);
        auto closed = at.find("data-easel-closed");
        setSegments(a, segs, pb.subs.empty() ? closed != at.end() && closed->second == "true" : pb.subs[0].closed, at);
        if (ed == at.end() && det != 1) o.fontSize = static_cast<float>(static_cast<double>(o.fontSize) * std::sqrt(det));
    } else {
        Length l;
        auto coord = [&](const char* k, double pct) {
            auto it = at.find(k);
            if (it == at.end()) return 0.0;
            std::string_view v = trim(it->second);
            v = v.substr(0, std::min(v.find(' '), v.find(',')));
            if (v.size() != trim(it->second).size()) note("text with a position per character set from the first");
            return parseLength(v, l) ? userLength(l, pct, fontSize(props)) : 0.0;
        };
        auto m = objectMatrix(ctm, coord("x", ctx.vpw), coord("y", ctx.vph));
        if (!m) {
            note("skipped <text> with coordinates out of range");
            return;
        }
        a = newArt(kTextArt, ctx);
        doc_->setObjectMatrix(a, toReal(*m));
    }
    if (!std::isfinite(o.fontSize)) o.fontSize = 12;
    doc_->setObjectData(a, o);
    doc_->setStyle(a, style);
    // Font choice and alignment are kept to be written back.
    if (!at.count("data-easel-extra") && !at.count("data-easel-id")) {
        Json svg = Json::object();
        for (const char* k : {"font-family", "font-weight", "font-style", "text-anchor", "letter-spacing"}) {
            auto it = props.find(k);
            if (it != props.end()) svg[k] = it->second;
        }
        if (!svg.empty()) doc_->setExtra(a, Json{{"svg", svg}}.dump());
    }
    finish(a, at, own, props, style.fillPaint ? fa : 1);
}

void Importer::image(const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx, const Mat& ctm) {
    Length l;
    auto len = [&](const char* k, double pct) {
        auto it = at.find(k);
        return it != at.end() && parseLength(it->second, l) ? userLength(l, pct, fontSize(props)) : 0.0;
    };
    const double x = len("x", ctx.vpw), y = len("y", ctx.vph), w = len("width", ctx.vpw), h = len("height", ctx.vph);
    ObjectData o;
    o.href = at.count("href") ? at.at("href") : at.count("xlink:href") ? at.at("xlink:href") : "";
    if (!at.count("width") || !at.count("height")) note("image without width or height: its size is not known");
    auto size = at.find("data-easel-size");
    double sw = w, sh = h;
    if (size != at.end()) {
        Scanner sc{size->second};
        if (!(sc.number(sw) && (sc.skipSep(), sc.number(sh)))) sw = w, sh = h;
    }
    o.width = static_cast<float>(sw);
    o.height = static_cast<float>(sh);
    auto m = objectMatrix(ctm, x, y + sh);
    if (!m || !std::isfinite(o.width) || !std::isfinite(o.height)) {
        note("skipped <image> with coordinates out of range");
        return;
    }
    auto type = at.find("data-easel-type");
    int16_t t = kPlacedArt;
    if (type != at.end() && type->second == "raster") t = kRasterArt;
    if (type != at.end() && type->second == "mesh") {
        t = kMeshArt;
        o.href.clear();
    }
    Art* a = newArt(t, ctx);
    doc_->setObjectData(a, o);
    doc_->setObjectMatrix(a, toReal(*m));
    auto par = at.find("preserveAspectRatio");
    if (!at.count("data-easel-extra") && !at.count("data-easel-id") &&
        (par == at.end() || trim(par->second) != "none")) {
        // Kept so that the image is fitted into its box as before.
        doc_->setExtra(a, Json{{"svg", {{"preserveAspectRatio", par == at.end() ? "xMidYMid meet" : par->second}}}}.dump());
    }
    if (own.count("fill") || own.count("stroke")) {
        float fa = 1, sa = 1;
        doc_->setStyle(a, styleFor(props, at, Mat{}, ctx, fa, sa));
    }
    finish(a, at, own, props, 1);
}

void Importer::warpedImage(xmlNodePtr n, const Props& own, const Ctx& ctx, const Mat& ctm) {
    for (xmlNodePtr defs = n->children; defs; defs = defs->next) {
        if (!isSvg(defs) || name(defs) != "defs") continue;
        for (xmlNodePtr c = defs->children; c; c = c->next) {
            if (!isSvg(c) || name(c) != "image") continue;
            Ctx inner = ctx;
            inner.ctm = ctm;
            inner.depth = ctx.depth + 1;
            const size_t before = objects_;
            element(c, inner);
            // The pieces are drawn as one group, which carries the image's
            // opacity and blend mode.
            if (objects_ != before) {
                Art* a = ctx.parent ? ctx.parent->lastChild() : ctx.layer ? ctx.layer->lastArt() : nullptr;
                if (a) opacityAndBlend(a, own, 1);
            }
            return;
        }
    }
    note("skipped a warped image without its image definition");
}

void Importer::use(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx,
                   const Mat& ctm) {
    const std::string href = at.count("href") ? at.at("href") : at.count("xlink:href") ? at.at("xlink:href") : "";
    Length l;
    auto len = [&](const char* k, double pct, double dflt) {
        auto it = at.find(k);
        return it != at.end() && parseLength(it->second, l) ? userLength(l, pct, fontSize(props)) : dflt;
    };
    const double x = len("x", ctx.vpw, 0), y = len("y", ctx.vph, 0);
    auto target = href.size() > 1 && href[0] == '#' ? ids_.find(href.substr(1)) : ids_.end();
    const bool mesh = at.count("data-easel-type") && at.at("data-easel-type") == "mesh";
    if (!mesh && (target == ids_.end() || !isSvg(target->second))) {
        if (!at.count("data-easel-symbol")) {
            note("skipped <use> of a missing element");
            return;
        }
    }
    xmlNodePtr t = target == ids_.end() ? nullptr : target->second;
    if (at.count("data-easel-symbol") || (t && name(t) == "symbol")) {
        // A symbol instance; the symbol's definition is kept with it.
        ObjectData o;
        o.symbol = at.count("data-easel-symbol") ? at.at("data-easel-symbol") : href.substr(1);
        double w = len("width", ctx.vpw, -1), h = len("height", ctx.vph, -1);
        if (t && (w < 0 || h < 0)) {
            AttrMap ta = attributes(t);
            Scanner sc{ta.count("viewBox") ? std::string_view(ta["viewBox"]) : std::string_view()};
            double v[4] = {0, 0, 0, 0};
            bool ok = true;
            for (double& e : v) ok = ok && sc.number(e), sc.skipSep();
            if (w < 0) w = ok ? v[2] : ctx.vpw;
            if (h < 0) h = ok ? v[3] : ctx.vph;
        }
        w = std::max(w, 0.0);
        h = std::max(h, 0.0);
        o.width = static_cast<float>(w);
        o.height = static_cast<float>(h);
        auto m = objectMatrix(ctm, x, y + h);
        if (!m) {
            note("skipped <use> with coordinates out of range");
            return;
        }
        Art* a = newArt(kSymbolArt, ctx);
        doc_->setObjectData(a, o);
        doc_->setObjectMatrix(a, toReal(*m));
        if (!at.count("data-easel-extra") && !at.count("data-easel-id") && t) {
            xmlBufferPtr buf = xmlBufferCreate();
            if (buf) {
                xmlNodeDump(buf, x_, t, 0, 0);
                const std::string def(reinterpret_cast<const char*>(xmlBufferContent(buf)),
                                      static_cast<size_t>(xmlBufferLength(buf)));
                xmlBufferFree(buf);
                doc_->setExtra(a, Json{{kSymbolDefinitionKey, def}}.dump());
            }
        }
        if (own.count("fill") || own.count("stroke")) {
            float fa = 1, sa = 1;
            doc_->setStyle(a, styleFor(props, at, Mat{}, ctx, fa, sa));
        }
        finish(a, at, own, props, 1);
        return;
    }
    // A copy of another element, as a group placed by x and y.
    if (t == n || useStack_.count(t)) {
        note("skipped <use> that refers to itself");
        return;
    }
    if (useStack_.size() >= 16) {
        note("skipped <use> nested deeper than 16 copies (the limit)");
        return;
    }
    Art* g = newArt(kGroupArt, ctx);
    Ctx inner = ctx;
    inner.ctm = mul(ctm, translate(x, y));
    inner.inherited = &props;
    inner.parent = g;
    inner.depth = ctx.depth + 1;
    useStack_.insert(t);
    element(t, inner, &at);
    useStack_.erase(t);
    finish(g, at, own, props, 1);
}

bool Importer::run(std::unique_ptr<Document>& out, std::string& error) {
    xmlNodePtr root = xmlDocGetRootElement(x_);
    if (!root) {
        error = "not an SVG document: no root element";
        return false;
    }
    if (!isSvg(root) || name(root) != "svg") {
        error = "not an SVG document: the root element is <" + name(root) + ">";
        return false;
    }
    indexIds(root);
    readStyleSheets(root);
    AttrMap at = attributes(root);

    // The page: width and height in points, user space fitted by viewBox.
    auto dimension = [&](const char* k, double& outPt) {
        auto it = at.find(k);
        Length l;
        if (it == at.end() || !parseLength(it->second, l) || l.unit == "%" || l.unit == "em" || l.unit == "ex")
            return false;
        outPt = l.unit == "pt" ? l.value : userLength(l, 0, 16) * kPxToPt;
        return true;
    };
    double w = 0, h = 0;
    const bool hasW = dimension("width", w), hasH = dimension("height", h);
    double vb[4] = {0, 0, 0, 0};
    bool vbOk = false;
    if (at.count("viewBox")) {
        Scanner sc{at["viewBox"]};
        vbOk = true;
        for (double& v : vb) vbOk = vbOk && sc.number(v), sc.skipSep();
        vbOk = vbOk && vb[2] > 0 && vb[3] > 0;
        if (!vbOk) note("viewBox \"" + at["viewBox"] + "\" not understood");
    }
    if (!hasW) w = vbOk ? (hasH && vb[3] > 0 ? h * vb[2] / vb[3] : vb[2] * kPxToPt) : 300 * kPxToPt;
    if (!hasH) h = vbOk ? (hasW && vb[2] > 0 ? w * vb[3] / vb[2] : vb[3] * kPxToPt) : 150 * kPxToPt;
    if (!hasW && !hasH && !vbOk) note("no width, height or viewBox: page set to 300 x 150 pixels");
    const float pw = static_cast<float>(w), ph = static_cast<float>(h);
    if (!(pw > 0 && ph > 0 && std::isfinite(pw) && std::isfinite(ph))) {
        error = "page size " + formatNumber(w) + " x " + formatNumber(h) + " is not positive and finite";
        return false;
    }
    doc_ = std::make_unique<Document>(pw, ph);
    pageHeight_ = ph;
    if (at.count("data-easel-seed")) {
        int32_t seed = 1;
        const std::string& s = at["data-easel-seed"];
        auto res = std::from_chars(s.data(), s.data() + s.size(), seed);
        if (res.ec == std::errc() && res.ptr == s.data() + s.size()) doc_->setSeed(seed);
    }
    bool swatches = false;
    if (at.count("data-easel-swatches")) {
        Json sj = Json::parse(at["data-easel-swatches"], nullptr, false);
        if (sj.is_array()) {
            swatches = true;
            for (const Json& s : sj) {
                if (!s.is_object() || !s.contains("name") || !s["name"].is_string() || !s.contains("color") ||
                    !s["color"].is_string())
                    continue;
                if (auto c = parseColorText(s["color"].get<std::string>()))
                    doc_->addSwatch(s["name"].get<std::string>(), *c);
            }
        } else {
            note("data-easel-swatches is not a JSON array; default swatches used");
        }
    }
    if (!swatches) {
        const auto defaults = newDocument(pw, ph);
        for (size_t i = 0; i < defaults->swatchCount(); ++i)
            doc_->addSwatch(defaults->swatch(i)->name, defaults->swatch(i)->color);
    }

    Mat vbm;
    if (vbOk) {
        bool has = false;
        vbm = viewBoxTransform(at, w, h, has);
    } else {
        vbm = scale(kPxToPt, kPxToPt);
    }
    Ctx ctx;
    // Model = flip(page) · viewBox · user space.
    ctx.ctm = mul(Mat{1, 0, 0, -1, 0, static_cast<double>(ph)}, vbm);
    const Props rootOwn = ownProps(root, at);
    const Props rootProps = inherit(Props{}, rootOwn);
    for (const char* k : {"opacity", "mix-blend-mode", "filter", "mask", "clip-path"}) {
        if (rootOwn.count(k)) note(std::string(k) + " of the root <svg> not supported");
    }
    ctx.inherited = &rootProps;
    ctx.vpw = vbOk ? vb[2] : w / kPxToPt;
    ctx.vph = vbOk ? vb[3] : h / kPxToPt;
    ctx.depth = 1;

    // Top-level groups are layers; other art at the top goes into layers of
    // its own, one per run.
    Layer* loose = nullptr;
    int count = 0;
    for (xmlNodePtr c = root->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        const bool isGroup = isSvg(c) && name(c) == "g";
        if (!isGroup) {
            static const std::set<std::string> quiet{"defs", "style", "title", "desc", "metadata", "symbol",
                                                     "linearGradient", "radialGradient", "clipPath", "mask",
                                                     "filter", "pattern", "marker"};
            if (isSvg(c) && quiet.count(name(c))) {
                element(c, ctx);
                continue;
            }
            if (!loose) loose = newLayer("Layer " + std::to_string(++count));
            Ctx lc = ctx;
            lc.layer = loose;
            element(c, lc);
            continue;
        }
        loose = nullptr;
        const AttrMap ga = attributes(c);
        std::string lname;
        for (const char* k : {"data-easel-layer", "inkscape:label", "id"}) {
            if (ga.count(k)) {
                lname = ga.at(k);
                break;
            }
        }
        ++count;
        if (lname.empty()) lname = "Layer " + std::to_string(count);
        Layer* layer = newLayer(lname);
        LayerFlags& flags = layerFlags_.back();
        const bool ours = ga.count("data-easel-layer") > 0;
        const Props gown = ownProps(c, ga);
        if (ours) {
            flags.visible = !(ga.count("data-easel-visible") && ga.at("data-easel-visible") == "false");
            flags.locked = ga.count("data-easel-locked") && ga.at("data-easel-locked") == "true";
        }
        // What a layer cannot carry (opacity, blending, hiding, ...) stays on
        // a group inside it.
        bool wrap = false;
        for (const auto& [k, v] : gown) {
            if (ownProperties().count(k) && !(ours && k == "display")) wrap = true;
        }
        if (ga.count("data-easel-id")) wrap = true;
        Ctx lc = ctx;
        lc.layer = layer;
        if (wrap) {
            element(c, lc);
            continue;
        }
        const Props gprops = inherit(rootProps, gown);
        Mat ctm = ctx.ctm;
        if (ga.count("transform")) {
            Mat t;
            if (parseTransform(ga.at("transform"), t)) ctm = mul(ctm, t);
            else note("transform \"" + ga.at("transform") + "\" not understood; element drawn untransformed");
        }
        lc.ctm = ctm;
        lc.inherited = &gprops;
        lc.depth = ctx.depth + 1;
        walkChildren(c, lc);
    }
    if (doc_->layerCount() == 0) newLayer("Layer 1");

    for (const Pending& p : pending_) {
        if (p.hidden) doc_->setHidden(p.art, true);
        if (p.locked) doc_->setLocked(p.art, true);
    }
    for (const LayerFlags& f : layerFlags_) {
        doc_->setLayerVisible(f.layer, f.visible);
        doc_->setLayerLocked(f.layer, f.locked);
    }
    doc_->setCurrentLayer(doc_->topLayer());
    doc_->clearHistory();
    for (const auto& [what, n] : notes_) {
        report_.notes.push_back(n == 1 ? what : what + ", " + std::to_string(n) + " times");
    }
    out = std::move(doc_);
    return true;
}

}  // namespace

std::string SvgReport::text() const {
    std::string s;
    for (const std::string& n : notes) s += n + "\n";
    return s;
}

bool readSvg(const std::string& text, std::unique_ptr<Document>& out, SvgReport& report, std::string& error,
             const SvgLimits& limits) {
    error.clear();
    report.notes.clear();
    if (text.size() > limits.maxBytes) {
        error = "file larger than " + std::to_string(limits.maxBytes) + " bytes (the limit)";
        return false;
    }
    if (text.size() > static_cast<size_t>(INT32_MAX)) {
        error = "file too large";
        return false;
    }
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        error = "out of memory";
        return false;
    }
    // No network, no DTD loading, no entity substitution by the parser;
    // libxml2's own limits on depth and entity amplification stay on.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    xmlDocPtr xdoc = xmlCtxtReadMemory(ctxt, text.data(), static_cast<int>(text.size()), "input.svg", nullptr, options);
    if (!xdoc || !ctxt->wellFormed) {
        const xmlError* e = xmlCtxtGetLastError(ctxt);
        std::string msg = e && e->message ? e->message : "malformed XML";
        while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
        error = "not a well-formed XML file" + (e && e->line > 0 ? " (line " + std::to_string(e->line) + ")" : std::string()) +
                ": " + msg;
        if (xdoc) xmlFreeDoc(xdoc);
        xmlFreeParserCtxt(ctxt);
        return false;
    }
    xmlFreeParserCtxt(ctxt);
    bool ok = false;
    try {
        Importer imp(xdoc, limits, report);
        ok = imp.run(out, error);
    } catch (const Failure& f) {
        error = f.message;
        ok = false;
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        ok = false;
    } catch (const std::exception& e) {
        error = std::string("cannot read the file: ") + e.what();
        ok = false;
    }
    xmlFreeDoc(xdoc);
    if (!ok) {
        out.reset();
        report.notes.clear();
    }
    return ok;
}

}  // namespace easel
