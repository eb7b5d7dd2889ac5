#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Program.h"
#include "run/PluginSession.h"
#include "run/Script.h"
#include "core/Input.h"

using namespace easel;
using namespace easel::cli;
using namespace easel::run;
namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

const char* kDocument = R"({"format": "easel-document", "version": 1, "page": {"width": 200, "height": 200},
 "layers": [{"name": "Layer 1", "visible": true, "locked": false, "art": [
   {"id": 1, "type": "path", "selected": false, "closed": true,
    "segments": [[0, 0, 0, 0, 0, 0, 1], [10, 0, 10, 0, 10, 0, 1], [10, 10, 10, 10, 10, 10, 1]],
    "fill": {"paint": true, "color": {"kind": "gray", "values": [0.5]}},
    "stroke": {"paint": false, "color": {"kind": "none", "values": []}, "width": 1}}]}]})";

}  // namespace

// Each test works in a fresh folder holding a document and scripts.
class PlayTest : public ::testing::Test {
protected:
    fs::path dir;
    std::ostringstream out, err;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("easel-play-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        write("doc.json", kDocument);
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; }
    json readJson(const std::string& name) {
        std::ifstream in(dir / name);
        return json::parse(in);
    }
    int run(const std::string& steps, const std::vector<std::string>& extra = {},
            const std::string& head = R"("document": "doc.json", "plugins": ["EaselTest"], "output": "out.json")") {
        write("script.json", "{" + head + ", \"steps\": " + steps + "}");
        std::vector<std::string> args = {"easel", "play", (dir / "script.json").string(), "--plugins", EASEL_TEST_PLUGIN_DIR};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<const char*> argv;
        for (auto& a : args) argv.push_back(a.c_str());
        out.str("");
        err.str("");
        return easelMain(static_cast<int>(argv.size()), argv.data(), out, err);
    }
    bool hasOutput() { return fs::exists(dir / "out.json"); }
    std::string error() { return err.str(); }
};

TEST_F(PlayTest, ADragWithTheTestPluginChangesTheDocument) {
    ASSERT_EQ(run(R"([{"select": [1]},
                      {"options": {"tool": "Test Move", "set": {"12": 2, "11": "Move up"}, "press": "OK"}},
                      {"drag": {"tool": " ZR5 Test Move", "from": [0, 0], "to": [30, 20], "steps": 3}}])",
                  {"--log", (dir / "log.json").string()}),
              0)
        << error();
    json doc = readJson("out.json");
    const auto& art = doc["layers"][0]["art"];
    ASSERT_EQ(art.size(), 3u);
    // Copy k moves k times (30, 20); "Move up" adds no offset when the offset is 0.
    EXPECT_EQ(art[1]["segments"][1][0], 40.0);
    EXPECT_EQ(art[1]["segments"][1][1], 20.0);
    EXPECT_EQ(art[2]["segments"][1][0], 70.0);
    EXPECT_EQ(art[2]["segments"][1][1], 40.0);
    json log = readJson("log.json");
    EXPECT_EQ(log["status"], "ok");
    ASSERT_EQ(log["steps"].size(), 4u);  // start-up and three steps
    const auto& drag = log["steps"][3]["results"];
    ASSERT_EQ(drag.size(), 6u);  // track cursor, down, three drags, up
    EXPECT_EQ(drag[1]["selector"], "AI Mouse Down");
    EXPECT_EQ(drag[5]["selector"], "AI Mouse Up");
    EXPECT_EQ(log["steps"][2]["dialogs"][0]["items"].size(), 7u);
}

TEST_F(PlayTest, InlineDocumentAndOutputOverride) {
    const std::string head = std::string(R"("document": )") + kDocument + R"(, "plugins": ["EaselTest"])";
    ASSERT_EQ(run(R"([{"select": "all"}, {"drag": {"tool": "Test Move", "events": [[0, 0], [5, 5]]}}])",
                  {"-o", (dir / "other.json").string()}, head),
              0)
        << error();
    EXPECT_EQ(readJson("other.json")["layers"][0]["art"].size(), 2u);
}

TEST_F(PlayTest, InspectRecordsTheDialogAndChangesNothing) {
    ASSERT_EQ(run(R"([{"inspect": {"tool": "Test Move"}}])", {"--log", (dir / "log.json").string()}), 0) << error();
    json log = readJson("log.json");
    const auto& inspected = log["steps"][1]["inspected"];
    EXPECT_EQ(inspected["caption"], "Test Move options");
    EXPECT_EQ(inspected["result"], 2);
    EXPECT_EQ(readJson("out.json")["layers"][0]["art"].size(), 1u);
}

