// Every entry of the tools' pattern tables, written out as the rows state
// them: the apply factors of Rows Columns, Windmill and Scaledown, Rows
// Columns' checkerboard and turn popups and Framed's edge turns. A wrong
// entry fails under its popup text (" Apply 18").
#include "tools/Patterns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace brivane::tools;
using brivane::engine::RandomSource;

constexpr float H = 0.5f, T = 1.0f / 3, Q = 0.25f, F = 0.2f, S = 1.0f / 6, E = 0.125f;
// Markers in a sequence: the cell's random draw, and 1/(n+1), 1/(n+2), 1/(n+3).
constexpr float R = -100, N1 = -101, N2 = -102, N3 = -103;
constexpr float kDraw = 0.7f;

struct Pair {
    float h, v;
    constexpr Pair(float both) : h(both), v(both) {}
    constexpr Pair(float h_, float v_) : h(h_), v(v_) {}
};
using Cycle = std::vector<Pair>;

// `first`, then `count` times `rest`.
Cycle Then(float first, int count, float rest) {
    Cycle c(static_cast<std::size_t>(count) + 1, rest);
    c[0] = first;
    return c;
}
// `period` values of `rest` with 1 at `at`.
Cycle OneAt(int at, int period, float rest) {
    Cycle c(static_cast<std::size_t>(period), rest);
    c[static_cast<std::size_t>(at)] = 1;
    return c;
}

// A marker of the sequence at index n.
float Value(float x, int n) {
    if (x == R) return kDraw;
    if (x == N1 || x == N2 || x == N3) return 1.0f / static_cast<float>(n + static_cast<int>(-x) - 100);
    return x;
}
bool Draws(const Pair& p) { return p.h == R || p.v == R; }

// Draws kDraw and counts the draws.
struct CountingRandom {
    int draws = 0;
    RandomSource Source() {
        return {[](void* self) {
                    ++static_cast<CountingRandom*>(self)->draws;
                    return kDraw;
                },
                this};
    }
};

const RandomSource kNoDraws{[](void*) -> AIReal {
                                ADD_FAILURE() << "an entry without a draw drew a number";
                                return 0.0f;
                            },
                            nullptr};

std::string Apply(int entry) { return entry == 0 ? "default apply" : "\" Apply " + std::to_string(entry) + "\""; }

constexpr int kIndexes = 60; // twice the longest period

// Rows Columns' apply popups and Windmill's entries 0 to 42 give the same
// sequences; entry e is kApply[e].
const std::vector<Cycle> kApply = {
    {1}, {1, H}, {1, H, H}, {1, H, H, H}, {1, Q}, {1, E}, {1, H}, {1, H, H}, {N1},
    {1, {Q, S}, {Q, S}, {Q, S}, {T, Q}, {Q, S}, {Q, S}, {Q, S}, {T, Q}, {Q, S}, {Q, S}, {Q, S}},
    {1, S, S, S, S, F, S, S, S, S, Q, S, S, S, S, F, S, S, S, S, Q, S, S, S, S, F, S, S, S, S},
    {N2}, {N3}, {1, H}, {1, H, T}, {1, H, T, Q}, {H, 1},
    Then(1, 9, H), Then(1, 5, H), Then(1, 5, T), {N1, T, T, T, T, T}, Then(1, 5, Q), Then(1, 14, H),
    Then(1, 5, T), OneAt(5, 12, H), OneAt(17, 20, T), OneAt(18, 20, Q), {1, R}, {1, R, R},
    {1, H, T, Q, F}, {F, Q, T, H, 1}, {1, H, T, Q, F, S, 1.0f / 7}, {1, 0.8f, 0.6f, 0.4f, 0.2f},
    {1, 5.0f / 6, 2.0f / 3, H, T, S}, {H, 1, H, 1, Q, 1}, {H, 1, 1, H, 1, 1, Q, 1, 1, H, 1, 1, H, 1, 1},
    {1, S, 1, T}, {1, H, T, Q, T, H, 1}, {F, Q, T, H, 1, H, T, Q}, {S, Q, H, 1, H, Q, S},
    {E, S, F, T, 1, T, F, S, E}, {Q, H, Q, 1, Q, H, Q}, {1, H, T, 1, T, H, 1},
};

