#include "SvgShared.h"

#include <libxml/parser.h>

#include "SvgAllow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace easel {

namespace {

// Length of the UTF-8 sequence starting at s[i], 0 when malformed.
size_t utf8Length(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    uint32_t cp = 0;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07u;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3Fu);
    }
    const uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) return 0;
    return n;
}

}  // namespace

namespace {

// The length of the start of `s` that is printable ASCII, tabs and newlines:
// text that XML takes as it is.
size_t plainPrefix(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c >= 0x80) break;
        ++i;
    }
    return i;
}

}  // namespace

std::string xmlText(std::string_view s) {
    size_t i = plainPrefix(s);
    if (i == s.size()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    out.append(s.substr(0, i));
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 && c != '\t' && c != '\n') {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        const size_t n = utf8Length(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

void appendXmlEscaped(std::string& out, std::string_view raw, bool attribute) {
    std::string cleaned;
    std::string_view s = raw;
    if (plainPrefix(raw) != raw.size()) s = cleaned = xmlText(raw);
    size_t run = 0;  // start of the characters not yet copied
    for (size_t i = 0; i < s.size(); ++i) {
        const char* entity = nullptr;
        switch (s[i]) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = attribute ? "&quot;" : nullptr; break;
            case '\t': entity = attribute ? "&#9;" : nullptr; break;
            case '\n': entity = attribute ? "&#10;" : nullptr; break;
            default: break;
        }
        if (!entity) continue;
        out.append(s.data() + run, i - run);
        out += entity;
        run = i + 1;
    }
    out.append(s.data() + run, s.size() - run);
}

std::string xmlEscape(std::string_view raw, bool attribute) {
    std::string out;
    out.reserve(raw.size());
    appendXmlEscaped(out, raw, attribute);
    return out;
}

bool isXmlName(std::string_view s) {
    if (s.empty()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!(alpha || (i > 0 && other))) return false;
    }
    return true;
}

bool invertEffectSpace(const AIRealMatrix& space, double inverse[6]) {
    const double m[6] = {space.a, space.b, space.c, space.d, space.tx, space.ty};
    const double det = m[0] * m[3] - m[1] * m[2];
    const double scale = std::max({std::abs(m[0]), std::abs(m[1]), std::abs(m[2]), std::abs(m[3])});
    if (!(std::abs(det) > 1e-12 * scale * scale)) return false;
    const double inv[6] = {m[3] / det, -m[1] / det, -m[2] / det, m[0] / det, (m[2] * m[5] - m[3] * m[4]) / det,
                           (m[1] * m[4] - m[0] * m[5]) / det};
    for (int i = 0; i < 6; ++i) {
        if (!std::isfinite(static_cast<float>(inv[i]))) return false;
        inverse[i] = inv[i];
    }
    return true;
}

bool looksSmooth(const AIPathSegment& s) {
    const bool inAt = s.in.h == s.p.h && s.in.v == s.p.v;
    const bool outAt = s.out.h == s.p.h && s.out.v == s.p.v;
    if (inAt || outAt) return false;
    auto d = [](float x) { return static_cast<double>(x); };
    const double ax = d(s.p.h) - d(s.in.h), ay = d(s.p.v) - d(s.in.v);
    const double bx = d(s.out.h) - d(s.p.h), by = d(s.out.v) - d(s.p.v);
    const double cross = ax * by - ay * bx;
    const double dot = ax * bx + ay * by;
    const double scale = std::hypot(ax, ay) * std::hypot(bx, by);
    return dot > 0 && std::abs(cross) <= kSmoothTolerance * scale;
}

bool writableSvgText(std::string_view text, const std::string& declarations) {
    const std::string wrapped = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                                "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"" +
                                declarations + ">" + std::string(text) + "</svg>";
    if (wrapped.size() > static_cast<size_t>(INT32_MAX)) return false;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) return false;
    xmlDocPtr parsed = xmlCtxtReadMemory(ctxt, wrapped.data(), static_cast<int>(wrapped.size()), "kept.svg", nullptr,
                                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    // Namespace errors too: a prefix not declared, a namespace name not a URI;
    // and nothing the rule of what kept SVG may hold refuses.
    const bool ok = parsed && ctxt->wellFormed && ctxt->nsWellFormed &&
                    refusedSvgTree(xmlDocGetRootElement(parsed)).empty();
    if (parsed) xmlFreeDoc(parsed);
    xmlFreeParserCtxt(ctxt);
    return ok;
}

}  // namespace easel
