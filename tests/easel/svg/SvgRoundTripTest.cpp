// The JSON document through SVG and back, envelopes drawn with their warped
// geometry and read back with their unwarped contents and their warp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "tests/support/PictureDifference.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "model/Warp.h"

// fontconfig keeps what it reads of the fonts for the life of the process
// (text set in lines is measured in its fonts).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace easel {
namespace {

// A document that uses every field of the file format, with an arc-warped
// envelope holding one of every kind of art and a twisted envelope inside it.
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
      "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "opacity": 0.5, "blend": "normal",
      "tags": {"part": "outer"}},
     {"id": 15, "type": "path", "selected": false, "locked": true, "closed": false,
      "segments": [[10, 10, 5, 5, 15, 15, 0], [20, 10, 20, 10, 20, 10, 1]],
      "fill": {"paint": true, "color": {"kind": "pattern", "ref": 3}},
      "stroke": {"paint": true, "color": {"kind": "gradient", "ref": 1}, "width": 0.5}, "opacity": 1,
      "blend": "normal"}]},
   {"id": 16, "type": "group", "selected": false, "clipped": true, "children": [
     {"id": 17, "type": "path", "closed": true, "segments": [[0, 0, 0, 0, 0, 0, 1], [80, 0, 80, 0, 80, 0, 1],
      [80, 80, 80, 80, 80, 80, 1]], "fill": {"paint": true, "color": {"kind": "rgb", "values": [1, 0.5, 0]}}},
     {"id": 18, "type": "compound", "evenOdd": true, "fill": {"paint": false, "color": {"kind": "none"}}, "children": [
      {"id": 19, "type": "path", "closed": true, "evenOdd": true, "fill": {"paint": false, "color": {"kind": "none"}},
       "segments": [[10, 10, 10, 10, 10, 10, 1], [70, 10, 70, 10, 70, 10, 1], [70, 70, 70, 70, 70, 70, 1]]},
      {"id": 27, "type": "path", "closed": true, "evenOdd": true, "fill": {"paint": false, "color": {"kind": "none"}},
       "segments": [[30, 20, 30, 20, 30, 20, 1], [60, 20, 60, 20, 60, 20, 1], [60, 50, 60, 50, 60, 50, 1]]}]}]},
   {"id": 28, "type": "group", "selected": false, "clipped": true, "children": []},
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
   {"id": 41, "type": "path", "selected": true, "closed": false,
    "segments": [[1, 2, 1, 2, 1, 2, 1], [3.5, 4, 3.5, 4, 3.5, 4, 1]],
    "stroke": {"paint": true, "color": {"kind": "rgb", "values": [1, 1, 0]}, "width": 1e-3}}]},
  {"name": "Warped", "art": [
   {"id": 50, "type": "envelope", "selected": true, "blend": "color-dodge",
    "warp": {"style": 1, "bend": 0.5, "horizontal": 0.2, "vertical": 0, "rotate90": false}, "children": [
    {"id": 51, "type": "path", "closed": true,
     "segments": [[50, 50, 50, 50, 50, 50, 1], [150, 50, 150, 50, 150, 50, 1], [150, 150, 150, 150, 150, 150, 1],
                  [50, 150, 50, 150, 50, 150, 1]],
     "fill": {"paint": true, "color": {"kind": "rgb", "values": [1, 0, 0]}},
     "stroke": {"paint": true, "color": {"kind": "gray", "values": [1]}, "width": 1}},
    {"id": 52, "type": "compound", "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}}, "children": [
     {"id": 53, "type": "path", "closed": true, "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}},
      "segments": [[60, 60, 60, 60, 60, 60, 1], [90, 60, 90, 60, 90, 60, 1], [75, 90, 70, 90, 80, 90, 0]]},
     {"id": 54, "type": "path", "closed": false, "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}},
      "segments": [[100, 60, 95, 55, 110, 70, 0], [130, 90, 130, 90, 130, 90, 1]]}]},
    {"id": 55, "type": "text", "text": "Warp", "fontSize": 20, "matrix": [1, 0, 0, 1, 60, 120],
     "fill": {"paint": true, "color": {"kind": "gray", "values": [0.2]}}},
    {"id": 56, "type": "image", "href": "pictures/cat.png", "width": 40, "height": 30,
     "matrix": [1, 0, 0, 1, 100, 100], "opacity": 0.5, "blend": "multiply"},
    {"id": 57, "type": "symbol", "symbol": "star", "width": 12, "height": 12, "matrix": [2, 0, 0, 2, 70, 70]},
    {"id": 58, "type": "envelope", "warp": {"style": 15, "bend": 0.3, "horizontal": -0.25, "vertical": 0.125,
     "rotate90": true}, "children": [
     {"id": 59, "type": "path", "closed": false,
      "segments": [[80, 140, 80, 140, 100, 160, 0], [140, 140, 120, 120, 140, 140, 1]],
      "stroke": {"paint": true, "color": {"kind": "rgb", "values": [0, 1, 0]}, "width": 2}}]},
    {"id": 60, "type": "textpath", "closed": false, "text": "along",  "fontSize": 9,
     "segments": [[55, 75, 55, 75, 75, 95, 0], [145, 75, 125, 55, 145, 75, 0]],
     "fill": {"paint": true, "color": {"kind": "rgb", "values": [0.1, 0.2, 0.3]}}}]}]},
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
    // Our own files read back without a note in the report.
    static std::unique_ptr<Document> fromSvg(const std::string& svg, bool quiet = true) {
        std::unique_ptr<Document> d;
        std::string error;
        SvgReport report;
        EXPECT_TRUE(readSvg(svg, d, report, error)) << error;
        if (quiet) {
            EXPECT_TRUE(report.empty()) << report.text();
        }
        return d;
    }
};