// Windmill's entries 43 to 55: the copies of an even object, then of an odd one.
struct ByObject {
    Cycle even, odd;
};
const std::vector<ByObject> kWindmillMirrors = {
    {{1, {-1, 1}}, {1, {-1, 1}}},          {{1, {1, -1}}, {1, {1, -1}}},
    {{1, -1}, {1, -1}},                    {{H, -1}, {H, -1}},
    {{{-1, 1}, {1, -1}}, {{-1, 1}, {1, -1}}}, {{{1, -1}, {-1, 1}}, {{1, -1}, {-1, 1}}},
    {{1, {-1, 1}}, {{1, -1}, 1}},          {{1, -1}, {-1, 1}},
    {{1, {1, -1}}, {{1, -1}, 1}},          {{1, {1, -1}}, {{1, -1}, 1}},
    {{H, -1}, {-1, H}},                    {{{1, -H}, {-H, 1}}, {{-H, 1}, {1, -H}}},
    {{{-1, H}, {H, -1}}, {{H, -1}, {-1, H}}},
};

// The first index at which `got` leaves the cycle, with what it gave. With
// `everyIndex` an entry that has a draw draws at every index, else only
// where the draw is used.
template <typename Get>
void ExpectCycle(const std::string& what, const Cycle& cycle, bool everyIndex, Get got) {
    bool entryDraws = false;
    for (const Pair& p : cycle) entryDraws = entryDraws || Draws(p);
    for (int n = 0; n < kIndexes; ++n) {
        const Pair& row = cycle[static_cast<std::size_t>(n) % cycle.size()];
        const float h = Value(row.h, n), v = Value(row.v, n);
        const bool draws = everyIndex ? entryDraws : Draws(row);
        bool drew = false;
        const Pair actual = got(n, &drew);
        if (actual.h != h || actual.v != v || drew != draws) {
            ADD_FAILURE() << what << " at index " << n << " gives (" << actual.h << ", " << actual.v << ")"
                          << (drew ? " with a draw" : "") << ", the row says (" << h << ", " << v << ")"
                          << (draws ? " with a draw" : "");
            return;
        }
    }
}

TEST(PatternTables, RowsColumnsApply) {
    ASSERT_EQ(kApply.size(), 43u);
    for (int e = 0; e < 43; ++e) {
        // A cell draws for an entry with a draw whatever its index.
        ExpectCycle("Rows Columns " + Apply(e), kApply[static_cast<std::size_t>(e)], true, [e](int n, bool* drew) {
            *drew = RowsColumnsApplyDraws(e);
            const ScalePair s = RowsColumnsApply(e, n, kDraw);
            return Pair{s.h, s.v};
        });
    }
}

TEST(PatternTables, WindmillApply) {
    for (int e = 0; e < 56; ++e) {
        for (int j = 0; j < 4; ++j) {
            const Cycle& cycle = e < 43 ? kApply[static_cast<std::size_t>(e)]
                                 : j % 2 == 0 ? kWindmillMirrors[static_cast<std::size_t>(e - 43)].even
                                              : kWindmillMirrors[static_cast<std::size_t>(e - 43)].odd;
            ExpectCycle("Windmill " + Apply(e) + ", object " + std::to_string(j), cycle, false, [e, j](int k, bool* drew) {
                CountingRandom random;
                const ScalePair s = WindmillApply(e, k, j, random.Source());
                EXPECT_LE(random.draws, 1) << "Windmill " << Apply(e);
                *drew = random.draws > 0;
                return Pair{s.h, s.v};
            });
        }
    }
}

// Scaledown's entries as (a, b, swap): h = a x sx and v = b x sy, or with
// swap h = a x sy and v = b x sx. N1 stands for 1/(k+1).
struct Rewrite {
    float a, b;
    bool swap = false;
};
constexpr Rewrite I{1, 1}, Hf{H, H}, Sw{1, 1, true};

