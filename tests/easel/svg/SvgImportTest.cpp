#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/Document.h"
#include "io/svg/SvgImport.h"

namespace easel {
namespace {

// A 100 x 100 point page whose user units are points: model (x, 100 - y).
std::string page(const std::string& body, const std::string& rootExtra = "") {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"100pt\" height=\"100pt\" viewBox=\"0 0 100 100\"" +
           rootExtra + ">" + body + "</svg>";
}

class SvgImport : public ::testing::Test {
protected:
    Document& read(const std::string& svg) {
        std::string error;
        report_ = {};
        const bool ok = readSvg(svg, doc_, report_, error);
        EXPECT_TRUE(ok) << error;
        if (!ok) doc_ = newDocument();
        return *doc_;
    }
    std::string refused(const std::string& svg, const SvgLimits& limits = {}) {
        std::string error;
        SvgReport rep;
        std::unique_ptr<Document> d;
        EXPECT_FALSE(readSvg(svg, d, rep, error, limits));
        EXPECT_EQ(d, nullptr);
        return error;
    }
    // The art of the document in order (bottom layer first, containers
    // before their members).
    std::vector<Art*> all() {
        std::vector<Art*> v;
        doc_->forEachArt([&](Art* a) { v.push_back(a); });
        return v;
    }
    Art* only() {
        auto v = all();
        EXPECT_EQ(v.size(), 1u);
        return v.empty() ? nullptr : v[0];
    }
    bool reported(const std::string& words) const {
        for (const std::string& n : report_.notes) {
            if (n.find(words) != std::string::npos) return true;
        }
        return false;
    }
    static void expectPoint(const AIRealPoint& p, float h, float v) {
        EXPECT_NEAR(p.h, h, 1e-4f);
        EXPECT_NEAR(p.v, v, 1e-4f);
    }

