#include <cmath>
#include <vector>

#include "SuiteTestSupport.h"

namespace easel::test {
namespace {

// ---- placement: duplicate and reorder ----

class Placement : public DocumentSuiteTest {
protected:
    void SetUp() override {
        DocumentSuiteTest::SetUp();
        // Two layers: "Layer 1" at the bottom holding a and b, "Layer 2" on top holding c.
        a = square(0, 0, 10);
        b = square(20, 0, 10);
        AILayerHandle top = nullptr;
        ASSERT_EQ(layers->InsertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
        c = square(40, 0, 10);
        topLayer = nthLayer(0);
        bottomLayer = nthLayer(1);
        ASSERT_EQ(topLayer, top);
    }
    AIArtHandle a = nullptr, b = nullptr, c = nullptr;
    AILayerHandle topLayer = nullptr, bottomLayer = nullptr;
};

// Above all (5) and beneath all (6) are the top and the bottom of the current
// layer: the layer made last, then the one made current.
TEST_F(Placement, AboveAndBeneathAllAreTheTopAndBottomOfTheCurrentLayer) {
    AILayerHandle current = nullptr;
    ASSERT_EQ(layers->GetCurrentLayer(&current), kNoErr);
    ASSERT_EQ(current, topLayer);
    AIArtHandle over = nullptr, under = nullptr;
    ASSERT_EQ(art->DuplicateArt(a, kPlaceAboveAll, a, &over), kNoErr);
    ASSERT_EQ(art->DuplicateArt(a, kPlaceBelowAll, a, &under), kNoErr);
    EXPECT_EQ(artOf(topLayer), (std::vector<AIArtHandle>{under, c, over}));
    EXPECT_EQ(artOf(bottomLayer), (std::vector<AIArtHandle>{a, b}));
    AIRealRect r = boundsOf(over);  // the copy has the source's geometry
    EXPECT_EQ(r.left, 0.0f);
    EXPECT_EQ(r.right, 10.0f);

    doc->setCurrentLayer(doc->bottomLayer());
    ASSERT_EQ(layers->GetCurrentLayer(&current), kNoErr);
    ASSERT_EQ(current, bottomLayer);
    AIArtHandle low = nullptr, high = nullptr;
    ASSERT_EQ(art->DuplicateArt(c, kPlaceBelowAll, c, &low), kNoErr);
    ASSERT_EQ(art->DuplicateArt(c, kPlaceAboveAll, c, &high), kNoErr);
    ASSERT_EQ(art->ReorderArt(over, kPlaceAboveAll, nullptr), kNoErr);
    EXPECT_EQ(artOf(bottomLayer), (std::vector<AIArtHandle>{low, a, b, high, over}));
    EXPECT_EQ(artOf(topLayer), (std::vector<AIArtHandle>{under, c}));
}

TEST_F(Placement, OrdersOneAndTwoPlaceNextToTheReferenceArt) {
    AIArtHandle over = nullptr, under = nullptr;
    ASSERT_EQ(art->DuplicateArt(c, kPlaceAbove, a, &over), kNoErr);
    ASSERT_EQ(art->DuplicateArt(c, kPlaceBelow, a, &under), kNoErr);
    EXPECT_EQ(artOf(bottomLayer), (std::vector<AIArtHandle>{under, a, over, b}));
    ASSERT_EQ(art->ReorderArt(b, kPlaceBelow, under), kNoErr);
    EXPECT_EQ(artOf(bottomLayer), (std::vector<AIArtHandle>{b, under, a, over}));
    ASSERT_EQ(art->ReorderArt(b, kPlaceAboveAll, nullptr), kNoErr);
    EXPECT_EQ(artOf(topLayer), (std::vector<AIArtHandle>{c, b}));
}

// A hidden or locked layer on top (a sketch, a tracing) does not stop art
// placed on the current layer below it; a locked or hidden current layer does.
TEST_F(Placement, OnlyALockedOrHiddenCurrentLayerRefusesWithSEGM) {
    doc->setCurrentLayer(doc->bottomLayer());
    ASSERT_EQ(layers->SetLayerEditable(topLayer, 0), kNoErr);
    ASSERT_EQ(layers->SetLayerVisible(topLayer, 0), kNoErr);
    AIArtHandle copy = nullptr;
    ASSERT_EQ(art->DuplicateArt(a, kPlaceAboveAll, a, &copy), kNoErr);
    ASSERT_EQ(art->DuplicateArt(b, kPlaceBelowAll, b, &copy), kNoErr);
    EXPECT_EQ(artOf(bottomLayer).size(), 4u);

    ASSERT_EQ(layers->SetLayerEditable(bottomLayer, 0), kNoErr);
    ASBoolean editable = 1;
    ASSERT_EQ(layers->GetLayerEditable(bottomLayer, &editable), kNoErr);
    EXPECT_EQ(editable, 0);
    EXPECT_EQ(art->DuplicateArt(a, kPlaceAboveAll, a, &copy), kLockedLayerErr);
    EXPECT_EQ(art->ReorderArt(a, kPlaceAboveAll, nullptr), kLockedLayerErr);
    AIArtHandle fresh = nullptr;
    EXPECT_EQ(art->NewArt(kPathArt, kPlaceBelowAll, nullptr, &fresh), kLockedLayerErr);

    ASSERT_EQ(layers->SetLayerEditable(bottomLayer, 1), kNoErr);
    ASSERT_EQ(layers->SetLayerVisible(bottomLayer, 0), kNoErr);
    EXPECT_EQ(art->DuplicateArt(c, kPlaceBelowAll, c, &copy), kLockedLayerErr);
    EXPECT_EQ(art->DuplicateArt(c, kPlaceAbove, a, &copy), kLockedLayerErr) << "next to art of a hidden layer";
    EXPECT_EQ(artOf(bottomLayer).size(), 4u);
    EXPECT_EQ(artOf(topLayer), (std::vector<AIArtHandle>{c}));
}

TEST_F(Placement, BadOrdersAndReferencesAreRefused) {
    AIArtHandle copy = nullptr;
    EXPECT_EQ(art->DuplicateArt(a, 0, a, &copy), kBadParameterErr);
    EXPECT_EQ(art->DuplicateArt(a, 7, a, &copy), kBadParameterErr);
    EXPECT_EQ(art->DuplicateArt(a, kPlaceAboveAll, a, nullptr), kBadParameterErr);
    ASSERT_EQ(art->DisposeArt(b), kNoErr);
    EXPECT_EQ(art->DuplicateArt(a, kPlaceAbove, b, &copy), kBadParameterErr);
    EXPECT_EQ(art->NewArt(kTextArt, kPlaceAboveAll, nullptr, &copy), kBadParameterErr);
    EXPECT_EQ(artOf(bottomLayer), (std::vector<AIArtHandle>{a}));
}

// ---- tree walks ----

TEST_F(DocumentSuiteTest, ChildrenAreWalkedBottomToTopWithParents) {
    AIArtHandle group = nullptr;
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &group), kNoErr);
    AIArtHandle first = square(0, 0, 1, kPlaceInsideOnTop, group);
    AIArtHandle second = square(5, 0, 1, kPlaceInsideOnTop, group);
    AIArtHandle bottom = square(9, 0, 1, kPlaceInsideOnBottom, group);
    AIArtHandle child = nullptr;
    ASSERT_EQ(art->GetArtFirstChild(group, &child), kNoErr);
    EXPECT_EQ(child, bottom);
    EXPECT_EQ(above(bottom), first);
    EXPECT_EQ(above(first), second);
    EXPECT_EQ(above(second), nullptr);
    ASSERT_EQ(art->GetArtLastChild(group, &child), kNoErr);
    EXPECT_EQ(child, second);
    ASSERT_EQ(art->GetArtPriorSibling(second, &child), kNoErr);
    EXPECT_EQ(child, first);
    AIArtHandle parent = nullptr;
    ASSERT_EQ(art->GetArtParent(first, &parent), kNoErr);
    EXPECT_EQ(parent, group);
    ASSERT_EQ(art->GetArtParent(group, &parent), kNoErr);
    EXPECT_EQ(parent, nullptr);
    ASSERT_EQ(art->GetArtFirstChild(first, &child), kNoErr);
    EXPECT_EQ(child, nullptr);
    ASInt16 type = 0;
    ASSERT_EQ(art->GetArtType(group, &type), kNoErr);
    EXPECT_EQ(type, kGroupArt);
    // The group's bounds are the union of its members.
    AIRealRect r = boundsOf(group);
    EXPECT_EQ(r.left, 0.0f);
    EXPECT_EQ(r.right, 10.0f);
    EXPECT_EQ(r.top, 1.0f);
    EXPECT_EQ(r.bottom, 0.0f);
}

TEST_F(DocumentSuiteTest, AnEmptyGroupHasFiniteBounds) {
    AIArtHandle group = nullptr;
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &group), kNoErr);
    AIRealRect r = boundsOf(group);
    EXPECT_TRUE(std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) &&
                std::isfinite(r.bottom));
}