TEST_F(SvgRoundTrip, JsonToSvgToJsonKeepsEveryField) {
    auto doc = fromJson(kEverything);
    ASSERT_TRUE(doc);
    auto back = fromSvg(writeSvg(*doc));
    ASSERT_TRUE(back);
    EXPECT_EQ(writeDocumentJson(*back), writeDocumentJson(*doc));
    // And written again, the SVG is the same.
    EXPECT_EQ(writeSvg(*back), writeSvg(*doc));
    // The clip group is clipped in the file by its clipping path, even-odd.
    const std::string svg = writeSvg(*doc);
    EXPECT_NE(svg.find("clip-path=\"url(#easel-clip-16)\""), std::string::npos);
    EXPECT_NE(svg.find("<clipPath id=\"easel-clip-16\" clipPathUnits=\"userSpaceOnUse\" data-easel-type=\"clip\" "
                       "clip-rule=\"evenodd\">"),
              std::string::npos);
    ASSERT_TRUE(back->findById(16) && back->findById(28));
    EXPECT_EQ(clippingPath(*back->findById(16)), back->findById(18));
}

TEST_F(SvgRoundTrip, ForeignFilesSettleAfterOneImport) {
    const std::string foreign =
        // Attributes whose names begin like easel's own but are another program's.
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16px\" height=\"16px\" viewBox=\"0 0 16 16\" "
        "data-easelswatches=\"x\">"
        "<g fill=\"#2e3436\" opacity=\"0.8\"><path data-easelid=\"7\" d=\"m 1 4 v 1 h 8 v -1 z m 3 3 a 2 2 0 1 1 4 0 z\"/>"
        "<circle cx=\"8\" cy=\"8\" r=\"3\" stroke=\"red\" fill-opacity=\"0.5\"/></g>"
        "<text x=\"1\" y=\"15\" font-size=\"4\" font-family=\"Cantarell\">Hi</text>"
        "<image x=\"2\" y=\"2\" width=\"4\" height=\"4\" href=\"data:image/png;base64,AA==\"/>"
        "<radialGradient id=\"r\" fx=\"0.3\" spreadMethod=\"reflect\"><stop offset=\"0.1\" stop-color=\"#123\"/>"
        "<stop offset=\"1\" stop-color=\"gold\" stop-opacity=\"0.4\"/></radialGradient>"
        "<ellipse cx=\"8\" cy=\"4\" rx=\"5\" ry=\"3\" fill=\"url(#r)\" stroke=\"url(#r)\" stroke-opacity=\"0.5\"/>"
        // A compound path whose stroke is drawn transformed (written in the stroke's space).
        "<path transform=\"rotate(15 16 16) skewX(5)\" stroke=\"blue\" fill-rule=\"evenodd\" "
        "d=\"M2 1h10v10H1z m2 2v6h6V3z\"/>"
        // A switch whose chosen child cannot be kept: written back, it must not choose the next.
        "<switch><foreignObject width=\"1\" height=\"1\"><i:pgf xmlns:i=\"urn:a\tb\">private</i:pgf>"
        "</foreignObject><rect width=\"5\" height=\"5\"/></switch></svg>";
    auto first = fromSvg(foreign, false);
    const std::string svg1 = writeSvg(*first);
    auto second = fromSvg(svg1);
    const std::string json = writeDocumentJson(*first);
    EXPECT_NE(json.find("\"gradientPaints\""), std::string::npos);
    EXPECT_EQ(writeDocumentJson(*second), json);
    EXPECT_EQ(writeSvg(*second), svg1);
    // Gradients read back from the document file as they were written.
    EXPECT_EQ(writeDocumentJson(*fromJson(json)), json);
}

// A stroke under a scale that differs by direction keeps its space as
// floats; its width read back from the file written is the same.
TEST_F(SvgRoundTrip, AStrokeUnderANonUniformScaleKeepsItsWidth) {
    auto first = fromSvg("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"63\" height=\"64\" viewBox=\"0 0 32 32\">"
                         "<g transform=\"scale(1 .9)\"><rect x=\"1\" y=\"1\" width=\"14\" height=\"8\" stroke=\"red\"/></g></svg>",
                         false);
    const std::string json = writeDocumentJson(*first);
    EXPECT_EQ(writeDocumentJson(*fromSvg(writeSvg(*first))), json);
}