    std::unique_ptr<Document> doc_;
    SvgReport report_;
};

TEST_F(SvgImport, PageSizeInPointsAndTheVerticalAxisFlipped) {
    Document& d = read(page("<rect x=\"10\" y=\"20\" width=\"30\" height=\"40\"/>"));
    EXPECT_EQ(d.width(), 100.0f);
    EXPECT_EQ(d.height(), 100.0f);
    Art* r = only();
    ASSERT_EQ(r->type(), kPathArt);
    ASSERT_EQ(r->segmentCount(), 4u);
    EXPECT_TRUE(r->closed());
    expectPoint(r->segment(0).p, 10, 80);
    expectPoint(r->segment(1).p, 40, 80);
    expectPoint(r->segment(2).p, 40, 40);
    expectPoint(r->segment(3).p, 10, 40);
    EXPECT_TRUE(r->segment(0).corner);
    // SVG's default paint: black fill, no stroke.
    EXPECT_TRUE(r->style().fillPaint);
    EXPECT_FALSE(r->style().strokePaint);
    EXPECT_EQ(r->style().fill.color.kind, kThreeColor);
    EXPECT_EQ(r->style().fill.color.c[0], 0.0f);
}

TEST_F(SvgImport, PixelSizesAreThreeQuartersOfAPoint) {
    Document& d = read("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16px\" height=\"32\" viewBox=\"0 0 8 16\">"
                       "<path d=\"M8 16 L0 0\"/></svg>");
    EXPECT_EQ(d.width(), 12.0f);
    EXPECT_EQ(d.height(), 24.0f);
    Art* p = only();
    expectPoint(p->segment(0).p, 12, 0);
    expectPoint(p->segment(1).p, 0, 24);
}

TEST_F(SvgImport, ViewBoxIsFittedAndCentred) {
    // A 200 x 100 viewBox in a 100 x 100 page: scale 0.5, moved down 25.
    read("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100pt\" height=\"100pt\" viewBox=\"0 0 200 100\">"
         "<path d=\"M0 0 L200 100\"/></svg>");
    Art* p = only();
    expectPoint(p->segment(0).p, 0, 75);
    expectPoint(p->segment(1).p, 100, 25);
}

TEST_F(SvgImport, RelativeAndAbsoluteCommandsAgree) {
    read(page("<path d=\"M10 10 L20 10 H30 V20 C30 30 20 30 20 20 S10 10 10 20 Q5 25 10 30 T10 40 Z\"/>"
              "<path d=\"m10 10 l10 0 h10 v10 c0 10 -10 10 -10 0 s-10 -10 -10 0 q-5 5 0 10 t0 10 z\"/>"));
    auto v = all();
    ASSERT_EQ(v.size(), 2u);
    ASSERT_EQ(v[0]->segmentCount(), v[1]->segmentCount());
    for (size_t i = 0; i < v[0]->segmentCount(); ++i) {
        const AIPathSegment a = v[0]->segment(i), b = v[1]->segment(i);
        expectPoint(b.p, a.p.h, a.p.v);
        expectPoint(b.in, a.in.h, a.in.v);
        expectPoint(b.out, a.out.h, a.out.v);
    }
    // S reflects the previous control point: (20, 30) about (20, 20).
    expectPoint(v[0]->segment(4).out, 20, 100 - 10);
    // A quadratic becomes the cubic with control points 2/3 of the way.
    expectPoint(v[0]->segment(5).out, 10 - 5 * 2.0f / 3, 100 - (20 + 5 * 2.0f / 3));
}

TEST_F(SvgImport, ArcsBecomeCurvesOnTheCircle) {
    // A half circle of radius 10 from (40, 50) to (60, 50) through (50, 40).
    read(page("<path d=\"M40 50 A10 10 0 0 1 60 50\"/>"));
    Art* p = only();
    ASSERT_EQ(p->segmentCount(), 3u);  // two quarter curves
    expectPoint(p->segment(1).p, 50, 60);
    expectPoint(p->segment(2).p, 60, 50);
    // Control point of the first quarter: kappa times the radius up.
    expectPoint(p->segment(0).out, 40, 50 + 10 * 0.5522848f);
    EXPECT_FALSE(p->segment(1).corner);
}

TEST_F(SvgImport, ArcFlagsWrittenWithoutSeparators) {
    read(page("<path d=\"M10 50a10 10 0 1160 0\"/>"));
    Art* p = only();
    // The radius grows to reach the end point; the path ends where asked.
    expectPoint(p->segment(p->segmentCount() - 1).p, 70, 50);
}

TEST_F(SvgImport, ClosingOnTheFirstAnchorMergesIt) {
    read(page("<path d=\"M10 10 C20 0 30 0 40 10 C30 20 20 20 10 10 Z\"/>"));
    Art* p = only();
    ASSERT_EQ(p->segmentCount(), 2u);
    EXPECT_TRUE(p->closed());
    expectPoint(p->segment(0).in, 20, 80);
}

TEST_F(SvgImport, SeveralSubpathsMakeACompoundPathWithItsFillRule) {
    read(page("<path fill-rule=\"evenodd\" fill=\"#ff0000\" d=\"M0 0 H50 V50 H0 Z M10 10 H40 V40 H10 Z\"/>"));
    auto v = all();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0]->type(), kCompoundPathArt);
    EXPECT_TRUE(v[0]->style().evenOdd);
    EXPECT_EQ(v[1]->parent(), v[0]);
    EXPECT_EQ(v[1]->segmentCount(), 4u);
    EXPECT_EQ(v[2]->segmentCount(), 4u);
    EXPECT_EQ(v[1]->style().fill.color.c[0], 1.0f);
}

TEST_F(SvgImport, MalformedPathDataKeepsWhatCameBefore) {
    read(page("<path d=\"M10 10 L20 20 L30 x L40 40\"/>"));
    Art* p = only();
    EXPECT_EQ(p->segmentCount(), 2u);
    EXPECT_TRUE(reported("path data error"));
}

TEST_F(SvgImport, CompressedFilesAreInflatedWithinTheLimit) {
    // gzip of a 10 x 10 pixel page holding a 4 x 4 rect (2,100 bytes inflated)
    const char gz[] =
        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xb3\x29\x2e\x4b\x57\xa8\xc8\xcd\xc9\x2b\xb6\x55\xca\x28"
        "\x29\x29\xb0\xd2\xd7\x2f\x2f\x2f\xd7\x2b\x37\xd6\xcb\x2f\x4a\xd7\x37\x32\x30\x30\xd0\x07\xaa\x50"
        "\x52\x28\xcf\x4c\x29\xc9\xb0\x55\x32\x34\x50\x52\xc8\x48\xcd\x4c\xcf\x28\x01\xb3\xed\x14\x46\xc1"
        "\x28\x18\x05\xa3\x60\x14\x8c\x82\x51\x30\xe4\x81\x4d\x51\x6a\x72\x09\xac\xb2\x37\x41\xd4\xf5\x26"
        "\x4a\xfa\x76\x36\xa0\x96\x80\x1d\x00\xf3\xd5\xac\x38\x31\x08\x00\x00";
    const std::string svgz(gz, sizeof gz - 1);
    read(svgz);
    EXPECT_EQ(doc_->width(), 7.5f);
    Art* rect = only();
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->segmentCount(), 4u);
    EXPECT_NE(refused(svgz.substr(0, 40)).find("ends early"), std::string::npos);
    SvgLimits small;
    small.maxBytes = 1000;
    EXPECT_NE(refused(svgz, small).find("inflates past 1000 bytes (the limit)"), std::string::npos);
}

