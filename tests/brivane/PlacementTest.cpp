// The placement table in its grid and run forms.
#include "engine/Placement.h"

#include <gtest/gtest.h>

namespace {

using namespace brivane::engine;

const RandomSource kNoDraws{[](void*) -> AIReal {
                                ADD_FAILURE() << "a rule other than Random 1 drew a number";
                                return 0.0f;
                            },
                            nullptr};

int InGrid(ASInt32 mode, ASInt32 row, ASInt32 column, ASInt32 object) {
    return PlaceBeneath(mode, row, column, object, IndexForm::kGrid, kNoDraws);
}
int InRun(ASInt32 mode, ASInt32 copy, ASInt32 object) { return PlaceBeneath(mode, copy, 0, object, IndexForm::kRun, kNoDraws); }

TEST(Placement, AboveAndBeneathIgnoreTheIndexes) {
    for (ASInt32 a = 0; a < 4; ++a) {
        EXPECT_EQ(InGrid(0, a, a + 1, a), 0);
        EXPECT_EQ(InRun(1, a, 3), 1);
    }
}

TEST(Placement, Alternate1OnATwoByTwoGridPutsOnlyTheFirstCellBeneath) {
    EXPECT_EQ(InGrid(2, 0, 0, 0), 1);
    EXPECT_EQ(InGrid(2, 0, 1, 0), 0);
    EXPECT_EQ(InGrid(2, 1, 0, 0), 0);
    EXPECT_EQ(InGrid(2, 1, 1, 0), 0);
}

TEST(Placement, Alternate2InRunFormPutsOddCopiesBeneath) {
    for (ASInt32 k = 0; k < 8; ++k) EXPECT_EQ(InRun(3, k, 0), k % 2) << k;
}

TEST(Placement, Alternate3PathOnlyObjectZeroAtEvenRowAndColumn) {
    for (ASInt32 p = 0; p < 2; ++p)
        for (ASInt32 i = 0; i < 4; ++i)
            for (ASInt32 j = 0; j < 4; ++j)
                EXPECT_EQ(InGrid(7, i, j, p), p == 0 && i % 2 == 0 && j % 2 == 0 ? 1 : 0) << p << i << j;
}

// Every rule of the table, both forms, against its own statement over a
// block of indexes.
TEST(Placement, EveryPathRuleInBothForms) {
    struct Case {
        ASInt32 mode;
        bool (*grid)(int a, int b, int p);
        bool (*run)(int a, int p);
    };
    const Case cases[] = {
        {5, [](int a, int b, int p) { return (a % 2 == 0 && b % 2 == 0 && p % 2 == 0) || (a % 2 && b % 2 && p % 2); },
         [](int a, int p) { return a % 2 == p % 2; }},
        {6, [](int a, int b, int p) { return (a % 2 == 0 && b % 2 == 0 && p % 2) || (a % 2 && b % 2 == 0 && p % 2 == 0); },
         [](int a, int p) { return a % 2 != p % 2; }},
        {8, [](int a, int b, int p) { return a % 2 && b % 2 && p % 2 == 0; }, [](int a, int p) { return a % 2 && p % 2 == 0; }},
        {9, [](int a, int b, int p) { return a % 2 == 0 && b % 2 == 0 && p % 2; }, [](int a, int p) { return a % 2 == 0 && p % 2; }},
        {10, [](int a, int b, int p) { return a % 2 && b % 2 && p % 2; }, [](int a, int p) { return a % 2 && p % 2; }},
        {11, [](int a, int b, int p) { return (a % 3 == 0 && b % 3 == 0 && p % 2 == 0) || (a % 3 == 1 && b % 3 == 1 && p % 2); },
         [](int a, int p) { return (a % 3 == 0 && p % 2 == 0) || (a % 3 == 1 && p % 2); }},
        {12, [](int a, int b, int p) { return (a % 3 == 0 && b % 3 == 0 && p % 2) || (a % 3 == 1 && b % 3 == 0 && p % 2 == 0); },
         [](int a, int p) { return (a % 3 == 0 && p % 2) || (a % 3 == 1 && p % 2 == 0); }},
        {13, [](int a, int b, int p) { return a % 3 == 0 && b % 3 == 0 && p % 2 == 0; }, [](int a, int p) { return a % 3 == 0 && p % 2 == 0; }},
        {14, [](int a, int b, int p) { return a % 3 == 1 && b % 3 == 1 && p % 2 == 0; }, [](int a, int p) { return a % 3 == 1 && p % 2 == 0; }},
        {15, [](int a, int b, int p) { return a % 3 == 0 && b % 3 == 0 && p % 2; }, [](int a, int p) { return a % 3 == 0 && p % 2; }},
        {16, [](int a, int b, int p) { return a % 3 == 1 && b % 3 == 1 && p % 2; }, [](int a, int p) { return a % 3 == 1 && p % 2; }},
    };
    for (const Case& c : cases)
        for (int p = 0; p < 2; ++p)
            for (int a = 0; a < 6; ++a) {
                EXPECT_EQ(InRun(c.mode, a, p), c.run(a, p) ? 1 : 0) << "run " << c.mode << " a " << a << " p " << p;
                for (int b = 0; b < 6; ++b)
                    EXPECT_EQ(InGrid(c.mode, a, b, p), c.grid(a, b, p) ? 1 : 0)
                        << "grid " << c.mode << " a " << a << " b " << b << " p " << p;
            }
}

TEST(Placement, Random1DrawsOncePerCall) {
    AIReal next[] = {0.6f, 0.4f, 0.5f};
    int used = 0;
    struct Ctx {
        AIReal* values;
        int* used;
    } ctx{next, &used};
    const RandomSource random{[](void* c) {
                                  auto* x = static_cast<Ctx*>(c);
                                  return x->values[(*x->used)++];
                              },
                              &ctx};
    EXPECT_EQ(PlaceBeneath(4, 0, 0, 0, IndexForm::kRun, random), 1);
    EXPECT_EQ(PlaceBeneath(4, 0, 0, 0, IndexForm::kGrid, random), 0);
    EXPECT_EQ(PlaceBeneath(4, 0, 0, 0, IndexForm::kRun, random), 0) << "exactly 5 is not beneath";
    EXPECT_EQ(used, 3);
}

TEST(Placement, UnknownEntriesStayAbove) {
    EXPECT_EQ(InRun(17, 0, 0), 0);
    EXPECT_EQ(InGrid(-1, 0, 0, 0), 0);
}

} // namespace
