// The frame as Brivane runs it, on easel's suites: the suite bracket,
// dispatch, start-up and shut-down, registration, the cursor and the
// selection snapshot, and the failures of each.
#include "frame/brivane/Brivane.h"
#include "FrameHost.h"

#include "adm/RegisterADM.h"
#include "suites/RegisterAISuites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using framehost::current;
using framehost::Host;

const std::vector<std::string> kBrivaneSuites = {
    "SP Blocks Suite 2",        "SP Access Suite 3",       "AI Plugin Suite 3",
    "AI MdMemory Suite 1",      "AI Real Math Suite 1",    "AI Art Suite 9",
    "AI User Suite 5",          "AI Path Suite 4",         "AI Pathfinder Suite 4",
    "AI Path Style Suite 5",    "AI Undo Suite 4",         "AI Matching Art Suite 4",
    "AI Transform Art Suite 1", "AI Tag Suite 2",          "AI Random Suite 3",
    "AI Blend Style Suite 2",   "AI Art Style Suite 3",    "AI Swatch List Suite 4",
    "AI Shape Construction Suite 4", "AI Preference Suite 2", "AI Document Suite 7",
    "AI Envelope Suite 1",      "AI Layer Suite 9",        "AI Tool Suite 9",
    "ADM Basic Suite 2",        "ADM Dialog Suite 3",      "ADM Item Suite 4",
    "ADM Icon Suite 1",         "ADM Tracker Suite 1",     "ADM List Suite 1",
    "ADM Entry Suite 2",        "ADM Notifier Suite 1",
};

const char* const kMemoryMessage =
    "The filter cannot complete because there isn't enough memory (RAM) available.";
const char* const kFallbackMessage =
    "Unknown error - possible reason: filters require paths to be selected before use or too many paths "
    "have been selected";

class BrivaneFrame : public ::testing::Test {
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
        EXPECT_EQ(easel::hostState().suites.outstanding(), 0) << "every acquired suite is released";
    }
    ASErr Start() {
        const ASErr result = host.Call(kSPInterfaceCaller, kSPInterfaceStartupSelector);
        host.acquired.clear();
        host.released.clear();
        return result;
    }
    BrivaneGlobals& G() { return *brivane::Globals(); }
    AIToolHandle ToolHandle(int i) { return G().toolHandles[i]; }

    Host host{"Brivane"};
};

// ---- suite bracket and dispatch ----

TEST_F(BrivaneFrame, AcquiresItsThirtyTwoSuitesInListOrderAndReleasesThemInTheSameOrder) {
    ASSERT_EQ(Start(), kNoErr);
    const std::pair<const char*, const char*> calls[] = {{kCallerAITool, kSelectorAISelectTool},
                                                         {"AI Menu", "Go"},
                                                         {kSPInterfaceCaller, "Nonsense"},
                                                         {kCallerAITool, "AI Something"}};
    for (const auto& [caller, selector] : calls) {
        SCOPED_TRACE(std::string(caller) + " / " + selector);
        host.acquired.clear();
        host.released.clear();
        EXPECT_EQ(host.Call(caller, selector), kNoErr);
        EXPECT_EQ(host.acquired, kBrivaneSuites);
        EXPECT_EQ(host.released, kBrivaneSuites);
        EXPECT_EQ(easel::hostState().suites.outstanding(), 0);
        EXPECT_EQ(frame::SuiteNesting(), 0);
        EXPECT_EQ(frame::Art(), nullptr) << "slots are cleared on release";
    }
    EXPECT_TRUE(host.modals.empty());
}

TEST_F(BrivaneFrame, SelectAndDeselectReturnZeroAndChangeNothing) {
    ASSERT_EQ(Start(), kNoErr);
    std::vector<unsigned char> before(sizeof(BrivaneGlobals));
    std::memcpy(before.data(), &G(), before.size());
    EXPECT_EQ(host.Tool(kSelectorAISelectTool, ToolHandle(3)), kNoErr);
    EXPECT_EQ(host.Tool(kSelectorAIDeselectTool, ToolHandle(3)), kNoErr);
    EXPECT_EQ(std::memcmp(before.data(), &G(), before.size()), 0);
    EXPECT_EQ(host.undoCount, 0);
    EXPECT_TRUE(host.modals.empty());
}