TEST_F(SvgImport, EveryBasicShape) {
    read(page("<circle cx=\"50\" cy=\"50\" r=\"10\"/><ellipse cx=\"50\" cy=\"50\" rx=\"20\" ry=\"5\"/>"
              "<line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"10\" stroke=\"red\"/>"
              "<polyline points=\"0,0 10,0 10,10\"/><polygon points=\"0 0 10 0 10 10\"/>"
              "<rect x=\"0\" y=\"0\" width=\"20\" height=\"10\" rx=\"5\"/>"));
    auto v = all();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0]->segmentCount(), 4u);
    EXPECT_TRUE(v[0]->closed());
    expectPoint(v[1]->segment(0).p, 70, 50);
    EXPECT_FALSE(v[2]->closed());
    EXPECT_TRUE(v[2]->style().strokePaint);
    EXPECT_FALSE(v[3]->closed());
    EXPECT_TRUE(v[4]->closed());
    EXPECT_EQ(v[5]->segmentCount(), 8u);  // four sides, four rounded corners
    expectPoint(v[5]->segment(0).p, 5, 100);
}

TEST_F(SvgImport, NestedTransformsCompose) {
    read(page("<g transform=\"translate(10 20)\"><g transform=\"scale(2)\">"
              "<path transform=\"rotate(90)\" d=\"M5 0 L5 1\" stroke=\"#000\" stroke-width=\"3\"/></g></g>"));
    // The outer group is a layer.
    auto v = all();
    ASSERT_EQ(v.size(), 2u);
    Art* p = v[1];
    // rotate: (5, 0) -> (0, 5); scale: (0, 10); translate: (10, 30); flip: (10, 70).
    expectPoint(p->segment(0).p, 10, 70);
    EXPECT_NEAR(p->style().stroke.width, 6.0f, 1e-5f);
}

TEST_F(SvgImport, StyleCascade) {
    read(page("<style>path { fill: blue } .warm { fill: orange; stroke: red } #me { fill: lime }</style>"
              "<g fill=\"#123456\" stroke-width=\"4\">"
              "<path d=\"M0 0 L1 1\"/>"
              "<path class=\"warm\" d=\"M0 0 L1 1\"/>"
              "<path id=\"me\" class=\"warm\" fill=\"black\" d=\"M0 0 L1 1\"/>"
              "<path id=\"me2\" class=\"warm\" style=\"fill: rgb(1,2,3); stroke:none\" d=\"M0 0 L1 1\"/>"
              "<rect width=\"1\" height=\"1\"/></g>"));
    auto v = all();
    ASSERT_EQ(v.size(), 5u);  // the group is a layer
    v.insert(v.begin(), nullptr);
    auto fill8 = [](Art* a) {
        const AIColor& c = a->style().fill.color;
        return std::to_string(static_cast<int>(c.c[0] * 255 + 0.5f)) + "," +
               std::to_string(static_cast<int>(c.c[1] * 255 + 0.5f)) + "," +
               std::to_string(static_cast<int>(c.c[2] * 255 + 0.5f));
    };
    EXPECT_EQ(fill8(v[1]), "0,0,255");      // the type rule beats the inherited fill
    EXPECT_EQ(fill8(v[2]), "255,165,0");    // a class beats a type
    EXPECT_EQ(fill8(v[3]), "0,255,0");      // an id beats a class and the attribute
    EXPECT_EQ(fill8(v[4]), "1,2,3");        // the style attribute beats every rule
    EXPECT_FALSE(v[4]->style().strokePaint);
    EXPECT_EQ(fill8(v[5]), "18,52,86");     // inherited from the group
    EXPECT_EQ(v[5]->style().stroke.width, 4.0f);
}

