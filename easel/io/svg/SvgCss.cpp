#include "SvgCss.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <iterator>

#include "SvgFont.h"
#include "SvgGeometry.h"

namespace easel::svg {

namespace {

// Where the first of `stops` is in `s` from `i` on, outside strings,
// parentheses and (`skipBlocks`) braces; s.size() when there is none.
size_t findOutside(std::string_view s, size_t i, std::string_view stops, bool skipBlocks = false) {
    int parens = 0, braces = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            for (++i; i < s.size() && s[i] != c; ++i) i += s[i] == '\\' ? 1 : 0;
            continue;
        }
        if (c == '\\') {
            ++i;
            continue;
        }
        if (parens == 0 && braces == 0 && stops.find(c) != std::string_view::npos) return i;
        if (c == '(') ++parens;
        else if (c == ')' && parens > 0) --parens;
        else if (skipBlocks && c == '{') ++braces;
        else if (skipBlocks && c == '}' && braces > 0) --braces;
    }
    return s.size();
}

// The declarations of a block or style attribute, !important ones apart.
void splitDeclarations(std::string_view s, Declarations& normal, Declarations& important) {
    size_t i = 0;
    while (i < s.size()) {
        const size_t semi = findOutside(s, i, ";");
        const std::string_view decl = s.substr(i, semi - i);
        i = semi + 1;
        const size_t colon = decl.find(':');
        if (colon == std::string_view::npos) continue;
        std::string name = lower(trim(decl.substr(0, colon)));
        std::string_view value = trim(decl.substr(colon + 1));
        const size_t bang = value.rfind('!');
        const bool isImportant = bang != std::string_view::npos && lower(trim(value.substr(bang + 1))) == "important";
        if (isImportant) value = trim(value.substr(0, bang));
        if (!name.empty()) (isImportant ? important : normal).emplace_back(std::move(name), std::string(value));
    }
}

// `s` without its comments.
std::string withoutComments(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s.compare(i, 2, "/*") == 0) {
            const size_t e = s.find("*/", i + 2);
            i = e == std::string::npos ? s.size() : e + 2;
        } else {
            out += s[i++];
        }
    }
    return out;
}

}  // namespace

