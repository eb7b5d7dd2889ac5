// The frame as Brivane runs it, against the fake host: the suite bracket,
// dispatch, start-up and shut-down, registration, the error dialog, the
// cursor and the selection snapshot.
#include "Brivane.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

extern "C" ASErr PluginMain(const char* caller, const char* selector, void* message);

namespace {

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

std::vector<std::string> ErrorTable() {
    return {"filler",
            "-108", kMemoryMessage,
            "271", kMemoryMessage,
            "SEGM", "The filter cannot complete because a layer is locked or invisible.",
            "NESS", "The filter cannot complete because a path has too many anchor points.",
            "!sel", "The selection is not valid for this filter.",
            "<Others>", kFallbackMessage};
}

class BrivaneFrame : public ::testing::Test {
protected:
    void SetUp() override {
        frame::SetGlobalsBlock(nullptr);
        frame::SetSuiteNesting(0);
        host.stringLists[16050] = ErrorTable();
    }
    void TearDown() override {
        frame::SetGlobalsBlock(nullptr);
        frame::SetSuiteNesting(0);
    }

    ASErr Call(const char* caller, const char* selector) {
        SPMessageData message = host.Message();
        return PluginMain(caller, selector, &message);
    }
    ASErr Tool(const char* selector, AIToolHandle tool, AIRealPoint cursor = {0, 0}) {
        AIToolMessage message = host.ToolMessage(tool, cursor);
        return PluginMain(kCallerAITool, selector, &message);
    }
    ASErr Start() {
        ASErr result = Call(kSPInterfaceCaller, kSPInterfaceStartupSelector);
        host.acquired.clear();
        host.released.clear();
        return result;
    }
    BrivaneGlobals& G() { return *brivane::Globals(); }

    fake::Host host;
};

// ---- suite bracket and dispatch ----

TEST_F(BrivaneFrame, AcquiresItsThirtyTwoSuitesInListOrderAndReleasesThemInTheSameOrder) {
    ASSERT_EQ(Start(), kNoErr);
    EXPECT_EQ(Tool(kSelectorAISelectTool, nullptr), kNoErr);
    EXPECT_EQ(host.acquired, kBrivaneSuites);
    EXPECT_EQ(host.released, kBrivaneSuites);
    EXPECT_EQ(host.Held(), 0);
    EXPECT_EQ(frame::SuiteNesting(), 0);
    EXPECT_EQ(frame::Art(), nullptr) << "slots are cleared on release";
}

TEST_F(BrivaneFrame, UnknownCallersAndSelectorsReturnZeroAfterAFullBracket) {
    ASSERT_EQ(Start(), kNoErr);
    const std::pair<const char*, const char*> calls[] = {
        {"AI Menu", "Go"}, {kSPInterfaceCaller, "Nonsense"}, {kCallerAITool, "AI Something"}};
    for (const auto& [caller, selector] : calls) {
        host.acquired.clear();
        host.released.clear();
        EXPECT_EQ(Call(caller, selector), kNoErr) << caller << " / " << selector;
        EXPECT_EQ(host.acquired.size(), 32u);
        EXPECT_EQ(host.released.size(), 32u);
        EXPECT_EQ(host.Held(), 0);
        EXPECT_EQ(frame::SuiteNesting(), 0);
    }
    EXPECT_TRUE(host.modals.empty());
}

TEST_F(BrivaneFrame, SelectAndDeselectReturnZeroAndChangeNothing) {
    ASSERT_EQ(Start(), kNoErr);
    std::vector<unsigned char> before(sizeof(BrivaneGlobals));
    std::memcpy(before.data(), &G(), before.size());
    EXPECT_EQ(Tool(kSelectorAISelectTool, G().toolHandles[3]), kNoErr);
    EXPECT_EQ(Tool(kSelectorAIDeselectTool, G().toolHandles[3]), kNoErr);
    EXPECT_EQ(std::memcmp(before.data(), &G(), before.size()), 0);
    EXPECT_EQ(host.undoCount, 0);
    EXPECT_TRUE(host.modals.empty());
}

TEST_F(BrivaneFrame, ANestedCallNeitherAcquiresNorReleases) {
    ASSERT_EQ(Start(), kNoErr);
    std::size_t acquiredInside = 0, releasedInside = 0;
    bool suitesHeldAfterNestedCall = false;
    host.duringModal = [&] {
        const std::size_t a = host.acquired.size(), r = host.released.size();
        EXPECT_EQ(Tool(kSelectorAISelectTool, nullptr), kNoErr);
        acquiredInside = host.acquired.size() - a;
        releasedInside = host.released.size() - r;
        suitesHeldAfterNestedCall = frame::AdmDialog() != nullptr && frame::Art() != nullptr &&
                                    frame::SuiteNesting() == 1;
    };
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceAboutSelector), kNoErr);
    EXPECT_EQ(acquiredInside, 0u);
    EXPECT_EQ(releasedInside, 0u);
    EXPECT_TRUE(suitesHeldAfterNestedCall);
    EXPECT_EQ(host.Held(), 0);
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
    EXPECT_TRUE(host.acquired.empty()) << "no suite is acquired for SP Access";

    frame::SetGlobalsBlock(nullptr); // what unloading the library loses
    EXPECT_EQ(PluginMain(kSPAccessCaller, kSPAccessReloadSelector, &message), kNoErr);
    EXPECT_EQ(frame::GlobalsBlock(), block);
    EXPECT_EQ(frame::SuiteNesting(), 0);
    EXPECT_TRUE(host.acquired.empty());
}

