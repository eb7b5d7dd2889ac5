// What other editors export: each file draws under easel's renderer as
// librsvg draws it, its SVG written back draws the same, and the written
// file settles (read and written again, it is the same text).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "io/render/Render.h"
#include "tests/support/PictureDifference.h"
#include "io/svg/SvgConditions.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

// Text is drawn here: fontconfig's caches live as long as the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace easel {
namespace {

constexpr int kWidth = 96;


std::unique_ptr<Document> read(const std::string& svg, SvgReport& report) {
    std::unique_ptr<Document> doc;
    std::string error;
    EXPECT_TRUE(readSvg(svg, doc, report, error)) << error;
    return doc;
}

const char* const kOpen = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" ";

TEST(SvgEditorExport, DrawsAsTheFileDrawsWritesItBackAndSettles) {
    struct Case {
        const char* what;
        std::string svg;
        std::vector<std::string> written = {};     // in the SVG written back
        std::vector<std::string> notWritten = {};
        std::string reported = {};                // a line of the import report
    } cases[] = {
        {"a switch whose first child holds private data: the drawing is its fallback",
         std::string(kOpen) + "width=\"100\" height=\"60\"><switch>"
         "<foreignObject requiredExtensions=\"http://ns.adobe.com/AdobeIllustrator/10.0/\" width=\"1\" height=\"1\">"
         "<p xmlns=\"urn:private\">data</p></foreignObject>"
         "<g><rect x=\"10\" y=\"10\" width=\"80\" height=\"40\" fill=\"#2060c0\"/></g>"
         "<rect width=\"100\" height=\"60\" fill=\"red\"/></switch></svg>",
         {"<switch", "requiredExtensions=\"http://ns.adobe.com/AdobeIllustrator/10.0/\""}},
        {"a switch choosing by features (an unknown one fails); outside a switch they are not looked at",
         std::string(kOpen) + "width=\"100\" height=\"60\"><switch>"
         "<rect width=\"100\" height=\"60\" fill=\"red\" requiredFeatures=\"http://example.com/none\"/>"
         "<rect width=\"60\" height=\"60\" fill=\"green\" "
         "requiredFeatures=\"http://www.w3.org/TR/SVG11/feature#Shape\"/></switch>"
         "<circle cx=\"80\" cy=\"30\" r=\"15\" fill=\"navy\" requiredFeatures=\"http://example.com/none\"/></svg>",
         {"<switch", "<path"}},
        {"opacity, a filter in the style and direction on the root",
         std::string(kOpen) + "width=\"100\" height=\"60\" opacity=\"0.5\" direction=\"rtl\" "
         "style=\"filter:url(#grey)\"><filter id=\"grey\"><feColorMatrix type=\"saturate\" values=\"0\"/></filter>"
         "<rect x=\"20\" y=\"10\" width=\"60\" height=\"40\" fill=\"red\"/>"
         "<text x=\"90\" y=\"55\" font-size=\"12\">abc</text></svg>",
         {"opacity=\"0.5\"", "filter=\"url(#grey)\"", "direction=\"rtl\""}},
        {"a flag's bars stroked under a non-uniform scale",
         std::string(kOpen) + "width=\"120\" height=\"60\"><g transform=\"scale(4 1)\">"
         "<path d=\"M0 10 H30 M0 50 H30\" stroke=\"#c00000\" stroke-width=\"12\"/>"
         "<path d=\"M15 0 V60\" stroke=\"#0000c0\" stroke-width=\"2\" stroke-dasharray=\"6 2\"/></g></svg>",
         {"transform=\"matrix(3 0 0 -0.75 0 45)\"", "stroke-dasharray=\"6 2\""}},
        {"the font shorthand in style and in a style sheet; as an attribute it is no property",
         std::string(kOpen) + "width=\"120\" height=\"80\"><style>.big { font: italic small-caps 20px serif }</style>"
         "<text x=\"4\" y=\"24\" style=\"font: bold 22px/1.5 sans-serif\">Bold</text>"
         "<text x=\"4\" y=\"48\" class=\"big\">Italic</text>"
         "<text x=\"4\" y=\"74\" font=\"small-caps 900 18px 'DejaVu Serif', serif\">Caps</text></svg>",
         {"font-weight=\"bold\"", "font-style=\"italic\"", "font-variant=\"small-caps\""}, {"font-weight=\"900\""}},
        {"markers on a circle, a rectangle and an ellipse are not drawn",
         std::string(kOpen) + "width=\"100\" height=\"60\"><marker id=\"dot\" markerWidth=\"20\" markerHeight=\"20\" "
         "refX=\"10\" refY=\"10\" markerUnits=\"userSpaceOnUse\"><circle cx=\"10\" cy=\"10\" r=\"10\" fill=\"red\"/>"
         "</marker><g marker-start=\"url(#dot)\"><circle cx=\"20\" cy=\"30\" r=\"10\" fill=\"green\"/>"
         "<rect x=\"40\" y=\"20\" width=\"20\" height=\"20\" marker-end=\"url(#dot)\"/>"
         "<ellipse cx=\"80\" cy=\"30\" rx=\"10\" ry=\"5\" marker-mid=\"url(#dot)\"/></g>"
         "<path d=\"M10 55 H90\" stroke=\"black\" marker-end=\"url(#dot)\"/></svg>",
         {}, {}, "markers on <circle> dropped"},
        {"a filter region in user space, in a viewport the written page does not have",
         std::string(kOpen) + "width=\"100\" height=\"50\" viewBox=\"0 0 200 100\">"
         "<filter id=\"half\" filterUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" width=\"50%\">"
         "<feFlood flood-color=\"teal\"/></filter>"
         "<rect x=\"20\" y=\"20\" width=\"40\" height=\"40\" filter=\"url(#half)\"/></svg>",
         {"width=\"100\" height=\"120\""}},
        {"right-to-left text in spans at a percentage of the viewport",
         std::string(kOpen) + "width=\"120\" height=\"60\" viewBox=\"0 0 240 120\">"
         "<text x=\"50%\" y=\"40\" font-size=\"30\" direction=\"rtl\">ab<tspan fill=\"red\">cd</tspan>"
         "<tspan x=\"90%\" dy=\"40\">ef</tspan></text></svg>",
         {"x=\"120\"", "x=\"216\"", "direction=\"rtl\""}},
        {"gradients in user space on text, in a bounding box on text (one colour)",
         std::string(kOpen) + "width=\"120\" height=\"80\"><linearGradient id=\"across\" "
         "gradientUnits=\"userSpaceOnUse\" x1=\"0\" x2=\"120\"><stop stop-color=\"red\"/>"
         "<stop offset=\"1\" stop-color=\"blue\"/></linearGradient>"
         "<linearGradient id=\"box\"><stop stop-color=\"#00a000\"/><stop offset=\"1\" stop-color=\"#00a000\"/>"
         "</linearGradient>"
         "<text x=\"2\" y=\"34\" font-size=\"36\" font-weight=\"bold\" fill=\"url(#across)\">WWW</text>"
         "<text x=\"2\" y=\"74\" font-size=\"36\" fill=\"url(#box)\" stroke=\"url(#across)\">MM</text></svg>",
         {"-text-"}, {}, "gradients in the bounding box of text drawn as the average colour"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SvgReport report;
        const auto doc = read(c.svg, report);
        ASSERT_TRUE(doc);
        if (!c.reported.empty()) {
            EXPECT_NE(report.text().find(c.reported), std::string::npos) << report.text();
        }
        std::string error;
        Image file, rendered, written;
        ASSERT_TRUE(renderSvg(c.svg, RenderSize{kWidth, 0}, file, error)) << error;
        ASSERT_TRUE(renderDocument(*doc, RenderSize{kWidth, 0}, rendered, error)) << error;
        EXPECT_LT(test::pictureDifference(file, rendered), 0.01);
        const std::string svg1 = writeSvg(*doc);
        ASSERT_TRUE(renderSvg(svg1, RenderSize{kWidth, 0}, written, error)) << error;
        EXPECT_LT(test::pictureDifference(file, written), 0.01);
        for (const std::string& w : c.written) EXPECT_NE(svg1.find(w), std::string::npos) << w << "\n" << svg1;
        for (const std::string& w : c.notWritten) EXPECT_EQ(svg1.find(w), std::string::npos) << w << "\n" << svg1;
        SvgReport again;
        const auto back = read(svg1, again);
        ASSERT_TRUE(back);
        EXPECT_EQ(writeSvg(*back), svg1);
    }
}

TEST(SvgEditorExport, ConditionsHoldAsRenderersDecide) {
    const struct {
        const char* attribute;
        const char* value;
        bool holds;
    } cases[] = {
        {"requiredExtensions", "http://ns.adobe.com/AdobeIllustrator/10.0/", false},
        {"requiredExtensions", "", false},
        {"requiredFeatures", "http://www.w3.org/TR/SVG11/feature#Gradient org.w3c.svg.static", true},
        {"requiredFeatures", "http://www.w3.org/TR/SVG11/feature#Gradient http://www.w3.org/TR/SVG11/feature#Font",
         false},
        {"requiredFeatures", "", true},
        {"systemLanguage", "fr, EN-us", true},
        {"systemLanguage", "en", true},
        {"systemLanguage", "eng, fr", false},
        {"systemLanguage", "", false},
        {"id", "x", true},
    };
    for (const auto& [attribute, value, holds] : cases) {
        EXPECT_EQ(svg::conditionsHold({{attribute, value}}), holds) << attribute << "=\"" << value << "\"";
    }
}

}  // namespace
}  // namespace easel
