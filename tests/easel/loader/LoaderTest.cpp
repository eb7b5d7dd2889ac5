#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "core/HostState.h"
#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "loader/Loader.h"
#include "suites/RegisterAISuites.h"
#include "tests/support/HostStartup.h"

using namespace easel;
namespace fs = std::filesystem;

namespace {

// The 79-byte property list of a well-formed bundle.
std::vector<uint8_t> goodPipl() {
    std::vector<uint8_t> d;
    auto u16 = [&](uint16_t v) { d.insert(d.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto u32 = [&](uint32_t v) { d.insert(d.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); };
    auto cc = [&](const char* s) { u32(uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8 | uint8_t(s[3])); };
    u16(1);
    u32(0);
    u32(3);
    cc("ADBE"), cc("kind"), u32(0), u32(4), cc("SPEA");
    cc("ADBE"), cc("ivrs"), u32(0), u32(4), u32(2);
    cc("ADBE"), cc("wx86"), u32(0), u32(12);
    for (char c : std::string("PluginMain\0\0", 12)) d.push_back(uint8_t(c));
    d.push_back(0);
    return d;
}

void writeBytes(const fs::path& p, const std::vector<uint8_t>& d) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(d.data()), std::streamsize(d.size()));
}

}  // namespace

class PropertyListTest : public ::testing::Test {
protected:
    std::string error;
    bool refused(const std::vector<uint8_t>& d, const std::string& expect) {
        error.clear();
        auto pl = parsePropertyList(d, error);
        EXPECT_NE(error.find(expect), std::string::npos) << "message: " << error;
        return !pl.has_value();
    }
};

TEST_F(PropertyListTest, WellFormedListGivesEntryKindAndInterfaceVersion) {
    auto d = goodPipl();
    ASSERT_EQ(d.size(), 79u);
    EXPECT_EQ(d[10], 'E');  // 'ADBE' is stored as "EBDA"
    auto pl = parsePropertyList(d, error);
    ASSERT_TRUE(pl) << error;
    EXPECT_EQ(pl->entryName, "PluginMain");
    EXPECT_EQ(pl->kind, 0x53504541u);
    EXPECT_EQ(pl->interfaceVersion, 2);
}

TEST_F(PropertyListTest, MalformedListsAreRefusedWithTheFaultNamed) {
    auto d = goodPipl();
    auto badFormat = d;
    badFormat[0] = 2;
    EXPECT_TRUE(refused(badFormat, "format word is 2"));
    auto cut = d;
    cut.resize(60);
    EXPECT_TRUE(refused(cut, "property 2 of 3 is cut off"));
    auto tooShort = d;
    tooShort.resize(6);
    EXPECT_TRUE(refused(tooShort, "too short"));
    auto oddLength = d;
    oddLength[22] = 3;  // the 'kind' data length
    EXPECT_TRUE(refused(oddLength, "'kind' has a bad data length 3"));
    auto moreProps = d;
    moreProps[6] = 4;
    EXPECT_TRUE(refused(moreProps, "property 3 of 4 is cut off"));
    auto trailing = d;
    trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
    EXPECT_TRUE(refused(trailing, "unexpected bytes"));
    auto noEntry = d;
    noEntry[54] = 'X';  // 'wx86' key becomes 'Xx86'
    EXPECT_TRUE(refused(noEntry, "no 'wx86' entry name"));
    auto unterminated = d;
    unterminated[76] = 'x';
    unterminated[77] = 'y';
    EXPECT_TRUE(refused(unterminated, "not terminated"));
}

// Loads the test plug-in from the build tree with the host's suites in place.
class LoaderTest : public ::testing::Test {
public:
    std::unique_ptr<Loader> loader;
    std::unique_ptr<Document> doc;
    Plugin* plugin = nullptr;
    std::vector<ShownMessage> shown;

