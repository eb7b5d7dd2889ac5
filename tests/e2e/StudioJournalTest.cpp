// The studio's recovery journal: an unusable one never stops the studio and
// is kept aside, two studios on one document never write over each other's
// journal, a restore that stops part way keeps the whole journal, and a
// folder that cannot be written is reported at start.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "studio/Recorder.h"
#include "studio/Studio.h"

namespace fs = std::filesystem;
using easel::studio::json;
using easel::studio::Studio;
using easel::studio::StudioOptions;

namespace {

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const json kStar = {{"op", "edit"}, {"edit", {{"op", "create"}, {"shape", "star"}, {"center", {300, 400}}, {"radius", 80}}}};

const char* kEmptyDocument =
    R"({"format":"easel-document","version":1,"seed":1,"page":{"width":200,"height":100},"layers":[{"name":"Layer 1","art":[]}]})";

std::string journalText(const std::string& members, const std::string& steps) {
    return R"({"format":"easel-recovery","version":1,)" + members + R"("script":{"document":)" + kEmptyDocument +
           R"(,"plugins":["EaselTest"],"seed":1,"steps":)" + steps + "}}";
}

// Every notice of an answer, as one text.
std::string noticesOf(const json& answer) {
    std::string all;
    for (const auto& n : answer["notices"]) all += n.value("text", "") + "\n";
    return all;
}
// Those of the studio's next state (the first has what start-up found).
std::string noticesOf(Studio& s) { return noticesOf(s.call({{"op", "state"}, {"scene", false}})); }

// The journals kept aside in `dir`.
std::vector<fs::path> keptIn(const fs::path& dir) {
    std::vector<fs::path> kept;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().find(".kept-") != std::string::npos) kept.push_back(e.path());
    return kept;
}

class StudioJournal : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("studio-journal-" + std::to_string(::getpid()));
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::unique_ptr<Studio> start(const fs::path& journal,
                                  StudioOptions::Recover recover = StudioOptions::Recover::Ask) {
        StudioOptions o;
        o.pluginDirs = {EASEL_TEST_PLUGIN_DIR};
        o.plugins = {"EaselTest"};
        o.journal = journal;
        o.recover = recover;
        auto s = std::make_unique<Studio>(o);
        std::string error;
        EXPECT_TRUE(s->start(error)) << error;
        return s;
    }
};

