// The error dialog: which message and code text each code gets, read from
// the error table that ships in the Brivane bundle.
#include "Brivane.h"
#include "FakeHost.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kMemory = "The filter cannot complete because there isn't enough memory (RAM) available.";
const std::string kLayer = "The filter cannot complete because a layer is locked or invisible.";
const std::string kAnchors = "The filter cannot complete because a path has too many anchor points.";
const std::string kSelection = "The selection is not valid for this filter.";
const std::string kFallback =
    "Unknown error - possible reason: filters require paths to be selected before use or too many paths "
    "have been selected";

std::vector<std::string> BundledErrorTable() {
    std::ifstream in(std::string(EASEL_PLUGIN_DIR) + "/Brivane.aip/STR#/16050.json");
    EXPECT_TRUE(in.good()) << "the Brivane bundle's error table is missing";
    if (!in.good()) return {};
    return nlohmann::json::parse(in).get<std::vector<std::string>>();
}

class ErrorReport : public ::testing::Test {
protected:
    void SetUp() override {
        frame::SetSuiteNesting(0);
        host.stringLists[16050] = BundledErrorTable();
        ASSERT_EQ(frame::AcquireSuites(&host.basic, brivane::kSuites, brivane::kSuiteCount), kNoErr);
    }
    void TearDown() override {
        frame::ReleaseSuites(&host.basic, brivane::kSuites, brivane::kSuiteCount);
        EXPECT_EQ(host.Held(), 0);
    }

    // Reports code and returns the one dialog it showed (message, code text).
    std::pair<std::string, std::string> Shown(ASErr code) {
        frame::ReportError(host.self, code);
        EXPECT_EQ(host.modals.size(), 1u);
        if (host.modals.size() != 1) return {};
        const fake::Modal& modal = host.modals[0];
        EXPECT_EQ(modal.name, "Error Dialog");
        EXPECT_EQ(modal.dialogId, 16051);
        EXPECT_EQ(modal.style, 0);
        EXPECT_EQ(modal.notifyProcs.count(1), 1u) << "OK closes the dialog";
        auto message = modal.texts.find(2), codeText = modal.texts.find(3);
        EXPECT_NE(message, modal.texts.end());
        EXPECT_NE(codeText, modal.texts.end());
        if (message == modal.texts.end() || codeText == modal.texts.end()) return {};
        return {message->second, codeText->second};
    }

    fake::Host host;
};

TEST_F(ErrorReport, EachCodeShowsItsMessageAndItsNumberOrFourCharacters) {
    const struct {
        ASErr code;
        std::string message, codeText;
    } cases[] = {
        {-108, kMemory, "-108"},
        {271, kMemory, "271"},
        {kLockedLayerErr, kLayer, "SEGM"},
        {kTooManyPointsErr, kAnchors, "NESS"},
        {kBadSelectionErr, kSelection, "!sel"},
        {kNoIconErr, kFallback, "!ico"}, // not in the table
        {12345, kFallback, "12345"},
        {-1, kFallback, "-1"},
        {kBadParameterErr, kFallback, "PARM"},
        {0x41424344, kFallback, "ABCD"}, // upper half neither all zeros nor all ones
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codeText);
        host.modals.clear();
        EXPECT_EQ(Shown(c.code), std::make_pair(c.message, c.codeText));
    }
}

TEST_F(ErrorReport, SilentForZeroAndCancel) {
    frame::ReportError(host.self, kNoErr);
    frame::ReportError(host.self, kCancelErr);
    EXPECT_TRUE(host.modals.empty());
}

TEST_F(ErrorReport, SilentWithoutTheDialogSuite) {
    const void* dialogSuite = frame::gSuiteSlots[frame::kSlotADMDialog];
    frame::gSuiteSlots[frame::kSlotADMDialog] = nullptr;
    frame::ReportError(host.self, kOutOfMemoryErr);
    frame::gSuiteSlots[frame::kSlotADMDialog] = dialogSuite;
    EXPECT_TRUE(host.modals.empty());
}

// Tables of other shapes than the shipped one.
TEST_F(ErrorReport, NumericEntriesAreTruncatedAndTakenAsSixteenBitValues) {
    host.stringLists[16050] = {"", "65428", "wrapped", "271.9", "truncated", "<Others>", "fallback"};
    EXPECT_EQ(Shown(-108).first, "wrapped") << "65428 narrowed to 16 bits is -108";
    host.modals.clear();
    EXPECT_EQ(Shown(271).first, "truncated");
    host.modals.clear();
    EXPECT_EQ(Shown(65428).first, "fallback") << "the code itself is not narrowed";
}

TEST_F(ErrorReport, AnUnknownCodeNeverGetsTheMessageOfTheLastAttempt) {
    host.stringLists[16050] = {"", "SEGM", "layer", "NESS", "anchors", "!sel", "selection"};
    EXPECT_EQ(Shown(kOutOfMemoryErr).first, "selection") << "the last message of the list is the fallback";
    host.modals.clear();
    EXPECT_EQ(Shown(kTooManyPointsErr).first, "anchors");
}

TEST_F(ErrorReport, ShortFourCharacterEntriesArePaddedWithZeros) {
    host.stringLists[16050] = {"", "AB", "short", "<Others>", "fallback"};
    EXPECT_EQ(Shown(0x41420000).first, "short");
}

} // namespace