// ---- segments ----

TEST_F(DocumentSuiteTest, SegmentsReadBackAsWrittenAndNaNIsRefused) {
    AIArtHandle p = makePath({corner(0, 0), corner(10, 0), corner(10, 10)});
    ASInt16 count = 0;
    ASSERT_EQ(path->GetPathSegmentCount(p, &count), kNoErr);
    ASSERT_EQ(count, 3);
    const AIPathSegment curved{{4, 5}, {1, 2}, {7, 8}, 0};
    ASSERT_EQ(path->SetPathSegments(p, 1, 1, &curved), kNoErr);
    AIPathSegment got[3];
    ASSERT_EQ(path->GetPathSegments(p, 0, 3, got), kNoErr);
    EXPECT_EQ(got[1].p.h, 4.0f);
    EXPECT_EQ(got[1].in.v, 2.0f);
    EXPECT_EQ(got[1].out.h, 7.0f);
    EXPECT_EQ(got[1].corner, 0);
    EXPECT_EQ(got[2].p.h, 10.0f);

    AIPathSegment bad = curved;
    bad.in.h = std::nanf("");
    EXPECT_EQ(path->SetPathSegments(p, 0, 1, &bad), kBadParameterErr);
    bad = curved;
    bad.out.v = INFINITY;
    EXPECT_EQ(path->SetPathSegments(p, 2, 1, &bad), kBadParameterErr);
    ASSERT_EQ(path->GetPathSegments(p, 0, 3, got), kNoErr);
    EXPECT_EQ(got[0].p.h, 0.0f);
    EXPECT_EQ(got[0].in.h, 0.0f);
    EXPECT_EQ(got[2].out.v, 10.0f);

    // Ranges past the end are refused.
    EXPECT_EQ(path->GetPathSegments(p, 2, 2, got), kBadParameterErr);
    EXPECT_EQ(path->GetPathSegments(p, -1, 1, got), kBadParameterErr);
    EXPECT_EQ(path->SetPathSegments(p, 3, 1, &curved), kBadParameterErr);
    EXPECT_EQ(path->GetPathSegments(p, 0, 1, nullptr), kBadParameterErr);
}