TEST_F(BrivaneFrame, ANestedCallNeitherAcquiresNorReleases) {
    ASSERT_EQ(Start(), kNoErr);
    std::size_t acquiredInside = 99, releasedInside = 99;
    bool suitesHeldAfterNestedCall = false;
    host.duringModal = [&] {
        const std::size_t a = host.acquired.size(), r = host.released.size();
        EXPECT_EQ(host.Tool(kSelectorAISelectTool, nullptr), kNoErr);
        acquiredInside = host.acquired.size() - a;
        releasedInside = host.released.size() - r;
        suitesHeldAfterNestedCall = frame::AdmDialog() != nullptr && frame::Art() != nullptr &&
                                    frame::SuiteNesting() == 1;
    };
    EXPECT_EQ(host.Call(kSPInterfaceCaller, kSPInterfaceAboutSelector), kNoErr);
    EXPECT_EQ(acquiredInside, 0u);
    EXPECT_EQ(releasedInside, 0u);
    EXPECT_TRUE(suitesHeldAfterNestedCall);
    EXPECT_EQ(frame::SuiteNesting(), 0);
}

TEST_F(BrivaneFrame, SPAccessLeavesTheNestingAloneExceptReloadWhichSetsItToZero) {
    ASSERT_EQ(Start(), kNoErr);
    void* block = frame::GlobalsBlock();
    frame::SetSuiteNesting(3);

    SPMessageData message = host.Message();
    EXPECT_EQ(PluginMain(kSPAccessCaller, kSPAccessUnloadSelector, &message), kNoErr);
    EXPECT_EQ(message.globals, block);
    EXPECT_EQ(frame::SuiteNesting(), 3);
    EXPECT_EQ(PluginMain(kSPAccessCaller, "Something else", &message), kNoErr);
    EXPECT_EQ(frame::SuiteNesting(), 3);

    frame::SetGlobalsBlock(nullptr); // what unloading the library loses
    EXPECT_EQ(PluginMain(kSPAccessCaller, kSPAccessReloadSelector, &message), kNoErr);
    EXPECT_EQ(frame::GlobalsBlock(), block);
    EXPECT_EQ(frame::SuiteNesting(), 0);
    EXPECT_TRUE(host.acquired.empty()) << "no suite is acquired for SP Access";
}

TEST_F(BrivaneFrame, AMissingSuiteAlertsOnlyOnceADMBasicIsHeldAndRunsNoHandler) {
    const struct {
        const char* suite;
        std::string acquiredLast;
        bool alert;
    } cases[] = {{kADMItemSuite, "ADM Item Suite 4", true}, {kAILayerSuite, "AI Layer Suite 9", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.suite);
        host.missing = {c.suite};
        host.acquired.clear();
        host.alerts.clear();
        EXPECT_EQ(host.Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kSuiteNotFoundErr);
        if (c.alert) {
            ASSERT_EQ(host.alerts.size(), 1u);
            EXPECT_EQ(host.alerts[0], "Suite Loading Error: " + std::to_string(kSuiteNotFoundErr) +
                                          ", suite: ADM Item Suite, version: 4!");
        } else {
            EXPECT_TRUE(host.alerts.empty());
        }
        EXPECT_TRUE(host.blockSizes.empty()) << "start-up must not run";
        EXPECT_TRUE(host.modals.empty()) << "'S!Fd' is not reported by the error dialog";
        EXPECT_EQ(host.acquired.back(), c.acquiredLast) << "the walk stops at the failure";
        EXPECT_EQ(easel::hostState().suites.outstanding(), 0) << "what was acquired is released";
        EXPECT_EQ(frame::SuiteNesting(), 0);
    }
}

