#include "TextLayout.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include <nlohmann/json.hpp>

#include "KeptSvgArt.h"
#include "model/Art.h"

namespace easel {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The first family of a CSS list: "'Noto Sans', serif" is Noto Sans.
std::string firstFamily(const std::string& list) {
    std::string_view f = trimmed(std::string_view(list).substr(0, list.find(',')));
    if (f.size() >= 2 && (f.front() == '\'' || f.front() == '"') && f.back() == f.front()) f = f.substr(1, f.size() - 2);
    return f.empty() ? std::string(kUnnamedTextFamily) : std::string(f);
}

// A CSS length in user units: "2", "2px", "0.1em" (of the font size); 0 otherwise.
double cssLength(const std::string& v, double fontSize) {
    const std::string_view s = trimmed(v);
    double d = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
    if (ec != std::errc() || !std::isfinite(d)) return 0;
    const std::string_view unit = s.substr(static_cast<size_t>(end - s.data()));
    if (unit.empty() || unit == "px") return d;
    if (unit == "em") return d * fontSize;
    return 0;
}

size_t codePoints(std::string_view s) {
    return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The start of the UTF-8 character after byte i.
size_t nextChar(std::string_view s, size_t i) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    return i;
}

struct CairoDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

// Advances of text in one font and size, unhinted, as the SVG renderer lays
// glyphs out.
class Measure {
public:
    Measure(const TextFont& font, double size) : font_(font) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cr_.reset(cairo_create(surface));
        cairo_surface_destroy(surface);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_set_font_options(cr_.get(), options);
        cairo_font_options_destroy(options);
        cairo_select_font_face(cr_.get(), font.family.c_str(), font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                               font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr_.get(), size);
        cairo_font_extents(cr_.get(), &extents_);
    }
    double width(std::string_view text) {
        if (text.empty()) return 0;
        const std::string s(text);
        cairo_text_extents_t e;
        cairo_text_extents(cr_.get(), s.c_str(), &e);
        return e.x_advance + font_.letterSpacing * static_cast<double>(codePoints(text));
    }
    double ascent() const { return extents_.ascent; }
    double descent() const { return extents_.descent; }

private:
    const TextFont& font_;
    std::unique_ptr<cairo_t, CairoDeleter> cr_;
    cairo_font_extents_t extents_{};
};

// Breaks paragraph [begin, end) of `text` into lines no wider than `width`:
// before the word that would pass it (the spaces between are left out), or
// inside a word wider than the box.
void wrapParagraph(std::string_view text, size_t begin, size_t end, double width, Measure& m,
                   std::vector<std::pair<size_t, size_t>>& out) {
    size_t start = begin;
    while (true) {
        if (m.width(text.substr(start, end - start)) <= width) {
            out.emplace_back(start, end);
            return;
        }
        // The last break (after a word) that still fits.
        size_t fits = start, i = start;
        while (i < end) {
            size_t wordEnd = i;
            while (wordEnd < end && text[wordEnd] != ' ') ++wordEnd;
            if (wordEnd > start && m.width(text.substr(start, wordEnd - start)) > width) break;
            fits = wordEnd;
            i = wordEnd;
            while (i < end && text[i] == ' ') ++i;
        }
        size_t lineEnd = fits, next = i;
        if (fits == start) {
            // A word wider than the box: as many characters as fit, at least one.
            lineEnd = nextChar(text, start);
            while (lineEnd < end && m.width(text.substr(start, nextChar(text, lineEnd) - start)) <= width)
                lineEnd = nextChar(text, lineEnd);
            next = lineEnd;
        } else {
            next = fits;
            while (next < end && text[next] == ' ') ++next;
        }
        out.emplace_back(start, lineEnd);
        if (next >= end) return;
        start = next;
    }
}

}  // namespace

