#include <gtest/gtest.h>

#include <array>
#include <numbers>
#include <random>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "ModelTestSupport.h"

namespace easel {
namespace {

using test::corner;
using test::idsOf;
using test::makeSquare;
using test::rotation;
using test::translation;

// A document with a few source objects, saved as JSON to compare states.
class UndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        a = makeSquare(*doc, 0, 0, 10);
        b = makeSquare(*doc, 20, 0, 10);
        ASSERT_EQ(doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &g), kNoErr);
        c = makeSquare(*doc, 40, 0, 10);
        ASSERT_EQ(doc->reorderArt(c, kPlaceInsideOnTop, g), kNoErr);
        ASSERT_EQ(doc->setSelected(a, true), kNoErr);
        doc->clearHistory();
        initial = json();
    }
    std::string json() const { return writeDocumentJson(*doc); }

    // One drag event of a tool: copies of a, transformed and restyled.
    void drawCopies(int n) {
        for (int i = 0; i < n; ++i) {
            Art* copy = nullptr;
            ASSERT_EQ(doc->duplicateArt(a, i % 2 ? kPlaceAboveAll : kPlaceBelowAll, a, &copy), kNoErr);
            ASSERT_EQ(doc->setTagString(copy, "brivane", "brivane"), kNoErr);
            ASSERT_EQ(doc->transformArt(copy, translation(static_cast<float>(i), 1), 2, 0x13), kNoErr);
            ASSERT_EQ(doc->setOpacity(copy, 0.5f), kNoErr);
        }
    }

    std::unique_ptr<Document> doc = newDocument();
    Art* a = nullptr;
    Art* b = nullptr;
    Art* c = nullptr;
    Art* g = nullptr;
    std::string initial;
};

TEST_F(UndoTest, UndoChangesRevertsEveryKindOfChangeOfTheOpenContext) {
    doc->beginUndoContext();
    drawCopies(5);
    ASSERT_EQ(doc->transformArt(b, rotation(1), 3, 0x13), kNoErr);
    AIPathSegment s = corner(-7, -7);
    ASSERT_EQ(doc->setSegments(a, 0, 1, &s), kNoErr);
    ASSERT_EQ(doc->setClosed(a, false), kNoErr);
    ASSERT_EQ(doc->setSegmentSelection(a, 1, 0), kNoErr);
    AIPathStyle st = b->style();
    st.fill.color = cmykColor(0.1f, 0.2f, 0.3f, 0.4f);
    ASSERT_EQ(doc->setStyle(b, st), kNoErr);
    ASSERT_EQ(doc->setOpacity(b, 0.3f), kNoErr);
    ASSERT_EQ(doc->setBlendMode(b, 4), kNoErr);
    ASSERT_EQ(doc->setTagReal(b, "t", 1), kNoErr);
    ASSERT_EQ(doc->reorderArt(b, kPlaceBelowAll, nullptr), kNoErr);
    ASSERT_EQ(doc->reorderArt(c, kPlaceAboveAll, nullptr), kNoErr);
    ASSERT_EQ(doc->disposeArt(g), kNoErr);
    Layer* l = nullptr;
    ASSERT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &l), kNoErr);
    ASSERT_EQ(doc->duplicateArt(b, kPlaceAboveAll, nullptr, nullptr), kNoErr);
    ASSERT_EQ(doc->setLayerName(doc->bottomLayer(), "renamed"), kNoErr);
    doc->selectAll();
    ASSERT_EQ(doc->setPageSize(100, 100), kNoErr);
    ASSERT_NE(json(), initial);

    ASSERT_EQ(doc->undoChanges(), kNoErr);
    EXPECT_EQ(json(), initial);
    // The same handles are live again; nothing new is.
    EXPECT_TRUE(doc->isLive(g));
    EXPECT_TRUE(doc->isLive(c));
    EXPECT_EQ(c->parent(), g);
    EXPECT_FALSE(doc->isLive(reinterpret_cast<Art*>(l)));
    EXPECT_EQ(doc->layerCount(), 1u);
    EXPECT_FALSE(doc->contextChanged());
}

TEST_F(UndoTest, EachDragEventTakesBackThePreviousOneOnly) {
    doc->beginUndoContext();
    drawCopies(3);
    const Art* firstCopy = doc->bottomLayer()->firstArt();
    ASSERT_EQ(doc->undoChanges(), kNoErr);
    EXPECT_FALSE(doc->isLive(firstCopy));
    EXPECT_EQ(json(), initial);
    drawCopies(4);
    const std::string fourCopies = json();
    ASSERT_EQ(doc->undoChanges(), kNoErr);
    drawCopies(4);
    // Ids are given again from where the context started: same result.
    EXPECT_EQ(json(), fourCopies);
    // Mouse up: the host closes the drag as one step and opens a fresh context,
    // so the plug-in's UndoChanges there takes nothing back.
    doc->commitUndoContext();
    ASSERT_EQ(doc->undoChanges(), kNoErr);
    EXPECT_EQ(json(), fourCopies);
    EXPECT_EQ(doc->undoStepCount(), 1u);
}

