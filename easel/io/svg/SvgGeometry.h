// Geometry of SVG text: number lists, path data, transforms and lengths.
// What the reader needs to turn attribute text into points and matrices,
// with no knowledge of elements or styles.
#pragma once

#include <cctype>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace easel::svg {

constexpr double kKappa = 0.5522847498307936;  // circle quadrant as a cubic

// ---------------------------------------------------------------------------
// Matrices in double: x' = a x + c y + e, y' = b x + d y + f.

struct Mat {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// The matrix that applies `second` first, then `first` (first · second).
inline Mat mul(const Mat& m, const Mat& n) {
    return Mat{m.a * n.a + m.c * n.b, m.b * n.a + m.d * n.b, m.a * n.c + m.c * n.d,
               m.b * n.c + m.d * n.d, m.a * n.e + m.c * n.f + m.e, m.b * n.e + m.d * n.f + m.f};
}
inline Mat translate(double x, double y) { return Mat{1, 0, 0, 1, x, y}; }
// Whether the linear part, at the float precision the model keeps, maps the
// plane onto a line or a point. Decided on the floats so that a matrix
// written and read back is judged as it was the first time.
inline bool flattens(double a, double b, double c, double d) {
    const auto f = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    return f(a) * f(d) - f(b) * f(c) == 0;
}
inline bool flattens(const Mat& m) { return flattens(m.a, m.b, m.c, m.d); }
inline Mat scale(double x, double y) { return Mat{x, 0, 0, y, 0, 0}; }

struct Pt {
    double x = 0, y = 0;
};
inline Pt apply(const Mat& m, Pt p) { return Pt{m.a * p.x + m.c * p.y + m.e, m.b * p.x + m.d * p.y + m.f}; }

// ---------------------------------------------------------------------------
// Text scanning

inline bool isWsp(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

inline std::string_view trim(std::string_view s) {
    while (!s.empty() && isWsp(s.front())) s.remove_prefix(1);
    while (!s.empty() && isWsp(s.back())) s.remove_suffix(1);
    return s;
}

inline std::string lower(std::string_view s) {
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
        // The digits gathered while they are checked (exact up to 19 of them).
        uint64_t mantissa = 0;
        int fraction = 0;
        auto digit = [&] { return j < s.size() && s[j] >= '0' && s[j] <= '9'; };
        while (digit()) mantissa = mantissa * 10 + static_cast<uint64_t>(s[j++] - '0'), ++digits;
        if (j < s.size() && s[j] == '.') {
            ++j;
            while (digit()) mantissa = mantissa * 10 + static_cast<uint64_t>(s[j++] - '0'), ++digits, ++fraction;
        }
        if (digits == 0) return false;
        bool exponent = false;
        if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
            size_t k = j + 1;
            if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
            if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
                while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
                j = k;
                exponent = true;
            }
        }
        // Without an exponent, a mantissa below 2^24 and at most ten decimals
        // are exact floats, so one division rounds as from_chars would.
        if (!exponent && digits <= 19 && mantissa <= (uint64_t{1} << 24) && fraction <= 10) {
            constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
            const float f = static_cast<float>(mantissa) / kPow10[fraction];
            v = static_cast<double>(s[start] == '-' ? -f : f);
            i = j;
            return true;
        }
        // A longer mantissa (below 2^53, at most 22 decimals) gives a
        // correctly rounded double in one division; rounding that to float
        // rounds as from_chars would unless the double lies on a midpoint
        // between two floats (its 29 bits below the float's are 1 then 0s).
        if (!exponent && digits <= 19 && mantissa <= (uint64_t{1} << 53) && fraction <= 22) {
            constexpr double kPow10d[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
            const double d = static_cast<double>(mantissa) / kPow10d[fraction];
            const uint64_t low = std::bit_cast<uint64_t>(d) & ((uint64_t{1} << 29) - 1);
            if (d == 0 || (low + 1 < (uint64_t{1} << 28) || low > (uint64_t{1} << 28) + 1)) {
                const float f = static_cast<float>(d);
                v = static_cast<double>(s[start] == '-' ? -f : f);
                i = j;
                return true;
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
bool parseFloat(std::string_view s, double& v);

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
        subs.back().segs.reserve(8);  // most subpaths have a few anchors: one allocation
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

// The exact bounds of the subpaths (curve extrema included): left, top,
// right, bottom. false when there is no point.
bool pathBounds(const std::vector<Subpath>& subs, double box[4]);

// Parses path data; on an error keeps what came before it (as browsers
// draw it) and says where the error is in `problem`.
void parsePathData(std::string_view d, PathBuilder& pb, std::string& problem, size_t pointLimit);

// A transform list; false when it is not understood.
bool parseTransform(std::string_view s, Mat& out);

struct Length {
    double value = 0;
    std::string unit;
};

// A number with one of the SVG length units (or none, or %).
bool parseLength(std::string_view s, Length& l);
// A length in user units; `percentOf` is what 100% means.
double userLength(const Length& l, double percentOf, double fontSize);

}  // namespace easel::svg
