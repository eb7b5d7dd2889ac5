// The real-maths suite's sines, cosines, angles and lengths: accurate, and the
// same bits on every platform (the table below is what every build must give).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "suites/PortableMath.h"

namespace easel::portable {
namespace {

TEST(PortableMath, DoubleResultsAgreeWithTheCLibraryToTheLastFewBits) {
    // A sweep over the angles tools use (and far past them), every quadrant and both signs.
    for (double x = -2000.0; x <= 2000.0; x += 0.0137) {
        ASSERT_NEAR(sinDouble(x), std::sin(x), 4e-16) << "sin " << x;
        ASSERT_NEAR(cosDouble(x), std::cos(x), 4e-16) << "cos " << x;
    }
    for (double y = -5.0; y <= 5.0; y += 0.0731)
        for (double x = -5.0; x <= 5.0; x += 0.0917) ASSERT_NEAR(atan2Double(y, x), std::atan2(y, x), 1e-15) << y << "," << x;
}

TEST(PortableMath, FloatResultsMatchTheCorrectlyRoundedValueAndAxisConventions) {
    struct Row {
        float got, want;
    };
    const Row rows[] = {
        {sin(0.0f), 0.0f},
        {sin(-0.0f), -0.0f},
        {cos(0.0f), 1.0f},
        {atan2(0.0f, 1.0f), 0.0f},
        {atan2(-0.0f, 1.0f), -0.0f},
        {atan2(0.0f, -1.0f), static_cast<float>(std::numbers::pi)},
        {atan2(-0.0f, -1.0f), -static_cast<float>(std::numbers::pi)},
        {atan2(2.0f, 0.0f), static_cast<float>(std::numbers::pi / 2)},
        {atan2(-2.0f, -0.0f), -static_cast<float>(std::numbers::pi / 2)},
        {atan2(1.0f, 1.0f), static_cast<float>(std::numbers::pi / 4)},
        {atan2(-1.0f, -1.0f), static_cast<float>(-3 * std::numbers::pi / 4)},
        {hypot(3.0f, 4.0f), 5.0f},
        {hypot(3e38f, 3e38f), static_cast<float>(std::hypot(3e38, 3e38))},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(std::bit_cast<uint32_t>(rows[i].got), std::bit_cast<uint32_t>(rows[i].want)) << "row " << i;
}

// Bits every build must give: a change here changes documents.
TEST(PortableMath, PinnedBits) {
    struct Row {
        const char* what;
        float result;
        uint32_t bits;
    };
    const Row rows[] = {
        {"sin 0.5", sin(0.5f), 0x3ef57744},
        {"sin 1", sin(1.0f), 0x3f576aa4},
        {"sin -2.5", sin(-2.5f), 0xbf193578},
        {"sin 3.14159274", sin(3.14159274f), 0xb3bbbd2e},
        {"sin 0.785398185", sin(0.785398185f), 0x3f3504f3},
        {"sin 100", sin(100.0f), 0xbf01a12e},
        {"sin -1234.5", sin(-1234.5f), 0xbe14e299},
        {"sin 100000", sin(100000.0f), 0x3d126d55},
        {"cos 0.5", cos(0.5f), 0x3f60a940},
        {"cos 1", cos(1.0f), 0x3f0a5140},
        {"cos -2.5", cos(-2.5f), 0xbf4d17bf},
        {"cos 3.14159274", cos(3.14159274f), 0xbf800000},
        {"cos 0.785398185", cos(0.785398185f), 0x3f3504f3},
        {"cos 100", cos(100.0f), 0x3f5cc0ee},
        {"cos -1234.5", cos(-1234.5f), 0xbf7d4796},
        {"cos 100000", cos(100000.0f), 0xbf7fd61c},
        {"atan2 1 2", atan2(1.0f, 2.0f), 0x3eed6338},
        {"atan2 -3 0.25", atan2(-3.0f, 0.25f), 0xbfbe6b7b},
        {"atan2 250 -40", atan2(250.0f, -40.0f), 0x3fdd5eab},
        {"atan2 -0.00100000005 -7", atan2(-0.00100000005f, -7.0f), 0xc0490d83},
        {"atan2 6.5 6.4000001", atan2(6.5f, 6.4000001f), 0x3f4b0be0},
        {"hypot 1 2", hypot(1.0f, 2.0f), 0x400f1bbd},
        {"hypot -3 0.25", hypot(-3.0f, 0.25f), 0x4040aa5f},
        {"hypot 250 -40", hypot(250.0f, -40.0f), 0x437d2e06},
        {"hypot -0.00100000005 -7", hypot(-0.00100000005f, -7.0f), 0x40e00000},
        {"hypot 6.5 6.4000001", hypot(6.5f, 6.4000001f), 0x4111f384},
    };
    for (const Row& r : rows) EXPECT_EQ(std::bit_cast<uint32_t>(r.result), r.bits) << r.what;
}

}  // namespace
}  // namespace easel::portable