    void SetUp() override {
        test::startHost();
        doc = newDocument(200, 200);
        hostState().document = doc.get();
        hostState().onShown = [this](const ShownMessage& m) { shown.push_back(m); };
        loader = std::make_unique<Loader>(std::vector<fs::path>{EASEL_TEST_PLUGIN_DIR});
        std::string error;
        plugin = loader->load("EaselTest", error);
        ASSERT_NE(plugin, nullptr) << error;
        ASSERT_EQ(loader->startup(*plugin), kNoErr);
        ASSERT_EQ(hostState().suites.outstanding(), 0);
    }
    void TearDown() override {
        if (plugin && plugin->loaded()) {
            EXPECT_EQ(loader->shutdown(*plugin), kNoErr);
        }
        EXPECT_EQ(hostState().suites.outstanding(), 0);
        loader.reset();
        hostState().onShown = nullptr;
        hostState().document = nullptr;
        hostState().reset();
    }
    AIToolHandle tool() { return hostState().tools.at(0)->handle(); }
    ASErr tool(const char* selector, float h = 0, float v = 0, int32_t modifiers = 0) {
        ASErr err = loader->sendTool(*plugin, selector, tool(), AIRealPoint{h, v}, 0, modifiers);
        EXPECT_EQ(hostState().suites.outstanding(), 0) << selector;
        return err;
    }
    // The plug-in's state as its about box reports it.
    std::string state() {
        shown.clear();
        EXPECT_EQ(loader->about(*plugin), kNoErr);
        EXPECT_EQ(shown.size(), 1u);
        return shown.empty() || shown[0].texts.empty() ? "" : shown[0].texts[0];
    }
    ASErr options(adm::DialogDriver& driver) {
        adm::dialogManager().setNextDriver(&driver);
        return tool(kSelectorAIEditToolOptions);
    }
};

TEST_F(LoaderTest, StartupRegistersTheToolAndACancelledDialogReturnsStopAndKeepsTheOptions) {
    ASSERT_EQ(hostState().tools.size(), 1u);
    const RegisteredTool& t = *hostState().tools[0];
    EXPECT_EQ(t.title, " ZR5 Test Move");
    EXPECT_EQ(t.plugin, plugin->ref());
    EXPECT_EQ(t.options, kToolWantsToTrackCursorOption);
    ASSERT_NE(adm::iconOf(t.icon), nullptr);
    EXPECT_EQ(adm::iconOf(t.icon)->type, kADMIconBitmapType);
    EXPECT_EQ(plugin->options & 2, 2);
    adm::ScriptedDriver driver({{10, 3.0, {}}}, {"Cancel"});
    EXPECT_EQ(options(driver), kCancelErr);
    EXPECT_EQ(state(), "EaselTest: offset 0.00 mode 0 copies 1 trail 0 startups 1 nesting 0");
}

// The values taken on OK live in the globals block, which outlives the library.
TEST_F(LoaderTest, UnloadAndReloadKeepTheGlobalsBlock) {
    adm::ScriptedDriver driver({{10, 7.0, {}}, {11, 2.0, {}}, {13, 1.0, {}}}, {"OK"});
    ASSERT_EQ(options(driver), kNoErr);
    ASSERT_TRUE(driver.error().empty()) << driver.error();
    const size_t blocks = liveBlocks();
    EXPECT_EQ(loader->unload(*plugin), kNoErr);
    EXPECT_FALSE(plugin->loaded());
    void* slot = plugin->globals();
    EXPECT_NE(slot, nullptr);
    EXPECT_EQ(liveBlocks(), blocks);  // the block outlives the library
    std::string error;
    ASSERT_EQ(loader->reload(*plugin, error), kNoErr) << error;
    EXPECT_TRUE(plugin->loaded());
    EXPECT_EQ(state(), "EaselTest: offset 7.00 mode 2 copies 1 trail 1 startups 1 nesting 0");
    EXPECT_EQ(loader->shutdown(*plugin), kNoErr);
    EXPECT_EQ(plugin->globals(), nullptr);
    EXPECT_EQ(liveBlocks(), blocks - 1);
    plugin = nullptr;
}