TEST_F(SvgImport, OpacityBlendAndCurrentColour) {
    read(page("<g opacity=\"0.5\" style=\"mix-blend-mode: multiply\" color=\"teal\">"
              "<path fill=\"currentColor\" fill-opacity=\"0.5\" d=\"M0 0 L1 1\"/>"
              "<path fill=\"rgba(255,0,0,0.5)\" d=\"M0 0 L1 1\"/></g>"));
    auto v = all();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_FLOAT_EQ(v[0]->opacity(), 0.5f);
    EXPECT_EQ(v[0]->blendMode(), kAIMultiplyBlendingMode);
    EXPECT_FLOAT_EQ(v[1]->opacity(), 0.5f);
    EXPECT_NEAR(v[1]->style().fill.color.c[1], 128.0f / 255, 1e-6f);
    EXPECT_FLOAT_EQ(v[2]->opacity(), 0.5f);
}

TEST_F(SvgImport, TopLevelGroupsAreLayers) {
    Document& d = read(page("<path d=\"M0 0 L1 1\"/>"
                            "<g id=\"Sky\"><path d=\"M0 0 L1 1\"/><path d=\"M0 0 L1 1\"/></g>"
                            // Editor settings between layers make no layer.
                            "<sodipodi:namedview xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\"/>"
                            "<g inkscape:label=\"Ground\" xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\">"
                            "<path d=\"M0 0 L1 1\"/></g>"));
    ASSERT_EQ(d.layerCount(), 3u);
    EXPECT_EQ(d.layerFromBottom(0)->name(), "Layer 1");
    EXPECT_EQ(d.layerFromBottom(1)->name(), "Sky");
    EXPECT_EQ(d.layerFromBottom(2)->name(), "Ground");
    EXPECT_EQ(d.layerFromBottom(1)->firstArt()->next(), d.layerFromBottom(1)->lastArt());
}

TEST_F(SvgImport, ArtTheFileGivesNoIdNeverSharesOneTheFileGives) {
    // The group's id is read after its members are made; the member without
    // one (and the compound whose parts list cannot be read) must not keep
    // an id the file gives other art.
    read(page("<g data-easel-id=\"2\"><path d=\"M0 0 L1 1\"/>"
              "<path data-easel-type=\"compound\" data-easel-id=\"4\" data-easel-parts=\"[{&quot;x\" "
              "d=\"M0 0 L1 0 L1 1 Z M2 2 L3 2 L3 3 Z\"/></g>"));
    std::vector<int64_t> ids;
    for (const Art* a : all()) ids.push_back(a->id());
    ASSERT_EQ(ids.size(), 5u);
    EXPECT_EQ(ids[0], 2);  // the group keeps the file's
    EXPECT_EQ(ids[2], 4);  // and so does the compound
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());

    // Ids repeated in rising order and after one out of order: the repeats
    // take new ones.
    read(page("<path data-easel-id=\"5\" d=\"M0 0\"/><path data-easel-id=\"5\" d=\"M0 0\"/>"
              "<path data-easel-id=\"3\" d=\"M0 0\"/><path data-easel-id=\"3\" d=\"M0 0\"/>"));
    ids.clear();
    for (const Art* a : all()) ids.push_back(a->id());
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids[0], 5);
    EXPECT_EQ(ids[2], 3);
    EXPECT_TRUE(reported("art id \"5\" not usable"));
    EXPECT_TRUE(reported("art id \"3\" not usable"));
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST_F(SvgImport, HiddenElementsAreHiddenArt) {
    read(page("<g><path display=\"none\" d=\"M0 0 L1 1\"/><g visibility=\"hidden\"><path d=\"M0 0 L1 1\"/></g></g>"));
    auto v = all();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_TRUE(v[0]->hidden());
    EXPECT_FALSE(v[1]->hidden());
    EXPECT_TRUE(v[2]->hidden());
}

