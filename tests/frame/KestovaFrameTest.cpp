// The frame as Kestova runs it: its suite list, registration in the Rows
// Columns group, a failed registration and its snapshot.
#include "FakeHost.h"
#include "Kestova.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" ASErr PluginMain(const char* caller, const char* selector, void* message);

namespace {

const std::vector<std::string> kKestovaSuites = {
    "SP Blocks Suite 2",      "SP Access Suite 3",       "AI Plugin Suite 3",     "AI MdMemory Suite 1",
    "AI Real Math Suite 1",   "AI Art Suite 9",          "AI User Suite 5",       "AI Path Suite 4",
    "AI Path Style Suite 5",  "AI Blend Style Suite 2",  "AI Swatch List Suite 4", "AI Undo Suite 4",
    "AI Matching Art Suite 4", "AI Transform Art Suite 1", "AI Random Suite 3",   "AI Layer Suite 9",
    "AI Preference Suite 2",  "AI Document Suite 7",     "AI Tool Suite 9",       "ADM Basic Suite 2",
    "ADM Dialog Suite 3",     "ADM Item Suite 4",        "ADM Icon Suite 1",      "ADM Tracker Suite 1",
    "ADM List Suite 1",       "ADM Entry Suite 2",
};

class KestovaFrame : public ::testing::Test {
protected:
    void SetUp() override {
        frame::SetGlobalsBlock(nullptr);
        frame::SetSuiteNesting(0);
        host.stringLists[16050] = {"", "<Others>", "fallback"};
    }
    void TearDown() override {
        frame::SetGlobalsBlock(nullptr);
        frame::SetSuiteNesting(0);
    }
    ASErr Call(const char* caller, const char* selector) {
        SPMessageData message = host.Message();
        return PluginMain(caller, selector, &message);
    }
    ASErr Tool(const char* selector, AIRealPoint cursor = {0, 0}) {
        AIToolMessage message = host.ToolMessage(G().pdToolHandle, cursor);
        return PluginMain(kCallerAITool, selector, &message);
    }
    KestovaGlobals& G() { return *kestova::Globals(); }

    fake::Host host;
};

TEST_F(KestovaFrame, AcquiresItsTwentySixSuitesInListOrder) {
    ASSERT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoErr);
    EXPECT_EQ(host.acquired, kKestovaSuites);
    EXPECT_EQ(host.released, kKestovaSuites);
    EXPECT_EQ(host.Held(), 0);
}

TEST_F(KestovaFrame, JoinsTheRowsColumnsGroupWhenTheHostHasThatTool) {
    host.knownTools[" ZR5 Rows Columns"] = 17;
    ASSERT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoErr);
    ASSERT_EQ(host.tools.size(), 1u);
    EXPECT_EQ(host.tools[0].sameGroupAs, 17);
    EXPECT_EQ(host.tools[0].sameToolsetAs, -2);
}

TEST_F(KestovaFrame, StartedAloneItsToolIsInNoGroup) {
    ASSERT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoErr);
    ASSERT_EQ(host.tools.size(), 1u);
    const fake::AddedTool& tool = host.tools[0];
    EXPECT_EQ(tool.sameGroupAs, -2);
    EXPECT_EQ(tool.sameToolsetAs, -2);
    EXPECT_EQ(tool.name, " ZR5 KestovaTool");
    EXPECT_EQ(tool.title, " ZR5 KestovaTool");
    EXPECT_EQ(tool.tooltip, " ZR5 drag points using start and end of cursor drag");
    EXPECT_EQ(tool.options, 1);
    EXPECT_EQ(host.iconRequests, (std::vector<std::pair<ASInt32, ASInt32>>{{16050, 1}}));
    EXPECT_NE(G().pdToolHandle, nullptr);
}

TEST_F(KestovaFrame, AnUnusableIconAddsNoToolAndSetsNoDefault) {
    host.iconTypes[1] = kADMUnknownIconType;
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoIconErr);
    EXPECT_TRUE(host.tools.empty());
    EXPECT_EQ(G().pdLimit, 0.0f);
    EXPECT_EQ(G().pdApplyIn, 0);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].texts[3], "!ico");
}

TEST_F(KestovaFrame, TheSnapshotTakesSelectedPathsAndTextPathsAndTheDocumentCentre) {
    ASSERT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoErr);
    host.selection = {host.NewArt(kPathArt, {0, 1, 1, 0})};
    host.setup.width = 600.0f;
    host.setup.height = 400.0f;
    ASSERT_EQ(Tool(kSelectorAIToolMouseDown, {8, 9}), kNoErr);
    ASSERT_EQ(host.lastCriteria.size(), 2u);
    EXPECT_EQ(host.lastCriteria[0].type, kPathArt);
    EXPECT_EQ(host.lastCriteria[1].type, kTextPathArt);
    EXPECT_EQ(host.lastCriteria[1].whichAttr, 1);
    EXPECT_EQ(host.lastCriteria[1].attr, 1);
    EXPECT_EQ(G().selectedCount, 1);
    EXPECT_EQ(G().pdDocumentCentre.h, 300.0f);
    EXPECT_EQ(G().pdDocumentCentre.v, 200.0f);
    EXPECT_EQ(G().dragStart.h, 8.0f);

    ASSERT_EQ(Tool(kSelectorAIToolMouseUp), kNoErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(host.handlesOut, 0);
    EXPECT_EQ(host.undoCount, 1);
}

TEST_F(KestovaFrame, NothingSelectedReadsNoDocument) {
    ASSERT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoErr);
    ASSERT_EQ(Tool(kSelectorAIToolMouseDown), kNoErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(host.documentReads, 0);
}

} // namespace
