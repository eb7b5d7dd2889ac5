#include "SvgCss.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "SvgFont.h"
#include "SvgGeometry.h"

namespace easel::svg {

Declarations parseDeclarations(std::string_view s) {
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

const std::set<std::string>& inheritedProperties() {
    static const std::set<std::string> s{"fill", "fill-opacity", "fill-rule", "stroke", "stroke-width",
                                         "stroke-opacity", "stroke-linecap", "stroke-linejoin",
                                         "stroke-miterlimit", "stroke-dasharray", "stroke-dashoffset", "color",
                                         "font-size", "font-family", "font-weight", "font-style", "text-anchor",
                                         "visibility", "letter-spacing", "word-spacing", "font-variant",
                                         "font-stretch", "clip-rule", "paint-order", "marker", "marker-start",
                                         "marker-mid", "marker-end", "direction"};
    return s;
}
const std::set<std::string>& ownProperties() {
    static const std::set<std::string> s{"opacity", "mix-blend-mode", "display", "clip-path", "mask", "filter"};
    return s;
}
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

bool StyleSheet::parseSelector(std::string_view text, Selector& sel) {
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


void StyleSheet::read(const std::string& cssText, const Note& note) {
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

void StyleSheet::match(const std::string& tag, const AttrMap& at,
                       const std::function<void(const std::string&, const std::string&)>& take) const {
    if (rules_.empty()) return;
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

Props declaredProperties(const std::string& tag, const AttrMap& at, const StyleSheet& sheet, const Note& note) {
    Props p;
    std::function<void(const std::string&, const std::string&)> take = [&](const std::string& k, const std::string& v) {
        Declarations longhands;
        if (k == "font") {
            if (!expandFontShorthand(v, longhands)) note("font \"" + v + "\" not understood (system fonts are not read)");
            for (const auto& [lk, lv] : longhands) take(lk, lv);
        } else if (inheritedProperties().count(k) || ownProperties().count(k)) {
            p[k] = v;
        } else if (!quietProperties().count(k) && !isEditorProperty(k)) {
            note("property \"" + k + "\" not supported");
        }
    };
    for (const auto& [k, v] : at) {
        // "marker" is a shorthand of style sheets and style attributes; as an
        // attribute of its own it sets nothing (renderers draw no markers).
        if (k != "marker" && (inheritedProperties().count(k) || ownProperties().count(k))) take(k, v);
    }
    if (!tag.empty()) sheet.match(tag, at, take);
    auto style = at.find("style");
    if (style != at.end()) {
        for (const auto& [k, v] : parseDeclarations(style->second)) take(k, v);
    }
    return p;
}

Props inheritProperties(const Props& parent, const Props& own) {
    Props p = parent;
    for (const auto& [k, v] : own) {
        if (!inheritedProperties().count(k)) continue;
        if (trim(v) == "inherit") continue;
        p[k] = std::string(trim(v));
    }
    return p;
}

}  // namespace easel::svg