TEST_F(SvgImport, UseOfASymbolIsASymbolInstanceThatKeepsTheDefinition) {
    read(page("<defs><symbol id=\"star\" viewBox=\"0 0 10 10\"><path d=\"M0 0 L10 10\"/></symbol></defs>"
              "<use href=\"#star\" x=\"20\" y=\"30\" width=\"10\" height=\"10\"/>"));
    Art* s = only();
    ASSERT_EQ(s->type(), kSymbolArt);
    EXPECT_EQ(s->object().symbol, "star");
    EXPECT_EQ(s->object().width, 10.0f);
    // The local box's bottom-left corner lands on SVG (20, 40).
    const AIRealMatrix& m = s->objectMatrix();
    EXPECT_FLOAT_EQ(m.tx, 20);
    EXPECT_FLOAT_EQ(m.ty, 60);
    EXPECT_NE(s->extra().find("<symbol"), std::string::npos);
}

TEST_F(SvgImport, UseOfAnElementIsACopy) {
    read(page("<defs><path id=\"p\" d=\"M0 0 L10 0\"/></defs><use xlink:href=\"#p\" x=\"5\" y=\"5\" fill=\"red\"/>"
              "<use href=\"#loop\" id=\"loop\"/>"));
    auto v = all();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0]->type(), kGroupArt);
    expectPoint(v[1]->segment(1).p, 15, 95);
    EXPECT_EQ(v[1]->style().fill.color.c[0], 1.0f);
    EXPECT_TRUE(reported("refers to itself"));
}

TEST_F(SvgImport, TextAndImages) {
    read(page("<text x=\"10\" y=\"20\" font-size=\"12\" font-family=\"Sans\">Hello <tspan>world</tspan>\n </text>"
              "<image x=\"0\" y=\"0\" width=\"30\" height=\"20\" href=\"data:image/png;base64,AAAA\"/>"));
    auto v = all();
    ASSERT_EQ(v.size(), 2u);
    ASSERT_EQ(v[0]->type(), kTextArt);
    EXPECT_EQ(v[0]->object().text, "Hello world");
    EXPECT_EQ(v[0]->object().fontSize, 12.0f);
    EXPECT_FLOAT_EQ(v[0]->objectMatrix().tx, 10);
    EXPECT_FLOAT_EQ(v[0]->objectMatrix().ty, 80);
    EXPECT_NE(v[0]->extra().find("Sans"), std::string::npos);
    ASSERT_EQ(v[1]->type(), kPlacedArt);
    EXPECT_EQ(v[1]->object().href, "data:image/png;base64,AAAA");
    EXPECT_EQ(v[1]->object().width, 30.0f);
    // Its local box (0, 0)-(30, 20) maps to the page's top left corner.
    EXPECT_FLOAT_EQ(v[1]->objectMatrix().ty, 80);
}

TEST_F(SvgImport, WhatCannotBeDrawnIsReported) {
    read(page("<defs><filter id=\"f\"/><linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"#000\"/>"
              "<stop offset=\"1\" stop-color=\"#fff\"/></linearGradient></defs>"
              "<path filter=\"url(#f)\" d=\"M0 0 L1 1\"/><path fill=\"url(#g)\" d=\"M0 0 L1 1\"/>"
              "<path clip-path=\"url(#c)\" d=\"M0 0 L1 1\"/><foreignObject/><title>t</title><script>x()</script>"
              "<metadata onload=\"x()\"/><path onclick=\"x()\" d=\"M0 0 L1 1\"/>"));
    EXPECT_EQ(all().size(), 4u);
    // The filter is kept with its art; the clip path it names is missing.
    EXPECT_FALSE(reported("filter"));
    EXPECT_NE(all()[0]->effectSpace(), nullptr);
    EXPECT_TRUE(reported("clip-path \"url(#c)\" not found"));
    // What is kept and written back is not reported; scripts are refused.
    EXPECT_FALSE(reported("<foreignObject>"));
    EXPECT_FALSE(reported("<title>"));
    EXPECT_TRUE(reported("skipped <script>"));
    EXPECT_TRUE(reported("skipped <metadata> with event handlers"));
    EXPECT_TRUE(reported("event handler attributes"));
    EXPECT_EQ(doc_->svgKept().find("onload"), std::string::npos);
    EXPECT_EQ(all()[3]->extra().find("onclick"), std::string::npos);
    EXPECT_EQ(all()[1]->style().fill.color.kind, kGradientColor);
    EXPECT_FALSE(reported("gradient"));
}

