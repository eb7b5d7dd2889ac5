// Drawing a document straight from the model gives the picture librsvg draws
// from the document's SVG.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "tests/support/PictureDifference.h"
#include "io/svg/SvgExport.h"

namespace easel {
namespace {

namespace fs = std::filesystem;


size_t inkedPixels(const Image& im) {
    size_t n = 0;
    for (size_t i = 3; i < im.rgba.size(); i += 4) n += im.rgba[i] != 0;
    return n;
}

std::unique_ptr<Document> read(const std::string& text) {
    std::unique_ptr<Document> doc;
    std::string error;
    EXPECT_TRUE(readDocumentJson(text, doc, error)) << error;
    return doc;
}

// Copies sharing one geometry through pending matrices, every stroke
// setting, opacity and blend modes, compound paths, hidden art and layers.
std::unique_ptr<Document> styled() {
    auto doc = read(R"({"format": "easel-document", "version": 1, "page": {"width": 300, "height": 200},
      "layers": [{"name": "off", "visible": false, "art": [
        {"type": "path", "closed": true, "segments": [[0, 0, 0, 0, 0, 0, 1], [300, 0, 300, 0, 300, 0, 1], [0, 200, 0, 200, 0, 200, 1]],
         "fill": {"paint": true, "color": {"kind": "gray", "values": [1]}}}]},
       {"name": "on", "art": [
        {"id": 1, "type": "path", "closed": true,
         "segments": [[10, 10, 10, 10, 10, 10, 1], [60, 10, 70, 30, 60, 10, 0], [60, 60, 60, 60, 60, 60, 1], [10, 60, 10, 60, 10, 60, 1]],
         "fill": {"paint": true, "color": {"kind": "cmyk", "values": [0, 0.7, 0.9, 0]}},
         "stroke": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 0.5]}, "width": 3, "cap": "round",
                    "join": "bevel", "dash": [6, 3], "dashOffset": 2}},
        {"id": 2, "type": "path", "closed": false, "hidden": true,
         "segments": [[0, 0, 0, 0, 0, 0, 1], [300, 200, 300, 200, 300, 200, 1]],
         "stroke": {"paint": true, "color": {"kind": "gray", "values": [1]}, "width": 20}},
        {"id": 3, "type": "compound", "opacity": 0.6, "blend": "multiply",
         "fill": {"paint": true, "color": {"kind": "rgb", "values": [0.1, 0.6, 0.2]}},
         "stroke": {"paint": true, "color": {"kind": "gray", "values": [0]}, "width": 1}, "evenOdd": true,
         "children": [
          {"type": "path", "closed": true, "segments": [[100, 20, 100, 20, 100, 20, 1], [200, 20, 200, 20, 200, 20, 1], [200, 120, 200, 120, 200, 120, 1], [100, 120, 100, 120, 100, 120, 1]]},
          {"type": "path", "closed": true, "segments": [[130, 50, 130, 50, 130, 50, 1], [170, 50, 170, 50, 170, 50, 1], [170, 90, 170, 90, 170, 90, 1], [130, 90, 130, 90, 130, 90, 1]]}]},
        {"id": 4, "type": "group", "opacity": 0.5, "children": [
          {"type": "path", "closed": false, "segments": [[20, 150, 20, 150, 60, 190, 0], [280, 150, 240, 110, 280, 150, 0]],
           "stroke": {"paint": true, "color": {"kind": "rgb", "values": [0.8, 0.1, 0.1]}, "width": 8, "cap": "projecting"}}]}]}]})");
    Art* src = doc->findById(1);
    for (int i = 1; i <= 6; ++i) {
        Art* c = nullptr;
        doc->duplicateArt(src, kPlaceAboveAll, nullptr, &c);
        const float k = 0.3f + 0.1f * static_cast<float>(i);
        doc->transformArt(c, AIRealMatrix{k, 0.2f * k, -0.2f * k, k, 35.0f * static_cast<float>(i), 100}, k,
                          kTransformObjects | kScaleLines);
    }
    return doc;
}