TEST_F(DocumentSuiteTest, SegmentCountClosedFlagAndSelection) {
    AIArtHandle p = makePath({corner(0, 0), corner(10, 0)});
    ASSERT_EQ(path->SetPathSegmentCount(p, 5), kNoErr);
    ASInt16 count = 0;
    ASSERT_EQ(path->GetPathSegmentCount(p, &count), kNoErr);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(path->SetPathSegmentCount(p, -1), kBadParameterErr);
    EXPECT_EQ(path->SetPathSegmentCount(p, 32001), kTooManyPointsErr);

    ASBoolean closed = 1;
    ASSERT_EQ(path->GetPathClosed(p, &closed), kNoErr);
    EXPECT_EQ(closed, 0);
    ASSERT_EQ(path->SetPathClosed(p, 1), kNoErr);
    ASSERT_EQ(path->GetPathClosed(p, &closed), kNoErr);
    EXPECT_EQ(closed, 1);

    ASSERT_EQ(path->SetPathSegmentSelected(p, 1, kSegmentPointSelected), kNoErr);
    ASInt16 sel = -1;
    ASSERT_EQ(path->GetPathSegmentSelected(p, 1, &sel), kNoErr);
    EXPECT_EQ(sel, kSegmentPointSelected);
    ASSERT_EQ(path->GetPathSegmentSelected(p, 0, &sel), kNoErr);
    EXPECT_EQ(sel, kSegmentNotSelected);
    EXPECT_EQ(path->GetPathSegmentSelected(p, 5, &sel), kBadParameterErr);
    EXPECT_EQ(path->SetPathSegmentSelected(p, 0, 0x40), kBadParameterErr);

    // Selecting the whole path selects every segment's anchor.
    AIArtHandle q = makePath({corner(0, 0), corner(5, 5), corner(9, 0)});
    select(q);
    for (ASInt16 i = 0; i < 3; ++i) {
        ASSERT_EQ(path->GetPathSegmentSelected(q, i, &sel), kNoErr);
        EXPECT_NE(sel & kSegmentPointSelected, 0) << i;
    }

    // A group has no segments.
    AIArtHandle group = nullptr;
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &group), kNoErr);
    EXPECT_EQ(path->GetPathSegmentCount(group, &count), kBadParameterErr);
}

