// Envelopes in SVG: drawn with their warped geometry, read back with their
// unwarped contents and their warp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "DocumentJson.h"
#include "Render.h"
#include "SvgExport.h"
#include "SvgImport.h"
#include "Warp.h"

namespace easel {
namespace {

// An arc-warped envelope holding one of every kind of art, with a twisted
// envelope inside it.
const char* const kWarped = R"({
 "format": "easel-document", "version": 1, "seed": 3,
 "page": {"width": 240, "height": 200},
 "layers": [{"name": "Warped", "art": [
  {"id": 10, "type": "envelope", "warp": {"style": 1, "bend": 0.5, "horizontal": 0.2, "vertical": 0,
   "rotate90": false}, "children": [
   {"id": 11, "type": "path", "closed": true,
    "segments": [[50, 50, 50, 50, 50, 50, 1], [150, 50, 150, 50, 150, 50, 1], [150, 150, 150, 150, 150, 150, 1],
                 [50, 150, 50, 150, 50, 150, 1]],
    "fill": {"paint": true, "color": {"kind": "rgb", "values": [1, 0, 0]}},
    "stroke": {"paint": true, "color": {"kind": "gray", "values": [1]}, "width": 1}},
   {"id": 12, "type": "compound", "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}},
    "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}, "children": [
     {"id": 13, "type": "path", "closed": true,
      "segments": [[60, 60, 60, 60, 60, 60, 1], [90, 60, 90, 60, 90, 60, 1], [75, 90, 70, 90, 80, 90, 0]],
      "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}},
      "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}},
     {"id": 14, "type": "path", "closed": false,
      "segments": [[100, 60, 95, 55, 110, 70, 0], [130, 90, 130, 90, 130, 90, 1]],
      "fill": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}},
      "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}}]},
   {"id": 15, "type": "text", "text": "Warp", "fontSize": 20, "matrix": [1, 0, 0, 1, 60, 120],
    "fill": {"paint": true, "color": {"kind": "gray", "values": [0.2]}},
    "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}},
   {"id": 16, "type": "image", "href": "pictures/cat.png", "width": 40, "height": 30,
    "matrix": [1, 0, 0, 1, 100, 100], "opacity": 0.5, "blend": "multiply"},
   {"id": 17, "type": "symbol", "symbol": "star", "width": 12, "height": 12, "matrix": [2, 0, 0, 2, 70, 70]},
   {"id": 18, "type": "envelope", "warp": {"style": 15, "bend": 0.3, "horizontal": 0, "vertical": 0,
    "rotate90": true}, "children": [
     {"id": 19, "type": "path", "closed": false,
      "segments": [[80, 140, 80, 140, 100, 160, 0], [140, 140, 120, 120, 140, 140, 1]],
      "fill": {"paint": false, "color": {"kind": "none"}},
      "stroke": {"paint": true, "color": {"kind": "rgb", "values": [0, 1, 0]}, "width": 2}}]},
   {"id": 20, "type": "textpath", "closed": false, "text": "along",  "fontSize": 9,
    "segments": [[55, 75, 55, 75, 75, 95, 0], [145, 75, 125, 55, 145, 75, 0]],
    "fill": {"paint": true, "color": {"kind": "rgb", "values": [0.1, 0.2, 0.3]}},
    "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}}]}]}]
})";

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

struct Command {
    char op;
    std::vector<AIRealPoint> points;
};

// Path data as written by the export: absolute M, L, C and Z.
std::vector<Command> parsePath(const std::string& d) {
    std::vector<Command> out;
    const char* s = d.c_str();
    while (*s) {
        while (*s == ' ') ++s;
        if (!*s) break;
        Command c{*s++, {}};
        const int n = c.op == 'M' || c.op == 'L' ? 1 : c.op == 'C' ? 3 : 0;
        for (int i = 0; i < n; ++i) {
            char* end = nullptr;
            const float h = std::strtof(s, &end);
            const float v = std::strtof(end, &end);
            s = end;
            c.points.push_back(AIRealPoint{h, v});
        }
        out.push_back(c);
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

class WarpedSvg : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(readDocumentJson(kWarped, doc_, error)) << error;
        json_ = writeDocumentJson(*doc_);
        svg_ = writeSvg(*doc_);
    }
    std::unique_ptr<Document> readBack(const std::string& svg) {
        std::unique_ptr<Document> d;
        std::string error;
        SvgReport report;
        EXPECT_TRUE(readSvg(svg, d, report, error)) << error;
        EXPECT_TRUE(report.empty()) << report.text();
        return d;
    }

    // Checks that path data d draws exactly the segments (closing side
    // included when closed).
    static void expectDraws(const std::string& d, const std::vector<std::vector<AIPathSegment>>& contours,
                            const std::vector<bool>& closed) {
        const std::vector<Command> cmds = parsePath(d);
        size_t k = 0;
        for (size_t c = 0; c < contours.size(); ++c) {
            const auto& segs = contours[c];
            ASSERT_LT(k, cmds.size());
            ASSERT_EQ(cmds[k].op, 'M');
            EXPECT_EQ(cmds[k].points[0].h, segs[0].p.h);
            EXPECT_EQ(cmds[k].points[0].v, segs[0].p.v);
            ++k;
            const size_t sides = closed[c] ? segs.size() : segs.size() - 1;
            for (size_t i = 1; i <= sides && k < cmds.size() && cmds[k].op != 'Z'; ++i, ++k) {
                const AIPathSegment& from = segs[i - 1];
                const AIPathSegment& to = segs[i % segs.size()];
                const Command& cmd = cmds[k];
                SCOPED_TRACE("contour " + std::to_string(c) + " side " + std::to_string(i));
                if (cmd.op == 'C') {
                    EXPECT_EQ(cmd.points[0].h, from.out.h);
                    EXPECT_EQ(cmd.points[0].v, from.out.v);
                    EXPECT_EQ(cmd.points[1].h, to.in.h);
                    EXPECT_EQ(cmd.points[1].v, to.in.v);
                } else {
                    ASSERT_EQ(cmd.op, 'L');
                    EXPECT_TRUE(from.out.h == from.p.h && from.out.v == from.p.v && to.in.h == to.p.h &&
                                to.in.v == to.p.v);
                }
                EXPECT_EQ(cmd.points.back().h, to.p.h);
                EXPECT_EQ(cmd.points.back().v, to.p.v);
            }
            if (closed[c]) {
                ASSERT_LT(k, cmds.size());
                EXPECT_EQ(cmds[k].op, 'Z');
                ++k;
            }
        }
        EXPECT_EQ(k, cmds.size());
    }

    std::unique_ptr<Document> doc_;
    std::string json_;
    std::string svg_;
};

TEST_F(WarpedSvg, PathDataIsTheWarpedGeometry) {
    WarpedGeometry geometry;
    const Art* square = doc_->findById(11);
    std::vector<AIPathSegment> warped;
    ASSERT_TRUE(geometry.path(*square, warped));
    // The arc bends the square's sides: more anchors than the four stored.
    ASSERT_GT(warped.size(), 4u);
    const std::string element = elementLine(svg_, 11);
    expectDraws(attr(element, "d"), {warped}, {true});
    // The stored square is kept beside it.
    expectDraws(attr(element, "data-easel-d"), {square->segments()}, {true});

    // Nested envelopes: both warps act, the inner one first.
    const Art* inner = doc_->findById(19);
    ASSERT_TRUE(geometry.path(*inner, warped));
    expectDraws(attr(elementLine(svg_, 19), "d"), {warped}, {false});
}

TEST_F(WarpedSvg, CompoundPathDrawsEveryMemberWarped) {
    WarpedGeometry geometry;
    std::vector<AIPathSegment> a, b;
    ASSERT_TRUE(geometry.path(*doc_->findById(13), a));
    ASSERT_TRUE(geometry.path(*doc_->findById(14), b));
    const std::string element = elementLine(svg_, 12);
    ASSERT_NE(attr(element, "data-easel-type"), "");
    expectDraws(attr(element, "d"), {a, b}, {true, false});
}

TEST_F(WarpedSvg, TextAndSymbolFollowTheWarpAtTheirCentre) {
    WarpedGeometry geometry;
    for (int id : {15, 17}) {
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
        const WarpPoint want = geometry.chainOf(*art).map(page);
        EXPECT_NEAR(h, want.h, 1e-3);
        EXPECT_NEAR(v, want.v, 1e-3);
        EXPECT_GT(std::hypot(want.h - page.h, want.v - page.v), 1.0) << "the warp should move this art";
    }
}

TEST_F(WarpedSvg, ImageIsDrawnInPiecesFromItsUnwarpedDefinition) {
    const std::string image = elementLine(svg_, 16);
    EXPECT_NE(image.find("<image id=\"easel-image-16\""), std::string::npos);
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
    for (size_t at = svg_.find("href=\"#easel-image-16\""); at != std::string::npos;
         at = svg_.find("href=\"#easel-image-16\"", at + 1))
        ++pieces;
    EXPECT_GE(pieces, 2u);
    // Corners of the image: the first piece's affine puts the image's
    // bottom left (page 100, 100) where the warp takes it.
    const size_t first = svg_.find("<use href=\"#easel-image-16\"");
    ASSERT_NE(first, std::string::npos);
    const std::string use = svg_.substr(first, svg_.find('>', first) - first);
    const std::vector<double> a = parseMatrix(attr(use, "transform"));
    ASSERT_EQ(a.size(), 6u);
    WarpedGeometry geometry;
    std::vector<AIRealPoint> mesh;
    ASSERT_TRUE(geometry.mesh(*doc_->findById(16), 1, 1, mesh));
    EXPECT_NEAR(a[0] * 100 + a[2] * 100 + a[4], mesh[0].h, 1e-3);
    EXPECT_NEAR(a[1] * 100 + a[3] * 100 + a[5], mesh[0].v, 1e-3);
}

TEST_F(WarpedSvg, JsonToSvgToJsonKeepsWarpAndOriginalContents) {
    auto back = readBack(svg_);
    ASSERT_TRUE(back);
    EXPECT_EQ(writeDocumentJson(*back), json_);
    // And the other way: the SVG written again is the same.
    EXPECT_EQ(writeSvg(*back), svg_);
}

TEST_F(WarpedSvg, ReleaseAfterTheRoundTripGivesTheOriginalGeometry) {
    auto back = readBack(svg_);
    ASSERT_TRUE(back);
    Art* envelope = back->findById(10);
    ASSERT_TRUE(envelope);
    EXPECT_EQ(envelope->warp().style, 1);
    EXPECT_EQ(envelope->warp().bend, 0.5f);
    ASSERT_EQ(back->releaseEnvelope(envelope), kNoErr);
    const Art* square = back->findById(11);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->parent(), nullptr);
    const auto segs = square->segments();
    const auto want = doc_->findById(11)->segments();
    ASSERT_EQ(segs.size(), want.size());
    for (size_t i = 0; i < segs.size(); ++i) {
        EXPECT_EQ(segs[i].p.h, want[i].p.h);
        EXPECT_EQ(segs[i].p.v, want[i].p.v);
    }
    AIRealRect bounds{};
    ASSERT_EQ(back->bounds(square, &bounds), kNoErr);
    EXPECT_EQ(bounds.left, 50);
    EXPECT_EQ(bounds.top, 150);
    const Art* text = back->findById(15);
    EXPECT_EQ(text->objectMatrix().tx, 60);
    EXPECT_EQ(text->objectMatrix().ty, 120);
    // Released contents are written unwarped.
    const std::string released = writeSvg(*back);
    EXPECT_EQ(attr(elementLine(released, 11), "data-easel-d"), "");
    EXPECT_EQ(attr(elementLine(released, 11), "d"), "M50 50 L150 50 L150 150 L50 150 Z");
    EXPECT_EQ(released.find("warped-image"), std::string::npos);
}

TEST_F(WarpedSvg, KeptGeometryCountsOnlyInsideAnEnvelope) {
    // Art moved out of its envelope in another editor: what it shows wins.
    const std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100pt\" height=\"100pt\" viewBox=\"0 0 100 100\">"
        "<path d=\"M0 0 L10 0 L10 10 Z\" data-easel-d=\"M50 50 L60 50 L60 60 Z\"/>"
        "<text transform=\"matrix(1 0 0 1 5 5)\" data-easel-transform=\"matrix(1 0 0 1 70 70)\">t</text></svg>";
    auto d = readBack(svg);
    ASSERT_TRUE(d);
    AIRealRect r{};
    ASSERT_EQ(d->bounds(d->layerFromBottom(0)->firstArt(), &r), kNoErr);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 10);
    const Art* text = d->layerFromBottom(0)->firstArt()->next();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->objectMatrix().tx, 5);
}

TEST(WarpedSvgRender, WarpedSquareDiffersFromTheUnwarpedOne) {
    auto document = [](int style, float bend) {
        const std::string json =
            R"({"format": "easel-document", "version": 1, "page": {"width": 200, "height": 200},
              "layers": [{"name": "L", "art": [{"type": "envelope", "warp": {"style": )" +
            std::to_string(style) + R"(, "bend": )" + std::to_string(bend) +
            R"(, "horizontal": 0, "vertical": 0, "rotate90": false}, "children": [{"type": "path", "closed": true,
                "segments": [[50,50,50,50,50,50,1],[150,50,150,50,150,50,1],[150,150,150,150,150,150,1],
                             [50,150,50,150,50,150,1]],
                "fill": {"paint": true, "color": {"kind": "rgb", "values": [1, 0, 0]}},
                "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}}]}]}]})";
        std::unique_ptr<Document> d;
        std::string error;
        EXPECT_TRUE(readDocumentJson(json, d, error)) << error;
        return d;
    };
    // Arch: top and bottom bow upwards together.
    auto flat = document(4, 0);
    auto arc = document(4, 0.5f);
    ASSERT_TRUE(flat && arc);
    Image a, b;
    std::string error;
    ASSERT_TRUE(renderSvgFitted(writeSvg(*flat), 200, 200, a, error)) << error;
    ASSERT_TRUE(renderSvgFitted(writeSvg(*arc), 200, 200, b, error)) << error;
    ASSERT_EQ(a.rgba.size(), b.rgba.size());
    size_t differing = 0;
    for (size_t i = 3; i < a.rgba.size(); i += 4) {
        if (std::abs(int{a.rgba[i]} - int{b.rgba[i]}) > 128) ++differing;
    }
    EXPECT_GT(differing, size_t{200 * 200 / 50});

    // Where the warp takes the square's top middle, the warped picture is
    // red just inside and the flat one is empty there.
    WarpedGeometry geometry;
    const Art* square = arc->layerFromBottom(0)->firstArt()->firstChild();
    const WarpPoint top = geometry.chainOf(*square).map({100, 150});
    ASSERT_GT(top.v, 155.0);
    auto alpha = [](const Image& im, double h, double v) {
        const int x = static_cast<int>(h), y = static_cast<int>(200 - v);
        return im.rgba[(static_cast<size_t>(y) * 200 + static_cast<size_t>(x)) * 4 + 3];
    };
    EXPECT_EQ(alpha(b, top.h, top.v - 2), 255);
    EXPECT_EQ(alpha(a, top.h, top.v - 2), 0);
}

}  // namespace
}  // namespace easel
