// A host session with the built Brivane bundle loaded through easel's loader
// and suites, a small document, drags sent as the host sends them, and the
// measurements every tool's tests take of the art a drag leaves.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/brivane/BrivaneGlobals.h"
#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "core/HostState.h"
#include "loader/Loader.h"
#include "tests/support/HostStartup.h"

namespace brivane_test {

using namespace easel;

// The tools' indexes, in registration order.
enum ToolIndex {
    kRowsColumns, kDrag, kSoftCenter, kFramed, kRimRandom, kWindmill, kScaledown,
    kBouncealong, kSpiraled, kCheckerboard, kPaint, kTile, kBackground
};
inline constexpr int32_t kShift = 0x20, kAlt = 0x40, kCtrl = 0x200;

struct Event {
    float h, v;
    int32_t modifiers = 0;
    int16_t pressure = 0;
};

class DragFixture : public ::testing::Test {
protected:
    std::unique_ptr<Loader> loader;
    std::unique_ptr<Document> doc;
    Plugin* plugin = nullptr;
    std::vector<ASErr> results; // of every drag event sent

    void SetUp() override {
        test::startHost();
        doc = newDocument(400, 300);
        hostState().document = doc.get();
        hostState().random.reseed(1);
        loader = std::make_unique<Loader>(std::vector<std::filesystem::path>{EASEL_PLUGIN_DIR});
        std::string error;
        plugin = loader->load("Brivane", error);
        ASSERT_NE(plugin, nullptr) << error;
        ASSERT_EQ(loader->startup(*plugin), kNoErr);
        // The host is handed the Globals block when the library is unloaded;
        // the reloaded library works on the same block.
        ASSERT_EQ(loader->unload(*plugin), kNoErr);
        ASSERT_EQ(loader->reload(*plugin, error), kNoErr) << error;
        ASSERT_NE(plugin->globals(), nullptr);
    }
    void TearDown() override {
        if (plugin != nullptr && plugin->loaded()) {
            EXPECT_EQ(loader->shutdown(*plugin), kNoErr);
        }
        EXPECT_EQ(hostState().suites.outstanding(), 0);
        loader.reset();
        hostState().document = nullptr;
        hostState().reset();
    }

public:
    // A fresh document with two selected objects and the given seed.
    void SetUpDocument(int seed);
    // A drag with the Drag tool over it; the document as written to a file.
    std::string RunRandomDrag();

protected:

    BrivaneGlobals& G() { return *static_cast<BrivaneGlobals*>(plugin->globals()); }

    // A selected closed path through the points, with a fill and a stroke.
    Art* Path(std::vector<AIRealPoint> points, AIColor fill = {kGrayColor, {0.5f, 0, 0, 0}, 0}) {
        Art* art = nullptr;
        EXPECT_EQ(doc->newArt(kPathArt, kPlaceAboveAll, nullptr, &art), kNoErr);
        std::vector<AIPathSegment> segs;
        for (auto p : points) segs.push_back({p, p, p, 1});
        EXPECT_EQ(doc->setSegmentCount(art, segs.size()), kNoErr);
        EXPECT_EQ(doc->setSegments(art, 0, segs.size(), segs.data()), kNoErr);
        EXPECT_EQ(doc->setClosed(art, true), kNoErr);
        AIPathStyle style{};
        style.fillPaint = 1;
        style.fill.color = fill;
        style.strokePaint = 1;
        style.stroke.color = {kGrayColor, {1, 0, 0, 0}, 0};
        style.stroke.width = 2;
        EXPECT_EQ(doc->setStyle(art, style), kNoErr);
        EXPECT_EQ(doc->setSelected(art, true), kNoErr);
        return art;
    }
    Art* Square(float left, float bottom, float size, AIColor fill = {kGrayColor, {0.5f, 0, 0, 0}, 0}) {
        return Path({{left, bottom}, {left + size, bottom}, {left + size, bottom + size}, {left, bottom + size}}, fill);
    }

