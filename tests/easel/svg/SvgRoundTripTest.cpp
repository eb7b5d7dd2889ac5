#include <gtest/gtest.h>

#include <string>

#include "DocumentJson.h"
#include "SvgExport.h"
#include "SvgImport.h"

namespace easel {
namespace {

// A document that uses every field of the file format.
const char* const kEverything = R"({
 "format": "easel-document", "version": 1, "seed": 7,
 "page": {"width": 300.5, "height": 200.25},
 "swatches": [{"name": "[None]", "color": {"kind": "none"}},
              {"name": "Ink", "color": {"kind": "cmyk", "values": [0.1, 0.2, 0.3, 0.4]}},
              {"name": "Red", "color": {"kind": "rgb", "values": [1, 0, 0]}}],
 "layers": [
  {"name": "Back & <front>", "visible": true, "locked": false, "art": [
   {"id": 11, "type": "path", "selected": true, "closed": true,
    "segments": [[10, 20, 10, 20, 10, 20, 1], [50.1, 20, 40, 10, 60.3, 30.7, 0], [30, 60, 30, 60, 30, 60, 0],
                 [10, 20, 0, 30, 10, 20, 1]],
    "selectedSegments": [0, [2, 3]],
    "fill": {"paint": true, "color": {"kind": "cmyk", "values": [0.1, 0.25, 1.5, -0.5]}, "overprint": true},
    "stroke": {"paint": true, "color": {"kind": "gray", "values": [0.3]}, "width": 2.75, "cap": "round",
               "join": "bevel", "miterLimit": 7, "dash": [3, 1.5, 0.25], "dashOffset": 1.25},
    "evenOdd": true, "opacity": 0.3, "blend": "screen", "tags": {"brivane": "brivane", "weight": 0.1},
    "custom": {"kept": [1, 2]}},
   {"id": 12, "type": "path", "selected": false, "closed": false, "segments": [],
    "fill": {"paint": false, "color": {"kind": "rgb", "values": [0.2, 0.4, 0.6]}},
    "stroke": {"paint": true, "color": {"kind": "spot", "ref": 2, "values": [0.5]}, "width": 0},
    "opacity": 1, "blend": "normal"},
   {"id": 13, "type": "compound", "selected": false,
    "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0.5, 0]}},
    "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "opacity": 0.75, "blend": "luminosity",
    "children": [
     {"id": 14, "type": "path", "selected": false, "closed": true,
      "segments": [[0, 0, 0, 0, 0, 0, 1], [100, 0, 100, 0, 100, 0, 1], [100, 100, 100, 100, 100, 100, 1]],
      "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0.5, 0]}},
      "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "opacity": 1, "blend": "normal",
      "tags": {"part": "outer"}},
     {"id": 15, "type": "path", "selected": false, "locked": true, "closed": false,
      "segments": [[10, 10, 5, 5, 15, 15, 0], [20, 10, 20, 10, 20, 10, 1]],
      "fill": {"paint": true, "color": {"kind": "pattern", "ref": 3}},
      "stroke": {"paint": true, "color": {"kind": "gradient", "ref": 1}, "width": 0.5}, "opacity": 1,
      "blend": "normal"}]},
   {"id": 20, "type": "group", "selected": false, "hidden": true, "opacity": 0.5, "blend": "multiply",
    "children": [
     {"id": 21, "type": "text", "selected": false, "text": "A & B < \"C\"\n\tnext line\u0001", "fontSize": 14.5,
      "matrix": [1, 0.5, -0.25, 2, 30, 40],
      "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}},
      "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "opacity": 1, "blend": "normal"},
     {"id": 22, "type": "image", "selected": false, "href": "pictures/cat.png", "width": 64, "height": 48,
      "matrix": [0.5, 0, 0, 0.5, 100, 100], "opacity": 1, "blend": "normal"},
     {"id": 23, "type": "raster", "selected": false, "href": "data:image/png;base64,iVBORw0KGgo=", "width": 2,
      "height": 3, "matrix": [1, 0, 0, 1, 0, 0], "opacity": 1, "blend": "normal"},
     {"id": 24, "type": "mesh", "selected": false, "width": 10, "height": 20, "matrix": [0, 1, -1, 0, 5, 5],
      "fill": {"paint": true, "color": {"kind": "gray", "values": [0.75]}},
      "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "opacity": 1, "blend": "normal"},
     {"id": 25, "type": "symbol", "selected": false, "symbol": "star", "width": 12, "height": 12,
      "matrix": [1, 0, 0, 1, 150, 20], "opacity": 1, "blend": "normal"},
     {"id": 26, "type": "group", "selected": false, "opacity": 1, "blend": "normal", "children": []}]}]},
  {"name": "Hidden", "visible": false, "locked": false, "art": [
   {"id": 30, "type": "textpath", "selected": false, "closed": false,
    "segments": [[0, 0, 0, 0, 10, 20, 0], [100, 50.5, 90, 40, 110, 60, 0]], "text": "along", "fontSize": 9,
    "fill": {"paint": true, "color": {"kind": "rgb", "values": [0.1, 0.2, 0.3]}},
    "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "opacity": 1, "blend": "normal"}]},
  {"name": "Locked", "visible": true, "locked": true, "art": [
   {"id": 40, "type": "envelope", "selected": true, "warp": {"style": 9, "bend": 0.5, "horizontal": -0.25,
    "vertical": 0.125, "rotate90": true}, "opacity": 1, "blend": "color-dodge", "children": [
     {"id": 41, "type": "path", "selected": true, "closed": false,
      "segments": [[1, 2, 1, 2, 1, 2, 1], [3.5, 4, 3.5, 4, 3.5, 4, 1]],
      "fill": {"paint": false, "color": {"kind": "none"}},
      "stroke": {"paint": true, "color": {"kind": "rgb", "values": [1, 1, 0]}, "width": 1e-3},
      "opacity": 1, "blend": "normal"}]}]},
  {"name": "Empty", "visible": true, "locked": false, "art": []}]
})";

class SvgRoundTrip : public ::testing::Test {
protected:
    static std::unique_ptr<Document> fromJson(const std::string& text) {
        std::unique_ptr<Document> d;
        std::string error;
        EXPECT_TRUE(readDocumentJson(text, d, error)) << error;
        return d;
    }
    static std::unique_ptr<Document> fromSvg(const std::string& svg, SvgReport* report = nullptr) {
        std::unique_ptr<Document> d;
        std::string error;
        SvgReport rep;
        EXPECT_TRUE(readSvg(svg, d, rep, error)) << error;
        if (report) *report = rep;
        return d;
    }
};

TEST_F(SvgRoundTrip, JsonToSvgToJsonKeepsEveryField) {
    auto doc = fromJson(kEverything);
    ASSERT_TRUE(doc);
    const std::string json = writeDocumentJson(*doc);
    SvgReport report;
    auto back = fromSvg(writeSvg(*doc), &report);
    ASSERT_TRUE(back);
    EXPECT_TRUE(report.empty()) << report.text();
    EXPECT_EQ(writeDocumentJson(*back), json);
    // And written again, the SVG is the same.
    EXPECT_EQ(writeSvg(*back), writeSvg(*doc));
}

TEST_F(SvgRoundTrip, ForeignFilesSettleAfterOneImport) {
    const std::string foreign =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16px\" height=\"16px\" viewBox=\"0 0 16 16\">"
        "<g fill=\"#2e3436\" opacity=\"0.8\"><path d=\"m 1 4 v 1 h 8 v -1 z m 3 3 a 2 2 0 1 1 4 0 z\"/>"
        "<circle cx=\"8\" cy=\"8\" r=\"3\" stroke=\"red\" fill-opacity=\"0.5\"/></g>"
        "<text x=\"1\" y=\"15\" font-size=\"4\" font-family=\"Cantarell\">Hi</text>"
        "<image x=\"2\" y=\"2\" width=\"4\" height=\"4\" href=\"data:image/png;base64,AA==\"/></svg>";
    auto first = fromSvg(foreign);
    const std::string svg1 = writeSvg(*first);
    auto second = fromSvg(svg1);
    EXPECT_EQ(writeDocumentJson(*second), writeDocumentJson(*first));
    EXPECT_EQ(writeSvg(*second), svg1);
}

TEST_F(SvgRoundTrip, EditedColoursWinOverTheKeptExactValue) {
    auto doc = fromJson(kEverything);
    std::string svg = writeSvg(*doc);
    // Someone recolours art 13 in another editor: the kept exact colour no
    // longer matches what is shown, so the shown colour is taken.
    const std::string shown = "fill=\"#008000\"";
    const size_t at = svg.find(shown, svg.find("data-easel-id=\"13\""));
    ASSERT_NE(at, std::string::npos);
    svg.replace(at, shown.size(), "fill=\"#0000ff\"");
    auto back = fromSvg(svg);
    const Art* compound = back->findById(13);
    ASSERT_TRUE(compound);
    EXPECT_EQ(compound->style().fill.color.kind, kThreeColor);
    EXPECT_EQ(compound->style().fill.color.c[2], 1.0f);
}

TEST_F(SvgRoundTrip, GreyAndFourColourAreShownConverted) {
    auto doc = fromJson(kEverything);
    const std::string svg = writeSvg(*doc);
    // Grey 0.3 stroke: 70 % white.
    EXPECT_NE(svg.find("stroke=\"#b3b3b3\""), std::string::npos);
    EXPECT_NE(svg.find("data-easel-stroke=\"on gray 0.3\""), std::string::npos);
    EXPECT_NE(svg.find("mix-blend-mode:screen"), std::string::npos);
    EXPECT_NE(svg.find("inkscape:groupmode=\"layer\""), std::string::npos);
}

}  // namespace
}  // namespace easel