TEST_F(PlayTest, MalformedScriptsNameThePlaceAndWriteNothing) {
    EXPECT_EQ(run(R"([{"drag": {"tool": "Test Move", "events": [[0, 0], [1]]}}])"), 1);
    EXPECT_NE(error().find("steps[0].drag.events[1]: expected [h, v]"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
    EXPECT_EQ(run(R"([{"select": "all"}, {"paint": {}}])"), 1);
    EXPECT_NE(error().find("steps[1]: unknown step \"paint\""), std::string::npos) << error();
    EXPECT_EQ(run(R"([{"options": {"tool": "Test Move", "set": {"ten": 1}}}])"), 1);
    EXPECT_NE(error().find("steps[0].options.set[\"ten\"]: item ids are whole numbers"), std::string::npos) << error();
    EXPECT_EQ(run(R"([{"drag": {"tool": "Test Move", "events": [[0, 0, {"pressure": 300}]]}}])"), 1);
    EXPECT_NE(error().find("steps[0].drag.events[0][2].pressure"), std::string::npos) << error();
    EXPECT_EQ(run(R"([{"select": "all"})"), 1);
    EXPECT_NE(error().find("not valid JSON"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
}

TEST_F(PlayTest, UnknownToolOrItemStopsTheRunWithoutOutput) {
    EXPECT_EQ(run(R"([{"select": "all"}, {"drag": {"tool": "Lasso", "events": [[0, 0]]}}])"), 1);
    EXPECT_NE(error().find("steps[1]: unknown tool \"Lasso\"; the loaded plug-ins have \"Test Move\""), std::string::npos)
        << error();
    EXPECT_FALSE(hasOutput());
    // A step after a successful drag fails: the drag's result is not written either.
    EXPECT_EQ(run(R"([{"select": "all"}, {"drag": {"tool": "Test Move", "events": [[0, 0], [9, 9]]}},
                      {"options": {"tool": "Test Move", "set": {"77": 1}, "press": "OK"}}])"),
              1);
    EXPECT_NE(error().find("steps[2].options: no item 77"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
    EXPECT_EQ(run(R"([{"select": [1, 42]}])"), 1);
    EXPECT_NE(error().find("no art with id 42"), std::string::npos) << error();
}

TEST_F(PlayTest, SelectRefusesArtOnALockedOrHiddenLayer) {
    auto withId = [](int id) {
        return R"({"id": )" + std::to_string(id) + R"(, "type": "path", "closed": true,
                   "segments": [[0, 0, 0, 0, 0, 0, 1], [9, 0, 9, 0, 9, 0, 1]],
                   "fill": {"paint": false, "color": {"kind": "none", "values": []}},
                   "stroke": {"paint": false, "color": {"kind": "none", "values": []}, "width": 1}})";
    };
    write("layers.json", R"({"format": "easel-document", "version": 1, "page": {"width": 200, "height": 200}, "layers": [
        {"name": "Open", "visible": true, "locked": false, "art": [)" + withId(1) + R"(]},
        {"name": "Shut", "visible": true, "locked": true, "art": [)" + withId(2) + R"(]},
        {"name": "Gone", "visible": false, "locked": false, "art": [)" + withId(3) + R"(]}]})");
    const std::string head = R"("document": "layers.json", "plugins": ["EaselTest"], "output": "out.json")";
    EXPECT_EQ(run(R"([{"select": [1, 2]}])", {}, head), 1);
    EXPECT_NE(error().find("steps[0].select: art 2 is on layer \"Shut\", which is locked"), std::string::npos) << error();
    EXPECT_EQ(run(R"([{"select": [3]}])", {}, head), 1);
    EXPECT_NE(error().find("steps[0].select: art 3 is on layer \"Gone\", which is hidden"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
    EXPECT_EQ(run(R"([{"select": [1]}])", {}, head), 0) << error();
}

TEST_F(PlayTest, TheSeedIsTheOptionsElseTheScriptsElseTheDocuments) {
    std::string seeded = kDocument;
    seeded.replace(seeded.find(R"("version": 1)"), 12, R"("version": 1, "seed": 7)");
    write("seeded.json", seeded);
    const std::string doc = R"("document": "seeded.json", "plugins": ["EaselTest"])";
    const std::string log = (dir / "log.json").string();
    struct Case {
        std::string head;
        std::vector<std::string> extra;
        int seed;
    };
    const Case cases[] = {
        {doc, {}, 7},
        {doc + R"(, "seed": 3)", {}, 3},
        {doc + R"(, "seed": 3)", {"--seed", "5"}, 5},
        {doc, {"--seed=-12"}, -12},
        {R"("document": "doc.json", "plugins": ["EaselTest"])", {}, 1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> extra = c.extra;
        extra.insert(extra.end(), {"--log", log});
        ASSERT_EQ(run("[]", extra, c.head), 0) << error();
        EXPECT_EQ(readJson("log.json")["seed"], c.seed) << c.head;
    }
}

// Values past easel's limits stop the run before anything is done, with a
// message naming the place and the limit, and nothing is written.
TEST_F(PlayTest, ValuesPastTheLimitsAreRefusedNamingTheLimit) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string head = R"("document": "doc.json", "plugins": ["EaselTest"], "output": "out.json")";
    const std::string big = R"("document": "big.json", "plugins": ["EaselTest"], "output": "out.json")";
    std::ofstream(dir / "big.json").put('{');
    fs::resize_file(dir / "big.json", kMaxFileBytes + 1);  // sparse: nothing is read
    struct Case {
        std::string steps, head;
        std::vector<std::string> extra;
        int exit;
        std::string says;
    };
    const Case cases[] = {
        {"[]", R"("document": "doc.json", "plugins": [], "output": )" + deep, {}, 1, "script: nested deeper than 512 levels"},
        {R"([{"edit": {"op": "move", "by": )" + deep + "}}]", head, {}, 1, "nested deeper than 512 levels"},
        {R"([{"select": "all"}, {"drag": {"tool": "Test Move", "events": [[0, 0], [1e308, 5]]}}])", head, {}, 1,
         "steps[1].drag.events[1][0] must be from -1e+07 to 1e+07, found 1e+308"},
        {R"([{"drag": {"tool": "Test Move", "from": [0, 0], "to": [0, -2e7]}}])", head, {}, 1, "steps[0].drag.to[1] must be from"},
        {"[]", big, {}, 1, "the file has 268435457 bytes, more than 268435456 (the limit of a file easel reads)"},
        {"[]", head, {"--seed", ""}, 2, "--seed must be a whole number from -2147483648 to 2147483647 (digits only), found \"\""},
        {"[]", head, {"--seed", " 5"}, 2, "found \" 5\""},
        {"[]", head, {"--seed", "5x"}, 2, "found \"5x\""},
        {"[]", head, {"--seed", "2147483648"}, 2, "--seed must be a whole number"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.steps, c.extra, c.head), c.exit) << c.says;
        EXPECT_NE(error().find(c.says), std::string::npos) << error().substr(0, 500);
        EXPECT_FALSE(hasOutput()) << c.says;
    }
}

TEST_F(PlayTest, MissingFilesPluginsAndFormatsAreClearErrors) {
    EXPECT_EQ(run("[]", {}, R"("document": "absent.json", "plugins": ["EaselTest"], "output": "out.json")"), 1);
    EXPECT_NE(error().find("cannot read"), std::string::npos);
    EXPECT_NE(error().find("absent.json"), std::string::npos);
    EXPECT_EQ(run("[]", {}, R"("document": "doc.json", "plugins": ["Nowhere"], "output": "out.json")"), 1);
    EXPECT_NE(error().find("plug-in 'Nowhere' not found"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
    // An output format nobody writes is refused before anything runs.
    EXPECT_EQ(run("[]", {"-o", (dir / "out.txt").string()}), 1);
    EXPECT_NE(error().find("unknown format"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out.txt"));
    std::vector<const char*> argv = {"easel", "play", "/nonexistent/script.json"};
    EXPECT_EQ(easelMain(3, argv.data(), out, err), 1);
    EXPECT_NE(err.str().find("cannot read script /nonexistent/script.json"), std::string::npos);
}

// A bundle whose library is missing, beside a real one: the tools found are
// listed with a warning naming it; a script or listing that names it fails.
TEST_F(PlayTest, ABrokenBundleIsSkippedUnlessItIsNamed) {
    const fs::path plugins = dir / "plugins";
    fs::create_directories(plugins);
    fs::copy(fs::path(EASEL_TEST_PLUGIN_DIR) / "EaselTest.aip", plugins / "EaselTest.aip", fs::copy_options::recursive);
    fs::copy(fs::path(EASEL_TEST_PLUGIN_DIR) / "EaselTest.aip", plugins / "Broken.aip", fs::copy_options::recursive);
    fs::remove(plugins / "Broken.aip" / "EaselTest.so");
    auto easel = [&](std::vector<std::string> args) {
        std::vector<const char*> argv;
        for (auto& a : args) argv.push_back(a.c_str());
        out.str("");
        err.str("");
        return easelMain(static_cast<int>(argv.size()), argv.data(), out, err);
    };
    EXPECT_EQ(easel({"easel", "tools", "--plugins", plugins.string()}), 0) << err.str();
    EXPECT_NE(out.str().find("(EaselTest)"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("warning: plug-in 'Broken': cannot load"), std::string::npos) << err.str();
    EXPECT_EQ(easel({"easel", "tools", "--plugins", plugins.string(), "--plugin", "Broken"}), 1);
    EXPECT_NE(err.str().find("plug-in 'Broken': cannot load"), std::string::npos) << err.str();
    EXPECT_EQ(run("[]", {"--plugins", plugins.string()},
                  R"("document": "doc.json", "plugins": ["Broken"], "output": "out.json")"), 1);
    EXPECT_NE(error().find("plug-in 'Broken'"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
}

TEST_F(PlayTest, PluginErrorsAreReportedAndStrictStopsAtTheFirst) {
    // Selecting art made its layer current; a locked top layer leaves the
    // copies alone. Made current, the locked layer fails every drag event with 'SEGM'.
    std::string locked = kDocument;
    locked.replace(locked.size() - 2, 2, R"(, {"name": "Locked", "visible": true, "locked": true, "art": []}]})");
    write("locked.json", locked);
    const std::string head = R"("document": "locked.json", "plugins": ["EaselTest"], "output": "out.json")";
    const std::string drag = R"({"drag": {"tool": "Test Move", "events": [[0, 0], [5, 5], [9, 9]]}})";
    ASSERT_EQ(run(R"([{"select": [1]}, )" + drag + "]", {"--strict"}, head), 0) << error();
    EXPECT_EQ(readJson("out.json")["layers"][0]["art"].size(), 2u) << "the copy is on the selected art's layer";
    const std::string steps =
        R"([{"select": [1]}, {"edit": {"op": "currentLayer", "layer": "Locked"}}, )" + drag + "]";
    ASSERT_EQ(run(steps, {"--log", (dir / "log.json").string()}, head), 0) << error();
    EXPECT_NE(error().find("steps[2] (drag): EaselTest returned 'SEGM' (0x5345474D) to \"AI Mouse Drag\""),
              std::string::npos)
        << error();
    EXPECT_TRUE(hasOutput());
    json log = readJson("log.json");
    EXPECT_EQ(log["status"], "ok with problems");
    EXPECT_EQ(log["problems"], 2);
    EXPECT_EQ(log["steps"][3]["results"][2]["code"], 0x5345474D);
    fs::remove(dir / "out.json");
    EXPECT_EQ(run(steps, {"--strict"}, head), 1);
    EXPECT_NE(error().find("--strict"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
}

TEST_F(PlayTest, HistoryStepsUndoRedoReseedAndOpen) {
    ASSERT_EQ(run(R"([{"select": [1]}, {"drag": {"tool": "Test Move", "events": [[0, 0], [5, 5]]}},
                      {"drag": {"tool": "Test Move", "events": [[0, 0], [7, 7]]}},
                      {"undo": 2}, {"redo": 1}, {"seed": 77}])"),
              0)
        << error();
    json doc = readJson("out.json");
    EXPECT_EQ(doc["layers"][0]["art"].size(), 2u) << "the first drag's copy, redone";
    EXPECT_EQ(doc["seed"], 77);
    fs::remove(dir / "out.json");
    const std::string open = std::string(R"([{"open": )") + kDocument + R"(}, {"undo": 1}])";
    EXPECT_EQ(run(open), 1) << "a fresh document has nothing to undo";
    EXPECT_NE(error().find("steps[1].undo: nothing left to undo (after 0 of 1)"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
    EXPECT_EQ(run(R"([{"open": "absent.json"}])"), 1);
    EXPECT_NE(error().find("steps[0].open: cannot read"), std::string::npos) << error();
}

TEST_F(PlayTest, ACancelledDialogIsNoProblem) {
    EXPECT_EQ(run(R"([{"options": {"tool": "Test Move", "set": {"10": 9}, "press": "Cancel"}}])", {"--strict"}), 0)
        << error();
    EXPECT_TRUE(error().empty()) << error();
    EXPECT_TRUE(hasOutput());
}

TEST(ToolNamesTest, ToolsAreFoundWithOrWithoutTheLeadingBlankAndPrefix) {
    hostState().reset();
    auto tool = std::make_unique<RegisteredTool>();
    tool->name = tool->title = " ZR5 Rows Columns";
    hostState().tools.push_back(std::move(tool));
    RegisteredTool* t = hostState().tools[0].get();
    EXPECT_EQ(findTool(" ZR5 Rows Columns"), t);
    EXPECT_EQ(findTool("ZR5 Rows Columns"), t);
    EXPECT_EQ(findTool("Rows Columns"), t);
    EXPECT_EQ(findTool("Rows"), nullptr);
    hostState().reset();
}

// Four-character codes are shown by the plug-in error case above.
TEST(ResultTextTest, OtherCodesAreDecimalNumbers) { EXPECT_EQ(resultText(-108), "-108"); }

TEST(ScriptTest, DragFromToStepsMakesEvenEvents) {
    Script s;
    std::string error;
    ASSERT_TRUE(parseScript(R"({"document": "d.json", "plugins": [], "steps": [
        {"drag": {"tool": "Drag", "from": [0, 0], "to": [100, -50], "steps": 4, "modifiers": 64}}]})",
                            s, error))
        << error;
    ASSERT_EQ(s.steps[0].events.size(), 5u);
    EXPECT_EQ(s.steps[0].events[1].point.h, 25.0f);
    EXPECT_EQ(s.steps[0].events[4].point.v, -50.0f);
    EXPECT_EQ(s.steps[0].events[2].modifiers, 64);
}

TEST(ScriptTest, OptionSetsKeepTheScriptOrder) {
    Script s;
    std::string error;
    ASSERT_TRUE(parseScript(R"({"document": "d.json", "plugins": [], "steps": [
        {"options": {"tool": "Drag", "set": {"38": 5, "10": " To white", "4": true}, "press": ["Reset", 1]}}]})",
                            s, error))
        << error;
    const auto& sets = s.steps[0].sets;
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].id, 38);
    EXPECT_EQ(sets[1].text, " To white");
    EXPECT_EQ(sets[2].number, 1.0);
    EXPECT_EQ(s.steps[0].presses, (std::vector<std::string>{"Reset", "1"}));
}

// A drag is from a pen when it says so, or when it gives pressures and does not say otherwise.
TEST(ScriptTest, PressuresImplyAPenUnlessTheDragSaysOtherwise) {
    const std::pair<const char*, bool> cases[] = {
        {R"({"tool": "Drag", "events": [[0, 0], [1, 1]]})", false},
        {R"({"tool": "Drag", "events": [[0, 0], [1, 1, {"pressure": 0}]]})", true},
        {R"({"tool": "Drag", "from": [0, 0], "to": [1, 1], "pressure": 90})", true},
        {R"({"tool": "Drag", "events": [[0, 0, {"pressure": 9}]], "pen": false})", false},
        {R"({"tool": "Drag", "events": [[0, 0]], "pen": true})", true},
    };
    for (const auto& [drag, pen] : cases) {
        Script s;
        std::string error;
        ASSERT_TRUE(parseScript(std::string(R"({"document": "d.json", "plugins": [], "steps": [{"drag": )") + drag + "}]}",
                                s, error))
            << drag << ": " << error;
        EXPECT_EQ(s.steps[0].pen, pen) << drag;
    }
}

TEST_F(PlayTest, EditStepsRunTheHostEditsAndARefusedOneStopsTheRun) {
    ASSERT_EQ(run(R"([{"edit": {"op": "create", "shape": "star", "center": [50, 50], "radius": 20, "points": 6}},
                      {"select": [1]}, {"edit": {"op": "select", "ids": [2], "mode": "add"}},
                      {"edit": {"op": "group"}}, {"edit": {"op": "move", "by": [5, 0]}}])"),
              0)
        << error();
    const json art = readJson("out.json")["layers"][0]["art"];
    ASSERT_EQ(art.size(), 1u);
    ASSERT_EQ(art[0]["children"].size(), 2u);
    EXPECT_EQ(art[0]["children"][0]["segments"][0][0], 5.0);
    EXPECT_EQ(art[0]["children"][1]["segments"].size(), 12u);
    // The parser knows the edits; the document decides whether one can be made.
    fs::remove(dir / "out.json");
    EXPECT_EQ(run(R"([{"edit": {"op": "paint"}}])"), 1);
    EXPECT_NE(error().find("steps[0].edit.op: unknown edit \"paint\""), std::string::npos) << error();
    EXPECT_EQ(run(R"([{"edit": {"op": "layerLocked", "layer": "Layer 1", "locked": true}},
                      {"edit": {"op": "create", "shape": "line", "from": [0, 0], "to": [9, 9]}}])"),
              1);
    EXPECT_NE(error().find("steps[1].edit: create: layer \"Layer 1\" is locked"), std::string::npos) << error();
    EXPECT_FALSE(hasOutput());
}