TEST_F(StudioJournal, AnUnusableJournalIsKeptAsideAndTheStudioStarts) {
    const struct {
        const char* what;
        std::string text;  // empty: a folder in the journal's place
        const char* names;
    } cases[] = {
        {"format of the wrong kind", R"({"format":5,"version":1,"unsaved":true,"script":{}})", "\"format\""},
        {"unsaved not a flag", journalText(R"("unsaved":"yes",)", "[]"), "\"unsaved\""},
        {"a newer version", R"({"format":"easel-recovery","version":2,"unsaved":true,"script":{}})", "\"version\""},
        {"steps not a list", journalText(R"("unsaved":true,)", "3"), "steps"},
        {"a step easel cannot read", journalText(R"("unsaved":true,)", R"([{"drag":{"tool":"T"}}])"), "steps[0]"},
        {"cut short", journalText(R"("unsaved":true,)", "[]").substr(0, 60), "not valid JSON"},
        {"a folder in its place", "", "folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path journal = dir / "doc.json";
        if (c.text.empty())
            fs::create_directories(journal / "inside");
        else
            std::ofstream(journal, std::ios::binary) << c.text;
        for (const auto recover : {StudioOptions::Recover::Ask, StudioOptions::Recover::Yes}) {
            auto studio = start(journal, recover);
            const std::string notices = noticesOf(*studio);
            EXPECT_NE(notices.find(c.names), std::string::npos) << notices;
            EXPECT_NE(notices.find("kept as"), std::string::npos) << notices;
            // Kept as it was, under a new name; this studio's journal works.
            const auto kept = keptIn(dir);
            ASSERT_EQ(kept.size(), 1u);
            if (c.text.empty())
                EXPECT_TRUE(fs::is_directory(kept[0] / "inside"));
            else
                EXPECT_EQ(readText(kept[0]), c.text);
            ASSERT_TRUE(studio->call(kStar)["ok"]);
            std::string error;
            const auto fresh = easel::studio::readJournal(journal, error);
            EXPECT_TRUE(error.empty()) << error;
            ASSERT_TRUE(fresh.has_value());
            EXPECT_EQ((*fresh)["steps"].size(), 1u);
            studio.reset();
            fs::remove_all(kept[0]);
            // The second round starts from the same unusable journal.
            if (c.text.empty()) {
                fs::remove(journal);
                fs::create_directories(journal / "inside");
            } else {
                std::ofstream(journal, std::ios::binary) << c.text;
            }
        }
        fs::remove_all(journal);
    }
}

TEST_F(StudioJournal, TwoStudiosOnOneDocumentKeepJournalsOfTheirOwn) {
    const fs::path base = dir / "doc.json", second = dir / "doc.2.json";
    auto a = start(base);
    EXPECT_EQ(noticesOf(*a).find("another studio"), std::string::npos);
    auto b = start(base);
    const std::string said = noticesOf(*b);
    EXPECT_NE(said.find("open in another studio (process " + std::to_string(::getpid()) + ")"), std::string::npos)
        << said;
    EXPECT_NE(said.find(second.string()), std::string::npos) << said;

    ASSERT_TRUE(a->call(kStar)["ok"]);
    ASSERT_TRUE(b->call(kStar)["ok"]);
    ASSERT_TRUE(b->call(kStar)["ok"]);
    std::string error;
    EXPECT_EQ((*easel::studio::readJournal(base, error))["steps"].size(), 1u);
    EXPECT_EQ((*easel::studio::readJournal(second, error))["steps"].size(), 2u);
    // The first ends cleanly with its work saved: its journal goes, the other's stays.
    ASSERT_TRUE(a->call({{"op", "save"}, {"download", true}})["ok"]);
    a.reset();
    EXPECT_FALSE(fs::exists(base));
    const std::string secondText = readText(second);
    // The second ends with its work unsaved; the next studio on the document
    // takes the journal left behind and offers its work.
    b.reset();
    EXPECT_EQ(readText(second), secondText);
    auto c = start(base);
    const json offered = c->call({{"op", "state"}, {"scene", false}});
    ASSERT_TRUE(offered.contains("recovery")) << offered.dump();
    EXPECT_EQ(offered["recovery"]["steps"], 2);
    // One more meanwhile gets the free journal and is told of the other.
    auto d = start(base);
    EXPECT_NE(noticesOf(*d).find("another studio"), std::string::npos);
    ASSERT_TRUE(d->call(kStar)["ok"]);
    EXPECT_EQ(readText(second), secondText) << "the offered work is not written over";
    ASSERT_TRUE(c->call({{"op", "recover"}})["ok"]);
    EXPECT_EQ(c->call({{"op", "state"}})["scene"]["layers"][0]["art"].size(), 2u);
}

TEST_F(StudioJournal, ARestoreThatStopsPartWayKeepsTheWholeJournal) {
    const std::string star = kStar["edit"].dump();
    const std::string text = journalText(
        R"("unsaved":true,)", "[{\"edit\":" + star + R"(},{"drag":{"tool":"Not Loaded","from":[1,1],"to":[9,9],"steps":2}},)" +
                                  "{\"edit\":" + star + "}]");
    const fs::path journal = dir / "doc.json";
    std::ofstream(journal, std::ios::binary) << text;
    auto studio = start(journal);
    const json restored = studio->call({{"op", "recover"}});
    ASSERT_TRUE(restored["ok"]) << restored.dump();
    const std::string notices = noticesOf(restored);
    EXPECT_NE(notices.find("restored 1 of 3 steps; step 2 stopped it"), std::string::npos) << notices;
    EXPECT_NE(notices.find("Not Loaded"), std::string::npos) << notices;
    const auto kept = keptIn(dir);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(notices.find(kept[0].string()), std::string::npos) << notices;
    EXPECT_EQ(readText(kept[0]), text);
    // This studio's journal goes on from what was restored.
    std::string error;
    const auto now = easel::studio::readJournal(journal, error);
    ASSERT_TRUE(now.has_value()) << error;
    EXPECT_EQ((*now)["steps"].size(), 1u);
}

TEST_F(StudioJournal, AFolderThatCannotBeWrittenIsReportedAtStart) {
    std::ofstream(dir / "plain") << "a file where the journal's folder should be";
    auto studio = start(dir / "plain" / "recovery" / "doc.json");
    const std::string notices = noticesOf(*studio);
    EXPECT_NE(notices.find("no recovery journal is kept"), std::string::npos) << notices;
    EXPECT_NE(notices.find((dir / "plain").string()), std::string::npos) << notices;
    EXPECT_TRUE(studio->call(kStar)["ok"]) << "the studio works without one";
}

}  // namespace
