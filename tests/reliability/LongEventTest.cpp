// A long plug-in event is reported while it runs: the loader names the event,
// the document counts the art it makes, and `easel play` prints the reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "cli/Program.h"
#include "model/Document.h"
#include "Harness.h"
#include "core/Progress.h"
#include "adm/Dialog.h"

namespace reliability {
namespace {

using namespace easel;

struct Report {
    std::string what;
    uint64_t objects;
    double seconds;
};

// Puts the monitor back as the host has it whatever the test did.
class LongEventTest : public ::testing::Test {
protected:
    void TearDown() override {
        progress().setReporter(nullptr);
        progress().setClock(nullptr);
        progress().setThreshold(0.5);
        progress().setInterval(0.5);
    }
};

TEST_F(LongEventTest, ARowsColumnsDragReportsEachSlowEventWithAGrowingCount) {
    Host host;
    ASSERT_TRUE(host.error().empty()) << host.error();
    auto doc = newDocument(612, 792);
    for (int i = 0; i < 20; ++i) {
        Art* a = nullptr;
        const float h = static_cast<float>(i % 5) * 20, v = static_cast<float>(i / 5) * 20;
        ASSERT_EQ(doc->newRect(v + 10, h, v, h + 10, false, &a), kNoErr);
        ASSERT_EQ(doc->setSelected(a, true), kNoErr);
    }
    doc->clearHistory();
    hostState().document = doc.get();
    const ToolCase& rows = toolCases().front();
    adm::ScriptedDriver grid({{20, 10.0, std::nullopt}, {21, 10.0, std::nullopt}}, {"OK"});
    ASSERT_EQ(host.openOptions(rows, &grid).result, kNoErr);

    // A clock that moves one millisecond each time it is read: the model reads
    // it for every copy it makes and every transform, so an event of 2,000
    // copies runs a few seconds.
    double t = 0;
    progress().setClock([&t] { return t += 0.001; });
    std::vector<Report> reports;
    progress().setReporter([&](const std::string& what, uint64_t objects, double seconds) {
        reports.push_back({what, objects, seconds});
    });

    doc->beginUndoContext();
    EXPECT_EQ(host.send(rows, kSelectorAIToolMouseDown, {10, 10}, 0, 0).result, kNoErr);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(host.send(rows, kSelectorAIToolMouseDrag, {10.0f + 30.0f * static_cast<float>(i), 200}, 0, 0).result,
                  kNoErr);
    doc->commitUndoContext();
    doc->beginUndoContext();
    EXPECT_EQ(host.send(rows, kSelectorAIToolMouseUp, {100, 200}, 0, 0).result, kNoErr);
    doc->commitUndoContext();
    EXPECT_FALSE(progress().snapshot().busy);
    hostState().document = nullptr;

    // Every drag event makes its 1,980 copies and so is reported several
    // times, each time with more objects; mouse down and up make nothing.
    for (int i = 1; i <= 3; ++i) {
        const std::string what = "Rows Columns drag event " + std::to_string(i);
        std::vector<uint64_t> counts;
        double last = -1;
        for (const auto& r : reports)
            if (r.what == what) {
                counts.push_back(r.objects);
                EXPECT_GE(r.seconds, 0.5) << what << ": reported before the threshold";
                if (last >= 0) {
                    EXPECT_GE(r.seconds - last, 0.5 - 1e-9) << what << ": reported too often";
                }
                last = r.seconds;
            }
        ASSERT_GE(counts.size(), 2u) << what;
        EXPECT_GT(counts.front(), 0u) << what;
        for (size_t k = 1; k < counts.size(); ++k) EXPECT_GT(counts[k], counts[k - 1]) << what;
        EXPECT_LE(counts.back(), 1980u) << what;
    }
    for (const auto& r : reports) EXPECT_EQ(r.what.rfind("Rows Columns drag event ", 0), 0u) << r.what;
}

class PlayProgressTest : public LongEventTest {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("easel-progress-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "drag.json") << R"({"document": ")" << EASEL_EXAMPLES_DIR << R"(/squares.json",
 "plugins": ["Brivane"], "seed": 1,
 "steps": [{"select": [1, 2]},
           {"drag": {"tool": "Rows Columns", "from": [60, 60], "to": [300, 250], "steps": 3}}]})";
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        LongEventTest::TearDown();
    }
    int play(std::string& out, std::string& err) {
        cli::PlayOptions o;
        o.script = dir_ / "drag.json";
        o.pluginDirs = {EASEL_PLUGIN_DIR};
        std::ostringstream o1, o2;
        const int rc = cli::play(o, o1, o2);
        out = o1.str();
        err = o2.str();
        return rc;
    }
    std::filesystem::path dir_;
};

TEST_F(PlayProgressTest, AQuickRunPrintsNothingNew) {
    std::string out, err;
    EXPECT_EQ(play(out, err), 0) << err;
    EXPECT_EQ(err, "");
}

TEST_F(PlayProgressTest, ASlowEventPrintsOneLinePerReportOnStandardError) {
    std::string quietOut, quietErr;
    ASSERT_EQ(play(quietOut, quietErr), 0) << quietErr;
    progress().setThreshold(0);
    progress().setInterval(0);  // every art node is reported
    std::string out, err;
    ASSERT_EQ(play(out, err), 0) << err;
    EXPECT_EQ(out, quietOut) << "the reports went to standard output";
    std::istringstream lines(err);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        EXPECT_EQ(line.rfind("easel: Rows Columns drag event ", 0), 0u) << line;
        EXPECT_NE(line.find(" made, "), std::string::npos) << line;
        EXPECT_EQ(line.substr(line.size() - 2), " s") << line;
    }
    EXPECT_GT(n, 2);
    EXPECT_NE(err.find("easel: Rows Columns drag event 3: 1 object made, "), std::string::npos) << err;
    EXPECT_NE(err.find("easel: Rows Columns drag event 3: 2 objects made, "), std::string::npos) << err;
}

}  // namespace
}  // namespace reliability
