// Random sessions of every tool of both plug-ins: random documents, options
// set through the real dialogs, random drags with every modifier and
// pressure, each checked for crashes, non-finite values, lost or changed
// art, exact undo, reported errors and option changes. A failure names its
// seed; EASEL_PROPERTY_SEED=<seed> replays that one session, and
// EASEL_PROPERTY_SESSIONS=<n> sets how many sessions each tool plays.
#include <gtest/gtest.h>

#include <cstdio>

#include "Harness.h"

namespace reliability {
namespace {

// Sessions per tool in the regular test run; the long run raises it.
constexpr int kDefaultSessions = 6;

class PropertyTest : public ::testing::TestWithParam<ToolCase> {
protected:
    static void SetUpTestSuite() { host_ = new Host(); }
    static void TearDownTestSuite() {
        delete host_;
        host_ = nullptr;
    }
    static Host* host_;
};
Host* PropertyTest::host_ = nullptr;

TEST_P(PropertyTest, EverySessionKeepsTheDocumentSound) {
    ASSERT_TRUE(host_->error().empty()) << host_->error();
    const ToolCase& tool = GetParam();
    std::vector<uint64_t> seeds;
    if (auto one = replaySeed()) {
        seeds.push_back(*one);
    } else {
        // Each tool has its own range of seeds, so tools see different documents.
        const int n = sessionsPerTool(kDefaultSessions);
        const uint64_t base = 1000003ULL * static_cast<uint64_t>(tool.index + 2);
        for (int i = 0; i < n; ++i) seeds.push_back(base + static_cast<uint64_t>(i));
    }
    int events = 0, errors = 0, replays = 0, deletes = 0, failed = 0;
    for (uint64_t seed : seeds) {
        SessionStats stats;
        const auto failures = host_->runSession(tool, seed, stats);
        events += stats.events;
        errors += static_cast<int>(stats.errors.size());
        replays += stats.replayed ? 1 : 0;
        deletes += stats.deleteChecked ? 1 : 0;
        if (!failures.empty()) ++failed;
        for (const auto& f : failures)
            ADD_FAILURE() << tool.name << ", seed " << seed << " (" << stats.selected << " selected, " << stats.events
                          << " events): " << f << "\n  replay: EASEL_PROPERTY_SEED=" << seed
                          << " reliability_property_tests --gtest_filter='*" << tool.name << "'";
    }
    std::printf(
        "reliability: %s: %zu sessions, %d drag events, %d refused events, %d replayed, %d \"Delete\" checked, "
        "%d failed\n",
        tool.name, seeds.size(), events, errors, replays, deletes, failed);
}

INSTANTIATE_TEST_SUITE_P(AllTools, PropertyTest, ::testing::ValuesIn(toolCases()),
                         [](const ::testing::TestParamInfo<ToolCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace reliability