// A gradient transform that flattens the gradient to a line paints nothing:
// renderers draw the paint's fallback colour, and so does the import.
TEST_F(SvgImport, AGradientFlattenedToALineIsDrawnAsTheFallback) {
    read(page("<defs><linearGradient id=\"g\" gradientTransform=\"matrix(1 0 2 0 0 0)\"><stop offset=\"0\"/>"
              "</linearGradient></defs><path fill=\"url(#g)\" d=\"M0 0 L1 1\"/>"
              "<path fill=\"url(#g) red\" d=\"M0 0 L1 1\"/>"
              // Flattened by the art's own transform: its copy written back would be singular.
              "<linearGradient id=\"u\" gradientUnits=\"userSpaceOnUse\"><stop offset=\"0\"/></linearGradient>"
              "<path transform=\"matrix(0 1 0 2 3 0)\" fill=\"url(#u) red\" d=\"M0 0 L1 1\"/>"));
    EXPECT_TRUE(reported("gradientTransform \"matrix(1 0 2 0 0 0)\" is singular"));
    EXPECT_TRUE(reported("flattened to a line by the transform of the art"));
    const auto v = all();
    ASSERT_EQ(v.size(), 3u);
    ASSERT_TRUE(v[2]->style().fillPaint);
    EXPECT_EQ(v[2]->style().fill.color.kind, kThreeColor);
    EXPECT_FALSE(v[0]->style().fillPaint);
    ASSERT_TRUE(v[1]->style().fillPaint);
    EXPECT_EQ(v[1]->style().fill.color.kind, kThreeColor);
    EXPECT_EQ(v[1]->style().fill.color.c[0], 1.0f);
    EXPECT_EQ(v[1]->style().fill.color.c[1], 0.0f);
}

// Where a gradient paint puts a point of the gradient's own space.
AIRealPoint placed(const GradientPaint& p, float x, float y) {
    const AIRealMatrix& m = p.matrix;
    return AIRealPoint{m.a * x + m.c * y + m.tx, m.b * x + m.d * y + m.ty};
}

