// Numbers of path data, lengths and transforms are read as floats: every
// written form must give what from_chars gives, the short cuts included.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "io/svg/SvgGeometry.h"

namespace easel::svg {
namespace {

float fromChars(const std::string& text) {
    float f = 0;
    std::from_chars(text.data(), text.data() + text.size(), f);
    return f;
}

void expectReadAsFromChars(const std::string& text) {
    Scanner sc{text};
    double v = -1;
    ASSERT_TRUE(sc.number(v)) << text;
    const float want = fromChars(text[0] == '+' ? text.substr(1) : text);
    EXPECT_EQ(static_cast<float>(v), want) << text;
    EXPECT_EQ(std::signbit(v), std::signbit(want)) << text;
}

TEST(SvgNumbers, EveryDecimalFormReadsAsFromCharsReadsIt) {
    std::mt19937_64 rng(7);
    for (int n = 0; n < 200000; ++n) {
        // 1 to 19 digits with the point anywhere in them, signed or not.
        const int digits = 1 + static_cast<int>(rng() % 19);
        std::string text;
        for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + rng() % 10);
        const size_t point = rng() % (text.size() + 1);
        if (point < text.size()) text.insert(point, ".");
        if (text == ".") text = "0";
        if (rng() % 3 == 0) text.insert(0, rng() % 2 ? "-" : "+");
        expectReadAsFromChars(text);
    }
}

TEST(SvgNumbers, DecimalsThatADoubleReadsAsAMidpointBetweenFloatsRoundToTheirOwnSide) {
    // Each lies a hair from the midpoint between two neighbouring floats, and
    // its nearest double is that midpoint: rounding the double again to a
    // float goes to the even neighbour, which is the wrong one for these.
    for (const char* text : {"59.99783134460449", "30.64222240447998", "42.32633018493652", "-59.99783134460449"})
        expectReadAsFromChars(text);
}

}  // namespace
}  // namespace easel::svg
