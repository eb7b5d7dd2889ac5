#include "SvgColor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/SpelledNumbers.h"
#include "model/Document.h"
#include "model/Names.h"

namespace easel {

namespace {

struct Named {
    const char* name;
    uint32_t rgb;
};

// The CSS named colours, sorted by name for binary search.
const Named kNamed[] = {
    {"aliceblue", 0xf0f8ff}, {"antiquewhite", 0xfaebd7}, {"aqua", 0x00ffff}, {"aquamarine", 0x7fffd4},
    {"azure", 0xf0ffff}, {"beige", 0xf5f5dc}, {"bisque", 0xffe4c4}, {"black", 0x000000},
    {"blanchedalmond", 0xffebcd}, {"blue", 0x0000ff}, {"blueviolet", 0x8a2be2}, {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887}, {"cadetblue", 0x5f9ea0}, {"chartreuse", 0x7fff00}, {"chocolate", 0xd2691e},
    {"coral", 0xff7f50}, {"cornflowerblue", 0x6495ed}, {"cornsilk", 0xfff8dc}, {"crimson", 0xdc143c},
    {"cyan", 0x00ffff}, {"darkblue", 0x00008b}, {"darkcyan", 0x008b8b}, {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9}, {"darkgreen", 0x006400}, {"darkgrey", 0xa9a9a9}, {"darkkhaki", 0xbdb76b},
    {"darkmagenta", 0x8b008b}, {"darkolivegreen", 0x556b2f}, {"darkorange", 0xff8c00}, {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000}, {"darksalmon", 0xe9967a}, {"darkseagreen", 0x8fbc8f}, {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f}, {"darkslategrey", 0x2f4f4f}, {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3}, {"deeppink", 0xff1493}, {"deepskyblue", 0x00bfff}, {"dimgray", 0x696969},
    {"dimgrey", 0x696969}, {"dodgerblue", 0x1e90ff}, {"firebrick", 0xb22222}, {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22}, {"fuchsia", 0xff00ff}, {"gainsboro", 0xdcdcdc}, {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700}, {"goldenrod", 0xdaa520}, {"gray", 0x808080}, {"green", 0x008000},
    {"greenyellow", 0xadff2f}, {"grey", 0x808080}, {"honeydew", 0xf0fff0}, {"hotpink", 0xff69b4},
    {"indianred", 0xcd5c5c}, {"indigo", 0x4b0082}, {"ivory", 0xfffff0}, {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa}, {"lavenderblush", 0xfff0f5}, {"lawngreen", 0x7cfc00}, {"lemonchiffon", 0xfffacd},
    {"lightblue", 0xadd8e6}, {"lightcoral", 0xf08080}, {"lightcyan", 0xe0ffff},
    {"lightgoldenrodyellow", 0xfafad2}, {"lightgray", 0xd3d3d3}, {"lightgreen", 0x90ee90},
    {"lightgrey", 0xd3d3d3}, {"lightpink", 0xffb6c1}, {"lightsalmon", 0xffa07a}, {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xb0c4de}, {"lightyellow", 0xffffe0}, {"lime", 0x00ff00}, {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6}, {"magenta", 0xff00ff}, {"maroon", 0x800000}, {"mediumaquamarine", 0x66cdaa},
    {"mediumblue", 0x0000cd}, {"mediumorchid", 0xba55d3}, {"mediumpurple", 0x9370db},
    {"mediumseagreen", 0x3cb371}, {"mediumslateblue", 0x7b68ee}, {"mediumspringgreen", 0x00fa9a},
    {"mediumturquoise", 0x48d1cc}, {"mediumvioletred", 0xc71585}, {"midnightblue", 0x191970},
    {"mintcream", 0xf5fffa}, {"mistyrose", 0xffe4e1}, {"moccasin", 0xffe4b5}, {"navajowhite", 0xffdead},
    {"navy", 0x000080}, {"oldlace", 0xfdf5e6}, {"olive", 0x808000}, {"olivedrab", 0x6b8e23},
    {"orange", 0xffa500}, {"orangered", 0xff4500}, {"orchid", 0xda70d6}, {"palegoldenrod", 0xeee8aa},
    {"palegreen", 0x98fb98}, {"paleturquoise", 0xafeeee}, {"palevioletred", 0xdb7093},
    {"papayawhip", 0xffefd5}, {"peachpuff", 0xffdab9}, {"peru", 0xcd853f}, {"pink", 0xffc0cb},
    {"plum", 0xdda0dd}, {"powderblue", 0xb0e0e6}, {"purple", 0x800080}, {"rebeccapurple", 0x663399},
    {"red", 0xff0000}, {"rosybrown", 0xbc8f8f}, {"royalblue", 0x4169e1}, {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072}, {"sandybrown", 0xf4a460}, {"seagreen", 0x2e8b57}, {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d}, {"silver", 0xc0c0c0}, {"skyblue", 0x87ceeb}, {"slateblue", 0x6a5acd},
    {"slategray", 0x708090}, {"slategrey", 0x708090}, {"snow", 0xfffafa}, {"springgreen", 0x00ff7f},
    {"steelblue", 0x4682b4}, {"tan", 0xd2b48c}, {"teal", 0x008080}, {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347}, {"turquoise", 0x40e0d0}, {"violet", 0xee82ee}, {"wheat", 0xf5deb3},
    {"white", 0xffffff}, {"whitesmoke", 0xf5f5f5}, {"yellow", 0xffff00}, {"yellowgreen", 0x9acd32},
};

float clamp01(float v) { return std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 1.0f); }
unsigned to8(float v) { return static_cast<unsigned>(std::lround(clamp01(v) * 255.0f)); }

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A number, optionally followed by '%'. Returns false on anything else.
bool cssNumber(std::string_view s, double& v, bool& percent) {
    s = trim(s);
    percent = !s.empty() && s.back() == '%';
    if (percent) s.remove_suffix(1);
    if (s.empty()) return false;
    if (s.front() == '+') s.remove_prefix(1);
    auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    return res.ec == std::errc() && res.ptr == s.data() + s.size() && std::isfinite(v);
}

// Splits "a, b, c" or "a b c / d" into up to 4 parts.
bool functionArgs(std::string_view body, std::string_view (&parts)[4], size_t& n) {
    n = 0;
    size_t i = 0;
    while (i < body.size()) {
        while (i < body.size() && (std::isspace(static_cast<unsigned char>(body[i])) || body[i] == ',' || body[i] == '/'))
            ++i;
        if (i >= body.size()) break;
        size_t j = i;
        while (j < body.size() && !std::isspace(static_cast<unsigned char>(body[j])) && body[j] != ',' && body[j] != '/')
            ++j;
        if (n == 4) return false;
        parts[n++] = body.substr(i, j - i);
        i = j;
    }
    return n == 3 || n == 4;
}

float hueToRgb(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    double r = p;
    if (t < 1.0 / 6) r = p + (q - p) * 6 * t;
    else if (t < 0.5) r = q;
    else if (t < 2.0 / 3) r = p + (q - p) * (2.0 / 3 - t) * 6;
    return static_cast<float>(r);
}

CssColor fromFloats(float r, float g, float b, float a) {
    CssColor c;
    c.r = clamp01(r);
    c.g = clamp01(g);
    c.b = clamp01(b);
    c.alpha = clamp01(a);
    c.rgb = Rgb8{to8(c.r), to8(c.g), to8(c.b)};
    return c;
}

template <typename T>
std::string shortest(T v) {
    if (v == 0) return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

// The shortest spelling of `v`, valid until the next call on this thread.
std::string_view spelled(float v) {
    thread_local SpelledNumbers numbers;
    return numbers.get(v, [](float x, char* buf) {
        if (x == 0) {  // and -0
            *buf = '0';
            return buf + 1;
        }
        return std::to_chars(buf, buf + SpelledNumbers::kLongest, x).ptr;
    });
}

}  // namespace

std::string formatNumber(float v) { return std::string(spelled(v)); }

void appendNumber(std::string& out, float v) { out += spelled(v); }

std::string formatNumber(double v) { return shortest(v); }

std::optional<Rgb8> displayColor(const AIColor& c, const Document* doc) {
    switch (c.kind) {
        case kGrayColor: {
            const unsigned v = to8(1.0f - clamp01(c.c[0]));
            return Rgb8{v, v, v};
        }
        case kFourColor: {
            const float k = clamp01(c.c[3]);
            return Rgb8{to8((1 - clamp01(c.c[0])) * (1 - k)), to8((1 - clamp01(c.c[1])) * (1 - k)),
                        to8((1 - clamp01(c.c[2])) * (1 - k))};
        }
        case kThreeColor: return Rgb8{to8(c.c[0]), to8(c.c[1]), to8(c.c[2])};
        case kCustomColor: {
            // The swatch's colour mixed with white by the tint.
            const Swatch* s = doc && c.ref >= 0 ? doc->swatch(static_cast<size_t>(c.ref)) : nullptr;
            Rgb8 base{0, 0, 0};
            if (s && s->color.kind != kCustomColor) {
                if (auto d = displayColor(s->color, doc)) base = *d;
            }
            const float t = clamp01(c.c[0]);
            auto mix = [t](unsigned v) {
                return static_cast<unsigned>(std::lround(255.0f - (255.0f - static_cast<float>(v)) * t));
            };
            return Rgb8{mix(base.r), mix(base.g), mix(base.b)};
        }
        case kGradientColor: {
            // The mean of the stops, for where one colour must stand for it.
            const GradientPaint* g = doc ? doc->gradientPaint(c.ref) : nullptr;
            if (!g || g->gradient->stops.empty()) return Rgb8{128, 128, 128};
            double sum[3] = {0, 0, 0};
            for (const GradientStop& s : g->gradient->stops) {
                const Rgb8 v = s.color.kind == kGradientColor ? Rgb8{128, 128, 128}
                                                               : displayColor(s.color, doc).value_or(Rgb8{});
                sum[0] += v.r, sum[1] += v.g, sum[2] += v.b;
            }
            const double n = static_cast<double>(g->gradient->stops.size());
            return Rgb8{static_cast<unsigned>(std::lround(sum[0] / n)), static_cast<unsigned>(std::lround(sum[1] / n)),
                        static_cast<unsigned>(std::lround(sum[2] / n))};
        }
        case kPatternColor: return Rgb8{128, 128, 128};
        default: return std::nullopt;
    }
}

std::string hexColor(const Rgb8& c) {
    static const char* digits = "0123456789abcdef";
    std::string s = "#";
    for (unsigned v : {c.r, c.g, c.b}) {
        s += digits[(v >> 4) & 15];
        s += digits[v & 15];
    }
    return s;
}

std::string colorText(const AIColor& c) {
    std::string s = colorKindName(c.kind);
    if (colorKindHasRef(c.kind)) s += " " + std::to_string(c.ref);
    const size_t n = colorKindValueCount(c.kind);
    for (size_t i = 0; i < n; ++i) s += " " + formatNumber(c.c[i]);
    return s;
}

std::optional<AIColor> parseColorText(std::string_view text) {
    std::string_view parts[7];
    size_t n = 0;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        if (i >= text.size()) break;
        size_t j = i;
        while (j < text.size() && text[j] != ' ') ++j;
        if (n == 7) return std::nullopt;
        parts[n++] = text.substr(i, j - i);
        i = j;
    }
    if (n == 0) return std::nullopt;
    const int32_t kind = colorKindFromName(parts[0]);
    if (kind < 0) return std::nullopt;
    AIColor c{};
    c.kind = kind;
    size_t k = 1;
    if (colorKindHasRef(kind)) {
        if (n < 2) return std::nullopt;
        int32_t ref = 0;
        auto res = std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), ref);
        if (res.ec != std::errc() || res.ptr != parts[1].data() + parts[1].size() || ref < 0) return std::nullopt;
        c.ref = ref;
        k = 2;
    }
    const size_t values = colorKindValueCount(kind);
    if (n != k + values) return std::nullopt;
    for (size_t v = 0; v < values; ++v) {
        const std::string_view p = parts[k + v];
        float f = 0;
        auto res = std::from_chars(p.data(), p.data() + p.size(), f);
        if (res.ec != std::errc() || res.ptr != p.data() + p.size() || !std::isfinite(f)) return std::nullopt;
        c.c[v] = f;
    }
    return c;
}

