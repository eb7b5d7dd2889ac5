// The edits of text: typing new text (at a point, or in a box it wraps to),
// replacing a text's string, and its character and paragraph settings. The
// font is kept as the SVG attributes text read from a file keeps
// (font-family, font-weight, font-style, text-anchor, letter-spacing), so
// imported and typed text are one kind of art to every writer and tool.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <sstream>

#include "Support.h"

namespace easel::edit {

namespace {

constexpr double kMinFontSize = 0.1;
constexpr double kMaxTypedFontSize = 1296;
constexpr double kMinLineSpacing = 0.5;
constexpr double kMaxLineSpacing = 10;
constexpr double kDefaultLineSpacing = 1.2;  // as the text layout takes it
constexpr double kMaxLetterSpacing = 1000;

bool isText(const Art* a) { return a->type() == kTextArt || a->type() == kTextPathArt; }

std::string stringArg(const Args& args) {
    const std::string s = args.text("text");
    if (s.empty()) refuse("\"text\" is empty: type at least one character (delete the text to remove it)");
    return s;
}

// A family name as a CSS font-family value: quoted unless it is plain words.
std::string familyValue(const std::string& name) {
    if (name.empty() || name.size() > 200) refuse("\"family\" must be a font family name of 1 to 200 characters");
    for (char c : name)
        if (static_cast<unsigned char>(c) < ' ' || c == '\'' || c == '"' || c == ';' || c == '{' || c == '}' || c == '\\')
            refuse("\"family\" may not hold quotes, control characters or any of ; { } \\, found \"" + name + "\"");
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == ' ' || c == '-'; });
    return plain ? name : "'" + name + "'";
}

// The SVG attributes the settings given in `args` set, in the order read.
std::vector<std::pair<std::string, std::string>> fontAttributes(const Args& args) {
    std::vector<std::pair<std::string, std::string>> at;
    if (args.has("family")) at.emplace_back("font-family", familyValue(args.text("family")));
    if (args.has("weight")) at.emplace_back("font-weight", args.word("weight", {"normal", "bold"}));
    if (args.has("style")) at.emplace_back("font-style", args.word("style", {"normal", "italic"}));
    if (args.has("align")) {
        const std::string a = args.word("align", {"left", "center", "right"});
        at.emplace_back("text-anchor", a == "left" ? "start" : a == "center" ? "middle" : "end");
    }
    if (args.has("letterSpacing")) {
        std::ostringstream s;
        s << args.number("letterSpacing", -kMaxLetterSpacing, kMaxLetterSpacing);
        at.emplace_back("letter-spacing", s.str());
    }
    return at;
}

// What an edit sets of a text besides its string and size: SVG attributes
// of its kept "svg" member, area text's "box" and the "lineSpacing" (members
// of the art's extra, as the document file has them).
struct TextMembers {
    std::vector<std::pair<std::string, std::string>> svg;
    std::optional<json> box;
    std::optional<double> lineSpacing;
};

TextMembers membersArgs(const Args& args) {
    TextMembers m;
    m.svg = fontAttributes(args);
    if (args.has("lineSpacing")) m.lineSpacing = args.number("lineSpacing", kMinLineSpacing, kMaxLineSpacing);
    return m;
}

// Sets the members, keeping the extra's others.
void setTextMembers(Document& doc, Art* a, const TextMembers& m) {
    if (m.svg.empty() && !m.box && !m.lineSpacing) return;
    json extra = a->extra().empty() ? json::object() : json::parse(a->extra(), nullptr, false);
    if (!extra.is_object()) extra = json::object();
    if (!m.svg.empty()) {
        json& svg = extra["svg"];
        if (!svg.is_object()) svg = json::object();
        for (const auto& [k, v] : m.svg) svg[k] = v;
    }
    if (m.box) extra["box"] = *m.box;
    if (m.lineSpacing && *m.lineSpacing == kDefaultLineSpacing) extra.erase("lineSpacing");
    else if (m.lineSpacing) extra["lineSpacing"] = *m.lineSpacing;
    check(doc.setExtra(a, extra.dump(-1, ' ', false, json::error_handler_t::replace)), "text");
}

void setFontSize(Document& doc, Art* a, const Args& args) {
    if (!args.has("fontSize")) return;
    ObjectData o = a->object();
    o.fontSize = static_cast<float>(args.number("fontSize", kMinFontSize, kMaxTypedFontSize));
    check(doc.setObjectData(a, o), "text");
}