TEST(PatternTables, ScaledownApply) {
    struct Row {
        int entry;
        std::vector<Rewrite> even, odd; // for objects of even and odd index; odd empty: the same
    };
    const Rewrite kQS{Q, S}, kTQ{T, Q}, kTH{T, H}, kFH{F, H}, kQT{Q, T};
    std::vector<Rewrite> sixteen(30, kTH);
    for (int k : {5, 15, 25}) sixteen[static_cast<std::size_t>(k)] = kFH;
    for (int k : {10, 20}) sixteen[static_cast<std::size_t>(k)] = kQT;
    sixteen[0] = I;
    const std::vector<Row> rows = {
        {0, {I}, {}}, {1, {I, Hf}, {}}, {2, {I, Hf, Hf}, {}}, {3, {I, Hf, Hf, Hf}, {}}, {4, {I, {Q, Q}}, {}},
        {5, {I, {E, E}}, {}}, {6, {I, Hf}, {}}, {7, {I, Hf, Hf}, {}}, {8, {{N1, N1}}, {}},
        {15, {I, kQS, kQS, kQS, kTQ, kQS, kQS, kQS, kTQ, kQS, kQS, kQS}, {}}, {16, sixteen, {}},
        {17, {I, Sw}, {}}, {18, {I, Sw, Sw}, {}}, {19, {I, {-1, 1}}, {}}, {20, {I, {1, -1}}, {}},
        {21, {I, {-1, -1}}, {}}, {22, {Hf, {-1, -1}}, {}}, {23, {{-1, 1}, {1, -1}}, {}},
        {24, {{1, -1}, {-1, 1}}, {}}, {25, {I, {-1, 1}}, {{1, -1}, I}}, {26, {I, {-1, -1}}, {{-1, -1}, I}},
        {27, {I, {1, -1}}, {{1, -1}, I}}, {28, {I, {1, -1}}, {{1, -1}, I}}, {29, {Hf, {-1, -1}}, {{-1, -1}, Hf}},
        {30, {{1, -H}, {-H, 1}}, {{-H, 1}, {1, -H}}}, {31, {{-1, H}, {H, -1}}, {{H, -1}, {-1, H}}},
    };
    const ScalePair running{0.8f, 0.6f}, option{0.9f, 0.7f};
    for (const Row& row : rows) {
        for (int i = 0; i < 4; ++i) {
            const auto& cycle = i % 2 == 1 && !row.odd.empty() ? row.odd : row.even;
            for (int k = 0; k < kIndexes; ++k) {
                const Rewrite& w = cycle[static_cast<std::size_t>(k) % cycle.size()];
                const float a = Value(w.a, k), b = Value(w.b, k);
                const float h = a * (w.swap ? running.v : running.h), v = b * (w.swap ? running.h : running.v);
                AIReal q = 0;
                const ScalePair s = ScaledownApply(row.entry, running, option, k, i, q, kNoDraws);
                if (std::fabs(s.h - h) > 1e-6f || std::fabs(s.v - v) > 1e-6f || q != 0) {
                    ADD_FAILURE() << "Scaledown " << Apply(row.entry) << ", object " << i << ", copy " << k << " gives ("
                                  << s.h << ", " << s.v << "), the row says (" << h << ", " << v << ")";
                    break;
                }
            }
        }
    }
}

TEST(PatternTables, ScaledownApplyByValue) {
    // The entries that look at the running scales or at the apply counter q.
    struct Case {
        int entry;
        ScalePair running;
        float qIn;
        ScalePair want;
        float qOut;
    };
    const ScalePair option{0.9f, 0.7f};
    const Case cases[] = {
        {9, {0.4f, 0.6f}, 0, {0.5f, 0.6f}, 0},     {9, {0.6f, 0.3f}, 0, {0.6f, 0.5f}, 0},
        {10, {0.4f, 0.8f}, 0, {kDraw, 0.8f}, kDraw}, {10, {0.9f, 0.5f}, 0, {0.9f, kDraw}, kDraw},
        {11, {0.4f, 0.6f}, 0, {0.9f, 0.6f}, 0},    {11, {0.5f, 0.45f}, 0, {0.5f, 0.7f}, 0},
        {12, {0.1f, 0.3f}, 0, {0.9f, 0.3f}, 0},    {12, {0.2f, 0.19f}, 0, {0.2f, 0.7f}, 0},
        {13, {0.4f, 0.3f}, 3, {0.4f, 0.3f}, 4},    {13, {0.4f, 0.3f}, 4, {0.9f, 0.7f}, 1},
        {14, {0.4f, 0.3f}, 5, {0.4f, 0.3f}, 6},    {14, {0.4f, 0.3f}, 6, {0.9f, 0.7f}, 1},
    };
    for (const Case& c : cases) {
        CountingRandom random;
        AIReal q = c.qIn;
        const ScalePair s = ScaledownApply(c.entry, c.running, option, 3, 1, q, random.Source());
        const std::string what = "Scaledown " + Apply(c.entry) + " from (" + std::to_string(c.running.h) + ", " +
                                 std::to_string(c.running.v) + "), q " + std::to_string(c.qIn);
        EXPECT_FLOAT_EQ(s.h, c.want.h) << what;
        EXPECT_FLOAT_EQ(s.v, c.want.v) << what;
        EXPECT_FLOAT_EQ(q, c.qOut) << what;
        EXPECT_EQ(random.draws, c.entry == 10 ? 1 : 0) << what;
    }
}

// Cells (row i, column j) for i, j = 0 to 7: 'x' where the rule holds.
using Picture = std::vector<std::string>;

