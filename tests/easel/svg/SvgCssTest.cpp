#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/render/Render.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "model/Document.h"

namespace easel {
namespace {

std::string page(const std::string& body, const std::string& rootExtra = "") {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100pt\" height=\"100pt\" viewBox=\"0 0 100 100\"" +
           rootExtra + ">" + body + "</svg>";
}

// "r,g,b" of the fill, 0..255.
std::string fill8(const Art* a) {
    if (!a->style().fillPaint) return "none";
    const AIColor& c = a->style().fill.color;
    auto byte = [](float v) { return std::to_string(static_cast<int>(v * 255 + 0.5f)); };
    return byte(c.c[0]) + "," + byte(c.c[1]) + "," + byte(c.c[2]);
}

struct Read {
    std::unique_ptr<Document> doc;
    SvgReport report;
    std::vector<const Art*> drawn;  // paths in document order, groups left out

    explicit Read(const std::string& svg) {
        std::string error;
        EXPECT_TRUE(readSvg(svg, doc, report, error)) << error;
        if (!doc) return;
        doc->forEachArt([&](Art* a) {
            if (a->type() != kGroupArt) drawn.push_back(a);
        });
    }
    bool reported(const std::string& words) const { return report.text().find(words) != std::string::npos; }
};

// Every drawn element says fill="black", which any rule overrides and no
// rule on an ancestor does: only the elements a selector matches turn red.
const char* const kTree =
    "<g>"
    "<g id=\"box\" class=\"box\">"
    "<rect id=\"r1\" class=\"a b\" data-k=\"x-y\" width=\"1\" height=\"1\" fill=\"black\"/>"
    "<circle id=\"c1\" class=\"b\" r=\"1\" fill=\"black\"/>"
    "<rect id=\"r2\" class=\"ab\" data-k=\"x\" width=\"1\" height=\"1\" fill=\"black\"/>"
    "<g lang=\"fr-CA\"><rect id=\"r3\" width=\"1\" height=\"1\" fill=\"black\"/></g>"
    "<rect id=\"r4\" class=\"c\" width=\"1\" height=\"1\" fill=\"black\"/>"
    "</g>"
    "<path id=\"p1\" d=\"M0 0 L1 1\" fill=\"black\"/>"
    "<path id=\"p2\" d=\"M0 0 L1 1\" fill=\"black\"><title>t</title></path>"
    "</g>";
const char* const kNames[] = {"r1", "c1", "r2", "r3", "r4", "p1", "p2"};

TEST(SvgCss, SelectorsMatchTheElementsTheyName) {
    struct Row {
        const char* sheet;  // a selector painting red, or a whole sheet
        const char* red;    // the elements painted red
    };
    const Row rows[] = {
        {"rect", "r1 r2 r3 r4"},
        {"*", "r1 c1 r2 r3 r4 p1 p2"},
        {"g rect", "r1 r2 r3 r4"},
        {".box > rect", "r1 r2 r4"},
        {"g#box>rect.a", "r1"},
        {"#r1 + circle", "c1"},
        {"#r1 ~ rect", "r2 r4"},
        {"[data-k]", "r1 r2"},
        {"[data-k=x]", "r2"},
        {"[data-k=\"x-y\"]", "r1"},
        {"[class~=b]", "r1 c1"},
        {"[data-k|=x]", "r1 r2"},
        {"[class^=a]", "r1 r2"},
        {"[data-k$='y']", "r1"},
        {"[class*=b]", "r1 c1 r2"},
        {":first-child", "r1 r3"},
        {":last-child", "r3 r4 p2"},
        {":only-child", "r3"},
        {":nth-child(even)", "c1 p1"},
        {":nth-child(2n+1 of rect)", ""},
        {":nth-last-child(-n + 3)", "r2 r3 r4 p1 p2"},
        {"rect:nth-of-type(2)", "r2"},
        {"rect:nth-last-of-type(1)", "r3 r4"},
        {":first-of-type", "r1 c1 r3 p1"},
        {":only-of-type", "c1 r3"},
        {":empty", "r1 c1 r2 r3 r4 p1"},
        {":root rect", "r1 r2 r3 r4"},
        {":not(rect)", "c1 p1 p2"},
        {":not(.b):not([data-k])", "r3 r4 p1 p2"},
        {":lang(fr)", "r3"},
        {":LANG(en)", "r1 c1 r2 r4 p1 p2"},
        {"circle, .c,path:last-child", "c1 r4 p2"},
        {"\\72 ect.\\61", "r1"},
        // Specificity decides before order; order between equals.
        {".box rect { fill: red } rect { fill: blue }", "r1 r2 r3 r4"},
        {"#r1 { fill: red } .box > .a.b:first-child { fill: blue }", "r1"},
        {":not(#r1) { fill: blue } rect { fill: red }", "r1"},
        {"rect { fill: blue } rect { fill: red }", "r1 r2 r3 r4"},
        // What is never matched leaves the rest of the list.
        {"rect:hover, circle::before, svg|path, path:has(title), #r2", "r2"},
    };
    for (const Row& row : rows) {
        const std::string sheet = std::string(row.sheet).find('{') == std::string::npos
                                      ? std::string(row.sheet) + " { fill: red }"
                                      : std::string(row.sheet);
        const Read r(page("<style>" + sheet + "</style>" + kTree, " xml:lang=\"en\""));
        ASSERT_EQ(r.drawn.size(), std::size(kNames)) << row.sheet;
        std::string red;
        for (size_t i = 0; i < r.drawn.size(); ++i) {
            if (fill8(r.drawn[i]) == "255,0,0") red += (red.empty() ? "" : " ") + std::string(kNames[i]);
        }
        EXPECT_EQ(red, row.red) << row.sheet;
    }
    // Each selector not matched is named in the report, with the reason.
    const Read r(page("<style>rect:hover, circle::before, svg|path, p:nth-child(x) { fill: red }</style>" +
                      std::string(kTree)));
    for (const char* what : {"\"rect:hover\" not matched: the state :hover", "\"circle::before\" not matched: the pseudo-element",
                             "\"svg|path\" not matched: a namespace prefix", "\"p:nth-child(x)\" not matched"})
        EXPECT_TRUE(r.reported(what)) << what << "\n" << r.report.text();
}

TEST(SvgCss, CascadeOfImportanceOriginSpecificityAndOrder) {
    const Read r(page(
        "<style>@charset \"UTF-8\"; @import url(more.css);"
        "@media print { .n { fill: black } }"
        ".i { fill: #f00 !important } .n { fill: #0f0 } #x { fill: #00f }"
        ".n2 { fill: #f00 } .n3 { fill: #0f0 } .i2 { fill: #0f0 ! IMPORTANT } #y { fill: #00f !important }"
        ".q { font-family: \"a;b\"; fill: #00f }</style>"
        "<g>"
        "<path class=\"i\" style=\"fill:#00f\" d=\"M0 0 L1 1\"/>"
        "<path class=\"i\" style=\"fill:#0f0 !important\" d=\"M0 0 L1 1\"/>"
        "<path class=\"n\" fill=\"#00f\" d=\"M0 0 L1 1\"/>"
        "<path id=\"x\" class=\"n\" d=\"M0 0 L1 1\"/>"
        "<path class=\"n\" style=\"fill: #00f; fill: #f00 !important; fill: #0f0\" d=\"M0 0 L1 1\"/>"
        "<path class=\"n3 n2\" d=\"M0 0 L1 1\"/>"
        "<path id=\"y\" class=\"i2\" d=\"M0 0 L1 1\"/>"
        "<g class=\"n\"><path d=\"M0 0 L1 1\"/><path fill=\"#f00\" d=\"M0 0 L1 1\"/></g>"
        "<path class=\"q\" d=\"M0 0 L1 1\"/>"
        "</g>"));
    const char* const want[] = {
        "255,0,0",  // the sheet's !important beats the style attribute
        "0,255,0",  // the style attribute's !important beats all
        "0,255,0",  // any rule beats a presentation attribute
        "0,0,255",  // an id beats a class
        "255,0,0",  // !important beats a later declaration in the same attribute
        "0,255,0",  // of equal specificity the later rule wins
        "0,0,255",  // among !important rules specificity decides
        "0,255,0",  // inherited from a group a rule styles
        "255,0,0",  // the element's own attribute beats what it inherits
        "0,0,255",  // a ";" in a string does not end the declaration
    };
    ASSERT_EQ(r.drawn.size(), std::size(want)) << r.report.text();
    for (size_t i = 0; i < std::size(want); ++i) EXPECT_EQ(fill8(r.drawn[i]), want[i]) << "path " << i;
    // @media rules are skipped, @import is not fetched: both reported. @charset is not.
    EXPECT_TRUE(r.reported("CSS rule @media not supported"));
    EXPECT_TRUE(r.reported("CSS rule @import not supported"));
    EXPECT_FALSE(r.reported("@charset"));
}

// A smiley as an editor writes one: a style sheet of classes and
// descendant selectors, nothing on the elements themselves.
TEST(SvgCss, StyledSmileyDrawsInItsColours) {
    const std::string smiley =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">"
        "<defs><style type=\"text/css\">\n"
        "  /* face */\n"
        "  #smiley > circle { fill: #ffd700; stroke: #b8860b; stroke-width: 2 }\n"
        "  .features circle { fill: #3b2a14 }\n"
        "  .features > path { fill: none; stroke: #3b2a14; stroke-width: 3; stroke-linecap: round }\n"
        "  .features circle + circle { fill: #1e90ff }\n"
        "</style></defs>"
        "<g id=\"smiley\"><circle cx=\"32\" cy=\"32\" r=\"28\"/>"
        "<g class=\"features\"><circle cx=\"22\" cy=\"26\" r=\"4\"/><circle cx=\"42\" cy=\"26\" r=\"4\"/>"
        "<path d=\"M20 40 Q32 52 44 40\"/></g></g></svg>";
    const Read r(smiley);
    EXPECT_EQ(r.report.text().find("CSS"), std::string::npos) << r.report.text();
    ASSERT_TRUE(r.doc);
    Image original, read;
    std::string error;
    ASSERT_TRUE(renderSvg(smiley, RenderSize{64, 0}, original, error)) << error;
    ASSERT_TRUE(renderSvgFitted(writeSvg(*r.doc), 64, 64, read, error)) << error;
    struct Spot {
        int x, y;
        uint8_t rgb[3];
    };
    const Spot spots[] = {{32, 14, {0xff, 0xd7, 0x00}},  // the face
                          {22, 26, {0x3b, 0x2a, 0x14}},  // the left eye
                          {42, 26, {0x1e, 0x90, 0xff}},  // the right eye, its sibling
                          {32, 46, {0x3b, 0x2a, 0x14}},  // the mouth's stroke
                          {32, 40, {0xff, 0xd7, 0x00}}}; // inside the mouth: no fill
    for (const Image* im : {&original, &read}) {
        for (const Spot& s : spots) {
            const uint8_t* p = &im->rgba[(static_cast<size_t>(s.y) * static_cast<size_t>(im->width) + static_cast<size_t>(s.x)) * 4];
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(p[k], s.rgb[k], 2) << (im == &original ? "librsvg" : "read") << " at " << s.x << "," << s.y;
        }
    }
}

}  // namespace
}  // namespace easel
