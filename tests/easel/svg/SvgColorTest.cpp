#include <gtest/gtest.h>

#include "model/Art.h"
#include "model/Document.h"
#include "io/svg/SvgColor.h"

namespace easel {
namespace {

Rgb8 rgbOf(const char* css) {
    auto c = parseCssColor(css);
    EXPECT_TRUE(c.has_value()) << css;
    return c ? c->rgb : Rgb8{999, 999, 999};
}

TEST(CssColour, EveryWrittenFormGivesTheSameColour) {
    const Rgb8 orange{255, 136, 0};
    EXPECT_EQ(rgbOf("#f80"), orange);
    EXPECT_EQ(rgbOf("#FF8800"), orange);
    EXPECT_EQ(rgbOf("#ff8800ff"), orange);
    EXPECT_EQ(rgbOf("#f80f"), orange);
    EXPECT_EQ(rgbOf("rgb(255, 136, 0)"), orange);
    EXPECT_EQ(rgbOf("rgb(255 136 0)"), orange);
    EXPECT_EQ(rgbOf("rgba(255,136,0,1)"), orange);
    EXPECT_EQ(rgbOf(" RGB(100%, 53.3333%, 0%) "), orange);
    EXPECT_EQ(rgbOf("hsl(32, 100%, 50%)"), orange);
    EXPECT_EQ(rgbOf("hsl(32deg 100% 50%)"), orange);
    EXPECT_EQ(rgbOf("DarkOrange"), (Rgb8{255, 140, 0}));
    EXPECT_EQ(rgbOf("rebeccapurple"), (Rgb8{102, 51, 153}));
    EXPECT_EQ(rgbOf("aliceblue"), (Rgb8{240, 248, 255}));
    EXPECT_EQ(rgbOf("yellowgreen"), (Rgb8{154, 205, 50}));
}

TEST(CssColour, AlphaIsSeparate) {
    auto c = parseCssColor("rgba(0, 0, 255, 0.25)");
    ASSERT_TRUE(c);
    EXPECT_FLOAT_EQ(c->alpha, 0.25f);
    c = parseCssColor("#0000ff80");
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->alpha, 128.0f / 255.0f, 1e-6f);
    c = parseCssColor("hsla(240, 100%, 50%, 50%)");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->rgb, (Rgb8{0, 0, 255}));
    EXPECT_FLOAT_EQ(c->alpha, 0.5f);
    c = parseCssColor("transparent");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->alpha, 0.0f);
}

TEST(CssColour, MalformedTextIsNotAColour) {
    for (const char* bad : {"", "#12", "#12345", "#ggg", "rgb(1,2)", "rgb(1,2,3,4,5)", "rgb(a,b,c)", "blu",
                            "rgb(1,2,3", "hsl()", "url(#a)", "none", "nan", "rgb(nan, 0, 0)"}) {
        EXPECT_FALSE(parseCssColor(bad).has_value()) << bad;
    }
}

TEST(ExactColourText, EveryKindReadsBackBitForBit) {
    AIColor spot{};
    spot.kind = kCustomColor;
    spot.ref = 4;
    spot.c[0] = 0.3f;
    AIColor pattern{};
    pattern.kind = kPatternColor;
    pattern.ref = 2;
    const AIColor colours[] = {grayColor(0.1f), cmykColor(0.1f, 1.0f / 3.0f, 1e-30f, 2.5f),
                               rgbColor(-0.25f, 0.7f, 123456.78f), spot, pattern, noneColor()};
    for (const AIColor& c : colours) {
        auto back = parseColorText(colorText(c));
        ASSERT_TRUE(back) << colorText(c);
        EXPECT_TRUE(sameColor(c, *back)) << colorText(c);
        EXPECT_EQ(back->ref, c.ref);
    }
    EXPECT_EQ(colorText(cmykColor(0, 0.5f, 1, 0)), "cmyk 0 0.5 1 0");
}

TEST(ExactColourText, RefusesMalformedText) {
    for (const char* bad : {"", "cmyk 1 2 3", "rgb 1 2 3 4", "gray x", "spot -1 0.5", "teal 1", "gray inf",
                            "gray nan", "spot 2"}) {
        EXPECT_FALSE(parseColorText(bad).has_value()) << bad;
    }
}

TEST(DisplayColour, ConvertsGreyAndFourColourAndClamps) {
    EXPECT_EQ(displayColor(grayColor(0), nullptr), (Rgb8{255, 255, 255}));
    EXPECT_EQ(displayColor(grayColor(1), nullptr), (Rgb8{0, 0, 0}));
    EXPECT_EQ(displayColor(grayColor(0.5f), nullptr), (Rgb8{128, 128, 128}));
    EXPECT_EQ(displayColor(cmykColor(1, 0, 0, 0), nullptr), (Rgb8{0, 255, 255}));
    EXPECT_EQ(displayColor(cmykColor(0, 0, 0, 1), nullptr), (Rgb8{0, 0, 0}));
    EXPECT_EQ(displayColor(cmykColor(0, 1, 1, 0.5f), nullptr), (Rgb8{128, 0, 0}));
    EXPECT_EQ(displayColor(rgbColor(2, -1, 0.5f), nullptr), (Rgb8{255, 0, 128}));
    EXPECT_FALSE(displayColor(noneColor(), nullptr).has_value());
    EXPECT_EQ(hexColor(Rgb8{255, 0, 128}), "#ff0080");
}

TEST(DisplayColour, SpotColourIsItsSwatchAtTheTint) {
    auto doc = newDocument();
    doc->clearSwatches();
    doc->addSwatch("Red", rgbColor(1, 0, 0));
    AIColor spot{};
    spot.kind = kCustomColor;
    spot.ref = 0;
    spot.c[0] = 1;
    EXPECT_EQ(displayColor(spot, doc.get()), (Rgb8{255, 0, 0}));
    spot.c[0] = 0.5f;
    EXPECT_EQ(displayColor(spot, doc.get()), (Rgb8{255, 128, 128}));
}

}  // namespace
}  // namespace easel
