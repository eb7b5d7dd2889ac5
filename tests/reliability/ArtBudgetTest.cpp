// The art budget: a document never holds more art than its budget, and one
// drag event never makes more than its share; what is refused is refused
// with the memory error before anything is made. Through the plug-ins the
// refusal reaches the user as the memory message, and undo gives the
// document back as it was.
#include <gtest/gtest.h>

#include "frame/brivane/BrivaneGlobals.h"
#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "Harness.h"

namespace reliability {
namespace {

using namespace easel;

class ArtBudgetTest : public ::testing::Test {
protected:
    std::unique_ptr<Document> doc = newDocument(400, 300);

    Art* NewPath() {
        Art* a = nullptr;
        EXPECT_EQ(doc->newArt(kPathArt, kPlaceAboveAll, nullptr, &a), kNoErr);
        return a;
    }
    Art* NewGroupOf(int members) {
        Art* g = nullptr;
        EXPECT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &g), kNoErr);
        for (int i = 0; i < members; ++i) {
            Art* c = nullptr;
            EXPECT_EQ(doc->newArt(kPathArt, kPlaceInsideOnTop, g, &c), kNoErr);
        }
        return g;
    }
};

TEST_F(ArtBudgetTest, ArtPastTheDocumentBudgetIsRefusedAndNothingIsMade) {
    doc->setArtBudget({3, 100});
    for (int i = 0; i < 3; ++i) NewPath();
    const std::string before = writeDocumentJson(*doc);
    Art* extra = nullptr;
    EXPECT_EQ(doc->newArt(kPathArt, kPlaceAboveAll, nullptr, &extra), kOutOfMemoryErr);
    EXPECT_EQ(extra, nullptr);
    Art* rect = nullptr;
    EXPECT_EQ(doc->newRect(10, 0, 0, 10, false, &rect), kOutOfMemoryErr);
    EXPECT_EQ(doc->artNodes(), 3u);
    EXPECT_EQ(writeDocumentJson(*doc), before);
}

TEST_F(ArtBudgetTest, ACopyCountsWithAllItsMembers) {
    Art* group = NewGroupOf(3);  // four nodes
    doc->setArtBudget({7, 100});
    Art* copy = nullptr;
    EXPECT_EQ(doc->duplicateArt(group, kPlaceAboveAll, nullptr, &copy), kOutOfMemoryErr);
    EXPECT_EQ(doc->artNodes(), 4u);
    doc->setArtBudget({8, 100});
    EXPECT_EQ(doc->duplicateArt(group, kPlaceAboveAll, nullptr, &copy), kNoErr);
    EXPECT_EQ(doc->artNodes(), 8u);
}

TEST_F(ArtBudgetTest, OneContextMakesAtMostItsShareAndStartsAgainAfterItsUndo) {
    doc->setArtBudget({1000, 5});
    doc->beginUndoContext();
    for (int i = 0; i < 5; ++i) NewPath();
    Art* sixth = nullptr;
    EXPECT_EQ(doc->newArt(kPathArt, kPlaceAboveAll, nullptr, &sixth), kOutOfMemoryErr);
    EXPECT_EQ(doc->contextArtNodes(), 5u);
    // A drag event's undo takes its art back and gives the next event a full share.
    EXPECT_EQ(doc->undoChanges(), kNoErr);
    EXPECT_EQ(doc->artNodes(), 0u);
    EXPECT_EQ(doc->contextArtNodes(), 0u);
    for (int i = 0; i < 5; ++i) NewPath();
    // A new context (the next drag) has its own share; the art made stays counted.
    doc->commitUndoContext();
    for (int i = 0; i < 5; ++i) NewPath();
    EXPECT_EQ(doc->artNodes(), 10u);
}

TEST_F(ArtBudgetTest, AnEnvelopeCountsAsArtMade) {
    Art* path = NewPath();
    doc->setArtBudget({1, 100});
    Art* env = nullptr;
    EXPECT_EQ(doc->makeEnvelope(&path, 1, nullptr, &env), kOutOfMemoryErr);
    EXPECT_EQ(path->parent(), nullptr);  // still where it was
}

TEST_F(ArtBudgetTest, AReadDocumentPastTheBudgetIsRefused) {
    // A stored document is read into a fresh document with the default budget;
    // the readers go through the same checks, so an oversized file cannot
    // exhaust memory either. Checked here through a small budget on a copy.
    for (int i = 0; i < 4; ++i) NewPath();
    std::unique_ptr<Document> again;
    std::string error;
    ASSERT_TRUE(readDocumentJson(writeDocumentJson(*doc), again, error)) << error;
    EXPECT_EQ(again->artNodes(), 4u);
    again->setArtBudget({4, 100});
    Art* a = nullptr;
    EXPECT_EQ(again->newArt(kPathArt, kPlaceAboveAll, nullptr, &a), kOutOfMemoryErr);
}

// ---------------------------------------------------------------------------
// Through the plug-ins, with the budget a user's document has.

class MemoryGuardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host_ = new Host(); }
    static void TearDownTestSuite() {
        delete host_;
        host_ = nullptr;
    }
    static Host* host_;
};
Host* MemoryGuardTest::host_ = nullptr;

TEST_F(MemoryGuardTest, AGridOfNinetyThousandCellsOverAThousandObjectsIsRefusedWithTheMemoryMessage) {
    ASSERT_TRUE(host_->error().empty()) << host_->error();
    host_->restoreDefaults();
    auto doc = newDocument(612, 792);
    for (int i = 0; i < 1000; ++i) {
        Art* a = nullptr;
        const float h = static_cast<float>(i % 40) * 12, v = static_cast<float>(i / 40) * 12;
        ASSERT_EQ(doc->newRect(v + 10, h, v, h + 10, false, &a), kNoErr);
        ASSERT_EQ(doc->setSelected(a, true), kNoErr);
    }
    doc->clearHistory();
    hostState().document = doc.get();
    const ToolCase& rows = toolCases().front();

    // 300 columns by 300 rows, set in the tool's dialog.
    adm::ScriptedDriver driver({{20, 300.0, std::nullopt}, {21, 300.0, std::nullopt}}, {"OK"});
    EXPECT_EQ(host_->openOptions(rows, &driver).result, kNoErr);
    ASSERT_TRUE(driver.error().empty()) << driver.error();

    const std::string before = writeDocumentJson(*doc);
    doc->beginUndoContext();
    EXPECT_EQ(host_->send(rows, kSelectorAIToolMouseDown, {100, 100}, 0, 0).result, kNoErr);
    const CallRecord drag = host_->send(rows, kSelectorAIToolMouseDrag, {400, 300}, 0, 0);
    // Nothing past the share of one event was made.
    EXPECT_LE(doc->contextArtNodes(), doc->artBudget().perContext);
    doc->commitUndoContext();
    doc->beginUndoContext();
    EXPECT_EQ(host_->send(rows, kSelectorAIToolMouseUp, {400, 300}, 0, 0).result, kNoErr);
    doc->commitUndoContext();

    EXPECT_EQ(drag.result, kOutOfMemoryErr);
    EXPECT_EQ(checkReported(drag), "");
    ASSERT_EQ(drag.dialogs.size(), 1u);
    EXPECT_LE(doc->artNodes(), doc->artBudget().document);

    // The user's undo gives the document back untouched.
    EXPECT_TRUE(doc->undo());
    EXPECT_EQ(writeDocumentJson(*doc), before);
    hostState().document = nullptr;
}

}  // namespace
}  // namespace reliability