TEST_F(SvgRoundTrip, ForeignPaintDrawsTheSameAfterTheRoundTrip) {
    const std::string defs =
        "<defs><linearGradient id=\"lin\"><stop offset=\"0\" stop-color=\"red\"/>"
        "<stop offset=\"0.5\" stop-color=\"#ff0\" stop-opacity=\"0.5\"/><stop offset=\"1\" stop-color=\"blue\"/>"
        "</linearGradient>"
        "<radialGradient id=\"rad\" href=\"#lin\" gradientUnits=\"userSpaceOnUse\" cx=\"20\" cy=\"20\" r=\"12\" "
        "fx=\"14\" fy=\"16\" spreadMethod=\"reflect\" gradientTransform=\"rotate(20 20 20) scale(1 0.7)\"/>"
        "<linearGradient id=\"tilt\" xlink:href=\"#lin\" x1=\"0\" y1=\"0\" x2=\"0.3\" y2=\"1\" "
        "spreadMethod=\"repeat\"/></defs>";
    struct Case {
        const char* what;
        const char* body;
    } cases[] = {
        {"bounding-box gradient on a curve, scaled",
         "<g transform=\"translate(2 3) scale(1.2 0.9)\"><path d=\"M4 30 C4 -5 30 -5 30 30 Z\" fill=\"url(#lin)\"/></g>"},
        {"radial, focus, user space, transform, reflect",
         "<circle cx=\"20\" cy=\"20\" r=\"19\" fill=\"url(#rad)\"/>"},
        {"tilted repeating gradient on a compound path",
         "<path fill-rule=\"evenodd\" fill=\"url(#tilt)\" d=\"M2 2 H38 V38 H2 Z M10 10 H30 V30 H10 Z\"/>"},
        {"stroke gradient and fill and stroke opacities apart",
         "<rect x=\"6\" y=\"6\" width=\"28\" height=\"28\" fill=\"green\" fill-opacity=\"0.3\" "
         "stroke=\"url(#lin)\" stroke-width=\"5\" stroke-opacity=\"0.9\"/>"},
        {"transparent stroke, currentColor",
         "<g color=\"teal\"><rect x=\"4\" y=\"4\" width=\"30\" height=\"30\" fill=\"currentColor\" "
         "stroke=\"transparent\" stroke-width=\"6\"/></g>"},
        {"fill rule per element",
         "<g fill-rule=\"evenodd\"><path d=\"M2 2 H20 V20 H2 Z M6 6 H16 V16 H6 Z\"/>"
         "<path fill-rule=\"nonzero\" d=\"M20 20 H38 V38 H20 Z M24 24 H34 V34 H24 Z\"/></g>"},
    };
    for (const Case& c : cases) {
        const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                                "width=\"40\" height=\"40\" viewBox=\"0 0 40 40\">" + defs + c.body + "</svg>";
        auto doc = fromSvg(svg, false);
        ASSERT_TRUE(doc) << c.what;
        Image before, after;
        std::string error;
        ASSERT_TRUE(renderSvgFitted(svg, 48, 48, before, error)) << error;
        ASSERT_TRUE(renderSvgFitted(writeSvg(*doc), 48, 48, after, error)) << error;
        EXPECT_LT(test::pictureDifference(before, after), 0.002) << c.what;
    }
}

