// The frame as Kestova runs it: its suite list, registration in the Rows
// Columns group, a failed registration and its snapshot.
#include "FrameHost.h"
#include "frame/kestova/Kestova.h"

#include "adm/RegisterADM.h"
#include "suites/RegisterAISuites.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using framehost::current;
using framehost::Host;

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
        ASSERT_NE(host.plugin, nullptr);
        frame::SetGlobalsBlock(nullptr);
        frame::SetSuiteNesting(0);
    }
    void TearDown() override {
        if (frame::GlobalsBlock() != nullptr) {
            SPMessageData message = host.Message();
            message.globals = frame::GlobalsBlock();
            PluginMain(kSPInterfaceCaller, kSPInterfaceShutdownSelector, &message);
        }
        frame::SetGlobalsBlock(nullptr);
        frame::SetSuiteNesting(0);
        EXPECT_EQ(easel::hostState().suites.outstanding(), 0);
    }
    ASErr Startup() { return host.Call(kSPInterfaceCaller, kSPInterfaceStartupSelector); }
    ASErr Tool(const char* selector, AIRealPoint cursor = {0, 0}) {
        return host.Tool(selector, G().pdToolHandle, cursor);
    }
    KestovaGlobals& G() { return *kestova::Globals(); }

    Host host{"Kestova", 600, 400};
};

TEST_F(KestovaFrame, AcquiresItsTwentySixSuitesInListOrder) {
    ASSERT_EQ(Startup(), kNoErr);
    EXPECT_EQ(host.acquired, kKestovaSuites);
    EXPECT_EQ(host.released, kKestovaSuites);
}

TEST_F(KestovaFrame, JoinsTheRowsColumnsGroupWhenTheHostHasThatTool) {
    // Tools another plug-in registered first: the Rows Columns tool is number 1.
    const auto& tools = Host::Real<AIToolSuite>(kAIToolSuite, kAIToolSuiteVersion);
    for (const char* name : {"Other", " ZR5 Rows Columns"}) {
        AIAddToolData data{name, name, nullptr, 0, kNoTool, kNoTool};
        AIToolHandle handle = nullptr;
        ASSERT_EQ(tools.AddTool(nullptr, name, &data, 0, &handle), kNoErr);
    }
    ASSERT_EQ(Startup(), kNoErr);
    ASSERT_EQ(easel::hostState().tools.size(), 3u);
    EXPECT_EQ(easel::hostState().tools[2]->sameGroupAs, 1);
    EXPECT_EQ(easel::hostState().tools[2]->sameToolsetAs, -2);
}

TEST_F(KestovaFrame, StartedAloneItsToolIsInNoGroup) {
    ASSERT_EQ(Startup(), kNoErr);
    ASSERT_EQ(easel::hostState().tools.size(), 1u);
    easel::RegisteredTool& tool = *easel::hostState().tools[0];
    EXPECT_EQ(tool.sameGroupAs, -2);
    EXPECT_EQ(tool.sameToolsetAs, -2);
    EXPECT_EQ(tool.name, " ZR5 KestovaTool");
    EXPECT_EQ(tool.title, " ZR5 KestovaTool");
    EXPECT_EQ(tool.tooltip, " ZR5 drag points using start and end of cursor drag");
    EXPECT_EQ(tool.options, 1);
    ASSERT_NE(easel::adm::iconOf(tool.icon), nullptr);
    EXPECT_NE(easel::adm::iconOf(tool.icon)->source.find("ICON/16051.ico"), std::string::npos);
    EXPECT_EQ(G().pdToolHandle, tool.handle());
}

TEST_F(KestovaFrame, AnUnusableIconAddsNoToolAndSetsNoDefault) {
    host.Edit<ADMIconSuite>(kADMIconSuite, kADMIconSuiteVersion, [](ADMIconSuite& s) {
        s.GetType = [](ADMIconRef, ASInt32* type) -> ASErr {
            *type = kADMUnknownIconType;
            return kNoErr;
        };
    });
    EXPECT_EQ(Startup(), kNoIconErr);
    EXPECT_TRUE(easel::hostState().tools.empty());
    EXPECT_EQ(G().pdLimit, 0.0f);
    EXPECT_EQ(G().pdApplyIn, 0);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].Text(3), "!ico");
}

TEST_F(KestovaFrame, TheSnapshotTakesSelectedPathsAndTextPathsAndTheDocumentCentre) {
    ASSERT_EQ(Startup(), kNoErr);
    host.Square(0, 0, 1);
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

    const std::size_t handles = easel::liveMemoryHandles();
    ASSERT_EQ(Tool(kSelectorAIToolMouseUp), kNoErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(easel::liveMemoryHandles(), handles - 1);
    EXPECT_EQ(host.undoCount, 1);
}

TEST_F(KestovaFrame, NothingSelectedReadsNoDocument) {
    ASSERT_EQ(Startup(), kNoErr);
    host.Edit<AIDocumentSuite>(kAIDocumentSuite, kAIDocumentSuiteVersion, [](AIDocumentSuite& s) {
        s.GetDocumentSetup = [](AIDocumentSetup* setup) -> ASErr {
            ++current->calls;
            return Host::Real<AIDocumentSuite>(kAIDocumentSuite, kAIDocumentSuiteVersion).GetDocumentSetup(setup);
        };
    });
    ASSERT_EQ(Tool(kSelectorAIToolMouseDown), kNoErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(current->calls, 0);
}

} // namespace