// ---- matching art ----

class Matching : public DocumentSuiteTest {
protected:
    std::vector<AIArtHandle> match(const std::vector<AIMatchingArtSpec>& specs) {
        AIArtHandle** found = nullptr;
        ASInt32 n = -1;
        EXPECT_EQ(matching->GetMatchingArt(specs.data(), static_cast<ASInt16>(specs.size()), &found, &n), kNoErr);
        std::vector<AIArtHandle> out;
        if (n == 0) {
            EXPECT_EQ(found, nullptr);
            return out;
        }
        EXPECT_NE(found, nullptr);
        for (ASInt32 i = 0; i < n; ++i) out.push_back((*found)[i]);
        EXPECT_EQ(memory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(found)), kNoErr);
        return out;
    }
    static AIMatchingArtSpec selected(ASInt16 type) { return AIMatchingArtSpec{type, kArtSelected, kArtSelected}; }
};

// Matching art is handed out front to back: the top layer first, the
// top-most art first, a group or compound path before its members.
TEST_F(Matching, SelectedPathsAndCompoundPathsComeFrontToBack) {
    const size_t handlesBefore = liveMemoryHandles();
    AIArtHandle loose = square(0, 0, 10);
    AIArtHandle unselected = square(20, 0, 10);
    AIArtHandle compound = nullptr;
    ASSERT_EQ(art->NewArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &compound), kNoErr);
    AIArtHandle outer = square(40, 0, 10, kPlaceInsideOnTop, compound);
    AIArtHandle inner = square(42, 2, 4, kPlaceInsideOnTop, compound);
    AIArtHandle group = nullptr;
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &group), kNoErr);
    AIArtHandle member = square(60, 0, 10, kPlaceInsideOnTop, group);
    AILayerHandle upper = nullptr;
    ASSERT_EQ(layers->InsertLayer(nullptr, kPlaceAboveAll, &upper), kNoErr);
    AIArtHandle front = square(0, 0, 10);
    select(loose);
    select(compound);
    select(group);
    select(front);

    ASInt32 attr = 0;
    ASSERT_EQ(art->GetArtUserAttr(member, kArtSelected, &attr), kNoErr);
    EXPECT_EQ(attr, kArtSelected);  // selecting a group selects its members
    ASSERT_EQ(art->GetArtUserAttr(unselected, kArtSelected | kArtLocked, &attr), kNoErr);
    EXPECT_EQ(attr, 0);

    // The order of the specs does not matter.
    auto found = match({selected(kCompoundPathArt), selected(kPathArt), selected(kTextPathArt)});
    EXPECT_EQ(found, (std::vector<AIArtHandle>{front, member, compound, inner, outer, loose}));
    auto onlyCompound = match({selected(kCompoundPathArt)});
    EXPECT_EQ(onlyCompound, (std::vector<AIArtHandle>{compound}));
    auto all = match({AIMatchingArtSpec{kAnyArt, 0, 0}});
    EXPECT_EQ(all, (std::vector<AIArtHandle>{front, group, member, compound, inner, outer, unselected, loose}));
    EXPECT_EQ(liveMemoryHandles(), handlesBefore);  // every array was disposed of
}