TEST_F(LoaderTest, MessagesSentDuringAModalDialogNestAndShareTheSuites) {
    struct Nesting : adm::DialogDriver {
        LoaderTest* t;
        int outstandingInside = -1;
        void run(adm::Dialog& d) override {
            outstandingInside = hostState().suites.outstanding();
            t->loader->sendTool(*t->plugin, kSelectorAISelectTool, t->tool(), AIRealPoint{0, 0}, 0, 0);
            // The nested call neither acquired nor released: the outer call still holds its suites.
            EXPECT_EQ(hostState().suites.outstanding(), outstandingInside);
            adm::pressItem(d, "OK");
        }
    } driver;
    driver.t = this;
    EXPECT_EQ(options(driver), kNoErr);
    EXPECT_GT(driver.outstandingInside, 0);
    EXPECT_EQ(plugin->deepestNesting, 1);
    EXPECT_NE(state().find("nesting 1"), std::string::npos);
}

TEST_F(LoaderTest, TrackCursorLoadsTheBundleCursorAndMakesItCurrent) {
    EXPECT_EQ(tool(kSelectorAITrackToolCursor), kNoErr);
    ASSERT_NE(currentCursor(), nullptr);
    EXPECT_EQ(currentCursor()->id, 16001);
    EXPECT_EQ(currentCursor()->image.hotX, 16);
    EXPECT_EQ(currentCursor()->image.hotY, 15);
}

TEST_F(LoaderTest, ADragDuplicatesAndMovesTheSelection) {
    adm::ScriptedDriver driver({{12, 2.0, {}}}, {"OK"});  // two copies
    ASSERT_EQ(options(driver), kNoErr);
    Art* square = nullptr;
    ASSERT_EQ(doc->newRect(20, 0, 0, 20, false, &square), kNoErr);
    doc->selectAll();
    doc->commitUndoContext();
    doc->beginUndoContext();
    EXPECT_EQ(tool(kSelectorAIToolMouseDown, 0, 0), kNoErr);
    EXPECT_EQ(tool(kSelectorAIToolMouseDrag, 5, 5), kNoErr);
    EXPECT_EQ(tool(kSelectorAIToolMouseDrag, 10, -5, kADMShiftKeyFlag), kNoErr);
    doc->commitUndoContext();
    doc->beginUndoContext();
    EXPECT_EQ(tool(kSelectorAIToolMouseUp, 10, -5), kNoErr);
    EXPECT_EQ(hostState().modifiers, 0);  // only set for the duration of a call
    auto j = nlohmann::json::parse(writeDocumentJson(*doc));
    const auto& art = j["layers"][0]["art"];
    ASSERT_EQ(art.size(), 3u);  // the first drag event's copies were undone
    // Copy k is moved k times the drag: (10, -5) and (20, -10).
    EXPECT_EQ(art[1]["segments"][0][0], 10.0);
    EXPECT_EQ(art[1]["segments"][0][1], art[0]["segments"][0][1].get<double>() - 5);
    EXPECT_EQ(art[2]["segments"][0][0], 20.0);
    EXPECT_EQ(liveMemoryHandles(), 0u);  // the selection array went back at mouse up
}

TEST_F(LoaderTest, PluginsAreFoundByNameAlongTheSearchPath) {
    fs::path empty = fs::temp_directory_path() / ("easel-loader-empty-" + std::to_string(::getpid()));
    fs::create_directories(empty);
    ::setenv("EASEL_PLUGINS", ("/nonexistent:" + empty.string()).c_str(), 1);
    auto path = Loader::searchPath({"/first"});
    ::unsetenv("EASEL_PLUGINS");
    ASSERT_GE(path.size(), 4u);
    EXPECT_EQ(path[0], fs::path("/first"));
    EXPECT_EQ(path[1], fs::path("/nonexistent"));
    EXPECT_EQ(path[2], empty);
    EXPECT_EQ(path.back(), fs::path(EASEL_TEST_PLUGIN_DIR));  // the build tree comes last
    Loader other({empty, EASEL_TEST_PLUGIN_DIR});
    EXPECT_EQ(other.find("EaselTest"), fs::path(EASEL_TEST_PLUGIN_DIR) / "EaselTest.aip");
    EXPECT_FALSE(other.find("Nowhere"));
    std::string error;
    EXPECT_EQ(other.load("Nowhere", error), nullptr);
    EXPECT_NE(error.find("no Nowhere.aip in " + empty.string()), std::string::npos) << error;
    fs::remove_all(empty);
}

