// Text: its characters and spans on one line, set on a path or at a point;
// its font kept to be written back, its spans kept while the string stays.
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "SvgColor.h"
#include "SvgImporter.h"
#include "SvgShared.h"

namespace easel::svg {

using Json = nlohmann::ordered_json;

namespace {

// Whitespace as SVG sets it without xml:space="preserve": line breaks
// dropped, tabs as spaces, runs of spaces as one, none at either end.
std::string collapseSpaces(const std::string& content) {
    std::string collapsed;
    for (char ch : content) {
        if (ch == '\n' || ch == '\r') continue;
        if (ch == '\t') ch = ' ';
        if (ch == ' ' && (collapsed.empty() || collapsed.back() == ' ')) continue;
        collapsed += ch;
    }
    while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
    return collapsed;
}

// Whether two strings hold the same characters but for spaces and line
// breaks: a text and its lines as this system writes them.
bool sameLetters(std::string a, std::string b) {
    auto drop = [](std::string& s) {
        s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\n'; }), s.end());
    };
    drop(a);
    drop(b);
    return a == b;
}

}  // namespace

void Importer::collectTextChild(xmlNodePtr c, int depth, TextContent& tc) {
    const std::string tag = name(c);
    if (tag == "tspan" || tag == "a") {
        const AttrMap ta = attributes(c);
        if (ta.count("x") || ta.count("y") || ta.count("dx") || ta.count("dy"))
            tc.merged.push_back("text spans placed on their own merged into one line");
        else if (!declaredProperties(c, ta, sheet_, [](const std::string&) {}).empty())
            tc.merged.push_back("text spans styled on their own drawn in the text's style");
        collectText(c, depth + 1, tc);
    } else if (tag == "textPath" && !tc.pathRef) {
        AttrMap pathAttrs = attributes(c);
        std::string href = pathAttrs.count("href") ? pathAttrs["href"] : pathAttrs["xlink:href"];
        auto it = href.size() > 1 && href[0] == '#' ? ids_.find(href.substr(1)) : ids_.end();
        if (it != ids_.end() && name(it->second) == "path") tc.pathRef = it->second, written_.insert(tc.pathRef);
        else note("text path reference not found; text set on a line");
        collectText(c, depth + 1, tc);
    } else {
        tc.merged.push_back("skipped <" + tag + "> inside text");
    }
}

void Importer::collectText(xmlNodePtr e, int depth, TextContent& tc) {
    for (xmlNodePtr c = e->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE || c->type == XML_ENTITY_REF_NODE) {
            xmlNodePtr saved = c->next;
            c->next = nullptr;
            tc.chars += nodeText(c);
            c->next = saved;
        } else if (c->type == XML_ELEMENT_NODE && isSvg(c) && depth < 8) {
            collectTextChild(c, depth, tc);
        }
    }
}

std::string Importer::textChars(const Elem& e, TextContent& tc) {
    collectText(e.n, 0, tc);
    const std::string* space = e.attr("xml:space");
    std::string content = !space || *space != "preserve" ? collapseSpaces(tc.chars) : tc.chars;
    // The exact string this system wrote, when it reads as the content; or
    // as the content of its lines, one span a line, which break at '\n' and
    // between words.
    if (const std::string* exact = e.attr("data-easel-text")) {
        Json j = parseAttributeJson(*exact);
        if (j.is_string() && (xmlText(j.get<std::string>()) == content || sameLetters(xmlText(j.get<std::string>()), tc.chars)))
            content = j.get<std::string>();
    }
    return content;
}