TEST_F(BrivaneFrame, TheAboutBoxRunsDialog16050ClosedByItsOkButton) {
    ASSERT_EQ(Start(), kNoErr);
    EXPECT_EQ(host.Call(kSPInterfaceCaller, kSPInterfaceAboutSelector), kNoErr);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].name, "About Dialog");
    EXPECT_EQ(host.modals[0].id, 16050);
    EXPECT_EQ(host.modals[0].style, 0);
    EXPECT_EQ(host.modals[0].record.result, 1);
}

// ---- start-up, registration, shut-down ----

TEST_F(BrivaneFrame, StartupAllocatesGlobalsStoresBasicAndSetsOptionBitTwo) {
    host.plugin->options = 0x11;
    ASSERT_EQ(host.Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoErr);
    EXPECT_EQ(host.blockSizes, std::vector<std::size_t>{sizeof(BrivaneGlobals)});
    ASSERT_NE(brivane::Globals(), nullptr);
    EXPECT_EQ(G().basicSuite, &host.basic);
    EXPECT_EQ(host.plugin->options, 0x13);
}

TEST_F(BrivaneFrame, RegistersThirteenToolsInOneGroupWithTheirIcons) {
    ASSERT_EQ(Start(), kNoErr);
    const auto& tools = easel::hostState().tools;
    ASSERT_EQ(tools.size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        const easel::RegisteredTool& tool = *tools[i];
        EXPECT_EQ(tool.name, brivane::kToolTitles[i]);
        EXPECT_EQ(tool.title, brivane::kToolTitles[i]);
        EXPECT_EQ(tool.tooltip, brivane::kToolTooltips[i]);
        EXPECT_EQ(tool.options, 1);
        const easel::adm::Icon* icon = easel::adm::iconOf(tool.icon);
        ASSERT_NE(icon, nullptr);
        EXPECT_NE(icon->source.find("ICON/" + std::to_string(16051 + i) + ".ico"), std::string::npos);
        const ASInt32 expectedGroup = i == 0 ? -2 : 0; // tool 0's number
        EXPECT_EQ(tool.sameGroupAs, expectedGroup);
        EXPECT_EQ(tool.sameToolsetAs, expectedGroup);
        EXPECT_EQ(brivane::ToolIndexOf(G(), ToolHandle(static_cast<int>(i))), static_cast<int>(i));
    }
    EXPECT_EQ(tools[0]->title, " ZR5 Rows Columns");
    EXPECT_EQ(tools[0]->tooltip, " ZR5 Rows Columns - paths symbols images text(10)");
    EXPECT_EQ(tools[12]->tooltip, " ZR5 Background (+ frames)");
    EXPECT_EQ(brivane::ToolIndexOf(G(), nullptr), -1);
}

TEST_F(BrivaneFrame, SetDefaultsLeavesDialogBoundsAndDragStateAlone) {
    ASSERT_EQ(Start(), kNoErr);
    BrivaneGlobals& g = G();
    g.dialogBounds = {1, 2, 3, 4};
    g.dialogBoundsSaved = 1;
    g.windmillScaleState = 42.0f;
    g.paintRunScaleH = 0.5f;
    g.tileRows = 2.0f;
    g.dragCopies = 99;
    g.paintEventCount = 7;
    brivane::SetDefaults(g);
    EXPECT_EQ(g.dialogBounds.left, 1);
    EXPECT_EQ(g.dialogBounds.bottom, 4);
    EXPECT_EQ(g.dialogBoundsSaved, 1);
    EXPECT_EQ(g.windmillScaleState, 42.0f);
    EXPECT_EQ(g.paintRunScaleH, 0.5f);
    EXPECT_EQ(g.tileRows, 2.0f);
    EXPECT_EQ(g.dragCopies, 10);
    EXPECT_EQ(g.paintEventCount, 0);
}

