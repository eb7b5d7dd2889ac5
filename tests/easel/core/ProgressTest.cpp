// The progress monitor with a clock the test moves by hand: when it reports,
// how often, what it reports, and what another thread reads meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core/Progress.h"

namespace easel {
namespace {

struct Report {
    std::string what;
    uint64_t objects;
    double seconds;
};

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        p.setClock([this] { return now.load(); });
        p.setReporter([this](const std::string& what, uint64_t objects, double seconds) {
            reports.push_back({what, objects, seconds});
        });
    }
    std::atomic<double> now{100.0};
    Progress p;
    std::vector<Report> reports;
};

TEST_F(ProgressTest, AFastEventReportsNothing) {
    p.begin("Grid drag event 1");
    for (int i = 0; i < 1000; ++i) p.tick();
    now = 100.49;
    p.tick();
    p.end();
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(p.reports(), 0u);
}

TEST_F(ProgressTest, ASlowEventReportsPastTheThresholdAndAtMostOncePerInterval) {
    // Times are binary fractions so that differences are exact.
    p.begin("Grid drag event 7");
    p.tick(10);
    now = 100.625;
    p.tick(5);  // past 0.5 s: first report
    now = 100.75;
    p.tick(5);  // 0.125 s after it: held back
    now = 101.0;
    p.tick(5);  // 0.375 s after it: held back
    now = 101.125;
    p.tick(5);  // 0.5 s after it: second report
    p.end();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].what, "Grid drag event 7");
    EXPECT_EQ(reports[0].objects, 15u);
    EXPECT_DOUBLE_EQ(reports[0].seconds, 0.625);
    EXPECT_EQ(reports[1].objects, 30u);
    EXPECT_DOUBLE_EQ(reports[1].seconds, 1.125);
    EXPECT_EQ(p.reports(), 2u);
}

TEST_F(ProgressTest, EachEventStartsItsOwnCountAndClock) {
    p.begin("a");
    p.tick(50);
    now = 101.0;
    p.tick();
    p.end();
    p.begin("b");
    p.tick(3);
    now = 101.375;  // 0.375 s into b although 1.375 s after a began
    p.tick();
    EXPECT_EQ(p.snapshot().objects, 4u);
    now = 101.5;
    p.tick();
    p.end();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].what, "b");
    EXPECT_EQ(reports[1].objects, 5u);
    EXPECT_NEAR(reports[1].seconds, 0.5, 1e-9);
}

TEST_F(ProgressTest, ThresholdAndIntervalCanBeLowered) {
    p.setThreshold(0.125);
    p.setInterval(0.25);
    p.begin("quick");
    now = 100.125;
    p.tick();
    now = 100.25;
    p.tick();
    now = 100.375;
    p.tick();
    p.end();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].objects, 1u);
    EXPECT_EQ(reports[1].objects, 3u);
}

TEST_F(ProgressTest, TicksWhileIdleAreIgnored) {
    p.tick(1000);
    now = 200.0;
    p.tick();
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(p.snapshot().busy);
    p.begin("next");
    EXPECT_EQ(p.snapshot().objects, 0u);
    p.end();
}

TEST_F(ProgressTest, NestedMessagesBelongToTheOuterEvent) {
    p.begin("outer");
    p.tick(2);
    p.begin("inner");
    p.tick(3);
    p.end();
    const ProgressSnapshot s = p.snapshot();
    EXPECT_TRUE(s.busy);
    EXPECT_EQ(s.what, "outer");
    EXPECT_EQ(s.objects, 5u);
    p.end();
    EXPECT_FALSE(p.snapshot().busy);
    p.end();  // an unmatched end leaves the monitor idle and usable
    p.begin("again");
    EXPECT_TRUE(p.snapshot().busy);
    p.end();
    EXPECT_FALSE(p.snapshot().busy);
}

TEST_F(ProgressTest, SnapshotTellsWhatRunsAndForHowLong) {
    EXPECT_FALSE(p.snapshot().busy);
    EXPECT_EQ(p.snapshot().what, "");
    {
        Progress::Event e(p, "Tiles mouse up");
        p.tick(42);
        now = 102.25;
        const ProgressSnapshot s = p.snapshot();
        EXPECT_TRUE(s.busy);
        EXPECT_EQ(s.what, "Tiles mouse up");
        EXPECT_EQ(s.objects, 42u);
        EXPECT_DOUBLE_EQ(s.elapsedSeconds, 2.25);
    }
    const ProgressSnapshot idle = p.snapshot();
    EXPECT_FALSE(idle.busy);
    EXPECT_EQ(idle.objects, 0u);
}

TEST_F(ProgressTest, AnotherThreadReadsAConsistentSnapshotWhileEventsRun) {
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0}, busySeen{0};
    std::thread reader([&] {
        while (!stop.load()) {
            const ProgressSnapshot s = p.snapshot();
            if (s.busy) {
                ++busySeen;
                if (s.what.rfind("event ", 0) != 0 || s.elapsedSeconds < 0) ++bad;
            } else if (!s.what.empty() || s.objects != 0) {
                ++bad;
            }
        }
    });
    for (int i = 0; i < 2000 || busySeen.load() == 0; ++i) {
        Progress::Event e(p, "event " + std::to_string(i));
        for (int k = 0; k < 20; ++k) p.tick();
    }
    stop = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
}

TEST(ProgressLine, CountsWithThousandsSeparatorsAndOneDecimal) {
    EXPECT_EQ(progressLine("Grid drag event 3", 412000, 1.5), "Grid drag event 3: 412,000 objects made, 1.5 s");
    EXPECT_EQ(progressLine("x", 1, 0.54), "x: 1 object made, 0.5 s");
    EXPECT_EQ(progressLine("x", 999, 2), "x: 999 objects made, 2.0 s");
    EXPECT_EQ(progressLine("x", 1234567, 10.06), "x: 1,234,567 objects made, 10.1 s");
}

}  // namespace
}  // namespace easel