TEST_F(BrivaneFrame, AMissingSuiteAfterADMBasicShowsTheAlertAndRunsNoHandler) {
    host.missing.insert(kADMItemSuite);
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kSuiteNotFoundErr);
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts[0], "Suite Loading Error: " + std::to_string(kSuiteNotFoundErr) +
                                  ", suite: ADM Item Suite, version: 4!");
    EXPECT_TRUE(host.blockNames.empty()) << "start-up must not run";
    EXPECT_TRUE(host.modals.empty()) << "'S!Fd' is not reported by the error dialog";
    EXPECT_EQ(host.acquired.back(), "ADM Item Suite 4") << "the walk stops at the failure";
    EXPECT_EQ(host.Held(), 0) << "what was acquired is released";
    EXPECT_EQ(frame::SuiteNesting(), 0);
}

TEST_F(BrivaneFrame, AMissingSuiteBeforeADMBasicStopsTheWalkSilently) {
    host.missing.insert(kAILayerSuite);
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kSuiteNotFoundErr);
    EXPECT_TRUE(host.alerts.empty());
    EXPECT_EQ(host.acquired.back(), "AI Layer Suite 9");
    EXPECT_TRUE(host.blockNames.empty());
    EXPECT_EQ(host.Held(), 0);
    EXPECT_EQ(frame::SuiteNesting(), 0);
}

TEST_F(BrivaneFrame, TheAboutBoxRunsDialog16050WithAClosingOkButton) {
    ASSERT_EQ(Start(), kNoErr);
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceAboutSelector), kNoErr);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].name, "About Dialog");
    EXPECT_EQ(host.modals[0].dialogId, 16050);
    EXPECT_EQ(host.modals[0].style, 0);
    EXPECT_EQ(host.modals[0].notifyProcs, std::set<ASInt32>{1});
}

// ---- start-up, registration, shut-down ----

TEST_F(BrivaneFrame, StartupAllocatesGlobalsStoresBasicAndSetsOptionBitTwo) {
    host.pluginOptions = 0x11;
    ASSERT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoErr);
    ASSERT_EQ(host.blockNames, std::vector<std::string>{"globals"});
    EXPECT_EQ(host.blockSizes[0], sizeof(BrivaneGlobals));
    ASSERT_NE(brivane::Globals(), nullptr);
    EXPECT_EQ(G().basicSuite, &host.basic);
    EXPECT_EQ(host.pluginOptions, 0x13);
}

