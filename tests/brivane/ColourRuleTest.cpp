// The fill and stroke colour rules, the swatch choice and the blend draw.
#include "engine/Styling.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace brivane::engine;

AIColor Grey(AIReal g) { return {kGrayColor, {g, 0, 0, 0}, 0}; }
AIColor Cmyk(AIReal c, AIReal m, AIReal y, AIReal k) { return {kFourColor, {c, m, y, k}, 0}; }
AIColor Rgb(AIReal r, AIReal g, AIReal b) { return {kThreeColor, {r, g, b, 0}, 0}; }

class ColourRule : public ::testing::Test {
protected:
    // Draws handed out in order; running out is a test fault.
    std::vector<AIReal> draws;
    std::size_t drawn = 0;
    // Swatches by number.
    std::vector<AIColor> swatches{{kNoneColor, {}, 0}, Cmyk(1, 1, 1, 1), Grey(0), Grey(1),
                                  Rgb(0.2f, 0.4f, 0.6f), Cmyk(0.1f, 0.2f, 0.3f, 0.4f)};

    RandomSource Random() {
        return {[](void* self) {
                    auto* t = static_cast<ColourRule*>(self);
                    EXPECT_LT(t->drawn, t->draws.size()) << "more draws than expected";
                    return t->drawn < t->draws.size() ? t->draws[t->drawn++] : 0.0f;
                },
                this};
    }
    SwatchSource Swatches() {
        return {[](void* self, ASInt32 n, AIColor* colour) {
                    auto* t = static_cast<ColourRule*>(self);
                    if (n < 0 || n >= static_cast<ASInt32>(t->swatches.size())) return false;
                    *colour = t->swatches[static_cast<std::size_t>(n)];
                    return true;
                },
                this};
    }
    AIColor Apply(ASInt32 mode, AIColor colour, ASInt32 n, ASInt32 period, ASInt32 swatchOption = 2) {
        ApplyColourRule({mode, static_cast<ASInt32>(swatches.size()), swatchOption, n, period}, colour, Random(),
                        Swatches());
        return colour;
    }
};

TEST_F(ColourRule, ToWhiteMovesFourColourTowardsZero) {
    const AIColor one = Apply(kToWhite, Cmyk(0.5f, 0.2f, 0.8f, 0.4f), 1, 4);
    EXPECT_FLOAT_EQ(one.c[0], 0.375f);
    EXPECT_FLOAT_EQ(one.c[1], 0.15f);
    EXPECT_FLOAT_EQ(one.c[2], 0.6f);
    EXPECT_FLOAT_EQ(one.c[3], 0.3f);
    const AIColor four = Apply(kToWhite, Cmyk(0.5f, 0.2f, 0.8f, 0.4f), 4, 4);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(four.c[k], 0.0f);
}

TEST_F(ColourRule, ToWhiteMovesThreeColourTowardsOne) {
    const AIColor c = Apply(kToWhite, Rgb(0.5f, 0.2f, 0.8f), 1, 4);
    EXPECT_FLOAT_EQ(c.c[0], 0.625f);
    EXPECT_FLOAT_EQ(c.c[1], 0.4f);
    EXPECT_FLOAT_EQ(c.c[2], 0.85f);
}

TEST_F(ColourRule, ToBlackIsTheMirrorOfToWhite) {
    EXPECT_FLOAT_EQ(Apply(kToBlack, Grey(0.5f), 1, 4).c[0], 0.625f);
    EXPECT_FLOAT_EQ(Apply(kToBlack, Rgb(0.5f, 0, 1), 1, 4).c[0], 0.375f);
}

TEST_F(ColourRule, ToWhiteMidpointTurnsBackAfterHalfThePeriod) {
    const AIReal expected[] = {0.5f, 0.375f, 0.25f, 0.625f};
    for (ASInt32 n = 0; n < 4; ++n) EXPECT_FLOAT_EQ(Apply(kToWhiteMidpoint, Grey(0.5f), n, 4).c[0], expected[n]) << n;
}

TEST_F(ColourRule, AlternateBlackBlackensOddCopiesOnly) {
    for (ASInt32 n = 0; n < 5; ++n)
        EXPECT_EQ(Apply(kAlternateBlack, Grey(0.3f), n, 4).c[0], n % 2 == 1 ? 1.0f : 0.3f) << n;
    EXPECT_EQ(Apply(kAlternateBlack, Rgb(0.3f, 0.3f, 0.3f), 1, 4).c[0], 0.0f) << "three-colour black is 0";
    EXPECT_EQ(Apply(kAlternateWhite, Rgb(0.3f, 0.3f, 0.3f), 1, 4).c[2], 1.0f);
}

TEST_F(ColourRule, HalfColourAndInvertedAndTenPercent) {
    EXPECT_FLOAT_EQ(Apply(kToHalfColour, Grey(0.8f), 2, 4).c[0], 0.6f);
    EXPECT_FLOAT_EQ(Apply(kToInverted, Grey(0.2f), 2, 4).c[0], 0.5f);
    EXPECT_FLOAT_EQ(Apply(kAlternateInverted, Grey(0.2f), 3, 4).c[0], 0.8f);
    EXPECT_FLOAT_EQ(Apply(kTenPercentReduction, Grey(0.5f), 2, 4).c[0], 0.5f - 0.9f * 0.5f * 0.5f);
    // Four-colour: components above two thirds come down, the others go up.
    const AIColor inv = Apply(kToHalfColourInverted, Cmyk(0.9f, 0.2f, 0, 0), 2, 4);
    EXPECT_FLOAT_EQ(inv.c[0], 0.9f - 0.1f * 0.25f);
    EXPECT_FLOAT_EQ(inv.c[1], 0.2f + 0.8f * 0.25f);
    EXPECT_FLOAT_EQ(Apply(kToHalfColourInverted, Grey(0.6f), 2, 4).c[0], 0.6f - 0.4f * 0.25f);
}