TEST_F(UndoTest, UserUndoAndRedoActOnWholeSteps) {
    doc->beginUndoContext();
    drawCopies(2);
    doc->commitUndoContext();
    const std::string afterFirst = json();
    doc->beginUndoContext();
    ASSERT_EQ(doc->transformArt(b, translation(5, 5), 1, 0x13), kNoErr);
    ASSERT_EQ(doc->disposeArt(a), kNoErr);
    doc->commitUndoContext();
    const std::string afterSecond = json();

    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(json(), afterFirst);
    EXPECT_TRUE(doc->isLive(a));
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(json(), initial);
    EXPECT_FALSE(doc->undo());
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(json(), afterFirst);
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(json(), afterSecond);
    EXPECT_FALSE(doc->redo());
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(json(), afterFirst);
}

TEST_F(UndoTest, AnEmptyContextMakesNoStepAndANewChangeDropsRedo) {
    doc->beginUndoContext();
    doc->commitUndoContext();
    EXPECT_EQ(doc->undoStepCount(), 0u);
    doc->beginUndoContext();
    ASSERT_EQ(doc->setOpacity(a, 0.5f), kNoErr);
    doc->commitUndoContext();
    ASSERT_TRUE(doc->undo());
    EXPECT_TRUE(doc->canRedo());
    doc->beginUndoContext();
    ASSERT_EQ(doc->setOpacity(b, 0.5f), kNoErr);
    EXPECT_FALSE(doc->canRedo());
    EXPECT_FALSE(doc->redo());
    EXPECT_EQ(a->opacity(), 1);
}

TEST_F(UndoTest, ChangesOutsideTheSourcesLeaveOtherArtUntouched) {
    const auto geomB = b->sharedGeometry();
    doc->beginUndoContext();
    drawCopies(10);
    ASSERT_EQ(doc->undoChanges(), kNoErr);
    // Art the context did not touch keeps its very geometry object.
    EXPECT_EQ(b->sharedGeometry(), geomB);
    EXPECT_EQ(idsOf(doc->bottomLayer()), (std::vector<int64_t>{a->id(), b->id(), g->id()}));
}

TEST_F(UndoTest, UndoTextNamesTheStep) {
    doc->beginUndoContext();
    doc->setUndoText("Undo Drag", "Redo Drag");
    ASSERT_EQ(doc->setOpacity(a, 0.5f), kNoErr);
    doc->commitUndoContext();
    EXPECT_EQ(doc->undoText(), "Undo Drag");
}

TEST_F(UndoTest, DisposedArtStaysValidForUndoAcrossSteps) {
    doc->beginUndoContext();
    ASSERT_EQ(doc->disposeArt(g), kNoErr);
    doc->commitUndoContext();
    EXPECT_FALSE(doc->isLive(g));
    EXPECT_FALSE(doc->isLive(c));
    ASSERT_TRUE(doc->undo());
    EXPECT_TRUE(doc->isLive(g));
    EXPECT_TRUE(doc->isLive(c));
    EXPECT_EQ(g->firstChild(), c);
    EXPECT_EQ(json(), initial);
}

