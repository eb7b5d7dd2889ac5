// Each of the fourteen tools with its counts at the largest its dialog
// allows: one drag event on the first path of examples/grid-shapes.json
// (selected), the time it takes and the objects it makes.
#include <benchmark/benchmark.h>

#include <cmath>

#include "BenchHost.h"

namespace {

using namespace easel;

struct ToolRun {
    const char* tool;
    std::vector<int32_t> counts;  // dialog items set to their maximum
};

const ToolRun kTools[] = {
    {"Rows Columns", {20, 21}}, {"Drag", {38}},        {"Soft center", {50}},       {"Framed", {70, 71}},
    {"Rim random", {90}},       {"Windmill", {110}},   {"Scaledown", {140}},        {"Bouncealong", {180}},
    {"Spiraled", {200, 207}},   {"Checkerboard", {230, 231}}, {"Paint", {}},       {"Tile", {}},
    {"Background", {290}},      {"KestovaTool", {}},
};

void BM_ToolDragEvent(benchmark::State& state) {
    const ToolRun& run = kTools[state.range(0)];
    state.SetLabel(run.tool);
    if (!bench::host().ok()) {
        state.SkipWithError(bench::host().error().c_str());
        return;
    }
    std::vector<adm::SetAction> sets;
    for (int32_t id : run.counts) sets.push_back({id, 1e9, {}});  // clamped to the item's maximum
    std::string error;
    if (!run.counts.empty() && !bench::host().options(run.tool, sets, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    double made = 0;
    for (auto _ : state) {
        auto doc = bench::gridShapes();
        doc->deselectAll();
        doc->selectById(1);
        const size_t before = bench::artCount(*doc);
        const double seconds = bench::host().drag(*doc, run.tool, {58, 378}, {540, 60});
        made = static_cast<double>(bench::artCount(*doc)) - static_cast<double>(before);
        hostState().document = nullptr;
        state.SetIterationTime(seconds);
    }
    state.counters["objects"] = made;
}
BENCHMARK(BM_ToolDragEvent)->DenseRange(0, 13)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A drag that follows the mouse: Rows Columns at rows x rows copies of each
// of `paths` selected squares, one drag event per iteration. Every event
// takes back the copies of the one before and makes its own, and the host
// lists the selection as the studio does after each event.
void BM_RowsColumnsMoves(benchmark::State& state) {
    const auto paths = static_cast<int>(state.range(0));
    const auto rows = static_cast<double>(state.range(1));
    if (!bench::host().ok()) {
        state.SkipWithError(bench::host().error().c_str());
        return;
    }
    std::string error;
    if (!bench::host().options("Rows Columns", {{20, rows, {}}, {21, rows, {}}}, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto doc = newDocument(1000, 800);
    const int side = static_cast<int>(std::ceil(std::sqrt(paths)));
    for (int i = 0; i < paths; ++i) {
        const auto x = static_cast<float>(20 + (i % side) * 12), y = static_cast<float>(20 + (i / side) * 12);
        Art* a = nullptr;
        doc->newRect(y + 8, x, y, x + 8, false, &a);
        doc->setSelected(a, true);
    }
    doc->clearHistory();
    RegisteredTool* tool = run::findTool("Rows Columns");
    hostState().document = doc.get();
    hostState().random.reseed(1);
    run::PluginSession::Drag drag(bench::host().session(), *doc, *tool);
    drag.down({40, 40}, 0, 0);
    size_t selected = 0;
    int i = 0;
    for (auto _ : state) {
        const float t = static_cast<float>(i++);
        drag.move({300 + 250 * std::cos(t / 15), 350 + 200 * std::sin(t / 11)}, 0, 0);
        selected = doc->selectedArt().size();
    }
    drag.up({0, 0}, 0, 0);
    hostState().document = nullptr;
    state.counters["objects"] = static_cast<double>(doc->artNodes());
    state.counters["selected"] = static_cast<double>(selected);
}
BENCHMARK(BM_RowsColumnsMoves)->Args({1, 300})->Args({100, 10})->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

BENCHMARK_MAIN();