TEST_F(SvgRoundTrip, EditedColoursWinOverTheKeptExactValue) {
    auto doc = fromJson(kEverything);
    std::string svg = writeSvg(*doc);
    // Someone recolours compound 13 in another editor: the kept exact colour
    // no longer matches what is shown, so the shown colour is taken by the
    // member whose style the compound is drawn with.
    const std::string shown = "fill=\"#008000\"";
    const size_t at = svg.find(shown, svg.find("data-easel-id=\"13\""));
    ASSERT_NE(at, std::string::npos);
    svg.replace(at, shown.size(), "fill=\"#0000ff\"");
    auto back = fromSvg(svg);
    const Art* compound = back->findById(13);
    ASSERT_TRUE(compound);
    const AIColor drawn = drawnStyle(*compound).style.fill.color;
    EXPECT_EQ(drawn.kind, kThreeColor);
    EXPECT_EQ(drawn.c[2], 1.0f);
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

// ---- what easel does not draw, kept and written back ----

const char* const kKeptDefs =
    "<defs clip-rule=\"evenodd\">"
    "<marker id=\"flag\" orient=\"auto\" refX=\"1\" refY=\"2\" markerWidth=\"8\" markerHeight=\"8\">"
    "<path d=\"M1 0 L7 2 L1 6 Z\" fill=\"purple\"/></marker>"
    "<marker id=\"tilt\" orient=\"30\" markerUnits=\"userSpaceOnUse\" markerWidth=\"12\" markerHeight=\"12\" "
    "refX=\"0\" refY=\"0\" style=\"overflow:visible\"><path d=\"M0 0 H9 V3 Z\" fill=\"teal\"/></marker>"
    "<pattern id=\"dots\" patternUnits=\"userSpaceOnUse\" width=\"6\" height=\"5\" patternTransform=\"rotate(25) "
    "translate(1 2)\"><rect width=\"3\" height=\"2\" fill=\"green\"/><circle cx=\"4\" cy=\"4\" r=\"1\" fill=\"red\"/>"
    "</pattern>"
    "<pattern id=\"boxes\" x=\"0.1\" width=\"0.25\" height=\"0.5\" patternContentUnits=\"objectBoundingBox\">"
    "<rect width=\"0.2\" height=\"0.1\" fill=\"navy\"/></pattern>"
    "<clipPath id=\"holes\"><path d=\"M4 4 H36 V36 H4 Z M12 12 H28 V28 H12 Z\"/></clipPath></defs>";

// The file read, written, read and written again settles, as does its
// document through the document file and SVG; the picture stays.
TEST_F(SvgRoundTrip, KeptPartsDrawTheSameAndSettle) {
    struct Case {
        const char* what;
        const char* body;
        // Text is not (librsvg's fonts stay allocated and fail the leak
        // check), nor what librsvg refuses.
        bool drawn = true;
        std::vector<std::string> written = {};  // in the SVG written back
        std::vector<std::string> notWritten = {};
    } cases[] = {
        {"asymmetric marker, auto, on a mirrored path",
         "<path d=\"M4 30 L20 10 L36 24\" stroke=\"black\" stroke-width=\"2\" fill=\"none\" marker-end=\"url(#flag)\" "
         "marker-mid=\"url(#flag)\"/>"},
        {"a marker whose contents have ids, on a path and on a mirrored one",
         "<defs><marker id=\"tip\" orient=\"auto\" refX=\"1\" refY=\"2\" markerWidth=\"8\" markerHeight=\"8\">"
         "<g id=\"tipshape\"><path d=\"M1 0 L7 2 L1 6 Z\" fill=\"purple\"/></g></marker></defs>"
         "<path d=\"M4 30 L20 10\" stroke=\"black\" marker-end=\"url(#tip)\"/>"
         "<path d=\"M4 30 L20 10\" stroke=\"black\" marker-end=\"url(#tip)\" transform=\"matrix(1 0 0 -1 12 40)\"/>",
         true, {"id=\"tipshape-easel-m\""}},
        {"marker at a fixed angle, inherited, under a rotation",
         "<g marker-start=\"url(#tilt)\" transform=\"rotate(15 20 20)\"><path d=\"M8 8 L32 30\" stroke=\"blue\"/></g>"},
        {"the marker shorthand, in a style but not as an attribute",
         "<g marker=\"url(#flag)\"><path d=\"M4 30 L20 10 L36 24\" stroke=\"black\" fill=\"none\"/></g>"
         "<path style=\"marker:url(#flag)\" d=\"M4 4 L20 8 L36 4\" stroke=\"red\" fill=\"none\"/>",
         true, {"marker-mid=\"url(#flag-easel-m)\""}},
        {"pattern in user space, turned, on a transformed shape",
         "<rect x=\"4\" y=\"4\" width=\"30\" height=\"24\" fill=\"url(#dots) gold\" transform=\"translate(2 3) scale(1 1.2)\" "
         "stroke=\"url(#dots)\" stroke-width=\"3\"/>"},
        {"pattern in bounding-box units with bounding-box contents",
         "<ellipse cx=\"20\" cy=\"18\" rx=\"15\" ry=\"12\" fill=\"url(#boxes)\"/>"},
        {"text spans styled and placed",
         "<text x=\"4\" y=\"20\" font-size=\"9\">A <tspan fill=\"red\" font-weight=\"bold\">bold</tspan>"
         "<tspan x=\"6\" dy=\"10\" fill=\"blue\">line</tspan></text>",
         false},
        {"a shape inside one clip path that another uses",
         "<defs><clipPath id=\"round\"><circle id=\"disc\" cx=\"20\" cy=\"20\" r=\"12\"/></clipPath>"
         "<clipPath id=\"again\"><use xlink:href=\"#disc\" transform=\"translate(6 0)\"/></clipPath></defs>"
         "<rect width=\"40\" height=\"40\" fill=\"red\" clip-path=\"url(#round)\"/>"
         "<rect width=\"40\" height=\"30\" fill=\"blue\" clip-path=\"url(#again)\"/>"},
        {"clip path whose rule it inherits",
         "<rect x=\"0\" y=\"0\" width=\"40\" height=\"40\" fill=\"orange\" clip-path=\"url(#holes)\"/>"},
        {"editor file: namespaces, metadata, attributes, foreign object",
         "<sodipodi:namedview id=\"nv\" inkscape:zoom=\"2\"/><metadata><rdf:RDF><dc:title>T</dc:title></rdf:RDF>"
         "</metadata><g inkscape:groupmode=\"layer\" inkscape:label=\"Ink\"><title>art</title>"
         "<path id=\"p1\" d=\"M2 2 H30 V30 Z\" sodipodi:nodetypes=\"ccc\" data-note=\"x\" inkscape:label=\"Tri\"/>"
         "<foreignObject width=\"9\" height=\"9\"><div xmlns=\"http://www.w3.org/1999/xhtml\">Hi</div></foreignObject>"
         "<g id=\"empty\"><desc>nothing drawn</desc></g></g>"},
        {"layers keep their group's attributes, links their element and target",
         "<g id=\"layer1\" inkscape:groupmode=\"layer\" inkscape:label=\"Back\" class=\"x\" data-role=\"bg\" "
         "xmlns:foo=\"urn:foo\" foo:bar=\"1\" sodipodi:insensitive=\"true\" style=\"display:inline\" "
         "transform=\"translate(1 2)\"><a href=\"https://example.com/\" target=\"_blank\">"
         "<rect width=\"9\" height=\"9\" fill=\"red\"/></a></g>"
         "<g id=\"layer2\" class=\"y\" opacity=\"0.5\"><a xlink:href=\"#layer1\" xlink:title=\"t\">"
         "<circle cx=\"25\" cy=\"25\" r=\"9\"/><a href=\"javascript:alert(1)\"><rect width=\"4\" height=\"4\"/>"
         "</a></a></g><g inkscape:label=\"Again\" id=\"layer1\"><rect x=\"30\" width=\"9\" height=\"9\"/></g>",
         true,
         {"inkscape:label=\"Back\" data-easel-layer=\"Back\" transform=\"matrix(1 0 0 -1 0 30)\" data-role=\"bg\" "
          "foo:bar=\"1\" id=\"layer1\" sodipodi:insensitive=\"true\" class=\"x\">",
          "xmlns:foo=\"urn:foo\"", "data-easel-layer=\"layer2\" transform=\"matrix(1 0 0 -1 0 30)\" class=\"y\">",
          "href=\"https://example.com/\" target=\"_blank\">", "xlink:href=\"#layer1\" xlink:title=\"t\">", "</a>"},
         {"id=\"layer2\"", "javascript"}},
        {"attributes of a namespace whose name is not a URI",
         "<g xmlns:bad=\"http://a.b:port\" bad:x=\"1\"><rect bad:y=\"2\" width=\"9\" height=\"9\"/></g>", false, {},
         {"bad:"}},
    };
    for (const auto& [what, body, drawn, written, notWritten] : cases) {
        SCOPED_TRACE(what);
        const std::string svg =
            std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
                        "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" "
                        "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" inkscape:version=\"1.3\" "
                        "width=\"40\" height=\"40\" viewBox=\"0 0 40 40\">") + kKeptDefs + body + "</svg>";
        auto doc = fromSvg(svg, false);
        ASSERT_TRUE(doc);
        const std::string svg1 = writeSvg(*doc);
        for (const std::string& w : written) EXPECT_NE(svg1.find(w), std::string::npos) << w << "\n" << svg1;
        for (const std::string& w : notWritten) EXPECT_EQ(svg1.find(w), std::string::npos) << w << "\n" << svg1;
        if (drawn) {
            Image before, after;
            std::string error;
            ASSERT_TRUE(renderSvgFitted(svg, 48, 48, before, error)) << error;
            ASSERT_TRUE(renderSvgFitted(svg1, 48, 48, after, error)) << error;
            EXPECT_LT(test::pictureDifference(before, after), 0.002);
        }
        // SVG -> JSON -> SVG.
        auto back = fromSvg(svg1);
        ASSERT_TRUE(back);
        const std::string json = writeDocumentJson(*back);
        EXPECT_EQ(writeSvg(*fromJson(json)), svg1);
        // JSON -> SVG -> JSON.
        EXPECT_EQ(writeDocumentJson(*fromSvg(writeSvg(*fromJson(json)))), json);
        EXPECT_EQ(writeDocumentJson(*doc), json);
    }
}