TEST_F(BrivaneFrame, AnUnusableIconStopsRegistrationWithIcoAndNoDefaults) {
    current->failAt = 5; // the icon of tool 5
    host.Edit<ADMIconSuite>(kADMIconSuite, kADMIconSuiteVersion, [](ADMIconSuite& s) {
        s.GetType = [](ADMIconRef icon, ASInt32* type) -> ASErr {
            if (current->calls++ == current->failAt) {
                *type = kADMUnknownIconType;
                return kNoErr;
            }
            return Host::Real<ADMIconSuite>(kADMIconSuite, kADMIconSuiteVersion).GetType(icon, type);
        };
    });
    EXPECT_EQ(host.Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoIconErr);
    EXPECT_EQ(easel::hostState().tools.size(), 5u);
    EXPECT_EQ(G().dragCopies, 0) << "no default is set";
    EXPECT_EQ(G().fillSwatch, 0);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].Text(2), kFallbackMessage);
    EXPECT_EQ(host.modals[0].Text(3), "!ico");
}

TEST_F(BrivaneFrame, AToolRegistrationErrorStopsRegistrationWithNoDefaults) {
    current->failAt = 3;
    current->failWith = kOutOfMemoryErr;
    host.Edit<AIToolSuite>(kAIToolSuite, kAIToolSuiteVersion, [](AIToolSuite& s) {
        s.AddTool = [](SPPluginRef self, const char* name, const AIAddToolData* data, ASInt32 options,
                       AIToolHandle* tool) -> ASErr {
            if (current->calls++ == current->failAt) return current->failWith;
            return Host::Real<AIToolSuite>(kAIToolSuite, kAIToolSuiteVersion).AddTool(self, name, data, options, tool);
        };
    });
    EXPECT_EQ(host.Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kOutOfMemoryErr);
    EXPECT_EQ(easel::hostState().tools.size(), 3u);
    EXPECT_EQ(current->calls, 4) << "later tools are not attempted";
    EXPECT_EQ(G().rcColumns, 0);
    EXPECT_EQ(G().backCopies, 0);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].Text(2), kMemoryMessage);
}

TEST_F(BrivaneFrame, AnAllocationFailureAtStartupIsReturnedAndNoToolIsAdded) {
    host.allocateError = kOutOfMemoryErr;
    EXPECT_EQ(host.Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kOutOfMemoryErr);
    EXPECT_TRUE(easel::hostState().tools.empty());
    EXPECT_EQ(frame::GlobalsBlock(), nullptr);
    // Tool messages without a Globals block do nothing.
    EXPECT_EQ(host.Tool(kSelectorAIToolMouseDown, nullptr), kNoErr);
}

TEST_F(BrivaneFrame, ShutdownFreesGlobalsAndClearsTheGlobalsSlot) {
    const std::size_t blocksBefore = easel::liveBlocks();
    ASSERT_EQ(Start(), kNoErr);
    ASSERT_EQ(easel::liveBlocks(), blocksBefore + 1);
    SPMessageData message = host.Message();
    message.globals = frame::GlobalsBlock();
    EXPECT_EQ(PluginMain(kSPInterfaceCaller, kSPInterfaceShutdownSelector, &message), kNoErr);
    EXPECT_EQ(easel::liveBlocks(), blocksBefore);
    EXPECT_EQ(frame::GlobalsBlock(), nullptr);
    EXPECT_EQ(message.globals, nullptr);
    // SP Blocks is acquired once more for the shut-down.
    EXPECT_EQ(std::count(host.acquired.begin(), host.acquired.end(), "SP Blocks Suite 2"), 2);
}

// ---- the tool cursor ----

TEST_F(BrivaneFrame, TrackCursorLoadsCursor16001OfTheModuleAndMakesItCurrent) {
    ASSERT_EQ(Start(), kNoErr);
    EXPECT_EQ(host.Tool(kSelectorAITrackToolCursor, ToolHandle(0)), kNoErr);
    ASSERT_NE(easel::currentCursor(), nullptr);
    EXPECT_EQ(easel::currentCursor()->id, 16001);
    ASSERT_EQ(host.plugin->cursors.size(), 1u) << "loaded from this module's resources";
}

