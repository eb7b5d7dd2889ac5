// The drag session through the real host: undo or trail, the slowdown gate,
// Layer, the 1000-object limit, and runs that repeat bit for bit.
#include "DragFixture.h"

namespace brivane_test {
namespace {


class DragSession : public DragFixture {
protected:
    std::vector<std::size_t> countsAfterEvents;
    void DragCounting(int tool, const std::vector<Event>& events) {
        countsAfterEvents.clear();
        Drag(tool, events, [this](int) { countsAfterEvents.push_back(TopLevelArt().size()); });
    }
};

TEST_F(DragSession, WithoutTrailEachEventReplacesThePreviousArrangement) {
    Square(0, 0, 10);
    DragCounting(kDrag, {{0, 0}, {10, 0}, {20, 5}, {30, 10}});
    EXPECT_EQ(countsAfterEvents, (std::vector<std::size_t>{10, 10, 10}));
    EXPECT_EQ(TopLevelArt().size(), 10u);
    EXPECT_TRUE(doc->undo()) << "the whole drag is one step";
    EXPECT_EQ(TopLevelArt().size(), 1u);
}

TEST_F(DragSession, TrailAccumulatesTheRowsOfEveryEvent) {
    G().dragTrail = 1;
    Square(0, 0, 10);
    DragCounting(kDrag, {{0, 0}, {10, 0}, {20, 5}, {30, 10}});
    EXPECT_EQ(countsAfterEvents, (std::vector<std::size_t>{10, 19, 28}));
    EXPECT_EQ(TopLevelArt().size(), 28u);
}

TEST_F(DragSession, SlowdownThreeDrawsAtEventsFourAndSeven) {
    G().slowdown = 3;
    Square(0, 0, 10);
    std::vector<Event> events{{0, 0}};
    for (int i = 1; i <= 8; ++i) events.push_back({static_cast<float>(10 * i), 0});
    DragCounting(kDrag, events);
    EXPECT_EQ(countsAfterEvents, (std::vector<std::size_t>{1, 1, 1, 10, 1, 1, 10, 1}));
}

TEST_F(DragSession, SlowdownOneDrawsAllButTheFirstEvent) {
    G().slowdown = 1;
    Square(0, 0, 10);
    DragCounting(kDrag, {{0, 0}, {10, 0}, {20, 0}, {30, 0}});
    EXPECT_EQ(countsAfterEvents, (std::vector<std::size_t>{1, 10, 10}));
}

TEST_F(DragSession, LayerAddsATopLayerPerDrawnEventAndPlacesAbove) {
    G().layerPerEvent = 1;
    G().placement = 1; // " Place beneath", overridden
    G().dragTrail = 1;
    Square(0, 0, 10);
    Drag(kDrag, {{0, 0}, {10, 0}, {20, 0}, {30, 0}});
    EXPECT_EQ(G().placement, 0) << "the option now reads \" Place above\"";
    ASSERT_EQ(doc->layerCount(), 4u);
    for (std::size_t l = 1; l < 4; ++l) {
        std::size_t count = 0;
        for (Art* a = doc->layerFromBottom(l)->firstArt(); a != nullptr; a = a->next()) ++count;
        EXPECT_EQ(count, 9u) << "the duplicates of event " << l << " sit in its own layer";
    }
}

TEST_F(DragSession, MoreThanAThousandSelectedObjectsDrawNothing) {
    G().layerPerEvent = 1;
    for (int i = 0; i < 1001; ++i) Square(static_cast<float>(i % 40) * 5.0f, static_cast<float>(i / 40) * 5.0f, 2);
    const std::size_t before = TopLevelArt().size();
    Drag(kDrag, {{0, 0}, {50, 0}, {80, 0}});
    EXPECT_EQ(TopLevelArt().size(), before);
    EXPECT_EQ(doc->layerCount(), 1u);
    EXPECT_EQ(G().slowdownCounter, 0);
    for (ASErr r : results) EXPECT_EQ(r, kNoErr);
}

TEST_F(DragSession, NothingSelectedDrawsNothing) {
    Square(0, 0, 10);
    doc->deselectAll();
    Drag(kDrag, {{0, 0}, {50, 0}});
    EXPECT_EQ(TopLevelArt().size(), 1u);
}

TEST_F(DragSession, TrailSwitchesTheDeleteFlagOff) {
    G().frameTrail = 1;
    Square(0, 0, 10);
    Drag(kFramed, {{0, 0}, {10, 0}});
    EXPECT_EQ(G().frameDelete, 0);
    G().frameTrail = 0;
    G().frameDelete = 1;
    Drag(kFramed, {{0, 0}, {10, 0}});
    EXPECT_EQ(G().frameDelete, 1);
}

// Everything random at once: jitter, creation, colours, opacity, blend, warp.
std::string RandomRun(DragFixture& f, BrivaneGlobals& g, int seed) {
    f.SetUpDocument(seed);
    g.dragCopies = 10; // the Shift event of the run before stepped it
    g.dragJitterH = 7.5f;
    g.dragJitterV = 3.25f;
    g.dragCreate = 1;
    g.dragRotation = 33.0f;
    g.fillMode = 3;
    g.strokeMode = 4;
    g.randomOpacity = 1;
    g.randomBlend = 1;
    g.randomWidth = 1;
    g.placement = 4;
    g.dragWarp = 1;
    return f.RunRandomDrag();
}

} // namespace

// Runs the same random drag in a fresh document.
void DragFixture::SetUpDocument(int seed) {
    doc = newDocument(400, 300);
    hostState().document = doc.get();
    hostState().random.reseed(seed);
    Square(0, 0, 10, {kThreeColor, {0.1f, 0.5f, 0.9f, 0}, 0});
    Path({{40, 40}, {60, 45}, {50, 70}}, {kFourColor, {0.2f, 0.4f, 0.6f, 0.8f}, 0});
}
std::string DragFixture::RunRandomDrag() {
    Drag(1, {{0, 0}, {12, 7}, {40, 22}, {81, 35, 0x20}});
    return writeDocumentJson(*doc);
}

namespace {

TEST_F(DragSession, SameSeedSameDocumentSameEventsGiveTheSameOutputBitForBit) {
    const std::string first = RandomRun(*this, G(), 7);
    const std::string second = RandomRun(*this, G(), 7);
    const std::string other = RandomRun(*this, G(), 8);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
}

} // namespace
} // namespace brivane_test
