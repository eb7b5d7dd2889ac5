#include "SvgGeometry.h"

#include <algorithm>
#include <set>

namespace easel::svg {

bool parseFloat(std::string_view s, double& v) {
    Scanner sc{trim(s)};
    return sc.number(v) && sc.atEnd();
}

bool pathBounds(const std::vector<Subpath>& subs, double box[4]) {
    bool any = false;
    auto add = [&](double x, double y) {
        if (!any) {
            box[0] = box[2] = x;
            box[1] = box[3] = y;
            any = true;
        }
        box[0] = std::min(box[0], x), box[2] = std::max(box[2], x);
        box[1] = std::min(box[1], y), box[3] = std::max(box[3], y);
    };
    // Extrema of one coordinate of a cubic: roots of its derivative.
    auto extrema = [](double p0, double p1, double p2, double p3, double t[2]) {
        const double a = -p0 + 3 * p1 - 3 * p2 + p3, b = 2 * (p0 - 2 * p1 + p2), c = p1 - p0;
        int n = 0;
        if (std::abs(a) < 1e-12) {
            if (std::abs(b) > 1e-12) t[n++] = -c / b;
        } else {
            const double disc = b * b - 4 * a * c;
            if (disc >= 0) {
                const double r = std::sqrt(disc);
                t[n++] = (-b + r) / (2 * a);
                t[n++] = (-b - r) / (2 * a);
            }
        }
        return n;
    };
    auto curve = [&](const Seg& from, const Seg& to) {
        add(to.p.x, to.p.y);
        const Pt p[4] = {from.p, from.out, to.in, to.p};
        for (int axis = 0; axis < 2; ++axis) {
            double t[2];
            const int n = axis == 0 ? extrema(p[0].x, p[1].x, p[2].x, p[3].x, t) : extrema(p[0].y, p[1].y, p[2].y, p[3].y, t);
            for (int i = 0; i < n; ++i) {
                if (!(t[i] > 0 && t[i] < 1)) continue;
                const double u = 1 - t[i];
                const double w[4] = {u * u * u, 3 * u * u * t[i], 3 * u * t[i] * t[i], t[i] * t[i] * t[i]};
                add(w[0] * p[0].x + w[1] * p[1].x + w[2] * p[2].x + w[3] * p[3].x,
                    w[0] * p[0].y + w[1] * p[1].y + w[2] * p[2].y + w[3] * p[3].y);
            }
        }
    };
    for (const Subpath& sp : subs) {
        if (sp.segs.empty()) continue;
        add(sp.segs[0].p.x, sp.segs[0].p.y);
        for (size_t i = 1; i < sp.segs.size(); ++i) curve(sp.segs[i - 1], sp.segs[i]);
        if (sp.closed) curve(sp.segs.back(), sp.segs.front());
    }
    return any;
}

namespace {

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

// Path data read command by command: each command's handler reads its
// numbers (in `v`, relative ones from `o`) and adds to the path.
struct PathDataReader {
    PathDataReader(std::string_view d, PathBuilder& builder) : sc{d}, pb(builder) {}
    Scanner sc;
    PathBuilder& pb;
    char cmd = 0;   // the command in force (repeated by bare numbers)
    char prev = 0;  // the last command read, upper case
    Pt lastCtrl;    // its last control point, for S and T
    Pt o;           // the origin of the command's coordinates
    double v[7] = {};

    bool numbers(int n) {
        for (int k = 0; k < n; ++k) {
            if (k > 0) sc.skipSep();
            if (!sc.number(v[k])) return false;
        }
        sc.skipSep();
        return true;
    }
    Pt at(int k) const { return Pt{o.x + v[k], o.y + v[k + 1]}; }
    // The reflection of the last control point, when the last command was
    // one of `a` and `b`; else the current point.
    Pt reflected(char a, char b) const {
        return prev == a || prev == b ? Pt{2 * pb.cur.x - lastCtrl.x, 2 * pb.cur.y - lastCtrl.y} : pb.cur;
    }
    void quadTo(const Pt& q, const Pt& p) {
        const Pt p0 = pb.cur;
        lastCtrl = q;
        pb.cubicTo(Pt{p0.x + 2.0 / 3 * (q.x - p0.x), p0.y + 2.0 / 3 * (q.y - p0.y)},
                   Pt{p.x + 2.0 / 3 * (q.x - p.x), p.y + 2.0 / 3 * (q.y - p.y)}, p);
    }