TEST_F(ColourRule, RandomColoursDrawInComponentOrderAndScaleBlack) {
    draws = {0.1f, 0.2f, 0.3f, 0.5f};
    const AIColor c = Apply(kRandomColours, Cmyk(0.9f, 0.9f, 0.9f, 0.8f), 0, 4);
    EXPECT_EQ(c.c[0], 0.1f);
    EXPECT_EQ(c.c[1], 0.2f);
    EXPECT_EQ(c.c[2], 0.3f);
    EXPECT_FLOAT_EQ(c.c[3], 0.4f);
    EXPECT_EQ(drawn, 4u);
}

TEST_F(ColourRule, RandomSwatchesReplaceTheWholeRecordWhateverTheKind) {
    draws = {0.5f}; // trunc(0.5 x 6) + 1 = 4
    AIColor pattern{kPatternColor, {}, 3};
    const AIColor c = Apply(kRandomSwatches, pattern, 0, 4);
    EXPECT_EQ(c.kind, kThreeColor);
    EXPECT_EQ(c.c[1], 0.4f);
    draws = {0.0f}; drawn = 0; // swatch 1 is [Registration]: swatch 2 instead
    EXPECT_EQ(Apply(kRandomSwatches, Grey(0.5f), 0, 4).c[0], 0.0f);
}

TEST_F(ColourRule, SwatchRulesTakeComponentsByPositionAndKeepTheKind) {
    // Swatch 4 is three-colour (0.2, 0.4, 0.6); the grey copy takes its first component.
    const AIColor half = Apply(kToSwatch, Grey(1.0f), 2, 4, 4);
    EXPECT_EQ(half.kind, kGrayColor);
    EXPECT_FLOAT_EQ(half.c[0], 0.6f);
    const AIColor alt = Apply(kAlternateSwatch, Cmyk(0, 0, 0, 0), 1, 4, 5);
    EXPECT_EQ(alt.kind, kFourColor);
    EXPECT_FLOAT_EQ(alt.c[3], 0.4f);
    EXPECT_EQ(Apply(kAlternateSwatch, Cmyk(0, 0, 0, 0), 2, 4, 5).c[3], 0.0f) << "even copies keep their colour";
}

TEST(SwatchChoice, NoneAndRegistrationGiveWayToSwatchTwoAndLargeOptionsTakeTheLast) {
    EXPECT_EQ(ChooseSwatch(0, 24), 2);
    EXPECT_EQ(ChooseSwatch(1, 24), 2);
    EXPECT_EQ(ChooseSwatch(-3, 24), 2);
    EXPECT_EQ(ChooseSwatch(7, 24), 7);
    EXPECT_EQ(ChooseSwatch(23, 24), 23);
    EXPECT_EQ(ChooseSwatch(24, 24), 23);
    EXPECT_EQ(ChooseSwatch(500, 24), 23);
}

TEST_F(ColourRule, OtherKindsAreLeftAlone) {
    AIColor spot{kCustomColor, {0.5f, 0, 0, 0}, 2};
    for (ASInt32 mode = kToWhite; mode < kColourModeCount; ++mode) {
        if (mode == kRandomSwatches) continue;
        const AIColor c = Apply(mode, spot, 1, 4);
        EXPECT_EQ(c.c[0], 0.5f) << mode;
        EXPECT_EQ(c.kind, kCustomColor) << mode;
    }
    EXPECT_EQ(drawn, 0u) << "no draw for a colour the rule leaves alone";
}

TEST_F(ColourRule, PeriodZeroKeepsTheColourInsteadOfDividingByZero) {
    for (ASInt32 mode : {kToWhite, kToBlack, kToWhiteMidpoint, kToSwatch, kToHalfColour, kToInverted,
                         kToHalfColourInverted, kTenPercentReduction}) {
        const AIColor c = Apply(mode, Grey(0.4f), 0, 0, 3);
        EXPECT_EQ(c.c[0], 0.4f) << mode;
    }
}

TEST_F(ColourRule, CopiesBeyondThePeriodStayWithinZeroAndOne) {
    EXPECT_EQ(Apply(kToWhite, Grey(0.5f), 9, 4).c[0], 0.0f);
    EXPECT_EQ(Apply(kToBlack, Grey(0.5f), 9, 4).c[0], 1.0f);
    EXPECT_EQ(Apply(kToInverted, Grey(0.1f), 9, 4).c[0], 1.0f);
}

TEST(BlendDraw, NeverAboveFifteenAndZeroForTheTopQuarter) {
    EXPECT_EQ(BlendModeOfDraw(0.0f), 0);
    EXPECT_EQ(BlendModeOfDraw(0.05f), 1);
    EXPECT_EQ(BlendModeOfDraw(0.79f), 15);
    EXPECT_EQ(BlendModeOfDraw(0.8f), 0);
    EXPECT_EQ(BlendModeOfDraw(0.99999994f), 0);
    for (int i = 0; i < 1000; ++i) {
        const ASInt32 m = BlendModeOfDraw(static_cast<AIReal>(i) / 1000.0f);
        EXPECT_GE(m, 0);
        EXPECT_LE(m, 15);
    }
}

} // namespace