TEST_F(BrivaneFrame, ACursorThatDoesNotLoadLeavesTheCurrentOne) {
    ASSERT_EQ(Start(), kNoErr);
    ASSERT_EQ(host.Tool(kSelectorAITrackToolCursor, ToolHandle(0)), kNoErr);
    const easel::Cursor* previous = easel::currentCursor();
    ASSERT_NE(previous, nullptr);
    host.Edit<SPAccessSuite>(kSPAccessSuite, kSPAccessSuiteVersion, [](SPAccessSuite& s) {
        s.GetAccessInfo = [](SPAccessRef access, SPPlatformAccessInfo* info) -> ASErr {
            const ASErr err = Host::Real<SPAccessSuite>(kSPAccessSuite, kSPAccessSuiteVersion).GetAccessInfo(access, info);
            info->LoadCursorA = [](void*, ASInt32) -> void* { return nullptr; };
            info->SetCursor = [](void*) -> void* {
                ++current->calls;
                return nullptr;
            };
            return err;
        };
    });
    EXPECT_EQ(host.Tool(kSelectorAITrackToolCursor, ToolHandle(0)), kNoErr);
    EXPECT_EQ(easel::currentCursor(), previous);
    EXPECT_EQ(current->calls, 0) << "no cursor is made current";
    EXPECT_TRUE(host.modals.empty());
}

// ---- mouse down, snapshot, mouse up ----

class BrivaneSnapshot : public BrivaneFrame {
protected:
    void SetUp() override {
        BrivaneFrame::SetUp();
        ASSERT_EQ(Start(), kNoErr);
    }
    std::vector<AIArtHandle> Entries() {
        std::vector<AIArtHandle> out;
        for (int32_t i = 0; G().selectedArt != nullptr && i < G().selectedCount; ++i)
            out.push_back((*G().selectedArt)[i]);
        return out;
    }
};

TEST_F(BrivaneSnapshot, AsksForSelectedArtOfTheEightTypesInOrder) {
    host.Square(0, 0, 10);
    ASSERT_EQ(host.Tool(kSelectorAIToolMouseDown, ToolHandle(1), {3, 4}), kNoErr);
    const ASInt16 expected[] = {3, 2, 8, 13, 4, 7, 9, 11};
    ASSERT_EQ(host.lastCriteria.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(host.lastCriteria[i].type, expected[i]);
        EXPECT_EQ(host.lastCriteria[i].whichAttr, 1);
        EXPECT_EQ(host.lastCriteria[i].attr, 1);
    }
    EXPECT_EQ(G().dragStart.h, 3.0f);
    EXPECT_EQ(G().dragStart.v, 4.0f);
    EXPECT_EQ(G().selectedCount, 1);
    ASSERT_EQ(host.Tool(kSelectorAIToolMouseUp, ToolHandle(1)), kNoErr);
}

TEST_F(BrivaneSnapshot, MembersOfASelectedCompoundPathAreCleared) {
    easel::Art* compound = nullptr;
    ASSERT_EQ(host.doc->newArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &compound), kNoErr);
    host.Square(0, 0, 5, compound->handle());
    host.Square(5, 0, 5, compound->handle());
    host.doc->setSelected(compound, true);
    AIArtHandle loose = host.Square(100, 100, 10);

    ASSERT_EQ(host.Tool(kSelectorAIToolMouseDown, ToolHandle(0)), kNoErr);
    // Front to back: the loose square (made last, on top), then the compound
    // path and its two members, cleared.
    EXPECT_EQ(Entries(), (std::vector<AIArtHandle>{loose, compound->handle(), nullptr, nullptr}));
    // The centre of the union of the entries' bounds.
    EXPECT_EQ(G().selectionCentre.h, 55.0f);
    EXPECT_EQ(G().selectionCentre.v, 55.0f);
    ASSERT_EQ(host.Tool(kSelectorAIToolMouseUp, ToolHandle(0)), kNoErr);
}

