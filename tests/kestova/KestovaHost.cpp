#include "KestovaHost.h"

#include <gtest/gtest.h>

#include "io/json/DocumentJson.h"
#include "tests/support/HostStartup.h"

namespace kestova_test {

using namespace easel;

KestovaHost::KestovaHost(const std::string& documentJson, int32_t seed) {
    test::startHost();

    std::string error;
    if (!readDocumentJson(documentJson, doc_, error)) {
        ADD_FAILURE() << "document: " << error;
        doc_ = newDocument(600, 800);
    }
    hostState().document = doc_.get();
    hostState().random.reseed(seed);

    loader_ = std::make_unique<Loader>(std::vector<std::filesystem::path>{EASEL_PLUGIN_DIR});
    plugin_ = loader_->load("Kestova", error);
    if (plugin_ == nullptr) {
        ADD_FAILURE() << "loading Kestova: " << error;
        return;
    }
    EXPECT_EQ(loader_->startup(*plugin_), kNoErr);
    if (hostState().tools.size() == 1) tool_ = hostState().tools[0]->handle();
    EXPECT_NE(tool_, nullptr) << "Kestova registered no tool";
}

KestovaHost::~KestovaHost() {
    if (plugin_ != nullptr && plugin_->loaded()) loader_->shutdown(*plugin_);
    loader_.reset();
    hostState().document = nullptr;
    hostState().reset();
}

Art* KestovaHost::art(int64_t id) {
    Art* a = doc_->findById(id);
    if (a == nullptr) ADD_FAILURE() << "no art " << id;
    return a;
}

AIPathSegment KestovaHost::segment(int64_t id, size_t i) {
    Art* a = art(id);
    if (a == nullptr || i >= a->segmentCount()) {
        ADD_FAILURE() << "art " << id << " has no segment " << i;
        return {};
    }
    return a->segment(i);
}

ASErr KestovaHost::options(const Settings& settings, const std::vector<std::string>& presses) {
    std::vector<adm::SetAction> sets;
    for (const auto& [id, value] : settings) {
        adm::SetAction s;
        s.id = id;
        s.number = value;
        sets.push_back(s);
    }
    adm::ScriptedDriver driver(sets, presses);
    adm::dialogManager().setNextDriver(&driver);
    const ASErr r = loader_->sendTool(*plugin_, kSelectorAIEditToolOptions, tool_, {0, 0}, 0, 0);
    adm::dialogManager().setNextDriver(nullptr);
    EXPECT_TRUE(driver.ran()) << "no dialog opened";
    EXPECT_EQ(driver.error(), "");
    return r;
}

void KestovaHost::setOptions(const Settings& settings) { ASSERT_EQ(options(settings, {"OK"}), kNoErr); }

adm::DialogRecord KestovaHost::inspect() {
    adm::InspectDriver driver;
    adm::dialogManager().setNextDriver(&driver);
    const ASErr r = loader_->sendTool(*plugin_, kSelectorAIEditToolOptions, tool_, {0, 0}, 0, 0);
    adm::dialogManager().setNextDriver(nullptr);
    EXPECT_EQ(r, kCancelErr);
    if (!driver.record()) {
        ADD_FAILURE() << "no dialog opened";
        return {};
    }
    return *driver.record();
}

double KestovaHost::shown(int32_t id) {
    const adm::DialogRecord record = inspect();
    for (const auto& item : record.items)
        if (item.id == id) return item.kind == adm::ItemKind::PopupList ? item.selected : item.value;
    ADD_FAILURE() << "no item " << id;
    return -1;
}

std::vector<ASErr> KestovaHost::drag(const std::vector<Event>& events) {
    std::vector<ASErr> results;
    if (events.empty()) return results;
    auto send = [&](const char* selector, const Event& e) {
        return loader_->sendTool(*plugin_, selector, tool_, e.point, e.pressure, e.modifiers);
    };
    doc_->beginUndoContext();
    EXPECT_EQ(send(kSelectorAIToolMouseDown, events.front()), kNoErr);
    for (size_t i = 1; i < events.size(); ++i) results.push_back(send(kSelectorAIToolMouseDrag, events[i]));
    doc_->commitUndoContext();
    doc_->beginUndoContext();
    mouseUp_ = send(kSelectorAIToolMouseUp, events.back());
    doc_->commitUndoContext();
    return results;
}

std::vector<std::vector<Art*>> KestovaHost::artByLayer() {
    std::vector<std::vector<Art*>> layers;
    for (size_t n = 0; n < doc_->layerCount(); ++n) {
        std::vector<Art*> art;
        for (Art* a = doc_->layerFromBottom(n)->firstArt(); a != nullptr; a = a->next()) art.push_back(a);
        layers.push_back(art);
    }
    return layers;
}

std::string documentJson(const std::string& artJson, const std::string& swatchesJson) {
    std::string doc = R"({"format": "easel-document", "version": 1, "seed": 1,
        "page": {"width": 600, "height": 800},)";
    if (!swatchesJson.empty()) doc += R"("swatches": )" + swatchesJson + ",";
    doc += R"("layers": [{"name": "Layer 1", "visible": true, "locked": false, "art": [)" + artJson + "]}]}";
    return doc;
}

AIPathSegment pathSegment(int i) {
    const float h = 100.0f + 50.0f * static_cast<float>(i);
    const float v = 120.0f + 10.0f * static_cast<float>(i);
    return AIPathSegment{{h, v}, {h - 10.0f, v + 5.0f}, {h + 10.0f, v - 5.0f}, 1};
}

std::string pathJson(int64_t id, int count, const std::string& extra) {
    std::string segments;
    for (int i = 0; i < count; ++i) {
        const AIPathSegment s = pathSegment(i);
        if (i > 0) segments += ", ";
        segments += "[" + std::to_string(s.p.h) + ", " + std::to_string(s.p.v) + ", " + std::to_string(s.in.h) +
                    ", " + std::to_string(s.in.v) + ", " + std::to_string(s.out.h) + ", " +
                    std::to_string(s.out.v) + ", 1]";
    }
    std::string art = R"({"id": )" + std::to_string(id) +
                      R"(, "type": "path", "selected": true, "closed": false, "segments": [)" + segments +
                      R"(], "fill": {"paint": true, "color": {"kind": "rgb", "values": [0.2, 0.4, 0.6]}},
        "stroke": {"paint": true, "color": {"kind": "cmyk", "values": [0.1, 0.2, 0.3, 0.5]}, "width": 1})";
    if (!extra.empty()) art += ", " + extra;
    return art + "}";
}

namespace {
std::string text(AIRealPoint p) { return "(" + std::to_string(p.h) + ", " + std::to_string(p.v) + ")"; }
bool same(AIRealPoint a, AIRealPoint b) { return a.h == b.h && a.v == b.v; }
} // namespace

::testing::AssertionResult SegmentIs(const AIPathSegment& s, AIRealPoint p, AIRealPoint in, AIRealPoint out) {
    if (same(s.p, p) && same(s.in, in) && same(s.out, out)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "segment P " << text(s.p) << " IN " << text(s.in) << " OUT "
                                         << text(s.out) << ", expected P " << text(p) << " IN " << text(in)
                                         << " OUT " << text(out);
}

::testing::AssertionResult SegmentIs(const AIPathSegment& s, const AIPathSegment& expected) {
    return SegmentIs(s, expected.p, expected.in, expected.out);
}

} // namespace kestova_test