    bool move() {
        if (!numbers(2)) return false;
        pb.moveTo(at(0));
        // Numbers after a move are lines.
        cmd = std::islower(static_cast<unsigned char>(cmd)) ? 'l' : 'L';
        return true;
    }
    bool line() { return numbers(2) && (pb.lineTo(at(0)), true); }
    bool horizontal() { return numbers(1) && (pb.lineTo(Pt{o.x + v[0], pb.cur.y}), true); }
    bool vertical() { return numbers(1) && (pb.lineTo(Pt{pb.cur.x, o.y + v[0]}), true); }
    bool cubic() {
        if (!numbers(6)) return false;
        lastCtrl = at(2);
        pb.cubicTo(at(0), lastCtrl, at(4));
        return true;
    }
    bool smoothCubic() {
        if (!numbers(4)) return false;
        const Pt c1 = reflected('C', 'S');
        lastCtrl = at(0);
        pb.cubicTo(c1, lastCtrl, at(2));
        return true;
    }
    bool quadratic() {
        if (!numbers(4)) return false;
        quadTo(at(0), at(2));
        return true;
    }
    bool smoothQuadratic() {
        if (!numbers(2)) return false;
        quadTo(reflected('Q', 'T'), at(0));
        return true;
    }
    bool arc() {
        bool large = false, sweep = false;
        bool ok = sc.number(v[0]);
        if (ok) sc.skipSep(), ok = sc.number(v[1]);
        if (ok) sc.skipSep(), ok = sc.number(v[2]);
        if (ok) sc.skipSep(), ok = sc.flag(large);
        if (ok) sc.skipSep(), ok = sc.flag(sweep);
        if (ok) sc.skipSep(), ok = sc.number(v[3]);
        if (ok) sc.skipSep(), ok = sc.number(v[4]);
        if (!ok) return false;
        sc.skipSep();
        arcTo(pb, v[0], v[1], v[2], large, sweep, at(3));
        return true;
    }
    bool close() {
        pb.close();
        sc.skipSep();
        return true;
    }
};

using PathCommand = bool (PathDataReader::*)();

PathCommand pathCommand(char up) {
    switch (up) {
        case 'M': return &PathDataReader::move;
        case 'L': return &PathDataReader::line;
        case 'H': return &PathDataReader::horizontal;
        case 'V': return &PathDataReader::vertical;
        case 'C': return &PathDataReader::cubic;
        case 'S': return &PathDataReader::smoothCubic;
        case 'Q': return &PathDataReader::quadratic;
        case 'T': return &PathDataReader::smoothQuadratic;
        case 'A': return &PathDataReader::arc;
        case 'Z': return &PathDataReader::close;
        default: return nullptr;
    }
}

}  // namespace

void parsePathData(std::string_view d, PathBuilder& pb, std::string& problem, size_t pointLimit) {
    PathDataReader r(d, pb);
    Scanner& sc = r.sc;
    while (!sc.atEnd()) {
        if (pb.points > pointLimit) return;
        const char c = sc.s[sc.i];
        if (std::isalpha(static_cast<unsigned char>(c))) {
            r.cmd = c;
            ++sc.i;
        } else if (r.cmd == 0 || r.cmd == 'z' || r.cmd == 'Z') {
            problem = "path data error at character " + std::to_string(sc.i + 1);
            return;
        }
        const bool rel = std::islower(static_cast<unsigned char>(r.cmd)) != 0;
        const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(r.cmd)));
        r.o = rel ? pb.cur : Pt{0, 0};
        const PathCommand command = pathCommand(up);
        if (!command) {
            problem = std::string("unknown path command '") + c + "'";
            return;
        }
        if (!(r.*command)()) {
            problem = sc.rangeError ? "path data has a number out of range"
                                    : "path data error at character " + std::to_string(sc.i + 1);
            return;
        }
        r.prev = up;
    }
}

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

}  // namespace easel::svg