TEST_F(Matching, NothingMatchingGivesNoArray) {
    square(0, 0, 10);
    EXPECT_TRUE(match({selected(kPathArt)}).empty());
    AIArtHandle** found = reinterpret_cast<AIArtHandle**>(this);
    ASInt32 n = 5;
    ASSERT_EQ(matching->GetSelectedArt(&found, &n), kNoErr);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(n, 0);
    AIMatchingArtSpec want = selected(kPathArt);
    EXPECT_EQ(matching->GetMatchingArt(&want, 1, nullptr, &n), kBadParameterErr);
    EXPECT_EQ(matching->GetMatchingArt(nullptr, 1, &found, &n), kBadParameterErr);
    EXPECT_EQ(matching->GetMatchingArt(&want, -1, &found, &n), kBadParameterErr);
}

TEST_F(Matching, GetSelectedArtListsEverySelectedObject) {
    AIArtHandle a = square(0, 0, 10);
    square(20, 0, 10);
    AIArtHandle c = square(40, 0, 10);
    select(a);
    select(c);
    AIArtHandle** found = nullptr;
    ASInt32 n = 0;
    ASSERT_EQ(matching->GetSelectedArt(&found, &n), kNoErr);
    ASSERT_EQ(n, 2);
    EXPECT_EQ((*found)[0], c);  // front to back
    EXPECT_EQ((*found)[1], a);
    EXPECT_EQ(memory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(found)), kNoErr);
}

// ---- transform ----

