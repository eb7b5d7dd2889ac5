// The tools' pattern tables (Patterns.h).
#include "tools/Patterns.h"

#include "engine/Runs.h"

#include <cstddef>
#include <span>

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
AIReal CycleAt(std::span<const AIReal> values, ASInt32 n) { return values[static_cast<std::size_t>(n) % values.size()]; }

// An apply entry whose factor (the same on both axes) cycles through a fixed
// sequence, copy by copy or cell by cell.
struct Cycle {
    ASInt32 entry;
    std::span<const AIReal> values;
};

constexpr AIReal kOneHalf[] = {1, kHalf};
constexpr AIReal kOneHalfHalf[] = {1, kHalf, kHalf};
constexpr AIReal kOneHalfHalfHalf[] = {1, kHalf, kHalf, kHalf};
constexpr AIReal kOneQuarter[] = {1, kQuarter};
constexpr AIReal kOneEighth[] = {1, kEighth};
constexpr AIReal kOneToThird[] = {1, kHalf, kThird};
constexpr AIReal kOneToQuarter[] = {1, kHalf, kThird, kQuarter};
constexpr AIReal kHalfOne[] = {kHalf, 1};
constexpr AIReal kOneToFifth[] = {1, kHalf, kThird, kQuarter, kFifth};
constexpr AIReal kFifthToOne[] = {kFifth, kQuarter, kThird, kHalf, 1};
constexpr AIReal kOneToSeventh[] = {1, kHalf, kThird, kQuarter, kFifth, kSixth, kSeventh};
constexpr AIReal kFifthsDown[] = {1, 4.0f / 5.0f, 3.0f / 5.0f, 2.0f / 5.0f, kFifth};
constexpr AIReal kSixthsDown[] = {1, kFiveSixths, kTwoThirds, kHalf, kThird, kSixth};
constexpr AIReal kHalfOneQuarter[] = {kHalf, 1, kHalf, 1, kQuarter, 1};
constexpr AIReal kHalfOneOne[] = {kHalf, 1, 1, kHalf, 1, 1, kQuarter, 1, 1, kHalf, 1, 1, kHalf, 1, 1};
constexpr AIReal kOneSixthOneThird[] = {1, kSixth, 1, kThird};
constexpr AIReal kDownAndUp[] = {1, kHalf, kThird, kQuarter, kThird, kHalf, 1};
constexpr AIReal kUpFromFifth[] = {kFifth, kQuarter, kThird, kHalf, 1, kHalf, kThird, kQuarter};
constexpr AIReal kUpFromSixth[] = {kSixth, kQuarter, kHalf, 1, kHalf, kQuarter, kSixth};
constexpr AIReal kUpFromEighth[] = {kEighth, kSixth, kFifth, kThird, 1, kThird, kFifth, kSixth, kEighth};
constexpr AIReal kQuarterPeak[] = {kQuarter, kHalf, kQuarter, 1, kQuarter, kHalf, kQuarter};
constexpr AIReal kOneThirdPeaks[] = {1, kHalf, kThird, 1, kThird, kHalf, 1};

// Entries 29 - 33 and 37 - 42 cycle alike in Rows Columns and Windmill.
constexpr Cycle kSharedCycles[] = {
    {29, kOneToFifth},   {30, kFifthToOne},  {31, kOneToSeventh}, {32, kFifthsDown},    {33, kSixthsDown},
    {37, kDownAndUp},    {38, kUpFromFifth}, {39, kUpFromSixth},  {40, kUpFromEighth},  {41, kQuarterPeak},
    {42, kOneThirdPeaks},
};

constexpr Cycle kRowsColumnsCycles[] = {
    {1, kOneHalf},      {6, kOneHalf},        {13, kOneHalf},     {2, kOneHalfHalf},     {7, kOneHalfHalf},
    {3, kOneHalfHalfHalf}, {4, kOneQuarter},  {5, kOneEighth},    {14, kOneToThird},     {15, kOneToQuarter},
    {16, kHalfOne},     {34, kHalfOneQuarter}, {35, kHalfOneOne}, {36, kOneSixthOneThird},
};

