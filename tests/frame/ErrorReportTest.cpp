// The error dialog: which message and code text each code gets, read from
// the error table that ships in the Brivane bundle.
#include "frame/brivane/Brivane.h"
#include "FrameHost.h"

#include <gtest/gtest.h>

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

class ErrorReport : public ::testing::Test {
protected:
    void SetUp() override {
        frame::SetSuiteNesting(0);
        ASSERT_NE(host.plugin, nullptr);
        ASSERT_EQ(frame::AcquireSuites(&host.basic, brivane::kSuites, brivane::kSuiteCount), kNoErr);
    }
    void TearDown() override {
        frame::ReleaseSuites(&host.basic, brivane::kSuites, brivane::kSuiteCount);
        EXPECT_EQ(easel::hostState().suites.outstanding(), 0);
    }

    // Reports code and returns the one dialog it showed (message, code text).
    std::pair<std::string, std::string> Shown(ASErr code) {
        host.modals.clear();
        frame::ReportError(host.plugin->ref(), code);
        EXPECT_EQ(host.modals.size(), 1u);
        if (host.modals.size() != 1) return {};
        const framehost::Modal& modal = host.modals[0];
        EXPECT_EQ(modal.name, "Error Dialog");
        EXPECT_EQ(modal.id, 16051);
        EXPECT_EQ(modal.style, 0);
        EXPECT_EQ(modal.record.result, 1) << "OK closes the dialog";
        return {modal.Text(2), modal.Text(3)};
    }

    framehost::Host host{"Brivane"};
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
        EXPECT_EQ(Shown(c.code), std::make_pair(c.message, c.codeText));
    }
}

TEST_F(ErrorReport, SilentForZeroAndCancel) {
    frame::ReportError(host.plugin->ref(), kNoErr);
    frame::ReportError(host.plugin->ref(), kCancelErr);
    EXPECT_TRUE(host.modals.empty());
}

TEST_F(ErrorReport, SilentWithoutTheDialogSuite) {
    const void* dialogSuite = frame::gSuiteSlots[frame::kSlotADMDialog];
    frame::gSuiteSlots[frame::kSlotADMDialog] = nullptr;
    frame::ReportError(host.plugin->ref(), kOutOfMemoryErr);
    frame::gSuiteSlots[frame::kSlotADMDialog] = dialogSuite;
    EXPECT_TRUE(host.modals.empty());
}

// Tables of other shapes than the shipped one.
TEST_F(ErrorReport, NumericEntriesAreTruncatedAndTakenAsSixteenBitValues) {
    host.stringList = {"", "65428", "wrapped", "271.9", "truncated", "<Others>", "fallback"};
    EXPECT_EQ(Shown(-108).first, "wrapped") << "65428 narrowed to 16 bits is -108";
    EXPECT_EQ(Shown(271).first, "truncated");
    EXPECT_EQ(Shown(65428).first, "fallback") << "the code itself is not narrowed";
}

TEST_F(ErrorReport, AnUnknownCodeNeverGetsTheMessageOfTheLastAttempt) {
    host.stringList = {"", "SEGM", "layer", "NESS", "anchors", "!sel", "selection"};
    EXPECT_EQ(Shown(kOutOfMemoryErr).first, "selection") << "the last message of the list is the fallback";
    EXPECT_EQ(Shown(kTooManyPointsErr).first, "anchors");
}

TEST_F(ErrorReport, ShortFourCharacterEntriesArePaddedWithZeros) {
    host.stringList = {"", "AB", "short", "<Others>", "fallback"};
    EXPECT_EQ(Shown(0x41420000).first, "short");
}

} // namespace
