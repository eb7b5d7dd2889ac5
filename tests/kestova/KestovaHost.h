// A host session for Kestova's tests: easel's suites, the built Kestova
// bundle loaded and started by easel's loader, a document, and helpers that
// send option dialogs and drags exactly as `easel play` does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "model/Document.h"
#include "core/HostState.h"
#include "adm/Dialog.h"
#include "loader/Loader.h"

namespace kestova_test {

struct Event {
    AIRealPoint point{0, 0};
    int32_t modifiers = 0;
    int16_t pressure = 0;
};

// Dialog item values by id: a number for spins, 0/1 for check boxes and an
// entry index for the mode popup.
using Settings = std::vector<std::pair<int32_t, double>>;

class KestovaHost {
public:
    // documentJson: an easel document; seed: the host's random seed.
    explicit KestovaHost(const std::string& documentJson, int32_t seed = 1);
    ~KestovaHost();
    KestovaHost(const KestovaHost&) = delete;
    KestovaHost& operator=(const KestovaHost&) = delete;

    easel::Document& doc() { return *doc_; }
    easel::Art* art(int64_t id);
    AIPathSegment segment(int64_t id, size_t i);
    easel::Plugin& plugin() { return *plugin_; }
    AIToolHandle tool() { return tool_; }

    // Opens the option dialog, sets the items, presses the buttons (then
    // Cancel if it is still open). Returns the edit-options result.
    ASErr options(const Settings& settings, const std::vector<std::string>& presses = {"OK"});
    // Sets the items and presses OK; fails the test on any error.
    void setOptions(const Settings& settings);
    // The dialog as it opens (closed again with Cancel).
    easel::adm::DialogRecord inspect();
    // The value the dialog shows for an item.
    double shown(int32_t id);

    // Mouse down at the first event, a drag event per further event, mouse
    // up at the last, with the undo contexts easel play opens; the results
    // of the drag events in order.
    std::vector<ASErr> drag(const std::vector<Event>& events);
    ASErr lastMouseUp() const { return mouseUp_; }

    // The document's art in stacking order, bottom first, per layer from the
    // bottom layer.
    std::vector<std::vector<easel::Art*>> artByLayer();

private:
    std::unique_ptr<easel::Document> doc_;
    std::unique_ptr<easel::Loader> loader_;
    easel::Plugin* plugin_ = nullptr;
    AIToolHandle tool_ = nullptr;
    ASErr mouseUp_ = kNoErr;
};

// A JSON document of one page (600 x 800) and the given art; swatches as a
// new document has them unless given.
std::string documentJson(const std::string& artJson, const std::string& swatchesJson = "");

// An open path with `count` segments, id `id`: anchor i at
// (100 + 50 i, 120 + 10 i), in-direction point 10 left and 5 up of it,
// out-direction point 10 right and 5 down. `extra` adds JSON members.
std::string pathJson(int64_t id, int count, const std::string& extra = "");

AIPathSegment pathSegment(int i);

// Exact comparison of a segment's anchor and direction points.
::testing::AssertionResult SegmentIs(const AIPathSegment& s, AIRealPoint p, AIRealPoint in, AIRealPoint out);
::testing::AssertionResult SegmentIs(const AIPathSegment& s, const AIPathSegment& expected);

} // namespace kestova_test