TEST_F(BrivaneSnapshot, NothingSelectedLeavesNoArray) {
    const std::size_t handles = easel::liveMemoryHandles();
    ASSERT_EQ(host.Tool(kSelectorAIToolMouseDown, ToolHandle(0)), kNoErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(G().selectedCount, 0);
    EXPECT_EQ(easel::liveMemoryHandles(), handles);
}

TEST_F(BrivaneSnapshot, MouseDownResetsTheDragStateOfWindmillPaintAndSlowdown) {
    G().windmillScaleState = 7.0f;
    G().paintRunScaleH = G().paintRunScaleV = G().paintRunOpacity = 0.25f;
    G().paintEventCount = 9;
    G().slowdownCounter = 5;
    ASSERT_EQ(host.Tool(kSelectorAIToolMouseDown, ToolHandle(10), {12, -7}), kNoErr);
    EXPECT_EQ(G().windmillScaleState, 100.0f);
    EXPECT_EQ(G().paintRunScaleH, 1.0f);
    EXPECT_EQ(G().paintRunScaleV, 1.0f);
    EXPECT_EQ(G().paintRunOpacity, 1.0f);
    EXPECT_EQ(G().paintLastX, 12.0f);
    EXPECT_EQ(G().paintLastY, -7.0f);
    EXPECT_EQ(G().paintEventCount, 0);
    EXPECT_EQ(G().slowdownCounter, 0);
}

TEST_F(BrivaneSnapshot, MouseUpGivesTheArrayBackAndUndoesOnce) {
    const std::size_t handles = easel::liveMemoryHandles();
    host.Square(0, 0, 10);
    ASSERT_EQ(host.Tool(kSelectorAIToolMouseDown, ToolHandle(0)), kNoErr);
    ASSERT_EQ(easel::liveMemoryHandles(), handles + 1);
    EXPECT_EQ(host.Tool(kSelectorAIToolMouseUp, ToolHandle(0)), kNoErr);
    EXPECT_EQ(easel::liveMemoryHandles(), handles);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(host.undoCount, 1);
}

TEST_F(BrivaneSnapshot, ABoundsErrorDropsTheArrayAndIsReported) {
    const std::size_t handles = easel::liveMemoryHandles();
    host.Square(0, 0, 1);
    current->failingArt = host.Square(0, 0, 10);
    host.Edit<AIArtSuite>(kAIArtSuite, kAIArtSuiteVersion, [](AIArtSuite& s) {
        s.GetArtBounds = [](AIArtHandle art, AIRealRect* bounds) -> ASErr {
            if (art == current->failingArt) return kLockedLayerErr;
            return Host::Real<AIArtSuite>(kAIArtSuite, kAIArtSuiteVersion).GetArtBounds(art, bounds);
        };
    });
    EXPECT_EQ(host.Tool(kSelectorAIToolMouseDown, ToolHandle(0)), kLockedLayerErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(easel::liveMemoryHandles(), handles);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].Text(2), "The filter cannot complete because a layer is locked or invisible.");
    EXPECT_EQ(host.modals[0].Text(3), "SEGM");
}

TEST_F(BrivaneSnapshot, AMatchingErrorIsReturnedAndLeavesNoSnapshot) {
    host.Square(0, 0, 10);
    host.Edit<AIMatchingArtSuite>(kAIMatchingArtSuite, kAIMatchingArtSuiteVersion, [](AIMatchingArtSuite& s) {
        s.GetMatchingArt = [](const AIMatchingArtSpec*, ASInt16, AIArtHandle***, ASInt32*) -> ASErr {
            return kOutOfMemoryErr;
        };
    });
    EXPECT_EQ(host.Tool(kSelectorAIToolMouseDown, ToolHandle(0)), kOutOfMemoryErr);
    EXPECT_EQ(G().selectedArt, nullptr);
}

} // namespace