// The text art an edit of one text acts on: "id", else the one selected text.
Art* oneText(Ctx& c) {
    Art* a = nullptr;
    if (c.args.has("id")) {
        const int64_t id = Args::idOf(c.args.raw("id"), "\"id\"");
        a = c.doc.findById(id);
        if (!a || !a->attached()) refuse("no art with id " + std::to_string(id));
        requireEditable(a->layer());
        for (const Art* p = a; p; p = p->parent())
            if (p->locked() || p->hidden()) refuse("art " + std::to_string(id) + " is locked or hidden");
    } else {
        const std::vector<Art*> sel = targets(c.doc);
        if (sel.size() != 1) refuse("select one text object (" + std::to_string(sel.size()) + " objects are selected)");
        a = sel[0];
    }
    if (!isText(a)) refuse("art " + std::to_string(a->id()) + " is not text");
    return a;
}

void collectText(Art* a, std::vector<Art*>& out) {
    if (isText(a)) out.push_back(a);
    for (Art* k = a->firstChild(); k; k = k->next()) collectText(k, out);
}

}  // namespace

void opText(Ctx& c) {
    ObjectData o;
    o.isText = true;
    o.text = stringArg(c.args);
    o.fontSize = static_cast<float>(c.args.number("fontSize", kMinFontSize, kMaxTypedFontSize, 12));
    TextMembers members = membersArgs(c.args);
    // Named always: an SVG renderer's own default family is not the page's.
    if (!c.args.has("family")) members.svg.insert(members.svg.begin(), {"font-family", "sans-serif"});
    AIRealMatrix m = kIdentityMatrix;
    if (c.args.has("at")) {
        if (c.args.has("from") || c.args.has("to")) refuse("give \"at\" (point text) or \"from\" and \"to\" (area text), not both");
        const AIRealPoint at = c.args.point("at");
        m.tx = at.h;
        m.ty = at.v;
    } else {
        const AIRealPoint a = c.args.point("from"), b = c.args.point("to");
        const float width = std::fabs(a.h - b.h), height = std::fabs(a.v - b.v);
        if (width < 1 || height < 1) refuse("the text box must be at least 1 point wide and high");
        members.box = json::array({width, height});
        m.tx = std::min(a.h, b.h);
        m.ty = std::max(a.v, b.v);
    }
    Layer* layer = c.doc.currentLayer();
    requireEditable(layer);
    AIPathStyle style = defaultPathStyle();
    style.fillPaint = true;
    style.fill.color = grayColor(1);  // black: gray is the amount of ink
    style.strokePaint = false;
    if (c.args.has("fill")) {
        style.fill.color = colorArg(c.doc, c.args.raw("fill"), "\"fill\"");
        style.fillPaint = style.fill.color.kind != kNoneColor;
    }
    c.doc.deselectAll();
    Art* a = nullptr;
    check(c.doc.newArt(kTextArt, kPlaceInsideOnTop, nullptr, &a), "text");
    check(c.doc.setObjectData(a, o), "text");
    check(c.doc.setObjectMatrix(a, m), "text");
    check(c.doc.setStyle(a, style), "text");
    setTextMembers(c.doc, a, members);
    check(c.doc.setSelected(a, true), "text");
    requireInRange(c.doc, {a});
    c.out.made.push_back(a->id());
}

void opEditText(Ctx& c) {
    const std::string s = stringArg(c.args);
    Art* a = oneText(c);
    ObjectData o = a->object();
    o.text = s;
    check(c.doc.setObjectData(a, o), "editText");
}

void opTextStyle(Ctx& c) {
    static const std::vector<std::pair<const char*, const char*>> names = {
        {"family", "Font"},         {"fontSize", "Font Size"},           {"weight", "Font Weight"},
        {"style", "Font Style"},    {"align", "Alignment"},              {"letterSpacing", "Letter Spacing"},
        {"lineSpacing", "Line Spacing"}};
    std::vector<const char*> given;
    for (const auto& [key, name] : names)
        if (c.args.has(key)) given.push_back(name);
    if (given.empty()) refuse("give at least one setting: family, fontSize, weight, style, align, letterSpacing, lineSpacing");
    c.undoName = given.size() == 1 ? given[0] : "Text Style";
    const TextMembers members = membersArgs(c.args);
    std::vector<Art*> text;
    if (c.args.has("id")) text.push_back(oneText(c));
    else
        for (Art* a : targets(c.doc)) collectText(a, text);
    if (text.empty()) refuse("no text is selected");
    for (Art* a : text) {
        setFontSize(c.doc, a, c.args);
        setTextMembers(c.doc, a, members);
    }
    requireInRange(c.doc, text);
}

}  // namespace easel::edit
