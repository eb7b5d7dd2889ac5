// The tools' pattern tables (Patterns.h).
#include "Patterns.h"

#include "Runs.h"

#include <cstddef>

namespace brivane::tools {

using engine::RandomSource;

namespace {

// The fractions of the tables, as the nearest 32-bit reals.
constexpr AIReal kHalf = 0.5f;
constexpr AIReal kThird = 1.0f / 3.0f;
constexpr AIReal kQuarter = 0.25f;
constexpr AIReal kFifth = 1.0f / 5.0f;
constexpr AIReal kSixth = 1.0f / 6.0f;
constexpr AIReal kSeventh = 1.0f / 7.0f;
constexpr AIReal kEighth = 0.125f;
constexpr AIReal kFiveSixths = 5.0f / 6.0f;
constexpr AIReal kTwoThirds = 2.0f / 3.0f;
constexpr AIReal kQuarterTurn = 1.5707964f;

constexpr ScalePair Both(AIReal f) { return {f, f}; }

// A repeating sequence looked up at index n (n >= 0).
template <std::size_t N>
AIReal CycleAt(const AIReal (&values)[N], ASInt32 n) {
    return values[static_cast<std::size_t>(n) % N];
}

// 1 / n as a real division.
AIReal Reciprocal(ASInt32 n) { return 1.0f / static_cast<AIReal>(n); }

bool Even(ASInt32 n) { return n % 2 == 0; }

} // namespace

ScalePair RowsColumnsApply(ASInt32 entry, ASInt32 n, AIReal r) {
    if (n < 0) n = 0;
    auto both = [](AIReal x) { return ScalePair{x, x}; };
    switch (entry) {
    case 1: case 6: case 13: { static const AIReal s[] = {1, kHalf}; return both(CycleAt(s, n)); }
    case 2: case 7: { static const AIReal s[] = {1, kHalf, kHalf}; return both(CycleAt(s, n)); }
    case 3: { static const AIReal s[] = {1, kHalf, kHalf, kHalf}; return both(CycleAt(s, n)); }
    case 4: { static const AIReal s[] = {1, kQuarter}; return both(CycleAt(s, n)); }
    case 5: { static const AIReal s[] = {1, kEighth}; return both(CycleAt(s, n)); }
    case 8: return both(Reciprocal(n + 1));
    case 9:
        if (n % 12 == 0) return both(1);
        if (n % 4 != 0) return {kQuarter, kSixth};
        return {kThird, kQuarter};
    case 10:
        if (n % 30 == 0) return both(1);
        if (n % 5 != 0) return both(kSixth);
        if (n % 2 != 0) return both(kFifth);
        return both(kQuarter); // a multiple of 10 but not of 30
    case 11: return both(Reciprocal(n + 2));
    case 12: return both(Reciprocal(n + 3));
    case 14: { static const AIReal s[] = {1, kHalf, kThird}; return both(CycleAt(s, n)); }
    case 15: { static const AIReal s[] = {1, kHalf, kThird, kQuarter}; return both(CycleAt(s, n)); }
    case 16: { static const AIReal s[] = {kHalf, 1}; return both(CycleAt(s, n)); }
    case 17: return both(n % 10 == 0 ? 1.0f : kHalf);
    case 18: return both(n % 6 == 0 ? 1.0f : kHalf);
    case 19: case 23: return both(n % 6 == 0 ? 1.0f : kThird);
    case 20: return both(n % 6 == 0 ? Reciprocal(n + 1) : kThird);
    case 21: return both(n % 6 == 0 ? 1.0f : kQuarter);
    case 22: return both(n % 15 == 0 ? 1.0f : kHalf);
    case 24: return both(n % 12 == 5 ? 1.0f : kHalf);
    case 25: return both(n % 20 == 17 ? 1.0f : kThird);
    case 26: return both(n % 20 == 18 ? 1.0f : kQuarter);
    case 27: return both(n % 2 == 0 ? 1.0f : r);
    case 28: return both(n % 3 == 0 ? 1.0f : r);
    case 29: { static const AIReal s[] = {1, kHalf, kThird, kQuarter, kFifth}; return both(CycleAt(s, n)); }
    case 30: { static const AIReal s[] = {kFifth, kQuarter, kThird, kHalf, 1}; return both(CycleAt(s, n)); }
    case 31: {
        static const AIReal s[] = {1, kHalf, kThird, kQuarter, kFifth, kSixth, kSeventh};
        return both(CycleAt(s, n));
    }
    case 32: {
        static const AIReal s[] = {1, 4.0f / 5.0f, 3.0f / 5.0f, 2.0f / 5.0f, kFifth};
        return both(CycleAt(s, n));
    }
    case 33: {
        static const AIReal s[] = {1, 5.0f / 6.0f, 2.0f / 3.0f, kHalf, kThird, kSixth};
        return both(CycleAt(s, n));
    }
    case 34: { static const AIReal s[] = {kHalf, 1, kHalf, 1, kQuarter, 1}; return both(CycleAt(s, n)); }
    case 35: {
        static const AIReal s[] = {kHalf, 1, 1, kHalf, 1, 1, kQuarter, 1, 1, kHalf, 1, 1, kHalf, 1, 1};
        return both(CycleAt(s, n));
    }
    case 36: { static const AIReal s[] = {1, kSixth, 1, kThird}; return both(CycleAt(s, n)); }
    case 37: {
        static const AIReal s[] = {1, kHalf, kThird, kQuarter, kThird, kHalf, 1};
        return both(CycleAt(s, n));
    }
    case 38: {
        static const AIReal s[] = {kFifth, kQuarter, kThird, kHalf, 1, kHalf, kThird, kQuarter};
        return both(CycleAt(s, n));
    }
    case 39: {
        static const AIReal s[] = {kSixth, kQuarter, kHalf, 1, kHalf, kQuarter, kSixth};
        return both(CycleAt(s, n));
    }
    case 40: {
        static const AIReal s[] = {kEighth, kSixth, kFifth, kThird, 1, kThird, kFifth, kSixth, kEighth};
        return both(CycleAt(s, n));
    }
    case 41: {
        static const AIReal s[] = {kQuarter, kHalf, kQuarter, 1, kQuarter, kHalf, kQuarter};
        return both(CycleAt(s, n));
    }
    case 42: {
        static const AIReal s[] = {1, kHalf, kThird, 1, kThird, kHalf, 1};
        return both(CycleAt(s, n));
    }
    default: return both(1); // entry 0 and anything outside the popup
    }
}

// The apply entries whose factors come from a draw per cell.
bool RowsColumnsApplyDraws(ASInt32 entry) { return entry == 27 || entry == 28; }

// Checkerboard popup: whether cell (row i, column j) is left out.
bool RowsColumnsLeftOut(ASInt32 entry, ASInt32 i, ASInt32 j) {
    const ASInt32 i3 = i % 3, j3 = j % 3, i4 = i % 4, j4 = j % 4;
    switch (entry) {
    case 1: return (i + j) % 2 != 0;
    case 2: return (i4 < 2) != (j4 < 2);
    case 3: return (i % 6 < 3) != (j % 6 < 3);
    case 4: return (i3 == 0 && j3 == 1) || (i3 == 1 && j3 == 0);
    case 5: return (i3 == 0 && j3 == 2) || (i3 == 2 && j3 == 0);
    case 6: return (i + j) % 2 == 0;
    case 7: return (i3 == 0 && j3 == 0) || (i3 == 1 && j3 == 1);
    case 8: return (i4 == 0 && j4 == 0) || (i4 == 1 && j4 == 1);
    case 9: return (i4 == 0 && j4 == 1) || (i4 == 1 && j4 == 0);
    default: return false;
    }
}

// Turn popup: whether a duplicate in cell (i, j) gets a quarter turn.
bool RowsColumnsTurned(ASInt32 entry, ASInt32 i, ASInt32 j) {
    switch (entry) {
    case 1: return (i + j) % 2 != 0;
    case 2: return (i % 3 == 0 && j % 3 == 1) || (i % 3 == 1 && j % 3 == 0);
    case 3: return j % 2 != 0;
    case 4: return i % 2 != 0;
    default: return false;
    }
}

// The extra turn of the border cell (i, j) of a frame of `rows` rows. The
// corners count as top or bottom cells.
AIReal FramedEdgeTurn(ASInt32 edge, ASInt32 i, ASInt32 j, ASInt32 rows, const RandomSource& random) {
    const bool topOrBottom = i == 0 || i == rows - 1;
    switch (edge) {
    case 1: return topOrBottom ? kQuarterTurn : -kQuarterTurn;
    case 2:
        if (i == 0) return -kQuarterTurn;
        if (i == rows - 1) return 0.0f;
        return j == 0 ? kQuarterTurn : 0.0f;
    case 3: return Even(topOrBottom ? j : i) ? -kQuarterTurn : 0.0f;
    case 4: return random() * engine::kFullTurn;
    default: return 0.0f;
    }
}

// "Mixed" entries look at whether k and j have different parity. Entries
// outside the popup give 1.
ScalePair WindmillApply(ASInt32 e, ASInt32 k, ASInt32 j, const RandomSource& random) {
    const bool odd = k % 2 != 0;
    const bool mixed = (k % 2) != (j % 2);
    switch (e) {
    case 1:
    case 6: return Both(odd ? kHalf : 1.0f);
    case 2:
    case 7: return Both(k % 3 == 0 ? 1.0f : kHalf);
    case 3: return Both(k % 4 == 0 ? 1.0f : kHalf);
    case 4: return Both(odd ? kQuarter : 1.0f);
    case 5: return Both(odd ? kEighth : 1.0f);
    case 8: return Both(Reciprocal(k + 1));
    case 9:
        if (k % 4 != 0) return {kQuarter, kSixth};
        if (k % 3 != 0) return {kThird, kQuarter};
        return Both(1.0f);
    case 10:
        if (k % 5 != 0) return Both(kSixth);
        if (odd) return Both(kFifth);
        if (k % 3 != 0) return Both(kQuarter);
        return Both(1.0f);
    case 11: return Both(Reciprocal(k + 2));
    case 12: return Both(Reciprocal(k + 3));
    case 13: return Both(Reciprocal(k % 2 + 1));
    case 14: return Both(Reciprocal(k % 3 + 1));
    case 15: return Both(Reciprocal(k % 4 + 1));
    case 16: return Both(static_cast<AIReal>(k % 2 + 1) * kHalf);
    case 17: return Both(odd ? kHalf : (k % 5 == 0 ? 1.0f : kHalf));
    case 18: return Both(odd ? kHalf : (k % 3 == 0 ? 1.0f : kHalf));
    case 19: return Both(odd || k % 3 != 0 ? kThird : 1.0f);
    case 20: return Both(odd || k % 3 != 0 ? kThird : Reciprocal(k + 1));
    case 21: return Both(odd ? kQuarter : (k % 3 == 0 ? 1.0f : kQuarter));
    case 22: return Both(k % 3 != 0 ? kHalf : (k % 5 == 0 ? 1.0f : kHalf));
    case 23: return Both(k % 3 != 0 ? kThird : (k % 6 == 0 ? 1.0f : kThird));
    case 24: return Both(k % 4 == 1 && k % 3 == 2 ? 1.0f : kHalf);
    case 25: return Both(k % 4 == 1 && k % 5 == 2 ? 1.0f : kThird);
    case 26: return Both(k % 4 == 2 && k % 5 == 3 ? 1.0f : kQuarter);
    case 27: return Both(odd ? random() : 1.0f);
    case 28: return Both(k % 3 != 0 ? random() : 1.0f);
    case 29: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, kQuarter, kFifth};
        return Both(CycleAt(v, k));
    }
    case 30: {
        static constexpr AIReal v[] = {kFifth, kQuarter, kThird, kHalf, 1.0f};
        return Both(CycleAt(v, k));
    }
    case 31: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, kQuarter, kFifth, kSixth, kSeventh};
        return Both(CycleAt(v, k));
    }
    case 32: {
        static constexpr AIReal v[] = {1.0f, 0.8f, 0.6f, 0.4f, 0.2f};
        return Both(CycleAt(v, k));
    }
    case 33: {
        static constexpr AIReal v[] = {1.0f, kFiveSixths, kTwoThirds, kHalf, kThird, kSixth};
        return Both(CycleAt(v, k));
    }
    case 34: return Both(odd ? 1.0f : (k % 3 == 1 ? kQuarter : kHalf));
    case 35: return Both(k % 3 != 0 ? 1.0f : (k % 5 == 1 ? kQuarter : kHalf));
    case 36: return Both(!odd ? 1.0f : (k % 4 == 1 ? kSixth : kThird));
    case 37: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, kQuarter, kThird, kHalf, 1.0f};
        return Both(CycleAt(v, k));
    }
    case 38: {
        static constexpr AIReal v[] = {kFifth, kQuarter, kThird, kHalf, 1.0f, kHalf, kThird, kQuarter};
        return Both(CycleAt(v, k));
    }
    case 39: {
        static constexpr AIReal v[] = {kSixth, kQuarter, kHalf, 1.0f, kHalf, kQuarter, kSixth};
        return Both(CycleAt(v, k));
    }
    case 40: {
        static constexpr AIReal v[] = {kEighth, kSixth, kFifth, kThird, 1.0f, kThird, kFifth, kSixth, kEighth};
        return Both(CycleAt(v, k));
    }
    case 41: {
        static constexpr AIReal v[] = {kQuarter, kHalf, kQuarter, 1.0f, kQuarter, kHalf, kQuarter};
        return Both(CycleAt(v, k));
    }
    case 42: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, 1.0f, kThird, kHalf, 1.0f};
        return Both(CycleAt(v, k));
    }
    case 43: return odd ? ScalePair{-1.0f, 1.0f} : Both(1.0f);
    case 44: return odd ? ScalePair{1.0f, -1.0f} : Both(1.0f);
    case 45: return odd ? ScalePair{-1.0f, -1.0f} : Both(1.0f);
    case 46: return odd ? ScalePair{-1.0f, -1.0f} : Both(kHalf);
    case 47: return odd ? ScalePair{1.0f, -1.0f} : ScalePair{-1.0f, 1.0f};
    case 48: return odd ? ScalePair{-1.0f, 1.0f} : ScalePair{1.0f, -1.0f};
    case 49:
        if (!odd && j % 2 != 0) return {1.0f, -1.0f};
        if (odd && j % 2 == 0) return {-1.0f, 1.0f};
        return Both(1.0f);
    case 50: return mixed ? ScalePair{-1.0f, -1.0f} : Both(1.0f);
    case 51:
    case 52: return mixed ? ScalePair{1.0f, -1.0f} : Both(1.0f);
    case 53: return mixed ? ScalePair{-1.0f, -1.0f} : Both(kHalf);
    case 54: return mixed ? ScalePair{-kHalf, 1.0f} : ScalePair{1.0f, -kHalf};
    case 55: return mixed ? ScalePair{kHalf, -1.0f} : ScalePair{-1.0f, kHalf};
    default: return Both(1.0f);
    }
}