void ExpectPicture(const std::string& what, const Picture& picture, bool (*rule)(ASInt32, ASInt32, ASInt32),
                   int entry) {
    ASSERT_EQ(picture.size(), 8u) << what;
    std::string got;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j) got += rule(entry, i, j) ? 'x' : '.';
        got += i < 7 ? "|" : "";
    }
    std::string want;
    for (const std::string& row : picture) want += (want.empty() ? "" : "|") + row;
    EXPECT_EQ(got, want) << what;
}

TEST(PatternTables, RowsColumnsCheckerboardLeavesOut) {
    const std::vector<Picture> pictures = {
        {"........", "........", "........", "........", "........", "........", "........", "........"},
        {".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x."},
        {"..xx..xx", "..xx..xx", "xx..xx..", "xx..xx..", "..xx..xx", "..xx..xx", "xx..xx..", "xx..xx.."},
        {"...xxx..", "...xxx..", "...xxx..", "xxx...xx", "xxx...xx", "xxx...xx", "...xxx..", "...xxx.."},
        {".x..x..x", "x..x..x.", "........", ".x..x..x", "x..x..x.", "........", ".x..x..x", "x..x..x."},
        {"..x..x..", "........", "x..x..x.", "..x..x..", "........", "x..x..x.", "..x..x..", "........"},
        {"x.x.x.x.", ".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x.", ".x.x.x.x"},
        {"x..x..x.", ".x..x..x", "........", "x..x..x.", ".x..x..x", "........", "x..x..x.", ".x..x..x"},
        {"x...x...", ".x...x..", "........", "........", "x...x...", ".x...x..", "........", "........"},
        {".x...x..", "x...x...", "........", "........", ".x...x..", "x...x...", "........", "........"},
    };
    for (int e = 0; e < 10; ++e)
        ExpectPicture(e == 0 ? "\" Ignore checkerboard\"" : "\" Check " + std::to_string(e) + "\"", pictures[static_cast<std::size_t>(e)],
                      RowsColumnsLeftOut, e);
}

TEST(PatternTables, RowsColumnsTurnTurns) {
    const std::vector<Picture> pictures = {
        {"........", "........", "........", "........", "........", "........", "........", "........"},
        {".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x.", ".x.x.x.x", "x.x.x.x."},
        {".x..x..x", "x..x..x.", "........", ".x..x..x", "x..x..x.", "........", ".x..x..x", "x..x..x."},
        {".x.x.x.x", ".x.x.x.x", ".x.x.x.x", ".x.x.x.x", ".x.x.x.x", ".x.x.x.x", ".x.x.x.x", ".x.x.x.x"},
        {"........", "xxxxxxxx", "........", "xxxxxxxx", "........", "xxxxxxxx", "........", "xxxxxxxx"},
    };
    for (int e = 0; e < 5; ++e)
        ExpectPicture(e == 0 ? "\" Ignore turn\"" : "\" Turn " + std::to_string(e) + "\"", pictures[static_cast<std::size_t>(e)],
                      RowsColumnsTurned, e);
}

TEST(PatternTables, FramedEdgeTurns) {
    // A frame of 4 rows and 5 columns: '+' a quarter turn, '-' a quarter turn
    // back, '0' none, 'r' the draw times a whole turn; inside cells are '.'.
    const char* const names[] = {"Default", "Turn 1", "Turn 2", "Flip", "Randomized"};
    const std::vector<Picture> pictures = {
        {"00000", "0...0", "0...0", "00000"}, {"+++++", "-...-", "-...-", "+++++"},
        {"-----", "+...0", "+...0", "00000"}, {"-0-0-", "0...0", "-...-", "-0-0-"},
        {"rrrrr", "r...r", "r...r", "rrrrr"},
    };
    for (int e = 0; e < 5; ++e) {
        std::string got;
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 5; ++j) {
                if (i != 0 && i != 3 && j != 0 && j != 4) {
                    got += '.';
                    continue;
                }
                CountingRandom random;
                const float turn = FramedEdgeTurn(e, i, j, 4, random.Source());
                char c = '?';
                if (turn == 1.5707964f) c = '+';
                if (turn == -1.5707964f) c = '-';
                if (turn == 0.0f) c = '0';
                if (random.draws == 1 && turn == kDraw * 6.2831855f) c = 'r';
                if (random.draws != 0 && c != 'r') c = '?';
                got += c;
            }
            got += i < 3 ? "|" : "";
        }
        const Picture& p = pictures[static_cast<std::size_t>(e)];
        EXPECT_EQ(got, p[0] + "|" + p[1] + "|" + p[2] + "|" + p[3]) << "\" Edge - " << names[e] << "\"";
    }
}

} // namespace