TEST_F(SvgImport, GradientsArePaintPlacedOnThePage) {
    read(page("<defs><linearGradient id=\"base\" spreadMethod=\"reflect\"><stop offset=\"0.2\" stop-color=\"red\"/>"
              "<stop offset=\"10%\" style=\"stop-color: rgba(0,0,255,0.5); stop-opacity: 0.5\"/></linearGradient>"
              "<linearGradient id=\"box\" xlink:href=\"#base\"/>"
              "<linearGradient id=\"user\" href=\"#base\" gradientUnits=\"userSpaceOnUse\" x1=\"10%\" x2=\"30\" "
              "gradientTransform=\"translate(5 0)\"/>"
              "<radialGradient id=\"round\" href=\"#base\" fx=\"0.25\" spreadMethod=\"repeat\"/></defs>"
              "<rect x=\"10\" y=\"20\" width=\"40\" height=\"20\" fill=\"url(#box)\" stroke=\"url(#user)\"/>"
              "<rect width=\"10\" height=\"10\" fill=\"url(#round) red\"/>"
              "<path d=\"M0 0 H10\" stroke=\"url(#box)\"/>"));
    auto v = all();
    ASSERT_EQ(v.size(), 3u);
    const GradientPaint* box = doc_->gradientPaint(v[0]->style().fill.color.ref);
    const GradientPaint* user = doc_->gradientPaint(v[0]->style().stroke.color.ref);
    const GradientPaint* round = doc_->gradientPaint(v[1]->style().fill.color.ref);
    ASSERT_TRUE(box && user && round);
    // Bounding-box units: the unit square is the rect (model y = 100 - y).
    expectPoint(placed(*box, 0, 0), 10, 80);
    expectPoint(placed(*box, 1, 1), 50, 60);
    EXPECT_EQ(box->gradient->spread, kSpreadReflect);
    ASSERT_EQ(box->gradient->stops.size(), 2u);
    // An offset below the one before is raised to it; the colour's alpha
    // and stop-opacity multiply.
    EXPECT_FLOAT_EQ(box->gradient->stops[1].offset, 0.2f);
    EXPECT_FLOAT_EQ(box->gradient->stops[1].opacity, 0.25f);
    EXPECT_EQ(box->gradient->stops[1].color.kind, kThreeColor);
    EXPECT_FLOAT_EQ(box->gradient->stops[1].color.c[2], 1.0f);
    // User space: percentages of the viewport, then the gradient's transform.
    EXPECT_FLOAT_EQ(user->gradient->coords[0], 10);
    EXPECT_FLOAT_EQ(user->gradient->coords[2], 30);
    expectPoint(placed(*user, 10, 0), 15, 100);
    // Radial: centre and radius 50 %, the focus given in x, taken from the
    // centre in y; its own spread wins over the one it refers to.
    EXPECT_TRUE(round->gradient->radial);
    const float radial[] = {0.5f, 0.5f, 0.5f, 0.25f, 0.5f, 0};
    for (size_t i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(round->gradient->coords[i], radial[i]) << i;
    EXPECT_EQ(round->gradient->spread, kSpreadRepeat);
    EXPECT_EQ(round->gradient->stops.size(), 2u);
    // A line has no area: its bounding-box gradient paints nothing.
    EXPECT_FALSE(v[2]->style().strokePaint);
}

// ---- input that must be refused cleanly, or read safely ----

TEST_F(SvgImport, RefusesBillionLaughs) {
    std::string dtd = "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY a \"lollollollollollollollollollol\">";
    char prev = 'a';
    for (char c = 'b'; c <= 'k'; ++c, ++prev) {
        dtd += std::string("<!ENTITY ") + c + " \"";
        for (int i = 0; i < 10; ++i) dtd += std::string("&") + prev + ";";
        dtd += "\">";
    }
    dtd += "]>";
    const std::string svg = dtd + page("<text>&k;</text>");
    std::string error;
    SvgReport rep;
    std::unique_ptr<Document> d;
    const bool ok = readSvg(svg, d, rep, error);
    // Either refused, or read with the entity left unexpanded: never the
    // 30-billion-character text.
    if (ok) {
        d->forEachArt([](Art* a) { EXPECT_LT(a->object().text.size(), size_t{1} << 20); });
    } else {
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(SvgImport, ExternalEntitiesAreNotRead) {
    const std::string svg = "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
                            page("<text>&x;</text>");
    std::string error;
    SvgReport rep;
    std::unique_ptr<Document> d;
    if (readSvg(svg, d, rep, error)) {
        d->forEachArt([](Art* a) { EXPECT_EQ(a->object().text.find("root"), std::string::npos); });
    }
}

TEST_F(SvgImport, PlainTextEntitiesAreExpanded) {
    read("<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY red \"#ff0000\">]>" +
         page("<path fill=\"&red;\" d=\"M0 0 L1 1\"/>"));
    EXPECT_EQ(only()->style().fill.color.c[0], 1.0f);
}

// Entities standing for elements draw them where they are referenced; nested
// ones expand within the same budget as text, so a markup bomb is refused.
TEST_F(SvgImport, MarkupEntitiesAreExpandedWithinTheBudget) {
    read("<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY dot \"<rect width='1' height='1'/>\">"
         "<!ENTITY two \"&dot;<g>&dot;</g>\">]>" +
         page("<g fill=\"red\">&two;</g>"));
    size_t paths = 0;
    for (Art* a : all()) paths += a->type() == kPathArt && a->style().fill.color.c[0] == 1.0f;
    EXPECT_EQ(paths, 2u);

    // Fifty references to ten rectangles each: 15,500 characters, past a budget of 10,000.
    std::string dtd = "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY a \"<rect width='1' height='1'/>\">"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>";
    std::string refs;
    for (int i = 0; i < 50; ++i) refs += "&b;";
    std::string error;
    SvgReport rep;
    std::unique_ptr<Document> d;
    SvgLimits limits;
    limits.maxEntityText = 10000;
    EXPECT_FALSE(readSvg(dtd + page("<g>" + refs + "</g>"), d, rep, error, limits));
    EXPECT_NE(error.find("entities expand to more than 10000"), std::string::npos) << error;
}

TEST_F(SvgImport, UseBombsStopAtTheObjectLimit) {
    std::string body = "<defs><path id=\"a0\" d=\"M0 0 L1 1\"/>";
    for (int i = 1; i < 30; ++i) {
        body += "<g id=\"a" + std::to_string(i) + "\"><use href=\"#a" + std::to_string(i - 1) +
                "\"/><use href=\"#a" + std::to_string(i - 1) + "\"/></g>";
    }
    body += "</defs><use href=\"#a29\"/>";
    // 2^29 copies: stopped by the object limit or the limit on copies in
    // copies, and said so.
    std::string error;
    std::unique_ptr<Document> d;
    if (readSvg(page(body), d, report_, error)) {
        EXPECT_TRUE(reported("nested deeper than 16 copies"));
        size_t n = 0;
        d->forEachArt([&](Art*) { ++n; });
        EXPECT_LE(n, SvgLimits{}.maxObjects);
    } else {
        EXPECT_NE(error.find("limit"), std::string::npos) << error;
    }
}

TEST_F(SvgImport, HugeNumbersAndNaNNeverReachTheModel) {
    read(page("<path d=\"M0 0 L1e39 5\"/><path d=\"M0 0 L NaN 5\"/><rect width=\"1e38\" height=\"1\" "
              "transform=\"scale(1e30)\"/><path d=\"M0 0 L1e-50 2\"/>"));
    for (Art* a : all()) {
        for (size_t i = 0; i < a->segmentCount(); ++i) {
            const AIPathSegment s = a->segment(i);
            EXPECT_TRUE(std::isfinite(s.p.h) && std::isfinite(s.p.v));
        }
    }
    EXPECT_TRUE(reported("out of range"));
}

// Text sizes past the model's limit are set at it (reported), so no
// renderer is handed an absurd size.
TEST_F(SvgImport, AFontSizePastTheLimitIsSetAtTheLimit) {
    read(page("<text font-size=\"1e30\">A</text><text font-size=\"20\" transform=\"scale(1e3)\">B</text>"));
    std::vector<float> sizes;
    for (Art* a : all())
        if (a->type() == kTextArt) sizes.push_back(a->object().fontSize);
    EXPECT_EQ(sizes, (std::vector<float>{kMaxFontSize, 20}));
    EXPECT_TRUE(reported("font size past 10000 points (the limit)"));
}

TEST_F(SvgImport, RefusesNamingTheReason) {
    std::string longPath = "M0 0", deep;
    for (int i = 0; i < 40000; ++i) longPath += " L1 1";
    for (int i = 0; i < 100; ++i) deep = "<g>" + deep + "</g>";
    deep.insert(deep.find("</g>"), "<path d=\"M0 0 L1 1\"/>");
    std::string stops;
    for (int i = 0; i < 1001; ++i) stops += "<stop offset=\"0\"/>";
    SvgLimits points, objects, bytes;
    points.maxTotalPoints = 10;
    objects.maxObjects = 3;
    bytes.maxBytes = 10;
    const struct {
        std::string svg;
        SvgLimits limits;
        const char* says;
    } cases[] = {
        {"", {}, "well-formed"},
        {"<html><body/></html>", {}, "root element is <html>"},
        {"{\"format\": \"easel-document\"}", {}, "well-formed"},
        {page("<path d=\"M0 0\"/>").substr(0, 120), {}, "well-formed"},
        {"<svg xmlns=\"http://www.w3.org/2000/svg\">\xff\xfe</svg>", {}, "well-formed"},
        {"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"0\" height=\"10\"/>", {}, "page size"},
        {page("<path d=\"" + longPath + "\"/>"), {}, "more than 32000 points"},
        {page("<path d=\"M0 0 H1 H2 H3 H4 H5 H6\"/><path d=\"M0 0 H1 H2 H3 H4 H5 H6\"/>"), points,
         "more than 10 points in the document"},
        {page("<path d=\"M0 0\"/><path d=\"M0 0\"/><path d=\"M0 0\"/><path d=\"M0 0\"/>"), objects,
         "more than 3 objects"},
        {page(""), bytes, "larger than 10 bytes"},
        {page(deep), {}, "groups nested deeper than 64 levels (the limit"},
        {page("<linearGradient id=\"g\">" + stops + "</linearGradient><rect width=\"5\" height=\"5\" fill=\"url(#g)\"/>"),
         {},
         "a gradient has more than 1000 stops (the limit of a gradient)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const std::string error = refused(c.svg, c.limits);
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        // A limit is named as one.
        if (std::string(c.says).starts_with("more than")) {
            EXPECT_NE(error.find("limit"), std::string::npos) << error;
        }
    }
    // Far deeper nesting is stopped by the XML parser itself.
    deep.clear();
    for (int i = 0; i < 100000; ++i) deep += "<g>";
    EXPECT_FALSE(refused(page(deep)).empty());
}

}  // namespace
}  // namespace easel