// The cycle of entry in the table, or null.
const Cycle* FindCycle(std::span<const Cycle> table, ASInt32 entry) {
    for (const Cycle& cycle : table)
        if (cycle.entry == entry) return &cycle;
    return nullptr;
}

// 1 / n as a real division.
AIReal Reciprocal(ASInt32 n) { return 1.0f / static_cast<AIReal>(n); }

bool Even(ASInt32 n) { return n % 2 == 0; }

} // namespace

ScalePair RowsColumnsApply(ASInt32 entry, ASInt32 n, AIReal r) {
    // Entry 0 is most grids' setting and is asked twice per cell: it is
    // answered before the cycle tables are searched.
    if (entry == 0) return Both(1);
    if (n < 0) n = 0;
    if (const Cycle* cycle = FindCycle(kSharedCycles, entry)) return Both(CycleAt(cycle->values, n));
    if (const Cycle* cycle = FindCycle(kRowsColumnsCycles, entry)) return Both(CycleAt(cycle->values, n));
    switch (entry) {
    case 8: return Both(Reciprocal(n + 1));
    case 9:
        if (n % 12 == 0) return Both(1);
        if (n % 4 != 0) return {kQuarter, kSixth};
        return {kThird, kQuarter};
    case 10:
        if (n % 30 == 0) return Both(1);
        if (n % 5 != 0) return Both(kSixth);
        if (n % 2 != 0) return Both(kFifth);
        return Both(kQuarter); // a multiple of 10 but not of 30
    case 11: return Both(Reciprocal(n + 2));
    case 12: return Both(Reciprocal(n + 3));
    case 17: return Both(n % 10 == 0 ? 1.0f : kHalf);
    case 18: return Both(n % 6 == 0 ? 1.0f : kHalf);
    case 19: case 23: return Both(n % 6 == 0 ? 1.0f : kThird);
    case 20: return Both(n % 6 == 0 ? Reciprocal(n + 1) : kThird);
    case 21: return Both(n % 6 == 0 ? 1.0f : kQuarter);
    case 22: return Both(n % 15 == 0 ? 1.0f : kHalf);
    case 24: return Both(n % 12 == 5 ? 1.0f : kHalf);
    case 25: return Both(n % 20 == 17 ? 1.0f : kThird);
    case 26: return Both(n % 20 == 18 ? 1.0f : kQuarter);
    case 27: return Both(n % 2 == 0 ? 1.0f : r);
    case 28: return Both(n % 3 == 0 ? 1.0f : r);
    default: return Both(1); // entry 0 and anything outside the popup
    }
}

// The apply entries whose factors come from a draw per cell.
bool RowsColumnsApplyDraws(ASInt32 entry) { return entry == 27 || entry == 28; }

// Checkerboard popup: whether cell (row i, column j) is left out.
bool RowsColumnsLeftOut(ASInt32 entry, ASInt32 i, ASInt32 j) {
    if (entry < 1 || entry > 9) return false;  // no checkerboard: asked for every cell
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

namespace {

// Windmill's entries 43 - 55: mirror images of copy k (of object j) by its
// parity, or where k and j differ in parity ("mixed"). Anything else gives 1.
ScalePair WindmillMirror(ASInt32 e, ASInt32 k, ASInt32 j) {
    const bool odd = k % 2 != 0;
    const bool mixed = (k % 2) != (j % 2);
    switch (e) {
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

} // namespace

// Entries 1 - 36 by the copy number k (the cycles apart), the mirrors by
// WindmillMirror. Entries outside the popup give 1.
ScalePair WindmillApply(ASInt32 e, ASInt32 k, ASInt32 j, const RandomSource& random) {
    if (const Cycle* cycle = FindCycle(kSharedCycles, e)) return Both(CycleAt(cycle->values, k));
    const bool odd = k % 2 != 0;
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
    case 34: return Both(odd ? 1.0f : (k % 3 == 1 ? kQuarter : kHalf));
    case 35: return Both(k % 3 != 0 ? 1.0f : (k % 5 == 1 ? kQuarter : kHalf));
    case 36: return Both(!odd ? 1.0f : (k % 4 == 1 ? kSixth : kThird));
    default: return WindmillMirror(e, k, j);
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