    // Mouse down at the first event, a drag event per further event, mouse
    // up at the last; the drag is one undo step, as the host makes it.
    void Drag(int tool, const std::vector<Event>& events, const std::function<void(int)>& afterEvent = nullptr) {
        AIToolHandle handle = G().toolHandles[tool];
        doc->beginUndoContext();
        ASSERT_EQ(Send(kSelectorAIToolMouseDown, handle, events.front()), kNoErr);
        for (std::size_t i = 1; i < events.size(); ++i) {
            results.push_back(Send(kSelectorAIToolMouseDrag, handle, events[i]));
            if (afterEvent) afterEvent(static_cast<int>(i));
        }
        doc->commitUndoContext();
        doc->beginUndoContext();
        EXPECT_EQ(Send(kSelectorAIToolMouseUp, handle, events.back()), kNoErr);
        doc->commitUndoContext();
    }
    ASErr Send(const char* selector, AIToolHandle tool, const Event& e) {
        return loader->sendTool(*plugin, selector, tool, AIRealPoint{e.h, e.v}, e.pressure, e.modifiers);
    }

    // Art directly in the layers, bottom layer first, bottom-most first.
    std::vector<Art*> TopLevelArt() const {
        std::vector<Art*> all;
        for (std::size_t l = 0; l < doc->layerCount(); ++l)
            for (Art* a = doc->layerFromBottom(l)->firstArt(); a != nullptr; a = a->next()) all.push_back(a);
        return all;
    }
    AIRealPoint Centre(const Art* art) const {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(art, &r), kNoErr);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static bool Tagged(const Art* art) {
        const Tag* t = art->findTag("brivane");
        return t != nullptr && t->text == "brivane";
    }

    // The top-level art centred at (h, v), or null; two there is a failure.
    Art* ArtAt(float h, float v, float tolerance = 1e-3f) {
        Art* found = nullptr;
        for (Art* a : TopLevelArt()) {
            const AIRealPoint c = Centre(a);
            if (std::fabs(c.h - h) < tolerance && std::fabs(c.v - v) < tolerance) {
                EXPECT_EQ(found, nullptr) << "two pieces of art at " << h << ", " << v;
                found = a;
            }
        }
        return found;
    }
    // How many top-level pieces are centred at (h, v).
    int CountAt(float h, float v) {
        int n = 0;
        for (Art* a : TopLevelArt()) {
            const AIRealPoint c = Centre(a);
            if (std::fabs(c.h - h) < 1e-3f && std::fabs(c.v - v) < 1e-3f) ++n;
        }
        return n;
    }
    AIRealRect Bounds(const Art* art) const {
        AIRealRect r{};
        EXPECT_EQ(doc->bounds(art, &r), kNoErr);
        return r;
    }
    // Width and height of the art's bounds.
    AIRealPoint Size(const Art* art) const {
        const AIRealRect r = Bounds(art);
        return {r.right - r.left, r.top - r.bottom};
    }
    // Where the path's first corner went.
    static AIRealPoint FirstAnchor(const Art* art) {
        const auto segs = art->segments();
        EXPECT_FALSE(segs.empty());
        return segs.empty() ? AIRealPoint{0, 0} : segs.front().p;
    }
    static float Grey(const Art* art) { return art->style().fill.color.c[0]; }
    // The snapshot as a drag event sees it (entries in list order; null for
    // the emptied members of compound paths).
    std::vector<AIArtHandle> Snapshot() {
        std::vector<AIArtHandle> out;
        const BrivaneGlobals& g = G();
        for (int32_t i = 0; i < g.selectedCount; ++i) out.push_back((*g.selectedArt)[i]);
        return out;
    }
    void ExpectPiece(float h, float v, float width, float height) {
        Art* piece = ArtAt(h, v);
        ASSERT_NE(piece, nullptr) << "no art there";
        EXPECT_NEAR(Size(piece).h, width, 1e-3f);
        EXPECT_NEAR(Size(piece).v, height, 1e-3f);
    }
    void ExpectNoErrors() const {
        for (ASErr r : results) EXPECT_EQ(r, kNoErr);
    }
};

// Expects one piece of art centred at (h, v) of the given size.
#define EXPECT_PIECE(ph_, pv_, width_, height_)                                                   \
    do {                                                                                          \
        SCOPED_TRACE(::testing::Message() << "piece at " << (ph_) << ", " << (pv_));             \
        ExpectPiece(static_cast<float>(ph_), static_cast<float>(pv_), static_cast<float>(width_), \
                    static_cast<float>(height_));                                                 \
    } while (0)

} // namespace brivane_test