Art* Importer::textOnPath(const Elem& e, xmlNodePtr pathRef, ObjectData& o) {
    PathBuilder pb;
    std::string problem;
    const std::string* ed = e.attr("data-easel-d");
    Mat m = e.ctm;
    if (ed) {
        // The exact path this system wrote, in model coordinates.
        parsePathData(*ed, pb, problem, lim_.maxPathPoints);
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
    const std::string* corners = e.attr("data-easel-corners");
    const std::string* ends = e.attr("data-easel-ends");
    if (!pb.subs.empty() &&
        !toSegments(pb.subs[0], m, segs, corners ? *corners : std::string(), ends ? *ends : std::string())) {
        note("skipped <text> with coordinates out of range");
        return nullptr;
    }
    Art* a = newArt(kTextPathArt, e.ctx);
    const std::string* closed = e.attr("data-easel-closed");
    setSegments(a, segs, pb.subs.empty() ? closed && *closed == "true" : pb.subs[0].closed, e.at);
    // Drawn on the page through no matrix: the font is sized by the space's scale.
    const double det = std::abs(e.ctm.a * e.ctm.d - e.ctm.b * e.ctm.c);
    if (!ed && det != 1) o.fontSize = static_cast<float>(static_cast<double>(o.fontSize) * std::sqrt(det));
    return a;
}

Art* Importer::textAtPoint(const Elem& e, TextContent& tc, double& x0, double& y0) {
    Length l;
    auto coord = [&](const char* k, double pct) {
        const std::string* v = e.attr(k);
        if (!v) return 0.0;
        std::string_view first = trim(*v);
        first = first.substr(0, std::min(first.find(' '), first.find(',')));
        if (first.size() != trim(*v).size()) tc.merged.push_back("text with a position per character set from the first");
        return parseLength(first, l) ? userLength(l, pct, fontSize(e.props)) : 0.0;
    };
    x0 = coord("x", e.ctx.vpw), y0 = coord("y", e.ctx.vph);
    auto m = objectMatrix(e.ctm, x0, y0);
    if (!m) {
        note("skipped <text> with coordinates out of range");
        return nullptr;
    }
    Art* a = newArt(kTextArt, e.ctx);
    doc_->setObjectMatrix(a, toReal(*m));
    return a;
}

void Importer::text(const Elem& e) {
    TextContent tc;
    ObjectData o;
    o.isText = true;
    o.text = textChars(e, tc);
    o.fontSize = static_cast<float>(fontSize(e.props));
    float fa = 1, sa = 1;
    // Text is drawn through its matrix, stroke included; gradients in user
    // space are placed on the page from the text's user space.
    place_ = PaintPlace{e.ctm, false, {}, e.ctx.vpw, e.ctx.vph, true};
    const AIPathStyle style = styleFor(e.props, e.at, Mat{}, e.ctx, fa, sa);
    place_.reset();
    double x0 = 0, y0 = 0;
    Art* a = tc.pathRef ? textOnPath(e, tc.pathRef, o) : textAtPoint(e, tc, x0, y0);
    if (!a) return;
    if (!std::isfinite(o.fontSize)) o.fontSize = 12;
    if (std::fabs(o.fontSize) > kMaxFontSize) {
        note("text with a font size past " + std::to_string(static_cast<int>(kMaxFontSize)) +
             " points (the limit) set at the limit");
        o.fontSize = std::copysign(kMaxFontSize, o.fontSize);
    }
    doc_->setObjectData(a, o);
    doc_->setStyle(a, style);
    // Font choice and alignment are kept to be written back.
    if (!e.at.count("data-easel-extra") && !e.at.count("data-easel-id")) {
        Json svg = Json::object();
        for (const char* k : {"font-family", "font-weight", "font-style", "font-variant", "font-stretch",
                              "text-anchor", "letter-spacing", "direction"}) {
            auto it = e.props.find(k);
            if (it != e.props.end()) svg[k] = it->second;
        }
        if (!svg.empty()) doc_->setExtra(a, Json{{"svg", svg}}.dump());
    }
    // Spans are written back as they were while the string stays the same.
    // Text this system set line by line keeps no spans: they are written anew from the layout.
    const bool lines = !tc.pathRef && e.attr("data-easel-lines") && sameLetters(xmlText(o.text), tc.chars);
    if (!lines && (tc.pathRef || !keepSpans(a, e.n, e.at, o.text, x0, y0, e.ctx))) {
        for (const std::string& m : tc.merged) note(m);
    }
    finish(a, e.at, e.own, e.props, style.fillPaint ? fa : 1, &e.ctm);
}

}  // namespace easel::svg