std::optional<CssColor> parseCssColor(std::string_view text) {
    const std::string s = lower(trim(text));
    if (s.empty()) return std::nullopt;
    if (s[0] == '#') {
        const size_t n = s.size() - 1;
        if (n != 3 && n != 4 && n != 6 && n != 8) return std::nullopt;
        int d[8] = {};
        for (size_t i = 0; i < n; ++i) {
            d[i] = hexDigit(s[i + 1]);
            if (d[i] < 0) return std::nullopt;
        }
        unsigned r = 0, g = 0, b = 0, a = 255;
        if (n <= 4) {
            r = static_cast<unsigned>(d[0] * 17);
            g = static_cast<unsigned>(d[1] * 17);
            b = static_cast<unsigned>(d[2] * 17);
            if (n == 4) a = static_cast<unsigned>(d[3] * 17);
        } else {
            r = static_cast<unsigned>(d[0] * 16 + d[1]);
            g = static_cast<unsigned>(d[2] * 16 + d[3]);
            b = static_cast<unsigned>(d[4] * 16 + d[5]);
            if (n == 8) a = static_cast<unsigned>(d[6] * 16 + d[7]);
        }
        CssColor c;
        c.rgb = Rgb8{r, g, b};
        c.r = static_cast<float>(r) / 255.0f;
        c.g = static_cast<float>(g) / 255.0f;
        c.b = static_cast<float>(b) / 255.0f;
        c.alpha = static_cast<float>(a) / 255.0f;
        return c;
    }
    const size_t open = s.find('(');
    if (open != std::string::npos) {
        if (s.back() != ')') return std::nullopt;
        const std::string fn(trim(std::string_view(s).substr(0, open)));
        const std::string_view body = std::string_view(s).substr(open + 1, s.size() - open - 2);
        std::string_view parts[4];
        size_t n = 0;
        if (!functionArgs(body, parts, n)) return std::nullopt;
        double v[4] = {0, 0, 0, 1};
        bool pct[4] = {};
        for (size_t i = 0; i < n; ++i) {
            std::string_view p = parts[i];
            if (i == 0 && (fn == "hsl" || fn == "hsla") && p.size() > 3 && p.substr(p.size() - 3) == "deg")
                p.remove_suffix(3);
            if (!cssNumber(p, v[i], pct[i])) return std::nullopt;
        }
        const float alpha = static_cast<float>(pct[3] ? v[3] / 100 : v[3]);
        if (fn == "rgb" || fn == "rgba") {
            float f[3];
            for (size_t i = 0; i < 3; ++i) f[i] = static_cast<float>(pct[i] ? v[i] / 100 : v[i] / 255);
            return fromFloats(f[0], f[1], f[2], alpha);
        }
        if (fn == "hsl" || fn == "hsla") {
            double h = std::fmod(v[0], 360.0);
            if (h < 0) h += 360;
            h /= 360;
            const double sat = std::clamp(pct[1] ? v[1] / 100 : v[1], 0.0, 1.0);
            const double l = std::clamp(pct[2] ? v[2] / 100 : v[2], 0.0, 1.0);
            const double q = l < 0.5 ? l * (1 + sat) : l + sat - l * sat;
            const double p = 2 * l - q;
            return fromFloats(hueToRgb(p, q, h + 1.0 / 3), hueToRgb(p, q, h), hueToRgb(p, q, h - 1.0 / 3), alpha);
        }
        return std::nullopt;
    }
    if (s == "transparent") return fromFloats(0, 0, 0, 0);
    const Named* end = kNamed + sizeof kNamed / sizeof kNamed[0];
    const Named* it =
        std::lower_bound(kNamed, end, s, [](const Named& a, const std::string& k) { return std::strcmp(a.name, k.c_str()) < 0; });
    if (it == end || s != it->name) return std::nullopt;
    CssColor c;
    c.rgb = Rgb8{(it->rgb >> 16) & 255u, (it->rgb >> 8) & 255u, it->rgb & 255u};
    c.r = static_cast<float>(c.rgb.r) / 255.0f;
    c.g = static_cast<float>(c.rgb.g) / 255.0f;
    c.b = static_cast<float>(c.rgb.b) / 255.0f;
    return c;
}

}  // namespace easel