// selectedArt() starts from the list of selected nodes, and reverting a
// context that only made art unlinks and frees it in bulk: after every step
// of a random edit session both must agree with a walk of the document.
TEST_F(UndoTest, SelectionListAndBulkRevertAgreeWithAFullWalk) {
    Layer* top = nullptr;
    ASSERT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
    std::vector<Art*> made;  // every handle ever made, live or not
    for (Art* x : {a, b, c, g}) made.push_back(x);
    std::mt19937 rng(7);
    auto pick = [&]() -> Art* {
        std::vector<Art*> live;
        for (Art* x : made)
            if (doc->isLive(x)) live.push_back(x);
        return live.empty() ? nullptr : live[rng() % live.size()];
    };
    auto walkSelected = [&](int16_t type) {
        std::vector<Art*> out;
        doc->forEachArt([&](Art* x) {
            if (x->selected() && (type == kAnyArt || x->type() == type)) out.push_back(x);
        });
        return out;
    };
    const MatchSpec selectedPaths{kPathArt, kArtSelected, kArtSelected};
    for (int step = 0; step < 400; ++step) {
        Art* x = pick();
        Art* y = pick();
        const size_t nodesBefore = doc->artNodes();
        const std::string before = json();
        switch (rng() % 9) {
            case 0:  // a drag event: copies placed around, into a new group, one disposed, then taken back
                doc->beginUndoContext();
                for (int i = 0; i < 4 && x; ++i) {
                    Art* copy = nullptr;
                    const int16_t order = std::array<int16_t, 3>{kPlaceAboveAll, kPlaceBelow, kPlaceAbove}[i % 3];
                    if (doc->duplicateArt(x, order, x, &copy) == kNoErr) made.push_back(copy);
                    if (copy && i == 3) {
                        ASSERT_EQ(doc->disposeArt(copy), kNoErr);
                    }
                }
                if (Art* copy = nullptr; x && doc->isLive(g) && doc->duplicateArt(x, kPlaceInsideOnBottom, g, &copy) == kNoErr) {
                    made.push_back(copy);
                }
                if (Art* box = nullptr; doc->newArt(kGroupArt, kPlaceAboveAll, nullptr, &box) == kNoErr) {
                    made.push_back(box);
                    Art* inner = nullptr;
                    if (y && doc->duplicateArt(y, kPlaceInsideOnTop, box, &inner) == kNoErr) {
                        made.push_back(inner);
                        ASSERT_EQ(doc->setSelected(inner, true), kNoErr);
                        if (inner->firstChild()) {
                            ASSERT_EQ(doc->reorderArt(inner->firstChild(), kPlaceAboveAll, nullptr), kNoErr);
                        }
                    }
                }
                if (y) {
                    ASSERT_EQ(doc->setSelected(y, !y->selected()), kNoErr);
                }
                ASSERT_EQ(doc->undoChanges(), kNoErr);
                EXPECT_EQ(json(), before) << "step " << step;
                // Made nodes are freed (steps dropped from redo may free more).
                EXPECT_LE(doc->artNodes(), nodesBefore) << "step " << step;
                break;
            case 1:
            case 2:
                if (x) {
                    ASSERT_EQ(doc->setSelected(x, !x->selected()), kNoErr);
                }
                break;
            case 3:
                if (x && x->hasPath() && x->segmentCount() > 1) {
                    ASSERT_EQ(doc->setSegmentSelection(x, 1, 0), kNoErr);
                }
                break;
            case 4:
                if (x && x != y && y && y->isContainer()) doc->reorderArt(x, kPlaceInsideOnBottom, y);
                else if (x) doc->reorderArt(x, kPlaceAboveAll, nullptr);
                break;
            case 5:
                if (x && doc->bottomLayer()->firstArt() != x) doc->disposeArt(x);
                break;
            case 6:
                if (x) {
                    Art* copy = nullptr;
                    if (doc->duplicateArt(x, kPlaceBelowAll, nullptr, &copy) == kNoErr) {
                        made.push_back(copy);
                        ASSERT_EQ(doc->setSelected(copy, true), kNoErr);
                    }
                }
                break;
            case 7:
                doc->commitUndoContext();
                doc->undo();
                break;
            case 8:
                doc->redo();
                break;
        }
        ASSERT_EQ(doc->selectedArt(), walkSelected(kAnyArt)) << "step " << step;
        ASSERT_EQ(doc->matchingArt(&selectedPaths, 1), walkSelected(kPathArt)) << "step " << step;
    }
}

// Copies tagged alike share one tag list; changing one copy's tag changes
// only that copy.
TEST_F(UndoTest, TagsSetAlikeStayIndependentPerArt) {
    Art* copies[3] = {};
    for (Art*& copy : copies) ASSERT_EQ(doc->duplicateArt(a, kPlaceAboveAll, nullptr, &copy), kNoErr);
    for (Art* copy : copies) ASSERT_EQ(doc->setTagString(copy, "k", "v"), kNoErr);
    ASSERT_EQ(doc->setTagReal(copies[1], "k", 2), kNoErr);
    ASSERT_EQ(doc->setTagString(copies[2], "k", "v"), kNoErr);
    ASSERT_EQ(doc->setTagString(copies[2], "m", "w"), kNoErr);
    EXPECT_EQ(copies[0]->tags().size(), 1u);
    EXPECT_EQ(copies[0]->findTag("k")->text, "v");
    EXPECT_TRUE(copies[1]->findTag("k")->isReal);
    EXPECT_EQ(copies[2]->tags().size(), 2u);
    EXPECT_EQ(a->tags().size(), 0u);
}

}  // namespace
}  // namespace easel