TEST_F(SvgRoundTrip, KeptPatternsAndSpansGoWhenTheArtChanges) {
    const std::string svg = std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\">") +
                            kKeptDefs +
                            "<rect width=\"9\" height=\"9\" fill=\"url(#dots)\"/>"
                            "<text y=\"20\">A <tspan fill=\"red\">b</tspan></text></svg>";
    auto doc = fromSvg(svg, false);
    ASSERT_TRUE(doc);
    std::vector<Art*> art;
    doc->forEachArt([&](Art* a) { art.push_back(a); });
    ASSERT_EQ(art.size(), 2u);
    const std::string kept = writeSvg(*doc);
    EXPECT_NE(kept.find("fill=\"url(#easel-pattern-"), std::string::npos);
    EXPECT_NE(kept.find("<tspan fill=\"red\">b</tspan>"), std::string::npos);
    AIPathStyle style = art[0]->style();
    style.fill.color = rgbColor(1, 0, 0);
    doc->setStyle(art[0], style);
    ObjectData text = art[1]->object();
    text.text = "A c";
    doc->setObjectData(art[1], text);
    const std::string edited = writeSvg(*doc);
    EXPECT_EQ(edited.find("url(#easel-pattern-"), std::string::npos);
    EXPECT_EQ(edited.find("id=\"easel-pattern-"), std::string::npos);
    EXPECT_EQ(edited.find("<tspan"), std::string::npos);
    EXPECT_NE(edited.find(">A c</text>"), std::string::npos);
}

