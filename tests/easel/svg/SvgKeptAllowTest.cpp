// Kept SVG material a document holds is written only as the rule of what
// kept SVG may hold allows (SvgAllow.h): hostile documents convert to SVG
// without scripts, handlers or script links, and still draw.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "io/svg/KeptSvgArt.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

namespace easel {
namespace {

std::string document(const std::string& docMembers, const std::string& layerMembers, const std::string& art) {
    return R"j({"format": "easel-document", "version": 1, "page": {"width": 40, "height": 40})j" + docMembers +
           R"j(, "layers": [{"name": "Ink")j" + layerMembers + R"j(, "art": [)j" + art + "]}]}";
}

std::string square(const std::string& members) {
    return R"j({"type": "path", "closed": true, "segments": [[2, 2, 2, 2, 2, 2, 1], [30, 2, 30, 2, 30, 2, 1],
               [30, 30, 30, 30, 30, 30, 1]], "fill": {"paint": true, "color": {"kind": "rgb", "values": [1, 0, 0]}})j" +
           members + "}";
}

struct Hostile {
    const char* what;
    std::string json;
    std::vector<std::string> kept;  // what the rule lets through, written
};

// Every payload names alert(: none of it may reach the file.
const std::vector<Hostile>& hostileDocuments() {
    static const std::vector<Hostile> cases = {
        {"document attributes and elements",
         document(R"j(, "svg": {"attributes": {"inkscape:version": "1.3", "onload": "alert(1)"},
                     "elements": "<metadata>m</metadata><script>alert(1)</script>"})j", "", square("")),
         {"inkscape:version=\"1.3\""}},
        {"layer attributes", document("", R"j(, "svg": {"attributes": {"class": "ink", "ONmouseover": "alert(1)",
                                              "data-x": " Java\tScript:alert(1)"}})j", square("")),
         {"class=\"ink\""}},
        {"art attributes", document("", "", square(R"j(, "svg": {"id": "p1", "onclick": "alert(1)",
                                                   "style": "fill:url(javascript:alert(1))", "foo:onx": "alert(1)"})j")),
         {"id=\"p1\""}},
        {"kept elements", document("", "", square(R"j(, "svgKept": {"before": "<script>alert(1)</script>",
            "after": "<title>kept</title>",
            "inside": "<foreignObject><iframe xmlns=\"http://www.w3.org/1999/xhtml\" src=\"x\">alert(1)</iframe></foreignObject>"})j")),
         {"<title>kept</title>"}},
        {"animations of handlers and script links",
         document("", "", square(R"j(, "svgKept": {"before": "<set attributeName=\"onmouseover\" to=\"alert(1)\"/>",
                                  "after": "<animate attributeName=\"href\" values=\"vbscript:alert(1)\"/><desc>d</desc>"})j")),
         {}},
        {"kept definitions", document("", "", square(R"j(, "effectSpace": [1, 0, 0, 1, 0, 0],
            "svgEffects": {"attributes": {"clip-path": "url(#c)"},
                           "definitions": "<clipPath id=\"c\"><rect width=\"20\" height=\"20\" onclick=\"alert(1)\"/></clipPath>"},
            "svgPaint": {"fill": {"color": "on rgb 1 0 0", "pattern": "p", "tile": {"width": "4", "height": "4"},
                                  "transform": [1, 0, 0, 1, 0, 0],
                                  "definitions": "<pattern id=\"p\"><style>rect{fill:url(javascript:alert(1))}</style></pattern>"}})j")),
         {"clip-path=\"url(#c)\""}},
        {"link groups", document("", "", R"j({"type": "group", "svgElement": "a",
            "svg": {"href": " JAVA\tscript:alert(1)", "target": "_blank"}, "children": [)j" + square("") + "]}"),
         {"<a ", "target=\"_blank\""}},
        // Hidden: drawing text would start fontconfig, whose caches the leak check reports.
        {"text markup", document("", "", R"j({"type": "text", "hidden": true, "text": "Hi", "fontSize": 9, "matrix": [1, 0, 0, 1, 5, 5],
            "svgText": {"text": "Hi", "markup": "<tspan onclick=\"alert(1)\">Hi</tspan>", "attributes": {"x": "0"},
                        "origin": [0, 0]}})j"),
         {">Hi</text>"}},
        {"symbols and images", document("", "", R"j({"type": "symbol", "symbol": "s", "width": 9, "height": 9,
            "matrix": [1, 0, 0, 1, 5, 5], "svgSymbol": "<symbol id=\"s\"><script>alert(1)</script></symbol>"},
            {"type": "image", "href": "javascript:alert(1)", "width": 9, "height": 9, "matrix": [1, 0, 0, 1, 5, 5]})j"),
         {"<symbol id=\"s\"/>"}},
    };
    return cases;
}

TEST(SvgKeptAllow, HostileDocumentsConvertWithoutScriptsAndDraw) {
    for (const Hostile& h : hostileDocuments()) {
        SCOPED_TRACE(h.what);
        std::unique_ptr<Document> doc;
        std::string error;
        ASSERT_TRUE(readDocumentJson(h.json, doc, error)) << error;
        const std::string svg = writeSvg(*doc);
        EXPECT_EQ(svg.find("alert("), std::string::npos) << svg;
        for (const std::string& k : h.kept) EXPECT_NE(svg.find(k), std::string::npos) << k << "\n" << svg;
        Image picture;
        EXPECT_TRUE(renderDocument(*doc, RenderSize{32, 0}, picture, error)) << error;
        // What was written reads back and writes again as it was.
        std::unique_ptr<Document> back;
        SvgReport report;
        ASSERT_TRUE(readSvg(svg, back, report, error)) << error;
        EXPECT_EQ(writeSvg(*back), svg);
    }
}