TEST(RenderDocument, DrawsWhatLibrsvgDrawsFromTheSvg) {
    std::vector<std::pair<std::string, std::unique_ptr<Document>>> docs;
    docs.emplace_back("styled", styled());
    for (const auto& e : fs::directory_iterator(fs::path(EASEL_SOURCE_DIR) / "examples")) {
        std::ifstream in(e.path());
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        if (text.find("\"easel-document\"") != std::string::npos && text.find("\"steps\"") == std::string::npos)
            docs.emplace_back(e.path().filename(), read(text));
    }
    ASSERT_GT(docs.size(), 2u);
    for (const auto& [name, doc] : docs) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(doc);
        for (const RenderSize size : {RenderSize{300, 0}, RenderSize{0, 0.5}}) {
            Image direct, viaSvg;
            std::string error;
            ASSERT_TRUE(renderDocument(*doc, size, direct, error)) << error;
            ASSERT_TRUE(renderSvg(writeSvg(*doc), size, viaSvg, error)) << error;
            ASSERT_EQ(direct.width, viaSvg.width);
            ASSERT_EQ(direct.height, viaSvg.height);
            EXPECT_GT(inkedPixels(direct), 0u);
            EXPECT_LT(test::pictureDifference(direct, viaSvg), 0.004);
        }
    }
}

// A rectangle path: its fill (an rgb colour, or none) and the rest of its
// fields.
std::string rectangle(double x0, double y0, double x1, double y1, const std::string& fill, const std::string& rest) {
    auto corner = [](double x, double y) {
        const std::string p = std::to_string(x) + ", " + std::to_string(y);
        return "[" + p + ", " + p + ", " + p + ", 1]";
    };
    return R"({"type": "path", "closed": true, "segments": [)" + corner(x0, y0) + ", " + corner(x1, y0) + ", " +
           corner(x1, y1) + ", " + corner(x0, y1) + R"(], "fill": {"paint": )" +
           (fill.empty() ? R"(false})" : R"(true, "color": {"kind": "rgb", "values": [)" + fill + "]}}") + rest + "}";
}

// Opaque rectangles stacked so that later ones and their strokes cover most
// earlier fills (`copies` of them through pending matrices), and fills that
// show only beside a dashed stroke, a round join, a translucent fill or
// within a pixel's width; at the top level of the layer, or all inside one
// plain group, which draws every member in full and in one piece.
std::unique_ptr<Document> stack(bool grouped, int copies) {
    const std::string stroke = R"(, "stroke": {"paint": true, "color": {"kind": "gray", "values": [0.8]}, "width": )";
    std::vector<std::string> art;
    for (int i = 0; i < 30; ++i) {
        const double x = 10 + i % 10, y = 10 + i / 10;
        art.push_back(rectangle(x, y, x + 50, y + 40, std::to_string(0.03 * i) + ", 0.5, 0.3", stroke + "3}"));
    }
    art.push_back(rectangle(120, 8, 150, 12, "0.9, 0.1, 0.1", ""));
    art.push_back(rectangle(100, 10, 190, 60, "", stroke + R"(10, "dash": [4, 2]})"));
    art.push_back(rectangle(95.5, 65.5, 97.5, 67.5, "0.9, 0.1, 0.1", ""));
    art.push_back(rectangle(100, 70, 190, 115, "", stroke + R"(10, "join": "round"})"));
    art.push_back(rectangle(10, 80, 40, 100, "0.9, 0.1, 0.1", ""));
    art.push_back(rectangle(5, 75, 45, 105, "0.1, 0.1, 0.9", R"(, "opacity": 0.5)"));
    art.push_back(rectangle(60.1, 80, 80, 100, "0.9, 0.1, 0.1", ""));
    art.push_back(rectangle(60.3, 75, 90, 105, "0.1, 0.9, 0.1", ""));
    std::string list;
    for (const std::string& a : art) list += (list.empty() ? "" : ",\n") + a;
    if (grouped) list = R"({"type": "group", "children": [)" + list + "]}";
    auto doc = read(R"({"format": "easel-document", "version": 1, "page": {"width": 200, "height": 120},
      "layers": [{"name": "on", "art": [)" + list + "]}]}");
    if (!doc) return doc;
    Layer* layer = doc->layerFromBottom(0);
    Art* src = grouped ? layer->firstArt()->firstChild() : layer->firstArt();
    Art* top = grouped ? layer->firstArt()->firstChild()->next()->next() : src->next()->next();
    for (int i = 1; i <= copies; ++i) {
        Art* c = nullptr;
        doc->duplicateArt(src, kPlaceAbove, top, &c);
        const auto step = static_cast<float>(i % 60);
        doc->transformArt(c, AIRealMatrix{1, 0, 0, 1, 0.7f * step, 0.9f * step + 0.13f * static_cast<float>(i / 60)}, 1,
                          kTransformObjects);
        top = c;
    }
    return doc;
}