// ---- envelopes: drawn warped, read back with their unwarped contents ----

// One element of the written SVG: the line carrying data-easel-id="id".
std::string elementLine(const std::string& svg, int id) {
    const std::string key = "data-easel-id=\"" + std::to_string(id) + "\"";
    const size_t at = svg.find(key);
    if (at == std::string::npos) return {};
    const size_t begin = svg.rfind('\n', at) + 1;
    return svg.substr(begin, svg.find('\n', at) - begin);
}

std::string attr(const std::string& element, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const size_t at = element.find(key);
    if (at == std::string::npos) return {};
    const size_t begin = at + key.size();
    return element.substr(begin, element.find('"', begin) - begin);
}

// A drawing command with its absolute points; a line is written as the cubic
// whose direction points sit on its ends, so that both forms compare alike.
struct Command {
    char op;
    std::vector<AIRealPoint> points;
    bool operator==(const Command& o) const {
        return op == o.op && std::equal(points.begin(), points.end(), o.points.begin(), o.points.end(),
                                        [](AIRealPoint a, AIRealPoint b) { return a.h == b.h && a.v == b.v; });
    }
};
std::ostream& operator<<(std::ostream& os, const Command& c) {
    os << c.op;
    for (const AIRealPoint& p : c.points) os << ' ' << p.h << ',' << p.v;
    return os;
}

// Path data as written by the export (absolute M, L, C and Z), a straight
// closing side left to Z made explicit.
std::vector<Command> parsePath(const std::string& d) {
    std::vector<Command> out;
    AIRealPoint start{}, at{};
    for (const char* s = d.c_str(); *s;) {
        const char op = *s++;
        if (op == ' ') continue;
        std::vector<AIRealPoint> pts;
        for (int i = 0, n = op == 'M' || op == 'L' ? 1 : op == 'C' ? 3 : 0; i < n; ++i) {
            char* end = nullptr;
            const float h = std::strtof(s, &end);
            pts.push_back(AIRealPoint{h, std::strtof(end, &end)});
            s = end;
        }
        if (op == 'Z' && (at.h != start.h || at.v != start.v)) out.push_back({'C', {at, start, start}});
        if (op == 'L') pts = {at, pts[0], pts[0]};
        out.push_back({op == 'L' ? 'C' : op, pts});
        if (!pts.empty()) at = pts.back();
        if (op == 'M') start = at;
    }
    return out;
}

// The commands that draw these contours, every side a cubic.
std::vector<Command> drawing(const std::vector<std::vector<AIPathSegment>>& contours, const std::vector<bool>& closed) {
    std::vector<Command> out;
    for (size_t c = 0; c < contours.size(); ++c) {
        const auto& segs = contours[c];
        out.push_back({'M', {segs[0].p}});
        const size_t sides = closed[c] ? segs.size() : segs.size() - 1;
        for (size_t i = 1; i <= sides; ++i) {
            const AIPathSegment &from = segs[i - 1], &to = segs[i % segs.size()];
            out.push_back({'C', {from.out, to.in, to.p}});
        }
        if (closed[c]) out.push_back({'Z', {}});
    }
    return out;
}

// numbers of "matrix(a b c d e f)"
std::vector<double> parseMatrix(const std::string& t) {
    std::vector<double> v;
    const size_t open = t.find('(');
    if (open == std::string::npos) return v;
    const char* s = t.c_str() + open + 1;
    for (int i = 0; i < 6; ++i) {
        char* end = nullptr;
        v.push_back(std::strtod(s, &end));
        s = end;
    }
    return v;
}

class WarpedSvg : public SvgRoundTrip {
protected:
    void SetUp() override {
        doc_ = fromJson(kEverything);
        ASSERT_TRUE(doc_);
        svg_ = writeSvg(*doc_);
    }
    std::unique_ptr<Document> doc_;
    std::string svg_;
    WarpedGeometry geometry_;
};