TEST_F(BrivaneFrame, RegistersThirteenToolsInOneGroupWithTheirIcons) {
    ASSERT_EQ(Start(), kNoErr);
    ASSERT_EQ(host.tools.size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        const fake::AddedTool& tool = host.tools[i];
        EXPECT_EQ(tool.name, brivane::kToolTitles[i]);
        EXPECT_EQ(tool.title, brivane::kToolTitles[i]);
        EXPECT_EQ(tool.tooltip, brivane::kToolTooltips[i]);
        EXPECT_EQ(tool.options, 1);
        EXPECT_EQ(host.iconRequests[i], std::make_pair(16050, static_cast<ASInt32>(i + 1)));
        const ASInt32 expectedGroup = i == 0 ? -2 : 1000; // tool 0's number in the fake host
        EXPECT_EQ(tool.sameGroupAs, expectedGroup) << i;
        EXPECT_EQ(tool.sameToolsetAs, expectedGroup) << i;
        EXPECT_EQ(brivane::ToolIndexOf(G(), G().toolHandles[i]), static_cast<int>(i));
    }
    EXPECT_EQ(host.tools[0].title, " ZR5 Rows Columns");
    EXPECT_EQ(host.tools[0].tooltip, " ZR5 Rows Columns - paths symbols images text(10)");
    EXPECT_EQ(host.tools[12].tooltip, " ZR5 Background (+ frames)");
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
    host.iconTypes[6] = kADMUnknownIconType; // the icon of tool 5
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kNoIconErr);
    EXPECT_EQ(host.tools.size(), 5u);
    EXPECT_EQ(G().dragCopies, 0) << "no default is set";
    EXPECT_EQ(G().fillSwatch, 0);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].texts[2], kFallbackMessage);
    EXPECT_EQ(host.modals[0].texts[3], "!ico");
}

TEST_F(BrivaneFrame, AToolRegistrationErrorStopsRegistrationWithNoDefaults) {
    host.addToolFailsAt = 3;
    host.addToolError = kOutOfMemoryErr;
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kOutOfMemoryErr);
    EXPECT_EQ(host.tools.size(), 3u);
    EXPECT_EQ(host.iconRequests.size(), 4u) << "later tools are not attempted";
    EXPECT_EQ(G().rcColumns, 0);
    EXPECT_EQ(G().backCopies, 0);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].texts[2], kMemoryMessage);
}

TEST_F(BrivaneFrame, AnAllocationFailureAtStartupIsReturnedAndNoToolIsAdded) {
    host.allocateError = kOutOfMemoryErr;
    EXPECT_EQ(Call(kSPInterfaceCaller, kSPInterfaceStartupSelector), kOutOfMemoryErr);
    EXPECT_TRUE(host.tools.empty());
    EXPECT_EQ(frame::GlobalsBlock(), nullptr);
    // Tool messages without a Globals block do nothing.
    EXPECT_EQ(Tool(kSelectorAIToolMouseDown, nullptr), kNoErr);
}

TEST_F(BrivaneFrame, ShutdownFreesGlobalsAndClearsTheGlobalsSlot) {
    ASSERT_EQ(Start(), kNoErr);
    SPMessageData message = host.Message();
    message.globals = frame::GlobalsBlock();
    EXPECT_EQ(PluginMain(kSPInterfaceCaller, kSPInterfaceShutdownSelector, &message), kNoErr);
    EXPECT_EQ(host.blocksFreed, 1);
    EXPECT_TRUE(host.liveBlocks.empty());
    EXPECT_EQ(frame::GlobalsBlock(), nullptr);
    EXPECT_EQ(message.globals, nullptr);
    // SP Blocks is acquired once more for the shut-down and everything is released.
    const auto blocks = std::count(host.acquired.begin(), host.acquired.end(), "SP Blocks Suite 2");
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(host.Held(), 0);
}

// ---- the tool cursor ----

TEST_F(BrivaneFrame, TrackCursorLoadsCursor16001OfTheModuleAndMakesItCurrent) {
    ASSERT_EQ(Start(), kNoErr);
    int cursor = 0;
    host.cursorToLoad = &cursor;
    EXPECT_EQ(Tool(kSelectorAITrackToolCursor, G().toolHandles[0]), kNoErr);
    EXPECT_EQ(host.cursorIds, std::vector<ASInt32>{16001});
    EXPECT_EQ(host.instancesAsked, std::vector<void*>{host.instance});
    EXPECT_EQ(host.currentCursor, &cursor);
}

TEST_F(BrivaneFrame, ACursorThatDoesNotLoadLeavesTheCurrentOne) {
    ASSERT_EQ(Start(), kNoErr);
    int previous = 0;
    host.currentCursor = &previous;
    host.cursorToLoad = nullptr;
    EXPECT_EQ(Tool(kSelectorAITrackToolCursor, G().toolHandles[0]), kNoErr);
    EXPECT_EQ(host.currentCursor, &previous);
    EXPECT_TRUE(host.modals.empty());
}

// ---- mouse down, snapshot, mouse up ----

class BrivaneSnapshot : public BrivaneFrame {
protected:
    void SetUp() override {
        BrivaneFrame::SetUp();
        ASSERT_EQ(Start(), kNoErr);
    }
};