TextFont textFontFrom(const std::string& family, const std::string& weight, const std::string& style,
                      const std::string& anchor, const std::string& spacing, double fontSize) {
    TextFont f;
    if (!family.empty()) f.family = firstFamily(family);
    int w = 0;
    std::from_chars(weight.data(), weight.data() + weight.size(), w);
    f.bold = weight == "bold" || weight == "bolder" || w >= 600;
    f.italic = style == "italic" || style == "oblique";
    f.anchor = anchor == "middle" ? 1 : anchor == "end" ? 2 : 0;
    f.letterSpacing = cssLength(spacing, fontSize);
    return f;
}

TextFont textFontOf(const Art& text) {
    TextFont f;
    const auto kept = keptSvgOf(text);
    if (kept->stored.attributes) {
        auto get = [&](const char* k) {
            const std::string* v = findKeptSvgAttribute(*kept->stored.attributes, k);
            return v ? *v : std::string();
        };
        f = textFontFrom(get("font-family"), get("font-weight"), get("font-style"), get("text-anchor"),
                         get("letter-spacing"), static_cast<double>(text.object().fontSize));
    }
    if (text.extra().empty()) return f;
    // The frame as the document reader checked it; other values are left alone.
    const nlohmann::json extra = nlohmann::json::parse(text.extra(), nullptr, false);
    if (!extra.is_object()) return f;
    if (auto box = extra.find("box"); box != extra.end() && box->is_array() && box->size() == 2 &&
                                      (*box)[0].is_number() && (*box)[1].is_number()) {
        f.boxWidth = std::clamp((*box)[0].get<double>(), 0.0, 1e7);
        f.boxHeight = std::clamp((*box)[1].get<double>(), 0.0, 1e7);
    }
    if (auto spacing = extra.find("lineSpacing"); spacing != extra.end() && spacing->is_number())
        f.lineSpacing = std::clamp(spacing->get<double>(), 0.0, 10.0);
    return f;
}

bool hasTextLines(const std::string& text, const TextFont& font) {
    return font.area() || text.find('\n') != std::string::npos;
}

std::vector<TextLine> layoutText(const std::string& string, double fontSize, const TextFont& font) {
    const std::string_view text = string;
    const double size = std::fabs(fontSize);
    const double lineHeight = font.lineSpacing * size;
    std::vector<std::pair<size_t, size_t>> ranges;
    Measure m(font, size > 0 ? size : 1);
    for (size_t begin = 0;;) {
        const size_t end = std::min(text.find('\n', begin), text.size());
        if (font.area()) wrapParagraph(text, begin, end, font.boxWidth, m, ranges);
        else ranges.emplace_back(begin, end);
        if (end >= text.size()) break;
        begin = end + 1;
    }
    double x = 0, y = 0;
    if (font.area()) {
        x = font.anchor == 1 ? font.boxWidth / 2 : font.anchor == 2 ? font.boxWidth : 0.0;
        y = (lineHeight - (m.ascent() + m.descent())) / 2 + m.ascent();
    }
    std::vector<TextLine> lines;
    for (size_t i = 0; i < ranges.size(); ++i)
        lines.push_back(TextLine{ranges[i].first, ranges[i].second, x, y + static_cast<double>(i) * lineHeight});
    return lines;
}

std::string matchedFamily(const std::string& family) {
    static std::mutex lock;
    static std::map<std::string, std::string> known;
    const std::lock_guard<std::mutex> hold(lock);
    if (auto it = known.find(family); it != known.end()) return it->second;
    std::string matched = family;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* font = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(font, FC_FAMILY, 0, &name) == FcResultMatch && name) matched = reinterpret_cast<const char*>(name);
        FcPatternDestroy(font);
    }
    FcPatternDestroy(pattern);
    return known.emplace(family, matched).first->second;
}

std::vector<std::string> fontFamilies() {
    std::set<std::string> names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* fonts = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                names.insert(reinterpret_cast<const char*>(family));
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return {names.begin(), names.end()};
}

}  // namespace easel