// With thousands of copies the top level is drawn in bands, one thread each.
TEST(RenderDocument, FillsLeftOutUnderOpaquePaintChangeNoPixel) {
    for (const int copies : {12, 5000}) {
        const auto flat = stack(false, copies), grouped = stack(true, copies);
        ASSERT_TRUE(flat && grouped);
        for (const RenderSize size : {RenderSize{300, 0}, RenderSize{0, 1.7}}) {
            SCOPED_TRACE(std::to_string(copies) + " copies, width " + std::to_string(size.width));
            Image a, b;
            std::string error;
            ASSERT_TRUE(renderDocument(*flat, size, a, error)) << error;
            ASSERT_TRUE(renderDocument(*grouped, size, b, error)) << error;
            EXPECT_GT(inkedPixels(a), 0u);
            EXPECT_TRUE(a.rgba == b.rgba);
        }
    }
}

// A red page-sized rectangle clipped by an even-odd ring, and beside it a
// painted ring: drawn directly and by librsvg from the SVG, each shows
// inside its ring only (every member of the ring counts).
TEST(RenderDocument, ClipGroupsAndCompoundsPaintTheirRingsOnly) {
    auto ring = [](double x, double y, const std::string& fill) {
        const std::string eo = R"(, "evenOdd": true)";
        return R"({"type": "compound", "evenOdd": true, "children": [)" + rectangle(x, y, x + 100, y + 100, fill, eo) +
               ", " + rectangle(x + 30, y + 30, x + 70, y + 70, fill, eo) + "]}";
    };
    auto doc = read(R"({"format": "easel-document", "version": 1, "page": {"width": 300, "height": 200},
      "layers": [{"name": "on", "art": [{"type": "group", "clipped": true, "children": [)" +
                    rectangle(0, 0, 300, 200, "0.9, 0.1, 0.1", "") + ", " + ring(30, 50, "") + "]}, " +
                    ring(180, 50, "0.1, 0.1, 0.9") + "]}]}");
    ASSERT_TRUE(doc);
    Image direct, viaSvg;
    std::string error;
    ASSERT_TRUE(renderDocument(*doc, RenderSize{300, 0}, direct, error)) << error;
    ASSERT_TRUE(renderSvg(writeSvg(*doc), RenderSize{300, 0}, viaSvg, error)) << error;
    ASSERT_EQ(direct.width, 300);
    for (const Image* im : {&direct, &viaSvg}) {
        SCOPED_TRACE(im == &direct ? "drawn directly" : "drawn from the SVG");
        auto alpha = [&](int x, int y) { return im->rgba[(static_cast<size_t>(200 - y) * 300 + x) * 4 + 3]; };
        for (const int x : {30, 180}) {
            EXPECT_EQ(alpha(x - 15, 100), 0);   // outside the ring
            EXPECT_EQ(alpha(x + 50, 100), 0);   // in its hole
            EXPECT_EQ(alpha(x + 15, 100), 255);
            EXPECT_EQ(alpha(x + 50, 140), 255);
        }
        EXPECT_EQ(alpha(150, 20), 0);
    }
    EXPECT_LT(test::pictureDifference(direct, viaSvg), 0.004);
}

TEST(RenderDocument, RefusesASizeOutOfRange) {
    auto doc = styled();
    Image im;
    std::string error;
    EXPECT_FALSE(renderDocument(*doc, RenderSize{100000, 0}, im, error));
    EXPECT_NE(error.find("out of range"), std::string::npos) << error;
    // Text is drawn only at a size the font rasteriser takes: the largest
    // font size through a matrix that magnifies it 1000 times is refused.
    const std::string text = R"({"format": "easel-document", "version": 1, "page": {"width": 200, "height": 200},
      "layers": [{"name": "L", "art": [{"id": 4, "type": "text", "text": "Hi", "fontSize": 10000,
                                        "matrix": [1000, 0, 0, 1000, 10, 10]}]}]})";
    ASSERT_TRUE(readDocumentJson(text, doc, error)) << error;
    error.clear();
    EXPECT_FALSE(renderDocument(*doc, RenderSize{0, 1}, im, error));
    EXPECT_NE(error.find("text 4 would be drawn 13333333 pixels high, past 30000"), std::string::npos) << error;
}

}  // namespace
}  // namespace easel