TEST_F(BrivaneSnapshot, AsksForSelectedArtOfTheEightTypesInOrder) {
    host.selection = {host.NewArt(kPathArt, {0, 10, 10, 0})};
    ASSERT_EQ(Tool(kSelectorAIToolMouseDown, G().toolHandles[1], {3, 4}), kNoErr);
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
    ASSERT_EQ(Tool(kSelectorAIToolMouseUp, G().toolHandles[1]), kNoErr);
}

TEST_F(BrivaneSnapshot, MembersOfASelectedCompoundPathAreCleared) {
    fake::Art* compound = host.NewArt(kCompoundPathArt, {0, 10, 10, 0});
    fake::Art* member1 = host.NewArt(kPathArt, {0, 10, 5, 0});
    fake::Art* member2 = host.NewArt(kPathArt, {5, 10, 10, 0});
    fake::Art* loose = host.NewArt(kPathArt, {100, 110, 110, 100});
    compound->children = {member1, member2};
    member1->next = member2;
    host.selection = {compound, member2, loose, member1};

    ASSERT_EQ(Tool(kSelectorAIToolMouseDown, G().toolHandles[0]), kNoErr);
    ASSERT_NE(G().selectedArt, nullptr);
    ASSERT_EQ(G().selectedCount, 4);
    AIArtHandle* entries = *G().selectedArt;
    EXPECT_EQ(entries[0], reinterpret_cast<AIArtHandle>(compound));
    EXPECT_EQ(entries[1], nullptr);
    EXPECT_EQ(entries[2], reinterpret_cast<AIArtHandle>(loose));
    EXPECT_EQ(entries[3], nullptr);
    // The centre of the union of the entries' bounds.
    EXPECT_EQ(G().selectionCentre.h, 55.0f);
    EXPECT_EQ(G().selectionCentre.v, 55.0f);
    ASSERT_EQ(Tool(kSelectorAIToolMouseUp, G().toolHandles[0]), kNoErr);
}

TEST_F(BrivaneSnapshot, NothingSelectedLeavesNoArray) {
    ASSERT_EQ(Tool(kSelectorAIToolMouseDown, G().toolHandles[0]), kNoErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(G().selectedCount, 0);
    EXPECT_EQ(host.handlesOut, 0);
}

TEST_F(BrivaneSnapshot, MouseDownResetsTheDragStateOfWindmillPaintAndSlowdown) {
    G().windmillScaleState = 7.0f;
    G().paintRunScaleH = G().paintRunScaleV = G().paintRunOpacity = 0.25f;
    G().paintEventCount = 9;
    G().slowdownCounter = 5;
    ASSERT_EQ(Tool(kSelectorAIToolMouseDown, G().toolHandles[10], {12, -7}), kNoErr);
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
    host.selection = {host.NewArt(kPathArt, {0, 10, 10, 0})};
    ASSERT_EQ(Tool(kSelectorAIToolMouseDown, G().toolHandles[0]), kNoErr);
    ASSERT_EQ(host.handlesOut, 1);
    EXPECT_EQ(Tool(kSelectorAIToolMouseUp, G().toolHandles[0]), kNoErr);
    EXPECT_EQ(host.handlesOut, 0);
    EXPECT_EQ(host.handlesDisposed, 1);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(host.undoCount, 1);
}

TEST_F(BrivaneSnapshot, ABoundsErrorDropsTheArrayAndIsReported) {
    fake::Art* art = host.NewArt(kPathArt, {0, 10, 10, 0});
    art->boundsError = kLockedLayerErr;
    host.selection = {host.NewArt(kPathArt, {0, 1, 1, 0}), art};
    EXPECT_EQ(Tool(kSelectorAIToolMouseDown, G().toolHandles[0]), kLockedLayerErr);
    EXPECT_EQ(G().selectedArt, nullptr);
    EXPECT_EQ(host.handlesOut, 0);
    ASSERT_EQ(host.modals.size(), 1u);
    EXPECT_EQ(host.modals[0].texts[2], "The filter cannot complete because a layer is locked or invisible.");
    EXPECT_EQ(host.modals[0].texts[3], "SEGM");
}

TEST_F(BrivaneSnapshot, AMatchingErrorIsReturnedAndLeavesNoSnapshot) {
    host.matchError = kOutOfMemoryErr;
    EXPECT_EQ(Tool(kSelectorAIToolMouseDown, G().toolHandles[0]), kOutOfMemoryErr);
    EXPECT_EQ(G().selectedArt, nullptr);
}

} // namespace