// Kept members of the wrong type that did not come through the document
// reader (set on the art, or an SVG file's data-easel-extra) are left out.
TEST(SvgKeptAllow, MistypedKeptMembersOutsideTheReaderAreLeftOut) {
    const std::string extra = R"j({"svgText": {"text": 5, "markup": ["x"]}, "svgPaint": {"fill": {"color": 5}},
        "svgKept": {"before": 1}, "svg": {"id": 2}, "svgEffects": [], "note": "mine"})j";
    std::unique_ptr<Document> doc;
    std::string error;
    ASSERT_TRUE(readDocumentJson(document("", "", square(R"j(, "effectSpace": [1, 0, 0, 1, 0, 0])j")), doc, error));
    Art* art = doc->bottomLayer()->firstArt();
    doc->setExtra(art, extra);
    const std::string svg = writeSvg(*doc);
    EXPECT_NE(svg.find("data-easel-extra=\"{&quot;note&quot;:&quot;mine&quot;}\""), std::string::npos) << svg;
    Image picture;
    EXPECT_TRUE(renderDocument(*doc, RenderSize{32, 0}, picture, error)) << error;

    // The same members in a file's data-easel-extra.
    std::string escaped;
    for (char c : extra) escaped += c == '"' ? std::string("&quot;") : std::string(1, c);
    const std::string file = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\"><path d=\"M0 0 H9 V9 Z\" "
                             "data-easel-extra=\"" + escaped + "\"/></svg>";
    std::unique_ptr<Document> read;
    SvgReport report;
    ASSERT_TRUE(readSvg(file, read, report, error)) << error;
    EXPECT_NE(report.text().find("kept SVG members of the wrong type or holding scripts not read"), std::string::npos) << report.text();
    EXPECT_EQ(read->bottomLayer()->firstArt()->extra(), R"j({"note":"mine"})j");
    EXPECT_TRUE(renderDocument(*read, RenderSize{32, 0}, picture, error)) << error;
}

// The typed kept SVG follows the art's extra: read once while the extra
// stays, read anew for every new one (never one read for an earlier extra),
// and what the rule refuses is left out of what is written, not of what the
// art keeps.
TEST(SvgKeptAllow, TypedKeptSvgFollowsTheExtra) {
    std::unique_ptr<Document> doc;
    std::string error;
    ASSERT_TRUE(readDocumentJson(document("", "", square(R"j(, "svg": {"id": "a", "onclick": "alert(1)"})j")), doc, error))
        << error;
    Art* art = doc->bottomLayer()->firstArt();
    const auto first = keptSvgOf(*art);
    EXPECT_EQ(first, keptSvgOf(*art));
    ASSERT_TRUE(first->stored.attributes && first->written.attributes);
    EXPECT_EQ(*first->stored.attributes, (KeptSvgAttributes{{"id", "a"}, {"onclick", "alert(1)"}}));
    EXPECT_EQ(*first->written.attributes, (KeptSvgAttributes{{"id", "a"}}));
    EXPECT_EQ(first->writtenExtra, std::optional<std::string>(R"j({"svg":{"id":"a"}})j"));
    for (int i = 0; i < 3000; ++i) {
        const std::string id = "n" + std::to_string(i);
        ASSERT_EQ(doc->setExtra(art, R"j({"svg":{"id":")j" + id + R"j("}})j"), kNoErr);
        const auto kept = keptSvgOf(*art);
        ASSERT_TRUE(kept->written.attributes);
        ASSERT_EQ(*kept->written.attributes, (KeptSvgAttributes{{"id", id}})) << i;
        ASSERT_FALSE(kept->writtenExtra);
    }
}

// A gradient past the limit of its stops is neither kept from a file nor
// written from a document's kept members, wherever it hides (here in a
// pattern's tile, which only the renderer draws).
TEST(SvgKeptAllow, KeptGradientsStayWithinTheLimitOfStops) {
    std::string stops;
    for (int i = 0; i <= 1000; ++i) stops += "<stop offset=\"1\"/>";
    const std::string defs = "<linearGradient id=\"g\">" + stops + "</linearGradient><pattern id=\"p\" width=\"4\" "
                             "height=\"4\"><rect width=\"4\" height=\"4\" fill=\"url(#g)\"/></pattern>";
    std::unique_ptr<Document> read;
    SvgReport report;
    std::string error;
    ASSERT_TRUE(readSvg("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\"><defs>" + defs +
                            "</defs><rect width=\"40\" height=\"40\" fill=\"url(#p)\"/></svg>",
                        read, report, error))
        << error;
    EXPECT_NE(report.text().find("more than 1000 stops (the limit of a gradient)"), std::string::npos) << report.text();
    EXPECT_EQ(writeSvg(*read).find("<stop"), std::string::npos);

    std::unique_ptr<Document> doc;
    const std::string paint = R"j(, "effectSpace": [1, 0, 0, 1, 0, 0], "svgPaint": {"fill": {"color": "on rgb 1 0 0", "pattern": "p", "tile": {"width": "4",
        "height": "4"}, "transform": [1, 0, 0, 1, 0, 0], "definitions": )j" + nlohmann::json(defs).dump() + "}}";
    ASSERT_TRUE(readDocumentJson(document("", "", square(paint)), doc, error)) << error;
    EXPECT_EQ(writeSvg(*doc).find("<stop"), std::string::npos);
}

}  // namespace
}  // namespace easel