TEST_F(WarpedSvg, PathDataIsTheWarpedGeometry) {
    const Art* square = doc_->findById(51);
    std::vector<AIPathSegment> warped;
    ASSERT_TRUE(geometry_.path(*square, warped));
    // The arc bends the square's sides: more anchors than the four stored.
    ASSERT_GT(warped.size(), 4u);
    const std::string element = elementLine(svg_, 51);
    EXPECT_EQ(parsePath(attr(element, "d")), drawing({warped}, {true}));
    // The stored square is kept beside it.
    EXPECT_EQ(parsePath(attr(element, "data-easel-d")), drawing({square->segments()}, {true}));
    // Nested envelopes: both warps act, the inner one first.
    ASSERT_TRUE(geometry_.path(*doc_->findById(59), warped));
    EXPECT_EQ(parsePath(attr(elementLine(svg_, 59), "d")), drawing({warped}, {false}));
}

TEST_F(WarpedSvg, CompoundPathDrawsEveryMemberWarped) {
    std::vector<AIPathSegment> a, b;
    ASSERT_TRUE(geometry_.path(*doc_->findById(53), a));
    ASSERT_TRUE(geometry_.path(*doc_->findById(54), b));
    const std::string element = elementLine(svg_, 52);
    ASSERT_NE(attr(element, "data-easel-type"), "");
    EXPECT_EQ(parsePath(attr(element, "d")), drawing({a, b}, {true, false}));
}

TEST_F(WarpedSvg, TextAndSymbolFollowTheWarpAtTheirCentre) {
    for (int id : {55, 57}) {
        SCOPED_TRACE("art " + std::to_string(id));
        const Art* art = doc_->findById(id);
        const std::string element = elementLine(svg_, id);
        const std::vector<double> shown = parseMatrix(attr(element, "transform"));
        const std::vector<double> kept = parseMatrix(attr(element, "data-easel-transform"));
        ASSERT_EQ(shown.size(), 6u);
        ASSERT_EQ(kept.size(), 6u);
        const AIRealMatrix& m = art->objectMatrix();
        auto D = [](float x) { return static_cast<double>(x); };
        EXPECT_EQ(kept[0], D(m.a));
        EXPECT_EQ(kept[4], D(m.tx));
        // The written matrix takes the local box's centre (vertical axis
        // up, so the third and fourth numbers are negated) to the warped
        // centre.
        const AIRealRect box = art->object().localBox();
        const double lh = (D(box.left) + D(box.right)) / 2, lv = (D(box.top) + D(box.bottom)) / 2;
        const double h = shown[0] * lh - shown[2] * lv + shown[4];
        const double v = shown[1] * lh - shown[3] * lv + shown[5];
        const WarpPoint page{D(m.a) * lh + D(m.c) * lv + D(m.tx), D(m.b) * lh + D(m.d) * lv + D(m.ty)};
        const WarpPoint want = geometry_.chainOf(*art).map(page);
        EXPECT_NEAR(h, want.h, 1e-3);
        EXPECT_NEAR(v, want.v, 1e-3);
        EXPECT_GT(std::hypot(want.h - page.h, want.v - page.v), 1.0) << "the warp should move this art";
    }
}

TEST_F(WarpedSvg, ImageIsDrawnInPiecesFromItsUnwarpedDefinition) {
    const std::string image = elementLine(svg_, 56);
    EXPECT_NE(image.find("<image id=\"easel-image-56\""), std::string::npos);
    // The definition keeps the image's own placement: local (0, 0) on the
    // page's (100, 100) (SVG's image box runs from -height to 0).
    const std::vector<double> own = parseMatrix(attr(image, "transform"));
    ASSERT_EQ(own.size(), 6u);
    EXPECT_EQ(own[0], 1);
    EXPECT_EQ(own[3], -1);
    EXPECT_EQ(own[4], 100);
    EXPECT_EQ(own[5], 100);
    // The image's opacity acts on the pieces as one.
    EXPECT_EQ(attr(image, "opacity"), "");
    EXPECT_NE(svg_.find("<g data-easel-type=\"warped-image\" opacity=\"0.5\" style=\"mix-blend-mode:multiply\">"), std::string::npos);
    // Every piece draws the definition through its own affine.
    size_t pieces = 0;
    for (size_t at = svg_.find("href=\"#easel-image-56\""); at != std::string::npos;
         at = svg_.find("href=\"#easel-image-56\"", at + 1))
        ++pieces;
    EXPECT_GE(pieces, 2u);
    // Corners of the image: the first piece's affine puts the image's
    // bottom left (page 100, 100) where the warp takes it.
    const size_t first = svg_.find("<use href=\"#easel-image-56\"");
    ASSERT_NE(first, std::string::npos);
    const std::string use = svg_.substr(first, svg_.find('>', first) - first);
    const std::vector<double> a = parseMatrix(attr(use, "transform"));
    ASSERT_EQ(a.size(), 6u);
    std::vector<AIRealPoint> mesh;
    ASSERT_TRUE(geometry_.mesh(*doc_->findById(56), 1, 1, mesh));
    EXPECT_NEAR(a[0] * 100 + a[2] * 100 + a[4], mesh[0].h, 1e-3);
    EXPECT_NEAR(a[1] * 100 + a[3] * 100 + a[5], mesh[0].v, 1e-3);
}