TEST_F(DocumentSuiteTest, TransformRefusesNonFiniteMatricesAndScales) {
    AIArtHandle p = square(0, 0, 10);
    AIRealMatrix m{1, 0, 0, 1, std::nanf(""), 0};
    EXPECT_EQ(transform->TransformArt(p, &m, 1, kTransformObjects), kBadParameterErr);
    AIRealMatrix ok{1, 0, 0, 1, 5, 0};
    EXPECT_EQ(transform->TransformArt(p, &ok, INFINITY, kTransformObjects | kScaleLines), kBadParameterErr);
    EXPECT_EQ(transform->TransformArt(p, nullptr, 1, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(boundsOf(p).left, 0.0f);
}

// ---- undo ----

TEST_F(DocumentSuiteTest, UndoChangesRevertsADuplicateAndATransform) {
    AIArtHandle p = square(0, 0, 10);
    doc->beginUndoContext();
    AIArtHandle copy = nullptr;
    ASSERT_EQ(art->DuplicateArt(p, kPlaceAboveAll, p, &copy), kNoErr);
    AIRealMatrix m{};
    math->AIRealMatrixSetTranslate(&m, 100, 50);
    ASSERT_EQ(transform->TransformArt(p, &m, 1, kTransformObjects), kNoErr);
    ASSERT_EQ(boundsOf(p).left, 100.0f);
    ASSERT_TRUE(valid(copy));

    ASSERT_EQ(undo->UndoChanges(), kNoErr);
    EXPECT_FALSE(valid(copy));
    EXPECT_EQ(artOf(nthLayer(0)), (std::vector<AIArtHandle>{p}));
    AIRealRect r = boundsOf(p);
    EXPECT_EQ(r.left, 0.0f);
    EXPECT_EQ(r.bottom, 0.0f);
    ASInt16 type = 0;
    EXPECT_EQ(art->GetArtType(copy, &type), kBadParameterErr);
    ASSERT_EQ(undo->SetUndoText("Undo Drag", "Redo Drag"), kNoErr);
    EXPECT_EQ(undo->SetUndoText(nullptr, "Redo"), kBadParameterErr);
}

// ---- handles that are not live ----

TEST_F(DocumentSuiteTest, DanglingForeignAndNullHandlesAreRefused) {
    AIArtHandle p = square(0, 0, 10);
    AIArtHandle gone = square(20, 0, 10);
    ASSERT_EQ(art->DisposeArt(gone), kNoErr);
    ASInt16 type = 0;
    AIRealRect r{};
    EXPECT_EQ(art->GetArtType(gone, &type), kBadParameterErr);
    EXPECT_EQ(art->GetArtBounds(gone, &r), kBadParameterErr);
    EXPECT_EQ(art->DisposeArt(gone), kBadParameterErr);
    EXPECT_FALSE(valid(gone));
    EXPECT_EQ(art->GetArtType(nullptr, &type), kBadParameterErr);
    int local = 0;
    EXPECT_EQ(art->GetArtType(reinterpret_cast<AIArtHandle>(&local), &type), kBadParameterErr);
    EXPECT_FALSE(valid(reinterpret_cast<AIArtHandle>(&local)));
    AIPathSegment seg = corner(1, 1);
    EXPECT_EQ(path->SetPathSegments(gone, 0, 1, &seg), kBadParameterErr);
    AIRealMatrix m{1, 0, 0, 1, 1, 1};
    EXPECT_EQ(transform->TransformArt(gone, &m, 1, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(art->GetArtType(p, nullptr), kBadParameterErr);
    // Duplicating, tagging and transforming leave the check to the document.
    const auto foreign = reinterpret_cast<AIArtHandle>(&local);
    AIArtHandle copy = nullptr;
    for (AIArtHandle h : {gone, foreign}) {
        EXPECT_EQ(art->DuplicateArt(h, kPlaceAboveAll, nullptr, &copy), kBadParameterErr);
        EXPECT_EQ(tag->SetTag(h, "t", "string", "v"), kBadParameterErr);
        const AIReal v = 1;
        EXPECT_EQ(tag->SetTag(h, "t", "real", &v), kBadParameterErr);
        EXPECT_EQ(transform->TransformArt(h, &m, 1, kTransformObjects), kBadParameterErr);
    }
    EXPECT_EQ(copy, nullptr);

    // Art of another document is not live in the current one.
    auto other = newDocument(100, 100);
    hostState().document = other.get();
    EXPECT_EQ(art->GetArtType(p, &type), kBadParameterErr);
    EXPECT_EQ(art->DuplicateArt(p, kPlaceAboveAll, nullptr, &copy), kBadParameterErr);
    EXPECT_EQ(tag->SetTag(p, "t", "string", "v"), kBadParameterErr);
    EXPECT_FALSE(valid(p));
    // Without a document every operation refuses.
    hostState().document = nullptr;
    EXPECT_EQ(art->GetArtType(p, &type), kBadParameterErr);
    EXPECT_EQ(art->DuplicateArt(p, kPlaceAboveAll, nullptr, &copy), kBadParameterErr);
    EXPECT_EQ(transform->TransformArt(p, &m, 1, kTransformObjects), kBadParameterErr);
    AIArtHandle made = nullptr;
    EXPECT_EQ(art->NewArt(kPathArt, kPlaceAboveAll, nullptr, &made), kBadParameterErr);
    EXPECT_EQ(undo->UndoChanges(), kBadParameterErr);
    AIDocumentSetup setup{};
    EXPECT_EQ(document->GetDocumentSetup(&setup), kBadParameterErr);
    ASInt32 n = 0;
    EXPECT_EQ(layers->CountLayers(&n), kBadParameterErr);
    EXPECT_EQ(swatches->CountSwatches(nullptr, &n), kBadParameterErr);
    hostState().document = doc.get();
    ASSERT_EQ(art->GetArtType(p, &type), kNoErr);
    EXPECT_EQ(type, kPathArt);
}

}  // namespace
}  // namespace easel::test