Declarations parseDeclarations(std::string_view s) {
    Declarations normal, important;
    splitDeclarations(s, normal, important);
    normal.insert(normal.end(), std::make_move_iterator(important.begin()), std::make_move_iterator(important.end()));
    return normal;
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

namespace {
// The kind of each property of inheritedProperties() and ownProperties(),
// found by hash: an element's every attribute and declaration is looked up.
enum PropertyKind : uint8_t { kInherited = 1, kOwn = 2 };
uint8_t propertyKind(std::string_view k) {
    // Most attributes of a written file are this system's own (data-*) or
    // geometry (d, x, cx, ...): no property is named so.
    if (k.size() < 4 || k.size() > 18 || k.starts_with("data-")) return 0;
    static const std::unordered_map<std::string_view, uint8_t> kinds = [] {
        std::unordered_map<std::string_view, uint8_t> m;
        for (const std::string& p : inheritedProperties()) m[p] |= kInherited;
        for (const std::string& p : ownProperties()) m[p] |= kOwn;
        return m;
    }();
    auto it = kinds.find(k);
    return it == kinds.end() ? 0 : it->second;
}
}  // namespace

bool isInheritedProperty(std::string_view k) { return (propertyKind(k) & kInherited) != 0; }
bool isDrawnProperty(std::string_view k) { return propertyKind(k) != 0; }
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

void StyleSheet::read(const std::string& cssText, const Note& note) {
    const std::string css = withoutComments(cssText);
    const std::string_view v = css;
    size_t i = 0;
    while (i < v.size()) {
        // A statement at-rule ends at ";", a rule's prelude only at "{".
        while (i < v.size() && isWsp(v[i])) ++i;
        const size_t open = findOutside(v, i, i < v.size() && v[i] == '@' ? "{;" : "{");
        const std::string_view prelude = trim(v.substr(i, open - i));
        if (open == v.size()) break;
        if (v[open] == ';') {
            // @import (not fetched), @namespace; @charset says nothing here.
            if (lower(prelude.substr(0, 8)) != "@charset")
                note("CSS rule " + std::string(prelude.substr(0, prelude.find_first_of(" \t\n\r\f\"'("))) +
                     " not supported");
            i = open + 1;
            continue;
        }
        const size_t close = findOutside(v, open + 1, "}", true);
        const std::string_view body = v.substr(open + 1, close - open - 1);
        i = close + 1;
        if (!prelude.empty() && prelude.front() == '@') {
            // Block at-rules (@media, @font-face, ...) are skipped whole.
            note("CSS rule " + std::string(prelude.substr(0, prelude.find_first_of(" \t\n\r\f("))) + " not supported");
            continue;
        }
        addRules(prelude, body, note);
    }
    std::stable_sort(rules_.begin(), rules_.end(), [](const Rule& a, const Rule& b) {
        return a.selector.specificity() < b.selector.specificity();
    });
    byId_.clear(), byClass_.clear(), byType_.clear(), unkeyed_.clear();
    for (uint32_t r = 0; r < rules_.size(); ++r) {
        const Selector& s = rules_[r].selector;
        switch (s.keyKind()) {
            case Selector::Key::Id: byId_[s.key()].push_back(r); break;
            case Selector::Key::Class: byClass_[s.key()].push_back(r); break;
            case Selector::Key::Type: byType_[s.key()].push_back(r); break;
            case Selector::Key::None: unkeyed_.push_back(r); break;
        }
    }
}

void StyleSheet::addRules(std::string_view prelude, std::string_view body, const Note& note) {
    Declarations normal, important;
    splitDeclarations(body, normal, important);
    size_t start = 0;
    while (start <= prelude.size()) {
        const size_t comma = findOutside(prelude, start, ",");
        const std::string_view text = trim(prelude.substr(start, comma - start));
        start = comma + 1;
        Rule r;
        std::string why;
        if (r.selector.parse(text, why)) {
            r.normal = normal;
            r.important = important;
            rules_.push_back(std::move(r));
        } else {
            note("CSS selector \"" + std::string(text) + "\" not matched: " + why);
        }
    }
}

void StyleSheet::candidates(xmlNodePtr n, std::vector<uint32_t>& out) const {
    out = unkeyed_;
    auto add = [&](const Index& index, std::string_view key) {
        auto it = index.find(key);
        if (it != index.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    };
    add(byType_, reinterpret_cast<const char*>(n->name));
    for (xmlAttrPtr a = n->properties; a; a = a->next) {
        if (a->ns) continue;
        const char* attr = reinterpret_cast<const char*>(a->name);
        const bool isId = std::strcmp(attr, "id") == 0;
        if (!isId && std::strcmp(attr, "class") != 0) continue;
        AttributeText value;
        if (!attributeText(n, attr, nullptr, value)) continue;
        const std::string_view text = value.text;
        if (isId) {
            add(byId_, text);
        } else {
            for (size_t i = 0; i < text.size();) {
                while (i < text.size() && isWsp(text[i])) ++i;
                size_t j = i;
                while (j < text.size() && !isWsp(text[j])) ++j;
                if (j > i) add(byClass_, text.substr(i, j - i));
                i = j;
            }
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

void StyleSheet::cascade(xmlNodePtr n, std::string_view style, const Take& take) const {
    Declarations normal, important;
    if (!style.empty()) splitDeclarations(style, normal, important);
    std::vector<uint32_t> matched;
    if (n && n->type == XML_ELEMENT_NODE && !rules_.empty()) {
        candidates(n, matched);
        matched.erase(std::remove_if(matched.begin(), matched.end(),
                                     [&](uint32_t r) { return !rules_[r].selector.matches(n, siblings_); }),
                      matched.end());
    }
    for (uint32_t r : matched) {
        for (const auto& [k, v] : rules_[r].normal) take(k, v);
    }
    for (const auto& [k, v] : normal) take(k, v);
    for (uint32_t r : matched) {
        for (const auto& [k, v] : rules_[r].important) take(k, v);
    }
    for (const auto& [k, v] : important) take(k, v);
}

Props declaredProperties(xmlNodePtr n, const AttrMap& at, const StyleSheet& sheet, const Note& note) {
    Props p;
    std::function<void(const std::string&, const std::string&)> take = [&](const std::string& k, const std::string& v) {
        Declarations longhands;
        if (k == "font") {
            if (!expandFontShorthand(v, longhands)) note("font \"" + v + "\" not understood (system fonts are not read)");
            for (const auto& [lk, lv] : longhands) take(lk, lv);
        } else if (isDrawnProperty(k)) {
            p[k] = v;
        } else if (!quietProperties().count(k) && !isEditorProperty(k)) {
            note("property \"" + k + "\" not supported");
        }
    };
    // Presentation attributes, in key order as the map keeps them.
    // "marker" is a shorthand of style sheets and style attributes; as an
    // attribute of its own it sets nothing (renderers draw no markers).
    for (const auto& [k, v] : at) {
        if (k != "marker" && isDrawnProperty(k)) p.appendSorted(k, v);
    }
    auto style = at.find("style");
    sheet.cascade(n, style == at.end() ? std::string_view() : std::string_view(style->second), take);
    return p;
}

Props inheritProperties(const Props& parent, const Props& own) {
    // Both maps are in key order: one merge, the element's own values
    // winning over its parent's.
    Props p;
    p.reserve(parent.size() + own.size());
    auto pi = parent.begin();
    for (const auto& [k, v] : own) {
        if (!isInheritedProperty(k)) continue;
        const std::string_view value = trim(v);
        if (value == "inherit") continue;
        for (; pi != parent.end() && pi->first < k; ++pi) p.appendSorted(pi->first, pi->second);
        if (pi != parent.end() && pi->first == k) ++pi;
        p.appendSorted(k, std::string(value));
    }
    for (; pi != parent.end(); ++pi) p.appendSorted(pi->first, pi->second);
    return p;
}

}  // namespace easel::svg