// Bundles made in a temporary folder from the test plug-in's library.
class BadBundleTest : public ::testing::Test {
protected:
    // One folder per process: ctest runs the cases of this fixture side by side.
    fs::path dir = fs::temp_directory_path() / ("easel-bad-bundles-" + std::to_string(::getpid()));
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir / "Broken.aip");
        fs::copy_file(fs::path(EASEL_TEST_PLUGIN_DIR) / "EaselTest.aip" / "EaselTest.so", dir / "Broken.aip" / "Broken.so");
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(BadBundleTest, MalformedPropertyListIsRefusedAndNothingIsLoaded) {
    auto pipl = goodPipl();
    pipl[0] = 9;
    writeBytes(dir / "Broken.aip" / "PiPL" / "16000.pipl", pipl);
    Loader loader({dir});
    std::string error;
    EXPECT_EQ(loader.load("Broken", error), nullptr);
    EXPECT_NE(error.find("Broken' refused"), std::string::npos) << error;
    EXPECT_NE(error.find("16000.pipl: property list format word is 9"), std::string::npos) << error;
    EXPECT_TRUE(loader.plugins().empty());
}

TEST_F(BadBundleTest, MissingPropertyListOrEntryIsRefused) {
    Loader loader({dir});
    std::string error;
    EXPECT_EQ(loader.load("Broken", error), nullptr);
    EXPECT_NE(error.find("cannot read its property list"), std::string::npos) << error;
    auto pipl = goodPipl();
    pipl[66] = 'X';  // "PluginMain" -> "XluginMain"
    writeBytes(dir / "Broken.aip" / "PiPL" / "16000.pipl", pipl);
    EXPECT_EQ(loader.load("Broken", error), nullptr);
    EXPECT_NE(error.find("exports no 'XluginMain'"), std::string::npos) << error;
    EXPECT_TRUE(loader.plugins().empty());
}

TEST(SPBasicTest, AcquisitionsAreCountedAndTokensComparedByContent) {
    registerSPSuites(hostState().suites);
    SPBasicSuite* basic = spBasicSuite();
    const void* table = nullptr;
    const int before = hostState().suites.outstanding();
    EXPECT_EQ(basic->AcquireSuite(kSPBlocksSuite, kSPBlocksSuiteVersion, &table), kNoErr);
    EXPECT_NE(table, nullptr);
    EXPECT_EQ(hostState().suites.outstanding(), before + 1);
    EXPECT_EQ(basic->AcquireSuite(kSPBlocksSuite, 99, &table), kSuiteNotFoundErr);
    EXPECT_EQ(basic->ReleaseSuite(kSPBlocksSuite, kSPBlocksSuiteVersion), kNoErr);
    EXPECT_NE(basic->ReleaseSuite(kSPBlocksSuite, kSPBlocksSuiteVersion), kNoErr);  // not held
    EXPECT_EQ(hostState().suites.outstanding(), before);
    std::string a = "AI Tool", b = "AI Tool";
    ASBoolean eq = 0;
    basic->IsEqual(a.c_str(), b.c_str(), &eq);
    EXPECT_EQ(eq, 1);
    basic->IsEqual("AI Tool", "AI Tools", &eq);
    EXPECT_EQ(eq, 0);
}

TEST(SPBlocksTest, ReallocateKeepsContentsAndFreeRefusesUnknownBlocks) {
    registerSPSuites(hostState().suites);
    auto* blocks = static_cast<const SPBlocksSuite*>(hostState().suites.find(kSPBlocksSuite, kSPBlocksSuiteVersion));
    void* b = nullptr;
    ASSERT_EQ(blocks->AllocateBlock(4, "test", &b), kNoErr);
    std::memcpy(b, "abc", 4);
    void* grown = nullptr;
    ASSERT_EQ(blocks->ReallocateBlock(b, 64, "test", &grown), kNoErr);
    EXPECT_STREQ(static_cast<char*>(grown), "abc");
    EXPECT_EQ(static_cast<char*>(grown)[63], 0);  // the new part is zero
    int local = 0;
    EXPECT_EQ(blocks->FreeBlock(&local), kBadParameterErr);
    EXPECT_EQ(blocks->FreeBlock(grown), kNoErr);
}