TEST_F(WarpedSvg, ReleaseAfterTheRoundTripGivesTheOriginalGeometry) {
    auto back = fromSvg(svg_);
    ASSERT_TRUE(back);
    Art* envelope = back->findById(50);
    ASSERT_TRUE(envelope);
    EXPECT_EQ(envelope->warp().style, 1);
    EXPECT_EQ(envelope->warp().bend, 0.5f);
    ASSERT_EQ(back->releaseEnvelope(envelope), kNoErr);
    const Art* square = back->findById(51);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->parent(), nullptr);
    const auto segs = square->segments();
    const auto want = doc_->findById(51)->segments();
    ASSERT_EQ(segs.size(), want.size());
    for (size_t i = 0; i < segs.size(); ++i) {
        EXPECT_EQ(segs[i].p.h, want[i].p.h);
        EXPECT_EQ(segs[i].p.v, want[i].p.v);
    }
    AIRealRect bounds{};
    ASSERT_EQ(back->bounds(square, &bounds), kNoErr);
    EXPECT_EQ(bounds.left, 50);
    EXPECT_EQ(bounds.top, 150);
    const Art* text = back->findById(55);
    EXPECT_EQ(text->objectMatrix().tx, 60);
    EXPECT_EQ(text->objectMatrix().ty, 120);
    // Released contents are written unwarped.
    const std::string released = writeSvg(*back);
    EXPECT_EQ(attr(elementLine(released, 51), "data-easel-d"), "");
    EXPECT_EQ(attr(elementLine(released, 51), "d"), "M50 50 L150 50 L150 150 L50 150 Z");
    EXPECT_EQ(released.find("warped-image"), std::string::npos);
}

TEST_F(WarpedSvg, KeptGeometryCountsOnlyInsideAnEnvelope) {
    // Art moved out of its envelope in another editor: what it shows wins.
    const std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100pt\" height=\"100pt\" viewBox=\"0 0 100 100\">"
        "<path d=\"M0 0 L10 0 L10 10 Z\" data-easel-d=\"M50 50 L60 50 L60 60 Z\"/>"
        "<text transform=\"matrix(1 0 0 1 5 5)\" data-easel-transform=\"matrix(1 0 0 1 70 70)\">t</text></svg>";
    auto d = fromSvg(svg);
    ASSERT_TRUE(d);
    AIRealRect r{};
    ASSERT_EQ(d->bounds(d->layerFromBottom(0)->firstArt(), &r), kNoErr);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 10);
    const Art* text = d->layerFromBottom(0)->firstArt()->next();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->objectMatrix().tx, 5);
}

TEST_F(SvgRoundTrip, AWarpedSquareIsDrawnWarped) {
    auto doc = fromJson(R"({"format": "easel-document", "version": 1, "page": {"width": 200, "height": 200},
      "layers": [{"name": "L", "art": [{"type": "envelope", "children": [{"type": "path", "closed": true,
        "segments": [[50,50,50,50,50,50,1],[150,50,150,50,150,50,1],[150,150,150,150,150,150,1],[50,150,50,150,50,150,1]],
        "fill": {"paint": true, "color": {"kind": "rgb", "values": [1, 0, 0]}}}]}]}]})");
    ASSERT_TRUE(doc);
    Art* envelope = doc->layerFromBottom(0)->firstArt();
    // Arch: top and bottom bow upwards together.
    Image flat, arched;
    std::string error;
    ASSERT_EQ(doc->setEnvelopeWarp(envelope, EnvelopeWarp{4, 0, 0, 0, false}), kNoErr);
    ASSERT_TRUE(renderSvgFitted(writeSvg(*doc), 200, 200, flat, error)) << error;
    ASSERT_EQ(doc->setEnvelopeWarp(envelope, EnvelopeWarp{4, 0.5f, 0, 0, false}), kNoErr);
    ASSERT_TRUE(renderSvgFitted(writeSvg(*doc), 200, 200, arched, error)) << error;
    ASSERT_EQ(flat.rgba.size(), arched.rgba.size());
    size_t differing = 0;
    for (size_t i = 3; i < flat.rgba.size(); i += 4) differing += std::abs(flat.rgba[i] - arched.rgba[i]) > 128;
    EXPECT_GT(differing, size_t{200 * 200 / 50});
    // Where the warp takes the square's top middle, the warped picture is
    // red just inside and the flat one is empty there.
    const WarpPoint top = WarpedGeometry{}.chainOf(*envelope->firstChild()).map({100, 150});
    ASSERT_GT(top.v, 155.0);
    auto alpha = [](const Image& im, double h, double v) {
        return im.rgba[(static_cast<size_t>(200 - v) * 200 + static_cast<size_t>(h)) * 4 + 3];
    };
    EXPECT_EQ(alpha(arched, top.h, top.v - 2), 255);
    EXPECT_EQ(alpha(flat, top.h, top.v - 2), 0);
}

}  // namespace
}  // namespace easel
