// The built plug-in modules, loaded through easel's loader as the host loads
// them: options kept in the Globals block survive unloading and reloading
// the library, and Kestova joins the tool group Brivane registered.
#include "frame/kestova/KestovaGlobals.h"

#include "core/HostState.h"
#include "loader/Loader.h"
#include "tests/support/HostStartup.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Modules : public ::testing::Test {
protected:
    void SetUp() override {
        easel::test::startHost();
    }
    void TearDown() override {
        loader.reset();
        EXPECT_EQ(easel::hostState().suites.outstanding(), 0);
        easel::hostState().reset();
    }
    easel::Plugin* Start(const std::string& name) {
        std::string error;
        easel::Plugin* plugin = loader->load(name, error);
        EXPECT_NE(plugin, nullptr) << error;
        if (plugin != nullptr) {
            EXPECT_EQ(loader->startup(*plugin), kNoErr);
        }
        return plugin;
    }
    std::unique_ptr<easel::Loader> loader =
        std::make_unique<easel::Loader>(std::vector<std::filesystem::path>{EASEL_PLUGIN_DIR});
};

TEST_F(Modules, KestovaOptionsSurviveUnloadAndReload) {
    easel::Plugin* kestova = Start("Kestova");
    ASSERT_NE(kestova, nullptr);
    ASSERT_EQ(loader->unload(*kestova), kNoErr);
    ASSERT_FALSE(kestova->loaded());
    auto* block = static_cast<KestovaGlobals*>(kestova->globals());
    ASSERT_NE(block, nullptr);
    block->pdMode = 7;
    std::string error;
    ASSERT_EQ(loader->reload(*kestova, error), kNoErr) << error;
    ASSERT_EQ(loader->unload(*kestova), kNoErr);
    EXPECT_EQ(kestova->globals(), block) << "the reloaded library handed back the same block";
    EXPECT_EQ(block->pdMode, 7);
    EXPECT_EQ(block->pdLimit, 1000.0f);
}

TEST_F(Modules, KestovaStartedAfterBrivaneSharesTheRowsColumnsGroup) {
    const std::size_t blocks = easel::liveBlocks();
    easel::Plugin* brivane = Start("Brivane");
    easel::Plugin* kestova = Start("Kestova");
    ASSERT_TRUE(brivane != nullptr && kestova != nullptr);
    const auto& tools = easel::hostState().tools;
    ASSERT_EQ(tools.size(), 14u);
    EXPECT_EQ(tools[13]->sameGroupAs, 0) << "the number of Brivane's first tool";
    EXPECT_EQ(loader->shutdown(*brivane), kNoErr);
    EXPECT_EQ(loader->shutdown(*kestova), kNoErr);
    EXPECT_EQ(easel::liveBlocks(), blocks);
}

} // namespace