ScalePair ScaledownApply(ASInt32 entry, ScalePair running, ScalePair option, ASInt32 k, ASInt32 i, AIReal& q,
                         const RandomSource& random) {
    const AIReal sx = running.h, sy = running.v;
    const bool kEven = Even(k);
    const bool sameParity = Even(k) == Even(i);
    const AIReal optionH = option.h, optionV = option.v;
    switch (entry) {
    case 1: return kEven ? ScalePair{sx, sy} : ScalePair{sx / 2, sy / 2};
    case 2: return k % 3 == 0 ? ScalePair{sx, sy} : ScalePair{sx / 2, sy / 2};
    case 3: return k % 4 == 0 ? ScalePair{sx, sy} : ScalePair{sx / 2, sy / 2};
    case 4: return kEven ? ScalePair{sx, sy} : ScalePair{sx * 0.25f, sy * 0.25f};
    case 5: return kEven ? ScalePair{sx, sy} : ScalePair{sx * 0.125f, sy * 0.125f};
    case 6: return kEven || k % 4 == 0 ? ScalePair{sx, sy} : ScalePair{sx / 2, sy / 2};
    case 7: return k % 3 == 0 || k % 6 == 0 ? ScalePair{sx, sy} : ScalePair{sx / 2, sy / 2};
    case 8: {
        const AIReal d = static_cast<AIReal>(k + 1);
        return {sx / d, sy / d};
    }
    case 9: return {sx < 0.5f ? 0.5f : sx, sy < 0.5f ? 0.5f : sy};
    case 10: {
        const AIReal r = random();
        q = r;
        return {sx < r ? r : sx, sy < r ? r : sy};
    }
    case 11: return {sx < 0.5f ? optionH : sx, sy < 0.5f ? optionV : sy};
    case 12: return {sx < 0.2f ? optionH : sx, sy < 0.2f ? optionV : sy};
    case 13:
    case 14: {
        const AIReal limit = entry == 13 ? 3.0f : 5.0f;
        ScalePair s{sx, sy};
        if (q > limit) {
            q = 0.0f;
            s = {optionH, optionV};
        }
        q += 1.0f;
        return s;
    }
    case 15: {
        ScalePair s{sx, sy};
        if (!kEven) s = {sx * 0.5f, sy * 0.5f};
        if (k % 3 != 0) s = {sx * 0.33333334f, sy * 0.25f};
        if (k % 4 != 0) s = {sx * 0.25f, sy * 0.16666667f};
        return s;
    }
    case 16: {
        ScalePair s{sx, sy};
        if (k % 3 != 0) s = {sx * 0.25f, sy * 0.33333334f};
        if (!kEven) s = {sx * 0.2f, sy * 0.5f};
        if (k % 5 != 0) s = {sx * 0.33333334f, sy * 0.5f};
        return s;
    }
    case 17: return kEven ? ScalePair{sx, sy} : ScalePair{sy, sx};
    case 18: return k % 3 == 0 ? ScalePair{sx, sy} : ScalePair{sy, sx};
    case 19: return kEven ? ScalePair{sx, sy} : ScalePair{-sx, sy};
    case 20: return kEven ? ScalePair{sx, sy} : ScalePair{sx, -sy};
    case 21: return kEven ? ScalePair{sx, sy} : ScalePair{-sx, -sy};
    case 22: return kEven ? ScalePair{sx / 2, sy / 2} : ScalePair{-sx, -sy};
    case 23: return kEven ? ScalePair{-sx, sy} : ScalePair{sx, -sy};
    case 24: return kEven ? ScalePair{sx, -sy} : ScalePair{-sx, sy};
    case 25:
        if (kEven && !Even(i)) return {sx, -sy};
        if (!kEven && Even(i)) return {-sx, sy};
        return {sx, sy};
    case 26: return sameParity ? ScalePair{sx, sy} : ScalePair{-sx, -sy};
    case 27:
    case 28: return sameParity ? ScalePair{sx, sy} : ScalePair{sx, -sy};
    case 29: return sameParity ? ScalePair{sx / 2, sy / 2} : ScalePair{-sx, -sy};
    case 30: return sameParity ? ScalePair{sx, -sy / 2} : ScalePair{-sx / 2, sy};
    case 31: return sameParity ? ScalePair{-sx, sy / 2} : ScalePair{sx / 2, -sy};
    default: return {sx, sy}; // " Default apply"
    }
}

} // namespace brivane::tools
